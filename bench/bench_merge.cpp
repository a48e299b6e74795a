// Merging a table into cards: 1,000 rows onto 2 x 5 A4 sheets (a PDF) and into
// card files, on one core (--jobs 1) and on all cores. Rows per second are the
// items per second.
#include "BenchMain.h"
#include "merge/CardNames.h"
#include "merge/MergeRun.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

namespace {

constexpr int kRows = 1000;

QByteArray people()
{
    QByteArray bytes = "姓名,职位,电话,E-mail,地址\r\n";
    for (int i = 0; i < kRows; ++i)
        bytes += QStringLiteral("王伟%1,经理,010-6234%1,w%1@qinghe.cn,\"北京市海淀区学院路%1号, 青禾大厦\"\r\n")
                     .arg(i)
                     .toUtf8();
    return bytes;
}

void merge(benchmark::State &state, bool sheets)
{
    const CardDocument card = CardDocument::defaultCard();
    const MergeRun::Settings settings{{}, false, false, int(state.range(0))};
    const MergeRun::Table table = MergeRun::check(people(), card, settings);
    const std::atomic_bool cancel = false;
    for (auto _ : state) {
        QTemporaryDir dir;
        auto output = sheets ? MergeOutputs::sheetPdf(dir.filePath(QStringLiteral("s.pdf")), {2, 5}, true, false, {}, nullptr)
                             : MergeOutputs::cardFolder(dir.filePath(QStringLiteral("cards")), nullptr);
        const auto result = MergeRun::run(table, card, PageView(), settings, *output, {}, cancel);
        if (result.made != kRows || !output->commit(nullptr)) state.SkipWithError("merge failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.SetLabel(state.range(0) == 1 ? "one core" : "all cores");
}

void BM_MergeSheets(benchmark::State &state) { merge(state, true); }
void BM_MergeCardFiles(benchmark::State &state) { merge(state, false); }

// The print-shop PDF of the 1,000 cards, one a page with marks, on all cores:
// RGB against the press's CMYK (colours rewritten, pictures converted once).
void BM_MergeCardPdf(benchmark::State &state)
{
    const bool cmyk = state.range(0) == 1;
    const CardDocument card = CardDocument::defaultCard();
    const MergeRun::Settings settings{{}, false, false, 0};
    const MergeRun::Table table = MergeRun::check(people(), card, settings);
    const std::atomic_bool cancel = false;
    for (auto _ : state) {
        QTemporaryDir dir;
        auto output = MergeOutputs::cardPdf(dir.filePath(QStringLiteral("c.pdf")), PrintShopPdf::Form::Marks, {},
                                            nullptr, cmyk ? PrintShopPdf::Colours::Cmyk : PrintShopPdf::Colours::Rgb);
        const auto result = MergeRun::run(table, card, PageView(), settings, *output, {}, cancel);
        if (result.made != kRows || !output->commit(nullptr)) state.SkipWithError("merge failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.SetLabel(cmyk ? "CMYK" : "RGB");
}

// Naming 100,000 made cards: all of one name ("王伟", "王伟(2)", …) against all
// different. One name must cost no more than distinct names.
constexpr int kNamedRows = 100'000;

void BM_CardNames(benchmark::State &state)
{
    const bool oneName = state.range(0) == 1;
    QStringList texts;
    for (int i = 0; i < kNamedRows; ++i) texts << (oneName ? QStringLiteral("王伟") : QStringLiteral("王伟%1").arg(i));
    for (auto _ : state) {
        CardNames names;
        for (const QString &text : texts) benchmark::DoNotOptimize(names.take(text));
    }
    state.SetItemsProcessed(state.iterations() * kNamedRows);
    state.SetLabel(oneName ? "one name" : "distinct names");
}

BENCHMARK(BM_CardNames)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_MergeSheets)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MergeCardFiles)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MergeCardPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return runBenchmarks<QGuiApplication>(argc, argv); }
