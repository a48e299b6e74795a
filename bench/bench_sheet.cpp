// penlark-card as a whole process, from start to the file on disk: a sheet of
// the default card (2 x 5 copies), and its file-manager thumbnail.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_SheetTwoByFive(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString card = dir.filePath(QStringLiteral("default.pnk"));
    QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {QStringLiteral("new"), card});
    const QStringList args{QStringLiteral("sheet"), card, QStringLiteral("-o"), dir.filePath(QStringLiteral("s.pdf")),
                           QStringLiteral("--across"), QStringLiteral("2"), QStringLiteral("--down"),
                           QStringLiteral("5"), QStringLiteral("--trim")};
    for (auto _ : state) {
        if (QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), args) != 0) state.SkipWithError("sheet failed");
    }
}
BENCHMARK(BM_SheetTwoByFive)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a file manager waits for: the tool started, the default card read and its 256-pixel preview written.
void BM_ThumbnailProcess(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString card = dir.filePath(QStringLiteral("default.pnk"));
    QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {QStringLiteral("new"), card});
    const QStringList args{QStringLiteral("thumbnail"), card, dir.filePath(QStringLiteral("t.png")),
                           QStringLiteral("--size"), QStringLiteral("256")};
    for (auto _ : state) {
        if (QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), args) != 0) state.SkipWithError("thumbnail failed");
    }
}
BENCHMARK(BM_ThumbnailProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
