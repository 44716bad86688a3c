// The largest pictures the loading limits accept, worked on as a user does: a 12000 x 9000
// JPEG (108 megapixels, 432 MB of pixels) loaded through the picture reader onto a side of the
// main window, then the graphics editor opened on it, closed with OK, sharpened, softened,
// brightened, turned and given a new background, the side sharpened in the main window and
// printed into a PDF document; and a 16384 x 7600 PNG (124.5 megapixels) opened on a side
// without objects and on one with a text and a picture that are kept.
//
// Each operation is held to a goal for the whole process: its resident high-water mark while
// it runs (process_MiB), with the program as it stands before it holding the picture. Holding
// a side: the picture's pixel bytes and 64 MiB; printing it and opening or closing the editor
// on it: twice its pixel bytes and 64 MiB; an effect: three times its pixel bytes. Opening a
// picture on a side also keeps to its pixel bytes and 8 MiB above what the program held before
// (added_MiB), with objects kept as without. An operation past its goal fails its benchmark.
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
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
#include <algorithm>
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
// The wide picture: the largest PNG side of the limits, as wide as a panorama.
constexpr int kWideWidth = 16384, kWideHeight = 7600;
constexpr qint64 kWidePixelBytes = 4LL * kWideWidth * kWideHeight;
constexpr qint64 kMiB = 1024 * 1024;

// What an operation may take: for the whole process, as a multiple of the picture's pixel
// bytes and some MiB; and, where given, above what the process held before it.
struct Goal {
    qint64 pixelBytes;
    int times;
    qint64 slack;
    qint64 addedSlack = -1; // -1: no goal above what was held

    qint64 process() const { return times * pixelBytes + slack; }
};
constexpr Goal kHold{kPixelBytes, 1, 64 * kMiB, 8 * kMiB};
constexpr Goal kHoldWide{kWidePixelBytes, 1, 64 * kMiB, 8 * kMiB};
constexpr Goal kTwice{kPixelBytes, 2, 64 * kMiB};
constexpr Goal kThrice{kPixelBytes, 3, 0};

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
    QString printed; // in the program folder, which goes at the end
    CountedMessages *messages = nullptr;
    ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<frmPelmora> window;
    QString picture, widePicture;
};

Program &program()
{
    static Program *p = [] {
        auto *prog = new Program;
        const QString home = appPath();
        prog->printed = home + QStringLiteral("/printed");
        QDir().mkpath(prog->printed);
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
            platform::makePdfPrintLibrary(prog->printed, {"PDF"}, 600));
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
        // Shown, as the user sees it: the previews are painted from the sides' pictures.
        prog->window->show();
        // A photograph-like picture: detail everywhere, no transparency.
        prog->picture = home + QStringLiteral("/large.jpg");
        {
            QImage img(kWidth, kHeight, QImage::Format_RGB32);
            for (int y = 0; y < kHeight; ++y) {
                auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
                for (int x = 0; x < kWidth; ++x)
                    row[x] = qRgb((x * 7 + y) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255);
            }
            QImageWriter(prog->picture, "jpeg").write(img);
        }
        // A panorama of soft bands with an alpha channel, which a PNG keeps under a megabyte.
        prog->widePicture = home + QStringLiteral("/wide.png");
        {
            QImage img(kWideWidth, kWideHeight, QImage::Format_ARGB32);
            for (int y = 0; y < kWideHeight; ++y) {
                auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
                std::fill(row, row + kWideWidth, qRgba(40 + y / 64, 90, 160, 255));
            }
            QImageWriter(prog->widePicture, "png").write(img);
        }
        return prog;
    }();
    return *p;
}

