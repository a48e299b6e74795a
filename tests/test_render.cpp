#include "model/IniFile.h"
#include "render/Fonts.h"
#include "render/PageExport.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "render/QrCode.h"
#include "render/TextFit.h"
#include "render/TextLayout.h"
#include "model/Numeric.h"
#include "model/VCard.h"
#include "support/QrReader.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QTemporaryDir>
#include <QTest>

using PageGeometry::Segment;

namespace {

constexpr double kScreen = PageGeometry::kScreenTwipsPerPixel;

QColor pixel(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

// A card whose texts try the vCard's rules: labels with and without blanks,
// characters to escape, a hidden and an empty text, a web address without scheme.
CardDocument contactCard()
{
    CardDocument card = CardDocument::defaultCard();
    const char16_t *captions[kTextCount] = {
        u"王小明", u"销售经理", u"上海星河贸易有限公司", u"地址：上海市浦东新区世纪大道100号8楼, A座;东",
        u"邮编：200120", u"电话：021-12345678", u"传真：", u"手机 : 13800000000", u"E-mail：wang@xinghe.cn",
        u"网址：www.xinghe.cn", u"QQ：8888"};
    for (std::size_t i = 0; i < kTextCount; ++i) card.texts[i].caption = QString::fromUtf16(captions[i]);
    card.text(TextRole::Telephone).visible = false;
    return card;
}

const QString kContactVCard = QStringLiteral(
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王小明\r\nN:王;小明;;;\r\nTITLE:销售经理\r\nORG:上海星河贸易有限公司\r\n"
    "ADR;TYPE=WORK:;;上海市浦东新区世纪大道100号8楼\\, A座\\;东;;;200120;\r\nTEL;TYPE=CELL:13800000000\r\n"
    "EMAIL;TYPE=INTERNET:wang@xinghe.cn\r\nURL:http://www.xinghe.cn\r\nX-QQ:8888\r\nEND:VCARD\r\n");

// A plain white card with every object hidden, for looking at one thing at a time.
CardDocument emptyCard()
{
    CardDocument card = CardDocument::defaultCard();
    card.logo.visible = false;
    card.line.visible = false;
    for (CardText &t : card.texts) t.visible = false;
    return card;
}

PageView withoutMarks()
{
    PageView view;
    view.cropMarks = false;
    return view;
}

// Where the ink of each laid-out line of text index ends on image, in twips
// from the text's left edge: the rightmost dark pixel above the line's baseline.
QList<double> lineEnds(const QImage &image, const CardDocument &card, const PageView &view, std::size_t index,
                       double twipsPerPixel)
{
    const CardText &text = card.texts[index];
    const double lineHeight = TextLayout::lineHeight(text);
    // The lines the block has room for; any further ones are cut off.
    const qsizetype room = qsizetype(view.textBlocks[index]->height() / lineHeight + 0.5);
    const qsizetype count = std::min(room, TextLayout::lines(text, view.textBlocks[index]).size());
    QList<double> ends;
    for (qsizetype line = 0; line < count; ++line) {
        // Between the middle of the ascent and the baseline, clear of the
        // line above's descenders at any resolution.
        const double baseline = text.Top + line * lineHeight + TextLayout::lineAscent(text);
        const int top = int((baseline - TextLayout::lineAscent(text) / 2) / twipsPerPixel);
        const int bottom = int(baseline / twipsPerPixel);
        int right = -1;
        for (int y = top; y < bottom && y < image.height(); ++y)
            for (int x = image.width() - 1; x > right; --x)
                if (qGray(image.pixel(x, y)) < 128) right = x;
        ends.append((right + 1) * twipsPerPixel - text.Left);
    }
    return ends;
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Fonts::installSubstitutions(); }
    void placesCropMarksAndTrimGuides();
    void centresThePageWithItsShadow();
    void tilesFromTheTopLeftCorner();
    void sizesBitmapsAtAnyResolution();
    void drawsTheBackgroundKinds();
    void drawsCropMarksInTheBleed();
    void drawsOnlyVisibleObjectsInStackingOrder();
    void reducesGradientAngles_data();
    void reducesGradientAngles();
    void writesTwentyFourBitBitmaps();
    void substitutesWindowsFaces();
    void drawsSystemColoursAsThePaletteHasThem();
    void fitsTextsToThePrintableWidth_data();
    void fitsTextsToThePrintableWidth();
    void wrapsBlocksAtTheSameBreaksAtEveryResolution();
    void restoresBlocksOfTextsReadFromAFile();
    void startsEveryCropMarkAtItsCorner_data();
    void startsEveryCropMarkAtItsCorner();
    void keepsPageBitmapsWithinTheirLimit();
    void drawsLargeTextAsQtDrawsItsLines();
    void makesAVCardOfTheVisibleTexts();
    void readsEveryTextWithoutItsLabel();
    void aPhoneReadsTheCardsCodeAsItsTexts();
};

void TestRender::placesCropMarksAndTrimGuides()
{
    const auto marks = PageGeometry::cropMarks(PageGeometry::kInitialPage);
    const std::array<Segment, 8> expected{{
        {{170, 170}, {57, 170}}, {{170, 170}, {170, 57}},
        {{5275, 170}, {5388, 170}}, {{5275, 170}, {5275, 57}},
        {{170, 3235}, {57, 3235}}, {{170, 3235}, {170, 3348}},
        {{5275, 3235}, {5388, 3235}}, {{5275, 3235}, {5275, 3348}},
    }};
    QVERIFY(marks == expected);
    const auto guides = PageGeometry::trimGuides({5443, 3402});
    const std::array<Segment, 4> expectedGuides{{
        {{170, 0}, {170, 3402}}, {{5273, 0}, {5273, 3402}}, {{0, 170}, {5443, 170}}, {{0, 3232}, {5443, 3232}},
    }};
    QVERIFY(guides == expectedGuides);
}

void TestRender::centresThePageWithItsShadow()
{
    const auto placed = PageGeometry::centredPage({8000, 6000}, {5443, 3402});
    QCOMPARE(placed.page, QPointF(1278.5, 1299));
    QCOMPARE(placed.shadow, QPointF(1338.5, 1359));
}

void TestRender::tilesFromTheTopLeftCorner()
{
    const QSize page(5445, 3405);
    const auto same = PageGeometry::tilePositions(page, page);
    QCOMPARE(same, (std::vector<QPoint>{{0, 0}, {0, 3405}, {5445, 0}, {5445, 3405}}));
    const auto small = PageGeometry::tilePositions({1000, 1500}, page);
    QCOMPARE(small.size(), std::size_t(6 * 3)); // x <= 5.445, y <= 2.27
    QCOMPARE(small.back(), QPoint(5000, 3000));
    QVERIFY(PageGeometry::tilePositions({0, 10}, page).empty());
}

void TestRender::sizesBitmapsAtAnyResolution()
{
    const CardDocument card = CardDocument::defaultCard();
    QCOMPARE(PageRenderer::renderBitmap(card, {}, kScreen).size(), QSize(363, 227));
    QCOMPARE(PageRenderer::renderTrimmedBitmap(card, {}, kScreen).size(), QSize(340, 204));
    QCOMPARE(PageRenderer::renderBitmap(card, {}, 1440.0 / 600).size(), QSize(2268, 1418));
    QCOMPARE(PageGeometry::trimmedRect({363, 227}, kScreen), QRect(11, 11, 340, 204));
    QCOMPARE(PageRenderer::renderBitmap(card, {}, 1440.0 / 600).dotsPerMeterX(), 23622);
}

void TestRender::drawsTheBackgroundKinds()
{
    CardDocument card = emptyCard();
    card.page.bgColor = Colour::fromRgb(10, 20, 30);
    QCOMPARE(pixel(PageRenderer::renderBitmap(card, withoutMarks(), kScreen), 200, 100), QColor(10, 20, 30));

    card.page.isBg = BackgroundKind::Gradient;
    card.page.jbColor1 = Colour::fromRgb(255, 0, 0);
    card.page.jbColor2 = Colour::fromRgb(0, 0, 255);
    card.page.jbJiaoDu = QStringLiteral("0");
    const QImage gradient = PageRenderer::renderBitmap(card, withoutMarks(), kScreen);
    QCOMPARE(pixel(gradient, 0, 0), QColor(255, 0, 0));        // left to right
    QCOMPARE(pixel(gradient, 0, 226), QColor(255, 0, 0));
    QVERIFY(pixel(gradient, 362, 0).blue() > 240);

    card.page.isBg = BackgroundKind::LibraryImage;
    PageView view = withoutMarks();
    view.background = QImage(10, 10, QImage::Format_RGB32);
    view.background.fill(Qt::green);
    view.background.setPixelColor(0, 0, QColor(1, 2, 3));
    const QImage tiled = PageRenderer::renderBitmap(card, view, kScreen);
    QCOMPARE(pixel(tiled, 0, 0), QColor(1, 2, 3));
    QCOMPARE(pixel(tiled, 360, 220), QColor(1, 2, 3)); // every 10 pixels at natural size
    QCOMPARE(pixel(tiled, 361, 221), QColor(0, 255, 0));
}

void TestRender::drawsCropMarksInTheBleed()
{
    const CardDocument card = emptyCard();
    const QImage page = PageRenderer::renderBitmap(card, {}, kScreen);
    const QColor grey(128, 128, 128);
    // Top-left horizontal mark: from the trim corner (11.3 px) out to 3.8 px.
    QCOMPARE(pixel(page, 7, 11), grey);
    QCOMPARE(pixel(page, 11, 7), grey);
    QCOMPARE(pixel(page, 1, 11), QColor(255, 255, 255)); // stops short of the edge
    QCOMPARE(pixel(page, 20, 20), QColor(255, 255, 255)); // nothing inside the trim area
    QCOMPARE(pixel(page, 357, 215), grey); // bottom-right horizontal mark
    const QImage none = PageRenderer::renderBitmap(card, withoutMarks(), kScreen);
    QCOMPARE(pixel(none, 7, 11), QColor(255, 255, 255));
}

void TestRender::drawsOnlyVisibleObjectsInStackingOrder()
{
    CardDocument card = emptyCard();
    card.line = {3000, 300, 600, 600, Colour::fromRgb(0, 0, 255), true};
    QCOMPARE(pixel(PageRenderer::renderBitmap(card, {}, kScreen), 60, 45), QColor(0, 0, 255));
    card.line.visible = false;
    QCOMPARE(pixel(PageRenderer::renderBitmap(card, {}, kScreen), 60, 45), QColor(255, 255, 255));

    // A red logo over a text whose glyphs fill the box with black.
    card.logo = {QString(), 1500, 1500, 600, 600, true};
    CardText &name = card.text(TextRole::Name);
    name = {QStringLiteral("■■■"), QStringLiteral("宋体"), true, false, 72, Colour::kBlack, 600, 600, true};
    PageView view;
    view.logo = QImage(4, 4, QImage::Format_RGB32);
    view.logo.fill(Qt::red);
    const QPoint inside(90, 90);
    view.logoInFront = true;
    QCOMPARE(pixel(PageRenderer::renderBitmap(card, view, kScreen), inside.x(), inside.y()), QColor(255, 0, 0));
    view.logoInFront = false;
    QCOMPARE(pixel(PageRenderer::renderBitmap(card, view, kScreen), inside.x(), inside.y()), QColor(0, 0, 0));
    // Below the text: a logo pixel nothing covers, and a blue line over the logo
    // when the logo is behind, under it when in front.
    card.logo.width = card.logo.height = 2400;
    card.line = {300, 300, 2400, 2400, Colour::fromRgb(0, 0, 255), true};
    for (const bool front : {false, true}) {
        view.logoInFront = front;
        const QImage page = PageRenderer::renderBitmap(card, view, kScreen);
        QCOMPARE(pixel(page, 190, 190), QColor(255, 0, 0));
        QCOMPARE(pixel(page, 170, 170), front ? QColor(255, 0, 0) : QColor(0, 0, 255));
    }
    card.line.visible = false;
    card.logo.visible = false;
    name.visible = false;
    QCOMPARE(pixel(PageRenderer::renderBitmap(card, view, kScreen), inside.x(), inside.y()), QColor(255, 255, 255));

    // Without a picture of its own the card shows the built-in logo, drawn
    // exactly as its PNG would be.
    card.logo.visible = true;
    view.logo = QImage();
    const QImage builtIn = PageRenderer::renderBitmap(card, view, 2.4);
    view.logo = QImage(QStringLiteral(PENLARK_LOGO_PNG));
    QVERIFY(!view.logo.isNull());
    QCOMPARE(builtIn, PageRenderer::renderBitmap(card, view, 2.4));
}

void TestRender::reducesGradientAngles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("angle");
    QTest::newRow("whole") << "45" << 45.0f;
    QTest::newRow("negative") << "-45" << -45.0f;
    QTest::newRow("rounded half to even") << "2.5" << 2.0f;
    QTest::newRow("beyond 360 but 16-bit") << "32767" << 32767.0f;
    QTest::newRow("beyond 16-bit") << "32768" << 8.0f;
    QTest::newRow("huge") << "1e12" << 280.0f;
    QTest::newRow("no number") << "abc" << 0.0f;
}

