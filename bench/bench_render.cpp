// The whole default card rendered as a bitmap, with a 45 degree gradient page; the
// same written to a BMP file; and texts alone at sizes either side of the 64 pixels
// Qt's glyph cache holds.
#include "BenchMain.h"
#include "render/PageExport.h"
#include "render/PageRenderer.h"
#include "render/TextLayout.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

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

// Rendering and writing the 24-bit file, as penlark-card render does.
void BM_RenderToBmp(benchmark::State &state)
{
    const CardDocument card = CardDocument::defaultCard();
    const double twipsPerPixel = 1440.0 / double(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.bmp"));
    for (auto _ : state) benchmark::DoNotOptimize(PageExport::writeBmp(PageRenderer::renderBitmap(card, {}, twipsPerPixel), path));
    state.SetLabel(std::to_string(state.range(0)) + " dpi");
}
BENCHMARK(BM_RenderToBmp)->Arg(600)->Arg(1200)->Unit(benchmark::kMillisecond);

// The default card's texts alone, all at one point size, on a white 600-dpi page:
// 7 points is 58 pixels, 9 points 75 and 18 points 150.
struct TextPage {
    CardDocument card = CardDocument::defaultCard();
    PageView view;
    QImage page;
    qsizetype glyphs = 0;

    explicit TextPage(int points)
    {
        card.logo.visible = false;
        card.line.visible = false;
        view.cropMarks = false;
        for (CardText &text : card.texts) {
            text.FontSize = float(points);
            glyphs += text.caption.size();
        }
        page = PageRenderer::renderBackground(card, view, kTwipsPerPixel);
    }

    // The counter per_glyph: the time a glyph takes.
    void count(benchmark::State &state) const
    {
        state.counters["per_glyph"] = benchmark::Counter(
            double(glyphs), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
        state.SetLabel(std::to_string(state.range(0) * 600 / 72) + " px");
    }

    static constexpr double kTwipsPerPixel = 1440.0 / 600;
};

void BM_TextAt600Dpi(benchmark::State &state)
{
    TextPage t(int(state.range(0)));
    for (auto _ : state) {
        QPainter painter(&t.page);
        PageRenderer::paintObjects(painter, t.card, t.view, TextPage::kTwipsPerPixel);
    }
    t.count(state);
}
BENCHMARK(BM_TextAt600Dpi)->ArgName("pt")->Arg(5)->Arg(7)->Arg(9)->Arg(18)->Arg(36)->Unit(benchmark::kMillisecond);

// The same texts drawn a whole line at a time by QPainter::drawText, the way the
// renderer draws on other devices, for comparison.
void BM_TextAt600DpiWholeLines(benchmark::State &state)
{
    TextPage t(int(state.range(0)));
    for (auto _ : state) {
        QPainter painter(&t.page);
        for (const CardText &text : t.card.texts) {
            painter.setFont(TextLayout::font(text));
            const QPointF topLeft = QPointF(text.Left, text.Top) / TextPage::kTwipsPerPixel;
            const double ascent = TextLayout::lineAscent(text) / TextPage::kTwipsPerPixel;
            painter.drawText(topLeft + QPointF(0, ascent), text.caption);
        }
    }
    t.count(state);
}
BENCHMARK(BM_TextAt600DpiWholeLines)->ArgName("pt")->Arg(5)->Arg(7)->Arg(9)->Arg(18)->Arg(36)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
