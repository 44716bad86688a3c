#include "TextEditorTestSupport.h"

#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"
#include "texteditor/TextLists.h"
#include "platform/widgets/ButtonPlus.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

using texteditortest::TextEditorTest;

namespace {

// The text with "|" where the caret stands.
QString withCaret(const TextBox &box)
{
    QString t = box.text();
    t.insert(box.selStart(), u'|');
    return t;
}

void putCaret(TextBox &box, const QString &textWithCaret)
{
    const qsizetype at = textWithCaret.indexOf(u'|');
    box.setText(QString(textWithCaret).remove(at, 1));
    box.setSelStart(int(at));
}

} // namespace

TEST_F(TextEditorTest, ListButtonsPutAndTakePrefixes)
{
    auto f = open(true);
    TextBox &t = *f->txtText;
    t.setText("a\r\nb");
    f->cmdListe->click();
    EXPECT_EQ(t.text(), "* a\r\n* b");
    EXPECT_EQ(t.selStart(), 8);
    f->cmdListe->click();
    EXPECT_EQ(t.text(), "a\r\nb");
    EXPECT_FALSE(f->listOn());

    t.setText("a\r\n\r\nb");
    f->cmdCountList->click();
    EXPECT_EQ(t.text(), "1. a\r\n2. \r\n3. b");
    f->cmdListe->click();  // numbers become bullets
    EXPECT_EQ(t.text(), "* a\r\n* \r\n* b");
    f->cmdCountList->click();  // and back
    EXPECT_EQ(t.text(), "1. a\r\n2. \r\n3. b");
    EXPECT_TRUE(f->listOn() && f->numbered());
    // A line whose number was deleted by hand loses the inner occurrence instead.
    t.setText("1. a\r\nsee 2. below");
    f->cmdCountList->click();
    EXPECT_EQ(t.text(), "a\r\nsee below");
    EXPECT_FALSE(f->listOn());

    // Numbers whose blank was deleted by hand go all the same: "2.Title" becomes "Title".
    QTest::keyClick(&t, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&t, Qt::Key_Backspace);
    QTest::mouseClick(f->cmdCountList, Qt::LeftButton);
    QTest::keyClicks(&t, "Intro");
    QTest::keyClick(&t, Qt::Key_Return);
    QTest::keyClicks(&t, "Title");
    for (const Qt::Key k : {Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_Delete, Qt::Key_Up, Qt::Key_Delete})
        QTest::keyClick(&t, k);
    ASSERT_EQ(t.text(), "1.Intro\r\n2.Title");
    QTest::mouseClick(f->cmdCountList, Qt::LeftButton);
    EXPECT_EQ(t.text(), "Intro\r\nTitle");
    EXPECT_FALSE(f->listOn());

    // On and off over a long text give it back unchanged.
    QStringList lines;
    for (int i = 0; i < 1200; ++i)
        lines << QStringLiteral("Track %1").arg(i);
    const QString text = lines.join("\r\n");
    const texteditor::ListMarks marks;
    EXPECT_EQ(texteditor::removeList(texteditor::addList(text, true, marks), true, marks), text);
    EXPECT_TRUE(texteditor::addList(text, true, marks).endsWith("\r\n1200. Track 1199"));
}

