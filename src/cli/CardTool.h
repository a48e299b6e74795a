#pragma once

#include "model/PageView.h"

#include <QSize>
#include <QString>
#include <QTextStream>
#include <optional>

// The commands of penlark-card. Each returns the process exit status and
// writes its output and errors to the given streams.
namespace CardTool {

// The exit status of render and sheet when the card shows a QR code that
// could not be drawn (its texts are more than a code holds): the output is
// written with the code's place left white.
inline constexpr int kWrittenWithoutCode = 3;

// True for a path ending in .pdf, in any letter case.
bool isPdf(const QString &path);

// Prints the card as the designer opens it, as JSON: one member per section in
// file order, each with the section's keys as a save spells them (the QR
// code's section only when the card has a code), then "vCard", the text its
// QR code encodes (null when the texts are more than a code holds). Library references are resolved in programFolder.
int dump(const QString &path, const QString &programFolder, QTextStream &out, QTextStream &err);

struct QrRequest {
    QString card;
    QString output;         // .png (or another picture format) or .svg
    QString programFolder;
    double sizeMm = 0;      // 0: the card's code's size, or the size a new code takes
    double dpi = 300;
};

// Writes the card's QR code alone. A size at which a module would be smaller
// than 0.25 mm is refused with the reason and the smallest size that reads; a
// picture has whole pixels a module, as many as fit in the size at the dpi,
// and fewer than two are refused with the lowest dpi that gives two.
int qr(const QrRequest &request, QTextStream &err);

// Writes the default card, with its new back when withBack, to path (an
// existing file is updated key by key).
int writeNew(const QString &path, bool withBack, QTextStream &err);

struct RenderRequest {
    QString card;
    QString output;         // .bmp, .png (or another picture format) or .pdf
    QString programFolder;  // where library references are resolved
    double dpi = 96;
    bool trim = false;
    bool marks = false;     // PDF: crop marks in a slug around the bleed
    bool cmyk = false;      // PDF: in the press's CMYK
    bool cropMarks = true;  // pictures: the page's own crop marks
    // That side alone; without it a picture shows the front and a PDF every
    // side the card has, the back on page 2.
    std::optional<CardSide> side = std::nullopt;
};

// Renders a card file to a picture or PDF; missing library pictures are
// treated as the designer treats them, with a warning on err. The back of a
// card without one is refused with exit status 1, nothing written.
int render(const RenderRequest &request, QTextStream &err);

struct SheetRequest {
    QString card;
    QString output;         // a .pdf file
    QString programFolder;
    int across = 0;         // 0 and 0: one card; otherwise a block of copies
    int down = 0;
    bool trim = false;      // leave out the 3 mm zone of the crop marks
    bool marks = false;     // cut marks outside the block on every cut line
    bool cmyk = false;      // in the press's CMYK
};

// Writes the print window's page as a vector PDF: one A4 portrait page with the
// card, or across x down copies, at its top-left corner as they are printed.
int sheet(const SheetRequest &request, QTextStream &err);

// A file manager runs the thumbnailer on every card it shows, downloaded ones
// too: a larger file is no card (the largest real ones are a few kB).
inline constexpr qint64 kLargestThumbnailCard = 1 << 20;

// Writes the card without its bleed as a PNG whose longer side is size pixels,
// for a file manager's previews. The file is refused above
// kLargestThumbnailCard; pictures are decoded only as far as the preview shows them.
int thumbnail(const QString &card, const QString &output, int size, const QString &programFolder, QTextStream &err);

struct OpenedCard {
    CardDocument card = CardDocument::defaultCard();
    PageView view;
};

// Reads a card file as the designer opens it; each picture that cannot be
// loaded and each length out of range is reported on err as a warning.
std::optional<OpenedCard> openCard(const QString &path, const QString &programFolder, QTextStream &err);

// Reads a regular file of at most maxSize bytes whole; a file that cannot be
// read is reported on err.
std::optional<QByteArray> readFile(const QString &path, qint64 maxSize, QTextStream &err);

// Reports a file that cannot be written; returns the exit status 1.
int cannotWrite(const QString &path, const QString &reason, QTextStream &err);

struct GradientRequest {
    QSize size;
    float angle = 0;
    qint32 color1 = 0;
    qint32 color2 = 0;
    QString output;
};

// Draws only a gradient onto a surface that starts white, as a 24-bit BMP.
int gradient(const GradientRequest &request, QTextStream &err);

} // namespace CardTool
