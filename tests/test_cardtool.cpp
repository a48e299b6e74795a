
#include "model/IniFile.h"
#include "render/PrintSheet.h"
#include "support/PdfProbe.h"
#include "support/QrReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QStringEncoder>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

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

// The smallest rectangle holding every dark pixel.
QRect inkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestCardTool : public QObject
{
    Q_OBJECT
private slots:
    void newThenDumpShowsTheDefaultCard();
    void dumpsTheBackAfterTheFront();
    void dumpsAHandWrittenGbkFile();
    void reportsFilesThatCannotBeReadOrWritten();
    void rendersCardsAtTheirSizes();
    void rendersEitherSide();
    void warnsAboutMissingLibraryPictures();
    void drawsAGradientAlone();
    void wrapsLongTextsAsTheDesignerDoes();
    void laysOutASheetOfCopies();
    void laysTheBacksBehindTheFronts();
    void documentsItsCommands();
    void treatsHugePagesAsMalformed();
    void writesTheQrCodeAPhoneReads();
    void saysWhenTheCardsCodeCannotBeDrawn();
    void drawsThumbnailsAsLargeAsAsked();
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
    QCOMPARE(card.keys().size(), 15); // the sections and the vCard
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

    // Control characters in a caption still give valid JSON, and come back as written.
    IniFile ini = IniStore::load(file);
    const QString odd = QStringLiteral("李\x01明\t\x1f\"\\");
    ini.setValue("cName", "caption", odd);
    QVERIFY(IniStore::save(file, ini));
    const QJsonObject odder = QJsonDocument::fromJson(runTool({"dump", file}).out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(odder["cName"].toObject()["caption"].toString(), odd);
}

void TestCardTool::dumpsTheBackAfterTheFront()
{
    // A one-sided build read this two-sided card (a gradient back with a QR
    // code) as its front alone: the same as this build's dump less the back.
    QFile fixture(QStringLiteral(PENLARK_TEST_DATA "/two-sided-read-by-a-one-sided-build.json"));
    QVERIFY(fixture.open(QIODevice::ReadOnly));
    const Run dump = runTool({"dump", QStringLiteral(PENLARK_TEST_DATA "/two-sided.pnk")});
    QCOMPARE(dump.status, 0);
    const qsizetype back = dump.out.indexOf("  \"bPage\": {"), vCard = dump.out.indexOf("  \"vCard\"");
    QVERIFY(back > 0 && vCard > back);
    QCOMPARE(dump.out.left(back) + dump.out.mid(vCard), fixture.readAll());
    const QJsonObject card = QJsonDocument::fromJson(dump.out).object();
    QCOMPARE(card.keys().size(), 15 + 14 + 1);
    QCOMPARE(card["bPage"].toObject().keys(), (QStringList{"bgColor", "bgImg", "isBg", "jbColor1", "jbColor2", "jbJiaoDu"}));
    QCOMPARE(card["bName"].toObject()["caption"].toString(), QStringLiteral("Li Ming"));
    QCOMPARE(card["bQR"].toObject()["left"].toDouble(), 3900.0);

    // new --back writes that back without the code, so a dump of it is the same less bQR and the gradient.
    QTemporaryDir dir;
    const QString file = dir.filePath("x.pnk");
    QCOMPARE(runTool({"new", file, "--back"}).status, 0);
    const QJsonObject made = QJsonDocument::fromJson(runTool({"dump", file}).out).object();
    QCOMPARE(made.keys().size(), 15 + 14);
    QCOMPARE(made["bCmp"], card["bCmp"]);
    QCOMPARE(made["bADD"].toObject()["visible"].toBool(), false);
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
    // A table, or a picture named as a card, is no card: no default card is drawn for it.
    QFile table(dir.filePath("people.csv"));
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write("name,title\nWang,manager\n");
    table.close();
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath("picture.pnk"), "PNG"));
    for (const QString &file : {dir.filePath("people.csv"), dir.filePath("picture.pnk")}) {
        const Run r = runTool({"thumbnail", file, dir.filePath("t.png"), "--size", "64"});
        QCOMPARE(r.status, 1);
        QCOMPARE(QString::fromUtf8(r.err), QStringLiteral("penlark-card: ") + file +
                                               QStringLiteral(" is not a card file (it holds none of a card's keys)\n"));
        QVERIFY(!QFileInfo::exists(dir.filePath("t.png")));
    }
}

