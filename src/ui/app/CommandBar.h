#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>

class QLabel;

// The picture command bar along the top of the main window ("frm_menu"): eleven
// commands menu(0..10), each with a normal, hover and pressed picture, and three
// separators menu_SP(0..2). Hover pictures are reset only when the pointer
// reaches the bar's own background, so a command keeps its hover picture until
// then. Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+P and F1 run their commands as clicks do.
class CommandBar : public QWidget
{
    Q_OBJECT
public:
    enum Command { New, Open, Save, Print, Page, Logo, Text, Line, Show, Help, About, CommandCount };
    enum class State { Normal = 0, Hover = 1, Pressed = 2 };

    explicit CommandBar(QWidget *parent = nullptr);

    static QString tip(int command);
    static QString barTip();
    State state(int command) const { return m_states[std::size_t(command)]; }

signals:
    // The status line should show text.
    void tipChanged(const QString &text);
    void commandPressed(int command);
    void commandReleased(int command);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void addCommandKeys();
    void setState(int command, State state);
    int commandOf(QObject *watched) const;

    std::array<QLabel *, CommandCount> m_items{};
    std::array<State, CommandCount> m_states{};
    std::array<std::array<QPixmap, 3>, CommandCount> m_pictures;
    QPixmap m_barTile;
};
