#include "editor/EditorDialogRunner.h"

#include <QDialog>

namespace {

class ExecRunner final : public EditorDialogRunner {
public:
    int run(QDialog &dialog) override { return dialog.exec(); }
};

std::unique_ptr<EditorDialogRunner> makeExecRunner() { return std::make_unique<ExecRunner>(); }

} // namespace

template <>
platform::Seam<EditorDialogRunner>::Factory &platform::Seam<EditorDialogRunner>::defaultFactory()
{
    static Factory f = &makeExecRunner;
    return f;
}
