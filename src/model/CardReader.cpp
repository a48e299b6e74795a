#include "model/CardReader.h"

#include "model/IniFile.h"

namespace CardReader {

namespace {

const QString kPage = QStringLiteral("cPage");
const QString kLogo = QStringLiteral("cLogo");
const QString kLine = QStringLiteral("cLine");

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
        if (!text || !CardFile::parseField(*text, k->field(m_card))) {
            static CardDocument defaults = CardDocument::defaultCard();
            CardFile::copyField(k->field(defaults), k->field(m_card));
        }
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
    void showPicture(const QImage &picture)
    {
        if (!picture.isNull()) {
            m_view.background = picture;
            return;
        }
        CardPage &page = m_card.page;
        m_problems.push_back({Problem::Kind::MissingBackground, page.bgImg});
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
        m_view.logo = reference.isEmpty() ? QImage() : m_pictures.logo(reference);
        if (!reference.isEmpty() && m_view.logo.isNull())
            m_problems.push_back({Problem::Kind::MissingLogo, reference});
        readKeys(kLogo, {u"width", u"height", u"left", u"top", u"visible"});
        m_view.logoInFront = false;
    }

    const CardFile::ValueReader &m_values;
    const PictureSource &m_pictures;
    CardDocument &m_card;
    PageView &m_view;
    std::vector<Problem> m_problems;
};

} // namespace

std::vector<Problem> read(const CardFile::ValueReader &values, const PictureSource &pictures, CardDocument &card,
                          PageView &view)
{
    return Reading(values, pictures, card, view).run();
}

CardFile::ValueReader valuesOf(const IniFile &ini)
{
    return [&ini](const QString &section, const QString &key) { return ini.value(section, key); };
}

} // namespace CardReader
