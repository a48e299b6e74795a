#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <QColor>
#include <QLocalServer>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals; // "…"_ba: a literal's bytes, NULs included, counted by the compiler

// penlark-card on hostile input: each run ends with a correct result or one
// clear line on stderr, within a time and memory bound checked here.
namespace {

const QByteArray kTool = PENLARK_CARD_EXE;
constexpr qint64 kWallLimitMs = 20000;
constexpr long kPeakMemoryLimitKb = 256 * 1024;
// An address-space ceiling for the child, so that a runaway allocation fails
// there instead of taking the machine's memory.
constexpr rlim_t kAddressSpaceLimit = rlim_t(4) << 30;
#ifdef PENLARK_SANITIZE
// The sanitizers reserve terabytes of shadow memory and slow the tool several
// times over: here the runs are checked for faults, the bounds by the plain build.
constexpr bool kBounded = false;
#else
constexpr bool kBounded = true;
#endif

struct Bounded {
    bool exited = false;   // false: killed by a signal or by the wall-clock limit
    int status = -1;
    QByteArray out, err;
    qint64 elapsedMs = 0;
    qint64 cpuMs = 0;      // user and system time, which a loaded machine does not stretch
    long peakMemoryKb = 0;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs penlark-card with stdout and stderr in files, under an address-space
// limit and, when given, a file-size limit whose signal is ignored (writes past
// it fail as on a full disk), killed after the wall-clock limit; its peak
// memory comes from wait4.
Bounded runBounded(const QStringList &args, const QTemporaryDir &dir, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const QByteArray outPath = QFile::encodeName(dir.filePath("stdout.txt"));
    const QByteArray errPath = QFile::encodeName(dir.filePath("stderr.txt"));
    std::vector<QByteArray> words{kTool};
    for (const QString &a : args) words.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        const rlimit limit{kAddressSpaceLimit, kAddressSpaceLimit};
        if (kBounded) setrlimit(RLIMIT_AS, &limit);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        execv(argv[0], argv.data());
        _exit(127);
    }
    Bounded run;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (clock.elapsed() > kWallLimitMs) kill(pid, SIGKILL);
        usleep(2000);
    }
    run.elapsedMs = clock.elapsed();
    run.exited = WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : -1;
    run.peakMemoryKb = usage.ru_maxrss;
    const auto ms = [](timeval t) { return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000; };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    run.out = readAll(dir.filePath("stdout.txt"));
    run.err = readAll(dir.filePath("stderr.txt"));
    return run;
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray body = QByteArray(type) + data;
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(data.size()), chunk.data());
    chunk += body;
    QByteArray crc(4, '\0');
    qToBigEndian(crc32(body), crc.data());
    return chunk + crc;
}

// A PNG file of a few hundred bytes whose header claims width x height pixels.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 8;  // bit depth
    header[9] = 2;  // RGB
    const QByteArray pixels = qCompress(QByteArray(4096, '\0')).mid(4); // zlib stream only
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", pixels) +
           pngChunk("IEND", {});
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void endsCleanlyWithinBounds_data();
    void endsCleanlyWithinBounds();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void thumbnailsStayWithinASecondAnd100MB_data();
    void thumbnailsStayWithinASecondAnd100MB();
    void picturesSayWhatIsWrong();

private:
    QTemporaryDir m_folder;   // program folder with hostile library pictures
    QTemporaryDir m_thumbnailFolder; // program folder with 9999 x 9999 pictures
    qint64 m_slowestMs = 0;
    long m_largestKb = 0;
    int m_runs = 0;
};

void TestHostile::initTestCase()
{
    QVERIFY(QFile::exists(QString::fromLocal8Bit(kTool)));
    const QString background = m_folder.filePath("background");
    const QString logo = m_folder.filePath("logo");
    const QByteArray huge = pngClaiming(100000, 100000);
    writeFile(background + QStringLiteral("/大/huge.png"), huge);
    writeFile(logo + QStringLiteral("/大/huge.png"), huge);
    QImage real(40, 30, QImage::Format_RGB32);
    real.fill(Qt::green);
    QVERIFY(real.save(m_folder.filePath("real.png")));
    writeFile(background + QStringLiteral("/坏/cut.png"), readAll(m_folder.filePath("real.png")).left(60));
    QByteArray noise;
    for (int i = 0; i < 5000; ++i) noise += char(i * 7919 % 251);
    writeFile(logo + QStringLiteral("/坏/noise.jpg"), noise);
}

