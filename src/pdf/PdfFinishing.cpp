#include "pdf/PdfFinishing.h"

#include "pdf/PdfFinishingCmyk.h"
#include "pdf/PressColour.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <string_view>
#include <set>

namespace PdfFinishing {

namespace {

// Character codes of one font, each with the text it stands for.
using TextMap = std::map<unsigned, QString>;

// Text maps by font object.
using FontMaps = std::map<QPDFObjGen, TextMap>;

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

// The characters a text map gives for a character that only stands for a
// unified ideograph (a Kangxi radical): the ideograph; other text unchanged.
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
    // An empty box is the media itself.
    const auto local = [&](const QRectF &r) { return (r.isEmpty() ? media : r).translated(-media.topLeft()); };
    QPDFObjectHandle dict = page.getObjectHandle();
    const double height = media.height();
    dict.replaceKey("/MediaBox", rectangle(local({}), height));
    dict.removeKey("/CropBox");
    dict.replaceKey("/BleedBox", rectangle(local(record.bleed), height));
    dict.replaceKey("/TrimBox", rectangle(local(record.trim), height));
}

// Collects, in content order, the character codes the page shows with each
// font. It reads the page's tokens as they stream past rather than building
// an object for each operand, which makes it several times faster.
class ShownCodes : public QPDFObjectHandle::TokenFilter
{
public:
    explicit ShownCodes(QPDFObjectHandle fonts) : m_fonts(fonts) {}

    std::vector<std::pair<QPDFObjGen, unsigned>> codes;

    void handleToken(const QPDFTokenizer::Token &token) override
    {
        switch (token.getType()) {
        case QPDFTokenizer::tt_space:
        case QPDFTokenizer::tt_comment:
        case QPDFTokenizer::tt_array_open:
        case QPDFTokenizer::tt_array_close: return;
        case QPDFTokenizer::tt_word: return handleOperator(token.getValue());
        case QPDFTokenizer::tt_name:
            if (m_operands == 0) m_firstName = token.getValue();
            break;
        case QPDFTokenizer::tt_string: m_strings.push_back(token.getValue()); break;
        default: break;
        }
        ++m_operands;
    }

private:
    void handleOperator(const std::string &op)
    {
        if (op == "Tf" && !m_firstName.empty() && m_fonts.isDictionary())
            m_font = m_fonts.getKey(m_firstName).getObjGen();
        else if ((op == "Tj" || op == "'" || op == "\"") && !m_strings.empty())
            addString(m_strings.back());
        else if (op == "TJ")
            for (const std::string &bytes : m_strings) addString(bytes);
        m_operands = 0;
        m_firstName.clear();
        m_strings.clear();
    }

    void addString(const std::string &bytes)
    {
        // Qt writes two-byte codes (Identity-H) for every font.
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            codes.emplace_back(m_font, (unsigned(uchar(bytes[i])) << 8) | uchar(bytes[i + 1]));
    }

    QPDFObjectHandle m_fonts;
    QPDFObjGen m_font;
    int m_operands = 0;
    std::string m_firstName;
    std::vector<std::string> m_strings;
};

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

// Six capital letters and a plus sign before a font's name mark it as a
// subset. Every part of a document embeds subsets of its own, so the tag
// depends on the part too: a reader that goes by names never mixes them up.
std::string subsetName(const std::string &name, QPDFObjGen font, int part)
{
    if (name.size() > 7 && name[7] == '+') return name;
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray::fromStdString(name + std::to_string(font.getObj()) + '/' + std::to_string(part)),
        QCryptographicHash::Sha1);
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += char('A' + uchar(digest[i]) % 26);
    return "/" + tag + "+" + name.substr(1);
}

