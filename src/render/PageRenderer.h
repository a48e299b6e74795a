#pragma once

#include "model/PageView.h"

#include <QImage>
#include <QSize>

class QPainter;

// Draws a page: background (solid colour, gradient or tiled picture), crop
// marks, line, logo and texts in their stacking order, the QR code on top. The screen, bitmap
// export, printing and penlark-card all draw through it.
namespace PageRenderer {

// The page in whole twips.
QSize pageTwips(const CardDocument &card);

// The whole page (bleed included) as a bitmap at twipsPerPixel: 15 for the
// screen, 1440 / dpi for any other resolution. The bitmap is
// nearest(width / tpp) x nearest(height / tpp) pixels and carries its dpi; a
// null image when it would exceed PageGeometry::kMaxBitmapPixels.
QImage renderBitmap(const CardDocument &card, const PageView &view, double twipsPerPixel);

// The background layer alone (colour, gradient or tiled picture), the size of
// renderBitmap's result.
QImage renderBackground(const CardDocument &card, const PageView &view, double twipsPerPixel);

// Crop marks and objects over a background already on the device, at
// twipsPerPixel (device units per twip = 1 / twipsPerPixel).
void paintObjects(QPainter &painter, const CardDocument &card, const PageView &view, double twipsPerPixel);

// The box a text object covers on the page, in twips: a self-sizing text is
// its own lines measured in its own font (see TextLayout); a block is its fixed size.
QRectF textBox(const CardText &text, const std::optional<QSizeF> &block);

// The page bitmap without its bleed (see PageGeometry::trimmedRect).
QImage renderTrimmedBitmap(const CardDocument &card, const PageView &view, double twipsPerPixel);

// The card without its bleed with its longer side size pixels, the other
// rounded (a file manager's preview); a null image for a size below 1.
QImage renderThumbnail(const CardDocument &card, const PageView &view, int size);

// The resolution renderThumbnail draws the card at.
double thumbnailTwipsPerPixel(const CardDocument &card, int size);

// The page onto a painter whose device counts deviceUnitsPerTwip units per twip
// (a PDF writer or printer). Texts stay text and crop marks lines; a gradient or
// picture background is drawn as a bitmap at backgroundDpi, or coarser where
// the page would need a bitmap beyond PageGeometry::kMaxBitmapPixels.
void paintVector(QPainter &painter, const CardDocument &card, const PageView &view,
                 double deviceUnitsPerTwip, double backgroundDpi = 300);

// The same with the background bitmap rendered beforehand (renderBackground),
// so that many copies of a page share one picture. It is not used for a solid
// colour background.
void paintVector(QPainter &painter, const CardDocument &card, const PageView &view,
                 double deviceUnitsPerTwip, const QImage &background);

// The background bitmap paintVector draws at backgroundDpi; null for a solid colour.
QImage vectorBackground(const CardDocument &card, const PageView &view, double backgroundDpi);

// The gradient angle of an angle text as typed: its whole-degree value, reduced
// modulo 360 when it does not fit a 16-bit integer; 0 for a text that is no number.
float gradientAngle(const QString &text);

} // namespace PageRenderer
