#include "mainwindow/SaveTarget.h"

#include "core/AppError.h"
#include "core/Globals.h"
#include "core/mdlUtil.h"
#include "platform/ui/Prompter.h"

#include <QDir>
#include <QFileInfo>

std::optional<ImageSaveTarget> imageSaveTarget(const QString &chosen, int filterIndex)
{
    ImageSaveTarget target;
    const QString extension = getImageFormat(filterIndex, target.saveType);
    if (extension.isEmpty())
        throw AppError(ErrNo::InvalidCall, QStringLiteral("No image format for the filter row %1.").arg(filterIndex));
    const QString typed = QFileInfo(chosen).suffix().toLower();
    if (!typed.isEmpty()) {
        for (int row = 1; row <= 10; ++row) {
            int type = 0;
            if (getImageFormat(row, type) == typed)
                target.saveType = type;
        }
        target.path = chosen;
        return target;
    }
    target.path = chosen + u'.' + extension;
    if (!QFileInfo::exists(target.path))
        return target;
    clsEnvAll &lang = gObjLanguageStore();
    QString prompt = lang.getVar(QStringLiteral("MESSAGES.MSG_REPLACE_FILE"),
                                 QStringLiteral("%1 already exists. Do you want to replace it?"));
    prompt.replace(QLatin1String("%1"), QDir::toNativeSeparators(target.path));
    const int answer = platform::Prompter::get().msgBox(
        prompt, platform::MsgStyle::YesNo | platform::MsgStyle::Exclamation | platform::MsgStyle::DefaultButton2,
        lang.getVar(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message")));
    if (answer != platform::MsgAnswer::Yes)
        return std::nullopt;
    return target;
}