TEST_F(TextEditorTest, EnterAndBackspaceKeepTheListGoing)
{
    auto f = open(true);
    TextBox &t = *f->txtText;
    t.setFocus();
    t.setText("a\r\nb");
    f->cmdCountList->click();

    const auto key = [&](const QString &before, Qt::Key k) {
        putCaret(t, before);
        QTest::keyClick(&t, k);
        EXPECT_TRUE(f->mBoolPreviewEnabled);
        return withCaret(t);
    };
    EXPECT_EQ(key("1. a|\r\n2. b", Qt::Key_Return), "1. a\r\n2. |\r\n3. b");
    EXPECT_EQ(key("1. ab|cd", Qt::Key_Return), "1. ab\r\n2. |cd");
    EXPECT_EQ(key("1. a\r\n2. |b", Qt::Key_Backspace), "1. a|b");
    // The joined line is what the preview shows.
    const QImage afterJoin = f->igxPreview->image()->qimage();
    f->doPreview();
    EXPECT_EQ(f->igxPreview->image()->qimage(), afterJoin);
    EXPECT_EQ(key("1. a\r\n2|. b", Qt::Key_Backspace), "1. a|b");
    EXPECT_EQ(key("1. a\r\n2. b|c", Qt::Key_Backspace), "1. a\r\n2. |c");
    EXPECT_EQ(key("1. |a", Qt::Key_Backspace), "1.|a");
    // The caret after a two-digit number joins as well.
    QStringList ten;
    for (int i = 1; i <= 11; ++i)
        ten << QStringLiteral("%1. L%1").arg(i);
    const QString joined = key(ten.mid(0, 10).join("\r\n") + "\r\n11. |L11", Qt::Key_Backspace);
    EXPECT_TRUE(joined.endsWith("10. L10|L11")) << joined.toStdString();
    // Enter after the ninth item: the caret stands after the tenth's longer prefix.
    const QString tenth = key(ten.mid(0, 9).join("\r\n") + "|", Qt::Key_Return);
    EXPECT_TRUE(tenth.endsWith("9. L9\r\n10. |")) << tenth.toStdString();
    // A pasted character with code 2 goes through Enter and Backspace unchanged.
    const QString two(QChar(2));
    EXPECT_EQ(key("1. a" + two + "|b", Qt::Key_Return), "1. a" + two + "\r\n2. |b");
    EXPECT_EQ(key("1. a" + two + "\r\n2. |b", Qt::Key_Backspace), "1. a" + two + "|b");
    // Shift+Enter is a line break like Enter; a selection is replaced.
    putCaret(t, "1. abc|");
    t.setSelection(4, 1);
    QTest::keyClick(&t, Qt::Key_Enter, Qt::ShiftModifier);
    EXPECT_EQ(withCaret(t), "1. a\r\n2. |c");

    // Bullets: Enter starts a bulleted line; Backspace just deletes.
    f->cmdListe->click();
    EXPECT_EQ(key("* a|", Qt::Key_Return), "* a\r\n* |");
    EXPECT_EQ(key("* a\r\n* |", Qt::Key_Backspace), "* a\r\n*|");

    // No list: Enter breaks the line only.
    f->cmdListe->click();
    EXPECT_FALSE(f->listOn());
    EXPECT_EQ(key("ab|c", Qt::Key_Return), "ab\r\n|c");

    // Ctrl+A and Ctrl+Shift+A select all.
    t.setText("x\r\ny");
    QTest::keyClick(&t, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(t.selStart(), 0);
    EXPECT_EQ(t.selLength(), 4);
    t.setSelStart(1);
    QTest::keyClick(&t, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(t.selLength(), 4);
}

TEST_F(TextEditorTest, EditBoxKeepsItsTextInCrLfLines)
{
    TextBox box;
    int changes = 0;
    QObject::connect(&box, &QPlainTextEdit::textChanged, [&] { ++changes; });
    box.setText("ab\r\ncd\re\nf");
    EXPECT_EQ(box.text(), "ab\r\ncd\r\ne\r\nf");
    EXPECT_EQ(changes, 1);
    box.setSelStart(3);  // between CR and LF: after the break
    EXPECT_EQ(box.selStart(), 4);
    EXPECT_EQ(box.caretLine(), 1);
    box.setSelection(1, 5);
    EXPECT_EQ(box.selLength(), 5);
    box.setSelStart(1000);
    EXPECT_EQ(box.selStart(), int(box.text().size()));

    // Changes at the end, in the middle, of a surrogate pair's second half, and none at all.
    const QString note = QString::fromUtf8("\xF0\x9F\x8E\xB5"), other = QString::fromUtf8("\xF0\x9F\x8E\xB6");
    const QString lines[] = {"ab\r\ncd\r\ne\r\nf\r\ng", "ab\r\nXcd\r\ne\r\nf\r\ng", "ab" + note + "\r\nq",
                             "ab" + other + "\r\nq", "ab" + other + "\r\nq", "a\u00A0b", ""};
    for (const QString &t : lines) {
        const int before = changes;
        box.setText(t);
        EXPECT_EQ(box.text(), t);
        EXPECT_EQ(changes, before + 1);
    }

    // Pasted text with CR LF breaks becomes lines of the box.
    auto *mime = new QMimeData;
    mime->setText("x\r\ny");
    QApplication::clipboard()->setMimeData(mime);
    box.paste();
    EXPECT_EQ(box.text(), "x\r\ny");
    EXPECT_EQ(box.selStart(), 4);
}
