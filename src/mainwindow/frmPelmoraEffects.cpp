// The image effects of the main window on a side's image.
#include "core/ErrorReport.h"
#include "mainwindow/Globals.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/Screen.h"

namespace {
void busy(bool on)
{
    platform::Screen::get().setMousePointer(on ? platform::Pointer::Hourglass : platform::Pointer::Default);
}
} // namespace

void frmPelmora::cmdInvert_Click(int side)
{
    try {
        igxBackup[size_t(side)]->negative(QString());
        convertImageSizeToCover(std::int16_t(side));
    } catch (...) {
        reportError(QStringLiteral("ERR_INVERT"), QStringLiteral("frmPelmora.cmdInvert_Click"));
    }
}

void frmPelmora::cmdRotate_Click(int side)
{
    try {
        busy(true);
        igxBackup[size_t(side)]->rotate(90.0f, 0, 255, false, QString());
        busy(false);
        convertImageSizeToCover(std::int16_t(side));
    } catch (...) {
        reportError(QStringLiteral("ERR_ROTATE"), QStringLiteral("frmPelmora.cmdRotate_Click"));
    }
}

void frmPelmora::cmdSharpen_Click(int side)
{
    try {
        busy(true);
        igxBackup[size_t(side)]->sharpen(15, 3, true, QString());
        busy(false);
        convertImageSizeToCover(std::int16_t(side));
    } catch (...) {
        reportError(QStringLiteral("ERR_SHARPEN"), QStringLiteral("frmPelmora.cmdSharpen_Click"));
    }
}
