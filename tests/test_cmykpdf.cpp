#include "pdf/PrintShopPdf.h"
#include "render/Fonts.h"
#include "support/PdfProbe.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using PrintShopPdf::Colours;
using PrintShopPdf::Form;

namespace {

QString writeCmyk(const QTemporaryDir &dir, const QString &name, const CardDocument &card,
                  Colours colours = Colours::Cmyk)
{
    const QString path = dir.filePath(name);
    QString error;
    if (!PrintShopPdf::writeCard(card, {}, path, {Form::Marks, QStringLiteral("李明"), colours}, &error))
        qWarning() << error;
    return path;
}

// The first page's ink as ghostscript puts it on the four plates: C, M, Y, K a pixel, 0 to 255.
struct Plates {
    int width = 0;
    int height = 0;
    QByteArray ink;

    const uchar *at(int x, int y) const { return reinterpret_cast<const uchar *>(ink.constData()) + 4 * (y * width + x); }
};

Plates plates(const QString &pdf, int dpi)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("plates.pam"));
    PdfProbe::run(QStringLiteral("gs"), {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dFirstPage=1", "-dLastPage=1",
                                         "-sDEVICE=pamcmyk32", QStringLiteral("-r%1").arg(dpi), "-o", out, pdf});
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    const qsizetype end = data.indexOf("ENDHDR\n");
    const QByteArray header = data.left(end);
    const auto field = [&](const char *key) { return header.mid(header.indexOf(key) + qsizetype(strlen(key)) + 1).split('\n')[0].toInt(); };
    return {field("WIDTH"), field("HEIGHT"), data.mid(end + 7)};
}

} // namespace

class TestCmykPdf : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void putsBlackOnTheBlackPlateAndMarksOnAll();
    void identifiesThePressAndHasNoRgb();
    void isWrittenByTheTool();
};

void TestCmykPdf::initTestCase()
{
    Fonts::installSubstitutions();
    if (!PdfProbe::available() || QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty())
        QSKIP("poppler-utils and ghostscript are needed to read the PDFs back");
}

void TestCmykPdf::putsBlackOnTheBlackPlateAndMarksOnAll()
{
    QTemporaryDir dir;
    const CardDocument card = CardDocument::defaultCard();
    CardDocument withoutTexts = card;
    for (const int i : {0, 2, 3}) withoutTexts.texts[std::size_t(i)].visible = false; // name, company, address
    const Plates full = plates(writeCmyk(dir, QStringLiteral("full.pdf"), card), 300);
    const Plates bare = plates(writeCmyk(dir, QStringLiteral("bare.pdf"), withoutTexts), 300);
    const Plates rgb = plates(writeCmyk(dir, QStringLiteral("rgb.pdf"), card, Colours::Rgb), 300);
    QVERIFY(full.width > 1000 && full.ink.size() == bare.ink.size() && full.ink.size() == rgb.ink.size());

    const int slug = 6 * 300 * 10 / 254; // pixels of the 6 mm slug
    int textPixels = 0, markPixels = 0;
    for (int y = 0; y < full.height; ++y) {
        for (int x = 0; x < full.width; ++x) {
            const uchar *ink = full.at(x, y);
            const bool inSlug = x < slug - 1 || y < slug - 1 || x > full.width - slug || y > full.height - slug;
            if (inSlug) {
                // Registration: the same ink on every plate, where the RGB file has its marks.
                QVERIFY2(ink[0] == ink[3] && ink[1] == ink[3] && ink[2] == ink[3], qPrintable(QString::number(x)));
                QCOMPARE(ink[3] != 0, rgb.at(x, y)[3] != 0);
                markPixels += ink[3] == 255;
                continue;
            }
            QVERIFY(ink[0] + ink[1] + ink[2] + ink[3] <= 765);
            if (memcmp(ink, bare.at(x, y), 4) != 0) {
                // The texts: the black plate alone.
                QCOMPARE(ink[0] + ink[1] + ink[2], 0);
                textPixels += ink[3] == 255;
            }
        }
    }
    QVERIFY2(textPixels > 1000 && markPixels > 8 * 100, qPrintable(QStringLiteral("%1 %2").arg(textPixels).arg(markPixels)));

    // A dark, saturated gradient stays within 300 % of ink.
    CardDocument dark = card;
    dark.page.isBg = BackgroundKind::Gradient;
    dark.page.jbColor1 = 0x400010; // dark blue (0x00BBGGRR)
    dark.page.jbColor2 = 0x002040; // dark brown
    const Plates gradient = plates(writeCmyk(dir, QStringLiteral("dark.pdf"), dark), 100);
    int most = 0;
    for (int y = 25; y < gradient.height - 25; ++y) // inside the slug
        for (int x = 25; x < gradient.width - 25; ++x) {
            const uchar *ink = gradient.at(x, y);
            most = std::max(most, ink[0] + ink[1] + ink[2] + ink[3]);
        }
    QVERIFY2(most > 600 && most <= 765, qPrintable(QString::number(most)));
}

