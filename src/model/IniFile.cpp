#include "model/IniFile.h"

#include "model/FileAccess.h"

#include <QStringDecoder>
#include <algorithm>
#include <QStringEncoder>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
// GB18030 decodes every GBK file byte for byte and can encode any character.
constexpr const char *kGbkCodec = "GB18030";

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.sliced(b, e - b);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The name of a section header line, or nothing for any other line.
std::optional<QStringView> sectionName(QStringView line)
{
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(u'[')) return std::nullopt;
    qsizetype close = t.indexOf(u']');
    if (close < 0) close = t.size();
    return trimBlanks(t.sliced(1, close - 1));
}

bool isComment(QStringView t) { return t.startsWith(u';') || t.startsWith(u'#'); }

// Splits a key line into trimmed name and value; nothing for other lines.
std::optional<std::pair<QStringView, QStringView>> keyAndValue(QStringView line)
{
    const QStringView t = trimBlanks(line);
    if (t.isEmpty() || t.startsWith(u'[') || isComment(t)) return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) return std::nullopt;
    return std::pair{trimBlanks(t.first(eq)), trimBlanks(t.sliced(eq + 1))};
}

QString oneLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

IniFile::IniFile() = default;

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    IniFile ini;
    ini.m_bytes = bytes.size() > kMaxBytes ? bytes.first(kMaxBytes) : bytes;
    const QByteArrayView data(ini.m_bytes);
    qsizetype pos = 0;
    if (data.startsWith(kUtf8Bom)) {
        ini.m_encoding = Encoding::Utf8;
        pos = kUtf8Bom.size();
    }
    QStringDecoder decoder = ini.m_encoding == Encoding::Utf8
                                 ? QStringDecoder(QStringDecoder::Utf8)
                                 : QStringDecoder(kGbkCodec);
    ini.m_lines.reserve(std::size_t(std::count(data.begin() + pos, data.end(), '\n')) + 1);
    bool eolChosen = false;
    while (pos < data.size()) {
        const qsizetype nl = data.indexOf('\n', pos);
        const qsizetype end = nl < 0 ? data.size() : nl + 1;
        QByteArrayView content = data.sliced(pos, end - pos);
        if (nl >= 0) {
            const QByteArrayView eol = content.endsWith("\r\n") ? content.last(2) : content.last(1);
            content.chop(eol.size());
            if (!eolChosen) {
                ini.m_eol = eol.toByteArray();
                eolChosen = true;
            }
        }
        const qsizetype textStart = ini.m_text.size();
        ini.m_lines.push_back({quint32(pos), quint32(textStart)});
        if (!content.isEmpty()) {
            ini.m_text += decoder.decode(content);
            decoder.resetState();
        }
        if (sectionName(QStringView(ini.m_text).sliced(textStart))) ini.m_sectionLines.push_back(ini.m_lines.size() - 1);
        pos = end;
    }
    return ini;
}

qsizetype IniFile::rawEnd(std::size_t index) const
{
    return index + 1 < m_lines.size() ? qsizetype(m_lines[index + 1].raw) : m_bytes.size();
}

qsizetype IniFile::textEnd(std::size_t index) const
{
    return index + 1 < m_lines.size() ? qsizetype(m_lines[index + 1].text) : m_text.size();
}

QByteArrayView IniFile::rawOf(std::size_t index) const
{
    const qsizetype start = m_lines[index].raw;
    return QByteArrayView(m_bytes).sliced(start, rawEnd(index) - start);
}

QByteArrayView IniFile::eolOf(std::size_t index) const
{
    const QByteArrayView raw = rawOf(index);
    if (!raw.endsWith('\n')) return {};
    return raw.endsWith("\r\n") ? raw.last(2) : raw.last(1);
}

QStringView IniFile::textOf(std::size_t index) const
{
    const qsizetype start = m_lines[index].text;
    return QStringView(m_text).sliced(start, textEnd(index) - start);
}

std::optional<std::size_t> IniFile::findSection(QStringView section) const
{
    const QStringView wanted = trimBlanks(section);
    for (const std::size_t i : m_sectionLines) {
        if (sameName(*sectionName(textOf(i)), wanted)) return i;
    }
    return std::nullopt;
}

std::size_t IniFile::sectionEnd(std::size_t sectionLine) const
{
    const auto next = std::upper_bound(m_sectionLines.begin(), m_sectionLines.end(), sectionLine);
    return next == m_sectionLines.end() ? m_lines.size() : *next;
}

std::optional<std::size_t> IniFile::findKey(std::size_t sectionLine, QStringView key) const
{
    const QStringView wanted = trimBlanks(key);
    const std::size_t end = sectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        const auto kv = keyAndValue(textOf(i));
        if (kv && sameName(kv->first, wanted)) return i;
    }
    return std::nullopt;
}

void IniFile::removeSection(QStringView section)
{
    while (const auto s = findSection(section)) removeLines(*s, sectionEnd(*s));
}

