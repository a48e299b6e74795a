#include "pdf/PdfFinishingCmyk.h"

#include "pdf/PressColour.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace PdfFinishing {

namespace {

// The registration colour's name among a page's colour spaces.
constexpr char kRegistration[] = "/PenlarkAll";

std::string number(double value)
{
    QByteArray text = QByteArray::number(value, 'f', 4);
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith('.')) text.chop(1);
    return text.toStdString();
}

std::string inks(const PressColour::Cmyk &ink)
{
    return number(ink.c) + ' ' + number(ink.m) + ' ' + number(ink.y) + ' ' + number(ink.k) + ' ';
}

int channel(double value)
{
    return int(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

// Rewrites a content stream's RGB colours for DeviceCMYK: the three operands
// of rg, RG, sc, scn, SC and SCN become the press's four. Qt sets its colours
// with sc/scn in its RGB colour space; a grey (one operand, DeviceGray, which
// prints on the black plate) and a pattern's name are left as they are.
class CmykColours : public QPDFObjectHandle::TokenFilter
{
public:
    void handleToken(const QPDFTokenizer::Token &token) override
    {
        switch (token.getType()) {
        case QPDFTokenizer::tt_integer:
        case QPDFTokenizer::tt_real:
            m_pending.push_back(token);
            m_numbers.push_back(QByteArray::fromStdString(token.getValue()).toDouble());
            return;
        case QPDFTokenizer::tt_space:
            if (m_numbers.empty()) break;
            m_pending.push_back(token);
            return;
        case QPDFTokenizer::tt_word:
            if (convert(token.getValue())) return;
            break;
        default: break;
        }
        flush();
        writeToken(token);
    }

    void handleEOF() override { flush(); }

private:
    bool convert(const std::string &op)
    {
        const bool rgbOp = op == "rg" || op == "RG";
        if (m_numbers.size() != 3 || !(rgbOp || op == "sc" || op == "scn" || op == "SC" || op == "SCN")) return false;
        write(inks(PressColour::flatColour(channel(m_numbers[0]), channel(m_numbers[1]), channel(m_numbers[2]))) +
              (op == "rg" ? "k" : op == "RG" ? "K" : op));
        m_pending.clear();
        m_numbers.clear();
        return true;
    }

    void flush()
    {
        for (const QPDFTokenizer::Token &token : m_pending) writeToken(token);
        m_pending.clear();
        m_numbers.clear();
    }

    std::vector<QPDFTokenizer::Token> m_pending;
    std::vector<double> m_numbers;
};

// Every RGB colour space a page names becomes DeviceCMYK (a pattern's too);
// the registration colour joins them when the page has marks.
void convertColourSpaces(QPDFObjectHandle resources, const PageRecord &record, QPDFObjectHandle registration)
{
    QPDFObjectHandle spaces = resources.getKey("/ColorSpace");
    if (!spaces.isDictionary()) {
        spaces = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/ColorSpace", spaces);
    }
    for (auto &[name, space] : spaces.ditems()) {
        if (space.isNameAndEquals("/DeviceRGB"))
            spaces.replaceKey(name, QPDFObjectHandle::newName("/DeviceCMYK"));
        else if (space.isArray() && space.getArrayNItems() == 2 && space.getArrayItem(0).isNameAndEquals("/Pattern"))
            spaces.replaceKey(name, QPDFObjectHandle::parse("[/Pattern /DeviceCMYK]"));
    }
    if (!record.marks.isEmpty()) spaces.replaceKey(kRegistration, registration);
}

// The marks as a content stream, in registration colour on every plate.
std::string marksContent(const PageRecord &record)
{
    if (record.marks.isEmpty()) return {};
    std::string content = std::string("q ") + kRegistration + " cs 1 scn\n";
    for (const QRectF &r : record.marks)
        content += number(r.x()) + ' ' + number(record.qtHeight - r.bottom()) + ' ' + number(r.width()) + ' ' +
                   number(r.height()) + " re\n";
    return content + "f Q\n";
}

} // namespace

std::shared_ptr<Buffer> deflate(const unsigned char *data, std::size_t size)
{
    Pl_Buffer out("deflated");
    Pl_Flate flate("deflate", &out, Pl_Flate::a_deflate);
    flate.write(data, size);
    flate.finish();
    return out.getBufferSharedPointer();
}

void CmykPages::startPart(QPDF &pdf)
{
    // All: every plate at the same tint.
    m_registration = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "[/Separation /All /DeviceCMYK << /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [1 1 1 1] /N 1 >>]"));
}

