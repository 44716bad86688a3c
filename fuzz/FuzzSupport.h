#pragma once
// Shared set-up of the fuzz targets: a program folder of their own and a prompter that
// answers every message at once.
#include "core/AppPath.h"
#include "platform/ui/Prompter.h"

#include <QDir>

#include <cstdlib>
#include <QFile>
#include <unistd.h>

namespace fuzzsupport {

class SilentPrompter final : public platform::Prompter {
public:
    int msgBox(const QString &, int, const QString &) override { return platform::MsgAnswer::Ok; }
    bool inputBox(const QString &, const QString &, const QString &, QString &) override { return false; }
};

inline const QString &home()
{
    static const QString dir = [] {
        const QString d = QDir::tempPath() + QStringLiteral("/pelmora-fuzz-") + QString::number(getpid());
        QDir().mkpath(d + QStringLiteral("/data"));
        QDir().mkpath(d + QStringLiteral("/language"));
        setAppPathForTests(d);
        // Fuzzing in fork mode starts a process for every job: each takes its folder with it.
        std::atexit([] { QDir(QDir::tempPath() + QStringLiteral("/pelmora-fuzz-") + QString::number(getpid())).removeRecursively(); });
        platform::Seam<platform::Prompter>::install(std::make_unique<SilentPrompter>());
        return d;
    }();
    return dir;
}

inline QString writeInput(const QString &relative, const uint8_t *data, size_t size)
{
    const QString path = home() + u'/' + relative;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

} // namespace fuzzsupport
