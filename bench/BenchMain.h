#pragma once

// The main of the benchmarks that draw cards: the registered benchmarks run in
// an offscreen Qt application of type App, with the card faces' substitutes
// installed.
#include "render/Fonts.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

template <typename App>
int runBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    Fonts::installSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
