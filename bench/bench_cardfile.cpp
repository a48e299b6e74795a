// Opening and saving a card the way the designer does: one profile-store access
// per key, each opening, parsing and closing the file again.
#include "model/CardFile.h"
#include "model/CardReader.h"
#include "render/PagePictures.h"
#include "model/IniFile.h"
#include "model/ProfileStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct BenchContext : CardFileContext {
    QString file;
    CardSource cardSource() const override { return CardSource::OpenPanelList; }
    SaveTarget saveTarget() const override { return {QStringLiteral("bench"), QStringLiteral("card"), SaveFormat::CardFile}; }
    QString openPanelFile() const override { return file; }
    QString libraryManagerFile() const override { return {}; }
};

struct Fixture {
    QTemporaryDir dir;
    BenchContext context;
    ProfileStore store{ProgramFolder(dir.path()), context};
    CardDocument card = CardDocument::defaultCard();

    Fixture()
    {
        QDir(dir.path()).mkpath(QStringLiteral("mycard/bench"));
        context.file = dir.filePath(QStringLiteral("mycard/bench/card.pnk"));
        store.updateCardFile([this](IniFile &ini) { CardFile::write(card, ini); });
    }
};

void BM_OpenCardKeyByKey(benchmark::State &state)
{
    Fixture f;
    for (auto _ : state) {
        CardDocument doc = CardDocument::defaultCard();
        PageView view;
        CardReader::read([&f](const QString &s, const QString &k) { return f.store.findCardValue(s, k); },
                         PagePictures::sourceFor(f.store.folder()), doc, view);
        benchmark::DoNotOptimize(doc);
    }
    state.counters["file reads"] = 119;
}
BENCHMARK(BM_OpenCardKeyByKey)->Unit(benchmark::kMillisecond);

void BM_SaveCardKeyByKey(benchmark::State &state)
{
    Fixture f;
    for (auto _ : state) {
        CardFile::write(f.card, [&f](const QString &s, const QString &k, const QString &v) {
            f.store.writeCardValue(s, k, v);
        });
    }
    state.counters["file writes"] = 119;
}
BENCHMARK(BM_SaveCardKeyByKey)->Unit(benchmark::kMillisecond);

void BM_SaveCardInOneReplace(benchmark::State &state)
{
    Fixture f;
    for (auto _ : state)
        f.store.updateCardFile([&f](IniFile &ini) { CardFile::write(f.card, ini); });
}
BENCHMARK(BM_SaveCardInOneReplace)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