void TestRender::reducesGradientAngles()
{
    QFETCH(QString, text);
    QFETCH(float, angle);
    QCOMPARE(PageRenderer::gradientAngle(text), angle);
}

void TestRender::writesTwentyFourBitBitmaps()
{
    QTemporaryDir dir;
    const CardDocument card = CardDocument::defaultCard();
    const QString bmp = dir.filePath("card.bmp");
    const QImage page = PageRenderer::renderBitmap(card, {}, kScreen);
    QVERIFY(PageExport::writeBmp(page, bmp));
    QFile f(bmp);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes24 = f.readAll();
    const QByteArray header = bytes24.left(54);
    QCOMPARE(header.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<qint32>(header.constData() + 18), 363);
    QCOMPARE(qFromLittleEndian<qint32>(header.constData() + 22), 227);
    QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 28), quint16(24));
    // Byte for byte what Qt writes from a 24-bit copy, rows padded to 4 bytes.
    QBuffer fromCopy;
    fromCopy.open(QIODevice::WriteOnly);
    QVERIFY(QImageWriter(&fromCopy, "bmp").write(page.convertToFormat(QImage::Format_RGB888)));
    QCOMPARE(bytes24, fromCopy.data());

    QString error;
    QVERIFY(!PageExport::writeBmp(QImage(4, 4, QImage::Format_RGB32), dir.filePath("no/such.bmp"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!PageExport::writeImage(QImage(4, 4, QImage::Format_RGB32), dir.filePath("x.unknown"), &error));
    // A picture that could not be made (out of memory) is an error, not a bare header.
    QVERIFY(!PageExport::writeImage(QImage(), dir.filePath("null.png"), &error));
    QCOMPARE(error, QStringLiteral("the picture could not be made (out of memory)"));
    QVERIFY(!QFile::exists(dir.filePath("null.png")));

}

void TestRender::substitutesWindowsFaces()
{
    for (const char *face : {"宋体", "黑体", "楷体_GB2312", "仿宋_GB2312", "隶书", "幼圆"}) {
        const QFont font = Fonts::cardFont(QString::fromUtf8(face), 9, false, false);
        QVERIFY2(QFontInfo(font).family().contains(QStringLiteral("CJK")) ||
                     QFontInfo(font).family().contains(QStringLiteral("UKai")),
                 qPrintable(QFontInfo(font).family()));
        QCOMPARE(font.family(), QString::fromUtf8(face)); // the card keeps its face name
    }
}

void TestRender::drawsSystemColoursAsThePaletteHasThem()
{
    // Text colours saved as system colours (window text, index 8) draw in the
    // palette's colour, not as the dark red their low bytes would give.
    const Colour::Value windowText = Colour::Value(0x80000008u);
    QCOMPARE(Colour::toQColor(windowText), QGuiApplication::palette().color(QPalette::Active, QPalette::Text));
    CardDocument card = emptyCard();
    card.line = {3000, 300, 600, 600, Colour::Value(0x80000005u), true}; // window background
    QCOMPARE(pixel(PageRenderer::renderBitmap(card, {}, kScreen), 60, 45),
             QGuiApplication::palette().color(QPalette::Active, QPalette::Base));
}

void TestRender::fitsTextsToThePrintableWidth_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("height"); // -1: no block
    QTest::addColumn<double>("left");   // -1: stays where it is
    // Page 5443 wide: printable width W = 5443 - 340 = 5103; one line h = 180,
    // the box 200 high now.
    QTest::newRow("just fits") << 0.999 << -1.0 << -1.0;
    QTest::newRow("exactly one") << 1.0 << 200.0 << 170.0;
    QTest::newRow("one and a half") << 1.5 << 360.0 << 170.0;
    QTest::newRow("two") << 2.0 << 360.0 << 170.0;
    QTest::newRow("two and a half") << 2.5 << 540.0 << 170.0;
    QTest::newRow("four") << 4.0 << 720.0 << 170.0;
    QTest::newRow("four and a half") << 4.5 << 200.0 << 170.0;
}

