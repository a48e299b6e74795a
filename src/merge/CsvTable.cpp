#include "merge/CsvTable.h"

#include <QStringDecoder>

namespace Csv {

namespace {

constexpr char kQuote = '"';

QByteArrayView withoutBom(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
}

} // namespace

Reader::Reader(const QByteArray &bytes)
    : m_bytes(bytes), m_encoding(QUtf8StringView(bytes).isValidUtf8() ? Encoding::Utf8 : Encoding::Gbk)
{
    m_pos = m_bytes.size() - withoutBom(m_bytes).size();
}

// GB18030 reads every GBK byte pair as GBK does; bytes it cannot read are bad.
QString Reader::decode(QByteArrayView field, bool &bad) const
{
    QStringDecoder decoder = m_encoding == Encoding::Utf8 ? QStringDecoder(QStringDecoder::Utf8)
                                                          : QStringDecoder("GB18030");
    QString text = decoder.decode(field);
    bad = decoder.hasError();
    return text;
}

std::optional<Record> Reader::next(qsizetype expected)
{
    const qsizetype size = m_bytes.size();
    const char *data = m_bytes.constData();
    // Blank lines between records.
    while (m_pos < size && (data[m_pos] == '\n' || data[m_pos] == '\r')) {
        if (data[m_pos] == '\n' || m_pos + 1 == size || data[m_pos + 1] != '\n') ++m_line;
        ++m_pos;
    }
    if (m_pos >= size) return std::nullopt;

    Record record;
    record.line = m_line;
    QByteArray field;
    bool quoted = false;
    int quoteLine = 0;
    auto endField = [&] {
        bool bad = false;
        record.fields.append(decode(field, bad));
        if (bad && !record.error)
            record.error = Error{Error::Kind::BadBytes, record.line, int(record.fields.size()), 0};
        field.clear();
    };
    while (m_pos < size) {
        const char c = data[m_pos++];
        if (quoted) {
            if (c == kQuote) {
                if (m_pos < size && data[m_pos] == kQuote) {
                    field += kQuote;
                    ++m_pos;
                } else {
                    quoted = false;
                }
                continue;
            }
            if (c == '\n' || (c == '\r' && (m_pos == size || data[m_pos] != '\n'))) ++m_line;
            field += c;
            continue;
        }
        if (c == kQuote && field.isEmpty()) {
            quoted = true;
            quoteLine = m_line;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && m_pos < size && data[m_pos] == '\n') ++m_pos;
            ++m_line;
            break;
        } else {
            field += c;
        }
    }
    endField();
    if (quoted)
        record.error = Error{Error::Kind::UnterminatedQuote, quoteLine, int(record.fields.size()), 0};
    else if (!record.error && expected > 0 && record.fields.size() != expected)
        record.error = Error{Error::Kind::FieldCount, record.line, 0, int(record.fields.size())};
    return record;
}

} // namespace Csv
