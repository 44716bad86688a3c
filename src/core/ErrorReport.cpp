#include "core/ErrorReport.h"

#include "core/AppError.h"
#include "core/Globals.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"

QString getErrorText(const QString &key, const QString &defaultText)
{
    platform::Screen::get().setMousePointer(platform::Pointer::Default);
    return gObjLanguageStore().getVar(QStringLiteral("ERRORS.") + key, defaultText);
}

QString getMessageText(const QString &key, const QString &defaultText)
{
    return gObjLanguageStore().getVar(QStringLiteral("MESSAGES.") + key, defaultText);
}

void showError(const QString &text, int style, const QString &source, const QString &description,
               long number)
{
    clsEnvAll &lang = gObjLanguageStore();
    const QString crlf = QStringLiteral("\r\n");
    QString prompt = lang.getVar(QStringLiteral("ERRORS.ERR_DESCRIPTON"), QStringLiteral("Fehler / Error"));
    prompt += crlf + text;
    prompt += crlf;
    prompt += crlf + lang.getVar(QStringLiteral("ERRORS.ERR_NUMBER")) + u' ' + QString::number(number);
    prompt += crlf + lang.getVar(QStringLiteral("ERRORS.ERR_MODULE")) + u' ' + source;
    prompt += crlf + lang.getVar(QStringLiteral("ERRORS.ERR_ERROR_TEXT")) + u' ' + description;
    const QString title = lang.getVar(QStringLiteral("ERRORS.ERR"), QStringLiteral("Fehler / Error"));
    platform::Prompter::get().msgBox(prompt, style, title);
}

void reportError(const QString &errorKey, const QString &source, bool resetPointer)
{
    const FailureInfo f = currentFailure();
    const QString text = resetPointer
        ? getErrorText(errorKey, QStringLiteral("ERROR"))
        : gObjLanguageStore().getVar(QStringLiteral("ERRORS.") + errorKey, QStringLiteral("ERROR"));
    showError(text, platform::MsgStyle::Critical, source, f.description, f.number);
}

void reportErrorText(const QString &text, const QString &source)
{
    const FailureInfo f = currentFailure();
    showError(text, platform::MsgStyle::Critical, source, f.description, f.number);
}
