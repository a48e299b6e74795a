// The template window filling a category of a hundred cards: from opening the
// window to the thumbnails of its first screen (three rows of three) drawn.
// Every round starts with a new window, so nothing is cached.
#include "BenchMain.h"
#include "render/CardThumbnails.h"
#include "ui/library/TemplateWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSet>
#include <QTemporaryDir>

namespace {

constexpr int kCards = 100;
constexpr int kFirstScreen = 9;

// A program folder whose one category holds a hundred copies of the sample cards.
struct Library {
    QTemporaryDir dir;
    Library()
    {
        const QDir source(QStringLiteral(PENLARK_PROGRAM_SOURCE));
        for (const char *library : {"background", "logo"}) {
            const QString from = source.filePath(QString::fromLatin1(library));
            for (const QString &category : QDir(from).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                QDir(dir.path()).mkpath(QString::fromLatin1(library) + u'/' + category);
                for (const QString &file : QDir(from + u'/' + category).entryList(QDir::Files))
                    QFile::copy(from + u'/' + category + u'/' + file,
                                dir.filePath(QString::fromLatin1(library) + u'/' + category + u'/' + file));
            }
        }
        QDir(dir.path()).mkpath(QStringLiteral("mycard/样板"));
        const QString samples = source.filePath(QStringLiteral("mycard/示例名片"));
        const QStringList cards = QDir(samples).entryList({QStringLiteral("*.pnk")}, QDir::Files);
        for (int i = 0; i < kCards; ++i)
            QFile::copy(samples + u'/' + cards[i % cards.size()],
                        dir.filePath(QStringLiteral("mycard/样板/%1.pnk").arg(i, 3, 10, QChar(u'0'))));
    }
};

void BM_TemplateFirstScreen(benchmark::State &state)
{
    static const Library library;
    for (auto _ : state) {
        TemplateWindow window{ProgramFolder(library.dir.path())};
        QSet<QString> firstScreen, drawn;
        QObject::connect(window.findChild<CardThumbnails *>(), &CardThumbnails::ready,
                         [&drawn](const QString &path) { drawn.insert(path); });
        window.refill();
        for (int i = 0; i < kFirstScreen; ++i) firstScreen.insert(window.cardList()->item(i)->data(Qt::UserRole).toString());
        while (!drawn.contains(firstScreen)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}
BENCHMARK(BM_TemplateFirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return runBenchmarks<QApplication>(argc, argv); }
