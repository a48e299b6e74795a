#include "ui/panels/PaletteStrip.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Where the picture sits inside the strip.
QPoint pictureOffset()
{
    const QSize picture = PaletteStrip::palette().size();
    return {(PaletteStrip::kSize.width() - picture.width()) / 2, (PaletteStrip::kSize.height() - picture.height()) / 2};
}

} // namespace

PaletteStrip::PaletteStrip(int index, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PicColor(%1)").arg(index));
    setFixedSize(kSize);
    setCursor(Qt::CrossCursor);
}

const QImage &PaletteStrip::palette()
{
    static const QImage picture(QStringLiteral(":/pictures/palette.png"));
    return picture;
}

Colour::Value PaletteStrip::colourAt(QPoint point)
{
    const QImage &picture = palette();
    const QPoint p = point - pictureOffset();
    const int x = std::clamp(p.x(), 0, picture.width() - 1);
    const int y = std::clamp(p.y(), 0, picture.height() - 1);
    return Colour::fromQColor(picture.pixelColor(x, y));
}

void PaletteStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(pictureOffset(), palette());
}

void PaletteStrip::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit colourPicked(colourAt(event->position().toPoint()));
}
