#include "render/Gradient.h"

#include <QImage>

#include <benchmark/benchmark.h>

// A card page at 600 dpi (96 x 60 mm), the largest surface the gradient is drawn on.
constexpr int kWidth = 2268;
constexpr int kHeight = 1417;

// The floor to measure against: one plain fill of the same image.
static void BM_Fill(benchmark::State &state)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(0xFF336699u);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMicrosecond);

static void BM_Gradient(benchmark::State &state)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    GradientPainter gradient;
    gradient.setColor1(0x00FFFFD0);
    gradient.setColor2(0x00400000);
    gradient.setAngle(float(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(gradient.draw(image));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Gradient)->ArgName("angle")->Arg(0)->Arg(45)->Arg(137)->Arg(270)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
