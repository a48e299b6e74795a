#include "model/CardFile.h"
#include "model/CardReader.h"
#include "model/Numeric.h"
#include "model/IniFile.h"

#include <QStringEncoder>
#include <algorithm>
#include <QTest>

namespace {

// The default card as a save writes it, before encoding.
const char *kDefaultCardText =
    "[cPage]\nwidth=5443\nheight=3402\nisBg=0\nbgColor=16777215\nbgImg=\njbColor1=16777215\n"
    "jbColor2=16777215\njbJiaoDu=0\n"
    "[cLogo]\nimg=\nwidth=1020\nheight=1020\nleft=555\ntop=375\nvisible=True\n"
    "[cLine]\nwidth=4965\nheight=56.7\nleft=240\ntop=2100\nbgColor=0\nvisible=True\n"
    "[cName]\ncaption=李明\nFont=宋体\nFontBold=True\nFontItalic=False\nFontSize=18\nForeColor=0\n"
    "Left=4440\nTop=300\nvisible=True\n"
    "[cJob]\ncaption=无业游民\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\nForeColor=0\n"
    "Left=4470\nTop=750\nvisible=True\n"
    "[cCmp]\ncaption=北京青禾文化传播有限公司\nFont=宋体\nFontBold=True\nFontItalic=True\nFontSize=18\n"
    "ForeColor=0\nLeft=210\nTop=1680\nvisible=True\n"
    "[cADD]\ncaption=地址：北京市海淀区学院路38号\nFont=宋体\nFontBold=False\nFontItalic=False\n"
    "FontSize=9\nForeColor=0\nLeft=240\nTop=2220\nvisible=True\n"
    "[cPC]\ncaption=邮编：100083\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\nForeColor=0\n"
    "Left=4110\nTop=2220\nvisible=True\n"
    "[cTEL]\ncaption=电话：010-62345678\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\n"
    "ForeColor=0\nLeft=240\nTop=2490\nvisible=True\n"
    "[cFAX]\ncaption=传真：62345679\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\nForeColor=0\n"
    "Left=3930\nTop=2490\nvisible=True\n"
    "[cMob]\ncaption=手机：13912345678\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\n"
    "ForeColor=0\nLeft=240\nTop=2730\nvisible=True\n"
    "[cEmail]\ncaption=E-mail：li@qinghe.cn\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\n"
    "ForeColor=0\nLeft=3210\nTop=2730\nvisible=True\n"
    "[cUrl]\ncaption=网址：http://www.qinghe.cn\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\n"
    "ForeColor=0\nLeft=240\nTop=2970\nvisible=True\n"
    "[cQQ]\ncaption=QQ：12345678\nFont=宋体\nFontBold=False\nFontItalic=False\nFontSize=9\nForeColor=0\n"
    "Left=4020\nTop=2970\nvisible=True\n";

QByteArray asGbkWithCrlf(const char *utf8)
{
    QString text = QString::fromUtf8(utf8);
    text.replace(u'\n', QStringLiteral("\r\n"));
    QStringEncoder gbk("GBK");
    return gbk.encode(text);
}

QByteArray saved(const CardDocument &doc)
{
    IniFile ini;
    CardFile::write(doc, ini);
    return ini.toBytes();
}

// Pictures that are always there, or never.
QImage anyPicture(const QString &) { return QImage(1, 1, QImage::Format_RGB32); }
QImage noPicture(const QString &) { return {}; }
const CardReader::PictureSource kAllPictures{anyPicture, anyPicture, anyPicture};
const CardReader::PictureSource kNoPictures{noPicture, noPicture, noPicture};

// A card file read onto the default card, every picture it names present.
CardDocument readCard(const IniFile &ini)
{
    CardDocument doc = CardDocument::defaultCard();
    PageView view;
    CardReader::read(CardReader::valuesOf(ini), kAllPictures, doc, view);
    return doc;
}

CardDocument reread(const CardDocument &doc)
{
    return readCard(IniFile::fromBytes(saved(doc)));
}

// A card in which every field differs from the default card.
CardDocument everyFieldChanged()
{
    CardDocument d;
    d.page = {7144, 2608.2f, BackgroundKind::Gradient, 255, QString(), -2147483643, 65280,
              QStringLiteral("-45")};
    d.logo = {QStringLiteral("公司\\标志 1.bmp"), 10.5f, 1417.5f, -20, 0.25f, false};
    d.line = {56.7f, 4965, 170, 3000.5f, 16711680, false};
    for (std::size_t i = 0; i < kTextCount; ++i)
        d.texts[i] = {QStringLiteral("文字%1 \"引号\" = ;x").arg(i), QStringLiteral("楷体_GB2312"),
                      i % 2 == 0, i % 3 == 0, 10.5f + float(i), Colour::Value(i * 1000),
                      float(i * 100) + 0.5f, 5443.2f, i % 2 == 1};
    return d;
}

} // namespace

