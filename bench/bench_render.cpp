// The whole default card rendered as a bitmap, with a 45 degree gradient page.
#include "BenchMain.h"
#include "render/PageRenderer.h"

#include <QGuiApplication>

namespace {

CardDocument gradientCard()
{
    CardDocument card = CardDocument::defaultCard();
    card.page.isBg = BackgroundKind::Gradient;
    card.page.jbColor1 = Colour::kWhite;
    card.page.jbColor2 = Colour::fromRgb(0, 0, 128);
    card.page.jbJiaoDu = QStringLiteral("45");
    return card;
}

void BM_RenderDefaultCard(benchmark::State &state)
{
    const CardDocument card = gradientCard();
    const double twipsPerPixel = 1440.0 / double(state.range(0));
    for (auto _ : state) {
        QImage page = PageRenderer::renderBitmap(card, {}, twipsPerPixel);
        benchmark::DoNotOptimize(page.constBits());
    }
    state.SetLabel(std::to_string(state.range(0)) + " dpi");
}
BENCHMARK(BM_RenderDefaultCard)->Arg(96)->Arg(600)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
