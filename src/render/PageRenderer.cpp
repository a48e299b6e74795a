#include "render/PageRenderer.h"

#include "render/BitmapMemory.h"
#include "render/Gradient.h"
#include "render/PageGeometry.h"
#include "render/PagePictures.h"
#include "render/QrCode.h"
#include "render/TextLayout.h"
#include "model/Numeric.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace PageRenderer {

namespace {

const QColor kCropMarkColour(128, 128, 128);

// Maps twips to the painter's device units.
struct Scale {
    double perTwip;
    QRectF rect(double left, double top, double width, double height) const
    {
        return {left * perTwip, top * perTwip, width * perTwip, height * perTwip};
    }
    QPointF point(QPointF p) const { return p * perTwip; }
};

void tilePicture(QPainter &p, const QImage &tile, QSize page, Scale s)
{
    // A picture's natural size is its size on screen, 15 twips per pixel; one
    // decoded at a reduced size keeps it as its device pixel ratio.
    const QSizeF natural = tile.deviceIndependentSize();
    const QSize tileTwips(int(natural.width() * PageGeometry::kScreenTwipsPerPixel),
                          int(natural.height() * PageGeometry::kScreenTwipsPerPixel));
    p.setRenderHint(QPainter::SmoothPixmapTransform,
                    s.perTwip * PageGeometry::kScreenTwipsPerPixel != tile.devicePixelRatio());
    for (const QPoint &at : PageGeometry::tilePositions(tileTwips, page))
        p.drawImage(s.rect(at.x(), at.y(), tileTwips.width(), tileTwips.height()), tile);
}

// Fills image, which covers the whole page, with the page's background.
void drawBackground(QImage &image, const CardDocument &card, const PageView &view, Scale s)
{
    const CardPage &page = card.page;
    image.fill(Colour::toQColor(page.bgColor));
    const BackgroundKind shown = view.shownBackground(page);
    if (isPictureKind(shown)) {
        QPainter p(&image);
        tilePicture(p, view.background, pageTwips(card), s);
    } else if (shown == BackgroundKind::Gradient) {
        GradientPainter gradient;
        gradient.setColor1(page.jbColor1);
        gradient.setColor2(page.jbColor2);
        gradient.setAngle(gradientAngle(page.jbJiaoDu));
        gradient.draw(image);
    }
}

void drawCropMarks(QPainter &p, QSize page, Scale s)
{
    // Whole device pixels, so every mark meets its corner the same way at any resolution.
    for (const QRect &mark : PageGeometry::cropMarkRects(page, 1.0 / s.perTwip)) p.fillRect(mark, kCropMarkColour);
}

void drawLine(QPainter &p, const CardLine &line, Scale s)
{
    if (!line.visible) return;
    p.fillRect(s.rect(line.left, line.top, line.width, line.height), Colour::toQColor(line.bgColor));
}

void drawLogo(QPainter &p, const CardLogo &logo, const PageView &view, Scale s)
{
    if (!logo.visible) return;
    const QImage &picture = view.logo.isNull() ? PagePictures::defaultLogo() : view.logo;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(s.rect(logo.left, logo.top, logo.width, logo.height), picture);
}

// True when the painter fills the glyphs of its font from their outlines: Qt's
// raster engine caches glyphs of up to 64 pixels and draws larger ones that way.
bool fillsGlyphOutlines(const QPainter &p)
{
    constexpr double kLargestCachedGlyph = 64;
    return p.paintEngine()->type() == QPaintEngine::Raster
        && p.fontInfo().pixelSize() * std::sqrt(std::abs(p.worldTransform().determinant())) > kLargestCachedGlyph;
}

// One line of text from its baseline. Filling a whole line's outlines at once costs
// several times what the same glyphs cost one at a time, with the same pixels, so
// glyphs filled from their outlines are drawn one by one.
void drawTextLine(QPainter &p, QPointF baseline, const QString &line)
{
    if (!fillsGlyphOutlines(p)) {
        p.drawText(baseline, line);
        return;
    }
    QTextLayout layout(line, p.font(), p.device());
    layout.beginLayout();
    const QTextLine laidOut = layout.createLine();
    layout.endLayout();
    if (!laidOut.isValid()) return;
    const QPointF origin = baseline - QPointF(0, laidOut.ascent());
    for (const QGlyphRun &run : laidOut.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        QGlyphRun single = run;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            single.setGlyphIndexes({glyphs[i]});
            single.setPositions({positions[i]});
            p.drawGlyphRun(origin, single);
        }
    }
}

// Lines and line spacing as laid out at 1440 dpi, so they break and stand in
// the same places at every resolution; each line starts at the text's left
// edge, one line height below the last.
void drawText(QPainter &p, const CardText &text, const std::optional<QSizeF> &block, Scale s)
{
    if (!text.visible) return;
    p.setFont(TextLayout::font(text));
    p.setPen(Colour::toQColor(text.ForeColor));
    const QPointF topLeft = s.point(QPointF(text.Left, text.Top));
    const qreal ascent = TextLayout::lineAscent(text) * s.perTwip;
    const qreal height = TextLayout::lineHeight(text) * s.perTwip;
    p.save();
    if (block) p.setClipRect(s.rect(text.Left, text.Top, block->width(), block->height()), Qt::IntersectClip);
    const QStringList lines = TextLayout::lines(text, block);
    for (qsizetype i = 0; i < lines.size(); ++i) drawTextLine(p, topLeft + QPointF(0, ascent + i * height), lines[i]);
    p.restore();
}

