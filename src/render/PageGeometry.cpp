#include "render/PageGeometry.h"

#include "model/Numeric.h"

#include <cmath>

namespace PageGeometry {

std::array<Segment, 8> cropMarks(QSize page)
{
    const int m = kTrimInset, k = kMarkGap, W = page.width(), H = page.height();
    return {{
        {{m, m}, {k, m}},
        {{m, m}, {m, k}},
        {{W - m, m}, {W - k, m}},
        {{W - m, m}, {W - m, k}},
        {{m, H - m}, {k, H - m}},
        {{m, H - m}, {m, H - k}},
        {{W - m, H - m}, {W - k, H - m}},
        {{W - m, H - m}, {W - m, H - k}},
    }};
}

std::array<QRect, 8> cropMarkRects(QSize page, double twipsPerPixel)
{
    const int thickness = std::max(1, toPixels(kMarkThickness, twipsPerPixel));
    const int before = (thickness - 1) / 2; // of the thickness, this much lies before the trim line
    const auto marks = cropMarks(page);
    std::array<QRect, 8> rects;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const QPoint corner = toPixels(marks[i].from, twipsPerPixel);
        const QPoint stop = toPixels(marks[i].to, twipsPerPixel);
        const QRect cornerBlock(corner - QPoint(before, before), QSize(thickness, thickness));
        // The mark runs along one axis only: across it, it keeps the corner's block.
        const bool horizontal = marks[i].from.y() == marks[i].to.y();
        rects[i] = cornerBlock.united(horizontal ? QRect(QPoint(stop.x(), cornerBlock.top()), QSize(1, thickness))
                                                 : QRect(QPoint(cornerBlock.left(), stop.y()), QSize(thickness, 1)));
    }
    return rects;
}

QRect trimRect(QSize page)
{
    return QRect(QPoint(0, 0), page).adjusted(kTrimInset, kTrimInset, -kTrimInset, -kTrimInset);
}

std::array<Segment, 4> trimGuides(QSize page)
{
    const int m = kTrimInset, W = page.width(), H = page.height();
    return {{
        {{m, 0}, {m, H}},
        {{W - m, 0}, {W - m, H}},
        {{0, m}, {W, m}},
        {{0, H - m}, {W, H - m}},
    }};
}

Placement centredPage(QSizeF workspace, QSizeF page)
{
    const QPointF topLeft((workspace.width() - page.width()) / 2, (workspace.height() - page.height()) / 2);
    return {topLeft, topLeft + QPointF(kShadowOffset, kShadowOffset)};
}

std::vector<QPoint> tilePositions(QSize tile, QSize page)
{
    std::vector<QPoint> positions;
    if (tile.width() <= 0 || tile.height() <= 0) return positions;
    const double columns = double(page.width()) / tile.width();
    const double rows = double(page.height()) / tile.height();
    for (int x = 0; x <= columns; ++x)
        for (int y = 0; y <= rows; ++y)
            positions.emplace_back(x * tile.width(), y * tile.height());
    return positions;
}

QSize pageTwips(float width, float height)
{
    return {Numeric::roundToInt(width), Numeric::roundToInt(height)};
}

int toPixels(double twips, double twipsPerPixel)
{
    return Numeric::roundToInt(twips / twipsPerPixel);
}

QPoint toPixels(QPoint twips, double twipsPerPixel)
{
    return {toPixels(twips.x(), twipsPerPixel), toPixels(twips.y(), twipsPerPixel)};
}

QSize pixelSize(QSize twips, double twipsPerPixel)
{
    return {toPixels(twips.width(), twipsPerPixel), toPixels(twips.height(), twipsPerPixel)};
}

bool bitmapFits(QSize twips, double twipsPerPixel)
{
    const QSize pixels = pixelSize(twips, twipsPerPixel);
    return qint64(pixels.width()) * pixels.height() <= kMaxBitmapPixels;
}

double fittingTwipsPerPixel(QSize twips, double twipsPerPixel)
{
    if (bitmapFits(twips, twipsPerPixel)) return twipsPerPixel;
    // Rounding each side to whole pixels may add a little: stay 1% inside the limit.
    return std::sqrt(double(twips.width()) * twips.height() / double(kMaxBitmapPixels)) * 1.01;
}

QRect trimmedRect(QSize pagePixels, double twipsPerPixel)
{
    const int m = toPixels(kBleedTwips, twipsPerPixel);
    return {m, m, pagePixels.width() - 2 * m - 1, pagePixels.height() - 2 * m - 1};
}

} // namespace PageGeometry
