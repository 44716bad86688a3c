// The variable store: lookups as every form makes them, and loading a large file.
#include "core/AppPath.h"
#include "core/clsEnvAll.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir &benchDir()
{
    static QTemporaryDir d;
    setAppPathForTests(d.path());
    return d;
}

QString writeFileOfKeys(int keys)
{
    const QString path = benchDir().path() + QStringLiteral("/keys%1.ini").arg(keys);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        QByteArray s = "[OPTIONS]\r\n";
        for (int i = 0; i < keys; ++i)
            s += "K" + QByteArray::number(i) + "=value number " + QByteArray::number(i) + " %OPTIONS.K0%\r\n";
        f.write(s);
    }
    return path;
}

void BM_getVar10000Lookups(benchmark::State &state)
{
    clsEnvAll store;
    store.setInitFileName(writeFileOfKeys(400));
    store.initializeAll(QStringLiteral("OPTIONS"));
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i)
            benchmark::DoNotOptimize(store.getVar(QStringLiteral("options.k%1").arg(i % 500), QStringLiteral("d")));
    }
}
BENCHMARK(BM_getVar10000Lookups)->Unit(benchmark::kMillisecond);

void BM_initializeAll2000Keys(benchmark::State &state)
{
    clsEnvAll store;
    store.setInitFileName(writeFileOfKeys(2000));
    for (auto _ : state) {
        store.initializeAll(QStringLiteral("OPTIONS"));
        benchmark::DoNotOptimize(store.envVars().Count());
    }
}
BENCHMARK(BM_initializeAll2000Keys)->Unit(benchmark::kMillisecond);

} // namespace
