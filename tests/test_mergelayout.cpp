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
#include <QProcess>
#include <QTest>

namespace {

struct Merged {
    CardDocument card;
    PageView view;
    std::vector<CardMerge::TextProblem> problems;

    QRectF box(TextRole role) const { return PageObjects::box(card, view, int(role)); }
    float size(TextRole role) const { return card.text(role).FontSize; }
};

Merged merge(const CardDocument &templateCard, const QStringList &header, const QStringList &row)
{
    Merged m{templateCard, {}, {}};
    TextFit::restoreBlocks(m.card, m.view);
    CardMerge::applyRow(*CardMerge::mapColumns(header), row, m.card, m.view, &m.problems);
    return m;
}

// The blue sample card, whose address shares its line with the postcode.
CardDocument blueSample()
{
    CardDocument card = CardDocument::defaultCard();
    PageView view;
    const auto picture = [](const QString &) { return CardReader::Picture(QImage(1, 1, QImage::Format_RGB32)); };
    CardReader::read(CardReader::valuesOf(IniStore::load(QStringLiteral(PENLARK_PROGRAM_SOURCE "/mycard/示例名片/商务蓝.pnk"))),
                     {picture, picture, picture}, card, view);
    return card;
}

// The box a template's text would have at its place with another caption and size.
QRectF boxAt(const CardDocument &templateCard, TextRole role, const QString &caption, float size)
{
    CardText text = templateCard.text(role);
    text.caption = caption;
    text.FontSize = size;
    return {QPointF(text.Left, text.Top), TextLayout::naturalSize(text)};
}

// Texts side by side count as covering each other closer than 1 mm.
bool near(const QRectF &a, const QRectF &b) { return a.adjusted(-56.7, 0, 56.7, 0).intersects(b); }

constexpr double kTrimRight = 5443 - 170;

} // namespace

class TestMergeLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    // A four-character name and an e-mail that run past the right trim line
    // rest on it at their own size, as a drag leaves them; a longer e-mail that
    // then runs into the mobile number is set smaller until 1 mm clear of it.
    void textsPastTheEdgeRestOnTheTrimLine()
    {
        const CardDocument card = CardDocument::defaultCard();
        const Merged m = merge(card, {"姓名", "E-mail"}, {"欧阳娜娜", "wangwei@qinghe-culture.cn"});
        QVERIFY(m.problems.empty());
        for (const TextRole role : {TextRole::Name, TextRole::Email}) {
            QCOMPARE(m.size(role), card.text(role).FontSize);
            QCOMPARE(m.card.text(role).Top, card.text(role).Top);
            QVERIFY(card.text(role).Left + m.box(role).width() > kTrimRight);
            QCOMPARE(m.box(role).right(), kTrimRight);
        }
        const Merged longer = merge(card, {"E-mail"}, {"wangwei.zhang@qinghe-culture.cn"});
        QVERIFY(longer.size(TextRole::Email) < 9);
        QVERIFY(!near(longer.box(TextRole::Email), longer.box(TextRole::Mobile)));
        QCOMPARE(longer.box(TextRole::Email).right(), kTrimRight);
        // A text that fits stays as the template has it.
        CardText name = card.text(TextRole::Name);
        name.caption = QStringLiteral("王伟");
        QVERIFY(merge(card, {"姓名"}, {name.caption}).card.text(TextRole::Name) == name);
    }

    // An address that reaches the postcode is set smaller in half points, at
    // the largest size that clears it; one that covers it even at three
    // quarters of its size ends there (7.5 points of 10) and the pair is named
    // once, though both texts are merged.
    void anAddressOverThePostcodeIsSetSmaller()
    {
        const CardDocument card = blueSample();
        const QRectF postcode = boxAt(card, TextRole::Postcode, card.text(TextRole::Postcode).caption, 9);
        const QString address = QStringLiteral("地址：北京市海淀区知春路56号青禾大厦A座");
        QVERIFY(near(boxAt(card, TextRole::Address, address, 9), postcode));
        const Merged m = merge(card, {"地址"}, {address});
        QVERIFY(m.problems.empty());
        const float size = m.size(TextRole::Address);
        QVERIFY2(size < 9 && size >= 6.75f && std::fmod(9 - size, 0.5f) == 0, qPrintable(QString::number(size)));
        QVERIFY(!near(m.box(TextRole::Address), postcode));
        QVERIFY(near(boxAt(card, TextRole::Address, address, size + 0.5f), postcode));
        QCOMPARE(m.card.text(TextRole::Address).Left, card.text(TextRole::Address).Left);

        CardDocument larger = CardDocument::defaultCard();
        larger.text(TextRole::Address).FontSize = 10;
        const Merged tooLong = merge(larger, {"地址", "邮编"}, {"北京市海淀区知春路56号青禾智联科技园区三号楼东座十二层", "100083"});
        QCOMPARE(tooLong.size(TextRole::Address), 7.5f);
        const CardMerge::TextProblem covers{CardMerge::TextProblem::Kind::Overlap, std::size_t(TextRole::Address),
                                            std::size_t(TextRole::Postcode)};
        QCOMPARE(tooLong.problems, std::vector<CardMerge::TextProblem>{covers});
    }

    // Only what the row brings counts: texts that covered each other on the
    // template, and texts the row hides, are left alone.
    void onlyNewCoveringCounts()
    {
        CardDocument card = CardDocument::defaultCard();
        const QString address = QStringLiteral("北京市海淀区学院路38号青禾文化传播大厦东座");
        QVERIFY(merge(card, {"地址", "邮编"}, {address, "100083"}).size(TextRole::Address) < 9);
        const Merged hidden = merge(card, {"地址", "邮编"}, {address, ""});
        QCOMPARE(hidden.size(TextRole::Address), 9.f);
        QVERIFY(hidden.problems.empty());
        card.text(TextRole::Postcode).Left = 1500; // over the address already
        const Merged covered = merge(card, {"地址"}, {address});
        QCOMPARE(covered.size(TextRole::Address), 9.f);
        QVERIFY(covered.problems.empty());
    }

    // The back is placed against the template's back, whose blocks are restored as the front's.
    void theBackIsPlacedAsTheFront()
    {
        CardDocument card = CardDocument::defaultCard();
        card.addBack();
        card.otherSide->text(TextRole::Company).caption = QStringLiteral("Beijing Qinghe Culture Communication Co., Ltd.");
        const Merged m = merge(card, {"back:cName"}, {"Wang Wei"});
        QVERIFY(m.view.otherSide->textBlocks[std::size_t(TextRole::Company)]); // two lines
        const CardText &name = m.card.otherSide->text(TextRole::Name);
        QCOMPARE(std::tuple(name.caption, name.Left, name.Top, name.FontSize), std::tuple("Wang Wei", 600.f, 900.f, 16.f));
    }

    // A 100 mm card fits twice across A4, but once with the slug cut marks take
    // on either side (the 96 mm default card still twice); a 250 mm card not at all.
    void sheetsHoldWhatStaysOnThePage()
    {
        CardDocument card = CardDocument::defaultCard();
        card.page.width = float(Numeric::mmToTwips(100));
        QCOMPARE(MergeOutputs::largestSheet(card, false, false).across, 2);
        QCOMPARE(MergeOutputs::largestSheet(card, false, true).across, 1);
        QCOMPARE(MergeOutputs::largestSheet(card, false, true).down, 4);
        QCOMPARE(MergeOutputs::largestSheet(CardDocument::defaultCard(), false, true).across, 2);
        card.page.width = float(Numeric::mmToTwips(250));
        QCOMPARE(MergeOutputs::largestSheet(card, true, false).across, 0);
    }

    // penlark-card merge refuses blocks that run off the A4 page, and lists rows
    // whose texts do not fit the card, which --strict makes bad rows.
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
        QProcess p;
        const auto merge = [&](const QString &output, const QStringList &extra) {
            p.start(QStringLiteral(PENLARK_CARD_EXE), QStringList{"merge", card, csv, "-o", output} + extra);
            p.waitForFinished(60000);
            return p.exitCode();
        };
        const QString pdf = dir.filePath(QStringLiteral("a4.pdf"));
        QCOMPARE(merge(pdf, {"--across", "9", "--down", "9"}), 2);
        QCOMPARE(p.readAllStandardError(), "penlark-card: a block of 9 x 9 cards does not fit the A4 page; the largest "
                                           "that fits is 2 x 4 (2 x 5 with --trim); nothing written\n");
        QVERIFY(!QFile::exists(pdf));

        QCOMPARE(merge(pdf, {"--across", "2", "--down", "5", "--trim"}), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 "penlark-card: " + csv + ": warning: line 3, column 2 (地址): the text covers 邮编\n");
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                 "made 3 cards in " + pdf + "; 1 of them with texts that do not fit the card (listed above; --strict "
                                            "refuses them)\n");
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Pages")), "1");

        const QString folder = dir.filePath(QStringLiteral("out"));
        QCOMPARE(merge(folder, {"--strict"}), 1);
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(merge(folder, {"--strict", "--skip-bad"}), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), "made 2 cards in " + folder + "\n");
        QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"张三.pnk", "王伟.pnk"}));

        // Lines in two encodings: the tool names the line and both encodings.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("姓名,地址\r\n").toUtf8() + QByteArray("\xcd\xf5\xce\xb0,a\r\n\xc0\xee\xc4\xc8,b\r\n"));
        file.close();
        QCOMPARE(merge(dir.filePath(QStringLiteral("out2")), {}), 1);
        QVERIFY(p.readAllStandardError().contains(": line 1: UTF-8 text in a table that is otherwise GBK"));
        // A portrait card fits 3 x 3 whether trimmed or not: no --trim hint.
        IniFile ini = IniStore::load(card);
        ini.setValue(QStringLiteral("cPage"), QStringLiteral("width"), QStringLiteral("3402"));
        ini.setValue(QStringLiteral("cPage"), QStringLiteral("height"), QStringLiteral("5443"));
        QVERIFY(IniStore::save(card, ini));
        QCOMPARE(merge(pdf, {"--across", "9", "--down", "9"}), 2);
        QCOMPARE(p.readAllStandardError(), "penlark-card: a block of 9 x 9 cards does not fit the A4 page; the largest "
                                           "that fits is 3 x 3; nothing written\n");
    }
};

QTEST_MAIN(TestMergeLayout)
#include "test_mergelayout.moc"