void TestCardTool::rendersCardsAtTheirSizes()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("card.pnk");
    QCOMPARE(runTool({"new", card}).status, 0);
    struct Case { QStringList extra; QString out; QSize size; };
    const Case cases[] = {
        {{}, "card.bmp", {363, 227}},
        {{"--trim"}, "trim.bmp", {340, 204}},
        {{"--dpi", "600"}, "card.png", {2268, 1418}},
        {{"--no-crop-marks", "--dpi", "300"}, "nomarks.png", {1134, 709}},
    };
    for (const Case &c : cases) {
        const Run r = runTool(QStringList{"render", card, "-o", dir.filePath(c.out)} + c.extra);
        QCOMPARE(r.status, 0);
        QCOMPARE(QImage(dir.filePath(c.out)).size(), c.size);
    }
    // At 96 dpi pixel (11, 11) lies on the corner's crop marks, which only the default draws.
    QVERIFY(runTool({"render", card, "-o", dir.filePath("bare.png"), "--no-crop-marks"}).status == 0);
    QCOMPARE(QImage(dir.filePath("bare.png")).pixelColor(11, 11), QColor(Qt::white));
    const QColor mark = QImage(dir.filePath("card.bmp")).pixelColor(11, 11);
    QVERIFY2(mark != QColor(Qt::white) && mark.red() == mark.blue(), qPrintable(mark.name()));
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("x.png"), "--dpi", "2401"}).status, 2);
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("card.pdf")}).status, 0);
    QFile pdf(dir.filePath("card.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(4) == "%PDF");
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("x.png"), "--dpi", "0"}).status, 2);
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("x.png"), "--marks"}).status, 2);
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("x.pdf"), "--marks", "--trim"}).status, 2);
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("x.abc")}).status, 1);
}

// A two-sided card with a red back: either side as a picture, the back after
// the front of each merged card, and no back of a one-sided card.
void TestCardTool::rendersEitherSide()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("two.pnk"), one = dir.filePath("one.pnk"), png = dir.filePath("side.png");
    QCOMPARE(runTool({"new", card, "--back"}).status + runTool({"new", one}).status, 0);
    IniFile ini = IniStore::load(card);
    ini.setValue("bPage", "bgColor", "255");
    QVERIFY(IniStore::save(card, ini));
    for (const QStringList &side : {QStringList(), QStringList{"--side", "front"}, QStringList{"--side", "back"}}) {
        QCOMPARE(runTool(QStringList{"render", card, "-o", png} + side).status, 0);
        QCOMPARE(QImage(png).pixelColor(30, 30), QColor(side.contains("back") ? Qt::red : Qt::white));
    }
    QFile csv(dir.filePath("people.csv"));
    QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("姓名\n张三\n李四\n") > 0 && csv.flush());
    QCOMPARE(runTool({"merge", card, csv.fileName(), "-o", dir.filePath("team.pdf")}).status, 0);
    const QString back = QRegularExpression::escape("\fLi Ming\nJob Title\nBeijing Qinghe Culture Co., Ltd.\n\f");
    QVERIFY(PdfProbe::drawnText(dir.filePath("team.pdf")).contains(QRegularExpression("^张三\n[^\f]+" + back + "李四\n[^\f]+" + back + "$")));
    const Run refused = runTool({"render", one, "-o", dir.filePath("none.png"), "--side", "back"});
    QCOMPARE(refused.err, "penlark-card: " + one.toUtf8() + " has no back; --side back needs a two-sided card\n");
    QVERIFY(refused.status == 1 && !QFileInfo::exists(dir.filePath("none.png")));
}

void TestCardTool::warnsAboutMissingLibraryPictures()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("card.pnk");
    QCOMPARE(runTool({"new", card}).status, 0);
    {
        IniFile ini = IniStore::load(card);
        ini.setValue("cPage", "isBg", "3");
        ini.setValue("cPage", "bgColor", "255");
        ini.setValue("cPage", "bgImg", QStringLiteral("风景\\海.jpg"));
        ini.setValue("cLogo", "img", QStringLiteral("公司\\标志.bmp"));
        QVERIFY(IniStore::save(card, ini));
    }
    const Run r = runTool({"render", card, "-o", dir.filePath("out.png"), "--program-folder", dir.path()});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err.count("penlark-card: warning: "), 2);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("海.jpg")));
    // The page is white, not the stored colour, as the designer opens such a card.
    QCOMPARE(QImage(dir.filePath("out.png")).pixelColor(200, 60), QColor(Qt::white));
}

