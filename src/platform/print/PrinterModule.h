#pragma once
// What the print library asks of Qt's printing, which lives in a module of its own
// (pelmora-print.so) that the program loads when it first prints or asks for its printers: the
// program starts without Qt's printing and the CUPS libraries it brings. The printers the
// module makes are paged paint devices, on which the library draws with its own painter.
#include <QMarginsF>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QWidget;

namespace platform::print {

// How a printer is set up for a document, or only to measure its paper.
struct PrinterSetup {
    QString printerName;  // empty: the system's default printer
    QString pdfFile;      // set: an A4 PDF file written there instead of a printer
    int resolution = 0;   // dots an inch; 0: the printer's own
    int maxResolution = 0; // where resolution is 0: at most this many, 0: no bound
    QString docName;      // the title of the job
    bool color = true;
    bool landscape = false;
};

struct PrinterFunctions {
    QStringList (*printerNames)();
    QString (*defaultPrinterName)();
    // A printer on the full page, no margins, as set up; null where none can be made.
    QPagedPaintDevice *(*create)(const PrinterSetup &setup);
    // Gives up the document being printed on printer (made by create).
    void (*abort)(QPagedPaintDevice *printer);
    // Qt's print dialog on a printer that starts as last; gives the chosen printer's name.
    bool (*dialog)(QWidget *owner, const QString &last, QString &chosen);
};

} // namespace platform::print
