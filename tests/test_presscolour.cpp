#include "pdf/PressColour.h"

#include <QTest>

#include <lcms2.h>

using PressColour::Cmyk;

class TestPressColour : public QObject
{
    Q_OBJECT
private slots:
    void flatColours();
    void pictures();
    void profile();
};

void TestPressColour::flatColours()
{
    // Black and every grey go to the black plate alone, at 1 - R/255.
    for (const int grey : {0, 1, 128, 254, 255}) {
        const Cmyk ink = PressColour::flatColour(grey, grey, grey);
        QCOMPARE(ink.c + ink.m + ink.y, 0.0);
        QCOMPARE(ink.k, 1.0 - grey / 255.0);
    }
    // Colours go through the profile: red is magenta and yellow, blue cyan and magenta.
    const Cmyk red = PressColour::flatColour(255, 0, 0);
    QVERIFY(red.m > 0.8 && red.y > 0.8 && red.c < 0.05 && red.k < 0.05);
    const Cmyk blue = PressColour::flatColour(0, 0, 255);
    QVERIFY(blue.c > 0.8 && blue.m > 0.5 && blue.y < 0.1);
    // No colour of the cube carries more than 300 % of ink; a dark colour comes near.
    double most = 0;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) most = std::max(most, PressColour::flatColour(r, g, b).total());
    QVERIFY2(most <= PressColour::kInkLimit + 1e-9 && most > 2.5, qPrintable(QString::number(most)));
}

void TestPressColour::pictures()
{
    // White paper stays unprinted, the pixels of a colour agree with the flat colour,
    // and no pixel of the cube carries more than 300 % (765 of 4 x 255).
    std::vector<uchar> rgb{255, 255, 255, 200, 30, 40};
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) rgb.insert(rgb.end(), {uchar(r), uchar(g), uchar(b)});
    std::vector<uchar> cmyk(rgb.size() / 3 * 4);
    PressColour::convertPixels(rgb.data(), cmyk.data(), rgb.size() / 3);
    QCOMPARE(std::vector<uchar>(cmyk.begin(), cmyk.begin() + 4), std::vector<uchar>(4, 0));
    const Cmyk flat = PressColour::flatColour(200, 30, 40);
    const double want[] = {flat.c, flat.m, flat.y, flat.k};
    for (int i = 0; i < 4; ++i) QVERIFY(std::abs(cmyk[4 + i] / 255.0 - want[i]) < 0.02);
    int most = 0;
    for (std::size_t i = 0; i < cmyk.size(); i += 4) most = std::max(most, cmyk[i] + cmyk[i + 1] + cmyk[i + 2] + cmyk[i + 3]);
    QVERIFY2(most <= 765 && most > 640, qPrintable(QString::number(most)));
}

void TestPressColour::profile()
{
    // The profile a PDF embeds reads back as a CMYK output profile.
    const QByteArray data = PressColour::profileData();
    cmsHPROFILE profile = cmsOpenProfileFromMem(data.constData(), cmsUInt32Number(data.size()));
    QVERIFY(profile);
    QCOMPARE(cmsGetColorSpace(profile), cmsSigCmykData);
    QCOMPARE(cmsGetDeviceClass(profile), cmsSigOutputClass);
    cmsCloseProfile(profile);
}

QTEST_GUILESS_MAIN(TestPressColour)
#include "test_presscolour.moc"