// A picture loaded through the picture reader onto a side, as the open dialog does.
void loadOnto(int side, const QString &file = program().picture)
{
    auto image = platform::ImgxImage::create();
    const platform::CodecResult read = image->loadFile(file, QString());
    if (!read)
        std::fprintf(stderr, "%s not read: %s\n", qPrintable(file), qPrintable(read.message));
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

// Measures one operation: the process's peak while it runs and its growth above what was held
// before, its CPU time, and its goal.
void measure(benchmark::State &state, const Goal &goal, const std::function<void()> &work)
{
    const double cpu = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    qint64 process = 0;
    const auto added = bench::measurePeak(state, [&] {
        work();
        QApplication::processEvents(); // the result shown
        process = platform::processStatusKb("VmHWM:") * 1024;
    });
    state.SetIterationTime(double(wall.nsecsElapsed()) * 1e-9);
    const auto mib = [](qint64 bytes) { return double(bytes) / double(kMiB); };
    state.counters["cpu_s"] = processCpuSeconds() - cpu;
    state.counters["pixels_MiB"] = mib(goal.pixelBytes);
    state.counters["process_MiB"] = mib(process);
    state.counters["goal_MiB"] = mib(goal.process());
    state.counters["messages"] = program().messages->shown;
    if (program().messages->shown)
        state.SetLabel(program().messages->last.left(80).toStdString());
    if (!added)
        return;
    state.counters["added_MiB"] = mib(*added);
    state.counters["held_MiB"] = mib(process - *added);
    // A run that fails shows no counters: what it measured is told beside it.
    if (process > goal.process()) {
        std::fprintf(stderr,
                     "process peak %.0f MiB (%.0f MiB held before) over the goal of %.0f MiB (%d x %.0f MiB of "
                     "pixels + %.0f MiB)\n",
                     mib(process), mib(process - *added), mib(goal.process()), goal.times, mib(goal.pixelBytes),
                     mib(goal.slack));
        state.SkipWithError("the process took more than its goal");
    } else if (goal.addedSlack >= 0 && *added > goal.pixelBytes + goal.addedSlack) {
        std::fprintf(stderr, "peak %.0f MiB above what was held, over the picture's %.0f MiB and %.0f MiB\n",
                     mib(*added), mib(goal.pixelBytes), mib(goal.addedSlack));
        state.SkipWithError("the operation took more than the picture's pixel bytes above what was held");
    }
}

// The editor open on the large side, an operation in it, the editor cancelled afterwards.
void inEditor(benchmark::State &state, const Goal &goal, const std::function<void(frmGrafik &)> &work)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        loadOnto(0);
        frmGrafik *editor = openEditor();
        measure(state, goal, [&] { work(*editor); });
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
        measure(state, kTwice, [&] { editor = openEditor(); });
        closeEditor(editor);
        reset();
    }
}

void BM_EditorOk(benchmark::State &state)
{
    inEditor(state, kTwice, [](frmGrafik &editor) {
        editor.cmdOK->click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
}

void BM_Sharpen(benchmark::State &state)
{
    inEditor(state, kThrice, [](frmGrafik &editor) { editor.cmdSharpen->click(); });
}

void BM_Soften(benchmark::State &state)
{
    inEditor(state, kThrice, [](frmGrafik &editor) { editor.cmdSoften->click(); });
}

void BM_Brightness(benchmark::State &state)
{
    inEditor(state, kThrice, [](frmGrafik &editor) {
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
    inEditor(state, kThrice, [](frmGrafik &editor) {
        program().dialogs->action = [](QDialog &d) { static_cast<frmRotate &>(d).cmdRotateRight->click(); };
        editor.cmdRotate_Click();
    });
}

void BM_NewBackground(benchmark::State &state)
{
    inEditor(state, kThrice, [](frmGrafik &editor) {
        program().dialogs->action = [](QDialog &d) { static_cast<frmNewCover &>(d).cmdOK->click(); };
        editor.doNewCover();
    });
}

void BM_SideSharpen(benchmark::State &state)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        loadOnto(0);
        measure(state, kThrice, [] { program().window->cmdSharpen[0]->click(); });
        reset();
    }
}

// A text and a picture on the side, as the editor leaves them.
void giveObjects(int side)
{
    auto &model = gObjPartMoveableObjects[size_t(side)];
    auto green = platform::ImgxImage::create();
    green->blank(60, 60, 0x00FF00, 255, 6, platform::kNoUndo);
    model->AddClsPictureObject(green);
    clsTextObject text;
    text.mstrText = QStringLiteral("Panorama");
    text.setFontSize(48);
    model->AddClsTextObject(text);
    gBoolPartHasObjects[size_t(side)] = true;
    program().window->convertImageSizeToCover(std::int16_t(side));
}

// The large side printed without objects (0) and with a text and a picture (1).
void BM_PrintSide(benchmark::State &state)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        loadOnto(0);
        if (state.range(0) == 1)
            giveObjects(0);
        const int before = int(QDir(program().printed).entryList({"print-*.pdf"}).size());
        measure(state, kTwice, [] { program().window->cmdPrint_Click(0); });
        state.counters["documents"] = int(QDir(program().printed).entryList({"print-*.pdf"}).size()) - before;
        reset();
    }
}

// The wide picture opened on a side without objects (0) or with objects kept (1).
void BM_OpenWide(benchmark::State &state)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        if (state.range(0) == 1)
            giveObjects(0);
        measure(state, kHoldWide, [] { loadOnto(0, program().widePicture); });
        state.counters["objects"] = gBoolPartHasObjects[0] ? gObjPartMoveableObjects[0]->colMoveableObjects.count() : 0;
        reset();
    }
}

// The large picture opened on a side, then held.
void BM_OpenLarge(benchmark::State &state)
{
    for (auto _ : state) {
        reset();
        program().messages->shown = 0;
        measure(state, kHold, [] { loadOnto(0); });
        reset();
    }
}

BENCHMARK(BM_OpenLarge)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWide)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOk)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sharpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Soften)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Brightness)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateQuarter)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewBackground)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SideSharpen)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSide)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

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
