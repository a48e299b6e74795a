#pragma once

#include <QString>
#include <optional>

// The program folder: the settings file and the three library folders live in
// it. Windows and tests take it as an argument; the designer uses the folder of
// its executable.
class ProgramFolder
{
public:
    enum class Library { Cards, Backgrounds, Logos };

    explicit ProgramFolder(QString root);
    static ProgramFolder ofExecutable();

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
