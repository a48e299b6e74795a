#include "render/PageObjects.h"

#include "render/PageGeometry.h"
#include "render/PageRenderer.h"

namespace PageObjects {

QRectF box(const CardDocument &card, const PageView &view, int id)
{
    if (id == kLogo) return {card.logo.left, card.logo.top, card.logo.width, card.logo.height};
    if (id == kLine) return {card.line.left, card.line.top, card.line.width, card.line.height};
    if (id == kQrCode) {
        if (!card.qrCode) return {};
        return {card.qrCode->left, card.qrCode->top, card.qrCode->size, card.qrCode->size};
    }
    return PageRenderer::textBox(card.texts[std::size_t(id)], view.textBlocks[std::size_t(id)]);
}

void moveTo(CardDocument &card, int id, QPointF topLeft)
{
    const float x = float(topLeft.x()), y = float(topLeft.y());
    if (id == kLogo) {
        card.logo.left = x;
        card.logo.top = y;
    } else if (id == kLine) {
        card.line.left = x;
        card.line.top = y;
    } else if (id == kQrCode) {
        if (!card.qrCode) return;
        card.qrCode->left = x;
        card.qrCode->top = y;
    } else {
        card.texts[std::size_t(id)].Left = x;
        card.texts[std::size_t(id)].Top = y;
    }
}

bool isVisible(const CardDocument &card, int id)
{
    if (id == kLogo) return card.logo.visible;
    if (id == kLine) return card.line.visible;
    if (id == kQrCode) return card.qrCode && card.qrCode->visible;
    return card.texts[std::size_t(id)].visible;
}

void setVisible(CardDocument &card, int id, bool visible)
{
    if (id == kLogo)
        card.logo.visible = visible;
    else if (id == kLine)
        card.line.visible = visible;
    else if (id == kQrCode) {
        if (card.qrCode) card.qrCode->visible = visible;
    } else
        card.texts[std::size_t(id)].visible = visible;
}

Kept keepInTrim(const QRectF &object, QSizeF page)
{
    const double m = PageGeometry::kTrimInset;
    Kept k{object.topLeft(), {}};
    // Each edge in turn: the test includes equality, so an object resting on a
    // trim line shows its guide.
    auto hold = [&k](double &value, bool test, double limit, std::size_t guide) {
        k.guides[guide] = test;
        if (test) value = limit;
    };
    double &left = k.topLeft.rx();
    double &top = k.topLeft.ry();
    hold(left, left <= m, m, 0);
    const double right = page.width() - object.width() - m;
    hold(left, left >= right, right, 1);
    hold(top, top <= m, m, 2);
    const double bottom = page.height() - object.height() - m;
    hold(top, top >= bottom, bottom, 3);
    return k;
}

std::optional<double> snapToGuide(double x, double w, double guideLeft, double guideWidth, Alignment alignment)
{
    if (!(guideLeft - w / 2 < x && x < guideLeft + w / 2)) return std::nullopt;
    switch (alignment) {
    case Alignment::Left: return guideLeft + guideWidth;
    case Alignment::Centre: return guideLeft + guideWidth / 2 - w / 2;
    case Alignment::Right: return guideLeft + guideWidth - w;
    }
    return std::nullopt;
}

double keepGuideInTrim(double left, double pageWidth)
{
    const double lo = PageGeometry::kTrimInset, hi = pageWidth - PageGeometry::kTrimInset;
    if (left <= lo) return lo;
    if (left >= hi) return hi;
    return left;
}

QPointF fittedTextPosition(const QRectF &text, QSizeF page)
{
    constexpr double kRightMargin = PageGeometry::kTrimInset + 80;
    QPointF at = text.topLeft();
    if (at.x() > page.width() / 6) at.setX(page.width() - text.width() - kRightMargin);
    if (at.y() > page.height()) at.setY(page.height() - text.height());
    return at;
}

} // namespace PageObjects
