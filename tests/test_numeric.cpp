#include "model/Colour.h"
#include "model/Numeric.h"

#include <QTest>

class TestNumeric : public QObject
{
    Q_OBJECT
private slots:
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void numericTest_data();
    void numericTest();
    void formatsSingles_data();
    void formatsSingles();
    void convertsMillimetres();
    void splitsColours();
};

void TestNumeric::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("rounded");
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("1.5") << 1.5 << qint64(2);
    QTest::newRow("2.5") << 2.5 << qint64(2);
    QTest::newRow("-2.5") << -2.5 << qint64(-2);
    QTest::newRow("-3.5") << -3.5 << qint64(-4);
    QTest::newRow("2.5000001") << 2.5000001 << qint64(3);
    QTest::newRow("5443.2") << 5443.2 << qint64(5443);
    QTest::newRow("11.34") << 11.34 << qint64(11);
    QTest::newRow("0.756") << 0.756 << qint64(1);
}

void TestNumeric::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(qint64, rounded);
    QCOMPARE(Numeric::roundHalfEven(value), rounded);
    QCOMPARE(qint64(Numeric::roundToInt(value)), rounded);
}

void TestNumeric::numericTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "96" << true << 96.0;
    QTest::newRow("blanks around") << "  96 " << true << 96.0;
    QTest::newRow("plus sign") << "+5" << true << 5.0;
    QTest::newRow("minus sign") << "-45" << true << -45.0;
    QTest::newRow("decimal") << "56.7" << true << 56.7;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "5." << true << 5.0;
    QTest::newRow("exponent") << "1.5E3" << true << 1500.0;
    QTest::newRow("signed exponent") << "2e-2" << true << 0.02;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << false << 0.0;
    QTest::newRow("letters") << "12mm" << false << 0.0;
    QTest::newRow("bare exponent") << "1e" << false << 0.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("overflow") << "1e400" << false << 0.0;
    QTest::newRow("full-width digits") << "９６" << false << 0.0;
    QTest::newRow("hex") << "&H10" << false << 0.0;
}

void TestNumeric::numericTest()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, value);
    QCOMPARE(Numeric::isNumeric(text), numeric);
    const auto parsed = Numeric::parseNumber(text);
    QCOMPARE(parsed.has_value(), numeric);
    if (numeric) QCOMPARE(*parsed, value);
}

void TestNumeric::formatsSingles_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 5443.0f << "5443";
    QTest::newRow("56.7") << 56.7f << "56.7";
    QTest::newRow("10.5") << 10.5f << "10.5";
    QTest::newRow("5443.2") << 5443.2f << "5443.2";
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("negative zero") << -0.0f << "0";
    QTest::newRow("negative") << -170.5f << "-170.5";
    QTest::newRow("seven digits") << 1234567.0f << "1234567";
    QTest::newRow("rounded to seven") << 12345678.0f << "12345680";
    QTest::newRow("small") << 0.000015f << "0.000015";
    QTest::newRow("third") << (1.0f / 3.0f) << "0.3333333";
}

void TestNumeric::formatsSingles()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(Numeric::formatSingle(value), text);
}

void TestNumeric::convertsMillimetres()
{
    QCOMPARE(Numeric::mmToTwips(96), 5443);
    QCOMPARE(Numeric::mmToTwips(60), 3402);
    QCOMPARE(Numeric::mmToTwips(46), 2608);   // 2608.2
    QCOMPARE(Numeric::mmToTwips(126), 7144);  // 7144.2
    QCOMPARE(Numeric::twipsToMm(5443), 96);
    QCOMPARE(Numeric::twipsToMm(3402), 60);
    // Every size the page panel can produce maps back to its millimetres.
    for (int mm = 46; mm <= 126; ++mm)
        QCOMPARE(Numeric::twipsToMm(Numeric::mmToTwips(mm)), mm);
}

void TestNumeric::splitsColours()
{
    const Colour::Value v = Colour::fromRgb(217, 217, 217);
    QCOMPARE(v, Colour::kPanel);
    QCOMPARE(Colour::fromRgb(255, 0, 0), 255);
    QCOMPARE(Colour::fromRgb(0, 0, 255), 16711680);
    QCOMPARE(Colour::toQColor(Colour::fromRgb(1, 2, 3)), QColor(1, 2, 3));
    QCOMPARE(Colour::fromQColor(QColor(10, 20, 30)), Colour::fromRgb(10, 20, 30));
    QCOMPARE(Colour::toQColor(Colour::Value(0x80FF0000)), QColor(0, 0, 255)); // high byte ignored
}

QTEST_APPLESS_MAIN(TestNumeric)
#include "test_numeric.moc"
