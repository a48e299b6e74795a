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
    // The store holds files of up to this size; the bytes beyond are left out.
    // Readers stop long before, at FileAccess::kLargestIniFile.
    static constexpr qsizetype kMaxBytes = qsizetype(1) << 30;

    IniFile();
    static IniFile fromBytes(const QByteArray &bytes);

    // The whole value of section/key with blanks around it removed; nothing when
    // the section or key does not exist. Quotes are part of the value.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Sets section/key. CR and LF in the value become blanks, so a value is
    // always one line.
    void setValue(const QString &section, const QString &key, const QString &value);

    bool hasSection(QStringView section) const { return findSection(section).has_value(); }

    // Removes every section of that name with all its lines.
    void removeSection(QStringView section);

    QByteArray toBytes() const;

private:
    // A line as where it starts in the file's bytes (with its line end: CRLF,
    // LF or none on a last line) and in the decoded text (without); it ends
    // where the next line starts. Both buffers stay in line order, so eight
    // bytes a line keep a file of a million bare line ends within a small
    // multiple of its size; an edit splices them.
    struct Line {
        quint32 raw = 0;
        quint32 text = 0;
    };
    enum class Encoding { Gbk, Utf8 };

    qsizetype rawEnd(std::size_t index) const;
    qsizetype textEnd(std::size_t index) const;
    QByteArrayView rawOf(std::size_t index) const;
    QByteArrayView eolOf(std::size_t index) const;
    QStringView textOf(std::size_t index) const;
    std::optional<std::size_t> findSection(QStringView section) const;
    std::optional<std::size_t> findKey(std::size_t sectionLine, QStringView key) const;
    std::size_t sectionEnd(std::size_t sectionLine) const;
    QByteArray encode(const QString &text) const;
    // Replaces a line's bytes and text; lines after it move along.
    void replaceLine(std::size_t index, const QByteArray &raw, const QString &text);
    // Puts a line at index, keeping the index of section lines in step.
    void insertLine(std::size_t index, const QByteArray &raw, const QString &text);
    void shiftLinesAfter(std::size_t index, qsizetype rawDelta, qsizetype textDelta);
    // Removes the lines [first, end), keeping the index of section lines in step.
    void removeLines(std::size_t first, std::size_t end);
    // Gives a line without a line end (only ever the last) one before a line is added after it.
    void endLine(std::size_t index);

    std::vector<Line> m_lines;
    std::vector<std::size_t> m_sectionLines; // the section header lines, ascending
    QByteArray m_bytes;
    QString m_text;
    Encoding m_encoding = Encoding::Gbk;
    QByteArray m_eol = "\r\n";
};

// File-level access: every call reads the file afresh, and only a regular file
// of up to FileAccess::kLargestIniFile bytes; writes replace it atomically, so
// a file is never left half written.
namespace IniStore {

// Missing file, section or key: empty text.
QString read(const QString &path, const QString &section, const QString &key);

// Loads an existing file; an unreadable, missing, too large or irregular one
// (a pipe, a device) gives an empty IniFile.
IniFile load(const QString &path);

// Writes the image to path through a temporary file and a rename. The folder
// must exist. Returns false when the file could not be written, with the
// reason in *error when given.
bool save(const QString &path, const IniFile &ini, QString *error = nullptr);

// Applies change to the file's image and writes it back, creating the file if
// needed. A file that exists but cannot be read, or is no regular file, is not
// touched (false).
bool update(const QString &path, const std::function<void(IniFile &)> &change,
            QString *error = nullptr);

// Updates one key in the file, creating the file if needed.
bool write(const QString &path, const QString &section, const QString &key, const QString &value);

} // namespace IniStore
