#include "pdf/PrintShopPdf.h"

#include "pdf/PdfFinishing.h"
#include "render/PageExport.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "render/PrintSheet.h"
#include "render/TextLayout.h"

#include <QDataStream>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>
#include <QGlyphRun>
#include <QRawFont>
#include <QSet>
#include <QTextLayout>
#include <cmath>

namespace PrintShopPdf {

namespace {

constexpr double kTwipsPerPoint = 20;
const QColor kMarkColour(Qt::black);

QRectF toPoints(const QRect &twips, QPoint origin)
{
    const QRect r = twips.translated(-origin);
    return {r.x() / kTwipsPerPoint, r.y() / kTwipsPerPoint, r.width() / kTwipsPerPoint, r.height() / kTwipsPerPoint};
}

// A glyph's font and index in one number.
quint64 glyphKey(const QRawFont &font, quint32 index)
{
    const size_t face = qHashMulti(0, font.familyName(), font.styleName(), font.weight(), int(font.style()));
    return quint64(face) << 32 | index;
}

// The characters behind each glyph Qt shapes a line into, left to right as
// the glyphs are drawn: each character is looked up on its own and given to
// the first glyph that draws it. The glyphs' keys are added to keys.
PdfFinishing::DrawnLine glyphTexts(const TextRun &run, QList<quint64> &keys)
{
    QTextLayout layout(run.text, run.font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    struct Glyph {
        QRawFont font;
        quint32 index;
        QPointF at;
        QString text;
    };
    std::vector<Glyph> glyphs;
    for (const QGlyphRun &r : layout.glyphRuns()) {
        const QRawFont font = r.rawFont();
        for (qsizetype i = 0; i < r.glyphIndexes().size(); ++i) {
            glyphs.push_back({font, r.glyphIndexes()[i], r.positions()[i], {}});
            keys.append(glyphKey(font, r.glyphIndexes()[i]));
        }
    }
    for (int at = 0; at < run.text.size();) {
        const int length = run.text.at(at).isHighSurrogate() && at + 1 < run.text.size() ? 2 : 1;
        for (const QGlyphRun &r : layout.glyphRuns(at, length)) {
            if (r.glyphIndexes().isEmpty()) continue;
            const auto owner = std::find_if(glyphs.begin(), glyphs.end(), [&](const Glyph &g) {
                return g.index == r.glyphIndexes().front() && g.at == r.positions().front() && g.font == r.rawFont();
            });
            if (owner != glyphs.end()) owner->text += run.text.mid(at, length);
            break;
        }
        at += length;
    }
    std::stable_sort(glyphs.begin(), glyphs.end(), [](const Glyph &a, const Glyph &b) { return a.at.x() < b.at.x(); });
    PdfFinishing::DrawnLine line;
    for (const Glyph &g : glyphs) line.append(g.text);
    return line;
}

QDataStream &operator<<(QDataStream &out, const PdfFinishing::PageRecord &r)
{
    return out << r.qtHeight << r.media << r.bleed << r.trim << r.lines << r.marks;
}

QDataStream &operator>>(QDataStream &in, PdfFinishing::PageRecord &r)
{
    return in >> r.qtHeight >> r.media >> r.bleed >> r.trim >> r.lines >> r.marks;
}

// Copies of a card and its view with one side shown, to draw that side
// without touching the originals.
struct ShownSide {
    ShownSide(const CardDocument &original, const PageView &originalView, CardSide side)
        : card(original), view(originalView)
    {
        showSide(card, view, side);
    }
    CardDocument card;
    PageView view;
};

// While a CMYK document's page is drawn, the marks painted on its painter are
// collected (in device units: twips of the page) rather than drawn.
struct MarkCollector {
    const QPainter *painter = nullptr;
    QList<QRectF> *marks = nullptr;
};
thread_local MarkCollector t_markCollector;

// The right or bottom edge of a rectangle as a line, not its last twip.
int rightEdge(const QRect &r) { return r.x() + r.width(); }
int bottomEdge(const QRect &r) { return r.y() + r.height(); }

} // namespace

QList<TextRun> cardTexts(const CardDocument &card, const PageView &view)
{
    QList<TextRun> runs;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const CardText &text = card.texts[i];
        if (!text.visible) continue;
        const QFont font = TextLayout::font(text);
        for (const QString &line : TextLayout::lines(text, view.textBlocks[i])) runs.append({line, font});
    }
    return runs;
}

QList<CardSide> printedSides(const CardDocument &card, const Options &options)
{
    QList<CardSide> sides{CardSide::Front};
    if (card.hasBack()) sides << CardSide::Back;
    if (options.side) sides.removeIf([&](CardSide side) { return side != *options.side; });
    return sides;
}

PageText sideText(const CardDocument &card, const PageView &view, CardSide side)
{
    const ShownSide shown(card, view, side);
    return pageText(cardTexts(shown.card, shown.view));
}

PageBoxes cardBoxes(QSize page, Form form)
{
    const QRect whole(QPoint(0, 0), page);
    const QRect trim = PageGeometry::trimRect(page);
    switch (form) {
    case Form::Trim: return {trim, trim, trim};
    case Form::Marks: return {whole.adjusted(-kSlugTwips, -kSlugTwips, kSlugTwips, kSlugTwips), whole, trim};
    case Form::Bleed: break;
    }
    return {whole, whole, trim};
}

void paintCutMarks(QPainter &painter, const QRect &block, const QList<int> &xs, const QList<int> &ys)
{
    constexpr int length = kSlugTwips - kMarkStartTwips;
    constexpr double half = kMarkWidthTwips / 2.0;
    const bool collected = t_markCollector.painter == &painter;
    const auto mark = [&](double x, double y, double w, double h) {
        if (collected)
            t_markCollector.marks->append(painter.worldTransform().mapRect(QRectF(x, y, w, h)));
        else
            painter.fillRect(QRectF(x, y, w, h), kMarkColour);
    };
    for (const int x : xs) {
        mark(x - half, block.y() - kSlugTwips, kMarkWidthTwips, length);
        mark(x - half, bottomEdge(block) + kMarkStartTwips, kMarkWidthTwips, length);
    }
    for (const int y : ys) {
        mark(block.x() - kSlugTwips, y - half, length, kMarkWidthTwips);
        mark(rightEdge(block) + kMarkStartTwips, y - half, length, kMarkWidthTwips);
    }
}

struct Document::State {
    QString path;
    QString title;
    int pagesPerPart = 0;
    Colours colours = Colours::Rgb;
    std::vector<std::unique_ptr<QTemporaryFile>> parts; // Qt's PDFs, one per run of pages
    int pagesInPart = 0;
    QTemporaryFile records; // what the second pass needs of each page
    QDataStream recordStream;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter painter;
    QString error;
    QSet<quint64> shownGlyphs; // every glyph on the part's pages so far

