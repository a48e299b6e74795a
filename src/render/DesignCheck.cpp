#include "render/DesignCheck.h"

#include "model/CardFile.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"

#include <QFont>
#include <QFontDatabase>
#include <algorithm>
#include <cmath>
#include <vector>

namespace DesignCheck {

namespace {

constexpr double kTwipsPerPixel = 1440 / kCheckDpi;

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QRgb colour)
{
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

// The side with no text on it: what lies behind every text.
QImage withoutTexts(CardDocument card, const PageView &view)
{
    for (CardText &text : card.texts) text.visible = false;
    return PageRenderer::renderBitmap(card, view, kTwipsPerPixel);
}

// The pixels one text covers: the text alone, white on black.
QImage textMask(CardDocument card, const PageView &view, std::size_t index)
{
    PageView plain = view;
    plain.cropMarks = false;
    card.page.isBg = BackgroundKind::SolidColour;
    card.page.bgColor = Colour::kBlack;
    card.logo.visible = false;
    card.line.visible = false;
    card.qrCode.reset();
    for (std::size_t i = 0; i < kTextCount; ++i) card.texts[i].visible = i == index;
    card.texts[index].ForeColor = Colour::kWhite;
    return PageRenderer::renderBitmap(card, plain, kTwipsPerPixel);
}

double contrastBehind(const QImage &behind, const QImage &mask, QRgb textColour)
{
    std::vector<double> contrasts;
    for (int y = 0; y < mask.height(); ++y) {
        const QRgb *covered = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        const QRgb *back = reinterpret_cast<const QRgb *>(behind.constScanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            if (qRed(covered[x]) >= 128) contrasts.push_back(contrastRatio(back[x], textColour));
        }
    }
    if (contrasts.empty()) return 21;
    const auto percentile = contrasts.begin() + std::ptrdiff_t(contrasts.size() / 100);
    std::nth_element(contrasts.begin(), percentile, contrasts.end());
    return *percentile;
}

bool faceInstalled(const QString &face)
{
    if (QFontDatabase::hasFamily(face)) return true;
    const QStringList substitutes = QFont::substitutes(face);
    return std::any_of(substitutes.begin(), substitutes.end(),
                       [](const QString &s) { return QFontDatabase::hasFamily(s); });
}

QString number(double value) { return QString::number(value, 'f', 1); }

// One side as shown, with what every rule of it needs.
struct Side {
    const QString &cardName;
    const CardDocument &card;
    const PageView &view;
    QRectF safe; // the trim area less the margin
    QImage behind;

    QString section(const QString &frontSection) const
    {
        return card.shownSide == CardSide::Back ? CardFile::backSection(frontSection) : frontSection;
    }
};

std::optional<QRectF> qrCodeBox(const CardDocument &card)
{
    if (!card.qrCode || !card.qrCode->visible) return std::nullopt;
    return QRectF(card.qrCode->left, card.qrCode->top, card.qrCode->size, card.qrCode->size);
}

// The logo, the line and the QR code, each within the margin when shown.
QStringList objectProblems(const Side &side)
{
    const CardDocument &card = side.card;
    std::vector<std::pair<QString, QRectF>> objects;
    if (card.logo.visible)
        objects.emplace_back(QStringLiteral("cLogo"), QRectF(card.logo.left, card.logo.top, card.logo.width, card.logo.height));
    if (card.line.visible)
        objects.emplace_back(QStringLiteral("cLine"), QRectF(card.line.left, card.line.top, card.line.width, card.line.height));
    if (const auto code = qrCodeBox(card)) objects.emplace_back(QStringLiteral("cQR"), *code);
    QStringList problems;
    for (const auto &[section, box] : objects) {
        if (!side.safe.contains(box))
            problems << QStringLiteral("%1 [%2]: within 1 mm of the trim line").arg(side.cardName, side.section(section));
    }
    return problems;
}

// Text i against the rules, and against the boxes of the texts before it.
QStringList textProblems(const Side &side, std::size_t i, const std::vector<std::pair<std::size_t, QRectF>> &before)
{
    const CardText &text = side.card.texts[i];
    const QString name = QStringLiteral("%1 [%2] \"%3\"").arg(side.cardName, side.section(textSection(i)), text.caption);
    QStringList problems;
    if (!faceInstalled(text.Font)) problems << name + QStringLiteral(": no installed face for ") + text.Font;
    if (text.FontSize < kSmallestPoints)
        problems << name + QStringLiteral(": %1 pt is under %2 pt").arg(number(text.FontSize), number(kSmallestPoints));
    const QRectF box = PageRenderer::textBox(text, side.view.textBlocks[i]);
    if (!side.safe.contains(box)) problems << name + QStringLiteral(": within 1 mm of the trim line");
    const auto code = qrCodeBox(side.card);
    if (code && box.intersects(*code)) problems << name + QStringLiteral(": crosses the QR code");
    for (const auto &[other, otherBox] : before) {
        if (box.intersects(otherBox)) problems << name + QStringLiteral(": crosses \"%1\"").arg(side.card.texts[other].caption);
    }
    const double contrast =
        contrastBehind(side.behind, textMask(side.card, side.view, i), Colour::toQColor(text.ForeColor).rgb());
    if (contrast < kLeastContrast)
        problems << name + QStringLiteral(": contrast %1:1 is under %2:1").arg(number(contrast), number(kLeastContrast));
    return problems;
}

// The problems of the side the card shows.
QStringList checkShownSide(const QString &cardName, const CardDocument &card, const PageView &view)
{
    const double margin = kTrimMarginTwips;
    const QRectF trim(PageGeometry::trimRect(PageRenderer::pageTwips(card)));
    const Side side{cardName, card, view, trim.adjusted(margin, margin, -margin, -margin), withoutTexts(card, view)};
    QStringList problems = objectProblems(side);
    std::vector<std::pair<std::size_t, QRectF>> boxes;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const CardText &text = card.texts[i];
        if (!text.visible || text.caption.trimmed().isEmpty()) continue;
        problems << textProblems(side, i, boxes);
        boxes.emplace_back(i, PageRenderer::textBox(text, view.textBlocks[i]));
    }
    return problems;
}

} // namespace

double contrastRatio(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QStringList check(const QString &cardName, const CardDocument &card, const PageView &view)
{
    QStringList problems;
    for (CardSide side : {CardSide::Front, CardSide::Back}) {
        if (side == CardSide::Back && !card.hasBack()) break;
        CardDocument shown = card;
        PageView shownView = view;
        showSide(shown, shownView, side);
        problems << checkShownSide(cardName, shown, shownView);
    }
    return problems;
}

} // namespace DesignCheck