void tagSubset(QPDFObjectHandle font, int part)
{
    const auto rename = [&](QPDFObjectHandle dict, const char *key) {
        QPDFObjectHandle name = dict.getKey(key);
        if (name.isName())
            dict.replaceKey(key, QPDFObjectHandle::newName(subsetName(name.getName(), font.getObjGen(), part)));
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

// The text maps of one document: Qt's, and what its pages teach.
class TextMaps
{
public:
    TextMaps(QPDF &pdf, int part) : m_pdf(pdf), m_part(part) {}

    // Pairs the codes shown on a page with the lines drawn on it, glyph by
    // glyph. A page whose glyph count differs from what was drawn teaches
    // nothing, nor does a line where Qt's map names another character than
    // the one drawn (apart from radicals and compatibility forms). A page
    // without lines is not read.
    void learn(QPDFPageObjectHelper &page, const QList<DrawnLine> &lines)
    {
        if (lines.isEmpty()) return;
        ShownCodes shown(page.getAttribute("/Resources", false).getKey("/Font"));
        page.filterContents(&shown);
        std::size_t total = 0;
        for (const DrawnLine &line : lines) total += std::size_t(line.size());
        if (total != shown.codes.size()) return;
        auto next = shown.codes.cbegin();
        for (const DrawnLine &line : lines) {
            if (agrees(line, next)) {
                for (qsizetype i = 0; i < line.size(); ++i) {
                    const auto &[font, code] = *(next + i);
                    QString &known = m_learned[font][code];
                    if (known.isEmpty() || (hasRadical(known) && !hasRadical(line[i]))) known = line[i];
                }
            }
            next += line.size();
        }
    }

    // Writes every Type 0 font's map again, Qt's entries overlaid with what
    // the pages taught, radicals mapped to their ideographs, and marks the
    // font as the subset it is.
    void mendFonts()
    {
        std::set<QPDFObjGen> done;
        for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(m_pdf).getAllPages()) {
            QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKey("/Font");
            if (!fonts.isDictionary()) continue;
            for (auto &[name, font] : fonts.ditems()) {
                if (!font.isDictionary() || !font.getKey("/Subtype").isNameAndEquals("/Type0")) continue;
                if (!done.insert(font.getObjGen()).second) continue;
                TextMap map = qtMap(font.getObjGen());
                for (const auto &[code, text] : m_learned[font.getObjGen()])
                    if (!text.isEmpty()) map[code] = text;
                for (auto &[code, text] : map) text = unifiedIdeographs(text);
                font.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&m_pdf, writeTextMap(map).toStdString()));
                tagSubset(font, m_part);
            }
        }
    }

private:
    using Shown = std::vector<std::pair<QPDFObjGen, unsigned>>;

    bool agrees(const DrawnLine &line, Shown::const_iterator shown)
    {
        for (const QString &drawn : line) {
            const auto &[font, code] = *shown++;
            const TextMap &map = qtMap(font);
            const auto entry = map.find(code);
            const QString qt = entry == map.end() ? QString() : entry->second;
            if (drawn == qt || drawn.isEmpty() || qt.isEmpty() || qt == QChar(u'\0') || hasRadical(qt)) continue;
            if (qt.normalized(QString::NormalizationForm_KC) != drawn.normalized(QString::NormalizationForm_KC) &&
                !(qt.trimmed().isEmpty() && drawn.trimmed().isEmpty()))
                return false;
        }
        return true;
    }

    const TextMap &qtMap(QPDFObjGen font)
    {
        const auto known = m_qt.find(font);
        if (known != m_qt.end()) return known->second;
        TextMap &map = m_qt[font];
        QPDFObjectHandle toUnicode = m_pdf.getObjectByObjGen(font).getKey("/ToUnicode");
        if (toUnicode.isStream()) {
            const auto data = toUnicode.getStreamData(qpdf_dl_generalized);
            map = parseTextMap(QString::fromLatin1(reinterpret_cast<const char *>(data->getBuffer()),
                                                   qsizetype(data->getSize())));
        }
        return map;
    }

    QPDF &m_pdf;
    int m_part;
    FontMaps m_qt;
    FontMaps m_learned;
};

