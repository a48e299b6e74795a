#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// An INI file held line by line, with the lookup and update rules of the Windows
// profile functions that the card and settings files were first written with:
// section and key names match without regard to case, blanks around names and
// values are ignored, a key is updated where it stands, a missing key goes after
// the last line of its section and a missing section at the end of the file.
// Lines the update does not touch keep their bytes exactly.
//
// Text is GBK unless the file starts with a UTF-8 byte-order mark. New files are
// written in GBK with CRLF line ends; characters that GBK lacks are written as
// their GB18030 four-byte sequences, so nothing typed is lost.
class IniFile
{
public:
    IniFile();
    static IniFile fromBytes(const QByteArray &bytes);

    // The whole value of section/key with blanks around it removed; nothing when
    // the section or key does not exist. Quotes are part of the value.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Sets section/key. CR and LF in the value become blanks, so a value is
    // always one line.
    void setValue(const QString &section, const QString &key, const QString &value);

    // Removes every section of that name with all its lines.
    void removeSection(QStringView section);

    QByteArray toBytes() const;

private:
    struct Line {
        QByteArray raw;      // bytes of the line without its line end
        QByteArray eol;      // its own line end: CRLF, LF or none on a last line
        QString text;        // decoded
    };
    enum class Encoding { Gbk, Utf8 };

    std::optional<std::size_t> findSection(QStringView section) const;
    std::optional<std::size_t> findKey(std::size_t sectionLine, QStringView key) const;
    std::size_t sectionEnd(std::size_t sectionLine) const;
    Line makeLine(const QString &text) const;
    // Gives a line without a line end (only ever the last) one before a line is added after it.
    void endLine(std::size_t index);
    QString decode(const QByteArray &raw) const;

    std::vector<Line> m_lines;
    Encoding m_encoding = Encoding::Gbk;
    QByteArray m_eol = "\r\n";
};

// File-level access: every call reads the file afresh; writes replace it
// atomically, so a file is never left half written.
namespace IniStore {

// Missing file, section or key: empty text.
QString read(const QString &path, const QString &section, const QString &key);

// Loads an existing file; an unreadable or missing one gives an empty IniFile.
IniFile load(const QString &path);

// Writes the image to path through a temporary file and a rename. The folder
// must exist. Returns false when the file could not be written, with the
// reason in *error when given.
bool save(const QString &path, const IniFile &ini, QString *error = nullptr);

// Applies change to the file's image and writes it back, creating the file if
// needed. A file that exists but cannot be read is not touched (false).
bool update(const QString &path, const std::function<void(IniFile &)> &change,
            QString *error = nullptr);

// Updates one key in the file, creating the file if needed.
bool write(const QString &path, const QString &section, const QString &key, const QString &value);

} // namespace IniStore
