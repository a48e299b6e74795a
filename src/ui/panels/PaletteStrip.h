#pragma once

#include "model/Colour.h"

#include <QImage>
#include <QWidget>

// A palette strip (PicColor(0) in the page panel, 1 in the text panel, 2 in the
// line panel): the palette picture in a 200 x 17 pixel frame, a thin margin
// around it. A press of any mouse button picks the colour of the pixel under
// the pointer; a press on the margin picks the nearest pixel of the picture.
class PaletteStrip : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize kSize{200, 17}; // 3000 x 255 twips

    explicit PaletteStrip(int index, QWidget *parent = nullptr);

    // The palette picture, 198 x 15 pixels: hues across, lightness down, a grey
    // ramp in the eight columns at the right.
    static const QImage &palette();
    // The colour a press at point (strip pixels) picks.
    static Colour::Value colourAt(QPoint point);

signals:
    void colourPicked(Colour::Value colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