// Sets the boxes of one part's pages, learns from them and mends the part's
// fonts; converts the pages into CMYK when cmyk is given.
void finishPart(QPDF &pdf, int part, const RecordSource &records, CmykPages *cmyk)
{
    QPDFPageDocumentHelper(pdf).pushInheritedAttributesToPage();
    TextMaps maps(pdf, part);
    if (cmyk) cmyk->startPart(pdf);
    PageRecord record;
    for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        if (!records(record)) throw std::runtime_error("a page has no record");
        maps.learn(page, record.lines);
        if (cmyk) cmyk->convert(pdf, page, record);
        setBoxes(pdf, page, record);
    }
    maps.mendFonts();
}

// Writes numbered objects one after another onto a device and the
// cross-reference table that finds them, so that a document of any length is
// written without being held.
class ObjectWriter
{
public:
    explicit ObjectWriter(QIODevice &device) : m_device(device) {}

    // The header, with a comment of high bytes that marks the file as binary.
    void begin(const std::string &version) { write("%PDF-" + version + "\n%\xbf\xf7\xa2\xfe\n"); }

    int reserve()
    {
        m_offsets.push_back(-1);
        return int(m_offsets.size());
    }

    void writeObject(int number, const std::string &body)
    {
        m_offsets[std::size_t(number - 1)] = m_at;
        write(std::to_string(number) + " 0 obj\n" + body + "\nendobj\n");
    }

    void writePageTree(int number, const std::vector<int> &pages)
    {
        std::string kids;
        for (const int page : pages) kids += std::to_string(page) + " 0 R ";
        writeObject(number, "<< /Type /Pages /Count " + std::to_string(pages.size()) + " /Kids [ " + kids + "] >>");
    }

    void finish(int catalog, int info)
    {
        const qint64 table = m_at;
        std::string xref = "xref\n0 " + std::to_string(m_offsets.size() + 1) + "\n0000000000 65535 f \n";
        for (const qint64 offset : m_offsets) {
            if (offset < 0) throw std::runtime_error("an object was never written");
            char entry[32];
            std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(offset));
            xref += entry;
        }
        const QByteArray id = QCryptographicHash::hash(QByteArray::fromStdString(xref), QCryptographicHash::Md5).toHex();
        xref += "trailer\n<< /Size " + std::to_string(m_offsets.size() + 1) + " /Root " + std::to_string(catalog) +
                " 0 R /Info " + std::to_string(info) + " 0 R /ID [ <" + id.toStdString() + "> <" + id.toStdString() +
                "> ] >>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
        write(xref);
    }

private:
    void write(const std::string &bytes)
    {
        if (m_device.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            throw std::runtime_error(m_device.errorString().toStdString());
        m_at += qint64(bytes.size());
    }

    QIODevice &m_device;
    qint64 m_at = 0;
    std::vector<qint64> m_offsets; // by object number, from 1
};

// The numbers of the image objects written so far, by a digest of what they
// hold, so that pages drawing the same picture share one object, whichever
// part they come from. Qt's writer makes a new image object for every page
// that draws a picture.
using ImageNumbers = std::map<QByteArray, int>;

// Copies objects of one part, and every object they refer to, into the
// document under new numbers. Pages hang from the document's page tree; an
// image like one already written is not written again.
class PartCopier
{
public:
    PartCopier(ObjectWriter &out, int pageTree, ImageNumbers &images)
        : m_out(out), m_pageTree(pageTree), m_images(images)
    {
    }

    // Writes the object and what it refers to; its number in the document.
    int copy(QPDFObjectHandle object)
    {
        const int number = numberOf(object);
        writePending();
        return number;
    }

    // The part's catalog as the document's, its pages replaced by the page tree,
    // with extra entries (unparsed) added.
    void copyCatalog(QPDFObjectHandle catalog, int number, const std::string &extra = {})
    {
        std::string body = "<< /Type /Catalog /Pages " + std::to_string(m_pageTree) + " 0 R" + extra;
        unparseEntries(body, catalog, {"/Type", "/Pages"});
        m_out.writeObject(number, body + " >>");
        writePending();
    }

private:
    void writePending()
    {
        while (!m_pending.empty()) {
            const QPDFObjectHandle next = m_pending.front();
            m_pending.pop_front();
            write(next);
        }
    }

