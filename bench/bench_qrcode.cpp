// The card's QR code: drawn again on a repaint (its symbol kept), and made anew
// after every keystroke in a text (the vCard encoded again).
#include "BenchMain.h"
#include "model/Numeric.h"
#include "render/QrCode.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

CardDocument cardWithCode()
{
    CardDocument card = CardDocument::defaultCard();
    card.qrCode = CardQrCode::atBottomRight(card.page, float(Numeric::mmToTwips(40)));
    return card;
}

void BM_RepaintQrCode(benchmark::State &state)
{
    const CardDocument card = cardWithCode();
    QImage page(363, 227, QImage::Format_RGB32);
    QPainter painter(&page);
    for (auto _ : state) QrCode::paint(painter, card, 1.0 / 15);
}
BENCHMARK(BM_RepaintQrCode)->Unit(benchmark::kMicrosecond);

void BM_TypeIntoACardWithACode(benchmark::State &state)
{
    CardDocument card = cardWithCode();
    QImage page(363, 227, QImage::Format_RGB32);
    QPainter painter(&page);
    int keystroke = 0;
    for (auto _ : state) {
        card.text(TextRole::Mobile).caption = QStringLiteral("手机：139%1").arg(++keystroke);
        QrCode::paint(painter, card, 1.0 / 15);
    }
}
BENCHMARK(BM_TypeIntoACardWithACode)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
