#include "platform/ui/Choosers.h"
#include "platform/ui/Screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include "support/QtPrinters.h"

TEST(Choosers, ProgramFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(platform::toQtNameFilters("All images|*.jpg;*.png|Bitmap BMP|*.bmp|"),
              (QStringList{"All images (*.jpg *.png)", "Bitmap BMP (*.bmp)"}));
    EXPECT_EQ(platform::toQtNameFilters("Windows Enhanced Metafile EMF|*.emf"),
              QStringList{"Windows Enhanced Metafile EMF (*.emf)"});
}

TEST(Choosers, TheFirstPatternOfAFilterNamesItsExtension)
{
    EXPECT_EQ(platform::filterExtension("JPEG (*.jpg *.jpeg)"), "jpg");
    EXPECT_EQ(platform::filterExtension("Bitmap BMP (*.bmp)"), "bmp");
    EXPECT_EQ(platform::filterExtension("All files (*.*)"), "");
    EXPECT_EQ(platform::filterExtension("Anything (*)"), "");
    EXPECT_EQ(platform::filterExtension("no patterns"), "");
}

// The real save dialog: a name typed without an extension gets the chosen format's, and an
// existing file of that name is asked about before it is replaced.
TEST(Choosers, SaveDialogAsksBeforeReplacingTheFileATypedNameBecomes)
{
    QTemporaryDir dir;
    QFile existing(dir.filePath("cover.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    auto choosers = platform::makeQtChoosers();
    platform::FileDialogRequest r;
    r.save = true;
    r.filter = "JPEG|*.jpg|PNG|*.png|";
    r.filterIndex = 2;
    r.initialDir = dir.path();
    QString question;
    int ticks = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            question = box->text();
            if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                yes->click();
        } else if (auto *dlg = qobject_cast<QFileDialog *>(modal); dlg && ticks++ % 10 == 0) {
            // Typed and confirmed; again a little later should the dialog not have been ready.
            auto *name = dlg->findChild<QLineEdit *>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText("cover");
            QMetaObject::invokeMethod(dlg, "accept", Qt::QueuedConnection);
        }
    });
    driver.start(20);
    const auto chosen = choosers->chooseFile(r);
    driver.stop();
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(chosen->path).fileName(), "cover.png");
    EXPECT_EQ(chosen->filterIndex, 2);
    EXPECT_TRUE(question.contains("cover.png")) << question.toStdString();
}

TEST(Screen, TestPlatformRunsAt96DpiSo15TwipsPerPixel)
{
    auto s = platform::makeQtScreen();
    EXPECT_DOUBLE_EQ(s->twipsPerPixelX(), 15.0);
    EXPECT_DOUBLE_EQ(s->twipsPerPixelY(), 15.0);
}

TEST(Screen, PointerIsAnAbsoluteState)
{
    auto s = platform::makeQtScreen();
    s->setMousePointer(platform::Pointer::Hourglass);
    s->setMousePointer(platform::Pointer::Hourglass);
    EXPECT_EQ(s->mousePointer(), 11);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    s->setMousePointer(platform::Pointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
