#include "model/CardDocument.h"

#include "model/Numeric.h"

namespace {

struct DefaultText {
    const char16_t *caption;
    float left, top;
    bool bold, italic;
    float size;
};

// Sample texts of the default card, in role order.
constexpr std::array<DefaultText, kTextCount> kDefaultTexts{{
    {u"李明", 4440, 300, true, false, 18},
    {u"无业游民", 4470, 750, false, false, 9},
    {u"北京青禾文化传播有限公司", 210, 1680, true, true, 18},
    {u"地址：北京市海淀区学院路38号", 240, 2220, false, false, 9},
    {u"邮编：100083", 4110, 2220, false, false, 9},
    {u"电话：010-62345678", 240, 2490, false, false, 9},
    {u"传真：62345679", 3930, 2490, false, false, 9},
    {u"手机：13912345678", 240, 2730, false, false, 9},
    {u"E-mail：li@qinghe.cn", 3210, 2730, false, false, 9},
    {u"网址：http://www.qinghe.cn", 240, 2970, false, false, 9},
    {u"QQ：12345678", 4020, 2970, false, false, 9},
}};

constexpr std::array<const char16_t *, kTextCount> kTextSections{
    u"cName", u"cJob", u"cCmp", u"cADD", u"cPC", u"cTEL",
    u"cFAX", u"cMob", u"cEmail", u"cUrl", u"cQQ",
};

// The texts' Chinese field names, in role order.
constexpr std::array<const char16_t *, kTextCount> kFieldNames{
    u"姓名", u"职位", u"公司", u"地址", u"邮编", u"电话", u"传真", u"手机", u"E-mail", u"网址", u"QQ",
};

} // namespace

QString textSection(std::size_t index)
{
    return QString::fromUtf16(kTextSections.at(index));
}

QString textFieldName(std::size_t index)
{
    return QString::fromUtf16(kFieldNames.at(index));
}

CardQrCode CardQrCode::atBottomRight(const CardPage &page, float size)
{
    // The trim lines stand 3 mm inside the page's edges.
    const float inset = float(Numeric::mmToTwips(3));
    return {true, page.width - size - inset, page.height - size - inset, size};
}

CardDocument CardDocument::defaultCard()
{
    CardDocument doc;
    doc.resetToDefault();
    return doc;
}

void CardDocument::resetToDefault()
{
    page.width = float(Numeric::mmToTwips(96));
    page.height = float(Numeric::mmToTwips(60));
    page.isBg = BackgroundKind::SolidColour;
    page.bgColor = Colour::kWhite;
    page.bgImg.clear();
    page.jbJiaoDu = QStringLiteral("0");

    logo = CardLogo{QString(), 1020, 1020, 555, 375, true};
    line = CardLine{4965, float(Numeric::kTwipsPerMm), 240, 2100, Colour::kBlack, true};

    qrCode.reset();
    otherSide.reset();
    shownSide = CardSide::Front;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const DefaultText &d = kDefaultTexts[i];
        texts[i] = CardText{QString::fromUtf16(d.caption), QStringLiteral("宋体"), d.bold, d.italic,
                            d.size, Colour::kBlack, d.left, d.top, true};
    }
}

CardFace CardDocument::face(CardSide side) const
{
    const bool shown = side == shownSide || !otherSide;
    CardFace result = shown ? CardFace(*this) : *otherSide;
    result.page.width = page.width;
    result.page.height = page.height;
    return result;
}

const std::array<CardText, kTextCount> &CardDocument::frontTexts() const
{
    return shownSide == CardSide::Front || !otherSide ? texts : otherSide->texts;
}

void CardDocument::showSide(CardSide side)
{
    if (side == shownSide || !otherSide) return;
    const float width = page.width, height = page.height;
    std::swap(static_cast<CardFace &>(*this), *otherSide);
    page.width = width;
    page.height = height;
    shownSide = side;
}

void CardDocument::addBack()
{
    if (!otherSide) otherSide = newBack(face(CardSide::Front).page);
}

void CardDocument::removeBack()
{
    showSide(CardSide::Front);
    otherSide.reset();
}

CardDocument CardDocument::showing(CardSide side) const
{
    CardDocument copy = *this;
    copy.showSide(side);
    return copy;
}

CardFace CardDocument::newBack(const CardPage &frontPage)
{
    CardDocument back = defaultCard();
    back.page = frontPage;
    back.logo.visible = false;
    back.line.visible = false;
    for (CardText &text : back.texts) text.visible = false;
    const auto place = [&back](TextRole role, const char16_t *caption, float left, float top, float size) {
        CardText &text = back.text(role);
        text = CardText{QString::fromUtf16(caption), text.Font, text.FontBold, false, size, Colour::kBlack,
                        left, top, true};
    };
    place(TextRole::Name, u"Li Ming", 600, 900, 16);
    place(TextRole::Job, u"Job Title", 600, 1380, 9);
    place(TextRole::Company, u"Beijing Qinghe Culture Co., Ltd.", 600, 2400, 11);
    return back;
}
