#pragma once

#include <QString>
#include <optional>

// The program folder: the settings file and the three library folders live in
// it. Windows and tests take it as an argument; the designer uses the folder of
// its executable when that holds the settings file and can be written (a build
// tree), and otherwise a folder of the user's own made from the installed template.
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
    // The folder whose libraries a program that only reads them uses (the
    // thumbnailer), without making anything: the located folder once it exists,
    // otherwise the folder it would be filled from at the designer's first
    // start, the installed template or, without one, executableDir itself.
    static ProgramFolder forReading(const QString &executableDir);

    // The located folder, made ready: a per-user folder is created and every
    // file of the template it lacks is copied into it (files already there are
    // never replaced).
    struct Prepared;
    static Prepared prepare(const QString &executableDir);
    // Copies every file of templateDir that target lacks, making folders as
    // needed; the reason of the first failure, or empty.
    static QString fillFromTemplate(const QString &templateDir, const QString &target);

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
