#include "model/CardSession.h"
#include "ui/panels/ColourPicker.h"
#include "ui/panels/PaletteStrip.h"
#include "ui/panels/TextColourFrame.h"
#include "support/ScriptedDialogs.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kComponentMessage = QStringLiteral("请请输入0~255范围的数值！");

// The text colour frame on its own, with the chosen text object in `chosen`.
struct Frame {
    CardSession session;
    ScriptedDialogs dialogs;
    int chosen = -1;
    TextColourFrame frame{session, dialogs, [this] { return chosen; }};
    CardDocument &card = session.card;

    Frame() { card.resetToDefault(); }
    QLineEdit *box(int i) const { return frame.componentBox(i); }
    QStringList boxes() const { return {box(0)->text(), box(1)->text(), box(2)->text()}; }
    void pick(Colour::Value colour) { emit frame.strip()->colourPicked(colour); }
    int textsOf(Colour::Value colour) const
    {
        return int(std::count_if(card.texts.begin(), card.texts.end(),
                                 [colour](const CardText &t) { return t.ForeColor == colour; }));
    }
};

} // namespace

class TestColourPicker : public QObject
{
    Q_OBJECT
private slots:
    void paletteHasItsFixedPixels_data();
    void paletteHasItsFixedPixels();
    void paletteEndsInAGreyRamp();
    void stripPicksThePixelUnderThePointer();
    void pickGoesToTheScopeAndIntoTheBoxes();
    void pickWithNoObjectChosenOnlyShowsTheColour();
    void componentBoxesRefuseCutAndApply();
    void scopeOptionsSpreadTheSwatchColour();
    void dialogColourGoesByScopeAndLeavesTheBoxes();
    void checksComponentTexts_data();
    void checksComponentTexts();
};

void TestColourPicker::paletteHasItsFixedPixels_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QColor>("colour");
    const int columns[] = {0, 27, 54, 81, 108, 135, 162, 189};
    const QColor rows[3][8] = {
        {{251, 222, 209}, {254, 248, 223}, {227, 241, 225}, {214, 237, 238}, {212, 227, 242}, {221, 214, 232},
         {250, 224, 231}, {251, 222, 209}},
        {{213, 11, 39}, {252, 211, 31}, {66, 171, 69}, {0, 154, 155}, {0, 103, 172}, {83, 34, 119}, {214, 0, 109},
         {213, 11, 39}},
        {{46, 6, 0}, {51, 45, 10}, {8, 39, 15}, {0, 35, 36}, {0, 22, 40}, {21, 0, 28}, {48, 2, 23}, {46, 6, 0}},
    };
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 8; ++c)
            QTest::addRow("%d,%d", columns[c], r * 7) << columns[c] << r * 7 << rows[r][c];
        const QColor grey[] = {{255, 255, 255}, {137, 137, 137}, {0, 0, 0}};
        QTest::addRow("grey,%d", r * 7) << 193 << r * 7 << grey[r];
    }
}

void TestColourPicker::paletteHasItsFixedPixels()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QColor, colour);
    QCOMPARE(PaletteStrip::palette().size(), QSize(198, 15));
    QCOMPARE(PaletteStrip::palette().pixelColor(column, row), colour);
}

void TestColourPicker::paletteEndsInAGreyRamp()
{
    const QImage &palette = PaletteStrip::palette();
    int previous = 256;
    for (int y = 0; y < 15; ++y) {
        const QColor left = palette.pixelColor(190, y);
        QCOMPARE(left.red(), left.green());
        QCOMPARE(left.green(), left.blue());
        QVERIFY(left.red() < previous);
        previous = left.red();
        for (int x = 191; x < 198; ++x) QCOMPARE(palette.pixelColor(x, y), left);
    }
    // The hue columns are not grey: the ramp starts at column 190.
    QVERIFY(palette.pixelColor(189, 7) != palette.pixelColor(190, 7));
}

