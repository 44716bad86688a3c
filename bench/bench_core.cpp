// The variable store: lookups as every form makes them, and loading a large file.
#include "BenchBounds.h"
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

// A language-file value naming itself four times, and one of nine levels of four references
// each: both must expand in milliseconds (under 100 ms, else an error), not in hours.
QString writeSelfReferences()
{
    const QString path = benchDir().path() + QStringLiteral("/self.ini");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        const QByteArray self = "%frmPelmora.frmPelmora%";
        QByteArray s = "[frmPelmora]\r\nfrmPelmora=" + self + self + self + self + "\r\n";
        for (int level = 0; level < 9; ++level) {
            const QByteArray next = "%frmPelmora.L" + QByteArray::number(level + 1) + "%";
            s += "L" + QByteArray::number(level) + "=" + next + next + next + next + "\r\n";
        }
        s += "L9=" + QByteArray(40, 'x') + "\r\n";
        f.write(s);
    }
    return path;
}

void BM_getVarFourSelfReferences(benchmark::State &state)
{
    clsEnvAll store;
    store.setInitFileName(writeSelfReferences());
    store.initializeAll(QStringLiteral("frmPelmora"));
    runWithin(state, 100, "the expansion took over 100 ms",
              [&] { benchmark::DoNotOptimize(store.getVar(QStringLiteral("frmPelmora.frmPelmora"))); });
}
BENCHMARK(BM_getVarFourSelfReferences)->Unit(benchmark::kMillisecond);

void BM_getVarNineLevelsOfFourReferences(benchmark::State &state)
{
    clsEnvAll store;
    store.setInitFileName(writeSelfReferences());
    store.initializeAll(QStringLiteral("frmPelmora"));
    runWithin(state, 100, "the expansion took over 100 ms",
              [&] { benchmark::DoNotOptimize(store.getVar(QStringLiteral("frmPelmora.L0"))); });
}
BENCHMARK(BM_getVarNineLevelsOfFourReferences)->Unit(benchmark::kMillisecond);

} // namespace
