#pragma once

#include "card/CardSession.h"

#include <QImage>
#include <QWidget>
#include <array>

class QLabel;

// The page surface ("Card"): draws the session's card through the page renderer
// at 15 twips per pixel, and carries one transparent child per page object
// (info_txt(0..10), info_logo, info_line) so each object has its own name,
// geometry and mouse events, stacked as the objects are drawn. It also holds the
// four red trim guides r_Line(0..3) and the red selection frame sp_icon.
class PageWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kTwipsPerPixel = 15.0;

    explicit PageWidget(CardSession &session, QWidget *parent = nullptr);

    // Size, object boxes and stacking from the session's card.
    void syncToCard();

    QWidget *textObject(std::size_t index) const { return m_texts[index]; }
    QWidget *logoObject() const { return m_logo; }
    QWidget *lineObject() const { return m_line; }
    QWidget *trimGuide(int index) const { return m_guides[std::size_t(index)]; }
    QWidget *selectionFrame() const { return m_frame; }

    // Positions the trim guides on the trim lines of the page (they stay hidden).
    void borderBJ();
    void hide_borderBJ();

    // The page as shown, for export and tests.
    QImage pageImage() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // What decides the background layer; it is redrawn only when this changes.
    struct BackgroundKey {
        QSize size;
        BackgroundKind kind;
        Colour::Value colour, colour1, colour2;
        QString angle;
        BackgroundKind shown;
        qint64 picture;
        bool operator==(const BackgroundKey &) const = default;
    };
    BackgroundKey backgroundKey() const;
    const QImage &background() const;
    QRect pixels(const QRectF &twips) const;
    void placeObjects();
    void stackObjects();

    CardSession &m_session;
    std::array<QWidget *, kTextCount> m_texts{};
    QWidget *m_logo = nullptr;
    QWidget *m_line = nullptr;
    std::array<QWidget *, 4> m_guides{};
    QWidget *m_frame = nullptr;
    mutable QImage m_background;
    mutable BackgroundKey m_backgroundKey{};
};