void TestCardTool::drawsAGradientAlone()
{
    QTemporaryDir dir;
    const QString out = dir.filePath("g.bmp");
    const Run r = runTool({"gradient", "--size", "300x200", "--angle", "270", "--color1", "255", "--color2",
                           "16711680", "-o", out});
    QCOMPARE(r.status, 0);
    const QImage image(out);
    QCOMPARE(image.size(), QSize(300, 200));
    QCOMPARE(image.pixelColor(150, 0), QColor(255, 0, 0)); // colour 1 is the top row at 270 degrees
    QVERIFY(image.pixelColor(150, 199).blue() > 240);
    QCOMPARE(runTool({"gradient", "--size", "300", "--color1", "0", "--color2", "0", "-o", out}).status, 2);
    QCOMPARE(runTool({"gradient", "--size", "3x3", "--color1", "x", "--color2", "0", "-o", out}).status, 2);
    // One pixel over the renderer's cap is refused before any memory is taken.
    const Run large = runTool({"gradient", "--size", "8192x8193", "--color1", "0", "--color2", "0", "-o", out});
    QCOMPARE(large.status, 1);
    QCOMPARE(large.err, "penlark-card: cannot write " + out.toUtf8() +
                            ": a surface of 8192 x 8193 pixels is over the limit of 67108864 pixels\n");
    QVERIFY(QImage(out).size() == QSize(300, 200));
}

void TestCardTool::wrapsLongTextsAsTheDesignerDoes()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("card.pnk");
    QCOMPARE(runTool({"new", card}).status, 0);
    {
        // The address, fitted into a block at the margin before it was saved,
        // with the texts beside and below it hidden.
        IniFile ini = IniStore::load(card);
        ini.setValue("cADD", "caption", QString(40, u'路'));
        ini.setValue("cADD", "Left", "170");
        for (const char *section : {"cPC", "cTEL", "cFAX"}) ini.setValue(section, "visible", "False");
        QVERIFY(IniStore::save(card, ini));
    }
    const QString out = dir.filePath("card.png");
    QCOMPARE(runTool({"render", card, "-o", out, "--no-crop-marks"}).status, 0);
    const QImage image(out);
    // 40 characters of 180 twips at 170: the first line stops at the right trim
    // line (5273 twips, pixel 351), the rest goes on the second line.
    const auto inkRight = [&image](int top, int bottom) {
        int right = -1;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) right = std::max(right, x);
        return right;
    };
    const int firstLine = inkRight(2220 / 15 + 3, (2220 + 150) / 15);
    QVERIFY2(firstLine > 300 && firstLine <= 351, qPrintable(QString::number(firstLine)));
    QVERIFY(inkRight((2220 + 180) / 15 + 3, (2220 + 330) / 15) > 0);
}

