#include "mainwindow/SaveTarget.h"

#include "core/Globals.h"
#include "platform/ui/Prompter.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> imageSaveTarget(const QString &chosen, const QString &extension)
{
    if (extension.isEmpty() || !QFileInfo(chosen).suffix().isEmpty())
        return chosen;
    const QString path = chosen + u'.' + extension;
    if (!QFileInfo::exists(path))
        return path;
    clsEnvAll &lang = gObjLanguageStore();
    QString prompt = lang.getVar(QStringLiteral("MESSAGES.MSG_REPLACE_FILE"),
                                 QStringLiteral("%1 already exists. Do you want to replace it?"));
    prompt.replace(QLatin1String("%1"), QDir::toNativeSeparators(path));
    const int answer = platform::Prompter::get().msgBox(
        prompt, platform::MsgStyle::YesNo | platform::MsgStyle::Exclamation | platform::MsgStyle::DefaultButton2,
        lang.getVar(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message")));
    if (answer != platform::MsgAnswer::Yes)
        return std::nullopt;
    return path;
}