void TestHostile::cleanupTestCase()
{
    const QString line = QStringLiteral("hostile-input: %1 runs of penlark-card, slowest %2 ms, largest %3 MB")
                             .arg(m_runs).arg(m_slowestMs).arg(m_largestKb / 1024);
    qInfo("%s", qPrintable(line));
    QDir().mkpath(QStringLiteral(PENLARK_RELIABILITY_DIR));
    QFile summary(QStringLiteral(PENLARK_RELIABILITY_DIR "/hostile_input.txt"));
    if (summary.open(QIODevice::WriteOnly)) summary.write(line.toUtf8() + '\n');
}

enum class CardKind { File, Folder, Socket, Fifo, Device };
Q_DECLARE_METATYPE(CardKind)

void TestHostile::endsCleanlyWithinBounds_data()
{
    QTest::addColumn<CardKind>("kind");
    QTest::addColumn<QByteArray>("card");
    // Warnings a card gives; -1: the card is refused with one line.
    QTest::addColumn<int>("warnings");
    QTest::addColumn<qint64>("wallLimitMs");

    const auto gb = [](const char16_t *text) -> QByteArray { return QStringEncoder("GB18030").encode(QString::fromUtf16(text)); };
    QTest::newRow("hostile numbers") << CardKind::File
        << QByteArray("[cPage]\r\nwidth=abc\r\nheight=nan\r\nisBg=-7\r\nbgColor=99999999999999999999\r\n"
                      "jbJiaoDu=1e308\r\n[cLogo]\r\nwidth=-840\r\nheight=1e-45\r\nleft=-1e-30\r\n"
                      "[cName]\r\nFontSize=-20\r\nForeColor=-99999999999\r\nvisible=2e9\r\n"
                      "[cJob]\r\nFontSize=0\r\nleft=1.5e\r\ntop=--3\r\n") << 2 << kWallLimitMs;
    // Lengths no card holds fall back with one warning each (a negative logo
    // width and font size above too); a number beyond a single does not even
    // parse and falls back silently, as every malformed value does.
    QTest::newRow("a page a hundred metres wide") << CardKind::File
        << QByteArray("[cPage]\r\nwidth=100000\r\nheight=300000\r\n") << 2 << kWallLimitMs;
    QTest::newRow("lengths that overflow") << CardKind::File
        << QByteArray("[cPage]\r\nwidth=3e38\r\nheight=0\r\n[cLogo]\r\nwidth=1e39\r\n"
                      "[cLine]\r\nleft=99999999999\r\n") << 3 << kWallLimitMs;
    QTest::newRow("references leaving the library") << CardKind::File
        << QByteArray("[cPage]\r\nisBg=3\r\nbgImg=..\\..\\penlark.dll\r\n[cLogo]\r\nimg=/etc/hostname\r\n") << 2 << kWallLimitMs;
    QTest::newRow("drive and network references") << CardKind::File
        << QByteArray("[cPage]\r\nisBg=3\r\nbgImg=C:\\x.jpg\r\n[cLogo]\r\nimg=\\\\server\\share\\x.png\r\n") << 2 << kWallLimitMs;
    QTest::newRow("huge pictures") << CardKind::File
        << gb(u"[cPage]\r\nisBg=3\r\nbgImg=大\\huge.png\r\n[cLogo]\r\nimg=大\\huge.png\r\n") << 2 << kWallLimitMs;
    QTest::newRow("broken pictures") << CardKind::File
        << gb(u"[cPage]\r\nisBg=3\r\nbgImg=坏\\cut.png\r\n[cLogo]\r\nimg=坏\\noise.jpg\r\n") << 2 << kWallLimitMs;
    QTest::newRow("invalid GBK") << CardKind::File
        << QByteArray("[cName]\r\ncaption=\x81\x20\xff\xfe\x80\x81\r\n[c\xfe\xfeJob]\r\nFont=\xa1\r\n\x81") << 0 << kWallLimitMs;
    QTest::newRow("NUL bytes") << CardKind::File
        << "[cName]\r\ncaption=a\0b\0\r\nFont=\0\r\n[c\0Page]\r\nwidth\0=1\r\n\0\0\0"_ba << 0 << kWallLimitMs;
    QTest::newRow("a 10 MB caption") << CardKind::File
        << QByteArray("[cName]\r\ncaption=") + QByteArray(10 << 20, 'x') + QByteArray("\r\n") << 0 << kWallLimitMs;
    QTest::newRow("a 10 MB line without a line end") << CardKind::File << QByteArray(10 << 20, '[') << 0 << kWallLimitMs;
    // About 150 bytes a line took 6.5 GB for 60 MB of line ends.
    QTest::newRow("10 MB of line ends") << CardKind::File << QByteArray(10 << 20, '\n') << 0 << qint64(5000);
    QTest::newRow("an empty file") << CardKind::File << QByteArray() << 0 << kWallLimitMs;
    QTest::newRow("a folder") << CardKind::Folder << QByteArray() << -1 << kWallLimitMs;
    QTest::newRow("a socket nobody can read") << CardKind::Socket << QByteArray() << -1 << kWallLimitMs;
    QTest::newRow("a named pipe") << CardKind::Fifo << QByteArray() << -1 << kWallLimitMs;
    QTest::newRow("an endless device") << CardKind::Device << QByteArray() << -1 << kWallLimitMs;
}

