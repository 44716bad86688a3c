// Printing both sides of a CD cover at 600 dpi into a PDF document.
#include "core/AppPath.h"
#include "core/Globals.h"
#include "mainwindow/clsPrinter.h"
#include "platform/print/PrintLibrary.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

namespace {

void BM_PrintBothCdSidesAt600Dpi(benchmark::State &state)
{
    QTemporaryDir out;
    platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {"PDF"}, 600));
    gStrPrinterName = QStringLiteral("PDF");
    gBytePrintBorder = 1;
    QImage side(1417, 1417, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < side.height(); ++y)
        for (int x = 0; x < side.width(); ++x)
            side.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    platform::ImgxImage front, back;
    front.setQImage(side, platform::kNoUndo);
    back.setQImage(side, platform::kNoUndo);
    for (auto _ : state) {
        clsPrinter p;
        p.setFrontImage(front);
        p.setBackImage(back);
        p.setFrontWidth(12);
        p.setFrontHeight(12);
        p.setFrontLeftMargin(4.5f);
        p.setFrontTopMargin(1.5f);
        p.setBackWidth(15);
        p.setBackHeight(11.8f);
        p.setBackLeftMargin(3);
        p.setBackTopMargin(15.5f);
        p.printSheet(2, 1);
    }
    platform::Seam<platform::PrintLibrary>::reset();
}
BENCHMARK(BM_PrintBothCdSidesAt600Dpi)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