void TestCardTool::laysOutASheetOfCopies()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("x.pnk");
    const QString out = dir.filePath("sheet.pdf");
    QCOMPARE(runTool({"new", card}).status, 0);
    const Run ten = runTool({"sheet", card, "-o", out, "--across", "2", "--down", "5", "--trim"});
    QCOMPARE(ten.status, 0);
    QVERIFY2(ten.err.isEmpty(), ten.err.constData());
    // With the bleed, five rows of a 60 mm page are taller than A4.
    const Run tall = runTool({"sheet", card, "-o", dir.filePath("tall.pdf"), "--across", "2", "--down", "5"});
    QCOMPARE(tall.status, 0);
    QCOMPARE(tall.err, QByteArray("penlark-card: warning: the block is 193 x 303 mm and runs off the A4 page\n"));
    QCOMPARE(runTool({"sheet", card, "-o", out, "--across", "0"}).status, 2);
    QCOMPARE(runTool({"sheet", card, "-o", dir.filePath("sheet.png")}).status, 2);
    if (!PdfProbe::available()) QSKIP("pdfinfo and pdftotext (poppler-utils) are needed to read the sheet");
    QCOMPARE(PdfProbe::info(out, "Pages"), QStringLiteral("1"));
    QVERIFY(PdfProbe::info(out, "Page size").contains("(A4)"));
    QCOMPARE(PdfProbe::text(out).count(QStringLiteral("李明")), 10);
    // An option left out takes its default: --down alone makes one column.
    const QString column = dir.filePath("column.pdf");
    QCOMPARE(runTool({"sheet", card, "-o", column, "--down", "3", "--trim"}).status, 0);
    QCOMPARE(PdfProbe::text(column).count(QStringLiteral("李明")), 3);

    // Cut marks above the block of 2 x 2 stand on the four trim lines of the two columns.
    const QString marked = dir.filePath("marked.pdf");
    QCOMPARE(runTool({"sheet", card, "-o", marked, "--across", "2", "--down", "2", "--marks"}).status, 0);
    QCOMPARE(PdfProbe::drawnText(marked).count(QStringLiteral("无业游民")), 4);
    constexpr double dpi = 300, twipsPerPixel = 1440 / dpi;
    const QImage strip = PdfProbe::renderArea(marked, dpi, {0, 0, 2400, int(340 / twipsPerPixel) - 1}, true)
                             .convertToFormat(QImage::Format_Grayscale8);
    QList<double> columns; // the middle of each run of inked columns, in twips
    for (int x = 0, start = -1; x < strip.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < strip.height(); ++y) ink = ink || strip.constScanLine(y)[x] < 245;
        if (ink && start < 0) start = x;
        if (!ink && start >= 0) {
            columns << (start + x) / 2.0 * twipsPerPixel;
            start = -1;
        }
    }
    const int outer = PrintSheet::cardOuterSize({5443, 3402}).width();
    const int expected[] = {340 + 170, 340 + 5443 - 170, 340 + outer + 170, 340 + outer + 5443 - 170};
    QCOMPARE(columns.size(), 4);
    for (int i = 0; i < 4; ++i) QVERIFY2(std::abs(columns[i] - expected[i]) <= 10, qPrintable(QString::number(columns[i])));
}

// Where ink starts and ends along the row at y twips of a page at 300 dpi, in twips.
QList<int> inkEdges(const QString &pdf, int page, int y)
{
    constexpr double twipsPerPixel = 1440 / 300.0;
    const QImage row = PdfProbe::renderArea(pdf, 300, {0, int(y / twipsPerPixel), 2480, 1}, true, page);
    QList<int> edges;
    for (int x = 0; x <= row.width(); ++x)
        if ((x < row.width() && qGray(row.pixel(x, 0)) < 245) != (edges.size() % 2 == 1)) edges << int(x * twipsPerPixel);
    return edges;
}

void TestCardTool::laysTheBacksBehindTheFronts()
{
    if (!PdfProbe::available()) QSKIP("poppler-utils are needed to read the sheet");
    QTemporaryDir dir;
    const QString card = dir.filePath("two.pnk"), out = dir.filePath("sheet.pdf");
    QCOMPARE(runTool({"new", card, "--back"}).status, 0);
    IniFile ini = IniStore::load(card);
    ini.setValue("cPage", "bgColor", "16711680"); // a blue front
    ini.setValue("bPage", "bgColor", "255");      // a red back
    QVERIFY(IniStore::save(card, ini));
    QCOMPARE(runTool({"sheet", card, "-o", out, "--across", "2", "--down", "5", "--trim", "--marks"}).status, 0);
    QCOMPARE(PdfProbe::info(out, "Pages"), QStringLiteral("2"));
    QCOMPARE(PdfProbe::renderArea(out, 72, {300, 150, 1, 1}, false, 2).pixelColor(0, 0), QColor(255, 0, 0));
    // Turned over on its long edge, the back of the sheet shows x at 11907 - x: the
    // cut marks above the block, and the copies of the first and the last row.
    for (const int y : {200, 340 + 1500, 340 + 4 * 3090 + 1500}) {
        const QList<int> front = inkEdges(out, 1, y), back = inkEdges(out, 2, y);
        QVERIFY2(front.size() == back.size() && front.size() >= 4, qPrintable(QString::number(y)));
        for (qsizetype i = 0; i < front.size(); ++i)
            QVERIFY2(std::abs(11907 - front[i] - back[back.size() - 1 - i]) <= 10,
                     qPrintable(QStringLiteral("%1: %2").arg(y).arg(front[i])));
    }
}

