#include "platform/print/PrintLibrary.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>

#include <memory>

namespace platform {
namespace {

// What both libraries share: a QPrinter on the full page and a painter on it.
class PrinterBase : public PrintLibrary {
public:
    void setQuality(int q) override { quality_ = q; }
    void setColor(bool c) override { color_ = c; }
    void setOrientation(int o) override { orientation_ = o == 2 ? 2 : 1; }
    int orientation() const override { return orientation_; }
    QSizeF paperSizeMm(int orientation) override
    {
        const std::unique_ptr<QPrinter> p = makePrinter();
        if (!p)
            return QSizeF();
        p->setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
        return p->pageLayout().fullRect(QPageLayout::Millimeter).size();
    }

    bool startDoc(const QString &name) override
    {
        abortDoc();
        printer_ = makePrinter();
        if (!printer_)
            return false;
        printer_->setDocName(name);
        printer_->setFullPage(true);
        printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        printer_->setPageOrientation(orientation_ == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
        printer_->setColorMode(color_ ? QPrinter::Color : QPrinter::GrayScale);
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get())) {
            painter_.reset();
            printer_.reset();
            return false;
        }
        dc_ = std::make_unique<imaging::PainterContext>(*painter_);
        pages_ = 0;
        return true;
    }
    void startPage() override
    {
        if (painter_ && pages_++ > 0)
            printer_->newPage();
    }
    void endPage() override {}
    void endDoc() override
    {
        dc_.reset();
        if (painter_)
            painter_->end();
        painter_.reset();
        printer_.reset();
        documentDone();
    }
    void abortDoc() override
    {
        if (!painter_)
            return;
        printer_->abort();
        dc_.reset();
        painter_->end();
        painter_.reset();
        printer_.reset();
    }
    bool inDocument() const override { return painter_ != nullptr; }
    imaging::DeviceContext &hdc() override
    {
        if (!dc_)
            dc_ = std::make_unique<imaging::RecordingContext>(); // drawing outside a page goes nowhere
        return *dc_;
    }
    int dpiX() const override { return printer_ ? printer_->logicalDpiX() : resolution(); }
    int dpiY() const override { return printer_ ? printer_->logicalDpiY() : resolution(); }
    int physicalOffsetX() const override { return 0; }
    int physicalOffsetY() const override { return 0; }

protected:
    virtual std::unique_ptr<QPrinter> makePrinter() = 0;
    virtual int resolution() const = 0;
    virtual void documentDone() {}
    int qualityResolution(int native) const
    {
        switch (quality_) {
        case -2: return std::min(native, 300);
        case -1: return std::min(native, 150);
        default: return native;
        }
    }

    int quality_ = -4;
    bool color_ = true;
    int orientation_ = 1;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<imaging::DeviceContext> dc_;
    int pages_ = 0;
};

class QtPrintLibrary final : public PrinterBase {
public:
    QStringList printerNames() override { return QPrinterInfo::availablePrinterNames(); }
    QString defaultPrinterName() override { return QPrinterInfo::defaultPrinterName(); }
    int currentPrinter() const override { return current_; }
    void setCurrentPrinter(int index) override { current_ = index; }

    bool showPrinterDialog(QWidget *owner) override
    {
        QSettings s;
        s.beginGroup(QStringLiteral("IMGXPrinter"));
        QPrinter p(QPrinter::HighResolution);
        const QString last = s.value(QStringLiteral("printer")).toString();
        if (!last.isEmpty())
            p.setPrinterName(last);
        QPrintDialog dlg(&p, owner);
        if (dlg.exec() != QDialog::Accepted)
            return false;
        s.setValue(QStringLiteral("printer"), p.printerName());
        current_ = int(printerNames().indexOf(p.printerName()));
        chosen_ = p.printerName();
        return true;
    }

protected:
    std::unique_ptr<QPrinter> makePrinter() override
    {
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        const QStringList names = printerNames();
        if (current_ >= 0 && current_ < names.size())
            p->setPrinterName(names[current_]);
        else if (!chosen_.isEmpty())
            p->setPrinterName(chosen_);
        p->setResolution(qualityResolution(p->resolution()));
        return p;
    }
    int resolution() const override { return 600; }

private:
    int current_ = -1;
    QString chosen_;
};

class PdfPrintLibrary final : public PrinterBase {
public:
    PdfPrintLibrary(QString folder, QStringList printers, int dpi, QString defaultPrinter)
        : folder_(std::move(folder)), printers_(std::move(printers)), dpi_(dpi), default_(std::move(defaultPrinter))
    {
    }
    QStringList printerNames() override { return printers_; }
    QString defaultPrinterName() override { return default_; }
    int currentPrinter() const override { return current_; }
    void setCurrentPrinter(int index) override { current_ = index; }
    bool showPrinterDialog(QWidget *) override { return !printers_.isEmpty(); }

protected:
    std::unique_ptr<QPrinter> makePrinter() override
    {
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setResolution(dpi_);
        p->setPageSize(QPageSize(QPageSize::A4));
        p->setOutputFileName(folder_ + QStringLiteral("/print-%1.pdf").arg(documents_ + 1));
        return p;
    }
    int resolution() const override { return dpi_; }
    void documentDone() override { ++documents_; }

private:
    QString folder_;
    QStringList printers_;
    int dpi_;
    QString default_;
    int current_ = -1;
    int documents_ = 0;
};

std::unique_ptr<PrintLibrary> makeDefault() { return makeQtPrintLibrary(); }

} // namespace

std::unique_ptr<PrintLibrary> makeQtPrintLibrary() { return std::make_unique<QtPrintLibrary>(); }

std::unique_ptr<PrintLibrary> makePdfPrintLibrary(const QString &folder, const QStringList &printers, int dpi,
                                                  const QString &defaultPrinter)
{
    return std::make_unique<PdfPrintLibrary>(folder, printers, dpi, defaultPrinter);
}

template <> Seam<PrintLibrary>::Factory &Seam<PrintLibrary>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
