#pragma once

#include "model/CardDocument.h"

#include <QObject>
#include <optional>

class EditHistory;
class QKeyEvent;
class QWidget;

// The keys of the main window that belong to no single control, watched for the
// whole application but acting only on events inside the window: Ctrl+Z undoes
// and Ctrl+Y or Ctrl+Shift+Z redoes wherever the focus is (a box's own undo
// never sees them), Esc in a box puts the focus back on the page. Every key and
// mouse press first brings the edit history up to the card; a mouse press or a
// move of the focus ends its run, so typing and nudges join into one step only
// until another action. Page Up and Page Down ask for the card's front and
// back, Ctrl+Tab for its other side, except in a list, where those keys page.
class WindowKeys : public QObject
{
    Q_OBJECT
public:
    WindowKeys(QWidget &window, QWidget &page, EditHistory &history);
    ~WindowKeys() override;

signals:
    // A key asked for a side of the card; none: the side not shown.
    void sideKeyPressed(std::optional<CardSide> side);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inWindow(QObject *watched) const;
    bool takeKey(QObject *watched, const QKeyEvent &key);

    QWidget &m_window;
    QWidget &m_page;
    EditHistory &m_history;
};