class TestCardFile : public QObject
{
    Q_OBJECT
private slots:
    void hasTheKeysInWritingOrder();
    void savesTheDefaultCardByteForByte();
    void roundTripsEveryFieldKind();
    void roundTripsLongAndAwkwardCaptions();
    void readsKeysInAnyLetterCase();
    void fallsBackToTheDefaultCard();
    void readsLengthsOnlyWithinWhatACardHolds_data();
    void readsLengthsOnlyWithinWhatACardHolds();
    void readsBackgroundKindsAsCompared_data();
    void readsBackgroundKindsAsCompared();
    void readsColoursSignedOrUnsigned();
    void derivesTheStoredBackground();
    void readsKeysInTheDesignersOrder();
    void keepsFieldsTheBackgroundKindDoesNotUse();
    void turnsAMissingBackgroundIntoAWhitePage();
    void keepsTheReferenceOfAMissingLogo();
    void keepsTheQrCodeInASectionOfItsOwn();
    void keepsTheBackInSectionsAfterTheFront();
};

void TestCardFile::hasTheKeysInWritingOrder()
{
    const auto &keys = CardFile::keys();
    QCOMPARE(keys.size(), std::size_t(119));
    QStringList sections;
    for (const auto &k : keys)
        if (sections.isEmpty() || sections.last() != k.section) sections << k.section;
    QCOMPARE(sections, (QStringList{"cPage", "cLogo", "cLine", "cName", "cJob", "cCmp", "cADD", "cPC",
                                    "cTEL", "cFAX", "cMob", "cEmail", "cUrl", "cQQ"}));
}

void TestCardFile::savesTheDefaultCardByteForByte()
{
    QCOMPARE(saved(CardDocument::defaultCard()), asGbkWithCrlf(kDefaultCardText));
}

void TestCardFile::roundTripsEveryFieldKind()
{
    // A gradient card's page colour is not read: it keeps the value beneath.
    const CardDocument doc = everyFieldChanged();
    CardDocument expected = doc;
    expected.page.bgColor = CardDocument::defaultCard().page.bgColor;
    QCOMPARE(reread(doc), expected);
    QCOMPARE(reread(CardDocument::defaultCard()), CardDocument::defaultCard());
    // Saving over an existing file replaces every value where it stands.
    IniFile ini = IniFile::fromBytes(saved(CardDocument::defaultCard()));
    CardFile::write(doc, ini);
    QCOMPARE(readCard(ini), expected);
    QCOMPARE(ini.toBytes().count('\n'), 119 + 14);
}