void TestCardTool::documentsItsCommands()
{
    const Run help = runTool({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains("dump FILE.pnk"));
    QVERIFY(help.out.contains("new FILE.pnk"));
    QVERIFY(help.out.contains("render FILE.pnk -o OUT"));
    QVERIFY(help.out.contains("gradient --size WxH"));
    QVERIFY(help.out.contains("sheet FILE.pnk -o OUT.pdf"));
    QCOMPARE(runTool({"frobnicate"}).status, 2);
}

// A 60-byte card with a page of 100000 x 100000 twips opens with the default
// page, and no resolution makes a bitmap beyond its limit.
void TestCardTool::treatsHugePagesAsMalformed()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("huge.pnk");
    {
        QFile f(card);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[cPage]\r\nwidth=100000\r\nheight=100000\r\n");
    }
    const Run r = runTool({"render", card, "-o", dir.filePath("out.png")});
    QCOMPARE(r.status, 0);
    QVERIFY(r.err.contains("warning: value out of range, default used: cPage\\width"));
    QVERIFY(r.err.contains("warning: value out of range, default used: cPage\\height"));
    QCOMPARE(QImage(dir.filePath("out.png")).size(), QSize(363, 227));
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("out.pdf")}).status, 0);

    const QString largest = dir.filePath("largest.pnk");
    {
        QFile f(largest);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[cPage]\r\nwidth=56700\r\nheight=56700\r\n");
    }
    const Run tooFine = runTool({"render", largest, "-o", dir.filePath("big.png"), "--dpi", "2400"});
    QCOMPARE(tooFine.status, 1);
    QVERIFY(tooFine.err.contains("too large"));
    QVERIFY(!QFile::exists(dir.filePath("big.png")));
}

void TestCardTool::writesTheQrCodeAPhoneReads()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("card.pnk");
    QCOMPARE(runTool({"new", card}).status, 0);
    const QString vCard = QJsonDocument::fromJson(runTool({"dump", card}).out).object()["vCard"].toString();
    QVERIFY(vCard.startsWith(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李明\r\nN:李;明;;;\r\nTITLE:无业游民\r\n")));

    // The default card's 81 modules need 21 mm rather than 18: 248 pixels at
    // 300 dpi and 165 at 200 hold 3 and 2 whole pixels a module; at 150 dpi
    // (1.53 pixels a module) the code would not scan.
    const QString png = dir.filePath("code.png");
    for (const auto &[dpi, side] : {std::pair{"300", 243}, std::pair{"200", 162}, std::pair{"196", 162}}) {
        QCOMPARE(runTool({"qr", card, "-o", png, "--dpi", dpi}).status, 0);
        const QImage code(png);
        QCOMPARE(code.size(), QSize(side, side));
        QCOMPARE(readQrCode(png), vCard);
        // Every module is one colour: each pixel matches its module's first.
        const int module = side / 81;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                QVERIFY2(code.pixel(x, y) == code.pixel(x - x % module, y - y % module), dpi);
    }
    const Run coarse = runTool({"qr", card, "-o", dir.filePath("coarse.png"), "--dpi", "195"});
    QCOMPARE(coarse.status, 1);
    QCOMPARE(coarse.err, QByteArray("penlark-card: a 21 mm code of 81 modules at 195 dpi has modules of less than 2 "
                                    "pixels; use --dpi 196 or more\n"));
    QVERIFY(!QFile::exists(dir.filePath("coarse.png")));
    const Run small = runTool({"qr", card, "-o", dir.filePath("small.png"), "--size", "20"});
    QCOMPARE(small.status, 1);
    QCOMPARE(small.err, QByteArray("penlark-card: a 20 mm code of 81 modules has modules of 0.247 mm, less than "
                                   "0.25 mm; use --size 21 or more\n"));
    QVERIFY(!QFile::exists(dir.filePath("small.png")));

    const QString svg = dir.filePath("code.svg");
    QCOMPARE(runTool({"qr", card, "-o", svg, "--size", "40"}).status, 0);
    QFile svgFile(svg);
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    QVERIFY(svgFile.readAll().contains(R"(width="40mm" height="40mm" viewBox="0 0 81 81")"));
    // Drawn as a viewer draws it: 40 mm at 300 dpi on white paper.
    QSvgRenderer svgCode(svg);
    QVERIFY(svgCode.isValid());
    QImage svgPicture(472, 472, QImage::Format_RGB32);
    svgPicture.fill(Qt::white);
    QPainter svgPainter(&svgPicture);
    svgCode.render(&svgPainter);
    svgPainter.end();
    QCOMPARE(readQrCode(svgPicture), vCard);

    // The code on the card: vector squares in the PDF that read at 300 dpi.
    {
        IniFile ini = IniStore::load(card);
        ini.setValue("cQR", "left", "300");
        ini.setValue("cQR", "size", "1701");
        QVERIFY(IniStore::save(card, ini));
    }
    QCOMPARE(QJsonDocument::fromJson(runTool({"dump", card}).out).object()["cQR"].toObject()["top"].toDouble(),
             3402 - 1701 - 170.0);
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("card.pdf")}).status, 0);
    if (!PdfProbe::available()) QSKIP("pdftoppm (poppler-utils) is needed to read the PDF");
    QCOMPARE(readQrCode(PdfProbe::renderArea(dir.filePath("card.pdf"), 300, {0, 0, 1134, 709}, false)), vCard);
}

