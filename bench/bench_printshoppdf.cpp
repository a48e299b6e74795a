// The print-shop PDF of many cards in one document: time per page, and the
// process's peak memory, which should not grow with the number of pages.
#include "BenchMain.h"
#include "pdf/PrintShopPdf.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <sys/resource.h>

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

void BM_WriteCards(benchmark::State &state)
{
    QTemporaryDir dir;
    CardDocument card = CardDocument::defaultCard();
    card.page.isBg = BackgroundKind::Gradient; // a 300 ppi background on every page
    for (auto _ : state) {
        PrintShopPdf::Writer writer(dir.filePath(QStringLiteral("cards.pdf")), {});
        for (int i = 0; i < state.range(0); ++i) {
            card.texts[0].caption = QStringLiteral("姓名%1").arg(i);
            writer.addCard(card, {});
        }
        if (!writer.finish()) state.SkipWithError("the PDF was not written");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WriteCards)->Arg(1)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QGuiApplication>(argc, argv);
}
