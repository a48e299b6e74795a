#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A table of people as spreadsheets write it: RFC 4180 CSV (fields separated by
// commas, quoted fields holding commas, doubled quotes and line breaks), CRLF or
// LF line ends, UTF-8 with or without a byte-order mark, or GBK. The encoding is
// decided from the lines that hold more than ASCII: each that is valid UTF-8
// speaks for UTF-8, each that is not but reads as GBK for GBK, and the more
// lines win, UTF-8 on a tie (none: UTF-8 for ASCII, else GBK).
namespace Csv {

enum class Encoding { Utf8, Gbk };

// What is wrong with a record. line is the file's line (from 1) where the
// record starts, or where the unterminated quote opens; column the field (from 1)
// the fault lies in, 0 when it concerns the whole record.
struct Error {
    enum class Kind { FieldCount, UnterminatedQuote, BadBytes };
    Kind kind = Kind::FieldCount;
    int line = 0;
    int column = 0;
    int fields = 0;  // FieldCount: how many fields the record has
};

struct Record {
    int line = 0;              // the file's line where the record starts
    QStringList fields;
    std::optional<Error> error;
};

// Reads records one after the other from bytes held by the caller. Blank lines
// are skipped.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes);

    Encoding encoding() const { return m_encoding; }

    // The first line (from 1) written in the other encoding than the rest of
    // the table, 0 when every line agrees.
    int foreignLine() const { return m_foreignLine; }

    // The next record, or nothing at the end of the bytes. A record with a
    // wrong number of fields (expected > 0) carries its error; an unterminated
    // quote runs to the end of the file and is the last record.
    std::optional<Record> next(qsizetype expected = 0);

private:
    QString decode(QByteArrayView field, bool &bad) const;

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::Gbk;
    int m_foreignLine = 0;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace Csv