    int numberOf(QPDFObjectHandle object)
    {
        const auto [known, added] = m_numbers.emplace(object.getObjGen(), 0);
        if (!added) return known->second;
        const QByteArray digest = imageDigest(object);
        if (!digest.isEmpty()) {
            const auto [image, first] = m_images.emplace(digest, 0);
            if (!first) return known->second = image->second;
            image->second = m_out.reserve();
            known->second = image->second;
        } else {
            known->second = m_out.reserve();
        }
        m_pending.push_back(object);
        return known->second;
    }

    // A digest of an image's dictionary, as it will be written, and its data;
    // empty for any other object. An image's soft mask is an image itself, so
    // two images with the same mask name the same number for it.
    QByteArray imageDigest(QPDFObjectHandle object)
    {
        if (!object.isStream() || !object.getDict().getKey("/Subtype").isNameAndEquals("/Image")) return {};
        std::string dict;
        unparseEntries(dict, object.getDict(), {"/Length"});
        const std::shared_ptr<Buffer> data = object.getRawStreamData();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(QByteArrayView(dict.data(), qsizetype(dict.size())));
        hash.addData(QByteArrayView("\0", 1));
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize())));
        return hash.result();
    }

    void write(QPDFObjectHandle object)
    {
        const int number = m_numbers.at(object.getObjGen());
        std::string body;
        if (!object.isStream()) {
            unparse(body, object, true);
            m_out.writeObject(number, body);
            return;
        }
        const std::shared_ptr<Buffer> data = object.getRawStreamData();
        body = "<<";
        unparseEntries(body, object.getDict(), {"/Length"});
        body += " /Length " + std::to_string(data->getSize()) + " >>\nstream\n";
        body.append(reinterpret_cast<const char *>(data->getBuffer()), data->getSize());
        m_out.writeObject(number, body + "\nendstream");
    }

    // The object's text with every reference renumbered; a page's parent is the page tree.
    void unparse(std::string &text, QPDFObjectHandle object, bool whole = false)
    {
        if (!whole && object.isIndirect()) {
            text += std::to_string(numberOf(object)) + " 0 R";
        } else if (object.isDictionary()) {
            text += "<<";
            unparseEntries(text, object);
            text += " >>";
        } else if (object.isArray()) {
            text += '[';
            for (QPDFObjectHandle item : object.aitems()) {
                text += ' ';
                unparse(text, item);
            }
            text += " ]";
        } else {
            text += object.unparse();
        }
    }

    // A dictionary's entries, but the keys left out, renumbered as unparse does.
    void unparseEntries(std::string &text, QPDFObjectHandle dict, std::initializer_list<std::string_view> leftOut = {})
    {
        const bool page = dict.isPageObject();
        for (auto &[key, value] : dict.ditems()) {
            if (std::find(leftOut.begin(), leftOut.end(), key) != leftOut.end()) continue;
            text += ' ' + QPDFObjectHandle::newName(key).unparse() + ' ';
            if (page && key == "/Parent")
                text += std::to_string(m_pageTree) + " 0 R";
            else
                unparse(text, value);
        }
    }

    ObjectWriter &m_out;
    int m_pageTree;
    ImageNumbers &m_images;
    std::map<QPDFObjGen, int> m_numbers;
    std::deque<QPDFObjectHandle> m_pending;
};

// The information of a CMYK file names it PDF/X-4, untrapped, modified when made.
void identifyPdfX(QPDFObjectHandle info)
{
    info.replaceKey("/GTS_PDFXVersion", QPDFObjectHandle::newString("PDF/X-4"));
    info.replaceKey("/Trapped", QPDFObjectHandle::newName("/False"));
    info.replaceKey("/ModDate", info.getKey("/CreationDate"));
}