    // Whether glyphs has one that no earlier page of the part showed; remembers them.
    bool showsNewGlyph(const QList<quint64> &glyphs)
    {
        const qsizetype before = shownGlyphs.size();
        for (const quint64 glyph : glyphs) shownGlyphs.insert(glyph);
        return shownGlyphs.size() > before;
    }

    // Ends the part being drawn, if any; false when its file could not be written.
    bool endPart()
    {
        if (!painter.isActive()) return true;
        const bool ended = painter.end() && parts.back()->flush();
        pdf.reset();
        return ended;
    }

    // Starts a part of its own for the next page, with fonts and text maps of its own.
    bool startPart()
    {
        if (!endPart()) return fail(QStringLiteral("cannot write the PDF pages"));
        auto part = std::make_unique<QTemporaryFile>();
        if (!part->open()) return fail(part->errorString());
        pdf = std::make_unique<QPdfWriter>(part.get());
        pdf->setResolution(1440); // one device unit per twip
        pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf->setCreator(QStringLiteral("Penlark"));
        pdf->setTitle(title);
        parts.push_back(std::move(part));
        pagesInPart = 0;
        shownGlyphs.clear();
        return true;
    }

    // Starts the next page, in a new part when the one being drawn is full.
    bool startPage(QSize points)
    {
        if (!painter.isActive() || pagesInPart == pagesPerPart) {
            if (!startPart()) return false;
            pdf->setPageSize(QPageSize(points, QString(), QPageSize::ExactMatch));
            if (!painter.begin(pdf.get())) return fail(QStringLiteral("cannot start the PDF page"));
        } else {
            pdf->setPageSize(QPageSize(points, QString(), QPageSize::ExactMatch));
            if (!pdf->newPage()) return fail(QStringLiteral("cannot start a new PDF page"));
        }
        ++pagesInPart;
        return true;
    }

