#include "tracklists/ModalRunner.h"

#include <QDialog>

namespace {

class ExecRunner final : public tracklists::ModalRunner {
public:
    void run(QDialog &dialog) override { dialog.exec(); }
};

std::unique_ptr<tracklists::ModalRunner> makeExecRunner() { return std::make_unique<ExecRunner>(); }

} // namespace

template <> platform::Seam<tracklists::ModalRunner>::Factory &platform::Seam<tracklists::ModalRunner>::defaultFactory()
{
    static Factory f = &makeExecRunner;
    return f;
}
