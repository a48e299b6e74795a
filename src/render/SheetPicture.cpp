#include "render/SheetPicture.h"

#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "render/PrintSheet.h"

#include <QPainter>

namespace {

constexpr double kTwipsPerPixel = PageGeometry::kScreenTwipsPerPixel;
// The block's strips show the window colour, white.
const QColor kStripColour(Qt::white);

QSize toTwips(QSize pixels)
{
    return pixels * int(kTwipsPerPixel);
}

} // namespace

SheetPicture SheetPicture::fromCard(const CardDocument &card, const PageView &view, bool exactSize)
{
    SheetPicture p;
    p.m_card = card;
    p.m_view = view;
    showSide(*p.m_card, p.m_view, CardSide::Front);
    p.m_region = shownRegion(card, exactSize);
    p.m_screen = PageRenderer::renderBitmap(*p.m_card, p.m_view, kTwipsPerPixel).copy(p.m_region);
    return p;
}

std::optional<SheetPicture> SheetPicture::back() const
{
    if (!hasBack()) return std::nullopt;
    SheetPicture p = *this;
    showSide(*p.m_card, p.m_view, CardSide::Back);
    p.m_screen = PageRenderer::renderBitmap(*p.m_card, p.m_view, kTwipsPerPixel).copy(p.m_region);
    return p;
}

SheetPicture SheetPicture::withoutCropMarks() const
{
    SheetPicture p = *this;
    p.m_view.cropMarks = false;
    return p;
}

QRect SheetPicture::shownRegion(const CardDocument &card, bool exactSize)
{
    const QSize page = PageGeometry::pixelSize(PageRenderer::pageTwips(card), kTwipsPerPixel);
    return exactSize ? PageGeometry::trimmedRect(page, kTwipsPerPixel) : QRect(QPoint(0, 0), page);
}

QRect SheetPicture::trimTwips(const CardDocument &card, QRect region)
{
    return PageGeometry::trimRect(PageRenderer::pageTwips(card)).translated(-region.topLeft() * int(kTwipsPerPixel));
}

void SheetPicture::paintCard(QPainter &painter, const CardDocument &card, const PageView &view, QRect region,
                             QPoint at, double deviceUnitsPerTwip, const QImage &background)
{
    const QRectF target(QPointF(at) * deviceUnitsPerTwip, QSizeF(toTwips(region.size())) * deviceUnitsPerTwip);
    // The page is drawn at its own size, clipped to the part of it shown.
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft() - QPointF(region.topLeft()) * kTwipsPerPixel * deviceUnitsPerTwip);
    PageRenderer::paintVector(painter, card, view, deviceUnitsPerTwip, background);
    painter.restore();
}

SheetPicture SheetPicture::fromImage(const QImage &picture)
{
    SheetPicture p;
    p.m_region = picture.rect();
    p.m_screen = picture;
    return p;
}

QSize SheetPicture::twips() const
{
    return toTwips(m_region.size());
}

QRect SheetPicture::trimTwips() const
{
    return m_card ? trimTwips(*m_card, m_region) : QRect(QPoint(0, 0), twips());
}

QImage SheetPicture::background(double dpi) const
{
    return m_card ? PageRenderer::vectorBackground(*m_card, m_view, dpi) : QImage();
}

void SheetPicture::paint(QPainter &painter, QPoint at, double deviceUnitsPerTwip, const QImage &background) const
{
    if (m_card) {
        paintCard(painter, *m_card, m_view, m_region, at, deviceUnitsPerTwip, background);
        return;
    }
    painter.drawImage(QRectF(QPointF(at) * deviceUnitsPerTwip, QSizeF(twips()) * deviceUnitsPerTwip), m_screen);
}

namespace SheetPrint {

namespace {

QSize blockTwips(const SheetPicture &picture, SheetCopies copies)
{
    return PrintSheet::blockSize(PrintSheet::cardOuterSize(picture.twips()), copies.across, copies.down);
}

// The picture at every position, over the block's rectangle in the strips'
// colour when the copies make a block.
void paintCopies(QPainter &painter, const SheetPicture &picture, const std::vector<QPoint> &positions,
                 const std::optional<QRect> &block, double deviceUnitsPerTwip, double backgroundDpi)
{
    const QImage background = picture.background(backgroundDpi);
    if (block)
        painter.fillRect(QRectF(QPointF(block->topLeft()) * deviceUnitsPerTwip, QSizeF(block->size()) * deviceUnitsPerTwip),
                         kStripColour);
    for (const QPoint &at : positions) picture.paint(painter, at, deviceUnitsPerTwip, background);
}

} // namespace

std::vector<QPoint> copyPositions(const SheetPicture &picture, std::optional<SheetCopies> copies)
{
    if (!copies) return {QPoint(0, 0)};
    return PrintSheet::copyPositions(PrintSheet::cardOuterSize(picture.twips()), copies->across, copies->down);
}

QSize pageSize(const SheetPicture &picture, std::optional<SheetCopies> copies)
{
    return copies ? blockTwips(picture, *copies) : picture.twips();
}

QImage composeBlock(const SheetPicture &picture, SheetCopies copies)
{
    QImage block(PageGeometry::pixelSize(blockTwips(picture, copies), kTwipsPerPixel), QImage::Format_RGB32);
    block.fill(kStripColour);
    QPainter p(&block);
    const QSize outer = PrintSheet::cardOuterSize(picture.twips());
    for (const QPoint &at : PrintSheet::copyPositions(outer, copies.across, copies.down))
        p.drawImage(at / int(kTwipsPerPixel), picture.screenImage());
    return block;
}

void paintPage(QPainter &painter, const SheetPicture &picture, std::optional<SheetCopies> copies,
               double deviceUnitsPerTwip, double backgroundDpi)
{
    std::optional<QRect> block;
    if (copies) block = QRect(QPoint(0, 0), blockTwips(picture, *copies));
    paintCopies(painter, picture, copyPositions(picture, copies), block, deviceUnitsPerTwip, backgroundDpi);
}

void paintBackPage(QPainter &painter, const SheetPicture &back, std::optional<SheetCopies> copies,
                   double deviceUnitsPerTwip, double backgroundDpi, int turnWidth)
{
    std::optional<QRect> block;
    if (copies) {
        const QSize size = blockTwips(back, *copies);
        block = QRect(QPoint(turnWidth - size.width(), 0), size);
    }
    const std::vector<QPoint> behind =
        PrintSheet::turnedOver(copyPositions(back, copies), back.twips().width(), turnWidth);
    paintCopies(painter, back, behind, block, deviceUnitsPerTwip, backgroundDpi);
}

} // namespace SheetPrint