void TestCardFile::roundTripsLongAndAwkwardCaptions()
{
    CardDocument doc = CardDocument::defaultCard();
    const QString hundred = QString(100, QChar(0x540D));   // 200 bytes in GBK
    const QString sixtyFour = QString(64, QChar(0x540D));  // 128 bytes in GBK
    const QString ascii127 = QString(127, u'x');
    doc.text(TextRole::Name).caption = hundred;
    doc.text(TextRole::Job).caption = sixtyFour;
    doc.text(TextRole::Company).caption = ascii127;
    doc.text(TextRole::Address).caption = QStringLiteral("\"ABC\"");
    doc.text(TextRole::Postcode).caption = QStringLiteral("   邮编：100083  ");
    doc.text(TextRole::Telephone).caption = QStringLiteral("电话：\r\n010");
    const CardDocument back = reread(doc);
    QCOMPARE(back.text(TextRole::Name).caption, hundred);
    QCOMPARE(back.text(TextRole::Job).caption, sixtyFour);
    QCOMPARE(back.text(TextRole::Company).caption, ascii127);
    QCOMPARE(back.text(TextRole::Address).caption, QStringLiteral("\"ABC\""));
    QCOMPARE(back.text(TextRole::Postcode).caption, QStringLiteral("邮编：100083"));
    QCOMPARE(back.text(TextRole::Telephone).caption, QStringLiteral("电话：  010"));
    QCOMPARE(back.text(TextRole::Fax), doc.text(TextRole::Fax));
}

void TestCardFile::readsKeysInAnyLetterCase()
{
    const QByteArray file = asGbkWithCrlf("[CPAGE]\nWIDTH=6000\nIsBg=0\n[clogo]\nVISIBLE=false\n"
                                          "[cname]\nCAPTION=王磊\nfont=黑体\nfontbold=FALSE\n"
                                          "LEFT=100\nTOP=200\nFONTSIZE=12\n");
    const CardDocument doc = readCard(IniFile::fromBytes(file));
    QCOMPARE(doc.page.width, 6000.0f);
    QCOMPARE(doc.logo.visible, false);
    const CardText &name = doc.text(TextRole::Name);
    QCOMPARE(name.caption, QStringLiteral("王磊"));
    QCOMPARE(name.Font, QStringLiteral("黑体"));
    QCOMPARE(name.FontBold, false);
    QCOMPARE(name.Left, 100.0f);
    QCOMPARE(name.Top, 200.0f);
    QCOMPARE(name.FontSize, 12.0f);
}

void TestCardFile::fallsBackToTheDefaultCard()
{
    const CardDocument def = CardDocument::defaultCard();
    QCOMPARE(readCard(IniFile()), def);
    const QByteArray file = asGbkWithCrlf("[cPage]\nwidth=abc\nheight=1e400\nbgColor=white\n"
                                          "[cLogo]\nvisible=yes\nleft=\ntop= 12 \n"
                                          "[cLine]\nbgColor=99999999999\n"
                                          "[cJob]\nFontSize=9pt\ncaption=\n");
    const CardDocument doc = readCard(IniFile::fromBytes(file));
    QCOMPARE(doc.page.width, def.page.width);
    QCOMPARE(doc.page.height, def.page.height);
    QCOMPARE(doc.page.bgColor, def.page.bgColor);
    QCOMPARE(doc.logo.visible, def.logo.visible);
    QCOMPARE(doc.logo.left, def.logo.left);
    QCOMPARE(doc.logo.top, 12.0f);
    QCOMPARE(doc.line.bgColor, def.line.bgColor);
    QCOMPARE(doc.text(TextRole::Job).FontSize, def.text(TextRole::Job).FontSize);
    QCOMPARE(doc.text(TextRole::Job).caption, QString()); // an empty caption is a caption
    QCOMPARE(doc.text(TextRole::Name), def.text(TextRole::Name));
}