void TestRender::fitsTextsToThePrintableWidth()
{
    QFETCH(double, r);
    QFETCH(double, height);
    QFETCH(double, left);
    const TextFit::Fit fit = TextFit::fit(QSizeF(r * 5103, 180), 200, 5443);
    QCOMPARE(fit.block.has_value(), height >= 0);
    QCOMPARE(fit.left.has_value(), left >= 0);
    if (fit.block) QCOMPARE(*fit.block, QSizeF(5103, height));
    if (fit.left) QCOMPARE(double(*fit.left), left);
}

void TestRender::wrapsBlocksAtTheSameBreaksAtEveryResolution()
{
    CardDocument card = emptyCard();
    PageView view = withoutMarks();
    CardText &company = card.texts[2];
    company.caption = QStringLiteral("北京青禾文化传播有限公司 Qinghe Culture Communication Company Limited, Beijing");
    company.visible = true;
    CardText &address = card.texts[3];
    address.caption = QStringLiteral("Suite 1208, Tower B, No. 38 Xueyuan Road, Haidian District, Beijing 100083, "
                                     "People's Republic of China");
    address.Font = QStringLiteral("Times New Roman");
    address.FontSize = 12;
    address.Top = 300;
    address.visible = true;
    for (std::size_t i : {2, 3}) TextFit::fitText(card, view, i);
    QVERIFY(view.textBlocks[2] && view.textBlocks[3]);
    QCOMPARE(card.texts[2].Left, 170.0f);
    QVERIFY(TextLayout::lines(company, view.textBlocks[2]).size() >= 2);
    QVERIFY(TextLayout::lines(address, view.textBlocks[3]).size() >= 2);

    const QImage screen = PageRenderer::renderBitmap(card, view, kScreen);
    const QImage print = PageRenderer::renderBitmap(card, view, 1440.0 / 600);
    for (std::size_t i : {2, 3}) {
        const QList<double> onScreen = lineEnds(screen, card, view, i, kScreen);
        const QList<double> inPrint = lineEnds(print, card, view, i, 1440.0 / 600);
        QCOMPARE(onScreen.size(), inPrint.size());
        for (qsizetype line = 0; line < onScreen.size(); ++line) {
            QVERIFY2(onScreen[line] > 0, "every line has ink");
            // Another break would move a line's end by a whole word or character.
            QVERIFY2(std::abs(onScreen[line] - inPrint[line]) <= 2 * kScreen,
                     qPrintable(QStringLiteral("line %1 ends at %2 on screen, %3 in print")
                                    .arg(line).arg(onScreen[line]).arg(inPrint[line])));
            QVERIFY(inPrint[line] <= view.textBlocks[i]->width());
        }
    }
}

