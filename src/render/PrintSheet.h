#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

// Geometry of the print window in twips: the A4 sheet, where the card or the
// block of copies stands on it, how a dragged picture is kept on the sheet,
// the scroll bars around the sheet, and the count boxes of the custom layout.
namespace PrintSheet {

// A4 portrait: 210 x 56.7 by 297 x 56.7 twips, the fraction dropped.
inline constexpr QSize kSheet{11907, 16839};
inline constexpr int kSheetTop = 300;      // below the top of the viewport
inline constexpr int kShadowOffset = 50;   // the sheet's shadow, right and down
inline constexpr int kCardTop = 195;       // the picture below the top of the sheet
inline constexpr int kEdgeMargin = 170;    // 3 mm: a released picture keeps this far from the edges
inline constexpr int kCardBorder = 15;     // the one-card picture's border, one screen pixel
inline constexpr int kSheetMargin = 300;   // the scroll bars reach this far past the sheet

// The one-card picture's outer size: the picture and its border on each side.
// Copies in the custom layout stand this far apart, so a strip as wide as the
// two borders separates neighbours.
QSize cardOuterSize(QSize picture);

// The block of across x down copies.
QSize blockSize(QSize cardOuter, int across, int down);

// Where each copy stands in the block: columns outer, rows inner.
std::vector<QPoint> copyPositions(QSize cardOuter, int across, int down);

// The places behind positions of pictures `width` wide when the paper is
// turned over on its long edge: each x mirrored within turnWidth (see
// SheetPrint::paintBackPage), y kept.
std::vector<QPoint> turnedOver(const std::vector<QPoint> &positions, int width, int turnWidth);

// The left edge that centres a width on the sheet.
int centredLeft(int width);

// Where a released picture stands: at least kEdgeMargin from the left and top,
// then at most kEdgeMargin from the right and bottom; for a picture larger than
// the sheet less its margins the second rule wins.
QPoint keptOnSheet(QPoint topLeft, QSize picture);

// A scroll bar over the sheet: its range, its step (small and large change
// alike, at least 1), and whether it is enabled. A horizontal bar is disabled
// while the sheet fits the viewport, and the sheet is then centred.
struct ScrollRange {
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    bool enabled = true;
};
ScrollRange horizontalRange(int viewportWidth);
ScrollRange verticalRange(int viewportHeight);

// The sheet's left edge in the viewport: centred while it fits, else at the
// horizontal bar's value.
int sheetLeft(int viewportWidth, int scrollValue);

// What a count box's text means. Counts are one character long, so a valid
// count lies between 1 and 9.
enum class Count { Valid, NotNumeric, Zero };
Count checkCount(const QString &text);
// The count of a text checkCount accepts.
int countValue(const QString &text);

} // namespace PrintSheet