// A card whose texts are more than its code holds is written with the code's
// place white, one line saying so and a status that is no success.
void TestCardTool::saysWhenTheCardsCodeCannotBeDrawn()
{
    QTemporaryDir dir;
    const QString card = dir.filePath("long.pnk");
    QCOMPARE(runTool({"new", card}).status, 0);
    IniFile ini = IniStore::load(card);
    ini.setValue("cADD", "caption", QString(1000, u'路'));
    ini.setValue("cQR", "visible", "true");
    QVERIFY(IniStore::save(card, ini));
    for (const QStringList &command : {QStringList{"render", card, "-o", dir.filePath("long.png")},
                                       QStringList{"render", card, "-o", dir.filePath("long.pdf"), "--marks"},
                                       QStringList{"sheet", card, "-o", dir.filePath("sheet.pdf")}}) {
        const Run r = runTool(command);
        QCOMPARE(r.status, 3);
        QCOMPARE(r.err, "penlark-card: the card's texts are more than a QR code holds; " + command[3].toUtf8() +
                            " was written without its code\n");
        QVERIFY(QFileInfo(command[3]).size() > 0);
    }
    QCOMPARE(runTool({"qr", card, "-o", dir.filePath("code.png")}).status, 1);

    // A hidden code is no fault; one shown on the back only spoils a PDF that has the back.
    ini.setValue("cQR", "visible", "false");
    ini.setValue("bQR", "visible", "true");
    QVERIFY(IniStore::save(card, ini));
    const Run hidden = runTool({"render", card, "-o", dir.filePath("hidden.png")});
    QCOMPARE(hidden.status, 0);
    QVERIFY(hidden.err.isEmpty());
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("back.pdf")}).status, 3);
    QCOMPARE(runTool({"sheet", card, "-o", dir.filePath("backs.pdf")}).status, 3);
    QCOMPARE(runTool({"render", card, "-o", dir.filePath("front.pdf"), "--side", "front"}).status, 0);
}

