#pragma once
// The print library: the printer list, the current printer and its settings, and documents
// of pages drawn through a device context in the printer's dots.
//
// The real library prints through Qt's printing (CUPS on Linux) on the full page: position
// (0, 0) is the paper's corner, so the physical offsets are 0. Tests install a library that
// writes each document to a PDF file of its own.
#include "platform/Seam.h"
#include "platform/imaging/DeviceContext.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

class PrintLibrary {
public:
    virtual ~PrintLibrary() = default;

    virtual QStringList printerNames() = 0;
    // The printer the system prints with when none is chosen; empty when it names none.
    virtual QString defaultPrinterName() = 0;
    virtual int currentPrinter() const = 0;          // -1 none
    virtual void setCurrentPrinter(int index) = 0;
    // Classic quality values: -4 high, -3 medium, -2 low, -1 draft.
    virtual void setQuality(int quality) = 0;
    virtual void setColor(bool color) = 0;
    // 1 portrait, 2 landscape.
    virtual void setOrientation(int orientation) = 0;
    virtual int orientation() const = 0;
    // The sheet of the current printer in millimetres, in the given orientation.
    virtual QSizeF paperSizeMm(int orientation) = 0;
    // The printer dialog with the settings kept from last time; false when cancelled.
    virtual bool showPrinterDialog(QWidget *owner) = 0;

    virtual bool startDoc(const QString &name) = 0;
    virtual void startPage() = 0;
    virtual void endPage() = 0;
    virtual void endDoc() = 0;
    // Drops a started document (after a failure inside it).
    virtual void abortDoc() = 0;
    virtual bool inDocument() const = 0;
    // Drawing on the current page, in device pixels.
    virtual imaging::DeviceContext &hdc() = 0;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    virtual int physicalOffsetX() const = 0;
    virtual int physicalOffsetY() const = 0;

    static PrintLibrary &get() { return Seam<PrintLibrary>::get(); }
};

// The library over Qt's printing.
std::unique_ptr<PrintLibrary> makeQtPrintLibrary();
// A library whose printers write every document as a PDF file of A4 sheets into folder
// (document 1 is "print-1.pdf", ...), at the given resolution; defaultPrinter is the one the
// system would print with.
std::unique_ptr<PrintLibrary> makePdfPrintLibrary(const QString &folder, const QStringList &printers, int dpi,
                                                  const QString &defaultPrinter = QString());

template <> Seam<PrintLibrary>::Factory &Seam<PrintLibrary>::defaultFactory();

} // namespace platform