void IniFile::removeLines(std::size_t first, std::size_t end)
{
    const Line from = m_lines[first];
    const qsizetype rawSize = rawEnd(end - 1) - from.raw;
    const qsizetype textSize = textEnd(end - 1) - from.text;
    m_bytes.remove(from.raw, rawSize);
    m_text.remove(from.text, textSize);
    shiftLinesAfter(end - 1, -rawSize, -textSize);
    m_lines.erase(m_lines.begin() + std::ptrdiff_t(first), m_lines.begin() + std::ptrdiff_t(end));
    std::erase_if(m_sectionLines, [first, end](std::size_t i) { return i >= first && i < end; });
    for (std::size_t &i : m_sectionLines)
        if (i >= end) i -= end - first;
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    const auto s = findSection(section);
    if (!s) return std::nullopt;
    const auto k = findKey(*s, key);
    if (!k) return std::nullopt;
    return keyAndValue(textOf(*k))->second.toString();
}

QByteArray IniFile::encode(const QString &text) const
{
    return m_encoding == Encoding::Utf8 ? text.toUtf8() : QStringEncoder(kGbkCodec).encode(text);
}

void IniFile::shiftLinesAfter(std::size_t index, qsizetype rawDelta, qsizetype textDelta)
{
    for (std::size_t i = index + 1; i < m_lines.size(); ++i) {
        m_lines[i].raw = quint32(m_lines[i].raw + rawDelta);
        m_lines[i].text = quint32(m_lines[i].text + textDelta);
    }
}

void IniFile::replaceLine(std::size_t index, const QByteArray &raw, const QString &text)
{
    const Line line = m_lines[index];
    const qsizetype rawSize = rawEnd(index) - line.raw;
    const qsizetype textSize = textEnd(index) - line.text;
    m_bytes.replace(line.raw, rawSize, raw);
    m_text.replace(line.text, textSize, text);
    shiftLinesAfter(index, raw.size() - rawSize, text.size() - textSize);
}

void IniFile::insertLine(std::size_t index, const QByteArray &raw, const QString &text)
{
    const bool last = index == m_lines.size();
    const Line line{last ? quint32(m_bytes.size()) : m_lines[index].raw,
                    last ? quint32(m_text.size()) : m_lines[index].text};
    m_bytes.insert(line.raw, raw);
    m_text.insert(line.text, text);
    m_lines.insert(m_lines.begin() + std::ptrdiff_t(index), line);
    shiftLinesAfter(index, raw.size(), text.size());
    auto later = std::lower_bound(m_sectionLines.begin(), m_sectionLines.end(), index);
    for (auto it = later; it != m_sectionLines.end(); ++it) ++*it;
    if (sectionName(text)) m_sectionLines.insert(later, index);
}

void IniFile::endLine(std::size_t index)
{
    if (!eolOf(index).isEmpty()) return;
    // A last line cut after a lone CR would merge with an LF into a CRLF and read
    // back as another line; CRLF after it keeps its bytes and its meaning.
    const QByteArray raw = rawOf(index).toByteArray();
    replaceLine(index, raw + (raw.endsWith('\r') ? QByteArray("\r\n") : m_eol), textOf(index).toString());
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString cleanValue = oneLine(value);
    const QString keyLine = oneLine(key).trimmed() + u'=' + cleanValue;
    const auto s = findSection(section);
    if (!s) {
        if (!m_lines.empty()) endLine(m_lines.size() - 1);
        const QString header = u'[' + oneLine(section).trimmed() + u']';
        insertLine(m_lines.size(), encode(header) + m_eol, header);
        insertLine(m_lines.size(), encode(keyLine) + m_eol, keyLine);
        return;
    }
    if (const auto k = findKey(*s, key)) {
        const QString text = keyAndValue(textOf(*k))->first.toString() + u'=' + cleanValue;
        replaceLine(*k, encode(text) + eolOf(*k).toByteArray(), text);
        return;
    }
    std::size_t at = sectionEnd(*s);
    while (at > *s + 1 && trimBlanks(textOf(at - 1)).isEmpty()) --at;
    endLine(at - 1);
    insertLine(at, encode(keyLine) + m_eol, keyLine);
}

QByteArray IniFile::toBytes() const
{
    // The bytes are kept whole and in line order, a byte-order mark included.
    return m_bytes;
}

namespace IniStore {

IniFile load(const QString &path)
{
    return IniFile::fromBytes(FileAccess::readRegularFile(path, FileAccess::kLargestIniFile).bytes);
}

QString read(const QString &path, const QString &section, const QString &key)
{
    return load(path).value(section, key).value_or(QString());
}

bool save(const QString &path, const IniFile &ini, QString *error)
{
    return FileAccess::writeBytesAtomically(path, ini.toBytes(), error);
}

bool update(const QString &path, const std::function<void(IniFile &)> &change, QString *error)
{
    const FileAccess::FileRead read = FileAccess::readRegularFile(path, FileAccess::kLargestIniFile);
    // A file that exists but cannot be read is left alone rather than replaced.
    if (read.problem != FileAccess::Problem::None && read.problem != FileAccess::Problem::Missing) {
        if (error) *error = FileAccess::describe(read);
        return false;
    }
    IniFile ini = IniFile::fromBytes(read.bytes);
    change(ini);
    return save(path, ini, error);
}

bool write(const QString &path, const QString &section, const QString &key, const QString &value)
{
    return update(path, [&](IniFile &ini) { ini.setValue(section, key, value); });
}

} // namespace IniStore
