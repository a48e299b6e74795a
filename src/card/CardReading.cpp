#include "CardReading.h"

#include "CardFile.h"
#include "CardSession.h"
#include "ProfileStore.h"
#include "app/Dialogs.h"
#include "render/PagePictures.h"


namespace {

const QString kCaption = QStringLiteral("提醒您：");

class KeyReader
{
public:
    KeyReader(CardSession &session, const ProfileStore &store) : m_session(session), m_store(store) {}

    // Reads section/key into the document field of that key; a missing or
    // malformed value takes the default card's.
    void read(const QString &section, const QString &key)
    {
        const CardFile::Key &k = find(section, key);
        const auto text = m_store.findCardValue(section, key);
        if (!text || !CardFile::parseField(*text, k.field(m_session.card)))
            copyDefault(k);
    }

private:
    static const CardFile::Key &find(const QString &section, const QString &key)
    {
        for (const CardFile::Key &k : CardFile::keys())
            if (k.section == section && k.name.compare(key, Qt::CaseInsensitive) == 0) return k;
        qFatal("unknown card key %s/%s", qPrintable(section), qPrintable(key));
    }

    void copyDefault(const CardFile::Key &k)
    {
        static CardDocument defaults = CardDocument::defaultCard();
        CardFile::copyField(k.field(defaults), k.field(m_session.card));
    }

    CardSession &m_session;
    const ProfileStore &m_store;
};

QString missingPictureMessage(const char16_t *what, const QString &reference, const char16_t *instead)
{
    return QString::fromUtf16(what) + u'“' + ProgramFolder::fileNamePart(reference) + QStringLiteral("”没有发现")
           + u'\r' + QString::fromUtf16(instead);
}

void removePicture(CardSession &s)
{
    s.view.background = QImage();
    s.view.pictureRemoved = false;
}

void showPicture(CardSession &s, const QImage &picture)
{
    s.view.background = picture;
    s.view.pictureRemoved = false;
}

void applyLibraryBackground(CardSession &s, const ProfileStore &store, Dialogs &dialogs)
{
    CardPage &page = s.card.page;
    const QImage picture =
        PagePictures::libraryPicture(store.folder(), ProgramFolder::Library::Backgrounds, page.bgImg);
    if (!picture.isNull()) {
        page.isBg = BackgroundKind::LibraryImage;
        showPicture(s, picture);
        return;
    }
    dialogs.show(missingPictureMessage(u"背景文件", page.bgImg, u"系统将以白色底色代替…"), kCaption,
                 Dialogs::Icon::Warning);
    page.bgColor = Colour::kWhite;
    page.bgImg.clear();
    page.isBg = s.view.colourOption;
    removePicture(s);
}

void applyColourBackground(CardSession &s, KeyReader &keys)
{
    CardPage &page = s.card.page;
    removePicture(s);
    page.bgImg.clear();
    if (page.isBg == BackgroundKind::SolidColour) {
        keys.read(QStringLiteral("cPage"), QStringLiteral("bgColor"));
    } else {
        for (const char16_t *key : {u"jbColor1", u"jbColor2", u"jbJiaoDu"})
            keys.read(QStringLiteral("cPage"), QString::fromUtf16(key));
    }
    s.view.colourOption = page.isBg;
}

void applyBackground(CardSession &s, const ProfileStore &store, Dialogs &dialogs, KeyReader &keys)
{
    switch (s.card.page.isBg) {
    case BackgroundKind::BuiltInImage:
        showPicture(s, PagePictures::builtInBackground(s.card.page.bgImg));
        break;
    case BackgroundKind::LibraryImage:
        applyLibraryBackground(s, store, dialogs);
        break;
    default:
        applyColourBackground(s, keys);
    }
}

void applyLogo(CardSession &s, const ProfileStore &store, Dialogs &dialogs, KeyReader &keys)
{
    keys.read(QStringLiteral("cLogo"), QStringLiteral("img"));
    const QString &ref = s.card.logo.img;
    s.view.logo = QImage();
    if (!ref.isEmpty()) {
        s.view.logo = PagePictures::libraryPicture(store.folder(), ProgramFolder::Library::Logos, ref);
        if (s.view.logo.isNull())
            dialogs.show(missingPictureMessage(u"标志文件", ref, u"系统以默认的标志图片替换…"), kCaption,
                         Dialogs::Icon::Warning);
    }
    for (const char16_t *key : {u"width", u"height", u"left", u"top", u"visible"})
        keys.read(QStringLiteral("cLogo"), QString::fromUtf16(key));
    s.view.logoInFront = false;
}

} // namespace

void applyCardFile(CardSession &session, const ProfileStore &store, Dialogs &dialogs)
{
    KeyReader keys(session, store);
    const QString page = QStringLiteral("cPage");
    keys.read(page, QStringLiteral("isBg"));
    keys.read(page, QStringLiteral("bgImg"));
    keys.read(page, QStringLiteral("width"));
    keys.read(page, QStringLiteral("height"));
    applyBackground(session, store, dialogs, keys);
    applyLogo(session, store, dialogs, keys);
    for (const char16_t *key : {u"width", u"height", u"left", u"top", u"bgColor", u"visible"})
        keys.read(QStringLiteral("cLine"), QString::fromUtf16(key));
    for (std::size_t i = 0; i < kTextCount; ++i) {
        for (const char16_t *key : {u"caption", u"ForeColor", u"font", u"FontBold", u"FontItalic", u"FontSize",
                                    u"left", u"top", u"visible"})
            keys.read(textSection(i), QString::fromUtf16(key));
    }
    session.notifyPageChanged();
}
