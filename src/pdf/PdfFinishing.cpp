#include "pdf/PdfFinishing.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <map>
#include <set>

namespace PdfFinishing {

namespace {

// Character codes of one font, each with the text it stands for.
using TextMap = std::map<unsigned, QString>;

// The text maps learned from the pages, by font object.
using FontMaps = std::map<QPDFObjGen, TextMap>;

class DevicePipeline : public Pipeline
{
public:
    explicit DevicePipeline(QIODevice &device) : Pipeline("device", nullptr), m_device(device) {}
    void write(unsigned char const *data, size_t length) override
    {
        if (m_device.write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length))
            throw std::runtime_error(m_device.errorString().toStdString());
    }
    void finish() override {}

private:
    QIODevice &m_device;
};

bool isRadical(char32_t c)
{
    return c >= 0x2E80 && c <= 0x2FDF;
}

bool hasRadical(const QString &text)
{
    for (const char32_t c : text.toUcs4())
        if (isRadical(c)) return true;
    return false;
}

QPDFObjectHandle rectangle(const QRectF &r, double pageHeight)
{
    // PDF counts upwards from the bottom of the page.
    return QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
        QPDFObjectHandle::newReal(r.left(), 2), QPDFObjectHandle::newReal(pageHeight - r.bottom(), 2),
        QPDFObjectHandle::newReal(r.right(), 2), QPDFObjectHandle::newReal(pageHeight - r.top(), 2)});
}

// Sets the boxes and moves the content so that the media's corner is the page's origin.
void setBoxes(QPDF &pdf, QPDFPageObjectHelper &page, const PageRecord &record)
{
    const QRectF media = record.media;
    const double shiftDown = record.qtHeight - media.bottom();
    if (media.left() != 0 || shiftDown != 0) {
        const std::string shift = QStringLiteral("q 1 0 0 1 %1 %2 cm\n")
                                      .arg(-media.left(), 0, 'f', 2)
                                      .arg(-shiftDown, 0, 'f', 2)
                                      .toStdString();
        page.addPageContents(QPDFObjectHandle::newStream(&pdf, shift), true);
        page.addPageContents(QPDFObjectHandle::newStream(&pdf, "\nQ\n"), false);
    }
    const auto local = [&](const QRectF &r) { return r.isEmpty() ? media.translated(-media.topLeft()) : r.translated(-media.topLeft()); };
    QPDFObjectHandle dict = page.getObjectHandle();
    const double height = media.height();
    dict.replaceKey("/MediaBox", rectangle(local({}), height));
    dict.removeKey("/CropBox");
    dict.replaceKey("/BleedBox", rectangle(local(record.bleed), height));
    dict.replaceKey("/TrimBox", rectangle(local(record.trim), height));
}

// Collects, in content order, the character codes the page shows with each font.
class ShownCodes : public QPDFObjectHandle::ParserCallbacks
{
public:
    explicit ShownCodes(QPDFObjectHandle fonts) : m_fonts(fonts) {}

    std::vector<std::pair<QPDFObjGen, unsigned>> codes;

    void handleObject(QPDFObjectHandle object) override
    {
        if (!object.isOperator()) {
            m_operands.push_back(object);
            return;
        }
        const std::string op = object.getOperatorValue();
        if (op == "Tf" && !m_operands.empty() && m_operands.front().isName() && m_fonts.isDictionary())
            m_font = m_fonts.getKey(m_operands.front().getName()).getObjGen();
        else if ((op == "Tj" || op == "'" || op == "\"") && !m_operands.empty())
            addString(m_operands.back());
        else if (op == "TJ" && !m_operands.empty() && m_operands.back().isArray())
            for (QPDFObjectHandle item : m_operands.back().aitems()) addString(item);
        m_operands.clear();
    }
    void handleEOF() override {}

private:
    void addString(QPDFObjectHandle string)
    {
        if (!string.isString()) return;
        // Qt writes two-byte codes (Identity-H) for every font.
        const std::string bytes = string.getStringValue();
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            codes.emplace_back(m_font, (unsigned(uchar(bytes[i])) << 8) | uchar(bytes[i + 1]));
    }

