#pragma once

#include <QIODevice>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

// The second pass over a PDF that Qt's writer made: page boxes, a text map
// that gives back the characters written, subset tags on the embedded fonts;
// for a press that prints CMYK, every colour and picture converted.
namespace PdfFinishing {

// The colours of the finished file: Qt's RGB, or the press's CMYK with what a
// print shop's preflight asks of such a file (PDF/X-4: PDF 1.6, an output
// intent carrying the press profile, the file's identification in its
// information and XMP metadata, crop and cut marks in registration colour).
enum class Colours { Rgb, Cmyk };

// One line of text as drawn: the characters each of its glyphs stands for,
// in the order the glyphs are drawn (left to right). A ligature stands for
// several characters; the second glyph of a character drawn as two, for none.
using DrawnLine = QStringList;

// What the second pass needs to know of one page. Rectangles are in points,
// measured from the top-left corner of the page Qt drew, whose height is
// qtHeight points; media becomes the page.
struct PageRecord {
    double qtHeight = 0;
    QRectF media;
    QRectF bleed;
    QRectF trim;
    QList<DrawnLine> lines; // none when the page shows no glyph for the first time
    QList<QRectF> marks;    // crop and cut marks the second pass draws (CMYK only)
};

// Reads the pages' records one at a time, in page order; false when there are no more.
using RecordSource = std::function<bool(PageRecord &)>;

// The name of the module that finishes PDFs, and of the function it exports,
// which has the signature of finish.
inline constexpr char kModule[] = "penlark_pdf_finishing";
inline constexpr char kFinishFunction[] = "penlark_finish_pdf";
using FinishFunction = bool(const QStringList &, const QString &, Colours, const RecordSource &, QIODevice &,
                            QString &);

// Reads the parts of a document that Qt wrote (each a PDF of its own), mends
// them page by page and writes them onto target as one PDF, a part at a time,
// so that memory does not grow with the number of pages, its title set to
// title, in the colours asked for; false with a reason. Loads the module on first use.
bool finish(const QStringList &parts, const QString &title, Colours colours, const RecordSource &records,
            QIODevice &target, QString &reason);

} // namespace PdfFinishing
