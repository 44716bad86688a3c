#include "platform/ui/WaitWindow.h"

#include "platform/scan/ScanProgressWindow.h"

#include <QApplication>
#include <QPointer>

#include <algorithm>

namespace platform {
namespace {

class DialogWaitWindow final : public WaitWindow {
public:
    DialogWaitWindow(QWidget *owner, const WaitTexts &texts, std::function<void()> onCancel)
        : window_(new ScanProgressWindow(owner ? owner : QApplication::activeWindow(), texts.title, texts.label,
                                         texts.cancel))
    {
        window_->setObjectName(QStringLiteral("WaitWindow"));
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        QObject::connect(window_, &ScanProgressWindow::canceled, window_, [onCancel = std::move(onCancel)] {
            if (onCancel)
                onCancel();
        });
        window_->setPercent(-1);
        window_->show();
    }
    ~DialogWaitWindow() override
    {
        if (window_) {
            window_->hide();
            delete window_.data();
        }
    }
    void setProgress(qint64 done, qint64 total) override
    {
        if (window_)
            window_->setPercent(total > 0 ? int(std::clamp<qint64>(done * 100 / total, 0, 100)) : -1);
    }

private:
    QPointer<ScanProgressWindow> window_;
};

class DialogWaitWindows final : public WaitWindows {
public:
    std::unique_ptr<WaitWindow> show(QWidget *owner, const WaitTexts &texts, std::function<void()> onCancel) override
    {
        return std::make_unique<DialogWaitWindow>(owner, texts, std::move(onCancel));
    }
};

std::unique_ptr<WaitWindows> makeDefault() { return std::make_unique<DialogWaitWindows>(); }

} // namespace

template <> Seam<WaitWindows>::Factory &Seam<WaitWindows>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
