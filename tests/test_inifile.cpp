#include "model/IniFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The bytes a value is written as.
QByteArray encodedValue(const QString &value)
{
    IniFile ini;
    ini.setValue("x", "k", value);
    return ini.toBytes().mid(7).chopped(2); // without "[x]\r\nk=" and the line end
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void matchesNamesWithoutCaseAndBlanks();
    void missingSectionsAndKeys();
    void keepsValuesWhole();
    void updatesInPlaceKeepingOtherLines();
    void appendsKeysToTheirSectionAndNewSections();
    void newFileIsGbkWithCrlf();
    void acceptsLfAndKeepsIt();
    void acceptsUtf8WithByteOrderMark();
    void neverWritesRawLineBreaks();
    void firstOfDuplicatesWins();
    void replacesFilesAtomically();
    void failedWritesLeaveTheFileAlone();
    void unreadableFilesAreNotReplaced();
    void updatesReadBackAsWritten_data();
    void updatesReadBackAsWritten();
    void savesRemoveTheirStaleTemporaryFiles();
};

void TestIniFile::matchesNamesWithoutCaseAndBlanks()
{
    const IniFile ini = IniFile::fromBytes("  [ cName ]  \r\n  Font = \xCB\xCE\xCC\xE5  \r\nLEFT=4440\r\n");
    QCOMPARE(ini.value(u"CNAME", u"font"), std::optional<QString>(QStringLiteral("宋体")));
    QCOMPARE(ini.value(u"cname", u"Left"), std::optional<QString>(QStringLiteral("4440")));
    QCOMPARE(ini.value(u" cName ", u" left "), std::optional<QString>(QStringLiteral("4440")));
}

void TestIniFile::missingSectionsAndKeys()
{
    const IniFile ini = IniFile::fromBytes("[a]\r\nk=1\r\n; k2=commented\r\n[b]\r\nk2=2\r\n");
    QVERIFY(!ini.value(u"c", u"k"));
    QVERIFY(!ini.value(u"a", u"k2")); // a comment and the next section do not count
    QCOMPARE(*ini.value(u"b", u"k2"), QStringLiteral("2"));
    QTemporaryDir dir;
    QCOMPARE(IniStore::read(dir.filePath("none.pnk"), "a", "k"), QString());
}

void TestIniFile::keepsValuesWhole()
{
    // Quotes, equals signs, inner blanks and long two-byte texts come back as written.
    const QString hundred = QString(100, QChar(0x4E2D));
    IniFile ini;
    ini.setValue("t", "quoted", "\"ABC\"");
    ini.setValue("t", "eq", "a=b");
    ini.setValue("t", "long", hundred);
    ini.setValue("t", "inner", "  a  b  ");
    const IniFile back = IniFile::fromBytes(ini.toBytes());
    QCOMPARE(*back.value(u"t", u"quoted"), QStringLiteral("\"ABC\""));
    QCOMPARE(*back.value(u"t", u"eq"), QStringLiteral("a=b"));
    QCOMPARE(*back.value(u"t", u"long"), hundred);
    QCOMPARE(back.value(u"t", u"long")->toUtf8().size(), 300); // 200 bytes in GBK, not cut
    QCOMPARE(*back.value(u"t", u"inner"), QStringLiteral("a  b"));
}

void TestIniFile::updatesInPlaceKeepingOtherLines()
{
    const QByteArray before = "; written by hand\r\n"
                              "[cPage]\r\n"
                              "width = 5443\r\n"
                              "foreign=keep me \t\r\n"
                              "\r\n"
                              "[cLogo]\r\n"
                              "IMG=a\\b.bmp\r\n";
    IniFile ini = IniFile::fromBytes(before);
    ini.setValue("CPAGE", "Width", "3402");
    ini.setValue("clogo", "img", "");
    QCOMPARE(ini.toBytes(), QByteArray("; written by hand\r\n"
                                       "[cPage]\r\n"
                                       "width=3402\r\n"
                                       "foreign=keep me \t\r\n"
                                       "\r\n"
                                       "[cLogo]\r\n"
                                       "IMG=\r\n"));
    // A replaced last line keeps the file's missing final line end.
    IniFile cut = IniFile::fromBytes("[a]\r\nk=1");
    cut.setValue("a", "k", "2");
    QCOMPARE(cut.toBytes(), QByteArray("[a]\r\nk=2"));
}

void TestIniFile::appendsKeysToTheirSectionAndNewSections()
{
    IniFile ini = IniFile::fromBytes("[a]\r\nk=1\r\n\r\n[b]\r\nk=2"); // no line end at the end
    ini.setValue("a", "new", "x");
    ini.setValue("b", "new", "y");
    ini.setValue("c", "k", "z");
    QCOMPARE(ini.toBytes(), QByteArray("[a]\r\nk=1\r\nnew=x\r\n\r\n[b]\r\nk=2\r\nnew=y\r\n[c]\r\nk=z\r\n"));
}

void TestIniFile::newFileIsGbkWithCrlf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("n.pnk");
    QVERIFY(IniStore::write(path, "cName", "Font", QStringLiteral("宋体")));
    QVERIFY(IniStore::write(path, "cName", "caption", QStringLiteral("李明")));
    QCOMPARE(readBytes(path), QByteArray("[cName]\r\nFont=\xCB\xCE\xCC\xE5\r\ncaption=\xC0\xEE\xC3\xF7\r\n"));
    QCOMPARE(IniStore::read(path, "CNAME", "FONT"), QStringLiteral("宋体"));
    // A character outside GBK survives as its GB18030 sequence.
    QVERIFY(IniStore::write(path, "cName", "caption", QStringLiteral("😀")));
    QCOMPARE(IniStore::read(path, "cName", "caption"), QStringLiteral("😀"));
    QCOMPARE(encodedValue(QStringLiteral("地址：")), QByteArray("\xB5\xD8\xD6\xB7\xA3\xBA"));
}

