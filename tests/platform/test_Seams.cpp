#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
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
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
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

namespace {

// The real message box of a style, worked by the user's steps one after the other while it
// shows; each step but the last must leave it open. A box still open after them is answered
// with its first button so that the test ends.
int answerOfRealBox(int style, std::vector<std::function<void(QMessageBox &)>> steps)
{
    auto prompter = platform::makeQtPrompter();
    QTimer driver;
    size_t next = 0;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (next < steps.size())
            steps[next++](*box);
        else if (!box->buttons().isEmpty())
            QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
    });
    driver.start(10);
    const int answer = prompter->msgBox(QStringLiteral("Sure?"), style, QStringLiteral("Question"));
    driver.stop();
    EXPECT_EQ(next, steps.size()) << "the box closed before the user's last step";
    return answer;
}

QAbstractButton *buttonOf(QMessageBox &box, QMessageBox::StandardButton which)
{
    QAbstractButton *b = box.button(which);
    EXPECT_NE(b, nullptr);
    return b;
}

} // namespace

// Every button set the program asks with, on the real box: each button answers its own code;
// Escape and the close box answer Cancel where there is one and OK on a box of one button, and
// do nothing on a Yes/No box, which only Yes or No ends (Enter takes the default button).
TEST(Prompter, TheRealBoxAnswersWhatWasPressedAndAYesNoBoxWaitsForYesOrNo)
{
    using namespace platform;
    const auto click = [](QMessageBox::StandardButton which) {
        return [which](QMessageBox &box) { QTest::mouseClick(buttonOf(box, which), Qt::LeftButton); };
    };
    const auto key = [](Qt::Key k) { return [k](QMessageBox &box) { QTest::keyClick(&box, k); }; };
    const auto closeBox = [](QMessageBox &box) { box.windowHandle()->close(); };
    const auto stillOpen = [](QMessageBox &box) { EXPECT_TRUE(box.isVisible()); };

    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNo, {click(QMessageBox::Yes)}), MsgAnswer::Yes);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNo, {click(QMessageBox::No)}), MsgAnswer::No);
    // Escape and the close box leave the question open; the user's No then answers it.
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNo | MsgStyle::Question,
                              {key(Qt::Key_Escape), stillOpen, closeBox, stillOpen, key(Qt::Key_Escape), stillOpen,
                               click(QMessageBox::No)}),
              MsgAnswer::No);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNo, {key(Qt::Key_Escape), closeBox, click(QMessageBox::Yes)}),
              MsgAnswer::Yes);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNo, {key(Qt::Key_Return)}), MsgAnswer::Yes);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNo | MsgStyle::DefaultButton2, {key(Qt::Key_Return)}), MsgAnswer::No);

    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNoCancel, {click(QMessageBox::Yes)}), MsgAnswer::Yes);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNoCancel, {click(QMessageBox::No)}), MsgAnswer::No);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNoCancel, {click(QMessageBox::Cancel)}), MsgAnswer::Cancel);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNoCancel, {key(Qt::Key_Escape)}), MsgAnswer::Cancel);
    EXPECT_EQ(answerOfRealBox(MsgStyle::YesNoCancel, {closeBox}), MsgAnswer::Cancel);

    EXPECT_EQ(answerOfRealBox(MsgStyle::OkCancel, {click(QMessageBox::Ok)}), MsgAnswer::Ok);
    EXPECT_EQ(answerOfRealBox(MsgStyle::OkCancel, {click(QMessageBox::Cancel)}), MsgAnswer::Cancel);
    EXPECT_EQ(answerOfRealBox(MsgStyle::OkCancel, {key(Qt::Key_Escape)}), MsgAnswer::Cancel);
    EXPECT_EQ(answerOfRealBox(MsgStyle::OkCancel, {closeBox}), MsgAnswer::Cancel);

    for (int icon : {0, int(MsgStyle::Critical), int(MsgStyle::Exclamation), int(MsgStyle::Information)}) {
        EXPECT_EQ(answerOfRealBox(MsgStyle::OkOnly | icon, {click(QMessageBox::Ok)}), MsgAnswer::Ok);
        EXPECT_EQ(answerOfRealBox(MsgStyle::OkOnly | icon, {key(Qt::Key_Escape)}), MsgAnswer::Ok);
        EXPECT_EQ(answerOfRealBox(MsgStyle::OkOnly | icon, {closeBox}), MsgAnswer::Ok);
    }
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
