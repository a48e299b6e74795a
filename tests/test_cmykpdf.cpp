#include "pdf/PressColour.h"
#include "pdf/PrintShopPdf.h"
#include "render/Fonts.h"
#include "support/PdfProbe.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <ranges>

#include <lcms2.h>

using PrintShopPdf::Colours;

namespace {

QString write(const QTemporaryDir &dir, const QString &name, const CardDocument &card, Colours colours = Colours::Cmyk)
{
    PrintShopPdf::writeCard(card, {}, dir.filePath(name), {PrintShopPdf::Form::Marks, QStringLiteral("李明"), colours});
    return dir.filePath(name);
}

// The first page's ink as ghostscript puts it on the four plates: C, M, Y, K a pixel, 0 to 255.
struct Plates {
    int width = 0, height = 0;
    QByteArray ink;
    const uchar *at(int x, int y) const { return reinterpret_cast<const uchar *>(ink.constData()) + 4 * (y * width + x); }
};

Plates plates(const QString &pdf, int dpi)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("plates.pam"));
    PdfProbe::run(QStringLiteral("gs"), {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pamcmyk32",
                                         QStringLiteral("-r%1").arg(dpi), "-o", out, pdf});
    QFile file(out);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QByteArray header = data.left(data.indexOf("ENDHDR\n"));
    const auto field = [&](const char *key) { return header.mid(header.indexOf(key)).split('\n')[0].split(' ').value(1).toInt(); };
    return {field("WIDTH"), field("HEIGHT"), data.mid(header.size() + 7)};
}

} // namespace

class TestCmykPdf : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void convertsColoursThroughTheProfile();
    void putsBlackOnTheBlackPlateAndMarksOnAll();
    void identifiesThePressAndHasNoRgb();
    void isWrittenByTheTool();
};

void TestCmykPdf::initTestCase()
{
    qputenv("TZ", "CST-8"); // dates with an offset from UTC, as in China
    Fonts::installSubstitutions();
    if (!PdfProbe::available() || QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty())
        QSKIP("poppler-utils and ghostscript are needed to read the PDFs back");
}

void TestCmykPdf::convertsColoursThroughTheProfile()
{
    // Black and every grey go to the black plate alone, at 1 - R/255.
    for (const int grey : {0, 1, 128, 254, 255}) {
        const PressColour::Cmyk ink = PressColour::flatColour(grey, grey, grey);
        QVERIFY(ink.c + ink.m + ink.y == 0 && ink.k == 1.0 - grey / 255.0);
    }
    // Colours go through the profile: red is magenta and yellow, blue cyan and magenta.
    const PressColour::Cmyk red = PressColour::flatColour(255, 0, 0), blue = PressColour::flatColour(0, 0, 255);
    QVERIFY(red.m > 0.8 && red.y > 0.8 && red.c < 0.05 && red.k < 0.05 && blue.c > 0.8 && blue.m > 0.5 && blue.y < 0.1);

    // White paper stays unprinted, a picture's pixel agrees with the flat colour, and
    // nothing of the colour cube carries more than 300 % of ink (765 of 4 x 255 a pixel).
    std::vector<uchar> rgb{255, 255, 255, 200, 30, 40};
    double mostFlat = 0;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                rgb.insert(rgb.end(), {uchar(r), uchar(g), uchar(b)});
                mostFlat = std::max(mostFlat, PressColour::flatColour(r, g, b).total());
            }
    QVERIFY2(mostFlat <= PressColour::kInkLimit + 1e-9 && mostFlat > 2.5, qPrintable(QString::number(mostFlat)));
    std::vector<uchar> cmyk(rgb.size() / 3 * 4);
    PressColour::convertPixels(rgb.data(), cmyk.data(), rgb.size() / 3);
    QCOMPARE(std::vector<uchar>(cmyk.begin(), cmyk.begin() + 4), std::vector<uchar>(4, 0));
    const PressColour::Cmyk flat = PressColour::flatColour(200, 30, 40);
    for (const auto &[pixel, want] : {std::pair{cmyk[4], flat.c}, {cmyk[5], flat.m}, {cmyk[6], flat.y}, {cmyk[7], flat.k}})
        QVERIFY(std::abs(pixel / 255.0 - want) < 0.02);
    int most = 0;
    for (std::size_t i = 0; i < cmyk.size(); i += 4) most = std::max(most, cmyk[i] + cmyk[i + 1] + cmyk[i + 2] + cmyk[i + 3]);
    QVERIFY2(most <= 765 && most > 640, qPrintable(QString::number(most)));

    // The profile a PDF embeds reads back as a CMYK output profile.
    const QByteArray data = PressColour::profileData();
    cmsHPROFILE profile = cmsOpenProfileFromMem(data.constData(), cmsUInt32Number(data.size()));
    QVERIFY(profile && cmsGetColorSpace(profile) == cmsSigCmykData && cmsGetDeviceClass(profile) == cmsSigOutputClass);
    cmsCloseProfile(profile);
}

