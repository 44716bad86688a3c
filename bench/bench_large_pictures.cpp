// The largest pictures the loading limits accept, worked on as a user does: a 12000 x 9000
// JPEG (108 megapixels, 432 MB of pixels) loaded through the picture reader onto a side of the
// main window, then the graphics editor opened on it, closed with OK, sharpened, softened,
// brightened, turned and given a new background, and both sides (each with such a picture)
// printed into a PDF document. Each operation reports the growth of the resident high-water
// mark above what the program held before it (peak_MiB), its CPU time and its bound: three
// times the picture's own pixel bytes. An operation over its bound fails its benchmark.
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsUndos.h"
#include "core/AppPath.h"
#include "core/Globals.h"
#include "core/libCoverData.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "editor/EditorDialogRunner.h"
#include "editor/EditorGlobals.h"
#include "editor/frmBrightness.h"
#include "editor/frmGrafik.h"
#include "editor/frmNewCover.h"
#include "editor/frmRotate.h"
#include "mainwindow/Globals.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/print/PrintLibrary.h"
#include "platform/ui/Prompter.h"
#include "platform/widgets/ButtonPlus.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

#include "PeakMemory.h"
#include "BenchRun.h"

namespace {

constexpr int kWidth = 12000, kHeight = 9000;
constexpr qint64 kPixelBytes = 4LL * kWidth * kHeight;
constexpr qint64 kBound = 3 * kPixelBytes;

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Messages are answered with OK (Yes to a question) and counted.
class CountedMessages final : public platform::Prompter {
public:
    int msgBox(const QString &text, int, const QString &) override
    {
        ++shown;
        last = text;
        return platform::MsgAnswer::Ok;
    }
    bool inputBox(const QString &, const QString &, const QString &, QString &) override { return false; }
    int shown = 0;
    QString last;
};

// The windows the main window would open: none.
class NoWindows final : public MainWindowServices {
public:
    void showCoverFormatEditor(QWidget *, const QString &) override {}
    void showTipOfTheDay(QWidget *, bool) override {}
    void showModal(Window, QWidget *) override {}
    bool openEditor(QWidget *) override { return false; }
    void showBrightness(QWidget *, const platform::ImgxImagePtr &) override {}
    void showSharpSoft(QWidget *, const platform::ImgxImagePtr &, bool, bool) override {}
    void showSearch(QWidget *) override {}
};

// Works each editor dialog with the action given for it.
class ScriptedDialogs final : public EditorDialogRunner {
public:
    int run(QDialog &dialog) override
    {
        if (action)
            action(dialog);
        if (dialog.isVisible() || dialog.result() == 0)
            dialog.done(dialog.result());
        return dialog.result();
    }
    std::function<void(QDialog &)> action;
};

struct Program {
    QTemporaryDir printed;
    CountedMessages *messages = nullptr;
    ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<frmPelmora> window;
    QString picture;
};

Program &program()
{
    static Program *p = [] {
        auto *prog = new Program;
        const QString home = appPath();
        for (const QString &sub : {QStringLiteral("data"), QStringLiteral("language")}) {
            QDir().mkpath(home + u'/' + sub);
            const QDir source(QStringLiteral(PELMORA_SOURCE_DIR "/resources/") + sub);
            for (const QString &f : source.entryList(QDir::Files))
                QFile::copy(source.filePath(f), home + u'/' + sub + u'/' + f);
        }
        // Both CD sides as back inlays (15 x 11,8 cm) on one sheet: a 4 : 3 picture is fitted
        // to their shape.
        QFile options(home + QStringLiteral("/data/pelmora.dat"));
        if (options.open(QIODevice::WriteOnly))
            options.write("[OPTIONS]\r\nPRINTERNAME=PDF\r\nPRINTERID=1\r\nPRINTBORDER=1\r\nBORDERWIDTH=0,25\r\n"
                          "PRINTMARGIN=0\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=2\r\nLASTCOVERRIGHT=2\r\nSHOWTIPS=1\r\n");
        options.close();
        prog->messages = &platform::Seam<platform::Prompter>::install(std::make_unique<CountedMessages>());
        prog->dialogs = &platform::Seam<EditorDialogRunner>::install(std::make_unique<ScriptedDialogs>());
        platform::Seam<MainWindowServices>::install(std::make_unique<NoWindows>());
        platform::Seam<platform::PrintLibrary>::install(
            platform::makePdfPrintLibrary(prog->printed.path(), {"PDF"}, 600));
        gObjCover();
        gObjOptionsStore().setInitFileName(optionsFilePath());
        gObjOptionsStore().initializeAll(QStringLiteral("OPTIONS"));
        readOptions();
        getLanguageFiles();
        setLanguage(appPath() + QStringLiteral("/language/") +
                    findLanguageFile(gObjOptionsStore().getVar("OPTIONS.LANGUAGE", "English.dll")));
        loadCoverData();
        buildImageFilters();
        prog->window = std::make_unique<frmPelmora>();
        // A photograph-like picture: detail everywhere, no transparency.
        prog->picture = home + QStringLiteral("/large.jpg");
        QImage img(kWidth, kHeight, QImage::Format_RGB32);
        for (int y = 0; y < kHeight; ++y) {
            auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < kWidth; ++x)
                row[x] = qRgb((x * 7 + y) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255);
        }
        QImageWriter(prog->picture, "jpeg").write(img);
        return prog;
    }();
    return *p;
}

