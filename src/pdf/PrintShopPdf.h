#pragma once

#include "model/PageView.h"
#include "pdf/PdfFinishing.h"
#include "render/SheetPicture.h"

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

// The PDF a print shop takes: one card per page, its boxes set (MediaBox,
// BleedBox, TrimBox), texts as text whose copied or searched characters are
// the ones written on the card, fonts embedded as subsets, and the document
// information filled in. Pages are streamed into a temporary file and the
// target appears only when the writer finishes; an abandoned writer leaves
// nothing behind.
namespace PrintShopPdf {

enum class Form {
    Bleed, // the whole card page: MediaBox = BleedBox = the page, TrimBox inside it
    Marks, // the same with a slug around it that carries crop marks outside the bleed
    Trim,  // the trimmed card alone: MediaBox = TrimBox
};

// The form a command line's --trim and --marks ask for (trim wins).
inline Form formFor(bool trim, bool marks) { return trim ? Form::Trim : marks ? Form::Marks : Form::Bleed; }

using PdfFinishing::Colours;

struct Options {
    Form form = Form::Marks;
    QString title; // the document's Title (the card's file name, or its name text)
    Colours colours = Colours::Rgb;
    // Only this side of each card; by default every side the card has, the
    // front's page first and the back's after it, as a print shop reads them.
    std::optional<CardSide> side = std::nullopt;
};

// The boxes of one page in twips, in the coordinates the page is drawn in.
// media is the page itself; bleed and trim default to it when empty.
struct PageBoxes {
    QRect media;
    QRect bleed;
    QRect trim;
};

// The crop marks stand this far into the slug: they start 1 mm beyond the bleed
// (4 mm outside the trim) and run to the edge of the slug.
inline constexpr int kSlugTwips = 340;      // 6 mm
inline constexpr int kMarkStartTwips = 57;  // 1 mm beyond the bleed or the block
inline constexpr int kMarkWidthTwips = 5;   // a quarter point

// One line of text as a page draws it, in the font it is drawn in.
struct TextRun {
    QString text;
    QFont font;
};

// The sides of a card that the options draw, in page order.
QList<CardSide> printedSides(const CardDocument &card, const Options &options);

// The lines of text the page renderer draws for a card, in drawing order.
QList<TextRun> cardTexts(const CardDocument &card, const PageView &view);

// What the text map needs of a page's lines: the characters behind each glyph
// of each line. Finding them is the costly part of adding a page; it may run
// on any thread, so that many pages are prepared at once.
// glyphs names every glyph drawn (its font and index), so that a document
// reads back only the pages that show a glyph for the first time.
struct PageText {
    QList<QStringList> lines;
    QList<quint64> glyphs;

    PageText &operator+=(const PageText &other)
    {
        lines += other.lines;
        glyphs += other.glyphs;
        return *this;
    }
};
PageText pageText(const QList<TextRun> &texts);
// The text map of one side of a card, whichever side the card shows.
PageText sideText(const CardDocument &card, const PageView &view, CardSide side);

// The boxes of a card page of the given size (twips) in a form, in the card
// page's coordinates (the media of the marked form starts at -kSlugTwips).
PageBoxes cardBoxes(QSize page, Form form);

// Short cut marks outside a block (a card's bleed, or a block of copies) on
// every cut line: on each x above and below the block, on each y left and
// right of it, from kMarkStartTwips to kSlugTwips beyond its edge; none inside.
// On a page of a CMYK document the marks are handed to the document, which
// has them drawn in registration colour on every plate.
void paintCutMarks(QPainter &painter, const QRect &block, const QList<int> &xs, const QList<int> &ys);

// The cut lines of copies at positions (from the block's corner at blockAt) whose
// trim rectangle is trim: every trim edge's x and y in twips, each once, in order.
struct CutLines {
    QList<int> xs;
    QList<int> ys;
};
CutLines cutLines(const std::vector<QPoint> &positions, QPoint blockAt, const QRect &trim);

// The cut marks of a block drawn on the other side of a sheet paperWidth wide:
// the block and every x mirrored, so that they stand on the front's cut lines
// when the sheet is turned over on its long edge.
void paintCutMarksBehind(QPainter &painter, const QRect &block, const CutLines &cuts, int paperWidth);

// A PDF written one page at a time; memory stays flat in the number of pages.
// Qt draws the pages into parts of pagesPerPart pages, each a PDF with fonts of
// its own, and the second pass reads one part at a time.
class Document
{
public:
    static constexpr int kPagesPerPart = 500;

    Document(const QString &path, const QString &title, int pagesPerPart = kPagesPerPart,
             Colours colours = Colours::Rgb);
    ~Document();
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    // Adds a page: paint draws it at one device unit per twip, in the
    // coordinates of boxes; texts are the lines of text it draws, in order, so
    // that the text map gives back the characters written.
    bool addPage(const PageBoxes &boxes, const QList<TextRun> &texts, const std::function<void(QPainter &)> &paint);
    // The same with the lines' text found beforehand (pageText).
    bool addPage(const PageBoxes &boxes, const PageText &text, const std::function<void(QPainter &)> &paint);

    // Finishes the document and writes the target; false with a reason
    // (the target is left as it was).
    bool finish(QString *error = nullptr);

private:
    struct State;
    std::unique_ptr<State> d;
};

// Cards in one of the three forms, each side of a card on a page of its own.
class Writer
{
public:
    Writer(const QString &path, const Options &options);
    ~Writer();

    // Draws the sides of the card the options ask for, each on a page of its
    // own with the same boxes (its own crop marks left out: the marked form
    // has marks of its own outside the bleed).
    bool addCard(const CardDocument &card, const PageView &view);
    // The same with the sides' texts found beforehand (sideText); backText
    // is used only when the card has a back.
    bool addCard(const CardDocument &card, const PageView &view, const PageText &frontText,
                 const PageText &backText = {});
    bool finish(QString *error = nullptr);

private:
    bool addSide(const CardDocument &card, const PageView &view, CardSide side, const PageText &text);

    Options m_options;
    Document m_document;
};

// A one-card PDF: the front on page 1 and, when the card has a back, the back
// on page 2 (or only the side the options name).
bool writeCard(const CardDocument &card, const PageView &view, const QString &path, const Options &options,
               QString *error = nullptr);

struct SheetOptions {
    bool marks = false; // cut marks around the block, which then stands kSlugTwips in from the corner
    QString title;
    Colours colours = Colours::Rgb;
};

// The print window's page (one A4 portrait page, the card or the block of
// copies at its top-left corner) with the same text map as a card page; for a
// card with a back a second page follows with the backs behind the fronts.
bool writeSheet(const SheetPicture &picture, std::optional<SheetCopies> copies, const QString &path,
                const SheetOptions &options, QString *error = nullptr);

} // namespace PrintShopPdf
