#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
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

// The real colour chooser starts on the program's colour and answers in the program's colour
// values (red in the low byte): a blue start shows blue, a pure red typed in comes back as 0xFF.
TEST(Choosers, ColourChooserSpeaksTheProgramsColourValues)
{
    auto choosers = platform::makeQtChoosers();
    QColor shownAtStart;
    bool typed = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto *dlg = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
        if (!dlg || !dlg->isVisible() || typed)
            return;
        typed = true;
        shownAtStart = dlg->currentColor();
        QLineEdit *html = nullptr;
        for (QLineEdit *edit : dlg->findChildren<QLineEdit *>())
            if (edit->text().startsWith(u'#'))
                html = edit;
        ASSERT_NE(html, nullptr);
        html->setFocus(Qt::TabFocusReason);
        html->selectAll();
        QTest::keyClicks(html, "#ff0000");
        QTest::keyClick(html, Qt::Key_Tab);
        auto *buttons = dlg->findChild<QDialogButtonBox *>();
        ASSERT_NE(buttons, nullptr);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        ADD_FAILURE() << "the colour chooser did not close";
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
    });
    driver.start(20);
    deadline.start(20000);
    const auto chosen = choosers->chooseColor(0xFF0000u);
    driver.stop();
    deadline.stop();
    EXPECT_EQ(shownAtStart, QColor(0, 0, 255));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, 0x0000FFu);
}

namespace {

using BoxStep = std::function<void(QMessageBox &)>;

// The real message box of a style, worked by the user's steps one after the other while it
// shows; each step but the last must leave it open. A box still open after them is answered
// with its first button so that the test ends; a box that does not end by then (or a modal
// window that is no message box) is closed after a while and fails the test.
int answerOfRealBox(int style, const std::vector<BoxStep> &steps)
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
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        QWidget *modal = QApplication::activeModalWidget();
        ADD_FAILURE() << "the box did not end; closing " << (modal ? modal->metaObject()->className() : "nothing");
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->done(QDialog::Rejected);
        else if (modal)
            modal->close();
    });
    driver.start(10);
    deadline.start(20000);
    const int answer = prompter->msgBox(QStringLiteral("Sure?"), style, QStringLiteral("Question"));
    driver.stop();
    deadline.stop();
    EXPECT_EQ(next, steps.size()) << "the box closed before the user's last step";
    return answer;
}

} // namespace

// Every button set the program asks with, on the real box: each button answers its own code;
// Escape and the close box answer Cancel where there is one and OK on a box of one button, and
// do nothing on a Yes/No box, which only Yes or No ends (Enter takes the default button); a box
// ended without a button answers Cancel, or No.
TEST(Prompter, TheRealBoxAnswersWhatWasPressedAndAYesNoBoxWaitsForYesOrNo)
{
    using namespace platform;
    const auto click = [](QMessageBox::StandardButton which) -> BoxStep {
        return [which](QMessageBox &box) {
            QAbstractButton *b = box.button(which);
            ASSERT_NE(b, nullptr) << "no such button";
            QTest::mouseClick(b, Qt::LeftButton);
        };
    };
    const auto key = [](Qt::Key k) -> BoxStep { return [k](QMessageBox &box) { QTest::keyClick(&box, k); }; };
    const BoxStep closeBox = [](QMessageBox &box) { box.windowHandle()->close(); };
    const BoxStep stillOpen = [](QMessageBox &box) { EXPECT_TRUE(box.isVisible()); };
    // Ended without any button, as when the program quits under it.
    const BoxStep ended = [](QMessageBox &box) { box.done(QDialog::Rejected); };

    struct Case {
        int style;
        std::vector<BoxStep> steps;
        int answer;
    };
    std::vector<Case> cases = {
        {MsgStyle::YesNo, {click(QMessageBox::Yes)}, MsgAnswer::Yes},
        {MsgStyle::YesNo, {click(QMessageBox::No)}, MsgAnswer::No},
        // Escape and the close box leave the question open; the user's No then answers it.
        {MsgStyle::YesNo | MsgStyle::Question,
         {key(Qt::Key_Escape), stillOpen, closeBox, stillOpen, key(Qt::Key_Escape), stillOpen, click(QMessageBox::No)},
         MsgAnswer::No},
        {MsgStyle::YesNo, {key(Qt::Key_Escape), closeBox, click(QMessageBox::Yes)}, MsgAnswer::Yes},
        {MsgStyle::YesNo, {key(Qt::Key_Return)}, MsgAnswer::Yes},
        {MsgStyle::YesNo | MsgStyle::DefaultButton2, {key(Qt::Key_Return)}, MsgAnswer::No},
        {MsgStyle::AbortRetryIgnore, {key(Qt::Key_Escape), closeBox, stillOpen, click(QMessageBox::Ignore)},
         MsgAnswer::Ignore},

        {MsgStyle::YesNoCancel, {click(QMessageBox::Yes)}, MsgAnswer::Yes},
        {MsgStyle::YesNoCancel, {click(QMessageBox::No)}, MsgAnswer::No},
        {MsgStyle::YesNoCancel, {click(QMessageBox::Cancel)}, MsgAnswer::Cancel},
        {MsgStyle::YesNoCancel, {key(Qt::Key_Escape)}, MsgAnswer::Cancel},
        {MsgStyle::YesNoCancel, {closeBox}, MsgAnswer::Cancel},

        {MsgStyle::OkCancel, {click(QMessageBox::Ok)}, MsgAnswer::Ok},
        {MsgStyle::OkCancel, {click(QMessageBox::Cancel)}, MsgAnswer::Cancel},
        {MsgStyle::OkCancel, {key(Qt::Key_Escape)}, MsgAnswer::Cancel},
        {MsgStyle::OkCancel, {closeBox}, MsgAnswer::Cancel},
        {MsgStyle::RetryCancel, {key(Qt::Key_Escape)}, MsgAnswer::Cancel},
        {MsgStyle::RetryCancel, {closeBox}, MsgAnswer::Cancel},

        // A box that ends without a button answers as its Cancel, or No where it has none.
        {MsgStyle::YesNo, {ended}, MsgAnswer::No},
        {MsgStyle::YesNoCancel, {ended}, MsgAnswer::Cancel},
        {MsgStyle::OkCancel, {ended}, MsgAnswer::Cancel},
        {MsgStyle::RetryCancel, {ended}, MsgAnswer::Cancel},
        {MsgStyle::OkOnly, {ended}, MsgAnswer::Ok},
    };
    for (int icon : {0, int(MsgStyle::Critical), int(MsgStyle::Exclamation), int(MsgStyle::Information)})
        for (const BoxStep &step : {click(QMessageBox::Ok), key(Qt::Key_Escape), closeBox})
            cases.push_back({MsgStyle::OkOnly | icon, {step}, MsgAnswer::Ok});

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i << ", style " << cases[i].style);
        EXPECT_EQ(answerOfRealBox(cases[i].style, cases[i].steps), cases[i].answer);
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