// The picture loaded through the picture reader onto a side, as the open dialog does.
void loadOnto(int side)
{
    auto image = platform::ImgxImage::create();
    image->loadFile(program().picture, QString());
    program().window->loadCover(std::int16_t(side), *image);
}

// A fresh program state: no editor, no objects, no undo steps, both sides empty.
void reset()
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    gObjUndos().reset();
    gObjMoveableObjects().reset();
    gObjStartMoveableObjects.reset();
    program().window->initBackupIgx();
    program().dialogs->action = nullptr;
    QApplication::processEvents();
}

frmGrafik *openEditor()
{
    auto *editor = new frmGrafik(nullptr);
    editor->show();
    QApplication::processEvents();
    return editor;
}

void closeEditor(frmGrafik *editor)
{
    if (frmGrafik::instance() == editor)
        editor->cmdCancel_Click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Measures one operation: its peak above what was held before, its CPU time and the bound.
void measure(benchmark::State &state, const std::function<void()> &work)
{
    const double cpu = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const auto peak = bench::measurePeak(state, [&] {
        work();
        QApplication::processEvents(); // the result shown
    });
    state.SetIterationTime(double(wall.nsecsElapsed()) * 1e-9);
    state.counters["cpu_s"] = processCpuSeconds() - cpu;
    state.counters["bound_MiB"] = double(kBound) / (1024.0 * 1024.0);
    state.counters["pixels_MiB"] = double(kPixelBytes) / (1024.0 * 1024.0);
    state.counters["messages"] = program().messages->shown;
    if (program().messages->shown)
        state.SetLabel(program().messages->last.left(80).toStdString());
    // A run that fails shows no counters: what it measured is told beside it.
    if (peak && *peak > kBound) {
        std::fprintf(stderr, "peak %.0f MiB over the bound of %.0f MiB (cpu %.2f s)\n",
                     double(*peak) / (1024.0 * 1024.0), double(kBound) / (1024.0 * 1024.0),
                     state.counters["cpu_s"].value);
        state.SkipWithError("the operation took more than three times the picture's pixel bytes");
    }
}

// The editor open on the large side, an operation in it, the editor cancelled afterwards.
void inEditor(benchmark::State &state, const std::function<void(frmGrafik &)> &work)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        loadOnto(0);
        frmGrafik *editor = openEditor();
        measure(state, [&] { work(*editor); });
        closeEditor(editor);
        reset();
    }
}

void BM_EditorOpen(benchmark::State &state)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        loadOnto(0);
        frmGrafik *editor = nullptr;
        measure(state, [&] { editor = openEditor(); });
        closeEditor(editor);
        reset();
    }
}

void BM_EditorOk(benchmark::State &state)
{
    inEditor(state, [](frmGrafik &editor) {
        editor.cmdOK->click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
}

void BM_Sharpen(benchmark::State &state)
{
    inEditor(state, [](frmGrafik &editor) { editor.cmdSharpen->click(); });
}

void BM_Soften(benchmark::State &state)
{
    inEditor(state, [](frmGrafik &editor) { editor.cmdSoften->click(); });
}

void BM_Brightness(benchmark::State &state)
{
    inEditor(state, [](frmGrafik &editor) {
        program().dialogs->action = [](QDialog &d) {
            auto &dialog = static_cast<frmBrightness &>(d);
            dialog.scrBrightness->setValue(20);
            dialog.cmdOK->click();
        };
        editor.editBrightness();
    });
}

void BM_RotateQuarter(benchmark::State &state)
{
    inEditor(state, [](frmGrafik &editor) {
        program().dialogs->action = [](QDialog &d) { static_cast<frmRotate &>(d).cmdRotateRight->click(); };
        editor.cmdRotate_Click();
    });
}

void BM_NewBackground(benchmark::State &state)
{
    inEditor(state, [](frmGrafik &editor) {
        program().dialogs->action = [](QDialog &d) { static_cast<frmNewCover &>(d).cmdOK->click(); };
        editor.doNewCover();
    });
}

void BM_PrintBothSides(benchmark::State &state)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        loadOnto(0);
        loadOnto(1);
        const int before = int(QDir(program().printed.path()).entryList({"print-*.pdf"}).size());
        measure(state, [] { program().window->cmdPrint_Click(2); });
        state.counters["documents"] = int(QDir(program().printed.path()).entryList({"print-*.pdf"}).size()) - before;
        reset();
    }
}

BENCHMARK(BM_EditorOpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOk)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sharpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Soften)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Brightness)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateQuarter)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewBackground)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintBothSides)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // the picture reader's helper is found beside this program
    QTemporaryDir home;
    setAppPathForTests(home.path());
    benchmark::Initialize(&argc, argv);
    program();
    return benchrun::runChosenBenchmarks();
}