void TestCardFile::readsLengthsOnlyWithinWhatACardHolds_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("reported"); // as out of range; a value that is no single is only malformed
    // Page sides of 10 to 1000 mm (567 to 56700 twips).
    QTest::newRow("page 100000") << "cPage" << "width" << "100000" << false << true;
    QTest::newRow("page 1e39") << "cPage" << "width" << "1e39" << false << false;
    QTest::newRow("page 3e38") << "cPage" << "height" << "3e38" << false << true;
    QTest::newRow("page 99999999999") << "cPage" << "height" << "99999999999" << false << true;
    QTest::newRow("page 566") << "cPage" << "width" << "566" << false << true;
    QTest::newRow("page negative") << "cPage" << "height" << "-3402" << false << true;
    QTest::newRow("page 567") << "cPage" << "width" << "567" << true << false;
    QTest::newRow("page 56700") << "cPage" << "height" << "56700" << true << false;
    QTest::newRow("page 126 mm") << "cPage" << "width" << "7144" << true << false;
    // On the 5443 x 3402 page: positions from two sides before to three after,
    // sizes up to three sides.
    QTest::newRow("text far right") << "cName" << "Left" << "16330" << false << true;
    QTest::newRow("text right of the page") << "cName" << "Left" << "16329" << true << false;
    QTest::newRow("text far above") << "cName" << "Top" << "-6805" << false << true;
    QTest::newRow("text above the page") << "cName" << "Top" << "-6804" << true << false;
    QTest::newRow("logo 1e30 wide") << "cLogo" << "width" << "1e30" << false << true;
    QTest::newRow("logo negative height") << "cLogo" << "height" << "-1" << false << true;
    QTest::newRow("line three pages high") << "cLine" << "height" << "10206" << true << false;
    QTest::newRow("line too long") << "cLine" << "width" << "16330" << false << true;
    QTest::newRow("font 2000 points") << "cJob" << "FontSize" << "2000" << false << true;
    QTest::newRow("font 72 points") << "cJob" << "FontSize" << "72" << true << false;
}

// A length outside what a card can hold is malformed: it takes the default
// card's value and is reported, named by section and key.
void TestCardFile::readsLengthsOnlyWithinWhatACardHolds()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, kept);
    QFETCH(bool, reported);
    CardDocument card = CardDocument::defaultCard();
    IniFile ini;
    CardFile::write(card, ini);
    ini.setValue(section, key, value);
    PageView view;
    const auto problems = CardReader::read(CardReader::valuesOf(ini), kAllPictures, card, view);
    const CardFile::Key *k = CardFile::findKey(section, key);
    const float read = *std::get<float *>(k->field(card));
    CardDocument def = CardDocument::defaultCard();
    const float fallback = *std::get<float *>(k->field(def));
    QCOMPARE(read, kept ? float(Numeric::parseNumber(value).value()) : fallback);
    const CardReader::Problem problem{CardReader::Problem::Kind::OutOfRange, k->section + u'\\' + k->name};
    QCOMPARE(int(std::count(problems.begin(), problems.end(), problem)), reported ? 1 : 0);
}

void TestCardFile::readsBackgroundKindsAsCompared_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("kind");
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("1") << "1" << 1;
    QTest::newRow("2") << "2" << 2;
    QTest::newRow("3") << "3" << 3;
    QTest::newRow("above 3") << "7" << 3;
    QTest::newRow("2.5") << "2.5" << 3;
    QTest::newRow("negative") << "-1" << 1;
    QTest::newRow("0.5") << "0.5" << 1;
    QTest::newRow("not a number") << "x" << 0;
}

void TestCardFile::readsBackgroundKindsAsCompared()
{
    QFETCH(QString, stored);
    QFETCH(int, kind);
    IniFile ini;
    ini.setValue("cPage", "isBg", stored);
    QCOMPARE(int(readCard(ini).page.isBg), kind);
}

void TestCardFile::readsColoursSignedOrUnsigned()
{
    IniFile ini;
    ini.setValue("cPage", "bgColor", "-2147483643");
    QCOMPARE(readCard(ini).page.bgColor, Colour::Value(-2147483643));
    ini.setValue("cPage", "bgColor", "-2147483648");
    QCOMPARE(readCard(ini).page.bgColor, Colour::Value(-2147483647 - 1));
    ini.setValue("cPage", "isBg", "1");
    ini.setValue("cPage", "jbColor1", "4294967295");
    ini.setValue("cPage", "jbColor2", "-2147483649");
    const CardDocument doc = readCard(ini);
    QCOMPARE(doc.page.jbColor1, Colour::Value(-1));
    QCOMPARE(doc.page.jbColor2, CardDocument::defaultCard().page.jbColor2);
}

