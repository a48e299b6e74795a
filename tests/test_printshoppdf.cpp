#include "pdf/PrintShopPdf.h"
#include "render/Fonts.h"
#include "render/PageRenderer.h"
#include "support/PdfProbe.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <map>

using PrintShopPdf::Form;

namespace {

constexpr double kPointsPerMm = 72 / 25.4;

QString write(const QTemporaryDir &dir, const CardDocument &card, Form form, const PageView &view = {})
{
    const QString path = dir.filePath(QStringLiteral("card-%1.pdf").arg(int(form)));
    QString error;
    if (!PrintShopPdf::writeCard(card, view, path, {form, QStringLiteral("李明")}, &error)) qWarning() << error;
    return path;
}

// Left, bottom, right, top in points, each within 0.05 mm.
void compareBox(const QRectF &box, double left, double bottom, double right, double top)
{
    const double tolerance = 0.05 * kPointsPerMm;
    const double got[] = {box.left(), box.top(), box.right(), box.bottom()};
    const double want[] = {left, bottom, right, top};
    for (int i = 0; i < 4; ++i) QVERIFY2(std::abs(got[i] - want[i]) <= tolerance, qPrintable(QString::number(got[i])));
}

} // namespace

class TestPrintShopPdf : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void setsTheBoxesOfEachForm();
    void printsTheBackOnPageTwo();
    void copiesTextAsWritten();
    void embedsFontSubsetsAndFineBackgrounds();
    void keepsMarksOutsideTheBleed();
    void sharesPicturesAcrossPagesAndParts();
    void streamsPagesAndWritesOnlyWhenFinished();
    void writesLongDocumentsInParts();
};

void TestPrintShopPdf::initTestCase()
{
    Fonts::installSubstitutions();
    if (!PdfProbe::available()) QSKIP("poppler-utils are needed to read the PDFs back");
}

void TestPrintShopPdf::setsTheBoxesOfEachForm()
{
    QTemporaryDir dir;
    const CardDocument card = CardDocument::defaultCard();
    const QSizeF page = QSizeF(PageRenderer::pageTwips(card)) / 20; // points
    const double w = page.width(), h = page.height(), trim = 8.5, slug = 17;

    const QString bleed = write(dir, card, Form::Bleed);
    compareBox(PdfProbe::box(bleed, "MediaBox"), 0, 0, w, h);
    compareBox(PdfProbe::box(bleed, "BleedBox"), 0, 0, w, h);
    compareBox(PdfProbe::box(bleed, "TrimBox"), trim, trim, w - trim, h - trim);

    const QString marks = write(dir, card, Form::Marks);
    compareBox(PdfProbe::box(marks, "MediaBox"), 0, 0, w + 2 * slug, h + 2 * slug);
    compareBox(PdfProbe::box(marks, "BleedBox"), slug, slug, w + slug, h + slug);
    compareBox(PdfProbe::box(marks, "TrimBox"), slug + trim, slug + trim, w + slug - trim, h + slug - trim);

    const QString trimmed = write(dir, card, Form::Trim);
    for (const char *box : {"MediaBox", "BleedBox", "TrimBox"})
        compareBox(PdfProbe::box(trimmed, box), 0, 0, w - 2 * trim, h - 2 * trim);

    QCOMPARE(PdfProbe::info(marks, "Title"), QStringLiteral("李明"));
    QCOMPARE(PdfProbe::info(marks, "Creator"), QStringLiteral("Penlark"));
    QVERIFY(!PdfProbe::info(marks, "CreationDate").isEmpty());
    QCOMPARE(PdfProbe::run("qpdf", {"--check", marks}).count("No syntax or stream encoding errors"), 1);
}

void TestPrintShopPdf::printsTheBackOnPageTwo()
{
    // The back follows the front with the same boxes, also while the card shows its back.
    QTemporaryDir dir;
    CardDocument card = CardDocument::defaultCard();
    PageView view;
    addBack(card, view);
    showSide(card, view, CardSide::Back);
    for (const Form form : {Form::Marks, Form::Trim}) {
        const QString pdf = write(dir, card, form, view);
        const auto boxes = [&](const char *page) {
            return PdfProbe::run("pdfinfo", {"-f", page, "-l", page, "-box", pdf}).remove(QRegularExpression("Page +\\d "));
        };
        QVERIFY(boxes("1").contains("TrimBox:") && boxes("2") == boxes("1"));
        QVERIFY(PdfProbe::drawnText(pdf).contains(QRegularExpression("^李明\n[^\f]+\fLi Ming\nJob Title\nBeijing Qinghe Culture Co\\., Ltd\\.\n\f$")));
    }
    // The view's own crop marks, on by default, stay off the PDF: the corner of the trim is white.
    QCOMPARE(PdfProbe::colourAtMm(write(dir, card, Form::Bleed, view), {2.9, 2.9}), QColor(Qt::white));
}

