#include "render/Gradient.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QTest>

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr Colour::Value kBlack = Colour::kBlack;
constexpr Colour::Value kWhite = Colour::kWhite;
constexpr Colour::Value kSystemBit = std::int32_t(0x80000000u);

// Drawn onto a fully transparent image: the gradient paints opaque pixels only, so
// anything left transparent was not painted.
QImage drawn(int w, int h, float angle, Colour::Value c1 = kBlack, Colour::Value c2 = kWhite)
{
    GradientPainter gradient;
    gradient.setColor1(c1);
    gradient.setColor2(c2);
    gradient.setAngle(angle);
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(0);
    gradient.draw(image);
    return image;
}

Colour::Value colourAt(const QImage &image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return Colour::fromRgb(qRed(p), qGreen(p), qBlue(p));
}

std::vector<Colour::Value> ramp(Colour::Value c1, Colour::Value c2, int steps)
{
    std::vector<Colour::Value> colours;
    GradientPainter::blendColours(c1, c2, steps, colours);
    return colours;
}

// FNV-1a over the pixels row by row.
quint64 checksum(const QImage &image, quint64 hash)
{
    for (int y = 0; y < image.height(); ++y) {
        const uchar *row = image.constScanLine(y);
        for (qsizetype i = 0; i < qsizetype(image.width()) * 4; ++i)
            hash = (hash ^ row[i]) * 0x100000001B3ull;
    }
    return hash;
}

int unpaintedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 0;
    return count;
}

} // namespace

