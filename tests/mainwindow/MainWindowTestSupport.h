#pragma once
// A main-window test: a program folder with the shipped data and language files, the start
// of the program up to the main window (options, language, format tables, filters), a
// recording stand-in for the windows the main window opens, and clean state afterwards.
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/frmPelmora.h"

#include "support/TestSupport.h"

#include <QColor>
#include <QImage>
#include <QMimeData>
#include <QRect>
#include <memory>

namespace mainwindowtest {

class RecordingWindows final : public MainWindowServices {
public:
    void showCoverFormatEditor(QWidget *, const QString &caption) override;
    void showTipOfTheDay(QWidget *, bool) override
    {
        ++tips;
        record(QStringLiteral("frmTip"));
    }
    void showModal(Window window, QWidget *) override { record(windowName(window)); }
    bool openEditor(QWidget *) override
    {
        record(QStringLiteral("frmGrafik"));
        return editorOpens;
    }
    void showBrightness(QWidget *, const platform::ImgxImagePtr &image) override
    {
        dialogImage = image;
        record(QStringLiteral("frmBrightness"));
    }
    void showSharpSoft(QWidget *, const platform::ImgxImagePtr &image, bool sharpen, bool) override
    {
        dialogImage = image;
        record(sharpen ? QStringLiteral("frmSharpSoft sharpen") : QStringLiteral("frmSharpSoft soften"));
    }
    void showSearch(QWidget *) override { record(QStringLiteral("frmSearch")); }

    void record(const QString &window)
    {
        opened.push_back(window);
        if (windowAction)
            windowAction(window);
    }

    struct EditorCall {
        QString caption;
        int profileIndex;
        int editedIndex;
    };
    std::vector<EditorCall> editorCalls;
    // What the editor does before it closes, if anything.
    std::function<void()> editorAction;
    int tips = 0;
    // The windows opened, by form name, and what each does while it is open.
    std::vector<QString> opened;
    std::function<void(const QString &)> windowAction;
    bool editorOpens = true;
    platform::ImgxImagePtr dialogImage;
};

// The bytes of a PNG file of one colour.
QByteArray pngBytes(int w, int h, QColor color);

// The first page of a printed PDF as pdftoppm renders it with these arguments; the test fails
// when the tool (which scripts/install-deps installs) is missing or cannot read the file.
QImage pdfPage(const QString &pdf, const QStringList &arguments);

// A drop as the window system delivers it: enter, then drop, then the deferred load.
void sendDrop(QWidget *target, QMimeData &data, Qt::DropActions actions);
// Drops files, or a text as a web browser drops an address, onto a target.
void dropFiles(QWidget *target, const QStringList &paths);
void dropText(QWidget *target, const QString &text);

class MainWindowTest : public testsupport::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the options file; call before start().
    void options(const QByteArray &lines);
    // Runs the start-up as the program does and creates the main window.
    frmPelmora &start();
    // The lines of a data file, without their line ends.
    QStringList dataLines(const QString &fileName) const;
    // A PNG file of one colour below the program folder; returns its path.
    QString pngFile(const QString &relative, int w, int h, QColor color) const;
    // The colour of the preview of a side at a point (fractions of its size).
    QColor previewColor(int side, double fx = 0.5, double fy = 0.5) const;
    // The messages shown so far, prompts only.
    QStringList prompts() const;
    // Objects on a side as the graphics editor leaves them on its canvas at a zoom: a green
    // square picture of the size given and a black 48-point text "Cover" (its full-scale size).
    void giveCoverObjects(int side, double zoom, QRect picture, QPoint text);
    // Where the side's preview shows its green pixels and its dark ones (a text's ink).
    struct ShownObjects {
        QRect picture, text;
    };
    ShownObjects shownObjects(int side) const;

    std::unique_ptr<frmPelmora> window;
    RecordingWindows *windows = nullptr;
};

} // namespace mainwindowtest
