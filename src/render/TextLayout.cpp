#include "render/TextLayout.h"

#include "model/Numeric.h"
#include "render/Fonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>

namespace TextLayout {

namespace {

// A device of 1440 dots per inch: one unit is one twip.
const QPaintDevice *twipDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = Numeric::roundToInt(1440 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

// The caption's own lines; CR LF, CR and LF all end a line. Only the first
// 10000 characters are laid out: no card page shows anywhere near that many,
// and laying out a caption of millions (a damaged or hostile card file) would
// take seconds and hundreds of megabytes.
QStringList paragraphs(const CardText &text)
{
    constexpr qsizetype kLongestShownCaption = 10000;
    QString caption = text.caption.left(kLongestShownCaption);
    caption.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    caption.replace(u'\r', u'\n');
    return caption.split(u'\n');
}

void wrap(const QString &paragraph, const QFont &font, double width, QStringList &out)
{
    QTextLayout layout(paragraph, font, twipDevice());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        out.append(paragraph.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    if (paragraph.isEmpty()) out.append(QString());
}

} // namespace

QFont font(const CardText &text)
{
    return Fonts::cardFont(text.Font, text.FontSize, text.FontBold, text.FontItalic);
}

QStringList lines(const CardText &text, const std::optional<QSizeF> &block)
{
    if (!block) return paragraphs(text);
    const QFont face = font(text);
    QStringList out;
    for (const QString &paragraph : paragraphs(text)) wrap(paragraph, face, block->width(), out);
    return out;
}

QSizeF naturalSize(const CardText &text)
{
    const QFont face = font(text);
    const QFontMetricsF metrics(face, twipDevice());
    const QStringList own = paragraphs(text);
    double width = 0;
    for (const QString &line : own) width = std::max(width, metrics.horizontalAdvance(line));
    return {width, own.size() * Fonts::lineHeight(face, twipDevice())};
}

double lineHeight(const CardText &text)
{
    return Fonts::lineHeight(font(text), twipDevice());
}

double lineAscent(const CardText &text)
{
    return Fonts::lineAscent(font(text), twipDevice());
}

} // namespace TextLayout
