#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

// penlark-card merge killed at random moments: after the next run into the same
// place, the made cards are there whole or not at all, and nothing of the
// killed run is left. PENLARK_KILL_TRIALS sets the number of kills (default 300,
// shared out between card folders and PDFs: a tenth as many merges).
namespace {

const QString kTool = QStringLiteral(PENLARK_CARD_EXE);
constexpr int kRows = 400;

QStringList entries(const QString &dir, const QString &filter = {})
{
    QStringList all = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    return filter.isEmpty() ? all : all.filter(filter);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void writeSummary(const QString &line)
{
    qInfo("%s", qPrintable(line));
    QDir().mkpath(QStringLiteral(PENLARK_RELIABILITY_DIR));
    QFile file(QStringLiteral(PENLARK_RELIABILITY_DIR "/kill_during_merge.txt"));
    if (file.open(QIODevice::WriteOnly)) file.write(line.toUtf8() + '\n');
}

} // namespace

class TestKillMerge : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void killedMergesLeaveWholeOutputOrNone();
    void hangUpDropsTheOutputAndItsParts();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_runtime;
    QString m_card, m_table, m_one;

    QProcess *startMerge(const QString &table, const QString &out, const QString &tmp = {});
};

void TestKillMerge::initTestCase()
{
    m_card = m_dir.filePath("t.pnk");
    QCOMPARE(QProcess::execute(kTool, {"new", m_card}), 0);
    QByteArray rows = "姓名,电话\n";
    for (int i = 0; i < kRows; ++i) rows += "P" + QByteArray::number(i) + "," + QByteArray::number(i) + "\n";
    m_table = m_dir.filePath("people.csv");
    writeFile(m_table, rows);
    m_one = m_dir.filePath("one.csv");
    writeFile(m_one, "姓名\n新人\n");
}

QProcess *TestKillMerge::startMerge(const QString &table, const QString &out, const QString &tmp)
{
    auto *process = new QProcess(this);
    if (!tmp.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", tmp);
        env.insert("XDG_RUNTIME_DIR", m_runtime.path()); // else Qt makes one in TMPDIR
        process->setProcessEnvironment(env);
    }
    process->start(kTool, {"merge", m_card, table, "-o", out, "--jobs", "2"});
    return process;
}

void TestKillMerge::killedMergesLeaveWholeOutputOrNone()
{
    const int kills = std::max(2, (qEnvironmentVariableIsSet("PENLARK_KILL_TRIALS")
                                       ? qEnvironmentVariableIntValue("PENLARK_KILL_TRIALS") : 300) / 10);
    QTemporaryDir work;
    const QString folder = work.filePath("团队");
    const QString pdf = work.filePath("团队.pdf");
    QVERIFY(QDir().mkdir(folder));
    writeFile(folder + "/旧.pnk", "kept");
    // How long one whole merge takes, so that kills spread over all of it.
    QElapsedTimer clock;
    clock.start();
    QProcess *whole = startMerge(m_table, work.filePath("timed"));
    QVERIFY(whole->waitForFinished(120000));
    QCOMPARE(whole->exitCode(), 0);
    const int span = int(clock.elapsed() * 11 / 10);

    int torn = 0, tornAtKill = 0, leftoversAtKill = 0, leftoversAfter = 0, made = 0, killed = 0;
    for (int i = 0; i < kills; ++i) {
        const bool toPdf = i % 4 == 3;
        const QString out = toPdf ? pdf : folder;
        const int before = entries(folder, ".pnk").size();
        QProcess *run = startMerge(m_table, out);
        QVERIFY(run->waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(span));
        run->kill();
        QVERIFY(run->waitForFinished(30000));
        killed += run->exitStatus() == QProcess::CrashExit;
        delete run;
        const int added = entries(folder, ".pnk").size() - before;
        tornAtKill += added != 0 && added != kRows;
        leftoversAtKill += entries(work.path(), ".penlark-").size();

        // The next run into the same place finishes or removes what the killed one left.
        QProcess *next = startMerge(m_one, toPdf ? pdf : folder);
        QVERIFY(next->waitForFinished(60000));
        QCOMPARE(next->exitCode(), 0);
        delete next;
        const int addedAfter = entries(folder, ".pnk").size() - before - (toPdf ? 0 : 1);
        torn += addedAfter != 0 && addedAfter != kRows;
        made += addedAfter == kRows;
        leftoversAfter += entries(work.path(), ".penlark-").size();
    }
    writeSummary(QStringLiteral("kill-during-merge: %1 kills of %2-card merges (%3 into a folder, %4 into a PDF), "
                                "%5 whole outputs after a kill, %6 moves cut by a kill and finished by the next run, "
                                "%7 torn outputs; %8 hidden work entries seen after kills, %9 left after the next run")
                     .arg(kills).arg(kRows).arg(kills - kills / 4).arg(kills / 4).arg(made).arg(tornAtKill)
                     .arg(torn).arg(leftoversAtKill).arg(leftoversAfter));
    QCOMPARE(torn, 0);
    QCOMPARE(leftoversAfter, 0);
    QVERIFY(killed > 0);
}

// Closing the terminal cancels a merge as Ctrl+C does: nothing written, no
// hidden work entry beside the output, no part file in the temporary folder.
void TestKillMerge::hangUpDropsTheOutputAndItsParts()
{
    QTemporaryDir work, tmp;
    for (const QString &out : {work.filePath("团队"), work.filePath("团队.pdf")}) {
        QProcess *run = startMerge(m_table, out, tmp.path());
        QVERIFY(run->waitForStarted());
        // Hang up once the run is under way: its hidden work entry is there.
        QTRY_VERIFY_WITH_TIMEOUT(!entries(work.path(), ".penlark-merge-").isEmpty(), 30000);
        ::kill(pid_t(run->processId()), SIGHUP);
        QVERIFY(run->waitForFinished(30000));
        QCOMPARE(run->exitStatus(), QProcess::NormalExit);
        QCOMPARE(run->exitCode(), 1);
        QCOMPARE(run->readAllStandardError(), QByteArray("penlark-card: interrupted; nothing written\n"));
        delete run;
        QCOMPARE(entries(work.path()), QStringList());
        QCOMPARE(entries(tmp.path()), QStringList());
    }
}

QTEST_GUILESS_MAIN(TestKillMerge)
#include "test_killmerge.moc"
