#include "platform/scan/ScanProgressWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform {

ScanProgressWindow::ScanProgressWindow(QWidget *owner, const QString &title, const QString &label,
                                       const QString &cancelCaption)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("ScanProgressWindow"));
    setWindowTitle(title);
    // No input to the program's other windows meanwhile, so no second scan starts.
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(label, this);
    text->setObjectName(QStringLiteral("lblStatus"));
    layout->addWidget(text);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progressBar"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setMinimumWidth(280);
    layout->addWidget(bar_);
    cancel_ = new QPushButton(cancelCaption, this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    connect(cancel_, &QPushButton::clicked, this, &ScanProgressWindow::reject);
}

void ScanProgressWindow::setPercent(int percent)
{
    percent_ = percent;
    if (percent < 0) {
        bar_->setRange(0, 0);
    } else {
        bar_->setRange(0, 100);
        bar_->setValue(qMin(percent, 100));
    }
}

void ScanProgressWindow::reject()
{
    cancel_->setEnabled(false); // one request is enough; the scan stops at its next read
    emit canceled();
}

} // namespace platform