void TestPrintShopPdf::copiesTextAsWritten()
{
    QTemporaryDir dir;
    CardDocument card = CardDocument::defaultCard();
    QCOMPARE(PdfProbe::drawnText(write(dir, card, Form::Marks)),
             QStringLiteral("李明\n无业游民\n北京青禾文化传播有限公司\n地址：北京市海淀区学院路38号 邮编：100083\n"
                            "电话：010-62345678 传真：62345679\n手机：13912345678 E-mail：li@qinghe.cn\n"
                            "网址：http://www.qinghe.cn QQ：12345678\n\f"));

    // Ideographs that share their glyph with a radical, digits the font
    // substitutes after Latin letters, a ligature and spaces, on the second
    // page of a document: a glyph first shown there is mapped too.
    card.texts[2].caption = QStringLiteral("无民青禾文手网");
    card.texts[10].caption = QStringLiteral("QQ：12345678 fi");
    card.texts[10].Left = 2400;
    const QString path = dir.filePath(QStringLiteral("two.pdf"));
    PrintShopPdf::Writer writer(path, {Form::Trim, {}});
    QVERIFY(writer.addCard(CardDocument::defaultCard(), {}) && writer.addCard(card, {}) && writer.finish());
    const QString text = PdfProbe::drawnText(path).section(u'\f', 1);
    QVERIFY2(text.contains(QStringLiteral("\n无民青禾文手网\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("QQ：12345678 fi\n")), qPrintable(text));
    for (const char32_t c : text.toUcs4()) QVERIFY(c < 0x2E80 || c > 0x2FDF);
}

void TestPrintShopPdf::embedsFontSubsetsAndFineBackgrounds()
{
    QTemporaryDir dir;
    CardDocument card = CardDocument::defaultCard();
    card.page.isBg = BackgroundKind::Gradient;
    card.texts[3].Font = QStringLiteral("Arial"); // a second face, with a fallback for the Chinese
    const QString pdf = write(dir, card, Form::Marks);

    const QStringList fonts = PdfProbe::run("pdffonts", {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(fonts.size() >= 3);
    for (const QString &font : fonts) QVERIFY2(font.contains(QRegularExpression("^[A-Z]{6}\\+.* yes yes yes ")), qPrintable(font));

    // The background is the largest picture: at least 300 pixels an inch.
    double backgroundPpi = 0;
    int widest = 0;
    for (const QString &line : PdfProbe::run("pdfimages", {"-list", pdf}).split(u'\n').mid(2)) {
        const QStringList v = line.split(u' ', Qt::SkipEmptyParts);
        if (v.size() > 13 && v[3].toInt() > widest) {
            widest = v[3].toInt();
            backgroundPpi = v[12].toDouble();
        }
    }
    QVERIFY2(backgroundPpi >= 299.5, qPrintable(QString::number(backgroundPpi)));
}

void TestPrintShopPdf::keepsMarksOutsideTheBleed()
{
    // A text that runs off the card's right edge is cut at the bleed: beyond
    // it there are only the marks.
    QTemporaryDir dir;
    CardDocument card = CardDocument::defaultCard();
    card.logo.visible = card.line.visible = false;
    for (CardText &t : card.texts) t.visible = false;
    CardText &name = card.text(TextRole::Name);
    name.visible = true;
    name.caption = QStringLiteral("李明李明李明李明");
    name.FontSize = 40;
    name.Left = float(card.page.width) - 1000;
    PageView view;
    view.cropMarks = true; // the page's own marks stay off the PDF
    const QString pdf = write(dir, card, Form::Marks, view);

    constexpr double dpi = 600, pixelsPerTwip = dpi / 1440;
    const QSize page = PageRenderer::pageTwips(card);
    const QSize media = page + QSize(2, 2) * PrintShopPdf::kSlugTwips;
    const QImage image = PdfProbe::renderArea(pdf, dpi, QRect(QPoint(0, 0), QSizeF(media * pixelsPerTwip).toSize()), true)
                             .convertToFormat(QImage::Format_Grayscale8);
    const QRectF bleed = QRectF(PrintShopPdf::kSlugTwips, PrintShopPdf::kSlugTwips, page.width(), page.height());
    const QRectF trim = bleed.adjusted(170, 170, -170, -170);
    int marks = 0, textAtTheEdge = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.constScanLine(y)[x] >= 245) continue;
            const QPointF at = QPointF(x + 0.5, y + 0.5) / pixelsPerTwip;
            if (bleed.contains(at)) {
                textAtTheEdge += at.x() > bleed.right() - 20;
                continue;
            }
            QVERIFY2(!bleed.adjusted(-10, -10, 10, 10).contains(at), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            // On a trim line, at least 3 mm outside the trim.
            const bool onLine = std::min({std::abs(at.x() - trim.left()), std::abs(at.x() - trim.right()),
                                          std::abs(at.y() - trim.top()), std::abs(at.y() - trim.bottom())}) < 10;
            QVERIFY2(onLine, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            ++marks;
        }
    }
    QVERIFY(marks > 8 * 100);
    QVERIFY(textAtTheEdge > 0);
}

void TestPrintShopPdf::sharesPicturesAcrossPagesAndParts()
{
    // Five pages in parts of two, each drawing its gradient from a bitmap of
    // its own as a merge does; the third page's gradient differs.
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.pdf");
    PrintShopPdf::Document document(path, QStringLiteral("名片"), 2);
    CardDocument card = CardDocument::defaultCard();
    card.page.isBg = BackgroundKind::Gradient;
    card.page.jbColor1 = 0x0000FF; // red
    card.page.jbColor2 = 0x0000FF;
    for (int i = 0; i < 5; ++i) {
        CardDocument drawn = card;
        if (i == 2) drawn.page.jbColor1 = drawn.page.jbColor2 = 0xFF0000; // blue
        const PrintShopPdf::PageBoxes boxes = PrintShopPdf::cardBoxes(PageRenderer::pageTwips(drawn), Form::Bleed);
        QVERIFY(document.addPage(boxes, PrintShopPdf::cardTexts(drawn, {}),
                                 [&](QPainter &painter) { PageRenderer::paintVector(painter, drawn, {}, 1.0); }));
    }
    QString error;
    QVERIFY2(document.finish(&error), qPrintable(error));
    QCOMPARE(PdfProbe::run("qpdf", {"--check", path}).count("No syntax or stream encoding errors"), 1);

    // pdfimages lists every picture a page draws with the object that holds it.
    std::map<QString, std::map<int, QString>> objects; // by kind and width: page to object
    for (const QString &line : PdfProbe::run("pdfimages", {"-list", path}).split(u'\n').mid(2)) {
        const QStringList v = line.split(u' ', Qt::SkipEmptyParts);
        if (v.size() > 11) objects[v[2] + u' ' + v[3]][v[0].toInt()] = v[10];
    }
    QVERIFY(objects.size() >= 2); // the background and the logo
    for (const auto &[kind, pages] : objects) {
        QCOMPARE(pages.size(), std::size_t(5));
        const bool background = kind.section(u' ', 1).toInt() > 1000;
        for (int page = 2; page <= 5; ++page)
            QCOMPARE(pages.at(page) == pages.at(1), !(background && page == 3));
    }
    // Each page shows its own colour.
    for (int page = 1; page <= 5; ++page) {
        const QString stem = dir.filePath(QStringLiteral("page%1").arg(page));
        PdfProbe::run("pdftoppm", {"-f", QString::number(page), "-l", QString::number(page), "-singlefile", "-r", "18",
                                   "-x", "1", "-y", "1", "-W", "1", "-H", "1", path, stem});
        const QColor shown = QImage(stem + ".ppm").pixelColor(0, 0);
        QCOMPARE(shown.blue() > shown.red(), page == 3);
    }

    // Pictures in other shapes whose masks hold the same bytes keep masks of their own.
    const QString shapes = dir.filePath("shapes.pdf");
    PrintShopPdf::Document shaped(shapes, QStringLiteral("名片"));
    for (const QSize size : {QSize(200, 100), QSize(100, 200)}) {
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(QColor(255, 0, 0, 128));
        QVERIFY(shaped.addPage({QRect(0, 0, 4000, 4000), {}, {}}, PrintShopPdf::PageText{},
                               [&](QPainter &painter) { painter.drawImage(QRect(QPoint(0, 0), size * 10), picture); }));
    }
    QVERIFY2(shaped.finish(&error), qPrintable(error));
    QStringList sizes;
    for (const QString &line : PdfProbe::run("pdfimages", {"-list", shapes}).split(u'\n').mid(2)) {
        const QStringList v = line.split(u' ', Qt::SkipEmptyParts);
        if (v.size() > 4) sizes << v[0] + u' ' + v[2] + u' ' + v[3] + u'x' + v[4];
    }
    QCOMPARE(sizes, QStringList({"1 image 200x100", "1 smask 200x100", "2 image 100x200", "2 smask 100x200"}));
}

void TestPrintShopPdf::streamsPagesAndWritesOnlyWhenFinished()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cards.pdf");
    {
        PrintShopPdf::Writer abandoned(path, {});
        QVERIFY(abandoned.addCard(CardDocument::defaultCard(), {}));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    PrintShopPdf::Writer writer(path, {Form::Bleed, QStringLiteral("名片")});
    QString error;
    QVERIFY(!PrintShopPdf::Writer(dir.filePath("none.pdf"), {}).finish(&error));
    QCOMPARE(error, QStringLiteral("the document has no page"));
    CardDocument card = CardDocument::defaultCard();
    for (const char *name : {"张三", "李四", "王五"}) {
        card.texts[0].caption = QString::fromUtf8(name);
        card.page.width += 10; // pages of different sizes
        QVERIFY(writer.addCard(card, {}));
    }
    QVERIFY(!QFile::exists(path));
    QVERIFY2(writer.finish(&error), qPrintable(error));
    QCOMPARE(PdfProbe::info(path, "Pages"), QStringLiteral("3"));
    QVERIFY(PdfProbe::drawnText(path).contains(QRegularExpression("^张三\n.*\f李四\n.*\f王五\n", QRegularExpression::DotMatchesEverythingOption)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cards.pdf"});
}

void TestPrintShopPdf::writesLongDocumentsInParts()
{
    // Five pages in parts of two. The first page shows every glyph; the first
    // page of each later part must still teach that part's own text map.
    QTemporaryDir dir;
    const QString path = dir.filePath("parts.pdf");
    // 名 is 0x540D in UTF-16: a carriage-return byte in the title's string.
    const QString title = QStringLiteral("名片 (团队) \\");
    PrintShopPdf::Document document(path, title, 2);
    CardDocument card = CardDocument::defaultCard();
    card.texts[2].caption = QStringLiteral("无民青禾文手网");
    for (const char *name : {"卡1234", "卡1", "卡2", "卡3", "卡4"}) {
        card.texts[0].caption = QString::fromUtf8(name);
        card.page.width += 200; // each page 10 points wider, so that a box set on the wrong page shows
        const PrintShopPdf::PageBoxes boxes = PrintShopPdf::cardBoxes(PageRenderer::pageTwips(card), Form::Bleed);
        QVERIFY(document.addPage(boxes, PrintShopPdf::cardTexts(card, {}),
                                 [&](QPainter &painter) { PageRenderer::paintVector(painter, card, {}, 1.0); }));
    }
    QString error;
    QVERIFY2(document.finish(&error), qPrintable(error));

    QCOMPARE(PdfProbe::run("qpdf", {"--check", path}).count("No syntax or stream encoding errors"), 1);
    QCOMPARE(PdfProbe::info(path, "Title"), title);
    QCOMPARE(PdfProbe::info(path, "Creator"), QStringLiteral("Penlark"));
    QCOMPARE(PdfProbe::info(path, "Pages"), QStringLiteral("5"));
    const QString boxes = PdfProbe::run("pdfinfo", {"-f", "1", "-l", "5", "-box", path});
    const QRegularExpression trimBox(QStringLiteral("Page +(\\d) TrimBox: +([\\d.]+) +[\\d.]+ +([\\d.]+)"));
    int boxed = 0;
    for (const auto &m : trimBox.globalMatch(boxes)) {
        const double page = CardDocument::defaultCard().page.width / 20 + 10 * m.captured(1).toInt();
        QVERIFY(qAbs(m.captured(3).toDouble() - m.captured(2).toDouble() - (page - 17)) < 0.05);
        ++boxed;
    }
    QCOMPARE(boxed, 5);
    const QStringList pages = PdfProbe::drawnText(path).split(u'\f');
    QCOMPARE(pages.size(), 6);
    for (int i = 0; i < 5; ++i) {
        const QString name = i == 0 ? QStringLiteral("卡1234") : QStringLiteral("卡%1").arg(i);
        QVERIFY2(pages[i].startsWith(name + u'\n') && pages[i].contains(QStringLiteral("\n无民青禾文手网\n")),
                 qPrintable(pages[i]));
    }
    // Each part embeds its own subsets, under tags of their own.
    QStringList fonts;
    for (const QString &line : PdfProbe::run("pdffonts", {path}).split(u'\n', Qt::SkipEmptyParts).mid(2))
        fonts << line.section(u' ', 0, 0);
    QCOMPARE(fonts.size() % 3, 0);
    QCOMPARE(fonts.removeDuplicates(), 0);
}

QTEST_MAIN(TestPrintShopPdf)
#include "test_printshoppdf.moc"