void TestRender::restoresBlocksOfTextsReadFromAFile()
{
    CardDocument card = CardDocument::defaultCard();
    card.texts[4].caption = QString(40, u'长'); // 40 x 180 twips: r = 7200 / 5103
    card.texts[4].Left = 170;
    PageView view;
    TextFit::restoreBlocks(card, view);
    const double h = TextLayout::lineHeight(card.texts[4]);
    QCOMPARE(*view.textBlocks[4], QSizeF(5103, 2 * h));
    for (std::size_t i = 0; i < kTextCount; ++i)
        if (i != 4) QVERIFY(!view.textBlocks[i]);
    QCOMPARE(card.texts[4].Left, 170.0f);
    // A lone CR in a caption from a file breaks the line as CRLF does.
    card.texts[0].caption = *IniFile::fromBytes("[cName]\r\ncaption=A\rB\r\n").value(u"cName", u"caption");
    QCOMPARE(TextLayout::lines(card.texts[0], std::nullopt), QStringList({"A", "B"}));
}

void TestRender::startsEveryCropMarkAtItsCorner_data()
{
    QTest::addColumn<int>("dpi");
    for (int dpi : {96, 120, 150, 300, 600}) QTest::addRow("%d dpi", dpi) << dpi;
}

// Each mark covers the pixel of its trim corner, where the trim guides stand,
// and runs outwards from it; inside the trim area nothing is drawn.
void TestRender::startsEveryCropMarkAtItsCorner()
{
    QFETCH(int, dpi);
    const double tpp = 1440.0 / dpi;
    const CardDocument card = emptyCard();
    const QSize twips = PageRenderer::pageTwips(card);
    const QImage page = PageRenderer::renderBitmap(card, {}, tpp);
    const QColor grey(128, 128, 128), white(255, 255, 255);
    const int thickness = std::max(1, PageGeometry::toPixels(15, tpp));
    for (const Segment &guideX : {PageGeometry::trimGuides(twips)[0], PageGeometry::trimGuides(twips)[1]}) {
        for (const Segment &guideY : {PageGeometry::trimGuides(twips)[2], PageGeometry::trimGuides(twips)[3]}) {
            const QPoint corner = PageGeometry::toPixels(QPoint(guideX.from.x(), guideY.from.y()), tpp);
            const QPoint outwards(corner.x() < page.width() / 2 ? -1 : 1, corner.y() < page.height() / 2 ? -1 : 1);
            QCOMPARE(pixel(page, corner.x(), corner.y()), grey);
            QCOMPARE(pixel(page, corner.x() + 2 * outwards.x(), corner.y()), grey);
            QCOMPARE(pixel(page, corner.x(), corner.y() + 2 * outwards.y()), grey);
            const QPoint inside = corner - outwards * thickness;
            QCOMPARE(pixel(page, inside.x(), corner.y()), white);
            QCOMPARE(pixel(page, corner.x(), inside.y()), white);
        }
    }
}

