#pragma once

#include "model/Colour.h"

#include <QFrame>
#include <QImage>

class QLabel;

// The logo panel's preview (logo_picFrm, 2985 x 2055 twips): the logo picture
// pic_Logo at natural size inside a viewport. A left press picks the colour of
// the pixel under the pointer; with Ctrl alone held the press starts a pan, and
// dragging moves the picture. On release a picture not wider than the viewport
// is pulled back fully inside it.
class LogoPreview : public QFrame
{
    Q_OBJECT
public:
    static constexpr QSize kSize{199, 137};

    explicit LogoPreview(QWidget *parent = nullptr);

    // Shows picture at natural size where the previous one stood.
    void setPicture(const QImage &picture);
    // Centres the picture in the viewport, or puts its top-left corner on the
    // viewport's when the picture is wider.
    void placePicture();

    QLabel *picture() const { return m_picture; }
    QSize viewportSize() const;

    // Where a dropped picture ends: a picture not wider than the viewport is
    // pulled back inside, left and top edges first; a wider one stays.
    static QPoint pulledBack(const QRect &picture, QSize viewport);

signals:
    void colourPicked(Colour::Value colour);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(QMouseEvent *event);
    void drag(QMouseEvent *event);
    void release();

    QWidget *m_viewport = nullptr;
    QLabel *m_picture = nullptr;
    QImage m_image;
    QPoint m_panStart;
    bool m_panning = false;
};
