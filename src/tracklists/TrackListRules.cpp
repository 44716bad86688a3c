#include "tracklists/TrackListRules.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "platform/ui/Prompter.h"
#include "texteditor/TextEditorSeams.h"

namespace {
constexpr int kRowsBeforeAsking = 21;
}

QString separatorValue(const QString &label)
{
    if (label == gStrSepSpace)
        return QStringLiteral(" ");
    if (label == gStrSepTab)
        return QStringLiteral("\t");
    return label;
}

QString previewSeparator(const QString &label)
{
    if (label == gStrSepSpace)
        return QStringLiteral(" ");
    if (label == gStrSepTab)
        return QStringLiteral("   ");
    return label;
}

bool RowLimitPrompt::ask()
{
    mBoolAsked = true;
    QString text = gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_TOOMANYFILES"), QString());
    text.replace(QStringLiteral("@var@"), QStringLiteral("20"), Qt::CaseInsensitive);
    const QString title = getMessageText(QStringLiteral("MSG"), QStringLiteral("Message"));
    return platform::Prompter::get().msgBox(text, platform::MsgStyle::YesNo, title) != platform::MsgAnswer::No;
}

bool RowLimitPrompt::countAndAsk()
{
    ++mIntCount;
    if (mIntCount > kRowsBeforeAsking && !mBoolAsked)
        return ask();
    return true;
}

bool RowLimitPrompt::askBeforeNext(int taken)
{
    if (taken > kRowsBeforeAsking && !mBoolAsked)
        return ask();
    return true;
}

QString upperKeepingLength(const QString &text)
{
    // A capital is never shorter than its letter: the same length means none grew.
    QString whole = text.toUpper();
    if (whole.size() == text.size())
        return whole;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView one = QStringView(text).sliced(i, pair ? 2 : 1);
        const QString upper = one.toString().toUpper();
        out += upper.size() == one.size() ? upper : one.toString();
        i += one.size();
    }
    return out;
}

void appendTrackLines(texteditor::TextEditorHost &editor, QStringList lines, bool upper)
{
    if (lines.isEmpty())
        return;
    if (upper)
        for (QString &line : lines)
            line = upperKeepingLength(line);
    const QString current = editor.text();
    QString added = current.isEmpty() ? QString() : QStringLiteral("\r\n");
    added += lines.join(QStringLiteral("\r\n"));
    editor.setText(current + added);
    editor.focusTextAtEnd();
}
