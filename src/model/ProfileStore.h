#pragma once

#include "model/CardDocument.h"
#include "model/CardFile.h"
#include "model/ProgramFolder.h"

#include <QString>
#include <functional>
#include <optional>

class IniFile;

// What the save panel writes: a card file (".pnk"), a bitmap (".bmp") or the
// print-shop PDF (".pdf").
enum class SaveFormat { CardFile, Bitmap, Pdf };

// The file the save panel is about to write: its category, the name as typed,
// and its format.
struct SaveTarget {
    QString category;
    QString name;
    SaveFormat format = SaveFormat::CardFile;
};

// What the profile routines ask of the windows to find their card file: the
// program-wide card source and the selections of the open panel, the library
// manager and the save panel.
class CardFileContext
{
public:
    virtual ~CardFileContext() = default;
    virtual CardSource cardSource() const = 0;
    virtual SaveTarget saveTarget() const = 0;
    // Full path of the file selected in the open panel's / library manager's
    // file list; empty when nothing is selected.
    virtual QString openPanelFile() const = 0;
    virtual QString libraryManagerFile() const = 0;
    // Full path of the card file opened from outside the library; empty when none.
    virtual QString outsideFile() const { return {}; }
    virtual QString templateFile() const { return {}; }
};

// Routines that read or write one key of one file. Each works out its own target
// file at the moment of the call and opens, reads or updates and closes it again;
// nothing is cached. Values are read whole, with blanks around them removed.
class ProfileStore
{
public:
    ProfileStore(ProgramFolder folder, const CardFileContext &context);

    // The card file being saved (see SaveTarget).
    bool writeCardValue(const QString &section, const QString &key, const QString &value);
    // The card file named by the card source; the start-up card's setting is
    // looked up again for every key.
    QString readCardValue(const QString &section, const QString &key) const;
    // The settings file.
    bool writeSetting(const QString &section, const QString &key, const QString &value);
    QString readSetting(const QString &section, const QString &key) const;
    QString readSettingText(const QString &section, const QString &key) const;

    // As readCardValue, but tells a missing file, section or key from an empty value.
    std::optional<QString> findCardValue(const QString &section, const QString &key) const;

    // Updates the card file being saved in one atomic replace: a save of many keys
    // never leaves a file with some keys old and some new.
    bool updateCardFile(const std::function<void(IniFile &)> &change);

    // Saves the card into the card file being saved: derives the stored
    // background from the page options, then writes all keys in one replace.
    bool saveCard(CardDocument &card, const PageView &view);

    // Target files; nothing when the name would lead out of the card library.
    std::optional<QString> cardFileToWrite() const;
    std::optional<QString> cardFileToRead() const;

    const ProgramFolder &folder() const { return m_folder; }

private:
    ProgramFolder m_folder;
    const CardFileContext &m_context;
};
