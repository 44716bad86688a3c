#include "texteditor/TextBox.h"

#include "platform/imaging/Colors.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace {

QStringList localFiles(const QMimeData *source)
{
    QStringList files;
    if (source && source->hasUrls())
        for (const QUrl &u : source->urls())
            if (u.isLocalFile())
                files << u.toLocalFile();
    return files;
}

} // namespace

TextBox::TextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    setTextColor(0);
    setBackColor(0xFFFFFF);
}

QString TextBox::text() const
{
    // The raw text keeps what the user wrote (no-break spaces included); blocks end in a
    // paragraph separator, line breaks within a block are line separators.
    QString s = document()->toRawText();
    s.replace(QChar::ParagraphSeparator, u'\n');
    s.replace(QChar::LineSeparator, u'\n');
    s.replace(u'\n', QStringLiteral("\r\n"));
    return s;
}

QString TextBox::leftText(int count) const
{
    QString s;
    for (QTextBlock b = document()->firstBlock(); b.isValid() && s.size() < count; b = b.next()) {
        if (b != document()->firstBlock())
            s += QStringLiteral("\r\n");
        s += b.text();
    }
    s.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    s.truncate(count);
    return s;
}

bool TextBox::isBlank() const
{
    if (document()->blockCount() > 1)
        return false;
    const QString first = document()->firstBlock().text();
    return std::all_of(first.begin(), first.end(), [](QChar c) { return c == u' '; });
}

void TextBox::focusAtEnd()
{
    setFocus();
    moveCursor(QTextCursor::End);
}

void TextBox::setText(const QString &crlfText)
{
    QString s = crlfText;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    // Only the part that differs is replaced: appending to or renumbering the end of a long
    // text does not build the whole document anew. A text that differs from its start on is
    // set as a whole, which is quicker.
    QString old = document()->toRawText();
    old.replace(QChar::ParagraphSeparator, u'\n');
    old.replace(QChar::LineSeparator, u'\n');
    const qsizetype shorter = std::min(old.size(), s.size());
    qsizetype head = 0;
    while (head < shorter && old[head] == s[head])
        ++head;
    if (head > 0 && old[head - 1].isHighSurrogate())
        --head;
    if (head < shorter / 4 || s.isEmpty()) {
        setPlainText(s);
        setAlignment(alignment_);
        return;
    }
    qsizetype tail = 0;
    while (tail < shorter - head && old[old.size() - 1 - tail] == s[s.size() - 1 - tail])
        ++tail;
    if (tail > 0 && old[old.size() - tail].isLowSurrogate())
        --tail;
    if (head == old.size() && head == s.size()) {
        emit textChanged();
        return;
    }
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    QTextCursor c(document());
    c.setPosition(int(head));
    c.setPosition(int(old.size() - tail), QTextCursor::KeepAnchor);
    c.insertText(s.mid(head, s.size() - tail - head));
    document()->setUndoRedoEnabled(undo);
}

int TextBox::selStart() const
{
    const QTextCursor c = textCursor();
    const int pos = c.selectionStart();
    return pos + document()->findBlock(pos).blockNumber();
}

int TextBox::selLength() const
{
    const QTextCursor c = textCursor();
    const int a = c.selectionStart(), b = c.selectionEnd();
    return b - a + document()->findBlock(b).blockNumber() - document()->findBlock(a).blockNumber();
}

int TextBox::innerPosition(int position) const
{
    if (position <= 0)
        return 0;
    // Every line before the position's line takes one character less inside than outside.
    QTextBlock b = document()->firstBlock();
    int outside = 0;
    while (b.isValid()) {
        const int len = b.length() - 1;  // without its break
        const bool last = !b.next().isValid();
        if (position <= outside + len || last)
            return b.position() + std::min(position - outside, len);
        if (position < outside + len + 2)  // between CR and LF: after the break
            return b.next().position();
        outside += len + 2;
        b = b.next();
    }
    return 0;
}

void TextBox::setSelStart(int position) { setSelection(position, 0); }

void TextBox::setSelection(int start, int length)
{
    QTextCursor c = textCursor();
    const int a = innerPosition(start);
    c.setPosition(a);
    if (length > 0)
        c.setPosition(innerPosition(start + length), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

int TextBox::caretLine() const { return textCursor().blockNumber(); }

int TextBox::caretColumn() const { return textCursor().positionInBlock(); }

void TextBox::setAlignment(int code)
{
    alignment_ = code;
    QTextOption o = document()->defaultTextOption();
    o.setAlignment(code == 1 ? Qt::AlignRight : code == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
    document()->setDefaultTextOption(o);
}

void TextBox::setTextColor(std::uint32_t color)
{
    textColor_ = color & 0xFFFFFF;
    QPalette p = palette();
    p.setColor(QPalette::Text, platform::imaging::fromColorRef(textColor_));
    setPalette(p);
}

void TextBox::setBackColor(std::uint32_t color)
{
    backColor_ = color & 0xFFFFFF;
    QPalette p = palette();
    p.setColor(QPalette::Base, platform::imaging::fromColorRef(backColor_));
    setPalette(p);
}

void TextBox::keyPressEvent(QKeyEvent *e)
{
    if (onKeyDown && onKeyDown(e))
        return;
    QPlainTextEdit::keyPressEvent(e);
}

void TextBox::focusInEvent(QFocusEvent *e)
{
    QPlainTextEdit::focusInEvent(e);
    emit gotFocus();
}

bool TextBox::canInsertFromMimeData(const QMimeData *source) const
{
    return !localFiles(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void TextBox::insertFromMimeData(const QMimeData *source)
{
    const QStringList files = localFiles(source);
    if (!files.isEmpty()) {
        if (onFilesDropped)
            onFilesDropped(files);
        return;
    }
    if (source && source->hasText()) {
        QString s = source->text();
        s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        s.replace(u'\r', u'\n');
        insertPlainText(s);
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