void TestCmykPdf::putsBlackOnTheBlackPlateAndMarksOnAll()
{
    QTemporaryDir dir;
    const CardDocument card = CardDocument::defaultCard();
    CardDocument withoutTexts = card;
    for (const int i : {0, 2, 3}) withoutTexts.texts[std::size_t(i)].visible = false; // name, company, address
    const Plates full = plates(write(dir, QStringLiteral("full.pdf"), card), 300);
    const Plates bare = plates(write(dir, QStringLiteral("bare.pdf"), withoutTexts), 300);
    const Plates rgb = plates(write(dir, QStringLiteral("rgb.pdf"), card, Colours::Rgb), 300);
    QVERIFY(full.width > 1000 && full.ink.size() == bare.ink.size() && full.ink.size() == rgb.ink.size());

    const int slug = 6 * 300 * 10 / 254; // pixels of the 6 mm slug
    int textPixels = 0, markPixels = 0;
    for (int y = 0; y < full.height; ++y) {
        for (int x = 0; x < full.width; ++x) {
            const uchar *ink = full.at(x, y);
            if (x < slug - 1 || y < slug - 1 || x > full.width - slug || y > full.height - slug) {
                // Registration: the same ink on every plate, where the RGB file has its marks.
                QVERIFY(ink[0] == ink[3] && ink[1] == ink[3] && ink[2] == ink[3]);
                QCOMPARE(ink[3] != 0, rgb.at(x, y)[3] != 0);
                markPixels += ink[3] == 255;
                continue;
            }
            QVERIFY(ink[0] + ink[1] + ink[2] + ink[3] <= 765);
            if (memcmp(ink, bare.at(x, y), 4) == 0) continue;
            QCOMPARE(ink[0] + ink[1] + ink[2], 0); // the texts: the black plate alone
            textPixels += ink[3] == 255;
        }
    }
    QVERIFY2(textPixels > 1000 && markPixels > 800, qPrintable(QStringLiteral("%1 %2").arg(textPixels).arg(markPixels)));
}

