#pragma once

#include "model/PageView.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

// What the print window lays out and prints: either a card page, drawn by the
// page renderer at the resolution of whatever it is drawn on (the whole page,
// or with exactSize the page less the 3 mm zone of the crop marks), or a picture
// card at its natural size. Either way the picture's size is its size on screen
// at 15 twips per pixel, so a card keeps its size in millimetres. A card's
// picture is its front, whichever side the card shows; a card with a back has
// a back picture too.
class SheetPicture
{
public:
    static SheetPicture fromCard(const CardDocument &card, const PageView &view, bool exactSize);
    // The card's back drawn the same way (the same part of the page); nothing
    // for a one-sided card or a picture card.
    std::optional<SheetPicture> back() const;
    bool hasBack() const { return m_card && m_card->hasBack(); }
    static SheetPicture fromImage(const QImage &picture);
    // The same picture drawn without the card's crop marks (cut marks outside a
    // block replace them); its screen image is left as it is.
    SheetPicture withoutCropMarks() const;

    // What a card picture is made of, for sheets of different cards that share
    // one layout: the part of the card's page shown (screen pixels), the trim
    // rectangle in the shown part's twips, and the card drawn as paint draws it.
    static QRect shownRegion(const CardDocument &card, bool exactSize);
    static QRect trimTwips(const CardDocument &card, QRect region);
    static void paintCard(QPainter &painter, const CardDocument &card, const PageView &view, QRect region, QPoint at,
                          double deviceUnitsPerTwip, const QImage &background);

    // The picture as the print window shows it, 15 twips per pixel.
    const QImage &screenImage() const { return m_screen; }
    // Its natural size in twips.
    QSize twips() const;
    // The card's trim rectangle in the picture's twips (the whole picture for a
    // picture card).
    QRect trimTwips() const;
    // The card drawn and its page view; no card for a picture card.
    const std::optional<CardDocument> &card() const { return m_card; }
    const PageView &view() const { return m_view; }

    // The bitmap a card's gradient or picture background is drawn from at dpi;
    // null for a solid colour and for a picture card.
    QImage background(double dpi) const;
    // Draws the picture with its top-left corner at `at` (twips) onto a painter
    // counting deviceUnitsPerTwip units per twip; background as above.
    void paint(QPainter &painter, QPoint at, double deviceUnitsPerTwip, const QImage &background) const;

private:
    std::optional<CardDocument> m_card;
    PageView m_view;
    QRect m_region;  // the part of the page shown, in screen pixels
    QImage m_screen;
};

// The print window's layout: one card, or a block of copies.
struct SheetCopies {
    int across = 1;
    int down = 1;
};

namespace SheetPrint {

// Gradient and picture backgrounds are printed from bitmaps of at most this resolution.
inline constexpr double kMaxBackgroundDpi = 600;

// The size of the printed page's content in twips: the picture, or the block.
QSize pageSize(const SheetPicture &picture, std::optional<SheetCopies> copies);

// The block of copies as the print window shows it (15 twips per pixel): copies
// a card's outer size apart on the window colour, which shows as thin strips.
QImage composeBlock(const SheetPicture &picture, SheetCopies copies);

// Where the copies stand on the printed page (twips from the painter's
// origin): the picture alone at the origin for one card (copies empty), or
// the block of copies.
std::vector<QPoint> copyPositions(const SheetPicture &picture, std::optional<SheetCopies> copies);

// The printed page at the painter's origin: the picture alone for one card
// (copies empty), or the block of copies with its strips.
void paintPage(QPainter &painter, const SheetPicture &picture, std::optional<SheetCopies> copies,
               double deviceUnitsPerTwip, double backgroundDpi);

// The page printed on the other side of the paper, with back (the picture's
// back) behind every copy: each copy's place mirrored across the paper's
// vertical centre line, so that it lands behind its front when the paper is
// turned over on its long edge. turnWidth is the paper's width less twice the
// distance of the painter's origin from the paper's left edge (twips): a place
// x wide w on the front is turnWidth - x - w on the back.
void paintBackPage(QPainter &painter, const SheetPicture &back, std::optional<SheetCopies> copies,
                   double deviceUnitsPerTwip, double backgroundDpi, int turnWidth);

} // namespace SheetPrint
