#pragma once

#include <QString>
#include <optional>

// The program folder: the settings file and the three library folders live in
// it. Windows and tests take it as an argument; the designer uses the folder of
// its executable when that holds the settings file and can be written (a build
// tree), and otherwise a folder of the user's own made from a template: the
// installed one, or the executable's own folder when nothing is installed.
class ProgramFolder
{
public:
    enum class Library { Cards, Backgrounds, Logos };

    explicit ProgramFolder(QString root);

    // The folder the designer and the tool use for an executable in executableDir,
    // without making anything: executableDir itself when it holds the settings
    // file and can be written, otherwise userFolder().
    static ProgramFolder locate(const QString &executableDir);
    // $XDG_DATA_HOME/penlark (~/.local/share/penlark by default).
    static QString userFolder();
    // The installed template beside an installed executable: ../share/penlark.
    static QString templateFolder(const QString &executableDir);
    // The template a per-user folder is made from: the installed one when it is
    // there, else executableDir itself when it holds the settings file (a
    // complete copy that cannot be written).
    static QString templateFor(const QString &executableDir);
    // The folder whose libraries a program that only reads them uses (the
    // thumbnailer), without making anything: the located folder once it exists,
    // otherwise the template it would be filled from at the designer's first start.
    static ProgramFolder forReading(const QString &executableDir);

    // The located folder, made ready: a per-user folder is filled from the
    // template (fillFromTemplate).
    struct Prepared;
    static Prepared prepare(const QString &executableDir);
    // Fills target from templateDir's settings file and libraries. A new (missing
    // or empty) folder gets all of them; a folder filled before gets only what the
    // template has added since, so what its user deleted stays deleted. What it
    // was given is listed in its kTemplateRecord; a folder without that list is
    // taken to have been given the whole template already. Files already there
    // are never replaced. The reason of the first failure, or empty.
    static QString fillFromTemplate(const QString &templateDir, const QString &target);
    // The list of template entries a per-user folder has been given, one
    // relative path a line.
    static const QString kTemplateRecord;

    const QString &root() const { return m_root; }
    QString settingsFile() const;
    QString libraryDir(Library library) const;
    static QString libraryFolderName(Library library);

    // The file a library reference (category\file name, backslash-separated as
    // stored) points to; nothing when the reference is empty or would leave
    // its library folder (absolute path, drive letter, "..").
    std::optional<QString> libraryFile(Library library, const QString &reference) const;

    // The same check for any folder.
    static std::optional<QString> resolveReference(const QString &dir, const QString &reference);

    // The part of a reference after its first backslash, as messages name it
    // (empty when there is none).
    static QString fileNamePart(const QString &reference);

private:
    QString m_root;
};

struct ProgramFolder::Prepared {
    ProgramFolder folder;
    QString error; // what could not be made and why; empty on success
};
