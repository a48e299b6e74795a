#include "ui/panels/LogoPreview.h"

#include "ui/common/WidgetColours.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

// Ctrl without Shift or Alt.
bool ctrlAlone(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier;
}

} // namespace

LogoPreview::LogoPreview(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("logo_picFrm"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedSize(kSize);
    usePanelColour(*this);
    m_viewport = new QWidget(this);
    m_viewport->setGeometry(contentsRect());
    m_picture = new QLabel(m_viewport);
    m_picture->setObjectName(QStringLiteral("pic_Logo"));
    m_picture->setCursor(Qt::CrossCursor);
    m_picture->setMouseTracking(true);
    m_picture->installEventFilter(this);
}

QSize LogoPreview::viewportSize() const { return m_viewport->size(); }

void LogoPreview::setPicture(const QImage &picture)
{
    m_image = picture;
    m_picture->setPixmap(QPixmap::fromImage(picture));
    m_picture->resize(picture.size());
}

void LogoPreview::placePicture()
{
    const QSize inner = viewportSize(), size = m_picture->size();
    if (size.width() > inner.width())
        m_picture->move(0, 0);
    else
        m_picture->move((inner.width() - size.width()) / 2, (inner.height() - size.height()) / 2);
}

QPoint LogoPreview::pulledBack(const QRect &picture, QSize viewport)
{
    if (picture.width() > viewport.width()) return picture.topLeft();
    QPoint at(std::max(0, picture.left()), std::max(0, picture.top()));
    if (at.x() + picture.width() > viewport.width()) at.setX(viewport.width() - picture.width());
    if (at.y() + picture.height() > viewport.height()) at.setY(viewport.height() - picture.height());
    return at;
}

bool LogoPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_picture) return QFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: press(static_cast<QMouseEvent *>(event)); return true;
    case QEvent::MouseMove: drag(static_cast<QMouseEvent *>(event)); return true;
    case QEvent::MouseButtonRelease: release(); return true;
    default: return QFrame::eventFilter(watched, event);
    }
}

void LogoPreview::press(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    m_panning = ctrlAlone(event->modifiers());
    if (m_panning) {
        m_panStart = at;
        return;
    }
    if (!m_image.rect().contains(at)) return;
    emit colourPicked(Colour::fromQColor(m_image.pixelColor(at)));
}

void LogoPreview::drag(QMouseEvent *event)
{
    const bool ctrl = ctrlAlone(event->modifiers());
    // Only when Ctrl was pressed or let go, not on every move.
    const Qt::CursorShape shape = ctrl ? Qt::SizeAllCursor : Qt::CrossCursor;
    if (m_picture->cursor().shape() != shape) m_picture->setCursor(shape);
    if (!m_panning || !ctrl || !(event->buttons() & Qt::LeftButton)) return;
    m_picture->move(m_picture->pos() - m_panStart + event->position().toPoint());
}

void LogoPreview::release()
{
    m_panning = false;
    m_picture->move(pulledBack(m_picture->geometry(), viewportSize()));
}