class TestGradient : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAndAngleNormalisation()
    {
        GradientPainter g;
        QCOMPARE(g.color1(), 0x00FFFFD0);
        QCOMPARE(g.color2(), 0x00400000);
        QCOMPARE(g.angle(), 315.0f);
        const std::pair<float, float> cases[] = {
            {-45, 315}, {360, 0}, {405, 45}, {720, 0}, {-720, 0}, {-0.5f, 359.5f}, {137, 137}};
        for (const auto &[set, stored] : cases) {
            g.setAngle(set);
            QCOMPARE(g.angle(), stored);
        }
    }

    void blendColors_data()
    {
        QTest::addColumn<Colour::Value>("c1");
        QTest::addColumn<Colour::Value>("c2");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QList<Colour::Value>>("expected");
        // The ends are kept whole, top byte included.
        QTest::newRow("0 steps") << 0x01020304 << 0x7F0A0B0C << 0 << QList<Colour::Value>{0x01020304, 0x7F0A0B0C};
        QTest::newRow("1 step") << 0x01020304 << 0x7F0A0B0C << 1 << QList<Colour::Value>{0x01020304, 0x7F0A0B0C};
        QTest::newRow("3 steps") << Colour::fromRgb(0, 90, 200) << Colour::fromRgb(255, 0, 200) << 3
                                 << QList{Colour::fromRgb(0, 90, 200), Colour::fromRgb(85, 60, 200),
                                          Colour::fromRgb(255, 0, 200)};
        // Increments of 5/4 (divided by steps, not steps - 1); 2.5 rounds to 2.
        QTest::newRow("divisor, tie") << Colour::fromRgb(0, 0, 0) << Colour::fromRgb(5, 0, 0) << 4
                                      << QList{0, 1, 2, 5};
        // -42.5 a step: 212.5 -> 212 and 127.5 -> 128, halves to even both ways.
        QTest::newRow("falling ties") << Colour::fromRgb(255, 0, 0) << Colour::fromRgb(0, 0, 0) << 6
                                      << QList{255, 212, 170, 128, 85, 0};
        // 1/6 held in single precision is a little above it: 3 * that rounds up to 1.
        QTest::newRow("single increment") << Colour::fromRgb(0, 0, 0) << Colour::fromRgb(1, 0, 0) << 6
                                          << QList{0, 0, 0, 1, 1, 1};
    }

    void blendColors()
    {
        QFETCH(Colour::Value, c1);
        QFETCH(Colour::Value, c2);
        QFETCH(int, steps);
        QFETCH(QList<Colour::Value>, expected);
        std::vector<Colour::Value> colours{42, 42, 42, 42, 42, 42, 42, 42};
        QCOMPARE(GradientPainter::blendColours(c1, c2, steps, colours), int(expected.size()));
        QCOMPARE(QList<Colour::Value>(colours.begin(), colours.end()), expected);
    }

    void systemColoursResolveWhenSet()
    {
        const QPalette original = QGuiApplication::palette();
        QPalette palette = original;
        palette.setColor(QPalette::Active, QPalette::Base, QColor(12, 34, 56));
        palette.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(200, 190, 180));
        QGuiApplication::setPalette(palette);

        GradientPainter g;
        g.setColor1(kSystemBit | 5); // window background
        g.setColor2(kSystemBit | 24); // tooltip background
        QGuiApplication::setPalette(original);
        QCOMPARE(g.color1(), Colour::fromRgb(12, 34, 56));
        QCOMPARE(g.color2(), Colour::fromRgb(200, 190, 180));

        g.setColor1(kSystemBit | 1); // the desktop has no palette role
        QCOMPARE(g.color1(), Colour::fromRgb(58, 110, 165));
        g.setColor1(kSystemBit | 25);
        QCOMPARE(g.color1(), kSystemBit | 25);
        g.setColor2(kSystemBit | 0x00123456);
        QCOMPARE(g.color2(), kSystemBit | 0x00123456);
    }

    // Axis angles: one line per column or row, line k in ramp colour k of a ramp one
    // colour per line; the sweep starts on the first column or row from the left or
    // top, one pixel outside from the right or bottom, and ends one pixel past the far
    // edge, so the last visible column or row never reaches color2.
    void axisAngles_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<bool>("alongX");
        QTest::addColumn<int>("indexAtZero");
        QTest::addColumn<int>("direction");
        for (const auto &[w, h] : {std::pair{7, 5}, std::pair{4, 9}}) {
            QTest::addRow("0 %dx%d", w, h) << 0.0f << w << h << true << 0 << 1;
            QTest::addRow("90 %dx%d", w, h) << 90.0f << w << h << false << h << -1;
            QTest::addRow("180 %dx%d", w, h) << 180.0f << w << h << true << w << -1;
            QTest::addRow("270 %dx%d", w, h) << 270.0f << w << h << false << 0 << 1;
        }
    }

    void axisAngles()
    {
        QFETCH(float, angle);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(bool, alongX);
        QFETCH(int, indexAtZero);
        QFETCH(int, direction);
        const Colour::Value c1 = Colour::fromRgb(10, 200, 30);
        const Colour::Value c2 = Colour::fromRgb(250, 0, 128);
        const QImage image = drawn(w, h, angle, c1, c2);
        const std::vector<Colour::Value> colours = ramp(c1, c2, (alongX ? w : h) + 2);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int index = indexAtZero + direction * (alongX ? x : y);
                QCOMPARE(colourAt(image, x, y), colours[std::size_t(index)]);
                QVERIFY(colourAt(image, x, y) != c2);
            }
        }
    }

    // Small diagonal sweeps worked out by hand from the segment's rounded ends, as
    // ramp indices row by row (black to white ramps).
    void diagonalsExact_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("rampSize");
        QTest::addColumn<QList<int>>("indices");
        // Lines (k, 9) to (k - 9, -1), 19 of them. The line passes halfway between
        // two pixels at rows 3 and 4 and takes the left one, so the two rows match.
        QList<int> at45;
        for (int y : {8, 7, 6, 5, 5, 4, 3, 2})
            for (int x = 0; x < 8; ++x)
                at45 << y + x;
        QTest::newRow("45 8x8") << 45.0f << 8 << 8 << 19 << at45;
        // 21 points, the last unpaired: 10 lines and nearest(10.5) = 10 colours.
        QTest::newRow("315 4x4") << 315.0f << 4 << 4 << 10
                                 << QList{1, 2, 3, 4, 2, 3, 4, 5, 3, 4, 5, 6, 3, 4, 5, 6};
        // Centre (2, 1): lines (k - 6, 4) to (k, -2), 12 of them from 25 points.
        QTest::newRow("315 5x3") << 315.0f << 5 << 3 << 12 << QList{2, 3, 4, 5, 6, 3, 4, 5, 6, 7, 4, 5, 6, 7, 8};
        // 19 points: 9 lines but nearest(9.5) = 10 colours, so none is white.
        QTest::newRow("60 4x4") << 60.0f << 4 << 4 << 10
                                << QList{5, 5, 6, 7, 4, 4, 5, 6, 3, 3, 4, 5, 2, 2, 3, 4};
    }

    void diagonalsExact()
    {
        QFETCH(float, angle);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, rampSize);
        QFETCH(QList<int>, indices);
        const QImage image = drawn(w, h, angle);
        const std::vector<Colour::Value> colours = ramp(kBlack, kWhite, rampSize);
        for (int i = 0; i < indices.size(); ++i)
            QCOMPARE(colourAt(image, i % w, i / w), colours[std::size_t(indices[i])]);
    }

    // Whatever the angle, the colour grows towards the gradient's direction
    // (counter-clockwise from the x axis, y up on screen) and covers every pixel.
    void runsAlongItsAngleWithoutGaps()
    {
        for (int angle = 0; angle < 360; ++angle) {
            const QImage image = drawn(23, 17, float(angle));
            QCOMPARE(unpaintedPixels(image), 0);
            const double ux = std::cos(angle * std::numbers::pi / 180);
            const double uy = -std::sin(angle * std::numbers::pi / 180);
            for (int y = 0; y + 1 < 17; ++y) {
                for (int x = 0; x + 1 < 23; ++x) {
                    const int here = qRed(image.pixel(x, y));
                    if (std::abs(ux) > 0.2)
                        QVERIFY((qRed(image.pixel(x + 1, y)) - here) * ux >= 0);
                    if (std::abs(uy) > 0.2)
                        QVERIFY((qRed(image.pixel(x, y + 1)) - here) * uy >= 0);
                }
            }
        }
        for (float angle : {45.0f, 137.0f}) {
            QCOMPARE(unpaintedPixels(drawn(363, 227, angle)), 0);
            QCOMPARE(unpaintedPixels(drawn(227, 363, angle)), 0);
        }
    }

    // The pixels of a grid of sizes, a 600-dpi page among them, at one angle in two
    // colour pairs, against checksums taken from the painter as it has always drawn.
    void unchangedOverSizesAndAngles_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<quint64>("expected");
        const std::pair<float, quint64> cases[] = {
            {0, 0xA1AC2607824E584Full}, {1, 0x42F9F84984857A51ull}, {15, 0xA87511BD505E4A3Aull},
            {30, 0x8B9D49DA9E73BCABull}, {44, 0xDAE96F5346F63AC8ull}, {44.5f, 0xAD86EE79825BF1ABull},
            {45, 0xC70A5147485F5FB4ull}, {46, 0xB687EDB154187752ull}, {60, 0x22938A9F8D2C5D30ull},
            {75, 0x5D655E7E21FD4523ull}, {89, 0x856E6FF9E4FF882Dull}, {90, 0x618C65DD39BC0E00ull},
            {91, 0x6A8AE9C26C080735ull}, {120, 0x87A943C2C8CA1FE0ull}, {135, 0x9AC674A6B4A32E9Eull},
            {137, 0xED5BDC75BC6D2660ull}, {180, 0xC56BB82ADAFE83B8ull}, {200, 0xC85FEDFC84900645ull},
            {225, 0x41159EAA227CB8FCull}, {269, 0x654F1E82FC9019BBull}, {270, 0xF2C239244E9E5C9Eull},
            {300, 0x5C00C9D6DFAC7097ull}, {315, 0x7749D96D105378E3ull}, {359, 0x6EEDAEC655E3E7F7ull}};
        for (const auto &[angle, expected] : cases) QTest::addRow("%g", double(angle)) << angle << expected;
    }

    void unchangedOverSizesAndAngles()
    {
        QFETCH(float, angle);
        QFETCH(quint64, expected);
        const std::pair<int, int> sizes[] = {{2, 2},     {3, 2},     {23, 17},    {17, 23},   {100, 100},
                                             {227, 363}, {363, 227}, {1134, 709}, {709, 1134}, {2268, 1417}};
        quint64 hash = 0xCBF29CE484222325ull;
        for (const auto &[w, h] : sizes) {
            hash = checksum(drawn(w, h, angle), hash);
            hash = checksum(drawn(w, h, angle, kWhite, Colour::fromRgb(0, 0, 128)), hash);
        }
        QCOMPARE(hash, expected);
    }

    void tooSmallTargetsDrawNothing()
    {
        for (const auto &[w, h] : {std::pair{1, 100}, std::pair{100, 1}, std::pair{1, 1}}) {
            const QImage image = drawn(w, h, 0);
            QCOMPARE(unpaintedPixels(image), w * h);
        }
        GradientPainter g;
        QImage line(1, 100, QImage::Format_RGB32);
        QVERIFY(!g.draw(line));
        QImage null;
        QVERIFY(!g.draw(null));
        QImage smallest(2, 2, QImage::Format_RGB32);
        QVERIFY(g.draw(smallest));
    }

    void otherFormatsAreConvertedBack()
    {
        GradientPainter g;
        g.setAngle(137);
        QImage rgb32(50, 30, QImage::Format_RGB32);
        QImage rgb888(50, 30, QImage::Format_RGB888);
        QVERIFY(g.draw(rgb32));
        QVERIFY(g.draw(rgb888));
        QCOMPARE(rgb888.format(), QImage::Format_RGB888);
        QCOMPARE(rgb888, rgb32.convertToFormat(QImage::Format_RGB888));
    }
};

QTEST_MAIN(TestGradient)
#include "test_gradient.moc"