// Every hostile card, dumped and rendered to PNG and PDF, gives a correct
// result (with a warning per missing picture) or one line saying it cannot be
// read, within the time and memory bounds.
void TestHostile::endsCleanlyWithinBounds()
{
    QFETCH(CardKind, kind);
    QFETCH(QByteArray, card);
    QFETCH(int, warnings);
    QFETCH(qint64, wallLimitMs);

    QTemporaryDir dir;
    QString path = dir.filePath("card.pnk");
    QLocalServer socket;
    switch (kind) {
    case CardKind::File: writeFile(path, card); break;
    case CardKind::Folder: QVERIFY(QDir().mkdir(path)); break;
    case CardKind::Socket: QVERIFY(socket.listen(path)); break;
    case CardKind::Fifo: QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0); break;
    case CardKind::Device: path = QStringLiteral("/dev/zero"); break;
    }

    const QStringList folder{"--program-folder", m_folder.path()};
    QList<QStringList> commands{{"dump", path},
                                {"render", path, "-o", dir.filePath("out.png")},
                                {"render", path, "-o", dir.filePath("out.pdf")},
                                {"sheet", path, "-o", dir.filePath("sheet.pdf")}};
    if (warnings < 0) commands.append({"new", path});
    for (const QStringList &command : commands) {
        const Bounded run = runBounded(command + folder, dir);
        ++m_runs;
        m_slowestMs = std::max(m_slowestMs, run.elapsedMs);
        m_largestKb = std::max(m_largestKb, run.peakMemoryKb);
        const QByteArray what = command.join(' ').toUtf8();
        QVERIFY2(run.exited, what + " was killed after " + QByteArray::number(run.elapsedMs) + " ms");
        QVERIFY2(!kBounded || run.elapsedMs < wallLimitMs, what + ": " + QByteArray::number(run.elapsedMs) + " ms");
        QVERIFY2(!kBounded || run.peakMemoryKb < kPeakMemoryLimitKb, what + ": " + QByteArray::number(run.peakMemoryKb) + " kB");
        if (warnings < 0) {
            QCOMPARE(run.status, 1);
            QCOMPARE(run.err.count('\n'), 1);
            const QByteArray verb = command[0] == u"new" ? "write " : "read ";
            QVERIFY2(run.err.startsWith("penlark-card: cannot " + verb + QFile::encodeName(path) + ": "), run.err);
            QVERIFY(run.out.isEmpty());
            continue;
        }
        QVERIFY2(run.status == 0, run.err);
        QCOMPARE(run.err.count("penlark-card: warning: "), warnings);
        // libpng writes its own complaint about a cut picture straight to stderr.
        QCOMPARE(run.err.count('\n') - run.err.count("libpng error: "), warnings);
        if (command[0] == u"dump") {
            QJsonParseError error;
            QCOMPARE(QJsonDocument::fromJson(run.out, &error).object().size(), 15);
        } else if (command[3].endsWith(u".png")) {
            QVERIFY(!QImage(command[3]).isNull());
        } else {
            QCOMPARE(readAll(command[3]).left(5), QByteArray("%PDF-"));
        }
    }
}

void TestHostile::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<QStringList>("command"); // OUT stands for the file written
    QTest::addColumn<QString>("out");
    QTest::newRow("new card") << QStringList{"new", "OUT"} << "card.pnk";
    QTest::newRow("render PNG") << QStringList{"render", "card.pnk", "-o", "OUT"} << "out.png";
    QTest::newRow("render BMP") << QStringList{"render", "card.pnk", "-o", "OUT"} << "out.bmp";
    QTest::newRow("render PDF") << QStringList{"render", "card.pnk", "-o", "OUT"} << "out.pdf";
    QTest::newRow("sheet") << QStringList{"sheet", "card.pnk", "-o", "OUT"} << "sheet.pdf";
    QTest::newRow("gradient") << QStringList{"gradient", "--size", "60x40", "--color1", "0", "--color2", "255",
                                             "-o", "OUT"} << "out.bmp";
}