void TestCardFile::derivesTheStoredBackground()
{
    using K = BackgroundKind;
    struct Case { K kind; QString img; K option; bool remove; K stored; QString storedImg; };
    const QString lib = QStringLiteral("风景\\海.jpg");
    const Case cases[] = {
        {K::SolidColour, "", K::SolidColour, false, K::SolidColour, ""},
        {K::Gradient, "", K::SolidColour, false, K::Gradient, ""},
        {K::Gradient, "stale", K::SolidColour, true, K::Gradient, ""},
        {K::BuiltInImage, "4", K::SolidColour, false, K::BuiltInImage, "4"},
        {K::LibraryImage, lib, K::Gradient, false, K::LibraryImage, lib},
        {K::LibraryImage, lib, K::Gradient, true, K::Gradient, ""},
        {K::BuiltInImage, "4", K::SolidColour, true, K::SolidColour, ""},
    };
    for (const Case &c : cases) {
        CardDocument doc = CardDocument::defaultCard();
        doc.page.isBg = c.kind;
        doc.page.bgImg = c.img;
        CardFile::prepareForSave(doc, {c.option, c.remove});
        QCOMPARE(doc.page.isBg, c.stored);
        QCOMPARE(doc.page.bgImg, c.storedImg);
    }
}

void TestCardFile::readsKeysInTheDesignersOrder()
{
    QStringList asked;
    const auto values = [&asked](const QString &section, const QString &key) {
        asked << section + u'/' + key;
        return std::optional<QString>();
    };
    CardDocument doc = CardDocument::defaultCard();
    PageView view;
    CardReader::read(values, kAllPictures, doc, view);
    QCOMPARE(asked.mid(0, 16),
             (QStringList{"cPage/isBg", "cPage/bgImg", "cPage/width", "cPage/height", "cPage/bgColor", "cLogo/img",
                          "cLogo/width", "cLogo/height", "cLogo/left", "cLogo/top", "cLogo/visible",
                          "cLine/width", "cLine/height", "cLine/left", "cLine/top", "cLine/bgColor"}));
    QCOMPARE(asked.mid(17, 9), (QStringList{"cName/caption", "cName/ForeColor", "cName/font", "cName/FontBold",
                                            "cName/FontItalic", "cName/FontSize", "cName/left", "cName/top",
                                            "cName/visible"}));
    QCOMPARE(asked.size(), 17 + 11 * 9 + 4);
    QCOMPARE(asked[115], QStringLiteral("cQQ/visible"));
    // Then whether the card has a QR code.
    QCOMPARE(asked.mid(116), (QStringList{"cQR/visible", "cQR/left", "cQR/top", "cQR/size"}));
}

void TestCardFile::keepsFieldsTheBackgroundKindDoesNotUse()
{
    CardDocument shown = everyFieldChanged();
    PageView view;
    IniFile solid;
    solid.setValue("cPage", "isBg", "0");
    solid.setValue("cPage", "bgColor", "255");
    solid.setValue("cPage", "bgImg", "stale");
    solid.setValue("cPage", "jbColor1", "1");
    CardReader::read(CardReader::valuesOf(solid), kAllPictures, shown, view);
    QCOMPARE(shown.page.bgColor, Colour::Value(255));
    QCOMPARE(shown.page.bgImg, QString());
    QCOMPARE(shown.page.jbColor1, everyFieldChanged().page.jbColor1);
    QCOMPARE(shown.page.jbJiaoDu, QStringLiteral("-45"));
    QCOMPARE(view.colourOption, BackgroundKind::SolidColour);

    IniFile gradient;
    gradient.setValue("cPage", "isBg", "1");
    gradient.setValue("cPage", "bgColor", "0");
    gradient.setValue("cPage", "jbJiaoDu", "30");
    CardReader::read(CardReader::valuesOf(gradient), kAllPictures, shown, view);
    QCOMPARE(shown.page.bgColor, Colour::Value(255));
    QCOMPARE(shown.page.jbJiaoDu, QStringLiteral("30"));
    QCOMPARE(shown.page.jbColor1, CardDocument::defaultCard().page.jbColor1); // absent: the default's
    QCOMPARE(view.colourOption, BackgroundKind::Gradient);
}

