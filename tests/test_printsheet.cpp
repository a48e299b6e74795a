#include "merge/MergeOutput.h"
#include "model/Colour.h"
#include "render/Fonts.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "render/PrintSheet.h"
#include "render/SheetPicture.h"
#include "support/PdfProbe.h"

#include <QPainter>
#include <QTest>

// The print window's geometry and what it prints, without any window.
class TestPrintSheet : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void blockOfCopies()
    {
        const QSize outer = PrintSheet::cardOuterSize({5445, 3405});
        QCOMPARE(outer, QSize(5475, 3435)); // one screen pixel of border on each side
        QCOMPARE(PrintSheet::blockSize(outer, 3, 2), QSize(16425, 6870));
        // Columns outer, rows inner.
        const std::vector<QPoint> expected{{0, 0}, {0, 3435}, {5475, 0}, {5475, 3435}, {10950, 0}, {10950, 3435}};
        QCOMPARE(PrintSheet::copyPositions(outer, 3, 2), expected);
        QCOMPARE(PrintSheet::centredLeft(5475), 3216);
        QCOMPARE(PrintSheet::centredLeft(16425), -2259);
    }

    void keptOnSheet_data()
    {
        QTest::addColumn<QPoint>("released");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("kept");
        const QSize card(5475, 3435);
        QTest::newRow("inside") << QPoint(400, 900) << card << QPoint(400, 900);
        QTest::newRow("off the top-left") << QPoint(-2000, 12) << card << QPoint(170, 170);
        QTest::newRow("off the bottom-right") << QPoint(9000, 16000) << card << QPoint(11907 - 5475 - 170, 16839 - 3435 - 170);
        QTest::newRow("block wider than the sheet") << QPoint(300, 400) << QSize(16425, 6870)
                                                    << QPoint(11907 - 16425 - 170, 400);
    }
    void keptOnSheet()
    {
        QFETCH(QPoint, released);
        QFETCH(QSize, size);
        QFETCH(QPoint, kept);
        QCOMPARE(PrintSheet::keptOnSheet(released, size), kept);
    }

    void scrollBars()
    {
        // A viewport narrower and lower than the sheet: one step covers the overhang.
        PrintSheet::ScrollRange h = PrintSheet::horizontalRange(9000);
        QCOMPARE(h.minimum, -300);
        QCOMPARE(h.maximum, 11907 - 9000 + 300);
        QCOMPARE(h.step, 2907);
        QVERIFY(h.enabled);
        QCOMPARE(PrintSheet::sheetLeft(9000, -300), 300);
        const PrintSheet::ScrollRange v = PrintSheet::verticalRange(12000);
        QCOMPARE(v.maximum, 16839 - 12000 + 300);
        QCOMPARE(v.step, 1613);
        // A viewport wider and higher than the sheet: the sheet is centred, steps stay at least 1.
        h = PrintSheet::horizontalRange(18000);
        QVERIFY(!h.enabled);
        QCOMPARE(h.step, 1);
        QCOMPARE(PrintSheet::sheetLeft(18000, 123), 3046);
        const PrintSheet::ScrollRange tall = PrintSheet::verticalRange(20000);
        QCOMPARE(tall.step, 1);
        QVERIFY(tall.maximum >= tall.minimum);
    }

    void counts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("check");
        QTest::newRow("digit") << "3" << int(PrintSheet::Count::Valid);
        QTest::newRow("nine") << "9" << int(PrintSheet::Count::Valid);
        QTest::newRow("letter") << "a" << int(PrintSheet::Count::NotNumeric);
        QTest::newRow("space") << " " << int(PrintSheet::Count::NotNumeric);
        QTest::newRow("empty") << "" << int(PrintSheet::Count::NotNumeric);
        QTest::newRow("sign") << "-" << int(PrintSheet::Count::NotNumeric);
        QTest::newRow("zero") << "0" << int(PrintSheet::Count::Zero);
    }
    void counts()
    {
        QFETCH(QString, text);
        QFETCH(int, check);
        QCOMPARE(int(PrintSheet::checkCount(text)), check);
    }

    void cardPictureWholeAndExact()
    {
        CardDocument card = CardDocument::defaultCard();
        card.page.bgColor = Colour::fromRgb(40, 90, 200);
        const PageView view;
        const QImage page = PageRenderer::renderBitmap(card, view, PageGeometry::kScreenTwipsPerPixel);
        QCOMPARE(page.size(), QSize(363, 227));

        const SheetPicture whole = SheetPicture::fromCard(card, view, false);
        QCOMPARE(whole.screenImage(), page);
        QCOMPARE(whole.twips(), QSize(5445, 3405));

        // The exact size cuts the zone of the crop marks: 11 pixels left and top, 12 right and bottom.
        const SheetPicture exact = SheetPicture::fromCard(card, view, true);
        QCOMPARE(exact.screenImage().size(), QSize(363 - 23, 227 - 23));
        QCOMPARE(exact.screenImage(), page.copy(11, 11, 340, 204));
        QCOMPARE(exact.twips(), QSize(340 * 15, 204 * 15));
    }

    void printedPageIsTheScreenPictureAtScreenResolution()
    {
        // One renderer: painting the page at 15 twips per device unit gives the screen picture.
        CardDocument card = CardDocument::defaultCard();
        card.page.bgColor = Colour::fromRgb(250, 230, 200);
        const SheetPicture exact = SheetPicture::fromCard(card, PageView(), true);
        QImage printed(exact.screenImage().size(), QImage::Format_RGB32);
        printed.fill(Qt::white);
        QPainter p(&printed);
        SheetPrint::paintPage(p, exact, std::nullopt, 1.0 / 15, 96);
        p.end();
        QCOMPARE(printed, exact.screenImage());
    }

    void blockHasStripsBetweenCopies()
    {
        QImage red(20, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        const SheetPicture picture = SheetPicture::fromImage(red);
        QCOMPARE(picture.twips(), QSize(300, 150));
        QVERIFY(picture.background(600).isNull());
        const QImage block = SheetPrint::composeBlock(picture, {3, 2});
        QCOMPARE(block.size(), QSize(3 * 22, 2 * 12));
        QCOMPARE(SheetPrint::pageSize(picture, SheetCopies{3, 2}), QSize(3 * 330, 2 * 180));
        QCOMPARE(SheetPrint::pageSize(picture, std::nullopt), QSize(300, 150));
        for (int column = 0; column < 3; ++column) {
            const int x = column * 22;
            QCOMPARE(block.pixelColor(x, 0), QColor(Qt::red));
            QCOMPARE(block.pixelColor(x + 19, 21), QColor(Qt::red));
            // The two-pixel strip after each copy shows the window colour.
            QCOMPARE(block.pixelColor(x + 20, 5), QColor(Qt::white));
            QCOMPARE(block.pixelColor(x + 21, 5), QColor(Qt::white));
            QCOMPARE(block.pixelColor(x + 5, 10), QColor(Qt::white));
        }
    }

    // Merged cards with a back: the sheet of backs after the sheet of fronts
    // holds each card's back behind its front, in the other column.
    void mergedBacksStandBehindTheirFronts()
    {
        if (!PdfProbe::available()) QSKIP("poppler-utils are needed to read the sheets");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("team.pdf"));
        auto output = MergeOutputs::sheetPdf(pdf, {2, 2}, true, false, QString(), nullptr);
        for (int i = 0; i < 3; ++i) {
            MergedCard made{CardDocument::defaultCard(), PageView(), {}, i + 2, {}, {}};
            addBack(made.card, made.view);
            made.card.otherSide->texts[0].caption = QStringLiteral("Back%1").arg(i);
            QVERIFY(output->prepare(made, nullptr) && output->add(made, nullptr));
        }
        QVERIFY(output->finish(nullptr) && output->commit(nullptr));
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Pages")), QStringLiteral("2"));
        const QSize card(5100, 3060), outer = PrintSheet::cardOuterSize(card);
        for (int i = 0; i < 3; ++i) { // columns outer: card i is in column i / 2, row i % 2 of the fronts
            const QPoint behind(11907 - i / 2 * outer.width() - card.width(), i % 2 * outer.height());
            const QString text = PdfProbe::run("pdftotext", {"-f", "2", "-x", QString::number(behind.x() / 20), "-y",
                QString::number(behind.y() / 20), "-W", "255", "-H", "153", pdf, "-"});
            QVERIFY2(text.contains(QStringLiteral("Back%1").arg(i)) && text.count(u"Back") == 1, qPrintable(text));
        }
    }
};

QTEST_MAIN(TestPrintSheet)
#include "test_printsheet.moc"
