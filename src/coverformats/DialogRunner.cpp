#include "coverformats/DialogRunner.h"

#include <QDialog>

namespace {

class ExecRunner final : public DialogRunner {
public:
    int run(QDialog &dialog) override { return dialog.exec(); }
};

std::unique_ptr<DialogRunner> makeExecRunner() { return std::make_unique<ExecRunner>(); }

} // namespace

template <> platform::Seam<DialogRunner>::Factory &platform::Seam<DialogRunner>::defaultFactory()
{
    static Factory f = &makeExecRunner;
    return f;
}
