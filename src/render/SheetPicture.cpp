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
    const QImage page = PageRenderer::renderBitmap(card, view, kTwipsPerPixel);
    p.m_region = exactSize ? PageGeometry::trimmedRect(page.size(), kTwipsPerPixel) : page.rect();
    p.m_screen = page.copy(p.m_region);
    return p;
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
    if (!m_card) return {QPoint(0, 0), twips()};
    return PageGeometry::trimRect(PageRenderer::pageTwips(*m_card)).translated(-m_region.topLeft() * int(kTwipsPerPixel));
}

QImage SheetPicture::background(double dpi) const
{
    return m_card ? PageRenderer::vectorBackground(*m_card, m_view, dpi) : QImage();
}

void SheetPicture::paint(QPainter &painter, QPoint at, double deviceUnitsPerTwip, const QImage &background) const
{
    const QRectF target(QPointF(at) * deviceUnitsPerTwip, QSizeF(twips()) * deviceUnitsPerTwip);
    if (!m_card) {
        painter.drawImage(target, m_screen);
        return;
    }
    // The page is drawn at its own size, clipped to the part of it shown.
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft() - QPointF(m_region.topLeft()) * kTwipsPerPixel * deviceUnitsPerTwip);
    PageRenderer::paintVector(painter, *m_card, m_view, deviceUnitsPerTwip, background);
    painter.restore();
}

namespace SheetPrint {

namespace {

QSize blockTwips(const SheetPicture &picture, SheetCopies copies)
{
    return PrintSheet::blockSize(PrintSheet::cardOuterSize(picture.twips()), copies.across, copies.down);
}

} // namespace

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
    const QImage background = picture.background(backgroundDpi);
    if (!copies) {
        picture.paint(painter, {0, 0}, deviceUnitsPerTwip, background);
        return;
    }
    const QSizeF block = QSizeF(blockTwips(picture, *copies)) * deviceUnitsPerTwip;
    painter.fillRect(QRectF(QPointF(0, 0), block), kStripColour);
    const QSize outer = PrintSheet::cardOuterSize(picture.twips());
    for (const QPoint &at : PrintSheet::copyPositions(outer, copies->across, copies->down))
        picture.paint(painter, at, deviceUnitsPerTwip, background);
}

} // namespace SheetPrint