void TestCardFile::turnsAMissingBackgroundIntoAWhitePage()
{
    using Kind = CardReader::Problem::Kind;
    for (const char *stored : {"2", "3"}) {
        CardDocument doc = everyFieldChanged(); // a gradient card was shown before
        PageView view;
        view.colourOption = BackgroundKind::Gradient;
        view.background = anyPicture({});
        IniFile ini;
        ini.setValue("cPage", "isBg", stored);
        ini.setValue("cPage", "bgImg", "风景\\海.jpg");
        const auto problems = CardReader::read(CardReader::valuesOf(ini), kNoPictures, doc, view);
        QCOMPARE(problems.size(), std::size_t(1));
        QCOMPARE(problems[0], (CardReader::Problem{Kind::MissingBackground, "风景\\海.jpg"}));
        QCOMPARE(doc.page.isBg, BackgroundKind::SolidColour);
        QCOMPARE(doc.page.bgColor, Colour::kWhite);
        QCOMPARE(doc.page.bgImg, QString());
        QCOMPARE(view.colourOption, BackgroundKind::SolidColour);
        QVERIFY(view.background.isNull());
        QCOMPARE(view.shownBackground(doc.page), BackgroundKind::SolidColour);
    }
}

void TestCardFile::keepsTheReferenceOfAMissingLogo()
{
    CardDocument doc = CardDocument::defaultCard();
    PageView view;
    view.logo = anyPicture({});
    view.logoInFront = true;
    IniFile ini;
    ini.setValue("cLogo", "img", "公司\\标志.bmp");
    ini.setValue("cLogo", "visible", "False");
    const auto problems = CardReader::read(CardReader::valuesOf(ini), kNoPictures, doc, view);
    QCOMPARE(problems, (std::vector<CardReader::Problem>{
                           {CardReader::Problem::Kind::MissingLogo, "公司\\标志.bmp"}}));
    QCOMPARE(doc.logo.img, QStringLiteral("公司\\标志.bmp"));
    QCOMPARE(doc.logo.visible, false);
    QVERIFY(view.logo.isNull());
    QVERIFY(!view.logoInFront);
}

QTEST_APPLESS_MAIN(TestCardFile)
#include "test_cardfile.moc"

void TestCardFile::keepsTheQrCodeInASectionOfItsOwn()
{
    CardDocument doc = CardDocument::defaultCard();
    doc.qrCode = CardQrCode{false, 4252.5f, 2211, 1191};
    const QByteArray withCode = saved(doc);
    QCOMPARE(withCode, asGbkWithCrlf(kDefaultCardText) + "[cQR]\r\nvisible=False\r\nleft=4252.5\r\ntop=2211\r\nsize=1191\r\n");
    QCOMPARE(reread(doc), doc);
    // Saving a card without a code over the file drops the section, so the code
    // does not come back; the file is the card without a code, byte for byte.
    IniFile ini = IniFile::fromBytes(withCode);
    CardFile::write(CardDocument::defaultCard(), ini);
    QCOMPARE(ini.toBytes(), asGbkWithCrlf(kDefaultCardText));
    IniFile between = IniFile::fromBytes("[cqr]\r\nsize=1191\r\n[other]\r\nkept=1\r\n");
    CardFile::write(CardDocument::defaultCard(), between);
    QVERIFY(between.toBytes().startsWith("[other]\r\nkept=1\r\n[cPage]\r\n"));

    // Missing and malformed values: a code of 18 mm, or of its own size, at the
    // bottom right; a size beyond the page's shorter side is out of range.
    const auto read = [](const QByteArray &section, std::vector<CardReader::Problem> *problems = nullptr) {
        CardDocument card = CardDocument::defaultCard();
        PageView view;
        const auto found = CardReader::read(CardReader::valuesOf(IniFile::fromBytes("[cQR]\r\n" + section)),
                                            kAllPictures, card, view);
        if (problems) *problems = found;
        return card.qrCode;
    };
    QCOMPARE(read("VISIBLE=true\r\n"), (CardQrCode{true, 5443 - 1021 - 170, 3402 - 1021 - 170, 1021}));
    QCOMPARE(read("size=1500\r\nleft=x\r\ntop=200\r\n"), (CardQrCode{true, 5443 - 1500 - 170, 200, 1500}));
    std::vector<CardReader::Problem> problems;
    QCOMPARE(read("size=3403\r\n", &problems)->size, 1021.0f);
    QCOMPARE(problems, (std::vector<CardReader::Problem>{{CardReader::Problem::Kind::OutOfRange, "cQR\\size"}}));
    QVERIFY(!read(QByteArray()));
}