// Writes the press profile, the output intent that carries it and the XMP
// metadata; the catalog entries that name them.
std::string writeOutputIntent(ObjectWriter &out, QPDFObjectHandle info, const QString &title)
{
    const QByteArray profile = PressColour::profileData();
    const auto packed = deflate(reinterpret_cast<const unsigned char *>(profile.constData()), std::size_t(profile.size()));
    const int profileNumber = out.reserve();
    out.writeObject(profileNumber, "<< /N 4 /Filter /FlateDecode /Length " + std::to_string(packed->getSize()) +
                                       " >>\nstream\n" +
                                       std::string(reinterpret_cast<const char *>(packed->getBuffer()), packed->getSize()) +
                                       "\nendstream");
    const std::string created = info.getKey("/CreationDate").getUTF8Value();
    const std::string id = QCryptographicHash::hash((title + QString::fromStdString(created)).toUtf8(),
                                                    QCryptographicHash::Md5)
                               .toHex()
                               .insert(20, '-')
                               .insert(16, '-')
                               .insert(12, '-')
                               .insert(8, '-')
                               .toStdString();
    const std::string xmp = xmpMetadata(title, created, id);
    const int metadata = out.reserve();
    out.writeObject(metadata, "<< /Type /Metadata /Subtype /XML /Length " + std::to_string(xmp.size()) +
                                  " >>\nstream\n" + xmp + "\nendstream");
    const auto text = [](const char *value) { return QPDFObjectHandle::newString(value).unparse(); };
    return " /OutputIntents [ << /Type /OutputIntent /S /GTS_PDFX /OutputConditionIdentifier " +
           text(PressColour::kOutputCondition) + " /OutputCondition " + text(PressColour::kOutputConditionInfo) +
           " /Info " + text(PressColour::kOutputConditionInfo) + " /RegistryName " + text(PressColour::kRegistry) +
           " /DestOutputProfile " + std::to_string(profileNumber) + " 0 R >> ] /Metadata " + std::to_string(metadata) +
           " 0 R";
}

} // namespace

} // namespace PdfFinishing

extern "C" Q_DECL_EXPORT bool penlark_finish_pdf(const QStringList &parts, const QString &title,
                                                 PdfFinishing::Colours colours,
                                                 const PdfFinishing::RecordSource &records, QIODevice &target,
                                                 QString &reason)
{
    using namespace PdfFinishing;
    try {
        ObjectWriter out(target);
        const int catalog = out.reserve();
        const int pageTree = out.reserve();
        std::vector<int> pages;
        ImageNumbers images;
        std::optional<CmykPages> cmyk;
        if (colours == Colours::Cmyk) cmyk.emplace();
        int info = 0;
        for (int part = 0; part < parts.size(); ++part) {
            QPDF pdf;
            pdf.processFile(parts[part].toLocal8Bit().constData());
            if (part == 0) out.begin(cmyk ? "1.6" : pdf.getPDFVersion());
            finishPart(pdf, part, records, cmyk ? &*cmyk : nullptr);
            PartCopier copier(out, pageTree, images);
            for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(pdf).getAllPages())
                pages.push_back(copier.copy(page.getObjectHandle()));
            if (part == 0) {
                // Qt leaves a carriage-return byte in its title string unescaped, which
                // readers take for a line feed (名 is 0x540D): the title is set afresh.
                QPDFObjectHandle infoDict = pdf.getTrailer().getKey("/Info");
                infoDict.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title.toStdString()));
                if (cmyk) identifyPdfX(infoDict);
                info = copier.copy(infoDict);
                copier.copyCatalog(pdf.getRoot(), catalog, cmyk ? writeOutputIntent(out, infoDict, title) : std::string());
            }
        }
        out.writePageTree(pageTree, pages);
        out.finish(catalog, info);
        return true;
    } catch (const std::exception &e) {
        reason = QString::fromLocal8Bit(e.what());
        return false;
    }
}