void TestColourPicker::stripPicksThePixelUnderThePointer()
{
    PaletteStrip strip(1);
    QCOMPARE(strip.objectName(), QStringLiteral("PicColor(1)"));
    QCOMPARE(strip.size(), QSize(200, 17));
    QSignalSpy picked(&strip, &PaletteStrip::colourPicked);
    // The picture sits one pixel inside the strip; any button picks.
    QTest::mousePress(&strip, Qt::RightButton, {}, QPoint(1 + 54, 1 + 7));
    QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(199, 16)); // margin: the nearest pixel
    QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(196, 1));
    QCOMPARE(picked.size(), 3);
    QCOMPARE(picked[0][0].value<Colour::Value>(), Colour::fromRgb(66, 171, 69));
    QCOMPARE(picked[1][0].value<Colour::Value>(), Colour::kBlack);
    QCOMPARE(picked[2][0].value<Colour::Value>(), Colour::kWhite);
}

void TestColourPicker::pickGoesToTheScopeAndIntoTheBoxes()
{
    Frame f;
    f.chosen = 3;
    const Colour::Value orangeRed = Colour::fromRgb(255, 69, 0);
    f.pick(orangeRed);
    QCOMPARE(f.boxes(), QStringList({"255", "69", "0"}));
    QCOMPARE(f.card.texts[3].ForeColor, orangeRed);
    QCOMPARE(f.textsOf(orangeRed), 1);
    QCOMPARE(f.frame.swatch()->colour(), orangeRed);
    QVERIFY(!f.session.cardSaved);

    f.frame.scopeOption(2)->setChecked(true);
    const Colour::Value green = Colour::fromRgb(66, 171, 69);
    f.pick(green);
    QCOMPARE(f.textsOf(green), 11);
    QCOMPARE(f.card.line.bgColor, green);
    QCOMPARE(f.boxes(), QStringList({"66", "171", "69"}));
    QVERIFY(f.dialogs.records.isEmpty());
}

void TestColourPicker::pickWithNoObjectChosenOnlyShowsTheColour()
{
    Frame f;
    const CardDocument before = f.card;
    f.pick(Colour::fromRgb(10, 20, 30));
    QCOMPARE(f.card, before);
    QCOMPARE(f.frame.swatch()->colour(), Colour::fromRgb(10, 20, 30));
    f.box(1)->setText(QStringLiteral("99"));
    QCOMPARE(f.card, before);
    QCOMPARE(f.frame.swatch()->colour(), Colour::fromRgb(10, 99, 30));
}

void TestColourPicker::componentBoxesRefuseCutAndApply()
{
    Frame f;
    f.chosen = 0;
    f.pick(Colour::fromRgb(12, 34, 56));
    f.session.cardSaved = true;

    // Deleting the last digit: the warning, "0" back, and the colour with that component 0.
    f.box(1)->setText(QStringLiteral("3"));
    f.box(1)->setText(QString());
    QCOMPARE(f.dialogs.records.size(), 1);
    QCOMPARE(f.dialogs.last().text, kComponentMessage);
    QCOMPARE(f.dialogs.last().caption, QStringLiteral("操作提示："));
    QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Warning);
    QCOMPARE(f.box(1)->text(), QStringLiteral("0"));
    QCOMPARE(f.card.texts[0].ForeColor, Colour::fromRgb(12, 0, 56));
    QVERIFY(!f.session.cardSaved);

    // Too large: cut to two characters, which then apply.
    QTest::keyClicks(f.box(2), QStringLiteral("0")); // "560" > 255
    QCOMPARE(f.box(2)->text(), QStringLiteral("56"));
    f.box(0)->setText(QStringLiteral("300"));
    QCOMPARE(f.box(0)->text(), QStringLiteral("30"));
    QCOMPARE(f.card.texts[0].ForeColor, Colour::fromRgb(30, 0, 56));

    // Negative and fractional components are refused like words.
    for (const char *typed : {"-5", "1.5", "abc"}) {
        f.dialogs.clear();
        f.box(2)->setText(QString::fromLatin1(typed));
        QCOMPARE(f.dialogs.records.size(), 1);
        QCOMPARE(f.dialogs.last().text, kComponentMessage);
        QCOMPARE(f.box(2)->text(), QStringLiteral("0"));
    }
    QCOMPARE(f.card.texts[0].ForeColor, Colour::fromRgb(30, 0, 0));
    QCOMPARE(f.textsOf(Colour::kBlack), 10); // the scope does not apply to the boxes
}