void TestRender::keepsPageBitmapsWithinTheirLimit()
{
    // The largest page a card may have, 1000 x 1000 mm.
    CardDocument card = emptyCard();
    card.page.width = 56700;
    card.page.height = 56700;
    const QSize page = PageRenderer::pageTwips(card);
    QCOMPARE(PageRenderer::renderBitmap(card, {}, kScreen).size(), QSize(3780, 3780));
    QVERIFY(PageRenderer::renderBitmap(card, {}, 1440.0 / 600).isNull()); // 23622 pixels square: refused
    QVERIFY(!PageGeometry::bitmapFits(page, 1440.0 / 300));
    // The PDF background is drawn as coarse as the limit needs, and no coarser.
    const double fitting = PageGeometry::fittingTwipsPerPixel(page, 1440.0 / 300);
    QVERIFY(PageGeometry::bitmapFits(page, fitting));
    QVERIFY(!PageGeometry::bitmapFits(page, fitting * 0.98));
    QCOMPARE(PageGeometry::fittingTwipsPerPixel({5443, 3402}, 1440.0 / 300), 1440.0 / 300);
}

// Glyphs above 64 pixels are drawn one by one on a bitmap, which must give the
// lines QPainter::drawText draws whole. Only where two glyphs' antialiased edges
// overlap (italics) may a pixel differ, a little: blending one glyph after the
// other is not blending their union.
void TestRender::drawsLargeTextAsQtDrawsItsLines()
{
    CardDocument card = emptyCard();
    CardText &company = card.texts[2];
    company.visible = true;
    company.caption = QStringLiteral("北京青禾 Agency fi 38号 Qj");
    company.FontItalic = true;
    const double tpp = 1440.0 / 600; // 18 points: 150 pixels
    const QImage page = PageRenderer::renderBitmap(card, withoutMarks(), tpp);
    QImage lines = PageRenderer::renderBackground(card, withoutMarks(), tpp);
    QPainter painter(&lines);
    painter.setFont(TextLayout::font(company));
    painter.drawText(QPointF(company.Left, company.Top + TextLayout::lineAscent(company)) / tpp, company.caption);
    painter.end();
    int inked = 0, differing = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const int difference = std::abs(qGray(page.pixel(x, y)) - qGray(lines.pixel(x, y)));
            QVERIFY2(difference <= 32, qPrintable(QStringLiteral("pixel %1, %2").arg(x).arg(y)));
            differing += difference > 0;
            inked += qGray(page.pixel(x, y)) < 128;
        }
    }
    QVERIFY(inked > 10000);
    QVERIFY(differing <= inked / 1000);
}

