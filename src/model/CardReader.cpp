#include "model/CardReader.h"

#include "model/IniFile.h"
#include "model/Numeric.h"

#include <algorithm>

namespace CardReader {

namespace {

const QString kPage = QStringLiteral("cPage");
const QString kLogo = QStringLiteral("cLogo");
const QString kLine = QStringLiteral("cLine");

// What a length read from a file measures; sizes and positions run along the
// page's width or height.
enum class Measure { None, PageSide, Size, Position, FontSize, QrCodeSize };

Measure measureOf(const CardFile::Key &key)
{
    const auto is = [&key](const char16_t *name) { return key.name.compare(name, Qt::CaseInsensitive) == 0; };
    if (is(u"size")) return Measure::QrCodeSize;
    if (is(u"width") || is(u"height")) return key.section == kPage ? Measure::PageSide : Measure::Size;
    if (is(u"left") || is(u"top")) return Measure::Position;
    if (is(u"FontSize")) return Measure::FontSize;
    return Measure::None;
}

bool alongWidth(const CardFile::Key &key)
{
    return key.name.compare(u"width", Qt::CaseInsensitive) == 0 || key.name.compare(u"left", Qt::CaseInsensitive) == 0;
}

// Lengths are read only inside what a card can sensibly hold, so that no value
// from a damaged or hostile file makes the page huge or overflows a conversion.
// Pages: the page panel makes sides of 46 to 126 mm; sides of 10 to 1000 mm
// still open. Objects: sizes up to three page sides, positions up to two page
// sides outside the page (a card turned upright leaves its objects out there).
// Fonts: up to 1638 points, far beyond any card's text.
constexpr float kMinPageSide = 567;   // 10 mm
constexpr float kMaxPageSide = 56700; // 1000 mm
constexpr float kMaxFontSize = 1638;
// A QR code: 10 mm up to the page's shorter side.
constexpr float kMinQrCodeSize = 567;

bool inBounds(float value, float low, float high) { return value >= low && value <= high; }

class Reading
{
public:
    Reading(const CardFile::ValueReader &values, const PictureSource &pictures, CardDocument &card, PageView &view)
        : m_values(values), m_pictures(pictures), m_card(card), m_view(view)
    {
    }

    std::vector<Problem> run()
    {
        readKeys(kPage, {u"isBg", u"bgImg", u"width", u"height"});
        readBackground();
        readLogo();
        readKeys(kLine, {u"width", u"height", u"left", u"top", u"bgColor", u"visible"});
        for (std::size_t i = 0; i < kTextCount; ++i) {
            readKeys(textSection(i), {u"caption", u"ForeColor", u"font", u"FontBold", u"FontItalic", u"FontSize",
                                      u"left", u"top", u"visible"});
        }
        readQrCode();
        return m_problems;
    }

private:
    // Reads section/key into its field; a missing or malformed value takes the
    // default card's. Every name passed here is a key of the card file.
    void readKey(const QString &section, const QString &key)
    {
        const CardFile::Key *k = CardFile::findKey(section, key);
        if (!k) return;
        const auto text = m_values(section, key);
        const CardFile::FieldRef field = k->field(m_card);
        if (text && CardFile::parseField(*text, field)) {
            if (withinBounds(*k, field)) return;
            m_problems.push_back({Problem::Kind::OutOfRange, k->section + u'\\' + k->name});
        }
        CardFile::copyField(k->field(m_defaults), field);
    }

    bool withinBounds(const CardFile::Key &key, const CardFile::FieldRef &field) const
    {
        float *const *length = std::get_if<float *>(&field);
        if (!length) return true;
        const float v = **length;
        const float side = alongWidth(key) ? m_card.page.width : m_card.page.height;
        switch (measureOf(key)) {
        case Measure::PageSide: return inBounds(v, kMinPageSide, kMaxPageSide);
        case Measure::Size: return inBounds(v, 0, 3 * side);
        case Measure::Position: return inBounds(v, -2 * side, 3 * side);
        case Measure::FontSize: return inBounds(v, 0, kMaxFontSize);
        case Measure::QrCodeSize:
            return inBounds(v, kMinQrCodeSize, std::min(m_card.page.width, m_card.page.height));
        case Measure::None: break;
        }
        return true;
    }

    void readKeys(const QString &section, std::initializer_list<const char16_t *> keys)
    {
        for (const char16_t *key : keys) readKey(section, QString::fromUtf16(key));
    }

    void readBackground()
    {
        CardPage &page = m_card.page;
        m_view.pictureRemoved = false;
        m_view.background = QImage();
        switch (page.isBg) {
        case BackgroundKind::BuiltInImage:
            showPicture(m_pictures.builtInBackground(page.bgImg));
            break;
        case BackgroundKind::LibraryImage:
            showPicture(m_pictures.libraryBackground(page.bgImg));
            break;
        default:
            readColours();
        }
    }