void TestCmykPdf::identifiesThePressAndHasNoRgb()
{
    QTemporaryDir dir;
    CardDocument card = CardDocument::defaultCard();
    card.page.isBg = BackgroundKind::Gradient;
    card.texts[0].ForeColor = 0x2020C0; // a red name
    const QString pdf = writeCmyk(dir, QStringLiteral("card.pdf"), card);
    QCOMPARE(PdfProbe::info(pdf, "PDF version"), QStringLiteral("1.6"));
    QCOMPARE(PdfProbe::run("qpdf", {"--check", pdf}).count("No syntax or stream encoding errors"), 1);
    QVERIFY(!PdfProbe::box(pdf, "TrimBox").isEmpty() && !PdfProbe::box(pdf, "BleedBox").isEmpty());

    const QString all = PdfProbe::run("qpdf", {"--qdf", "--object-streams=disable", pdf, "-"});
    QVERIFY(!all.contains(QStringLiteral("DeviceRGB")) && !all.contains(QStringLiteral("ICCBased")));
    for (const char *expected :
         {"/GTS_PDFXVersion (PDF/X-4)", "/Trapped /False", "/S /GTS_PDFX", "/OutputConditionIdentifier (FOGRA39)",
          "/DestOutputProfile", "<pdfxid:GTS_PDFXVersion>PDF/X-4</pdfxid:GTS_PDFXVersion>",
          "<pdf:Trapped>False</pdf:Trapped>", "/Separation", "/All", "0 0 0 1 scn"})
        QVERIFY2(all.contains(QString::fromLatin1(expected)), expected);
    // The pictures are CMYK but the logo's mask, which stays as it was.
    const QStringList images = PdfProbe::run("pdfimages", {"-list", pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(images.size() >= 2);
    for (const QString &line : images)
        QVERIFY2(line.contains(QStringLiteral(" cmyk ")) || line.contains(QStringLiteral(" smask ")), qPrintable(line));
}

void TestCmykPdf::isWrittenByTheTool()
{
    QTemporaryDir dir;
    const QString card = dir.filePath(QStringLiteral("card.pnk"));
    const QString csv = dir.filePath(QStringLiteral("people.csv"));
    QFile table(csv);
    QVERIFY(table.open(QIODevice::WriteOnly) && table.write("cName\nA\nB\n") > 0);
    table.close();
    QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"new", card}), 0);
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    for (const QStringList &command : {QStringList{"render", card, "--trim"}, QStringList{"sheet", card, "--marks"},
                                       QStringList{"merge", card, csv, "--marks"}}) {
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), command + QStringList{"-o", out, "--cmyk"}), 0);
        QCOMPARE(PdfProbe::info(out, "PDF version"), QStringLiteral("1.6"));
        QVERIFY(PdfProbe::run("qpdf", {"--qdf", out, "-"}).contains(QStringLiteral("/Separation")) ==
                command.contains(QStringLiteral("--marks")));
    }
    QProcess png;
    png.start(QStringLiteral(PENLARK_CARD_EXE), {"render", card, "-o", dir.filePath(QStringLiteral("x.png")), "--cmyk"});
    QVERIFY(png.waitForFinished());
    QCOMPARE(png.exitCode(), 2);
    QVERIFY(png.readAllStandardError().startsWith("penlark-card: --cmyk is for a .pdf output"));
}

QTEST_MAIN(TestCmykPdf)
#include "test_cmykpdf.moc"
