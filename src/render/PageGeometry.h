#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <array>
#include <vector>

// Geometry of the page in twips: crop marks, trim guides, placement in the
// workspace, tiling of a background picture, and pixel sizes at a resolution.
namespace PageGeometry {

inline constexpr int kTrimInset = 170;      // the 3 mm bleed, in whole twips
inline constexpr int kMarkGap = 57;         // crop marks stop this far from the edge
inline constexpr int kShadowOffset = 60;    // the page shadow lies this far right and down
inline constexpr double kScreenTwipsPerPixel = 15.0;
inline constexpr double kBleedTwips = 170.1;

// The page as laid out before any card is applied (96 x 60 mm with bleed).
inline constexpr QSize kInitialPage{5445, 3405};

struct Segment {
    QPoint from;
    QPoint to;
    bool operator==(const Segment &) const = default;
};

// The eight crop marks, corner by corner (top-left, top-right, bottom-left,
// bottom-right), horizontal before vertical. Each starts at a corner of the trim
// rectangle and runs outwards into the bleed.
std::array<Segment, 8> cropMarks(QSize page);

// The crop marks of cropMarks as rectangles of whole pixels at twipsPerPixel,
// kMarkThickness thick (at least one pixel). Each covers the pixel of its trim
// corner, as the trim guides round it, and runs outwards to the pixel where its
// segment stops, alike at all four corners.
inline constexpr int kMarkThickness = 15; // one pixel on screen
std::array<QRect, 8> cropMarkRects(QSize page, double twipsPerPixel);

// The four trim guides: left, right, top, bottom.
std::array<Segment, 4> trimGuides(QSize page);

// The card as cut: the page (twips) less kTrimInset on every side.
QRect trimRect(QSize page);

// The page centred in the workspace, and its shadow.
struct Placement {
    QPointF page;
    QPointF shadow;
};
Placement centredPage(QSizeF workspace, QSizeF page);

// Where a tile of the given size is painted to cover the page from its top-left
// corner: columns x = 0 .. while x <= W / w, rows likewise. Empty for an empty tile.
std::vector<QPoint> tilePositions(QSize tile, QSize page);

// The page in whole twips, as the page surface holds it.
QSize pageTwips(float width, float height);

// Pixel size of a length or size at twipsPerPixel, rounded half to even.
int toPixels(double twips, double twipsPerPixel);
QPoint toPixels(QPoint twips, double twipsPerPixel);
QSize pixelSize(QSize twips, double twipsPerPixel);

// No page bitmap holds more pixels than this (256 MB at 32 bits a pixel).
inline constexpr qint64 kMaxBitmapPixels = 64LL * 1024 * 1024;

// Whether the bitmap of a page at twipsPerPixel stays within kMaxBitmapPixels.
bool bitmapFits(QSize twips, double twipsPerPixel);

// The smallest twips per pixel, never below twipsPerPixel, at which the page's
// bitmap fits.
double fittingTwipsPerPixel(QSize twips, double twipsPerPixel);

// The trimmed part of a page bitmap: the bleed of nearest(170.1 / tpp) pixels
// cut on each side and one more pixel off the width and height, as the bitmap
// export has always cut it (340 x 204 from 363 x 227 at 15 twips per pixel).
QRect trimmedRect(QSize pagePixels, double twipsPerPixel);

} // namespace PageGeometry