// The card as cut fills the thumbnail, its longer side the size asked for, and a
// library background decoded at the thumbnail's size still tiles at its own size.
void TestCardTool::drawsThumbnailsAsLargeAsAsked()
{
    QTemporaryDir dir;
    QImage tile(100, 60, QImage::Format_RGB32); // 1500 twips across: red, then blue from 750
    tile.fill(Qt::blue);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < 50; ++x) tile.setPixelColor(x, y, Qt::red);
    QVERIFY(QDir().mkpath(dir.filePath("background/条纹")));
    QVERIFY(tile.save(dir.filePath("background/条纹/tile.png")));
    const QString card = dir.filePath("card.pnk");
    QCOMPARE(runTool({"new", card}).status, 0);
    {
        IniFile ini = IniStore::load(card);
        ini.setValue("cLogo", "visible", "False");
        ini.setValue("cLine", "visible", "False");
        for (const char *text : {"cJob", "cCmp", "cADD", "cPC", "cTEL", "cFAX", "cMob", "cEmail", "cUrl", "cQQ"})
            ini.setValue(text, "visible", "False");
        QVERIFY(IniStore::save(card, ini));
    }
    // The name alone: its ink where render puts it at the same resolution
    // (5103 twips in 256 pixels), as large and in the same place.
    const QString rendered = dir.filePath("name.png");
    QCOMPARE(runTool({"render", card, "-o", rendered, "--trim", "--dpi", QString::number(1440 * 256 / 5103.0)}).status, 0);
    const QString named = dir.filePath("name-thumbnail.png");
    QCOMPARE(runTool({"thumbnail", card, named, "--size", "256"}).status, 0);
    const QRect ink = inkBox(QImage(named));
    const QRect expectedInk = inkBox(QImage(rendered));
    QVERIFY2(ink.width() > 20, qPrintable(QString::number(ink.width())));
    for (const auto &[edge, expected] : {std::pair(ink.left(), expectedInk.left()), {ink.top(), expectedInk.top()},
                                         {ink.right(), expectedInk.right()}, {ink.bottom(), expectedInk.bottom()}})
        QVERIFY2(std::abs(edge - expected) <= 1, qPrintable(QStringLiteral("%1 against %2").arg(edge).arg(expected)));
    {
        IniFile ini = IniStore::load(card);
        ini.setValue("cPage", "isBg", "3");
        ini.setValue("cPage", "bgImg", QStringLiteral("条纹\\tile.png"));
        ini.setValue("cName", "visible", "False");
        // A green line from the trim corner, 1020 x 510 twips.
        const QList<std::pair<const char *, const char *>> line{
            {"left", "170"}, {"top", "170"}, {"width", "1020"}, {"height", "510"}, {"bgColor", "65280"}, {"visible", "True"}};
        for (const auto &[key, value] : line) ini.setValue("cLine", key, value);
        QVERIFY(IniStore::save(card, ini));
    }
    const auto thumbnail = [&](const QString &size) {
        const QString out = dir.filePath("t" + size + ".png");
        const Run r = runTool({"thumbnail", card, out, "--size", size, "--program-folder", dir.path()});
        return r.status == 0 && r.err.isEmpty() ? QImage(out) : QImage();
    };
    // The 90 x 54 mm card as cut: 254 x 152 before.
    QCOMPARE(thumbnail("256").size(), QSize(256, 154));
    QCOMPARE(thumbnail("2048").size(), QSize(2048, 1229));
    QCOMPARE(thumbnail("1").size(), QSize(1, 1));

    const QImage t = thumbnail("256");
    const double twipsPerPixel = 5103.0 / 256;
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 60;
    };
    // The line starts at the top-left pixel and ends 1020 twips on; the bleed is cut.
    QVERIFY(near(t.pixelColor(0, 0), Qt::green));
    QVERIFY(near(t.pixelColor(49, 24), Qt::green));
    QVERIFY(!near(t.pixelColor(53, 10), Qt::green));
    QVERIFY(!near(t.pixelColor(10, 28), Qt::green));
    // Below the line, the stripes every 750 twips of the page, counted from its bleed edge.
    int checked = 0;
    for (int x = 0; x < t.width(); ++x) {
        const double twips = std::fmod(170 + (x + 0.5) * twipsPerPixel, 1500);
        if (std::abs(twips - 750) < 40 || twips < 40 || twips > 1460) continue;
        const QColor expected = twips < 750 ? QColor(Qt::red) : QColor(Qt::blue);
        QVERIFY2(near(t.pixelColor(x, 100), expected), qPrintable(QString::number(x)));
        ++checked;
    }
    QVERIFY(checked > 200);
    // The right and bottom edges are painted too: a stripe, no white or black.
    const QColor corner = t.pixelColor(255, 153);
    QVERIFY2(corner.green() < 30 && corner.red() + corner.blue() > 225, qPrintable(corner.name()));

    // A library picture named like "name@2x.png" is drawn at its own pixels too.
    QVERIFY(tile.save(dir.filePath("background/条纹/tile@2x.png")));
    const auto renderedWith = [&](const QString &file) {
        IniFile ini = IniStore::load(card);
        ini.setValue("cPage", "bgImg", QStringLiteral("条纹\\") + file);
        const QString out = dir.filePath("r.png");
        return IniStore::save(card, ini) && runTool({"render", card, "-o", out, "--program-folder", dir.path()}).status == 0
                   ? QImage(out)
                   : QImage();
    };
    const QImage once = renderedWith("tile.png");
    QVERIFY(!once.isNull());
    QCOMPARE(renderedWith("tile@2x.png"), once);

    // A portrait card: its height is the size.
    {
        IniFile ini = IniStore::load(card);
        ini.setValue("cPage", "width", "3402");
        ini.setValue("cPage", "height", "5443");
        QVERIFY(IniStore::save(card, ini));
    }
    QCOMPARE(thumbnail("256").size(), QSize(154, 256));
}

QTEST_GUILESS_MAIN(TestCardTool)
#include "test_cardtool.moc"
