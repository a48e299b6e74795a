#include "model/ProfileStore.h"

#include "model/IniFile.h"

namespace {
const QString kCardSection = QStringLiteral("card");
const QString kCardNameKey = QStringLiteral("cardName");
} // namespace

ProfileStore::ProfileStore(ProgramFolder folder, const CardFileContext &context)
    : m_folder(std::move(folder)), m_context(context)
{
}

std::optional<QString> ProfileStore::cardFileToWrite() const
{
    const SaveTarget t = m_context.saveTarget();
    const QString extension = t.format == SaveFormat::CardFile ? QStringLiteral(".pnk")
                              : t.format == SaveFormat::Bitmap ? QStringLiteral(".bmp")
                                                               : QStringLiteral(".pdf");
    return m_folder.libraryFile(ProgramFolder::Library::Cards,
                                t.category + u'\\' + t.name.trimmed() + extension);
}

std::optional<QString> ProfileStore::cardFileToRead() const
{
    switch (m_context.cardSource()) {
    case CardSource::StartupCard:
        return m_folder.libraryFile(ProgramFolder::Library::Cards, readSetting(kCardSection, kCardNameKey));
    case CardSource::LibraryManagerList:
        return m_context.libraryManagerFile();
    case CardSource::OpenPanelList:
        return m_context.openPanelFile();
    case CardSource::OutsideFile:
        return m_context.outsideFile();
    case CardSource::Template:
        return m_context.templateFile();
    }
    return std::nullopt;
}

bool ProfileStore::writeCardValue(const QString &section, const QString &key, const QString &value)
{
    const auto file = cardFileToWrite();
    return file && IniStore::write(*file, section, key, value);
}

bool ProfileStore::updateCardFile(const std::function<void(IniFile &)> &change)
{
    const auto file = cardFileToWrite();
    return file && IniStore::update(*file, change);
}

bool ProfileStore::saveCard(CardDocument &card, const PageView &view)
{
    CardFile::prepareForSave(card, view);
    return updateCardFile([&card](IniFile &ini) { CardFile::write(card, ini); });
}

std::optional<QString> ProfileStore::findCardValue(const QString &section, const QString &key) const
{
    const auto file = cardFileToRead();
    if (!file || file->isEmpty()) return std::nullopt;
    return IniStore::load(*file).value(section, key);
}

QString ProfileStore::readCardValue(const QString &section, const QString &key) const
{
    return findCardValue(section, key).value_or(QString());
}

bool ProfileStore::writeSetting(const QString &section, const QString &key, const QString &value)
{
    return IniStore::write(m_folder.settingsFile(), section, key, value);
}

QString ProfileStore::readSetting(const QString &section, const QString &key) const
{
    return IniStore::read(m_folder.settingsFile(), section, key);
}

QString ProfileStore::readSettingText(const QString &section, const QString &key) const
{
    // Help texts are long; the store returns every value whole.
    return readSetting(section, key);
}
