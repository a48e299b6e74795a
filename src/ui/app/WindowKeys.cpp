#include "ui/app/WindowKeys.h"

#include "model/EditHistory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QWidget>

// A child of the history, so the filter goes before the history does.
WindowKeys::WindowKeys(QWidget &window, QWidget &page, EditHistory &history)
    : QObject(&history), m_window(window), m_page(page), m_history(history)
{
    qApp->installEventFilter(this);
}

WindowKeys::~WindowKeys() { qApp->removeEventFilter(this); }

bool WindowKeys::inWindow(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget && widget->window() == &m_window;
}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress && type != QEvent::FocusIn) return false;
    if (!inWindow(watched)) return false;
    if (type != QEvent::FocusIn) m_history.catchUp();
    if (type == QEvent::KeyPress) return takeKey(watched, static_cast<const QKeyEvent &>(*event));
    m_history.endRun();
    return false;
}

bool WindowKeys::takeKey(QObject *watched, const QKeyEvent &key)
{
    const QKeyCombination pressed = key.keyCombination();
    if (pressed == (Qt::ControlModifier | Qt::Key_Z)) {
        m_history.undo();
        return true;
    }
    if (pressed == (Qt::ControlModifier | Qt::Key_Y) || pressed == (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z)) {
        m_history.redo();
        return true;
    }
    if (pressed == (Qt::ControlModifier | Qt::Key_Tab)) {
        emit sideKeyPressed(std::nullopt);
        return true;
    }
    const bool list = qobject_cast<QAbstractItemView *>(watched) || qobject_cast<QComboBox *>(watched);
    if ((pressed == QKeyCombination(Qt::Key_PageUp) || pressed == QKeyCombination(Qt::Key_PageDown)) && !list) {
        emit sideKeyPressed(pressed.key() == Qt::Key_PageUp ? CardSide::Front : CardSide::Back);
        return true;
    }
    if (pressed == QKeyCombination(Qt::Key_Escape) && watched != &m_page) {
        m_page.setFocus(Qt::OtherFocusReason);
        return true;
    }
    return false;
}