void CmykPages::convert(QPDF &pdf, QPDFPageObjectHelper &page, const PageRecord &record)
{
    convertColourSpaces(page.getAttribute("/Resources", true), record, m_registration);
    for (auto &[name, object] : page.getImages()) convertImage(object);

    Pl_Buffer filtered("content");
    CmykColours colours;
    page.filterContents(&colours, &filtered);
    filtered.finish();
    const std::shared_ptr<Buffer> drawn = filtered.getBufferSharedPointer();
    // Qt's drawing keeps its state to itself; the marks are drawn after it.
    const std::string content = "q\n" +
                                std::string(reinterpret_cast<const char *>(drawn->getBuffer()), drawn->getSize()) +
                                "\nQ\n" + marksContent(record);
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf);
    stream.replaceStreamData(deflate(reinterpret_cast<const unsigned char *>(content.data()), content.size()),
                             QPDFObjectHandle::newName("/FlateDecode"), QPDFObjectHandle::newNull());
    page.getObjectHandle().replaceKey("/Contents", stream);
}

void CmykPages::convertImage(QPDFObjectHandle image)
{
    QPDFObjectHandle dict = image.getDict();
    if (!dict.getKey("/ColorSpace").isNameAndEquals("/DeviceRGB")) return;
    const auto raw = image.getRawStreamData();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::fromStdString(dict.getKey("/Filter").unparse() + dict.getKey("/Width").unparse() + 'x' +
                                           dict.getKey("/Height").unparse()));
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(raw->getBuffer()), qsizetype(raw->getSize())));
    std::shared_ptr<Buffer> &converted = m_images[hash.result()];
    if (!converted) {
        const auto rgb = image.getStreamData(qpdf_dl_all);
        const std::size_t pixels = std::size_t(dict.getKey("/Width").getIntValue()) *
                                   std::size_t(dict.getKey("/Height").getIntValue());
        if (dict.getKey("/BitsPerComponent").getIntValueAsInt() != 8 || rgb->getSize() != pixels * 3)
            throw std::runtime_error("a picture of the page cannot be converted into CMYK");
        std::vector<unsigned char> cmyk(pixels * 4);
        PressColour::convertPixels(rgb->getBuffer(), cmyk.data(), pixels);
        converted = deflate(cmyk.data(), cmyk.size());
    }
    image.replaceStreamData(converted, QPDFObjectHandle::newName("/FlateDecode"), QPDFObjectHandle::newNull());
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceCMYK"));
}

std::string xmpMetadata(const QString &title, const std::string &pdfDate, const std::string &documentId)
{
    // D:YYYYMMDDHHmmSS followed by Z or +HH'mm' becomes YYYY-MM-DDTHH:mm:SS and Z or +HH:mm.
    static const QRegularExpression date(
        QStringLiteral("^D:(\\d{4})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(Z|([+-])(\\d{2})'(\\d{2})'?)?"));
    const auto m = date.match(QString::fromStdString(pdfDate));
    QString when;
    if (m.hasMatch())
        when = QStringLiteral("%1-%2-%3T%4:%5:%6%7")
                   .arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4), m.captured(5), m.captured(6),
                        m.captured(8).isEmpty() ? QStringLiteral("Z")
                                                : m.captured(8) + m.captured(9) + u':' + m.captured(10));
    const QString xmp = QStringLiteral(
        "<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
        "<rdf:Description rdf:about=\"\"\n"
        " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
        " xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
        " xmlns:xmpMM=\"http://ns.adobe.com/xap/1.0/mm/\"\n"
        " xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"\n"
        " xmlns:pdfxid=\"http://www.npes.org/pdfx/ns/id/\">\n"
        "<dc:format>application/pdf</dc:format>\n"
        "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n"
        "<xmp:CreateDate>%2</xmp:CreateDate>\n"
        "<xmp:ModifyDate>%2</xmp:ModifyDate>\n"
        "<xmp:CreatorTool>Penlark</xmp:CreatorTool>\n"
        "<xmpMM:DocumentID>uuid:%3</xmpMM:DocumentID>\n"
        "<xmpMM:InstanceID>uuid:%3</xmpMM:InstanceID>\n"
        "<xmpMM:VersionID>1</xmpMM:VersionID>\n"
        "<xmpMM:RenditionClass>default</xmpMM:RenditionClass>\n"
        "<pdf:Trapped>False</pdf:Trapped>\n"
        "<pdfxid:GTS_PDFXVersion>PDF/X-4</pdfxid:GTS_PDFXVersion>\n"
        "</rdf:Description>\n"
        "</rdf:RDF>\n"
        "</x:xmpmeta>\n"
        "<?xpacket end=\"w\"?>")
                            .arg(title.toHtmlEscaped(), when, QString::fromStdString(documentId));
    return xmp.toStdString();
}

} // namespace PdfFinishing
