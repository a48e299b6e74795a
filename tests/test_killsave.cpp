#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

const QString kSaveLoop = QStringLiteral(PENLARK_SAVE_LOOP_EXE);
const QString kSummaryDir = QStringLiteral(PENLARK_RELIABILITY_DIR);
#ifdef PENLARK_SANITIZE
// The sanitized save loop starts several times slower: kills wait longer to
// land among its saves.
constexpr int kLongestWaitUs = 120000;
#else
constexpr int kLongestWaitUs = 30000;
#endif

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the save loop in folder for count saves (or until killed, count < 0);
// returns when it has started saving.
void startSaveLoop(QProcess &process, const QString &folder, int count)
{
    QStringList args{folder};
    if (count >= 0) args << QString::number(count);
    process.start(kSaveLoop, args);
    QVERIFY(process.waitForStarted());
    QVERIFY(process.waitForReadyRead(30000));
}

void writeSummary(const QString &line)
{
    qInfo("%s", qPrintable(line));
    QDir().mkpath(kSummaryDir);
    QFile file(kSummaryDir + QStringLiteral("/kill_during_save.txt"));
    if (file.open(QIODevice::WriteOnly)) file.write(line.toUtf8() + '\n');
}

} // namespace

class TestKillSave : public QObject
{
    Q_OBJECT
private slots:
    void killedSavesLeaveOneOfTheTwoCards();
};

// A save loop is killed at random moments; after every kill the card file is
// one of the two cards whole, and the next save removes what a killed save
// left behind. PENLARK_KILL_TRIALS sets the number of kills (default 300).
void TestKillSave::killedSavesLeaveOneOfTheTwoCards()
{
    QTemporaryDir folder;
    const QString cardDir = folder.filePath(QStringLiteral("mycard/kill"));
    const QString card = cardDir + QStringLiteral("/card.pnk");

    QProcess process;
    const auto saveTimes = [&](int count) {
        startSaveLoop(process, folder.path(), count);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
    };
    saveTimes(1);
    const QByteArray first = contents(card);
    saveTimes(2);
    const QByteArray second = contents(card);
    QVERIFY(!first.isEmpty());
    QVERIFY(second.size() > first.size() + 1000);

    const int trials = qEnvironmentVariableIsSet("PENLARK_KILL_TRIALS")
                           ? qEnvironmentVariableIntValue("PENLARK_KILL_TRIALS")
                           : 300;
    static const QRegularExpression temporary(QStringLiteral("^\\.penlark-tmp-[0-9a-f]{8}-[A-Za-z0-9]{6}$"));
    int torn = 0, landed = 0, leftovers = 0;
    qint64 saves = 0;
    for (int i = 0; i < trials; ++i) {
        startSaveLoop(process, folder.path(), -1);
        QThread::usleep(QRandomGenerator::global()->bounded(0, kLongestWaitUs));
        process.kill();
        QVERIFY(process.waitForFinished(30000));
        const qint64 completed = process.readAllStandardOutput().count('.');
        saves += completed;
        const QByteArray now = contents(card);
        if (now != first && now != second) {
            ++torn;
            qWarning("kill %d left a torn file of %lld bytes", i, qlonglong(now.size()));
        }
        landed += completed > 0;
        leftovers += int(QDir(cardDir).entryList(QDir::Files | QDir::Hidden).filter(temporary).size());
    }
    saveTimes(1);
    const QStringList remaining = QDir(cardDir).entryList(QDir::Files | QDir::Hidden | QDir::System);

    writeSummary(QStringLiteral("kill-during-save: %1 kills, %2 torn files, %3 saves completed between kills, "
                                "%4 kills after completed saves, %5 temporary files seen after kills, "
                                "%6 left after the next save")
                     .arg(trials).arg(torn).arg(saves).arg(landed).arg(leftovers).arg(remaining.size() - 1));
    QCOMPARE(torn, 0);
    QCOMPARE(remaining, QStringList{QStringLiteral("card.pnk")});
    // Many kills landed among saves, not only before the first one.
    QVERIFY(landed > trials / 4);
}

QTEST_GUILESS_MAIN(TestKillSave)
#include "test_killsave.moc"