void TestCmykPdf::identifiesThePressAndHasNoRgb()
{
    QTemporaryDir dir;
    CardDocument card = CardDocument::defaultCard();
    card.page.isBg = BackgroundKind::Gradient;
    card.page.jbColor1 = 0x400010; // dark blue to dark brown (0x00BBGGRR): near the ink limit
    card.page.jbColor2 = 0x002040;
    card.texts[0].ForeColor = 0x3070D0; // an orange name (R 208, G 112, B 48)
    CardDocument light = card; // a second background of the same size, on page 2
    light.page.jbColor1 = 0xFF8000;
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    PrintShopPdf::Writer writer(pdf, {PrintShopPdf::Form::Marks, {}, Colours::Cmyk});
    QVERIFY(writer.addCard(card, {}) && writer.addCard(light, {}) && writer.finish());
    QCOMPARE(PdfProbe::info(pdf, "PDF version"), QStringLiteral("1.6"));
    QCOMPARE(PdfProbe::run("qpdf", {"--check", pdf}).count("No syntax or stream encoding errors"), 1);

    const QString all = PdfProbe::run("qpdf", {"--qdf", "--object-streams=disable", pdf, "-"});
    QVERIFY(!all.contains(QStringLiteral("DeviceRGB")) && !all.contains(QStringLiteral("ICCBased")));
    for (const char *expected :
         {"/GTS_PDFXVersion (PDF/X-4)", "/Trapped /False", "/S /GTS_PDFX", "/OutputConditionIdentifier (FOGRA39)",
          "/DestOutputProfile", "<pdfxid:GTS_PDFXVersion>PDF/X-4</pdfxid:GTS_PDFXVersion>",
          "<pdf:Trapped>False</pdf:Trapped>", "/Separation", "/All", "0 0 0 1 scn", "+08:00</xmp:CreateDate>"})
        QVERIFY2(all.contains(QString::fromLatin1(expected)), expected);
    // The pictures are CMYK but the logo's mask, which stays as it was.
    const QStringList images = PdfProbe::run("pdfimages", {"-list", pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QCOMPARE(images.filter(QStringLiteral(" cmyk ")).size() + images.filter(QStringLiteral(" smask ")).size(), images.size());
    QSet<QString> converted; // the two backgrounds apart, the logo shared by both pages
    for (const QString &line : images.filter(QStringLiteral(" cmyk "))) converted << line.simplified().section(u' ', 10, 10);
    QCOMPARE(converted.size(), 3);
    // The dark gradient stays within 300 % of ink (the slug's marks are registration),
    // and the name's pixels carry the press's CMYK of its colour.
    const Plates gradient = plates(pdf, 100);
    const PressColour::Cmyk orange = PressColour::flatColour(208, 112, 48);
    const double name[] = {orange.c * 255, orange.m * 255, orange.y * 255, orange.k * 255};
    int most = 0, namePixels = 0;
    for (int y = 25; y < gradient.height - 25; ++y)
        for (int x = 25; x < gradient.width - 25; ++x) {
            const uchar *ink = gradient.at(x, y);
            most = std::max(most, ink[0] + ink[1] + ink[2] + ink[3]);
            namePixels += std::ranges::all_of(std::views::iota(0, 4), [&](int i) { return std::abs(ink[i] - name[i]) < 3; });
        }
    QVERIFY2(most > 600 && most <= 765 && namePixels > 50, qPrintable(QStringLiteral("%1 %2").arg(most).arg(namePixels)));
}

void TestCmykPdf::isWrittenByTheTool()
{
    QTemporaryDir dir;
    const QString card = dir.filePath(QStringLiteral("card.pnk")), csv = dir.filePath(QStringLiteral("people.csv"));
    QFile table(csv);
    QVERIFY(table.open(QIODevice::WriteOnly) && table.write("cName\nA\nB\n") > 0 && table.flush());
    QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"new", card}), 0);
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    for (const QStringList &command : {QStringList{"render", card, "--trim"}, QStringList{"sheet", card, "--marks"},
                                       QStringList{"merge", card, csv, "--marks"}}) {
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), command + QStringList{"-o", out, "--cmyk"}), 0);
        QCOMPARE(PdfProbe::info(out, "PDF version"), QStringLiteral("1.6"));
        const QString content = PdfProbe::run("qpdf", {"--qdf", out, "-"});
        QCOMPARE(content.contains(QStringLiteral("/Separation")), command.contains(QStringLiteral("--marks")));
        QVERIFY(content.contains(QStringLiteral("0 0 0 0 scn"))); // the white page
    }
    QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"render", card, "-o", card + ".png", "--cmyk"}), 2);
}

QTEST_MAIN(TestCmykPdf)
#include "test_cmykpdf.moc"
