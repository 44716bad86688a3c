#pragma once
// The window shown while a scan is read: a progress bar (moving without end while the size
// of the scan is unknown) and a Cancel button. It is shown, not run: the caller's own loop keeps
// going, and the window goes away when the scan ends.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace platform {

class ScanProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ScanProgressWindow(QWidget *owner, const QString &title, const QString &label,
                                const QString &cancelCaption);

    // 0..100, or -1 for an unknown size.
    void setPercent(int percent);
    int percent() const { return percent_; }

signals:
    // The Cancel button, Escape or the window's close box.
    void canceled();

protected:
    void reject() override;

private:
    QProgressBar *bar_;
    QPushButton *cancel_;
    int percent_ = 0;
};

} // namespace platform