void TestRender::makesAVCardOfTheVisibleTexts()
{
    CardDocument card = contactCard();
    QCOMPARE(VCard::fromCard(card), kContactVCard);
    // A Chinese name of two to four characters splits off its family name, a
    // compound surname whole when a given name follows it; a Latin name ends
    // with its family name; a card without a name is its company's contact.
    const QString names[][2] = {{"John Smith", "FN:John Smith\r\nN:Smith;John;;;"},
                                {"John Ronald Tolkien", "FN:John Ronald Tolkien\r\nN:Tolkien;John;Ronald;;"},
                                {"Madonna", "FN:Madonna\r\nN:;Madonna;;;"},
                                {"欧阳娜娜", "FN:欧阳娜娜\r\nN:欧阳;娜娜;;;"},
                                {"司马相如", "FN:司马相如\r\nN:司马;相如;;;"},
                                {"诸葛亮", "FN:诸葛亮\r\nN:诸葛;亮;;;"},
                                {"歐陽修", "FN:歐陽修\r\nN:歐陽;修;;;"},
                                {"单于洋", "FN:单于洋\r\nN:单;于洋;;;"},
                                {"欧阳", "FN:欧阳\r\nN:欧;阳;;;"},
                                {"王　 伟", "FN:王　 伟\r\nN:王;伟;;;"},
                                {"姓名：欧阳娜娜", "FN:欧阳娜娜\r\nN:欧阳;娜娜;;;"},
                                {"欧阳小明明", "FN:欧阳小明明\r\nN:;欧阳小明明;;;"},
                                {"", "FN:上海星河贸易有限公司\r\nN:;;;;"}};
    for (const auto &[name, lines] : names) {
        card.text(TextRole::Name).caption = name;
        QVERIFY2(VCard::fromCard(card).contains(QStringLiteral("VERSION:3.0\r\n") + lines + QStringLiteral("\r\nTITLE")), qPrintable(name));
    }
}

