// Scanning into a side from SANE's test device.
#include "MainWindowTestSupport.h"

#include "canvas/clsMoveableObjects.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/Globals.h"
#include "platform/scan/ScanSourceChooser.h"
#include "platform/scan/ScannerProcess.h"
#include "platform/scan/TwainObject.h"
#include "platform/ui/WaitWindow.h"
#include "platform/widgets/ButtonPlus.h"
#include "support/SaneTestDevice.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>

using mainwindowtest::MainWindowTest;
using testsupport::writeSaneTestConf;

namespace {

class Scanning : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        testsupport::useSaneTestDevice();
    }
    bool allBlack(int side) const
    {
        const QImage img = igxBackup[size_t(side)]->qimage();
        for (int y = 0; y < img.height(); y += 7)
            for (int x = 0; x < img.width(); x += 7)
                if (QColor(img.pixel(x, y)) != QColor(Qt::black))
                    return false;
        return !img.isNull();
    }
};

} // namespace

TEST_F(Scanning, AScanGoesIntoTheSideOfItsCommand)
{
    writeSaneTestConf({{"mode", "Color"}, {"test-picture", "\"Solid black\""}});
    frmPelmora &w = start();
    w.show();
    ASSERT_FALSE(allBlack(1));
    w.cmdScan[1]->click();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join('|').toStdString();
    EXPECT_TRUE(allBlack(1));
    EXPECT_FALSE(allBlack(0));
    EXPECT_EQ(previewColor(1), QColor(Qt::black));
    EXPECT_FALSE(w.lblLoadPic[1]->isVisible());
    EXPECT_EQ(screen->pointer, platform::Pointer::Default);
    EXPECT_FALSE(w.objTwain->isSourceOpen()) << "the connection is closed after the scan";
    EXPECT_TRUE(choosers->fileRequests.empty()) << "no file is written";

    // The menu entry of the left side, grey this time.
    writeSaneTestConf({{"mode", "Gray"}, {"depth", "1"}, {"test-picture", "\"Solid black\""}});
    w.menuScanLeft->trigger();
    EXPECT_TRUE(allBlack(0));
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(Scanning, ScanToFileSavesUnderTheChosenNameThenLoadsTheSide)
{
    QDir().mkpath(path("scans"));
    options("SCANTOFILE=1\r\nSCANPATH=" + path("scans").toUtf8() + "\r\n");
    writeSaneTestConf({{"mode", "Color"}});
    frmPelmora &w = start();
    const QString target = path("scans/cover");
    choosers->files = {platform::FileDialogResult{target, 2}};
    w.cmdScan[0]->click();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join('|').toStdString();
    ASSERT_EQ(choosers->fileRequests.size(), 1u);
    const platform::FileDialogRequest &r = choosers->fileRequests[0];
    EXPECT_TRUE(r.save);
    EXPECT_TRUE(r.confirmOverwrite) << "asks before it overwrites";
    EXPECT_EQ(r.initialDir, path("scans"));
    EXPECT_EQ(r.filter, gStrSaveImageFilter);
    // The chosen format: PNG, with its extension added.
    QImageReader saved(target + ".png");
    EXPECT_EQ(saved.format(), "png");
    EXPECT_EQ(QColor(saved.read().pixel(3, 3)), QColor(Qt::black));
    EXPECT_TRUE(allBlack(0));

    // A name typed with the extension of another format is written in that format.
    choosers->files = {platform::FileDialogResult{path("scans/typed.bmp"), 1}};
    w.cmdScan[0]->click();
    EXPECT_EQ(QImageReader(path("scans/typed.bmp")).format(), "bmp");
    QFile::remove(path("scans/typed.bmp"));

    // Cancelled: nothing saved, the side stays.
    writeSaneTestConf({{"mode", "Color"}, {"test-picture", "\"Solid white\""}});
    choosers->files = {std::nullopt};
    w.cmdScan[0]->click();
    EXPECT_TRUE(allBlack(0));
    EXPECT_EQ(QDir(path("scans")).entryList(QDir::Files).size(), 1);
}

TEST_F(Scanning, TheScanFolderIsTheStartFolderOnlyWhenItExists)
{
    options("SCANTOFILE=1\r\nSCANPATH=" + path("no/such/folder").toUtf8() + "\r\n");
    writeSaneTestConf({});
    frmPelmora &w = start();
    choosers->files = {std::nullopt};
    w.cmdScan[1]->click();
    ASSERT_EQ(choosers->fileRequests.size(), 1u);
    EXPECT_TRUE(choosers->fileRequests[0].initialDir.isEmpty());
}

TEST_F(Scanning, AJammedScannerShowsItsErrorNumberAndText)
{
    writeSaneTestConf({{"read-status-code", "\"SANE_STATUS_JAMMED\""}});
    frmPelmora &w = start();
    const QImage before = igxBackup[0]->qimage();
    w.cmdScan[0]->click();
    ASSERT_EQ(prompter->shown.size(), 1u);
    const testsupport::ShownMessage &m = prompter->shown[0];
    EXPECT_EQ(m.title, "Scanner error");
    EXPECT_TRUE(m.prompt.startsWith("Error Number:  6\r\n\r\n")) << m.prompt.toStdString();
    EXPECT_TRUE(m.prompt.contains("jammed", Qt::CaseInsensitive)) << m.prompt.toStdString();
    EXPECT_EQ(m.style, platform::MsgStyle::Information);
    EXPECT_EQ(igxBackup[0]->qimage(), before);
    EXPECT_EQ(screen->pointer, platform::Pointer::Default);
}

TEST_F(Scanning, WithoutAScannerTheUserIsToldSo)
{
    testsupport::writeSaneDllConf("# no backends\n");
    frmPelmora &w = start();
    w.cmdScan[0]->click();
    w.menuSelectSource->trigger();
    ASSERT_EQ(prompter->shown.size(), 2u);
    for (const auto &m : prompter->shown) {
        EXPECT_EQ(m.prompt, "No Scanner available");
        EXPECT_EQ(m.title, "Error");
        EXPECT_EQ(m.style, platform::MsgStyle::Information);
    }
}

TEST_F(Scanning, TheSourceChoiceAndTheScanSpeakTheLanguageOfTheProgram)
{
    options("LANGUAGE=Deutsch.dll\r\n");
    writeSaneTestConf({{"read-status-code", "\"SANE_STATUS_JAMMED\""}});
    testsupport::ScriptedSourceChooser &chooser = *scanSources;
    chooser.answers = {platform::ScanSourceChoice{QStringLiteral("test:0"), QStringLiteral("Color"), 0}};
    frmPelmora &w = start();
    w.menuSelectSource->trigger();
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].texts.title, "Quelle wählen");
    EXPECT_EQ(chooser.requests[0].texts.resolution, "Auflösung:");
    EXPECT_EQ(w.objTwain->sourceChoice().mode, "Color");
    w.cmdScan[0]->click();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].title, "Scannerfehler");

    // Switched to English while the program runs: the source choice and the window that waits
    // for a slow scanner follow.
    writeFile("slow-scanner", "#!/bin/sh\nsleep 0.3\nexec '" + QFile::encodeName(platform::scannerHelperPath()) + "'\n");
    QFile::setPermissions(path("slow-scanner"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    platform::Seam<platform::Scanner>::install(platform::makeProcessScanner(path("slow-scanner"), {60000, 5000, 0}));
    setLanguage(path("language/English.dll"));
    chooser.answers = {platform::ScanSourceChoice{QStringLiteral("test:0"), QStringLiteral("Color"), 0}};
    w.menuSelectSource->trigger();
    ASSERT_EQ(chooser.requests.size(), 2u);
    EXPECT_EQ(chooser.requests[1].texts.resolution, "Resolution:");
    writeSaneTestConf({{"mode", "Color"}});
    prompter->shown.clear();
    w.cmdScan[0]->click();
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join('|').toStdString();
    ASSERT_FALSE(waits->shown.empty());
    for (const platform::WaitTexts &t : waits->shown) {
        EXPECT_EQ(t.label, "Waiting for the scanner...");
        EXPECT_EQ(t.cancel, "Cancel");
    }
}

TEST_F(Scanning, ScanningOntoObjectsAsksToKeepThemAndPutsTheWindowBackOnTop)
{
    options("FOREGROUND=1\r\n");
    writeSaneTestConf({{"mode", "Color"}});
    frmPelmora &w = start();
    auto pic = platform::ImgxImage::create();
    QImage green(20, 20, QImage::Format_ARGB32_Premultiplied);
    green.fill(Qt::green);
    pic->setQImage(green, platform::kNoUndo);
    gObjPartMoveableObjects[0]->AddClsPictureObject(pic);
    gBoolPartHasObjects[0] = true;
    prompter->answers = {platform::MsgAnswer::Yes};
    w.cmdScan[0]->click();
    EXPECT_EQ(prompts(), QStringList({"This side holds texts and pictures. Keep all objects?"}));
    EXPECT_TRUE(gBoolPartHasObjects[0]);
    EXPECT_TRUE(allBlack(0));
    EXPECT_TRUE(isFormTopmost(&w));
}
