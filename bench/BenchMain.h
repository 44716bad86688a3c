#pragma once
// The main of the benchmarks that need a GUI application and a program folder.
#include "core/AppPath.h"
#include "BenchRun.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

inline int runGuiBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    setAppPathForTests(home.path());
    benchmark::Initialize(&argc, argv);
    return benchrun::runChosenBenchmarks();
}
