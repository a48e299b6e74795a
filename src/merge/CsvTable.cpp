#include "merge/CsvTable.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace Csv {

namespace {

constexpr char kQuote = '"';

QByteArrayView withoutBom(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
}

bool isAscii(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; });
}

bool isGbk(QByteArrayView line)
{
    QStringDecoder decoder("GB18030");
    const QString decoded = decoder(line); // decoded when the result is taken
    return !decoder.hasError();
}

// The encoding a line of more than ASCII speaks for, if any.
std::optional<Encoding> encodingOf(QByteArrayView line)
{
    if (isAscii(line)) return std::nullopt;
    if (QUtf8StringView(line).isValidUtf8()) return Encoding::Utf8;
    if (isGbk(line)) return Encoding::Gbk;
    return std::nullopt;
}

// Calls f(line, text) for each line of the bytes, counted as the reader counts
// them (CRLF, LF or a lone CR ends a line).
template <typename F> void forEachLine(QByteArrayView bytes, F f)
{
    int line = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r') continue;
        f(line++, bytes.sliced(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) f(line, bytes.sliced(start));
}

} // namespace

Reader::Reader(const QByteArray &bytes) : m_bytes(bytes)
{
    const QByteArrayView text = withoutBom(m_bytes);
    m_pos = m_bytes.size() - text.size();
    std::array<int, 2> votes{};
    std::array<int, 2> firstLine{};
    forEachLine(text, [&](int line, QByteArrayView content) {
        const auto encoding = encodingOf(content);
        if (!encoding) return;
        const std::size_t i = std::size_t(*encoding);
        if (votes[i]++ == 0) firstLine[i] = line;
    });
    const std::size_t utf8 = std::size_t(Encoding::Utf8), gbk = std::size_t(Encoding::Gbk);
    const bool utf8Wins =
        votes[utf8] > 0 ? votes[utf8] >= votes[gbk] : votes[gbk] == 0 && QUtf8StringView(text).isValidUtf8();
    m_encoding = utf8Wins ? Encoding::Utf8 : Encoding::Gbk;
    m_foreignLine = firstLine[m_encoding == Encoding::Utf8 ? gbk : utf8];
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
