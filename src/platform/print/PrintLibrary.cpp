#include "platform/print/PrintLibrary.h"

#include "platform/print/PrinterModule.h"
#include "platform/process/ProgramModules.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QSettings>

#include <memory>

namespace platform {
namespace {

// Qt's printing, loaded on first use; null where the module is missing.
const print::PrinterFunctions *printing()
{
    static const print::PrinterFunctions *functions = [] {
        using Get = const print::PrinterFunctions *();
        QString error;
        Get *get = programModuleFunction<Get>(QStringLiteral("pelmora-print.so"), "pelmoraPrinterFunctions", &error);
        if (!get)
            qWarning("Printing is not available: %s", qPrintable(error));
        return get ? get() : nullptr;
    }();
    return functions;
}

// What both libraries share: a printer on the full page and a painter on it.
class PrinterBase : public PrintLibrary {
public:
    void setQuality(int q) override { quality_ = q; }
    void setColor(bool c) override { color_ = c; }
    void setOrientation(int o) override { orientation_ = o == 2 ? 2 : 1; }
    int orientation() const override { return orientation_; }
    QSizeF paperSizeMm(int orientation) override
    {
        print::PrinterSetup setup = this->setup();
        setup.landscape = orientation == 2;
        const std::unique_ptr<QPagedPaintDevice> p = make(setup);
        if (!p)
            return QSizeF();
        return p->pageLayout().fullRect(QPageLayout::Millimeter).size();
    }

    bool startDoc(const QString &name) override
    {
        abortDoc();
        print::PrinterSetup setup = this->setup();
        setup.docName = name;
        setup.color = color_;
        setup.landscape = orientation_ == 2;
        printer_ = make(setup);
        if (!printer_)
            return false;
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
        if (const print::PrinterFunctions *f = printing())
            f->abort(printer_.get());
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
    // The printer and file of the next document, at its resolution.
    virtual print::PrinterSetup setup() const = 0;
    virtual int resolution() const = 0;
    virtual void documentDone() {}
    // The bound the print quality sets on the printer's own resolution (0: none).
    int qualityBound() const
    {
        switch (quality_) {
        case -2: return 300;
        case -1: return 150;
        default: return 0;
        }
    }

    int quality_ = -4;
    bool color_ = true;
    int orientation_ = 1;
    std::unique_ptr<QPagedPaintDevice> printer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<imaging::DeviceContext> dc_;
    int pages_ = 0;

private:
    static std::unique_ptr<QPagedPaintDevice> make(const print::PrinterSetup &setup)
    {
        const print::PrinterFunctions *f = printing();
        return std::unique_ptr<QPagedPaintDevice>(f ? f->create(setup) : nullptr);
    }
};

class QtPrintLibrary final : public PrinterBase {
public:
    QStringList printerNames() override
    {
        const print::PrinterFunctions *f = printing();
        return f ? f->printerNames() : QStringList();
    }
    QString defaultPrinterName() override
    {
        const print::PrinterFunctions *f = printing();
        return f ? f->defaultPrinterName() : QString();
    }
    int currentPrinter() const override { return current_; }
    void setCurrentPrinter(int index) override { current_ = index; }

    bool showPrinterDialog(QWidget *owner) override
    {
        const print::PrinterFunctions *f = printing();
        if (!f)
            return false;
        QSettings s;
        s.beginGroup(QStringLiteral("IMGXPrinter"));
        QString chosen;
        if (!f->dialog(owner, s.value(QStringLiteral("printer")).toString(), chosen))
            return false;
        s.setValue(QStringLiteral("printer"), chosen);
        current_ = int(printerNames().indexOf(chosen));
        chosen_ = chosen;
        return true;
    }

protected:
    print::PrinterSetup setup() const override
    {
        print::PrinterSetup s;
        const print::PrinterFunctions *f = printing();
        const QStringList names = f ? f->printerNames() : QStringList();
        if (current_ >= 0 && current_ < names.size())
            s.printerName = names[current_];
        else
            s.printerName = chosen_;
        s.maxResolution = qualityBound();
        return s;
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
    print::PrinterSetup setup() const override
    {
        print::PrinterSetup s;
        s.pdfFile = folder_ + QStringLiteral("/print-%1.pdf").arg(documents_ + 1);
        s.resolution = dpi_;
        return s;
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