// Under a file-size limit of 1 kB, as on a full disk, a write fails with one
// line and a non-zero exit; the old file keeps its bytes and no temporary stays.
void TestHostile::fullDiskKeepsTheOldFile()
{
    QFETCH(QStringList, command);
    QFETCH(QString, out);
    QTemporaryDir dir;
    const QByteArray card("[cName]\r\ncaption=old\r\n");
    const QByteArray old("old contents");
    writeFile(dir.filePath("card.pnk"), card);
    if (out != u"card.pnk") writeFile(dir.filePath(out), old);
    QStringList args;
    for (const QString &a : command) args << (a == u"OUT" ? dir.filePath(out) : a == u"card.pnk" ? dir.filePath(a) : a);

    const Bounded run = runBounded(args, dir, 1024);
    QVERIFY(run.exited);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.startsWith("penlark-card: cannot write " + QFile::encodeName(dir.filePath(out)) + ": "), run.err);
    QCOMPARE(readAll(dir.filePath(out)), out == u"card.pnk" ? card : old);
    QStringList expected{"card.pnk", "stderr.txt", "stdout.txt"};
    if (!expected.contains(out)) expected << out;
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

// A file manager runs the thumbnailer on every card it shows, downloaded ones
// too: a card file no card can be is refused, and a picture is decoded only at
// the size the thumbnail shows it or refused, so that each thumbnail takes at
// most a second of processor time and 100 MB, whatever the card holds.
namespace {

const QByteArray kTexts[] = {"cName", "cJob", "cCmp", "cADD", "cPC", "cTEL", "cFAX", "cMob", "cEmail", "cUrl", "cQQ"};

// A card of the pictures' section, eleven captions of captionLength (none
// below 0) and lineEnds line ends, written a megabyte at a time: the test's own
// memory would count in the tool's peak, which it has at its start.
void writeLargeCard(const QString &path, const QByteArray &pictures, qsizetype captionLength, qsizetype lineEnds)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    const auto repeat = [&f](char c, qsizetype count) {
        const QByteArray piece(1 << 20, c);
        for (; count > 0; count -= piece.size()) f.write(piece.constData(), std::min(count, piece.size()));
    };
    f.write(pictures);
    for (const QByteArray &text : kTexts) {
        if (captionLength < 0) break;
        f.write("[" + text + "]\r\ncaption=");
        repeat('x', captionLength);
        f.write("\r\n");
    }
    repeat('\n', lineEnds);
}

} // namespace

// A file manager runs the thumbnailer on every card it shows, downloaded ones
// too: a card file no card can be is refused, and a picture is decoded only at
// the size the thumbnail shows it or refused, so that each thumbnail takes at
// most a second of processor time and 100 MB, whatever the card holds.
void TestHostile::thumbnailsStayWithinASecondAnd100MB_data()
{
    QTest::addColumn<QByteArray>("pictures");
    QTest::addColumn<qsizetype>("captionLength");
    QTest::addColumn<qsizetype>("lineEnds");
    QTest::addColumn<int>("warnings"); // -1: refused with one line
    QTest::addColumn<QColor>("page");  // of the thumbnail's middle, when it shows

    // Drawn in a child, so that the tools started later do not inherit its memory.
    const pid_t painter = fork();
    if (painter == 0) {
        QImage huge(9999, 9999, QImage::Format_RGB888);
        huge.fill(Qt::red);
        bool saved = !huge.isNull();
        for (const char *format : {"png", "jpg"}) {
            for (const char *library : {"background", "logo"}) {
                const QString folder = m_thumbnailFolder.filePath(QLatin1String(library) + QStringLiteral("/大"));
                saved = saved && QDir().mkpath(folder) &&
                        huge.save(folder + QStringLiteral("/huge.") + QLatin1String(format), format, 90);
            }
        }
        _exit(saved ? 0 : 1);
    }
    int painted = -1;
    QCOMPARE(waitpid(painter, &painted, 0), painter);
    QVERIFY(WIFEXITED(painted) && WEXITSTATUS(painted) == 0);

    const QByteArray gb = QStringEncoder("GB18030").encode(QStringLiteral("大"));
    const auto pictures = [&](const char *format) {
        return "[cPage]\r\nisBg=3\r\nbgImg=" + gb + "\\huge." + format + "\r\n[cLogo]\r\nimg=" + gb + "\\huge." +
               format + "\r\n";
    };
    // 7.1 s and 606 MB, 4.2 s and 306 MB, 8.9 s and 798 MB before.
    QTest::newRow("a 64 MB card of line ends") << QByteArray() << qsizetype(-1) << qsizetype(64 << 20) << -1 << QColor();
    QTest::newRow("eleven captions of 5 MB") << QByteArray() << qsizetype(5 << 20) << qsizetype(0) << -1 << QColor();
    QTest::newRow("a 9999 x 9999 PNG as logo and background") << pictures("png") << qsizetype(-1) << qsizetype(0) << 2
                                                              << QColor(Qt::white);
    QTest::newRow("a 9999 x 9999 JPEG as logo and background") << pictures("jpg") << qsizetype(-1) << qsizetype(0) << 0
                                                               << QColor(Qt::red);
    // Captions and line ends up to the limit, and one byte over it.
    qsizetype labels = 0;
    for (const QByteArray &text : kTexts) labels += text.size() + 14; // [text]\r\ncaption=\r\n
    const qsizetype room = (1 << 20) - labels;
    QTest::newRow("a card of exactly 1 MB") << QByteArray() << room / 11 << room % 11 << 0 << QColor();
    QTest::newRow("one byte more") << QByteArray() << room / 11 << room % 11 + 1 << -1 << QColor();
}

