#include "ui/app/StartWindow.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"
#include "model/HandOverMessage.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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
    void takesOnlyPathsAsMessages();
    void refusesConnectionsThatSendNoMessage();
    void keepsListeningThroughHundredsOfIdleConnections();
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

void TestStartWindow::takesOnlyPathsAsMessages()
{
    using HandOverMessage::pathFrom;
    QCOMPARE(pathFrom(HandOverMessage::lineFor(QStringLiteral("/家/名片.pnk"))), QStringLiteral("/家/名片.pnk"));
    const QByteArray longest = '/' + QByteArray(HandOverMessage::kLongestPath - 1, 'x');
    QCOMPARE(pathFrom(longest + '\n'), QString::fromLatin1(longest));
    for (const QByteArray &line : {longest + "x\n", QByteArray("名片.pnk\n"), QByteArray("\n"),
                                   QByteArray("/a\xff.pnk\n"), QByteArray("/a\0b.pnk\n", 10), QByteArray("/a.pnk\n/b.pnk\n")})
        QVERIFY2(!pathFrom(line), line.left(40).constData());
}

namespace {

sockaddr_un socketAddress(const QString &name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = name.toLocal8Bit();
    std::memcpy(address.sun_path, path.constData(), std::min<size_t>(path.size(), sizeof address.sun_path - 1));
    return address;
}

// A client socket of the system's own, not Qt's, for a test that holds
// hundreds from a forked child (which must not allocate); a full backlog is
// waited out until the deadline.
int connectRaw(const sockaddr_un &address, const QDeadlineTimer &deadline)
{
    while (!deadline.hasExpired()) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) return fd;
        const bool full = errno == EAGAIN;
        ::close(fd);
        if (!full) return -1;
        usleep(1000);
    }
    return -1;
}

} // namespace

void TestStartWindow::refusesConnectionsThatSendNoMessage()
{
    ProgramFolderFixture folder;
    FileHandOver handOver{ProgramFolder(folder.root())};
    QVERIFY(handOver.listen());
    QSignalSpy received(&handOver, &FileHandOver::fileReceived);
    const QString name = FileHandOver::socketName(ProgramFolder(folder.root()));
    // More than a path can be, with or without a line end: closed at once.
    for (const QByteArray &bytes : {QByteArray(HandOverMessage::kLongestPath + 2, '/'), QByteArray("名片.pnk\n")}) {
        QLocalSocket socket;
        socket.connectToServer(name);
        QVERIFY(socket.waitForConnected(1000));
        socket.write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, FileHandOver::kIdleMs / 2);
    }
    // Silent, or a line never ended: closed after the idle time.
    QLocalSocket silent;
    QLocalSocket unended;
    for (QLocalSocket *socket : {&silent, &unended}) {
        socket->connectToServer(name);
        QVERIFY(socket->waitForConnected(1000));
    }
    unended.write("/名片.pnk");
    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, FileHandOver::kIdleMs + 3000);
    QTRY_COMPARE_WITH_TIMEOUT(unended.state(), QLocalSocket::UnconnectedState, 1000);
    QVERIFY(received.isEmpty());
}

void TestStartWindow::keepsListeningThroughHundredsOfIdleConnections()
{
    ProgramFolderFixture folder;
    FileHandOver handOver{ProgramFolder(folder.root())};
    QVERIFY(handOver.listen());
    QSignalSpy received(&handOver, &FileHandOver::fileReceived);
    const sockaddr_un address = socketAddress(FileHandOver::socketName(ProgramFolder(folder.root())));
    rlimit limit{};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit low{256, limit.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &low), 0);
    // Another program opens 400 connections and sends nothing.
    int ready[2];
    QCOMPARE(pipe2(ready, O_NONBLOCK), 0);
    const pid_t idler = fork();
    if (idler == 0) {
        setrlimit(RLIMIT_NOFILE, &limit);
        const QDeadlineTimer deadline(10000);
        for (int i = 0; i < 400; ++i) connectRaw(address, deadline);
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    const auto cleanUp = qScopeGuard([&] {
        kill(idler, SIGKILL);
        waitpid(idler, nullptr, 0);
        ::close(ready[0]);
        ::close(ready[1]);
        setrlimit(RLIMIT_NOFILE, &limit);
    });
    char done = 0;
    QVERIFY(QTest::qWaitFor([&] { return read(ready[0], &done, 1) == 1; }, 30000));
    // A later start still hands its file over.
    auto sent = std::async(std::launch::async, [&] { return handOver.send(QStringLiteral("/名片.pnk")); });
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 10000);
    QVERIFY(sent.get());
    QCOMPARE(received.first().first().toString(), QStringLiteral("/名片.pnk"));
}

QTEST_MAIN(TestStartWindow)
#include "test_startwindow.moc"
