#include "ui/app/StartWindow.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

class TestStartWindow : public QObject
{
    Q_OBJECT
private slots:
    void endsWithoutSettingsFile();
    void refusesASecondCopy();
    void makesOnlyMissingLibraryFolders();
    void reportsAFolderThatCannotBeMade();
    void countsAReadOnlySettingsFile();
    void shrinksAwayAfterAClickAndHandsOver();
    void handsOverOnceAfterAMessageHeldOpen();
    void handsAFileToTheRunningCopy();
};

namespace {

// A dialog double whose messages stay open a while, as a user reading them
// would keep them: the event loop runs meanwhile.
class SlowDialogs : public ScriptedDialogs
{
public:
    void show(const QString &text, const QString &caption, Icon icon) override
    {
        ScriptedDialogs::show(text, caption, icon);
        QTest::qWait(300);
    }
};

} // namespace

void TestStartWindow::endsWithoutSettingsFile()
{
    ProgramFolderFixture folder;
    QFile::remove(folder.settingsFile());
    ScriptedDialogs dialogs;
    bool mainShown = false;
    StartWindow start(ProgramFolder(folder.root()), dialogs, [&] { mainShown = true; });
    QVERIFY(!start.start());
    QCOMPARE(dialogs.records.size(), 1);
    const QStringList lines = dialogs.last().text.split(u'\r');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("由于Penlark缺少一些主要的文件而导致不能正常运行"));
    QCOMPARE(lines[1], QStringLiteral("请您核对是否曾经删除过某些文件，若有可能请即刻恢复它"));
    QVERIFY(lines[2].contains(QStringLiteral("下载")));
    QCOMPARE(dialogs.last().caption, QStringLiteral("启动时出错！"));
    QCOMPARE(dialogs.last().icon, Dialogs::Icon::Warning);
    QVERIFY(!start.splashTimer().isActive());
    QVERIFY(!mainShown);
}

void TestStartWindow::refusesASecondCopy()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    StartWindow first(ProgramFolder(folder.root()), dialogs, [] {});
    QVERIFY(first.start());
    StartWindow second(ProgramFolder(folder.root()), dialogs, [] {});
    QVERIFY(!second.start());
    QCOMPARE(dialogs.records.size(), 1);
    QCOMPARE(dialogs.last().text, QStringLiteral("Penlark正在运用中\r请勿重复启动！"));
    QCOMPARE(dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(dialogs.last().icon, Dialogs::Icon::Warning);
}

void TestStartWindow::makesOnlyMissingLibraryFolders()
{
    ProgramFolderFixture folder;
    QDir(folder.root()).rmdir(QStringLiteral("logo"));
    QDir(folder.root()).mkpath(QStringLiteral("mycard/商务"));
    folder.writePicture(QStringLiteral("background/风景/海.jpg"), Qt::blue);
    ScriptedDialogs dialogs;
    StartWindow start(ProgramFolder(folder.root()), dialogs, [] {});
    QVERIFY(start.start());
    QVERIFY(dialogs.records.isEmpty());
    QVERIFY(QFileInfo(folder.path(QStringLiteral("logo"))).isDir());
    QVERIFY(QDir(folder.path(QStringLiteral("logo"))).isEmpty());
    QVERIFY(QFileInfo(folder.path(QStringLiteral("mycard/商务"))).isDir());
    QVERIFY(QFileInfo::exists(folder.path(QStringLiteral("background/风景/海.jpg"))));
    QVERIFY(start.splashTimer().isActive());
    QCOMPARE(start.splashTimer().interval(), 2500);
}

