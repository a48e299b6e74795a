#include "ui/page/PageWidget.h"

#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "ui/common/WidgetColours.h"

#include <QKeyEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QMouseEvent>
#include <QPaintEvent>

namespace {

// A page object's stand-in: it draws nothing (the page draws every object in
// its stacking order) but takes the object's name, box and mouse events.
QWidget *objectStandIn(const QString &name, QWidget *page)
{
    auto *w = new QWidget(page);
    w->setObjectName(name);
    w->setAttribute(Qt::WA_NoSystemBackground);
    return w;
}

QWidget *colouredLine(const QString &name, const QColor &colour, QWidget *page)
{
    auto *w = new QWidget(page);
    w->setObjectName(name);
    fillBackground(*w, colour);
    w->hide();
    return w;
}

// A red outline that lets clicks through to the object beneath.
class SelectionFrame : public QWidget
{
public:
    explicit SelectionFrame(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("sp_icon"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(Qt::red, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// The alignment guide: a thin blue bar the height of the page.
class AlignGuide : public QWidget
{
public:
    explicit AlignGuide(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("sp_Align"));
        setCursor(Qt::SizeHorCursor);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 90, 220));
        p.fillRect(QRect(1, 0, 1, height()), QColor(120, 170, 255));
    }
};

// How far an arrow key moves the chosen object, in twips: a pixel, ten with Shift.
QPointF nudgeStep(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers shift = key.modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    if (shift != Qt::NoModifier && shift != Qt::ShiftModifier) return {};
    const double step = PageGeometry::kScreenTwipsPerPixel * (shift == Qt::ShiftModifier ? 10 : 1);
    switch (key.key()) {
    case Qt::Key_Left: return {-step, 0};
    case Qt::Key_Right: return {step, 0};
    case Qt::Key_Up: return {0, -step};
    case Qt::Key_Down: return {0, step};
    default: return {};
    }
}

} // namespace

PageWidget::PageWidget(CardSession &session, QWidget *parent) : QWidget(parent), m_session(session)
{
    setObjectName(QStringLiteral("Card"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    m_line = objectStandIn(QStringLiteral("info_line"), this);
    m_logo = objectStandIn(QStringLiteral("info_logo"), this);
    for (std::size_t i = 0; i < kTextCount; ++i)
        m_texts[i] = objectStandIn(QStringLiteral("info_txt(%1)").arg(i), this);
    m_qrCode = objectStandIn(QStringLiteral("info_qr"), this);
    for (int i = 0; i < 4; ++i)
        m_guides[std::size_t(i)] = colouredLine(QStringLiteral("r_Line(%1)").arg(i), Qt::red, this);
    m_frame = new SelectionFrame(this);
    m_guide = new AlignGuide(this);
    m_guide->installEventFilter(this);
    for (int id = 0; id < PageObjects::kObjectCount; ++id) objectWidget(id)->installEventFilter(this);
    connect(&m_session, &CardSession::pageChanged, this, &PageWidget::syncToCard);
    syncToCard();
    centreGuide();
}

QRect PageWidget::pixels(const QRectF &twips) const
{
    const double s = 1.0 / kTwipsPerPixel;
    return QRectF(twips.x() * s, twips.y() * s, twips.width() * s, twips.height() * s).toRect();
}

QPointF PageWidget::twipsAt(const QPointF &pagePixels) const { return pagePixels * kTwipsPerPixel; }

QWidget *PageWidget::objectWidget(int id) const
{
    if (id == PageObjects::kLogo) return m_logo;
    if (id == PageObjects::kLine) return m_line;
    if (id == PageObjects::kQrCode) return m_qrCode;
    return m_texts.at(std::size_t(id));
}

int PageWidget::objectId(QObject *watched) const
{
    for (int id = 0; id < PageObjects::kObjectCount; ++id)
        if (objectWidget(id) == watched) return id;
    return -1;
}

QRectF PageWidget::objectBox(int id) const
{
    return PageObjects::box(m_session.card, m_session.view, id);
}

void PageWidget::syncToCard()
{
    const QSize size = PageGeometry::pixelSize(PageRenderer::pageTwips(m_session.card), kTwipsPerPixel);
    if (size != this->size()) {
        resize(size);
        centreGuide();
        emit pageResized();
    }
    placeObjects();
    stackObjects();
    placeTrimGuides();
    // The frame stays round its object wherever the card puts it.
    if (chosenObject() >= 0) showSelectionFrame(m_framedObject);
    update();
}

void PageWidget::placeObjects()
{
    const CardDocument &card = m_session.card;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const CardText &t = card.texts[i];
        m_texts[i]->setGeometry(pixels(PageRenderer::textBox(t, m_session.view.textBlocks[i])));
        m_texts[i]->setVisible(t.visible);
    }
    const CardLogo &logo = card.logo;
    m_logo->setGeometry(pixels({logo.left, logo.top, logo.width, logo.height}));
    m_logo->setVisible(logo.visible);
    const CardLine &line = card.line;
    m_line->setGeometry(pixels({line.left, line.top, line.width, line.height}));
    m_line->setVisible(line.visible);
    m_qrCode->setGeometry(pixels(objectBox(PageObjects::kQrCode)));
    m_qrCode->setVisible(PageObjects::isVisible(card, PageObjects::kQrCode));
}

void PageWidget::stackObjects()
{
    // Bottom to top as drawn: the logo when behind, the line, the texts, the logo
    // when in front, the QR code.
    m_line->lower();
    if (m_session.view.logoInFront)
        m_logo->raise();
    else
        m_logo->lower();
    m_qrCode->raise();
    for (QWidget *guide : m_guides) guide->raise();
    m_frame->raise();
    m_guide->raise();
}

void PageWidget::showSelectionFrame(int id)
{
    m_framedObject = id;
    m_frame->setGeometry(objectWidget(id)->geometry());
    m_frame->show();
}

int PageWidget::chosenObject() const { return m_frame->isVisibleTo(this) ? m_framedObject : -1; }

bool PageWidget::alignMode() const { return m_guide->isVisibleTo(this); }

void PageWidget::setAlignMode(bool on) { m_guide->setVisible(on); }

void PageWidget::centreGuide()
{
    setGuideLeft((PageRenderer::pageTwips(m_session.card).width() - kGuideWidth) / 2);
}

void PageWidget::setGuideLeft(double twips)
{
    // The guide's widget always follows m_guideLeft: 3 pixels wide, the page's height.
    m_guideLeft = twips;
    m_guide->setGeometry(pixels({twips, 0, kGuideWidth, 0}).x(), 0, int(kGuideWidth / kTwipsPerPixel), height());
}

void PageWidget::showGuides(const std::array<bool, 4> &shown)
{
    for (std::size_t i = 0; i < shown.size(); ++i) m_guides[i]->setVisible(shown[i]);
}

// ---- Mouse ------------------------------------------------------------------

bool PageWidget::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    // A double-click on an object or the guide is theirs: only one on the page
    // itself is the page's double-click.
    if (type == QEvent::MouseButtonDblClick && (watched == m_guide || objectId(watched) >= 0)) return true;
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (watched == m_guide) {
        if (type == QEvent::MouseButtonPress) {
            m_session.dragAnchor = QPointF(mouse->position().x() * kTwipsPerPixel, 0);
            emit guidePressed();
        } else if (type == QEvent::MouseMove) {
            dragGuide(mouse);
        }
        return true;
    }
    const int id = objectId(watched);
    if (id < 0) return QWidget::eventFilter(watched, event);
    if (type == QEvent::MouseButtonPress) {
        pressObject(id, mouse);
    } else if (type == QEvent::MouseMove) {
        dragObject(id, mouse);
    } else {
        hideTrimGuides();
        emit objectReleased(id);
    }
    return true;
}

void PageWidget::pressObject(int id, QMouseEvent *event)
{
    const QPointF pointer = twipsAt(objectWidget(id)->mapTo(this, event->position()));
    const QRectF box = objectBox(id);
    m_session.dragAnchor = pointer - box.topLeft();
    // A move keeps the object's size, so a text is not laid out again on every pointer move.
    m_dragSize = box.size();
    if (alignMode())
        emit alignModePressed();
    else
        emit objectPressed(id);
}

void PageWidget::dragObject(int id, QMouseEvent *event)
{
    if (event->buttons() != Qt::LeftButton) return;
    const QPointF pointer = twipsAt(objectWidget(id)->mapTo(this, event->position()));
    placeObject(id, pointer - m_session.dragAnchor, alignMode());
}

// Moves object id, of the size it had when pressed or nudged, to the wanted
// place kept inside the trim area (the trim guides show the edges it stops at)
// and, when asked, snapped to the alignment guide.
void PageWidget::placeObject(int id, QPointF wanted, bool snapToGuide)
{
    const QRectF moved(wanted, m_dragSize);
    const PageObjects::Kept kept = PageObjects::keepInTrim(moved, PageRenderer::pageTwips(m_session.card));
    QPointF topLeft = kept.topLeft;
    showGuides(kept.guides);
    if (snapToGuide) {
        if (const auto x = PageObjects::snapToGuide(topLeft.x(), m_dragSize.width(), m_guideLeft, kGuideWidth, m_alignment))
            topLeft.setX(*x);
    }
    const QRect oldPixels = objectWidget(id)->geometry().united(m_frame->geometry());
    PageObjects::moveTo(m_session.card, id, topLeft);
    objectWidget(id)->setGeometry(pixels(QRectF(topLeft, m_dragSize)));
    showSelectionFrame(id);
    // Only what the object covered and covers now is drawn again.
    update(oldPixels.united(objectWidget(id)->geometry()).adjusted(-2, -2, 2, 2));
}

void PageWidget::dragGuide(QMouseEvent *event)
{
    if (event->buttons() != Qt::LeftButton) return;
    const double x = m_guideLeft + event->position().x() * kTwipsPerPixel;
    setGuideLeft(PageObjects::keepGuideInTrim(x - m_session.dragAnchor.x(),
                                              PageRenderer::pageTwips(m_session.card).width()));
}

void PageWidget::mousePressEvent(QMouseEvent *event)
{
    m_doubleClicked = false;
    event->accept();
}

void PageWidget::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_doubleClicked && rect().contains(event->position().toPoint())) emit pageClicked();
    m_doubleClicked = false;
}

void PageWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    m_doubleClicked = true;
    emit pageDoubleClicked();
}

void PageWidget::keyPressEvent(QKeyEvent *event)
{
    const int id = chosenObject();
    const QPointF step = nudgeStep(*event);
    if (id < 0 || step.isNull()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const QRectF box = objectBox(id);
    m_dragSize = box.size();
    placeObject(id, box.topLeft() + step, false);
    m_session.markEdited();
}

void PageWidget::keyReleaseEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat() && !nudgeStep(*event).isNull()) hideTrimGuides();
    QWidget::keyReleaseEvent(event);
}

void PageWidget::placeTrimGuides()
{
    // Rounded to pixels as the crop marks are, so both stand on the same trim edge.
    const auto guides = PageGeometry::trimGuides(PageRenderer::pageTwips(m_session.card));
    for (std::size_t i = 0; i < guides.size(); ++i) {
        const QPoint from = PageGeometry::toPixels(guides[i].from, kTwipsPerPixel);
        const QPoint to = PageGeometry::toPixels(guides[i].to, kTwipsPerPixel);
        m_guides[i]->setGeometry(from.x(), from.y(), std::max(1, to.x() - from.x()), std::max(1, to.y() - from.y()));
    }
}

void PageWidget::hideTrimGuides()
{
    for (QWidget *guide : m_guides) guide->hide();
}

