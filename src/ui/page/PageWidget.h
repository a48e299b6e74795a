#pragma once

#include "render/PageGeometry.h"
#include "render/PageObjects.h"
#include "model/CardSession.h"

#include <QImage>
#include <QWidget>
#include <array>

class QLabel;

// The page surface ("Card"): draws the session's card through the page renderer
// at 15 twips per pixel, and carries one transparent child per page object
// (info_txt(0..10), info_logo, info_line, info_qr) so each object has its own name,
// geometry and mouse events, stacked as the objects are drawn. It also holds the
// four red trim guides r_Line(0..3) and the red selection frame sp_icon.
// With the focus on the page, the arrow keys move the chosen object one pixel
// (with Shift ten), kept inside the trim area as a drag keeps it.
class PageWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kTwipsPerPixel = PageGeometry::kScreenTwipsPerPixel;

    explicit PageWidget(CardSession &session, QWidget *parent = nullptr);

    // Size, object boxes and stacking from the session's card.
    void syncToCard();

    QWidget *textObject(std::size_t index) const { return m_texts[index]; }
    QWidget *logoObject() const { return m_logo; }
    QWidget *lineObject() const { return m_line; }
    QWidget *qrCodeObject() const { return m_qrCode; }
    QWidget *trimGuide(int index) const { return m_guides[std::size_t(index)]; }
    QWidget *selectionFrame() const { return m_frame; }
    QWidget *alignGuide() const { return m_guide; }
    QWidget *objectWidget(int id) const;

    // Lays the selection frame over object id and shows it.
    void showSelectionFrame(int id);
    // The object the shown selection frame stands round; -1 while it is hidden.
    int chosenObject() const;

    // The alignment guide: the page is in align mode while it is visible.
    bool alignMode() const;
    void setAlignMode(bool on);
    void setAlignment(PageObjects::Alignment alignment) { m_alignment = alignment; }
    // Centres the guide on the page at the top edge; a page of another size
    // centres it too, so it is never off the page or shown before it is placed.
    void centreGuide();
    double guideLeft() const { return m_guideLeft; }
    void setGuideLeft(double twips);
    static constexpr double kGuideWidth = 45; // 3 pixels

    // The box of object id, in twips.
    QRectF objectBox(int id) const;

    // Positions the trim guides on the trim lines of the page (they stay hidden).
    void placeTrimGuides();
    void hideTrimGuides();

    // The page as shown on a device of the given pixel ratio: ratio times the
    // pixels of the page at 96 dpi, carrying that ratio.
    QImage pageImage(qreal ratio = 1) const;

signals:
    // A press on object id when the page is not in align mode (any button).
    void objectPressed(int id);
    // A press on an object or on the guide while the page is in align mode.
    void alignModePressed();
    // A release after a press on object id: the card counts as changed.
    void objectReleased(int id);
    void guidePressed();
    void pageClicked();
    void pageDoubleClicked();
    // The page changed its size; its placement in the workspace follows.
    void pageResized();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // What decides the background layer; it is redrawn only when this changes.
    struct BackgroundKey {
        QSize size;
        BackgroundKind kind;
        Colour::Value colour, colour1, colour2;
        QString angle;
        BackgroundKind shown;
        qint64 picture;
        qreal ratio;
        bool operator==(const BackgroundKey &) const = default;
    };
    BackgroundKey backgroundKey(qreal ratio) const;
    const QImage &background(qreal ratio) const;
    QRect pixels(const QRectF &twips) const;
    QPointF twipsAt(const QPointF &pagePixels) const;
    int objectId(QObject *watched) const;
    void pressObject(int id, QMouseEvent *event);
    void dragObject(int id, QMouseEvent *event);
    void placeObject(int id, QPointF topLeft, bool snapToGuide);
    void dragGuide(QMouseEvent *event);
    void showGuides(const std::array<bool, 4> &shown);
    void placeObjects();
    void stackObjects();

    CardSession &m_session;
    std::array<QWidget *, kTextCount> m_texts{};
    QWidget *m_logo = nullptr;
    QWidget *m_line = nullptr;
    QWidget *m_qrCode = nullptr;
    std::array<QWidget *, 4> m_guides{};
    QWidget *m_frame = nullptr;
    int m_framedObject = -1;
    QWidget *m_guide = nullptr;
    double m_guideLeft = 0;
    PageObjects::Alignment m_alignment = PageObjects::Alignment::Left;
    bool m_doubleClicked = false;
    QSizeF m_dragSize; // the pressed object's size in twips
    mutable QImage m_background;
    mutable BackgroundKey m_backgroundKey{};
};
