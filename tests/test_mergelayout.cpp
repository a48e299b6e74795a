#include "merge/CardMerge.h"
#include "merge/MergeRun.h"
#include "model/CardReader.h"
#include "model/IniFile.h"
#include "model/Numeric.h"
#include "render/Fonts.h"
#include "render/PageObjects.h"
#include "render/TextFit.h"
#include "render/TextLayout.h"
#include "support/PdfProbe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Kind = CardMerge::TextProblem::Kind;

CardReader::Picture anyPicture(const QString &) { return QImage(1, 1, QImage::Format_RGB32); }

// A sample card of the program folder, read as the designer reads it.
CardDocument sampleCard(const QString &name)
{
    const QString path = QStringLiteral(PENLARK_PROGRAM_SOURCE "/mycard/示例名片/%1.pnk").arg(name);
    CardDocument card = CardDocument::defaultCard();
    PageView view;
    CardReader::read(CardReader::valuesOf(IniStore::load(path)), {anyPicture, anyPicture, anyPicture}, card, view);
    return card;
}

struct Merged {
    CardDocument card;
    PageView view;
    std::vector<CardMerge::TextProblem> problems;
};

Merged merge(const CardDocument &templateCard, const QStringList &header, const QStringList &row)
{
    Merged m{templateCard, {}, {}};
    TextFit::restoreBlocks(m.card, m.view);
    const auto columns = CardMerge::mapColumns(header);
    if (CardMerge::applyRow(*columns, row, m.card, m.view, &m.problems)) qFatal("a row too long");
    return m;
}

QRectF box(const Merged &m, TextRole role) { return PageObjects::box(m.card, m.view, int(role)); }

// The box a text of the template would have with another caption and size, where the template has it.
QRectF boxAt(const CardDocument &templateCard, TextRole role, const QString &caption, float size)
{
    CardText text = templateCard.text(role);
    text.caption = caption;
    text.FontSize = size;
    return {QPointF(text.Left, text.Top), TextLayout::naturalSize(text)};
}

constexpr double kTrimRight = 5443 - 170;

// Texts side by side count as covering each other closer than 1 mm.
bool near(const QRectF &a, const QRectF &b) { return a.adjusted(-56.7, 0, 56.7, 0).intersects(b); }

} // namespace

class TestMergeLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    // A name or an e-mail that runs past the right trim line is moved in to
    // rest on it, as a drag leaves it, at its own size.
    void textsPastTheEdgeRestOnTheTrimLine()
    {
        const CardDocument card = CardDocument::defaultCard();
        const QString email = QStringLiteral("wangwei@qinghe-culture.cn");
        const Merged m = merge(card, {"姓名", "E-mail"}, {QStringLiteral("欧阳娜娜"), email});
        QVERIFY(m.problems.empty());
        for (const TextRole role : {TextRole::Name, TextRole::Email}) {
            const CardText &text = m.card.text(role);
            QCOMPARE(text.FontSize, card.text(role).FontSize);
            QCOMPARE(text.Top, card.text(role).Top);
            QVERIFY2(card.text(role).Left + TextLayout::naturalSize(text).width() > kTrimRight, "did not cross");
            QCOMPARE(box(m, role).right(), kTrimRight);
        }
        // A longer one then runs into the mobile number on its line: it is set
        // smaller until it stands 1 mm clear of it, still on the trim line.
        const Merged longer = merge(card, {"E-mail"}, {QStringLiteral("wangwei.zhang@qinghe-culture.cn")});
        QVERIFY(longer.card.text(TextRole::Email).FontSize < 9);
        QVERIFY(!near(box(longer, TextRole::Email), box(longer, TextRole::Mobile)));
        QCOMPARE(box(longer, TextRole::Email).right(), kTrimRight);
        // A text that fits stays where the template has it.
        CardText name = card.text(TextRole::Name);
        name.caption = QStringLiteral("王伟");
        QVERIFY(merge(card, {"姓名"}, {name.caption}).card.text(TextRole::Name) == name);
    }

    // On the blue sample the address shares its line with the postcode: an
    // address that reaches the postcode is set smaller in half points, at the
    // largest size that clears it.
    void anAddressOverThePostcodeIsSetSmaller()
    {
        const CardDocument card = sampleCard(QStringLiteral("商务蓝"));
        const QRectF postcode = boxAt(card, TextRole::Postcode, card.text(TextRole::Postcode).caption, 9);
        const QString address = QStringLiteral("北京市海淀区知春路56号青禾大厦A座");
        QVERIFY(boxAt(card, TextRole::Address, "地址：" + address, 9).intersects(postcode));
        const Merged m = merge(card, {"地址"}, {address});
        QVERIFY(m.problems.empty());
        const float size = m.card.text(TextRole::Address).FontSize;
        QVERIFY2(size < 9 && size >= 6.75f && std::fmod(9 - size, 0.5f) == 0, qPrintable(QString::number(size)));
        QVERIFY(!near(box(m, TextRole::Address), postcode));
        QVERIFY(near(boxAt(card, TextRole::Address, "地址：" + address, size + 0.5f), postcode));
        QCOMPARE(m.card.text(TextRole::Address).Left, card.text(TextRole::Address).Left);

        // One that covers it even at three quarters of its size ends at the
        // smallest step, 7 points, and is named with what it covers.
        const QString longer = QStringLiteral("北京市海淀区知春路56号青禾智联科技园区三号楼东座十二层");
        const Merged tooLong = merge(card, {"姓名", "地址"}, {QStringLiteral("王伟"), longer});
        QCOMPARE(tooLong.card.text(TextRole::Address).FontSize, 7.f);
        QVERIFY(!tooLong.problems.empty());
        QCOMPARE(tooLong.problems.front(), (CardMerge::TextProblem{Kind::Overlap, std::size_t(TextRole::Address),
                                                                   std::size_t(TextRole::Postcode)}));
        for (const auto &p : tooLong.problems) QCOMPARE(p.text, std::size_t(TextRole::Address));
    }

    // Only what the row brings counts: texts that covered each other on the
    // template, and texts the row hides, are left alone.
    void onlyNewCoveringCounts()
    {
        CardDocument card = CardDocument::defaultCard();
        card.text(TextRole::Postcode).Left = 1500; // over the address already
        const QString address = QStringLiteral("北京市海淀区学院路38号青禾大厦");
        const Merged covered = merge(card, {"地址"}, {address});
        QCOMPARE(covered.card.text(TextRole::Address).FontSize, 9.f);
        QVERIFY(covered.problems.empty());

        const QString reaching = QStringLiteral("北京市海淀区学院路38号青禾文化传播大厦东座");
        const Merged shown = merge(CardDocument::defaultCard(), {"地址", "邮编"}, {reaching, "100083"});
        QVERIFY(shown.card.text(TextRole::Address).FontSize < 9);
        const Merged hidden = merge(CardDocument::defaultCard(), {"地址", "邮编"}, {reaching, ""});
        QCOMPARE(hidden.card.text(TextRole::Address).FontSize, 9.f);
        QVERIFY(!hidden.card.text(TextRole::Postcode).visible);
    }

    // A 100 mm card fits twice across an A4 sheet, but not with the slug that
    // cut marks take on either side; nor once in a sheet when 250 mm wide.
    void sheetsHoldWhatStaysOnThePage()
    {
        CardDocument card = CardDocument::defaultCard();
        card.page.width = float(Numeric::mmToTwips(100));
        QCOMPARE(MergeOutputs::largestSheet(card, false, false).across, 2);
        QCOMPARE(MergeOutputs::largestSheet(card, false, true).across, 1);
        QCOMPARE(MergeOutputs::largestSheet(card, false, true).down, 4);
        card.page.width = float(Numeric::mmToTwips(250));
        QCOMPARE(MergeOutputs::largestSheet(card, true, false).across, 0);
    }

    // Blocks of cards that run off the A4 page, and rows whose texts do not fit
    // the card, as penlark-card merge reports them.
    void toolRefusesWhatDoesNotFit()
    {
        QTemporaryDir dir;
        const QString card = dir.filePath(QStringLiteral("t.pnk"));
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"new", card}), 0);
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("姓名,地址\r\n王伟,学院路38号\r\n李娜,北京市海淀区学院路三十八号青禾文化大厦东座十二层一二零八室\r\n"
                                  "张三,学院路\r\n").toUtf8());
        file.close();
        struct Run {
            int status;
            QString out;
            QString err;
        };
        const auto merge = [&](const QString &output, const QStringList &extra) {
            QProcess p;
            p.start(QStringLiteral(PENLARK_CARD_EXE), QStringList{"merge", card, csv, "-o", output} + extra);
            p.waitForFinished(60000);
            return Run{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
        };
        const QString pdf = dir.filePath(QStringLiteral("a4.pdf"));
        const Run nine = merge(pdf, {"--across", "9", "--down", "9"});
        QCOMPARE(nine.status, 2);
        QCOMPARE(nine.err, "penlark-card: a block of 9 x 9 cards does not fit the A4 page; the largest that fits is "
                           "2 x 4 (2 x 5 with --trim); nothing written\n");
        QVERIFY(!QFile::exists(pdf));

        const QString unfit = "penlark-card: " + csv + ": warning: line 3, column 2 (地址): the text covers ";
        const Run warned = merge(pdf, {"--across", "2", "--down", "5", "--trim"});
        QCOMPARE(warned.status, 0);
        QCOMPARE(warned.err, unfit + "邮编\n");
        QCOMPARE(warned.out, "made 3 cards in " + pdf + "; 1 of them with texts that do not fit the card "
                                                        "(listed above; --strict refuses them)\n");
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Pages")), "1");

        const QString folder = dir.filePath(QStringLiteral("out"));
        const Run strict = merge(folder, {"--strict"});
        QCOMPARE(strict.status, 1);
        QVERIFY(!QFileInfo::exists(folder));
        const Run skipped = merge(folder, {"--strict", "--skip-bad"});
        QCOMPARE(skipped.status, 0);
        QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"张三.pnk", "王伟.pnk"}));
    }
};

QTEST_MAIN(TestMergeLayout)
#include "test_mergelayout.moc"