    QPDFObjectHandle m_fonts;
    QPDFObjGen m_font;
    std::vector<QPDFObjectHandle> m_operands;
};

// Pairs the codes shown on a page with the texts drawn on it, line by line,
// where a line has one glyph per character; a page whose glyph count differs
// from what was drawn teaches nothing.
void learnTextMap(QPDFPageObjectHelper &page, const QList<DrawnText> &texts, FontMaps &maps)
{
    ShownCodes shown(page.getAttribute("/Resources", false).getKey("/Font"));
    page.parseContents(&shown);
    std::size_t total = 0;
    for (const DrawnText &t : texts) total += std::size_t(t.glyphs);
    if (total != shown.codes.size()) return;
    std::size_t next = 0;
    for (const DrawnText &t : texts) {
        const QList<uint> characters = t.text.toUcs4();
        if (characters.size() == t.glyphs) {
            for (qsizetype i = 0; i < characters.size(); ++i) {
                const auto &[font, code] = shown.codes[next + std::size_t(i)];
                QString &known = maps[font][code];
                const QString character = QString::fromUcs4(reinterpret_cast<const char32_t *>(&characters[i]), 1);
                if (known.isEmpty() || (hasRadical(known) && !hasRadical(character))) known = character;
            }
        }
        next += std::size_t(t.glyphs);
    }
}

QString fromHex(const QString &hex)
{
    QString text;
    for (qsizetype i = 0; i + 4 <= hex.size(); i += 4) text += QChar(char16_t(hex.mid(i, 4).toUInt(nullptr, 16)));
    return text;
}

// The entries of a ToUnicode CMap as Qt writes it (bfrange with a list or a
// start value, and bfchar).
TextMap parseTextMap(const QString &cmap)
{
    TextMap map;
    static const QRegularExpression section(QStringLiteral("begin(bfrange|bfchar)(.*?)end\\1"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression range(QStringLiteral("<(\\w+)>\\s*<(\\w+)>\\s*(\\[[^\\]]*\\]|<\\w+>)"));
    static const QRegularExpression single(QStringLiteral("<(\\w+)>\\s*<(\\w+)>"));
    static const QRegularExpression value(QStringLiteral("<(\\w+)>"));
    for (const auto &s : section.globalMatch(cmap)) {
        if (s.captured(1) == u"bfchar") {
            for (const auto &m : single.globalMatch(s.captured(2))) map[m.captured(1).toUInt(nullptr, 16)] = fromHex(m.captured(2));
            continue;
        }
        for (const auto &m : range.globalMatch(s.captured(2))) {
            const unsigned first = m.captured(1).toUInt(nullptr, 16);
            const unsigned last = m.captured(2).toUInt(nullptr, 16);
            const QString target = m.captured(3);
            if (target.startsWith(u'[')) {
                unsigned code = first;
                for (const auto &v : value.globalMatch(target)) map[code++] = fromHex(v.captured(1));
            } else {
                const QString start = fromHex(target.mid(1, target.size() - 2));
                for (unsigned code = first; code <= last && !start.isEmpty(); ++code)
                    map[code] = start.left(start.size() - 1) + QChar(char16_t(start.back().unicode() + (code - first)));
            }
        }
    }
    return map;
}

QString hex(const QString &text)
{
    QString out;
    for (const QChar c : text) out += QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return out;
}

QByteArray writeTextMap(const TextMap &map)
{
    QString body;
    std::vector<std::pair<unsigned, QString>> entries;
    for (const auto &[code, text] : map)
        if (!text.isEmpty() && text != QChar(u'\0')) entries.emplace_back(code, text);
    for (std::size_t i = 0; i < entries.size(); i += 100) {
        const std::size_t n = std::min<std::size_t>(100, entries.size() - i);
        body += QStringLiteral("%1 beginbfchar\n").arg(n);
        for (std::size_t j = i; j < i + n; ++j)
            body += QStringLiteral("<%1> <%2>\n").arg(entries[j].first, 4, 16, QLatin1Char('0')).arg(hex(entries[j].second));
        body += QStringLiteral("endbfchar\n");
    }
    return QStringLiteral("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                          "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                          "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                          "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n%1"
                          "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n")
        .arg(body)
        .toLatin1();
}

// Qt's own map, then what the pages taught, then radicals mapped to their ideographs.
void mendTextMap(QPDF &pdf, QPDFObjectHandle font, const TextMap &learned)
{
    QPDFObjectHandle toUnicode = font.getKey("/ToUnicode");
    TextMap map;
    if (toUnicode.isStream()) {
        const auto data = toUnicode.getStreamData(qpdf_dl_generalized);
        map = parseTextMap(QString::fromLatin1(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize())));
    }
    for (const auto &[code, text] : learned) map[code] = text;
    for (auto &[code, text] : map) text = unifiedIdeographs(text);
    font.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&pdf, writeTextMap(map).toStdString()));
}