void TestRender::readsEveryTextWithoutItsLabel()
{
    // Whatever the label, up to the first colon; the value after it is kept
    // whole, and a colon that belongs to the value is no label's.
    const struct {
        TextRole role;
        const char *caption;
        const char *line;
    } cases[] = {
        {TextRole::Email, "邮箱：linxf@qhzl.cn", "\r\nEMAIL;TYPE=INTERNET:linxf@qhzl.cn\r\n"},
        {TextRole::Email, "mailto:linxf@qhzl.cn", "\r\nEMAIL;TYPE=INTERNET:linxf@qhzl.cn\r\n"},
        {TextRole::Web, "网站：www.qhzl.cn", "\r\nURL:http://www.qhzl.cn\r\n"},
        {TextRole::Web, "Web: https://qhzl.cn/a:b", "\r\nURL:https://qhzl.cn/a:b\r\n"},
        {TextRole::Web, "https://qhzl.cn", "\r\nURL:https://qhzl.cn\r\n"},
        {TextRole::Telephone, "Tel: +86 10 8888 6666", "\r\nTEL;TYPE=WORK,VOICE:+86 10 8888 6666\r\n"},
        {TextRole::Telephone, "010-88886666 ext: 12", "\r\nTEL;TYPE=WORK,VOICE:010-88886666 ext: 12\r\n"},
        {TextRole::Fax, "电话/传真：010-88886666", "\r\nTEL;TYPE=WORK,FAX:010-88886666\r\n"},
        {TextRole::Address, "Add.: Room 5: Tower A", "\r\nADR;TYPE=WORK:;;Room 5: Tower A;;;200120;\r\n"},
        {TextRole::Company, "公司：清华紫林", "\r\nORG:清华紫林\r\n"},
        {TextRole::Job, "职务 : 经理", "\r\nTITLE:经理\r\n"},
        {TextRole::QQ, "QQ号：8888", "\r\nX-QQ:8888\r\n"},
    };
    for (const auto &c : cases) {
        CardDocument card = contactCard();
        card.text(c.role).caption = QString::fromUtf8(c.caption);
        card.text(c.role).visible = true;
        const QString vCard = VCard::fromCard(card);
        QVERIFY2(vCard.contains(QString::fromUtf8(c.line)), qPrintable(vCard));
    }
}

