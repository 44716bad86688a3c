#include "texteditor/TextLists.h"

#include <QStringList>
#include <algorithm>

namespace texteditor {
namespace {

const QString kBreak = QStringLiteral("\r\n");

QString joined(const QStringList &lines) { return lines.join(kBreak); }

// Removes the line's prefix from one line; returns where it stood and how long it was.
std::pair<int, int> removeFrom(QString &line, bool numbers, int index, const ListMarks &marks)
{
    const auto found = findPrefix(line, numbers, index, marks);
    line.remove(found.first, found.second);
    return found;
}

// Where a removal leaves a column of the line.
int columnAfter(int column, std::pair<int, int> removed)
{
    const auto [at, len] = removed;
    if (column <= at)
        return column;
    return std::max(at, column - len);
}

// The line and column of a CR LF position (a position between CR and LF counts as the end of
// its line).
std::pair<int, int> lineAndColumn(const QStringList &lines, int position)
{
    int start = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int len = int(lines[i].size());
        if (position <= start + len || i + 1 == lines.size())
            return {i, std::clamp(position - start, 0, len)};
        start += len + 2;
    }
    return {0, 0};
}

int startOfLine(const QStringList &lines, int line)
{
    int start = 0;
    for (int i = 0; i < line; ++i)
        start += int(lines[i].size()) + 2;
    return start;
}

QStringList withList(QStringList lines, bool numbers, const ListMarks &marks)
{
    for (int i = 0; i < lines.size(); ++i)
        lines[i].prepend(marks.prefix(numbers, i));
    return lines;
}

} // namespace

std::pair<int, int> findPrefix(const QString &text, bool numbers, int line, const ListMarks &marks)
{
    const QString full = marks.prefix(numbers, line);
    const QString bare = full.chopped(marks.separator.size());
    for (const QString &p : {full, bare}) {
        if (p.isEmpty())
            continue;
        const qsizetype at = text.indexOf(p);
        if (at >= 0)
            return {int(at), int(p.size())};
    }
    return {0, 0};
}

QString ListMarks::prefix(bool numbers, int line) const
{
    return numbers ? QString::number(line + 1) + u'.' + separator : bullet + separator;
}

QString addList(const QString &text, bool numbers, const ListMarks &marks)
{
    return joined(withList(text.split(kBreak), numbers, marks));
}

QString removeList(const QString &text, bool numbers, const ListMarks &marks)
{
    QStringList lines = text.split(kBreak);
    for (int i = 0; i < lines.size(); ++i)
        removeFrom(lines[i], numbers, i, marks);
    return joined(lines);
}

TextAndCaret enterInNumberedList(const QString &text, int selStart, int selLength, const ListMarks &marks)
{
    QString t = text;
    selStart = std::clamp(selStart, 0, int(t.size()));
    t.remove(selStart, std::max(0, selLength));
    QStringList lines = t.split(kBreak);
    auto [line, column] = lineAndColumn(lines, selStart);
    for (int i = 0; i < lines.size(); ++i) {
        const auto removed = removeFrom(lines[i], true, i, marks);
        if (i == line)
            column = columnAfter(column, removed);
    }
    const QString rest = lines[line].mid(column);
    lines[line].truncate(column);
    lines.insert(line + 1, rest);
    lines = withList(lines, true, marks);
    return {joined(lines), startOfLine(lines, line + 1) + int(marks.prefix(true, line + 1).size())};
}

TextAndCaret enterInBulletedList(const QString &text, int selStart, int selLength, const ListMarks &marks)
{
    QString t = text;
    selStart = std::clamp(selStart, 0, int(t.size()));
    t.remove(selStart, std::max(0, selLength));
    const QString inserted = kBreak + marks.bullet + marks.separator;
    t.insert(selStart, inserted);
    return {t, selStart + int(inserted.size())};
}

std::optional<TextAndCaret> backspaceInNumberedList(const QString &text, int caret, const ListMarks &marks)
{
    QStringList lines = text.split(kBreak);
    auto [line, column] = lineAndColumn(lines, caret);
    if (line < 1)
        return std::nullopt;
    int own = 0;
    const QString full = marks.prefix(true, line);
    if (lines[line].startsWith(full))
        own = int(full.size());
    else if (lines[line].startsWith(full.chopped(marks.separator.size())))
        own = int(full.size() - marks.separator.size());
    if (column > own)
        return std::nullopt;
    for (int i = 0; i < lines.size(); ++i) {
        const auto removed = removeFrom(lines[i], true, i, marks);
        if (i == line)
            column = columnAfter(column, removed);
    }
    const int join = int(lines[line - 1].size());
    lines[line - 1] += lines[line];
    lines.removeAt(line);
    lines = withList(lines, true, marks);
    return TextAndCaret{joined(lines), startOfLine(lines, line - 1) + int(marks.prefix(true, line - 1).size()) + join + column};
}

} // namespace texteditor