// Six capital letters and a plus sign before a font's name mark it as a subset.
std::string subsetName(const std::string &name, QPDFObjGen font)
{
    if (name.size() > 7 && name[7] == '+') return name;
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(name + std::to_string(font.getObj())),
                                                       QCryptographicHash::Sha1);
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += char('A' + uchar(digest[i]) % 26);
    return "/" + tag + "+" + name.substr(1);
}

void tagSubset(QPDFObjectHandle font)
{
    const auto rename = [&](QPDFObjectHandle dict, const char *key) {
        QPDFObjectHandle name = dict.getKey(key);
        if (name.isName()) dict.replaceKey(key, QPDFObjectHandle::newName(subsetName(name.getName(), font.getObjGen())));
    };
    rename(font, "/BaseFont");
    QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
    if (!descendants.isArray()) return;
    for (QPDFObjectHandle cid : descendants.aitems()) {
        rename(cid, "/BaseFont");
        QPDFObjectHandle descriptor = cid.getKey("/FontDescriptor");
        // Only a font whose program is embedded is a subset.
        if (!descriptor.isDictionary() || !descriptor.hasKey("/FontFile2")) return;
        rename(descriptor, "/FontName");
    }
}

void mendFonts(QPDF &pdf, const FontMaps &learned)
{
    std::set<QPDFObjGen> done;
    for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKey("/Font");
        if (!fonts.isDictionary()) continue;
        for (auto &[name, font] : fonts.ditems()) {
            if (!font.isDictionary() || !done.insert(font.getObjGen()).second) continue;
            if (font.getKey("/Subtype").isNameAndEquals("/Type0")) {
                const auto it = learned.find(font.getObjGen());
                mendTextMap(pdf, font, it == learned.end() ? TextMap{} : it->second);
                tagSubset(font);
            }
        }
    }
}

} // namespace

QString unifiedIdeographs(const QString &text)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        const QString decomposed = QChar::decomposition(c);
        if (isRadical(c) && QChar::decompositionTag(c) == QChar::Compat && !decomposed.isEmpty())
            out += decomposed;
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

bool finish(const QString &source, const RecordSource &records, QIODevice &target, QString &reason)
{
    try {
        QPDF pdf;
        pdf.processFile(source.toLocal8Bit().constData());
        FontMaps learned;
        PageRecord record;
        for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            if (!records(record)) throw std::runtime_error("a page has no record");
            learnTextMap(page, record.texts, learned);
            setBoxes(pdf, page, record);
        }
        mendFonts(pdf, learned);
        DevicePipeline output(target);
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&output);
        writer.write();
        return true;
    } catch (const std::exception &e) {
        reason = QString::fromLocal8Bit(e.what());
        return false;
    }
}

} // namespace PdfFinishing