PageWidget::BackgroundKey PageWidget::backgroundKey(qreal ratio) const
{
    const CardPage &p = m_session.card.page;
    const PageView &v = m_session.view;
    return {size(), p.isBg, p.bgColor, p.jbColor1, p.jbColor2, p.jbJiaoDu, v.shownBackground(p), v.background.cacheKey(), ratio};
}

const QImage &PageWidget::background(qreal ratio) const
{
    const BackgroundKey key = backgroundKey(ratio);
    if (m_background.isNull() || !(key == m_backgroundKey)) {
        m_background = PageRenderer::renderBackground(m_session.card, m_session.view, kTwipsPerPixel / ratio);
        m_backgroundKey = key;
    }
    return m_background;
}

QImage PageWidget::pageImage(qreal ratio) const
{
    QImage image = background(ratio).copy();
    {
        QPainter p(&image);
        PageRenderer::paintObjects(p, m_session.card, m_session.view, kTwipsPerPixel / ratio);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

void PageWidget::paintEvent(QPaintEvent *event)
{
    // Drawn off screen at the page's own 96 dpi times the device's pixel ratio:
    // texts keep their size against the page whatever the screen's resolution,
    // and a screen of twice the density gets twice the pixels.
    QPainter screen(this);
    // The device painted on: the window's backing store, or an image a caller renders into.
    const qreal ratio = screen.paintEngine()->paintDevice()->devicePixelRatioF();
    const QRect area = QRectF(QRectF(event->rect()).topLeft() * ratio, QSizeF(event->rect().size()) * ratio)
                           .toAlignedRect();
    QImage image = background(ratio).copy(area);
    {
        QPainter p(&image);
        p.translate(-area.topLeft());
        PageRenderer::paintObjects(p, m_session.card, m_session.view, kTwipsPerPixel / ratio);
    }
    screen.drawImage(QRectF(QPointF(area.topLeft()) / ratio, QSizeF(area.size()) / ratio), image);
}