void TestStartWindow::reportsAFolderThatCannotBeMade()
{
    ProgramFolderFixture folder;
    QDir(folder.root()).rmdir(QStringLiteral("logo"));
    // A dangling link by that name: the folder is missing and cannot be made.
    QVERIFY(QFile::link(folder.path(QStringLiteral("nowhere")), folder.path(QStringLiteral("logo"))));
    ScriptedDialogs dialogs;
    StartWindow start(ProgramFolder(folder.root()), dialogs, [] {});
    QVERIFY(start.start()); // the program goes on
    QCOMPARE(dialogs.records.size(), 1);
    QVERIFY(dialogs.last().text.contains(QStringLiteral("logo")));
    QCOMPARE(dialogs.last().caption, QStringLiteral("提醒您："));
}

void TestStartWindow::countsAReadOnlySettingsFile()
{
    ProgramFolderFixture folder;
    QFile::setPermissions(folder.settingsFile(), QFile::ReadOwner);
    ScriptedDialogs dialogs;
    StartWindow start(ProgramFolder(folder.root()), dialogs, [] {});
    QVERIFY(start.start());
    QVERIFY(dialogs.records.isEmpty());
}

void TestStartWindow::shrinksAwayAfterAClickAndHandsOver()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    bool mainShown = false;
    StartWindow start(ProgramFolder(folder.root()), dialogs, [&] { mainShown = true; });
    QVERIFY(start.start());
    start.show();
    QCOMPARE(start.size(), QSize(504, 275));
    QTest::mouseClick(&start, Qt::LeftButton);
    QVERIFY(start.shrinkTimer().isActive());
    QCOMPARE(start.shrinkTimer().interval(), 50);
    QTest::mouseClick(&start, Qt::LeftButton); // a second click changes nothing
    QVERIFY(QTest::qWaitFor([&] { return mainShown; }, 5000));
    QCOMPARE(start.shrinkSteps(), 13);
    QVERIFY(!start.isVisible());
    QVERIFY(!start.shrinkTimer().isActive());
}

void TestStartWindow::handsOverOnceAfterAMessageHeldOpen()
{
    ProgramFolderFixture folder;
    QDir(folder.root()).rmdir(QStringLiteral("background"));
    QVERIFY(QFile::link(folder.path(QStringLiteral("nowhere")), folder.path(QStringLiteral("background"))));
    SlowDialogs dialogs;
    int mainShown = 0;
    StartWindow start(ProgramFolder(folder.root()), dialogs, [&] { ++mainShown; });
    start.splashTimer().setInterval(20); // would have run out while the message is open
    QVERIFY(start.start());
    QCOMPARE(dialogs.records.size(), 1);
    QCOMPARE(mainShown, 0);
    QVERIFY(start.isVisible());
    QCOMPARE(start.size(), QSize(504, 275)); // the whole splash, after the message
    QVERIFY(QTest::qWaitFor([&] { return mainShown > 0; }, 5000));
    QVERIFY(!start.isVisible());
    // Clicks and ticks after the hand-over do nothing.
    QTest::mouseClick(&start, Qt::LeftButton);
    start.shrinkTimer().start();
    QTest::qWait(200);
    QCOMPARE(mainShown, 1);
    QVERIFY(!start.isVisible());
    QCOMPARE(start.shrinkSteps(), 13);
}

void TestStartWindow::handsAFileToTheRunningCopy()
{
    // The designer itself, started a second time on a program folder of its own
    // with a card file (its folder is the one it runs from).
    ProgramFolderFixture folder;
    const QString designer = folder.path(QStringLiteral("penlark"));
    QVERIFY(QFile::copy(QStringLiteral(PENLARK_EXE), designer));
    ScriptedDialogs dialogs;
    StartWindow running(ProgramFolder(folder.root()), dialogs, [] {});
    QVERIFY(running.start());
    QSignalSpy received(&running.fileHandOver(), &FileHandOver::fileReceived);
    QProcess second;
    second.setWorkingDirectory(folder.root());
    second.start(designer, {QStringLiteral("名片.pnk")});
    QVERIFY(received.wait(20000));
    QCOMPARE(received.first().first().toString(), folder.path(QStringLiteral("名片.pnk")));
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(dialogs.records.isEmpty());
}

QTEST_MAIN(TestStartWindow)
#include "test_startwindow.moc"
