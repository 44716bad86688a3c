// Qt's printing for the print library; built as the module pelmora-print.so.
#include "platform/print/PrinterModule.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace {

using platform::print::PrinterSetup;

QPagedPaintDevice *create(const PrinterSetup &setup)
{
    auto *p = new QPrinter(QPrinter::HighResolution);
    if (!setup.pdfFile.isEmpty()) {
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setPageSize(QPageSize(QPageSize::A4));
        p->setOutputFileName(setup.pdfFile);
    } else if (!setup.printerName.isEmpty()) {
        p->setPrinterName(setup.printerName);
    }
    if (setup.resolution > 0)
        p->setResolution(setup.resolution);
    else if (setup.maxResolution > 0)
        p->setResolution(std::min(p->resolution(), setup.maxResolution));
    p->setDocName(setup.docName);
    p->setFullPage(true);
    p->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    p->setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    p->setColorMode(setup.color ? QPrinter::Color : QPrinter::GrayScale);
    return p;
}

void abort(QPagedPaintDevice *printer)
{
    if (auto *p = dynamic_cast<QPrinter *>(printer))
        p->abort();
}

bool dialog(QWidget *owner, const QString &last, QString &chosen)
{
    QPrinter p(QPrinter::HighResolution);
    if (!last.isEmpty())
        p.setPrinterName(last);
    QPrintDialog dlg(&p, owner);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    chosen = p.printerName();
    return true;
}

const platform::print::PrinterFunctions kFunctions{
    &QPrinterInfo::availablePrinterNames, &QPrinterInfo::defaultPrinterName, &create, &abort, &dialog};

} // namespace

extern "C" Q_DECL_EXPORT const platform::print::PrinterFunctions *pelmoraPrinterFunctions() { return &kFunctions; }
