#include "render/Gradient.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <ctime>

// A card page at 600 dpi (96 x 60 mm), the largest surface the gradient is drawn on.
constexpr int kWidth = 2268;
constexpr int kHeight = 1417;

namespace {

// The floor to measure against: one plain fill of the same image.
void BM_Fill(benchmark::State &state)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(0xFF336699u);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMicrosecond);

double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The processor time work takes on this thread: on a shared machine the wall clock
// also counts the time other processes run.
double secondsOf(const auto &work)
{
    const double start = threadSeconds();
    work();
    benchmark::ClobberMemory();
    return threadSeconds() - start;
}

// The gradient's processor time, with the counter "fills": that time over the time
// of a plain fill of the same image, the two taken in turn in every iteration so
// that the machine's changing speed touches both alike.
void BM_Gradient(benchmark::State &state)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    GradientPainter gradient;
    gradient.setColor1(0x00FFFFD0);
    gradient.setColor2(0x00400000);
    gradient.setAngle(float(state.range(0)));
    double gradientSeconds = 0;
    double fillSeconds = 0;
    for (auto _ : state) {
        fillSeconds += secondsOf([&] { image.fill(0xFF336699u); });
        const double seconds = secondsOf([&] { benchmark::DoNotOptimize(gradient.draw(image)); });
        gradientSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["fills"] = gradientSeconds / fillSeconds;
}
BENCHMARK(BM_Gradient)
    ->ArgName("angle")
    ->Args({0})->Args({15})->Args({30})->Args({44})->Args({45})->Args({46})->Args({60})->Args({75})
    ->Args({89})->Args({90})->Args({135})->Args({137})->Args({225})->Args({270})->Args({315})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
