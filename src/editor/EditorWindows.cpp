#include "editor/EditorWindows.h"

#include <QtGlobal>

namespace {

// The program installs the real windows at start; anything else that opens one must have
// installed its own.
std::unique_ptr<EditorWindows> makeDefault()
{
    qFatal("No windows of the graphics editor are installed.");
}

} // namespace

template <>
platform::Seam<EditorWindows>::Factory &platform::Seam<EditorWindows>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}