void TestHostile::thumbnailsStayWithinASecondAnd100MB()
{
    QFETCH(QByteArray, pictures);
    QFETCH(qsizetype, captionLength);
    QFETCH(qsizetype, lineEnds);
    QFETCH(int, warnings);
    QFETCH(QColor, page);
    QTemporaryDir dir;
    const QString path = dir.filePath("card.pnk");
    writeLargeCard(path, pictures, captionLength, lineEnds);
    const QString out = dir.filePath("t.png");
    const Bounded run = runBounded({"thumbnail", path, out, "--program-folder", m_thumbnailFolder.path()}, dir);
    qInfo("%s: %lld ms of processor time, %ld MB", QTest::currentDataTag(), run.cpuMs, run.peakMemoryKb / 1024);
    QVERIFY2(run.exited, QByteArray::number(run.elapsedMs) + " ms");
    if (kBounded) {
        QVERIFY2(run.cpuMs < 1000, QByteArray::number(run.cpuMs) + " ms");
        QVERIFY2(run.peakMemoryKb < 100 * 1024, QByteArray::number(run.peakMemoryKb) + " kB");
    }
    if (warnings < 0) {
        QCOMPARE(run.status, 1);
        QCOMPARE(QString::fromUtf8(run.err),
                 QStringLiteral("penlark-card: cannot read %1: is over 1 MB, larger than a card can be\n").arg(path));
        QVERIFY(!QFile::exists(out));
        return;
    }
    QVERIFY2(run.status == 0, run.err);
    QCOMPARE(run.err.count("penlark-card: warning: "), warnings);
    QCOMPARE(run.err.count("picture too large to load: "), warnings);
    const QImage thumbnail(out);
    QCOMPARE(thumbnail.size(), QSize(256, 154));
    if (!page.isValid()) return;
    const QColor middle = thumbnail.pixelColor(128, 100);
    QVERIFY2(std::abs(middle.red() - page.red()) + std::abs(middle.green() - page.green()) +
                     std::abs(middle.blue() - page.blue()) < 40,
             qPrintable(middle.name()));
}

// A picture that is a 1 GB file of nothing, or a link round in a loop, is
// reported as what it is, unread.
void TestHostile::picturesSayWhatIsWrong()
{
    QTemporaryDir dir;
    QFile sparse(dir.filePath("background/空/sparse.png"));
    QVERIFY(QDir().mkpath(QFileInfo(sparse).path()) && sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(1) << 30));
    QVERIFY(QDir().mkpath(dir.filePath("logo/链")));
    QVERIFY(QFile::link(QStringLiteral("loop.png"), dir.filePath("logo/链/loop.png")));
    writeFile(dir.filePath("card.pnk"), QStringEncoder("GB18030").encode(
                                            u"[cPage]\r\nisBg=3\r\nbgImg=空\\sparse.png\r\n[cLogo]\r\nimg=链\\loop.png\r\n"));
    const Bounded run = runBounded({"render", dir.filePath("card.pnk"), "-o", dir.filePath("out.png"),
                                    "--program-folder", dir.path()}, dir);
    QCOMPARE(run.status, 0);
    QCOMPARE(QString::fromUtf8(run.err), "penlark-card: warning: background picture too large to load: 空\\sparse.png\n"
                                         "penlark-card: warning: logo picture is a link that leads nowhere: 链\\loop.png\n");
    QVERIFY2(run.elapsedMs < 5000, QByteArray::number(run.elapsedMs));
}

QTEST_GUILESS_MAIN(TestHostile)
#include "test_hostile.moc"
