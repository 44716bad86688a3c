#pragma once
// One print job: the sizes, offsets and images of both sides, which sides go on which sheet
// in which orientation, and the sheets themselves with cut border and fold marks.
// The left side is the front (0), the right side the back (1).
#include "platform/imaging/ImgxImage.h"

#include <QRect>
#include <QSizeF>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace platform { class PrintLibrary; }

// The thickness of the printed fold marks, in pixels at 600 dpi.
inline constexpr int kFoldThickness = 2;

// Where one side lands on a sheet, in device pixels.
struct PrintPlacement {
    QRect cover;                       // the picture's rectangle
    int borderWidth = 0;               // 0: no cut border
    int foldThickness = 1;             // of the fold marks
    std::vector<std::pair<QPoint, QPoint>> foldLines;
};

// A PRINTERNAME that names no printer: as shipped ("0"), empty, or the options' prompt to
// choose one; printing with the presets then uses the system's default printer.
bool namesNoPrinter(const QString &name);
// The printer that stands for the system's default: the one the system names, else the first
// one; "" without printers.
QString systemPrinterName(platform::PrintLibrary &library);

// The sheets of a job: (side 0, 1 or 2 for both; orientation 1 portrait, 2 landscape).
struct SheetCall {
    int side;
    int orientation;
    bool operator==(const SheetCall &o) const = default;
};
// Which sheets a medium and print type give, by the chosen list entries of both sides.
// orientationOfOwn is field 13 of each side's own format (the user-defined medium only).
std::vector<SheetCall> sheetsFor(int medium, const QString &printType, int li0, int li1,
                                 const std::array<double, 2> &orientationOfOwn);

class clsPrinter {
public:
    clsPrinter();

    void setIndex(std::int16_t index) { mIntIndex = index; }
    void setFrontImage(const platform::ImgxImage &image) { setImage(0, image); }
    void setBackImage(const platform::ImgxImage &image) { setImage(1, image); }
    void setFrontWidth(float v) { geometry_[0][0] = v; }
    void setFrontHeight(float v) { geometry_[0][1] = v; }
    void setFrontLeftMargin(float v) { geometry_[0][2] = v; }
    void setFrontTopMargin(float v) { geometry_[0][3] = v; }
    void setBackWidth(float v) { geometry_[1][0] = v; }
    void setBackHeight(float v) { geometry_[1][1] = v; }
    void setBackLeftMargin(float v) { geometry_[1][2] = v; }
    void setBackTopMargin(float v) { geometry_[1][3] = v; }

    platform::PrintLibrary &getPrinter();
    // The list position of a printer by name (the last of equal names), or -1; with
    // report set, a missing printer is told to the user when printing with the default.
    std::int16_t getPrinterIndex(const QString &name, bool report = true);
    bool checkPrinter();
    // 1 ready to print, 0 not.
    std::int16_t init();
    void Printer_Handling();
    void printSheet(std::int16_t side, int orientation);

    // The placement of a side on a sheet of the given resolution and physical offsets.
    PrintPlacement placement(int side, int dpiX, int dpiY, int offX, int offY) const;

private:
    void setImage(int side, const platform::ImgxImage &image);
    // The picture of a side as it goes on paper: fitted, with its objects, and at most as
    // many pixels as the cover has dots (dots: the cover's size on the device).
    QImage printedPicture(int side, const QSize &dots) const;
    // Every cover of the sheets lies on its sheet; else the user is told which side does not.
    bool coversFitOnSheets(const std::vector<SheetCall> &sheets);
    bool coverFitsOn(int side, const QSizeF &paperMm) const;

    std::int16_t mIntIndex = 0;
    std::array<std::array<float, 4>, 2> geometry_{};
    std::array<platform::ImgxImagePtr, 2> images_;
};