void drawObjects(QPainter &p, const CardDocument &card, const PageView &view, Scale s)
{
    if (view.cropMarks) drawCropMarks(p, pageTwips(card), s);
    // A logo behind lies under every other object, the line included.
    if (!view.logoInFront) drawLogo(p, card.logo, view, s);
    drawLine(p, card.line, s);
    for (std::size_t i = 0; i < kTextCount; ++i) drawText(p, card.texts[i], view.textBlocks[i], s);
    if (view.logoInFront) drawLogo(p, card.logo, view, s);
    QrCode::paint(p, card, s.perTwip);
}

void setDpi(QImage &image, double twipsPerPixel)
{
    const int dotsPerMeter = Numeric::roundToInt(1440.0 / twipsPerPixel / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
}

} // namespace

QImage renderBackground(const CardDocument &card, const PageView &view, double twipsPerPixel)
{
    if (!PageGeometry::bitmapFits(pageTwips(card), twipsPerPixel)) return QImage();
    QImage image = BitmapMemory::allocate(PageGeometry::pixelSize(pageTwips(card), twipsPerPixel), QImage::Format_RGB32);
    setDpi(image, twipsPerPixel);
    if (!image.isNull()) drawBackground(image, card, view, {1.0 / twipsPerPixel});
    return image;
}

void paintObjects(QPainter &painter, const CardDocument &card, const PageView &view, double twipsPerPixel)
{
    drawObjects(painter, card, view, {1.0 / twipsPerPixel});
}

QRectF textBox(const CardText &text, const std::optional<QSizeF> &block)
{
    return {QPointF(text.Left, text.Top), block ? *block : TextLayout::naturalSize(text)};
}

QSize pageTwips(const CardDocument &card)
{
    return PageGeometry::pageTwips(card.page.width, card.page.height);
}

QImage renderBitmap(const CardDocument &card, const PageView &view, double twipsPerPixel)
{
    QImage image = renderBackground(card, view, twipsPerPixel);
    if (image.isNull()) return image;
    QPainter p(&image);
    paintObjects(p, card, view, twipsPerPixel);
    return image;
}

QImage renderTrimmedBitmap(const CardDocument &card, const PageView &view, double twipsPerPixel)
{
    const QImage page = renderBitmap(card, view, twipsPerPixel);
    return page.copy(PageGeometry::trimmedRect(page.size(), twipsPerPixel));
}

double thumbnailTwipsPerPixel(const CardDocument &card, int size)
{
    const QSizeF trimmed = PageGeometry::trimRect(pageTwips(card)).size();
    return std::max(trimmed.width(), trimmed.height()) / size;
}

QImage renderThumbnail(const CardDocument &card, const PageView &view, int size)
{
    if (size < 1) return QImage();
    const double twipsPerPixel = thumbnailTwipsPerPixel(card, size);
    const QRect trimmed = PageGeometry::trimRect(pageTwips(card));
    const auto pixels = [twipsPerPixel](int twips) { return std::max(1, Numeric::roundToInt(twips / twipsPerPixel)); };
    QImage image = BitmapMemory::allocate({pixels(trimmed.width()), pixels(trimmed.height())}, QImage::Format_RGB32);
    if (image.isNull()) return image;
    // Font sizes in points follow the picture's resolution.
    setDpi(image, twipsPerPixel);
    PageView withoutMarks = view;
    withoutMarks.cropMarks = false;
    // The page's background in whole pixels, stretched by less than a pixel
    // onto the page, so that the card as cut fills the picture exactly.
    const QImage background = renderBackground(card, withoutMarks, twipsPerPixel);
    QPainter p(&image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(-trimmed.left() / twipsPerPixel, -trimmed.top() / twipsPerPixel);
    const QSize page = pageTwips(card);
    p.drawImage(QRectF(0, 0, page.width() / twipsPerPixel, page.height() / twipsPerPixel), background);
    paintObjects(p, card, withoutMarks, twipsPerPixel);
    return image;
}

void paintVector(QPainter &painter, const CardDocument &card, const PageView &view,
                 double deviceUnitsPerTwip, double backgroundDpi)
{
    paintVector(painter, card, view, deviceUnitsPerTwip, vectorBackground(card, view, backgroundDpi));
}

void paintVector(QPainter &painter, const CardDocument &card, const PageView &view,
                 double deviceUnitsPerTwip, const QImage &background)
{
    const Scale s{deviceUnitsPerTwip};
    const QSize page = pageTwips(card);
    const QRectF pageRect = s.rect(0, 0, page.width(), page.height());
    if (view.shownBackground(card.page) == BackgroundKind::SolidColour)
        painter.fillRect(pageRect, Colour::toQColor(card.page.bgColor));
    else
        painter.drawImage(pageRect, background);
    drawObjects(painter, card, view, s);
}

QImage vectorBackground(const CardDocument &card, const PageView &view, double backgroundDpi)
{
    if (view.shownBackground(card.page) == BackgroundKind::SolidColour) return {};
    // A large page gets a coarser bitmap rather than one beyond the memory limit.
    return renderBackground(card, view, PageGeometry::fittingTwipsPerPixel(pageTwips(card), 1440.0 / backgroundDpi));
}

float gradientAngle(const QString &text)
{
    const auto value = Numeric::parseNumber(text);
    if (!value) return 0;
    double degrees = double(Numeric::roundHalfEven(*value));
    if (degrees < -32768 || degrees > 32767) degrees = std::fmod(degrees, 360.0);
    return float(degrees);
}

} // namespace PageRenderer
