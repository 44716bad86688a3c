#include "platform/ui/LoggingPrompter.h"

#include <QFile>

namespace platform {
namespace {

class LoggingPrompter final : public Prompter {
public:
    explicit LoggingPrompter(QString file) : file_(std::move(file)) {}

    int msgBox(const QString &prompt, int style, const QString &title) override
    {
        log(QStringLiteral("MSGBOX %1|%2|%3").arg(style).arg(title, prompt));
        switch (style & 0x7) {
        case MsgStyle::OkCancel: return (style & MsgStyle::DefaultButton2) ? MsgAnswer::Cancel : MsgAnswer::Ok;
        case MsgStyle::YesNo:
        case MsgStyle::YesNoCancel: return (style & MsgStyle::DefaultButton2) ? MsgAnswer::No : MsgAnswer::Yes;
        case MsgStyle::RetryCancel: return MsgAnswer::Retry;
        case MsgStyle::AbortRetryIgnore: return MsgAnswer::Abort;
        default: return MsgAnswer::Ok;
        }
    }

    bool inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                  QString &result) override
    {
        log(QStringLiteral("INPUT %1|%2").arg(title, prompt));
        result = defaultText;
        return true;
    }

private:
    void log(const QString &line)
    {
        QFile f(file_);
        if (f.open(QIODevice::Append))
            f.write(line.toUtf8() + "\n\x1e\n");
    }
    QString file_;
};

} // namespace

std::unique_ptr<Prompter> makeLoggingPrompter(const QString &logFile)
{
    return std::make_unique<LoggingPrompter>(logFile);
}

} // namespace platform
