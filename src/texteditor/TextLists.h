#pragma once
// Bulleted and numbered lists in a text whose lines are separated by CR LF: the prefixes put
// before every line and taken away again, and what Enter and Backspace do inside a numbered
// list. Positions count a CR LF as two characters. Free of widgets, so that the text editor's
// key handling can be checked and measured on its own.
#include <QString>
#include <optional>
#include <utility>

namespace texteditor {

struct ListMarks {
    QString bullet = QStringLiteral("*");
    QString separator = QStringLiteral(" ");
    // The prefix of line `line` (from 0): the bullet and the separator, or the line's number,
    // a point and the separator.
    QString prefix(bool numbers, int line) const;
};

// Where the prefix of line `line` stands in that line's text and how long it is: its first
// occurrence, wherever it stands, else the first occurrence of the prefix without its
// separator; length 0 when there is neither.
std::pair<int, int> findPrefix(const QString &text, bool numbers, int line, const ListMarks &marks);

// A text and the caret in it.
struct TextAndCaret {
    QString text;
    int caret = 0;
};

// Every line (empty ones included) gets its prefix.
QString addList(const QString &text, bool numbers, const ListMarks &marks);
// Every line loses the first occurrence of its prefix, wherever it stands in the line; a line
// without it loses the first occurrence of the prefix without its separator.
QString removeList(const QString &text, bool numbers, const ListMarks &marks);

// Enter in a numbered list: the selection goes, the line is split at the caret and the whole
// text is numbered anew; the caret stands after the new line's number.
TextAndCaret enterInNumberedList(const QString &text, int selStart, int selLength, const ListMarks &marks);
// Enter in a bulleted list: a line break and the bullet replace the selection.
TextAndCaret enterInBulletedList(const QString &text, int selStart, int selLength, const ListMarks &marks);
// Backspace in a numbered list with the caret at the start of a line after the first, or
// within or right after that line's own number: the line joins the one above and the text is
// numbered anew, the caret at the join. Nothing when Backspace should just delete.
std::optional<TextAndCaret> backspaceInNumberedList(const QString &text, int caret, const ListMarks &marks);

} // namespace texteditor
