#include "render/PrintSheet.h"

#include "model/Numeric.h"

#include <algorithm>

namespace PrintSheet {

QSize cardOuterSize(QSize picture)
{
    return picture + QSize(2 * kCardBorder, 2 * kCardBorder);
}

QSize blockSize(QSize cardOuter, int across, int down)
{
    return {cardOuter.width() * across, cardOuter.height() * down};
}

std::vector<QPoint> copyPositions(QSize cardOuter, int across, int down)
{
    std::vector<QPoint> positions;
    for (int i = 0; i < across; ++i)
        for (int j = 0; j < down; ++j)
            positions.emplace_back(i * cardOuter.width(), j * cardOuter.height());
    return positions;
}

std::vector<QPoint> turnedOver(const std::vector<QPoint> &positions, int width, int turnWidth)
{
    std::vector<QPoint> behind;
    for (const QPoint &at : positions) behind.emplace_back(turnWidth - at.x() - width, at.y());
    return behind;
}

int centredLeft(int width)
{
    return Numeric::roundToInt((kSheet.width() - width) / 2.0);
}

QPoint keptOnSheet(QPoint topLeft, QSize picture)
{
    int left = std::max(topLeft.x(), kEdgeMargin);
    left = std::min(left, kSheet.width() - picture.width() - kEdgeMargin);
    int top = std::max(topLeft.y(), kEdgeMargin);
    top = std::min(top, kSheet.height() - picture.height() - kEdgeMargin);
    return {left, top};
}

namespace {

ScrollRange range(int overhang, int step)
{
    return {-kSheetMargin, std::max(overhang + kSheetMargin, -kSheetMargin), std::max(step, 1), true};
}

} // namespace

ScrollRange horizontalRange(int viewportWidth)
{
    const int overhang = kSheet.width() - viewportWidth;
    ScrollRange r = range(overhang, overhang);
    r.enabled = overhang > 0;
    return r;
}

ScrollRange verticalRange(int viewportHeight)
{
    const int overhang = kSheet.height() - viewportHeight;
    return range(overhang, Numeric::roundToInt(overhang / 3.0));
}

int sheetLeft(int viewportWidth, int scrollValue)
{
    if (kSheet.width() > viewportWidth) return -scrollValue;
    return Numeric::roundToInt((viewportWidth - kSheet.width()) / 2.0);
}

Count checkCount(const QString &text)
{
    const auto value = Numeric::parseNumber(text.trimmed());
    if (!value) return Count::NotNumeric;
    return *value == 0 ? Count::Zero : Count::Valid;
}

int countValue(const QString &text)
{
    return std::clamp(Numeric::roundToInt(Numeric::parseNumber(text.trimmed()).value_or(1)), 1, 9);
}

} // namespace PrintSheet