void TestColourPicker::scopeOptionsSpreadTheSwatchColour()
{
    Frame f;
    f.chosen = 5;
    f.card.texts[5].ForeColor = Colour::fromRgb(1, 2, 3);
    f.frame.showColourOf(5);
    f.frame.scopeOption(1)->click();
    QCOMPARE(f.textsOf(Colour::fromRgb(1, 2, 3)), 11);
    QCOMPARE(f.card.line.bgColor, Colour::kBlack);
    QVERIFY(!f.session.cardSaved);
    f.frame.scopeOption(2)->click();
    QCOMPARE(f.card.line.bgColor, Colour::fromRgb(1, 2, 3));
    const CardDocument before = f.card;
    f.session.cardSaved = true;
    f.frame.scopeOption(0)->click();
    QCOMPARE(f.card, before);
    QVERIFY(f.session.cardSaved);
}

void TestColourPicker::dialogColourGoesByScopeAndLeavesTheBoxes()
{
    Frame f;
    f.chosen = 8;
    f.dialogs.colours = {Colour::fromRgb(200, 100, 50), std::nullopt};
    QCOMPARE(f.frame.button()->text(), QStringLiteral("自定义颜色…"));
    QCOMPARE(f.frame.button()->objectName(), QStringLiteral("cmd_SelectColor(2)"));
    f.frame.button()->click();
    QCOMPARE(f.card.texts[8].ForeColor, Colour::fromRgb(200, 100, 50));
    QCOMPARE(f.textsOf(Colour::kBlack), 10);
    QCOMPARE(f.frame.swatch()->colour(), Colour::fromRgb(200, 100, 50));
    QCOMPARE(f.boxes(), QStringList({"0", "0", "0"}));

    // A cancelled dialog changes nothing, not even the saved state.
    f.session.cardSaved = true;
    const CardDocument before = f.card;
    f.frame.button()->click();
    QCOMPARE(f.card, before);
    QVERIFY(f.session.cardSaved);
    QCOMPARE(f.dialogs.records.size(), 2);
}

void TestColourPicker::checksComponentTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<int>("value");
    using ColourPicker::Verdict;
    QTest::newRow("zero") << "0" << int(Verdict::Take) << 0;
    QTest::newRow("top") << "255" << int(Verdict::Take) << 255;
    QTest::newRow("blanks") << " 7 " << int(Verdict::Take) << 7;
    QTest::newRow("whole with point") << "12." << int(Verdict::Take) << 12;
    QTest::newRow("over") << "256" << int(Verdict::Cut) << 0;
    QTest::newRow("exponent over") << "1e3" << int(Verdict::Cut) << 0;
    QTest::newRow("empty") << "" << int(Verdict::Refuse) << 0;
    QTest::newRow("negative") << "-1" << int(Verdict::Refuse) << 0;
    QTest::newRow("fraction") << ".5" << int(Verdict::Refuse) << 0;
    QTest::newRow("word") << "a1" << int(Verdict::Refuse) << 0;
}

void TestColourPicker::checksComponentTexts()
{
    QFETCH(QString, text);
    QFETCH(int, verdict);
    QFETCH(int, value);
    QCOMPARE(int(ColourPicker::checkComponent(text)), verdict);
    QCOMPARE(ColourPicker::componentValue(text), value);
}

QTEST_MAIN(TestColourPicker)
#include "test_colourpicker.moc"