void TestCardFile::keepsTheBackInSectionsAfterTheFront()
{
    const auto readWhole = [](const QByteArray &bytes, CardDocument doc = CardDocument::defaultCard()) {
        PageView view;
        CardReader::read(IniFile::fromBytes(bytes), kAllPictures, doc, view);
        return doc;
    };
    // A back with every field changed and a code, on a front with every field changed.
    CardDocument doc = everyFieldChanged();
    doc.page.bgColor = CardDocument::defaultCard().page.bgColor;
    CardDocument back = everyFieldChanged();
    // (A solid back's gradient fields are not read: they keep the front's.)
    back.page = doc.page;
    back.page.isBg = BackgroundKind::SolidColour;
    back.page.bgColor = 255;
    back.qrCode = CardQrCode{true, 300, 200, 1021};
    back.text(TextRole::Name).caption = QStringLiteral("Li Ming");
    doc.otherSide = static_cast<CardFace &>(back);
    CardDocument oneSided = doc;
    oneSided.removeBack();
    const QByteArray twoSided = saved(doc);
    // The front's sections are the one-sided card's bytes; the back follows.
    QVERIFY(twoSided.startsWith(saved(oneSided)));
    QVERIFY(twoSided.mid(saved(oneSided).size()).startsWith("[bPage]\r\nisBg=0\r\nbgColor=255\r\nbgImg=\r\n"));
    QVERIFY(twoSided.endsWith("[bQR]\r\nvisible=True\r\nleft=300\r\ntop=200\r\nsize=1021\r\n"));
    QCOMPARE(readWhole(twoSided), doc);
    // Saved while the back is shown, the file is the same; read, the front shows.
    QCOMPARE(saved(doc.showing(CardSide::Back)), twoSided);
    QCOMPARE(readWhole(twoSided, doc.showing(CardSide::Back)).shownSide, CardSide::Front);
    // The page size is the card's; the back's sections do not hold it.
    QVERIFY(!IniFile::fromBytes(twoSided).value(u"bPage", u"width"));
    // Saving the card without its back over the file drops every section of it.
    IniFile ini = IniFile::fromBytes(twoSided);
    CardFile::write(oneSided, ini);
    QCOMPARE(ini.toBytes(), saved(oneSided));
    // A back's length out of range is named by the back's section.
    QByteArray bad = twoSided;
    bad.replace("[bName]\r\ncaption=Li Ming", "[bName]\r\ncaption=Li Ming\r\nFontSize=9999");
    PageView view;
    CardDocument card;
    const auto problems = CardReader::read(IniFile::fromBytes(bad), kAllPictures, card, view);
    QCOMPARE(problems.size(), std::size_t(1));
    QCOMPARE(problems[0].reference, QStringLiteral("bName\\FontSize"));
    // The new back: the front's background, only name, title and company shown.
    CardDocument added = CardDocument::defaultCard();
    added.page.isBg = BackgroundKind::Gradient;
    added.addBack();
    CardDocument plain = CardDocument::defaultCard();
    plain.page.isBg = BackgroundKind::Gradient;
    QCOMPARE(added.face(CardSide::Front), plain.face(CardSide::Front));
    const CardFace newBack = added.face(CardSide::Back);
    QCOMPARE(newBack.page, added.page);
    QVERIFY(!newBack.logo.visible && !newBack.line.visible && !newBack.qrCode);
    for (std::size_t i = 0; i < kTextCount; ++i) QCOMPARE(newBack.texts[i].visible, i < 3);
}
