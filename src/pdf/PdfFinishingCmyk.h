#pragma once

#include "pdf/PdfFinishing.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <QByteArray>
#include <map>
#include <memory>
#include <string>

// The CMYK part of the second pass: a page's flat colours, colour spaces and
// pictures converted into the press's CMYK, and its crop and cut marks drawn
// in registration colour; and what the document needs to name its press.
namespace PdfFinishing {

// Converts the pages of a document, part after part; a picture that several
// pages or parts show is converted once.
class CmykPages
{
public:
    // Starts converting the pages of another part.
    void startPart(QPDF &pdf);
    // Converts a page of that part as Qt drew it (before its boxes are set) and draws its marks.
    void convert(QPDF &pdf, QPDFPageObjectHelper &page, const PageRecord &record);

private:
    void convertImage(QPDFObjectHandle image);

    std::map<QByteArray, std::shared_ptr<Buffer>> m_images; // converted pictures by a digest of Qt's
    QPDFObjectHandle m_registration;                         // the part's registration colour space
};

// Data compressed for a stream with /FlateDecode.
std::shared_ptr<Buffer> deflate(const unsigned char *data, std::size_t size);

// The XMP metadata of a CMYK file: its title, dates (as the document
// information gives them, "D:YYYYMMDDHHmmSS..."), trapping and PDF/X version.
std::string xmpMetadata(const QString &title, const std::string &pdfDate, const std::string &documentId);

} // namespace PdfFinishing