void TestRender::aPhoneReadsTheCardsCodeAsItsTexts()
{
    CardDocument card = contactCard();
    const int modules = QrCode::forCard(card)->modules();
    card.qrCode = CardQrCode::atBottomRight(card.page, float(Numeric::mmToTwips(QrCode::initialSizeMm(modules, card.page))));
    const PageView view;
    QCOMPARE(readQrCode(PageRenderer::renderBitmap(card, view, 1440.0 / 300)), kContactVCard);

    // A text edited after the code was placed is in the code at once.
    card.text(TextRole::Telephone).visible = true;
    card.text(TextRole::Telephone).caption = QStringLiteral("电话：021-87654321");
    const QString edited = readQrCode(PageRenderer::renderBitmap(card, view, 1440.0 / 300));
    QCOMPARE(edited, VCard::fromCard(card));
    QVERIFY(edited.contains(u"\r\nTEL;TYPE=WORK,VOICE:021-87654321\r\nTEL;TYPE=CELL:"));

    // Module edges on whole pixels at any resolution: nothing but black and white.
    const double dpi = 203;
    const QImage image = PageRenderer::renderBitmap(card, view, 1440.0 / dpi);
    const QRectF code(card.qrCode->left, card.qrCode->top, card.qrCode->size, card.qrCode->size);
    const QRect pixels = QRectF(code.topLeft() * dpi / 1440, code.size() * dpi / 1440).toAlignedRect().adjusted(1, 1, -1, -1);
    int grey = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            grey += image.pixel(x, y) != qRgb(0, 0, 0) && image.pixel(x, y) != qRgb(255, 255, 255);
    QCOMPARE(grey, 0);

    // A hidden code leaves the page as it is without one.
    card.qrCode->visible = false;
    const QImage hidden = PageRenderer::renderBitmap(card, view, kScreen);
    card.qrCode.reset();
    QCOMPARE(hidden, PageRenderer::renderBitmap(card, view, kScreen));
}

QTEST_MAIN(TestRender)
#include "test_render.moc"