    bool fail(const QString &reason)
    {
        error = reason;
        return false;
    }
};

Document::Document(const QString &path, const QString &title, int pagesPerPart, Colours colours)
    : d(std::make_unique<State>())
{
    d->path = path;
    d->title = title;
    d->pagesPerPart = std::max(1, pagesPerPart);
    d->colours = colours;
    if (!d->records.open()) d->error = d->records.errorString();
    d->recordStream.setDevice(&d->records);
}

Document::~Document() = default;

PageText pageText(const QList<TextRun> &texts)
{
    PageText text;
    for (const TextRun &run : texts) text.lines.append(glyphTexts(run, text.glyphs));
    return text;
}

bool Document::addPage(const PageBoxes &boxes, const QList<TextRun> &texts,
                       const std::function<void(QPainter &)> &paint)
{
    return addPage(boxes, pageText(texts), paint);
}

bool Document::addPage(const PageBoxes &boxes, const PageText &text, const std::function<void(QPainter &)> &paint)
{
    if (!d->error.isEmpty()) return false;
    // Qt's pages are whole points; the second pass sets the exact boxes.
    const QSize points(int(std::ceil(boxes.media.width() / kTwipsPerPoint)),
                       int(std::ceil(boxes.media.height() / kTwipsPerPoint)));
    if (!d->startPage(points)) return false;
    QList<QRectF> marks;
    if (d->colours == Colours::Cmyk) t_markCollector = {&d->painter, &marks};
    d->painter.save();
    d->painter.translate(-boxes.media.topLeft());
    paint(d->painter);
    d->painter.restore();
    t_markCollector = {};

    const QPoint origin = boxes.media.topLeft();
    PdfFinishing::PageRecord record{double(points.height()), toPoints(boxes.media, origin),
                                    toPoints(boxes.bleed, origin), toPoints(boxes.trim, origin), {}, {}};
    for (const QRectF &mark : marks)
        record.marks.append({mark.x() / kTwipsPerPoint, mark.y() / kTwipsPerPoint, mark.width() / kTwipsPerPoint,
                             mark.height() / kTwipsPerPoint});
    // Only a page that shows a glyph for the first time can teach the text map
    // something; the others carry no lines, and the second pass skips reading them.
    if (d->showsNewGlyph(text.glyphs)) record.lines = text.lines;
    d->recordStream << record;
    return true;
}

bool Document::finish(QString *error)
{
    const auto fail = [&](const QString &reason) {
        if (error) *error = reason;
        return false;
    };
    if (!d->error.isEmpty()) return fail(d->error);
    if (d->parts.empty()) return fail(QStringLiteral("the document has no page"));
    if (!d->endPart()) return fail(QStringLiteral("cannot write the PDF pages"));
    if (d->recordStream.status() != QDataStream::Ok || !d->records.flush() || !d->records.seek(0))
        return fail(d->records.errorString());
    const auto nextRecord = [this](PdfFinishing::PageRecord &record) {
        if (d->recordStream.atEnd()) return false;
        d->recordStream >> record;
        return d->recordStream.status() == QDataStream::Ok;
    };
    QStringList parts;
    for (const auto &part : d->parts) parts << part->fileName();
    return PageExport::writeAtomically(d->path, error, [&](QIODevice &device, QString &reason) {
        return PdfFinishing::finish(parts, d->title, d->colours, nextRecord, device, reason);
    });
}

Writer::Writer(const QString &path, const Options &options)
    : m_options(options), m_document(path, options.title, Document::kPagesPerPart, options.colours)
{
}

Writer::~Writer() = default;

bool Writer::addCard(const CardDocument &card, const PageView &view)
{
    for (const CardSide side : printedSides(card, m_options))
        if (!addSide(card, view, side, sideText(card, view, side))) return false;
    return true;
}

bool Writer::addCard(const CardDocument &card, const PageView &view, const PageText &frontText,
                     const PageText &backText)
{
    for (const CardSide side : printedSides(card, m_options))
        if (!addSide(card, view, side, side == CardSide::Front ? frontText : backText)) return false;
    return true;
}

bool Writer::addSide(const CardDocument &card, const PageView &view, CardSide side, const PageText &text)
{
    ShownSide shown(card, view, side);
    shown.view.cropMarks = false;
    const PageBoxes boxes = cardBoxes(PageRenderer::pageTwips(shown.card), m_options.form);
    return m_document.addPage(boxes, text, [&](QPainter &painter) {
        // Nothing of the card reaches beyond its bleed: a text running off the
        // card stops there, and the slug carries only the marks.
        painter.save();
        painter.setClipRect(boxes.bleed);
        PageRenderer::paintVector(painter, shown.card, shown.view, 1.0);
        painter.restore();
        if (m_options.form == Form::Marks)
            paintCutMarks(painter, boxes.bleed, {boxes.trim.x(), rightEdge(boxes.trim)},
                          {boxes.trim.y(), bottomEdge(boxes.trim)});
    });
}

bool Writer::finish(QString *error)
{
    return m_document.finish(error);
}

bool writeCard(const CardDocument &card, const PageView &view, const QString &path, const Options &options,
               QString *error)
{
    Writer writer(path, options);
    writer.addCard(card, view); // a failure is reported by finish
    return writer.finish(error);
}

CutLines cutLines(const std::vector<QPoint> &positions, QPoint blockAt, const QRect &trim)
{
    CutLines cuts;
    for (const QPoint &at : positions) {
        const QPoint corner = blockAt + at + trim.topLeft();
        cuts.xs << corner.x() << corner.x() + trim.width();
        cuts.ys << corner.y() << corner.y() + trim.height();
    }
    for (QList<int> *lines : {&cuts.xs, &cuts.ys}) {
        std::sort(lines->begin(), lines->end());
        lines->erase(std::unique(lines->begin(), lines->end()), lines->end());
    }
    return cuts;
}

void paintCutMarksBehind(QPainter &painter, const QRect &block, const CutLines &cuts, int paperWidth)
{
    QList<int> xs;
    for (const int x : cuts.xs) xs.prepend(paperWidth - x);
    paintCutMarks(painter, QRect(QPoint(paperWidth - rightEdge(block), block.y()), block.size()), xs, cuts.ys);
}

bool writeSheet(const SheetPicture &picture, std::optional<SheetCopies> copies, const QString &path,
                const SheetOptions &options, QString *error)
{
    const QPoint blockAt = options.marks ? QPoint(kSlugTwips, kSlugTwips) : QPoint(0, 0);
    const QRect block(blockAt, SheetPrint::pageSize(picture, copies));
    const std::vector<QPoint> positions = SheetPrint::copyPositions(picture, copies);
    const CutLines cuts = cutLines(positions, blockAt, picture.trimTwips());
    const int paperWidth = PrintSheet::kSheet.width();

    Document document(path, options.title, Document::kPagesPerPart, options.colours);
    const PageBoxes boxes{QRect(QPoint(0, 0), PrintSheet::kSheet), {}, {}};
    // The front's page, then for a card with a back the back's, which stands
    // behind it when the sheet is turned over on its long edge.
    const auto addSide = [&](const SheetPicture &side, bool back) {
        // Every copy shows the same texts: they are shaped once.
        PageText texts;
        if (side.card()) {
            const PageText one = pageText(cardTexts(*side.card(), side.view()));
            for (std::size_t i = 0; i < positions.size(); ++i) texts += one;
        }
        document.addPage(boxes, texts, [&](QPainter &painter) {
            const SheetPicture drawn = options.marks ? side.withoutCropMarks() : side;
            painter.save();
            painter.translate(blockAt);
            if (back)
                SheetPrint::paintBackPage(painter, drawn, copies, 1.0, 300, paperWidth - 2 * blockAt.x());
            else
                SheetPrint::paintPage(painter, drawn, copies, 1.0, 300);
            painter.restore();
            if (options.marks && back) paintCutMarksBehind(painter, block, cuts, paperWidth);
            if (options.marks && !back) paintCutMarks(painter, block, cuts.xs, cuts.ys);
        });
    };
    addSide(picture, false);
    if (const std::optional<SheetPicture> back = picture.back()) addSide(*back, true);
    return document.finish(error);
}

} // namespace PrintShopPdf
