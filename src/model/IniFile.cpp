#include "model/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
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
    QByteArrayView data(bytes);
    if (data.startsWith(kUtf8Bom)) {
        ini.m_encoding = Encoding::Utf8;
        data = data.sliced(kUtf8Bom.size());
    }
    QStringDecoder decoder = ini.m_encoding == Encoding::Utf8
                                 ? QStringDecoder(QStringDecoder::Utf8)
                                 : QStringDecoder(kGbkCodec);
    bool eolChosen = false;
    while (!data.isEmpty()) {
        qsizetype nl = data.indexOf('\n');
        Line line;
        QByteArrayView content = nl < 0 ? data : data.first(nl);
        if (nl >= 0) {
            line.eol = "\n";
            if (content.endsWith('\r')) {
                content.chop(1);
                line.eol = "\r\n";
            }
            if (!eolChosen) {
                ini.m_eol = line.eol;
                eolChosen = true;
            }
        }
        line.raw = content.toByteArray();
        line.text = decoder.decode(content);
        decoder.resetState();
        ini.m_lines.push_back(std::move(line));
        data = nl < 0 ? QByteArrayView() : data.sliced(nl + 1);
    }
    return ini;
}

std::optional<std::size_t> IniFile::findSection(QStringView section) const
{
    const QStringView wanted = trimBlanks(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i].text);
        if (name && sameName(*name, wanted)) return i;
    }
    return std::nullopt;
}

std::size_t IniFile::sectionEnd(std::size_t sectionLine) const
{
    std::size_t i = sectionLine + 1;
    while (i < m_lines.size() && !sectionName(m_lines[i].text)) ++i;
    return i;
}

std::optional<std::size_t> IniFile::findKey(std::size_t sectionLine, QStringView key) const
{
    const QStringView wanted = trimBlanks(key);
    const std::size_t end = sectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        const auto kv = keyAndValue(m_lines[i].text);
        if (kv && sameName(kv->first, wanted)) return i;
    }
    return std::nullopt;
}

void IniFile::removeSection(QStringView section)
{
    while (const auto s = findSection(section)) {
        const auto first = m_lines.begin() + std::ptrdiff_t(*s);
        m_lines.erase(first, m_lines.begin() + std::ptrdiff_t(sectionEnd(*s)));
    }
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    const auto s = findSection(section);
    if (!s) return std::nullopt;
    const auto k = findKey(*s, key);
    if (!k) return std::nullopt;
    return keyAndValue(m_lines[*k].text)->second.toString();
}

IniFile::Line IniFile::makeLine(const QString &text) const
{
    Line line;
    line.text = text;
    if (m_encoding == Encoding::Utf8) {
        line.raw = text.toUtf8();
    } else {
        QStringEncoder encoder(kGbkCodec);
        line.raw = encoder.encode(text);
    }
    line.eol = m_eol;
    return line;
}

void IniFile::endLine(std::size_t index)
{
    Line &line = m_lines[index];
    if (!line.eol.isEmpty()) return;
    // A last line cut after a lone CR would merge with an LF into a CRLF and read
    // back as another line; CRLF after it keeps its bytes and its meaning.
    line.eol = line.raw.endsWith('\r') ? QByteArray("\r\n") : m_eol;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString cleanValue = oneLine(value);
    const auto s = findSection(section);
    if (!s) {
        if (!m_lines.empty()) endLine(m_lines.size() - 1);
        m_lines.push_back(makeLine(u'[' + oneLine(section).trimmed() + u']'));
        m_lines.push_back(makeLine(oneLine(key).trimmed() + u'=' + cleanValue));
        return;
    }
    if (const auto k = findKey(*s, key)) {
        const QString name = keyAndValue(m_lines[*k].text)->first.toString();
        const QByteArray eol = m_lines[*k].eol;
        m_lines[*k] = makeLine(name + u'=' + cleanValue);
        m_lines[*k].eol = eol;
        return;
    }
    std::size_t at = sectionEnd(*s);
    while (at > *s + 1 && trimBlanks(m_lines[at - 1].text).isEmpty()) --at;
    endLine(at - 1);
    const auto pos = m_lines.begin() + std::ptrdiff_t(at);
    m_lines.insert(pos, makeLine(oneLine(key).trimmed() + u'=' + cleanValue));
}

QByteArray IniFile::toBytes() const
{
    QByteArray out;
    if (m_encoding == Encoding::Utf8) out += kUtf8Bom;
    for (const Line &line : m_lines) {
        out += line.raw;
        out += line.eol;
    }
    return out;
}

namespace IniStore {

IniFile load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return IniFile();
    return IniFile::fromBytes(file.readAll());
}

QString read(const QString &path, const QString &section, const QString &key)
{
    return load(path).value(section, key).value_or(QString());
}

namespace {

// A save killed between creating its temporary file and the rename leaves that
// file behind; QSaveFile names it after the target plus "." and six letters or
// digits. The next save of the same file removes such leftovers, so they never
// pile up in a library folder.
void removeStaleTemporaries(const QString &path)
{
    static const QRegularExpression suffix(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
    const QFileInfo target(path);
    QDir dir = target.absoluteDir();
    const QString name = target.fileName();
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (entry.startsWith(name) && suffix.match(entry.mid(name.size())).hasMatch())
            dir.remove(entry);
    }
}

} // namespace

bool save(const QString &path, const IniFile &ini, QString *error)
{
    removeStaleTemporaries(path);
    QSaveFile file(path);
    const QByteArray bytes = ini.toBytes();
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error) *error = file.errorString();
    return ok;
}

bool update(const QString &path, const std::function<void(IniFile &)> &change, QString *error)
{
    QFile file(path);
    IniFile ini;
    if (file.exists()) {
        // A file that exists but cannot be read is left alone rather than replaced.
        if (!file.open(QIODevice::ReadOnly)) {
            if (error) *error = file.errorString();
            return false;
        }
        ini = IniFile::fromBytes(file.readAll());
        file.close();
    }
    change(ini);
    return save(path, ini, error);
}

bool write(const QString &path, const QString &section, const QString &key, const QString &value)
{
    return update(path, [&](IniFile &ini) { ini.setValue(section, key, value); });
}

} // namespace IniStore
