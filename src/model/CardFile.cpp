#include "model/CardFile.h"

#include "model/IniFile.h"
#include "model/Numeric.h"

#include <cfloat>
#include <cmath>

namespace CardFile {

const QString kQrCodeSection = QStringLiteral("cQR");

namespace {

template <typename Member>
Key pageKey(const char16_t *name, Member CardPage::*member)
{
    return {QStringLiteral("cPage"), QString::fromUtf16(name),
            [member](CardDocument &d) { return FieldRef(&(d.page.*member)); }};
}

template <typename Member>
Key logoKey(const char16_t *name, Member CardLogo::*member)
{
    return {QStringLiteral("cLogo"), QString::fromUtf16(name),
            [member](CardDocument &d) { return FieldRef(&(d.logo.*member)); }};
}

template <typename Member>
Key lineKey(const char16_t *name, Member CardLine::*member)
{
    return {QStringLiteral("cLine"), QString::fromUtf16(name),
            [member](CardDocument &d) { return FieldRef(&(d.line.*member)); }};
}

template <typename Member>
Key qrCodeKey(const char16_t *name, Member CardQrCode::*member)
{
    return {kQrCodeSection, QString::fromUtf16(name),
            [member](CardDocument &d) { return FieldRef(&((*d.qrCode).*member)); }};
}

template <typename Member>
Key textKey(std::size_t index, const char16_t *name, Member CardText::*member)
{
    return {textSection(index), QString::fromUtf16(name),
            [index, member](CardDocument &d) { return FieldRef(&(d.texts[index].*member)); }};
}

std::vector<Key> buildKeys()
{
    std::vector<Key> k{
        pageKey(u"width", &CardPage::width),
        pageKey(u"height", &CardPage::height),
        pageKey(u"isBg", &CardPage::isBg),
        pageKey(u"bgColor", &CardPage::bgColor),
        pageKey(u"bgImg", &CardPage::bgImg),
        pageKey(u"jbColor1", &CardPage::jbColor1),
        pageKey(u"jbColor2", &CardPage::jbColor2),
        pageKey(u"jbJiaoDu", &CardPage::jbJiaoDu),
        logoKey(u"img", &CardLogo::img),
        logoKey(u"width", &CardLogo::width),
        logoKey(u"height", &CardLogo::height),
        logoKey(u"left", &CardLogo::left),
        logoKey(u"top", &CardLogo::top),
        logoKey(u"visible", &CardLogo::visible),
        lineKey(u"width", &CardLine::width),
        lineKey(u"height", &CardLine::height),
        lineKey(u"left", &CardLine::left),
        lineKey(u"top", &CardLine::top),
        lineKey(u"bgColor", &CardLine::bgColor),
        lineKey(u"visible", &CardLine::visible),
    };
    for (std::size_t i = 0; i < kTextCount; ++i) {
        k.push_back(textKey(i, u"caption", &CardText::caption));
        k.push_back(textKey(i, u"Font", &CardText::Font));
        k.push_back(textKey(i, u"FontBold", &CardText::FontBold));
        k.push_back(textKey(i, u"FontItalic", &CardText::FontItalic));
        k.push_back(textKey(i, u"FontSize", &CardText::FontSize));
        k.push_back(textKey(i, u"ForeColor", &CardText::ForeColor));
        k.push_back(textKey(i, u"Left", &CardText::Left));
        k.push_back(textKey(i, u"Top", &CardText::Top));
        k.push_back(textKey(i, u"visible", &CardText::visible));
    }
    return k;
}

std::optional<float> parseSingle(const QString &text)
{
    const auto v = Numeric::parseNumber(text);
    if (!v || std::fabs(*v) > FLT_MAX) return std::nullopt;
    return float(*v);
}

std::optional<bool> parseBoolean(const QString &text)
{
    if (text.compare(u"True", Qt::CaseInsensitive) == 0) return true;
    if (text.compare(u"False", Qt::CaseInsensitive) == 0) return false;
    if (const auto v = Numeric::parseNumber(text)) return *v != 0;
    return std::nullopt;
}

// Kinds above 1 other than 2 are library pictures; 0 is solid, anything else
// up to 1 a gradient, as the reader has always compared them.
std::optional<BackgroundKind> parseKind(const QString &text)
{
    const auto v = Numeric::parseNumber(text);
    if (!v) return std::nullopt;
    if (*v > 1) return *v == 2 ? BackgroundKind::BuiltInImage : BackgroundKind::LibraryImage;
    return *v == 0 ? BackgroundKind::SolidColour : BackgroundKind::Gradient;
}

template <typename T>
bool assign(std::optional<T> value, T *field)
{
    if (!value) return false;
    *field = *value;
    return true;
}

} // namespace

const std::vector<Key> &keys()
{
    static const std::vector<Key> k = buildKeys();
    return k;
}

const std::vector<Key> &qrCodeKeys()
{
    static const std::vector<Key> k{
        qrCodeKey(u"visible", &CardQrCode::visible),
        qrCodeKey(u"left", &CardQrCode::left),
        qrCodeKey(u"top", &CardQrCode::top),
        qrCodeKey(u"size", &CardQrCode::size),
    };
    return k;
}

const Key *findKey(const QString &section, const QString &name)
{
    for (const auto *list : {&keys(), &qrCodeKeys()}) {
        for (const Key &key : *list) {
            if (key.section.compare(section, Qt::CaseInsensitive) == 0
                && key.name.compare(name, Qt::CaseInsensitive) == 0)
                return &key;
        }
    }
    return nullptr;
}

QString formatField(const FieldRef &field)
{
    struct Format {
        QString operator()(float *v) const { return Numeric::formatSingle(*v); }
        QString operator()(Colour::Value *v) const { return QString::number(*v); }
        QString operator()(bool *v) const { return *v ? QStringLiteral("True") : QStringLiteral("False"); }
        QString operator()(BackgroundKind *v) const { return QString::number(int(*v)); }
        QString operator()(QString *v) const { return *v; }
    };
    return std::visit(Format{}, field);
}

bool parseField(const QString &text, const FieldRef &field)
{
    struct Parse {
        const QString &text;
        bool operator()(float *v) const { return assign(parseSingle(text), v); }
        bool operator()(Colour::Value *v) const { return assign(Colour::parse(text), v); }
        bool operator()(bool *v) const { return assign(parseBoolean(text), v); }
        bool operator()(BackgroundKind *v) const { return assign(parseKind(text), v); }
        bool operator()(QString *v) const { *v = text; return true; }
    };
    return std::visit(Parse{text}, field);
}

void copyField(const FieldRef &from, const FieldRef &to)
{
    std::visit([&to](auto *source) { *std::get<decltype(source)>(to) = *source; }, from);
}

void prepareForSave(CardFace &face, const PageOptions &options)
{
    const bool picture = isPictureKind(face.page.isBg);
    if (picture && !options.removePicture) return;
    if (picture)
        face.page.isBg = options.colourOption == BackgroundKind::SolidColour
                             ? BackgroundKind::SolidColour
                             : BackgroundKind::Gradient;
    face.page.bgImg.clear();
}

void prepareForSave(CardDocument &doc, const PageView &view)
{
    prepareForSave(doc, {view.colourOption, view.pictureRemoved});
    if (doc.otherSide && view.otherSide)
        prepareForSave(*doc.otherSide, {view.otherSide->colourOption, view.otherSide->pictureRemoved});
}

QString backSection(const QString &frontSection)
{
    return u'b' + frontSection.mid(1);
}

bool isPageSize(const Key &key)
{
    return key.section == keys().front().section && (key.name == u"width" || key.name == u"height");
}

namespace {

void writeSide(const CardDocument &doc, CardSide side, const ValueWriter &writer)
{
    CardDocument source = doc.showing(side);
    const bool back = side == CardSide::Back;
    const auto put = [&](const Key &key) {
        writer(back ? backSection(key.section) : key.section, key.name, formatField(key.field(source)));
    };
    for (const Key &key : keys()) {
        if (!back || !isPageSize(key)) put(key);
    }
    if (!source.qrCode) return;
    for (const Key &key : qrCodeKeys()) put(key);
}

} // namespace

void write(const CardDocument &doc, const ValueWriter &writer)
{
    writeSide(doc, CardSide::Front, writer);
    if (doc.hasBack()) writeSide(doc, CardSide::Back, writer);
}

void write(const CardDocument &doc, IniFile &ini)
{
    if (!doc.face(CardSide::Front).qrCode) ini.removeSection(kQrCodeSection);
    if (!doc.hasBack() || !doc.face(CardSide::Back).qrCode) ini.removeSection(backSection(kQrCodeSection));
    if (!doc.hasBack()) {
        for (const Key &key : keys()) ini.removeSection(backSection(key.section));
    }
    write(doc, [&ini](const QString &s, const QString &k, const QString &v) { ini.setValue(s, k, v); });
}

} // namespace CardFile