    // A picture that cannot be found leaves a white solid page: nothing of the
    // card shown before may show through or be saved with this one.
    void showPicture(const Picture &picture)
    {
        if (!picture.image.isNull()) {
            m_view.background = picture.image;
            return;
        }
        CardPage &page = m_card.page;
        m_problems.push_back({Problem::Kind::MissingBackground, page.bgImg, picture.fault});
        page.bgColor = Colour::kWhite;
        page.bgImg.clear();
        page.isBg = BackgroundKind::SolidColour;
        m_view.colourOption = BackgroundKind::SolidColour;
    }

    void readColours()
    {
        CardPage &page = m_card.page;
        page.bgImg.clear();
        if (page.isBg == BackgroundKind::SolidColour)
            readKey(kPage, QStringLiteral("bgColor"));
        else
            readKeys(kPage, {u"jbColor1", u"jbColor2", u"jbJiaoDu"});
        m_view.colourOption = page.isBg;
    }

    void readLogo()
    {
        readKey(kLogo, QStringLiteral("img"));
        const QString &reference = m_card.logo.img;
        const Picture logo = reference.isEmpty() ? Picture() : m_pictures.logo(reference);
        m_view.logo = logo.image;
        if (!reference.isEmpty() && m_view.logo.isNull())
            m_problems.push_back({Problem::Kind::MissingLogo, reference, logo.fault});
        readKeys(kLogo, {u"width", u"height", u"left", u"top", u"visible"});
        m_view.logoInFront = false;
    }

    // A card has a QR code when its file holds any key of the code's section.
    // Its missing or malformed values are those of a code of the default size
    // at the bottom-right corner, or of its own size there for the position.
    void readQrCode()
    {
        const QString &section = CardFile::kQrCodeSection;
        const auto present = [&](const CardFile::Key &key) { return m_values(section, key.name).has_value(); };
        const auto &keys = CardFile::qrCodeKeys();
        if (std::none_of(keys.begin(), keys.end(), present)) {
            m_card.qrCode.reset();
            return;
        }
        m_defaults.qrCode = CardQrCode::atBottomRight(m_card.page, CardQrCode::kDefaultSize);
        m_card.qrCode = m_defaults.qrCode;
        readKey(section, QStringLiteral("size"));
        m_defaults.qrCode = CardQrCode::atBottomRight(m_card.page, m_card.qrCode->size);
        readKeys(section, {u"visible", u"left", u"top"});
    }

    const CardFile::ValueReader &m_values;
    const PictureSource &m_pictures;
    CardDocument &m_card;
    PageView &m_view;
    // Where a missing or malformed value is taken from; not const, as a key
    // reaches its field through a non-const document.
    CardDocument m_defaults = CardDocument::defaultCard();
    std::vector<Problem> m_problems;
};

} // namespace

namespace {

// The back's values as the front's keys reach them; the page size is the
// card's, as the front has it.
CardFile::ValueReader backValues(const CardFile::ValueReader &values, const CardPage &page)
{
    return [&values, &page](const QString &section, const QString &key) -> std::optional<QString> {
        if (section == kPage && key.compare(u"width", Qt::CaseInsensitive) == 0) return Numeric::formatSingle(page.width);
        if (section == kPage && key.compare(u"height", Qt::CaseInsensitive) == 0)
            return Numeric::formatSingle(page.height);
        return values(CardFile::backSection(section), key);
    };
}

bool hasBack(const IniFile &ini)
{
    const auto present = [&ini](const CardFile::Key &key) {
        return ini.hasSection(CardFile::backSection(key.section));
    };
    const auto &keys = CardFile::keys();
    return std::any_of(keys.begin(), keys.end(), present) || present(CardFile::qrCodeKeys().front());
}

} // namespace

std::vector<Problem> read(const CardFile::ValueReader &values, const PictureSource &pictures, CardDocument &card,
                          PageView &view)
{
    removeBack(card, view);
    return Reading(values, pictures, card, view).run();
}

std::vector<Problem> read(const IniFile &ini, const PictureSource &pictures, CardDocument &card, PageView &view)
{
    const CardFile::ValueReader values = valuesOf(ini);
    std::vector<Problem> problems = read(values, pictures, card, view);
    if (!hasBack(ini)) return problems;
    // The back is read over a copy of the front, as the front is read over the card before it.
    CardDocument back = card;
    PageView backView = view;
    for (Problem problem : Reading(backValues(values, card.page), pictures, back, backView).run()) {
        if (problem.kind == Problem::Kind::OutOfRange) problem.reference = CardFile::backSection(problem.reference);
        problems.push_back(problem);
    }
    back.page.width = card.page.width;
    back.page.height = card.page.height;
    card.otherSide = static_cast<const CardFace &>(back);
    view.otherSide = static_cast<const FaceView &>(backView);
    return problems;
}

bool isCard(const CardFile::ValueReader &values)
{
    return std::any_of(CardFile::keys().begin(), CardFile::keys().end(),
                       [&values](const CardFile::Key &key) { return values(key.section, key.name).has_value(); });
}

CardFile::ValueReader valuesOf(const IniFile &ini)
{
    return [&ini](const QString &section, const QString &key) { return ini.value(section, key); };
}

} // namespace CardReader