void TestIniFile::acceptsLfAndKeepsIt()
{
    IniFile ini = IniFile::fromBytes("[a]\nk=\xC0\xEE\n");
    QCOMPARE(*ini.value(u"a", u"k"), QStringLiteral("李"));
    ini.setValue("a", "j", "2");
    ini.setValue("b", "k", "3");
    QCOMPARE(ini.toBytes(), QByteArray("[a]\nk=\xC0\xEE\nj=2\n[b]\nk=3\n"));
}

void TestIniFile::acceptsUtf8WithByteOrderMark()
{
    IniFile ini = IniFile::fromBytes("\xEF\xBB\xBF[cName]\r\ncaption=李明\r\n");
    QCOMPARE(*ini.value(u"cName", u"caption"), QStringLiteral("李明"));
    ini.setValue("cName", "Font", QStringLiteral("黑体"));
    QCOMPARE(ini.toBytes(), QByteArray("\xEF\xBB\xBF[cName]\r\ncaption=李明\r\nFont=黑体\r\n"));
}

void TestIniFile::neverWritesRawLineBreaks()
{
    IniFile ini;
    ini.setValue("t", "caption", "line1\r\nline2\nline3\rend");
    QCOMPARE(ini.toBytes(), QByteArray("[t]\r\ncaption=line1  line2 line3 end\r\n"));
}

void TestIniFile::firstOfDuplicatesWins()
{
    IniFile ini = IniFile::fromBytes("[a]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n");
    QCOMPARE(*ini.value(u"a", u"k"), QStringLiteral("1"));
    ini.setValue("a", "k", "9");
    QCOMPARE(ini.toBytes(), QByteArray("[a]\r\nk=9\r\nk=2\r\n[A]\r\nk=3\r\n"));
}

void TestIniFile::replacesFilesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("card.pnk");
    writeBytes(path, "[a]\r\nk=1\r\n");
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    QVERIFY(IniStore::write(path, "a", "k", "2"));
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    // A new file took the old one's place: the old contents were never truncated.
    QVERIFY(before.st_ino != after.st_ino);
    QCOMPARE(readBytes(path), QByteArray("[a]\r\nk=2\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"card.pnk"});
}

void TestIniFile::failedWritesLeaveTheFileAlone()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!IniStore::write(dir.filePath("gone/card.pnk"), "a", "k", "1"));
    QVERIFY(!QFileInfo::exists(dir.filePath("gone")));
    QVERIFY(!IniStore::update(dir.path(), [](IniFile &) {}, &error)); // a folder is no file
    QVERIFY(!error.isEmpty());
}

void TestIniFile::unreadableFilesAreNotReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("card.pnk");
    QLocalServer socket; // nobody, root included, reads a socket as a file
    QVERIFY(socket.listen(path));
    QString error;
    QVERIFY(!IniStore::update(path, [](IniFile &ini) { ini.setValue("a", "k", "2"); }, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(!QFileInfo(path).isFile());
}

void TestIniFile::updatesReadBackAsWritten_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("header cut by a lone CR, new section") << QByteArray("D\vD\0D\n[c\r", 9) << "c" << "k";
    QTest::newRow("header cut by a lone CR, its own section") << QByteArray("D\n[c\r") << "c\r" << "k";
    QTest::newRow("key cut by a lone CR") << QByteArray("[c]\nk=1\r") << "c" << "j";
    QTest::newRow("CRLF file cut by a lone CR") << QByteArray("[a]\r\n[c\r") << "c" << "k";
    QTest::newRow("no line end at all") << QByteArray("[c]") << "c" << "k";
    QTest::newRow("empty file") << QByteArray() << "c" << "k";
}

// Whatever the file held, the value just written is the value read back.
void TestIniFile::updatesReadBackAsWritten()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QTemporaryDir dir;
    const QString path = dir.filePath("card.pnk");
    writeBytes(path, before);
    QVERIFY(IniStore::write(path, section, key, "written"));
    QCOMPARE(IniStore::load(path).value(section, key), std::optional<QString>(QStringLiteral("written")));
    QVERIFY(readBytes(path).startsWith(before)); // the lines before keep their bytes
}

// Temporary files a killed save of the same file left behind go; the user's
// files that merely look alike, and other files' leftovers, stay.
void TestIniFile::savesRemoveTheirStaleTemporaryFiles()
{
    QTemporaryDir dir;
    const auto stem = [](const char *name) {
        return ".penlark-tmp-" + QCryptographicHash::hash(name, QCryptographicHash::Sha1).left(4).toHex() + '-';
    };
    const QString mine = stem("card.pnk");
    const QStringList leftovers{mine + "a1B2c3", mine + "ZZZZZZ"};
    const QStringList kept{"card.pnk.old123", "card.pnk.backup", "card.pnk.a1B2c3", mine + "a1B2c3d", mine + "a1-2c3",
                           stem("other.pnk") + "a1B2c3"};
    for (const QString &name : leftovers + kept) writeBytes(dir.filePath(name), "[a]\r\nk=");
    QVERIFY(IniStore::write(dir.filePath("card.pnk"), "a", "k", "1"));
    QStringList expected = kept + QStringList{"card.pnk"};
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "test_inifile.moc"
