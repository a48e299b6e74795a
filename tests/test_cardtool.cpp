
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kTool = QStringLiteral(PENLARK_CARD_EXE);

struct Run {
    int status;
    QByteArray out, err;
};

Run runTool(const QStringList &args)
{
    QProcess p;
    p.start(kTool, args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

class TestCardTool : public QObject
{
    Q_OBJECT
private slots:
    void newThenDumpShowsTheDefaultCard();
    void dumpsAHandWrittenGbkFile();
    void reportsFilesThatCannotBeReadOrWritten();
    void documentsItsCommands();
};

void TestCardTool::newThenDumpShowsTheDefaultCard()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("x.pnk");
    QCOMPARE(runTool({"new", file}).status, 0);
    const Run dump = runTool({"dump", file});
    QCOMPARE(dump.status, 0);
    QVERIFY(dump.err.isEmpty());

    QJsonParseError error;
    const QJsonObject card = QJsonDocument::fromJson(dump.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(card.keys().size(), 14);
    // Members come in file order, not sorted.
    QVERIFY(dump.out.indexOf("\"cPage\"") < dump.out.indexOf("\"cLogo\""));
    QVERIFY(dump.out.indexOf("\"cQQ\"") > dump.out.indexOf("\"cUrl\""));
    QVERIFY(dump.out.indexOf("\"caption\"") < dump.out.indexOf("\"Font\""));
    const QJsonObject page = card["cPage"].toObject();
    QCOMPARE(page["width"].toDouble(), 5443.0);
    QCOMPARE(page["isBg"].toInt(), 0);
    QCOMPARE(page["jbJiaoDu"].toString(), QStringLiteral("0"));
    QCOMPARE(card["cLine"].toObject()["height"].toDouble(), 56.7);
    const QJsonObject name = card["cName"].toObject();
    QCOMPARE(name.keys().size(), 9);
    QCOMPARE(name["caption"].toString(), QStringLiteral("李明"));
    QCOMPARE(name["FontBold"].toBool(), true);
    QCOMPARE(card["cADD"].toObject()["caption"].toString().left(3), QStringLiteral("地址："));
}

void TestCardTool::dumpsAHandWrittenGbkFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("hand.pnk");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QStringEncoder gbk("GBK");
        f.write(gbk.encode(QStringLiteral("[CPAGE]\r\nWIDTH = 6804\r\nbgcolor=-2147483643\r\n"
                                          "[cname]\r\nCAPTION=\"王磊\"\\x\r\nFONTITALIC=true\r\n"
                                          "LEFT=12.5\r\n")));
    }
    const Run dump = runTool({"dump", file});
    QCOMPARE(dump.status, 0);
    const QJsonObject card = QJsonDocument::fromJson(dump.out).object();
    QCOMPARE(card["cPage"].toObject()["width"].toDouble(), 6804.0);
    QCOMPARE(card["cPage"].toObject()["bgColor"].toDouble(), -2147483643.0);
    const QJsonObject name = card["cName"].toObject();
    QCOMPARE(name["caption"].toString(), QStringLiteral("\"王磊\"\\x"));
    QCOMPARE(name["FontItalic"].toBool(), true);
    QCOMPARE(name["Left"].toDouble(), 12.5);
    QCOMPARE(name["Top"].toDouble(), 300.0); // missing: the default card's
}

void TestCardTool::reportsFilesThatCannotBeReadOrWritten()
{
    QTemporaryDir dir;
    for (const QStringList &args : {QStringList{"dump", dir.filePath("none.pnk")},
                                    QStringList{"dump", dir.path()},
                                    QStringList{"new", dir.filePath("no/such/folder.pnk")},
                                    QStringList{"new", dir.path()}}) {
        const Run r = runTool(args);
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.startsWith("penlark-card: cannot "));
        QVERIFY(r.err.contains(args[1].toUtf8()));
    }
}

void TestCardTool::documentsItsCommands()
{
    const Run help = runTool({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains("dump FILE.pnk"));
    QVERIFY(help.out.contains("new FILE.pnk"));
    QCOMPARE(runTool({"frobnicate"}).status, 2);
}

QTEST_GUILESS_MAIN(TestCardTool)
#include "test_cardtool.moc"
