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
    // Each character's one-to-one capital, which lies in the plane of its letter: a letter whose
    // capital is more letters ("ß") stays.
    QString out = text;
    QChar *d = out.data();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const bool pair = d[i].isHighSurrogate() && i + 1 < out.size() && d[i + 1].isLowSurrogate();
        const char32_t upper = QChar::toUpper(pair ? QChar::surrogateToUcs4(d[i], d[i + 1]) : char32_t(d[i].unicode()));
        if (pair) {
            d[i] = QChar::highSurrogate(upper);
            d[++i] = QChar::lowSurrogate(upper);
        } else {
            d[i] = QChar(char16_t(upper));
        }
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
