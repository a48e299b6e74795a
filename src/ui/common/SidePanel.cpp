#include "ui/common/SidePanel.h"

#include "ui/common/WidgetColours.h"

#include <QLabel>
#include <algorithm>

SidePanel::SidePanel(int index, const QString &title, QWidget *parent) : QFrame(parent), m_index(index)
{
    setObjectName(QStringLiteral("frm_cz(%1)").arg(index));
    usePanelColour(*this);
    setFrameShape(QFrame::StyledPanel);

    auto *heading = new QLabel(title, this);
    heading->setObjectName(QStringLiteral("lab_panelTitle(%1)").arg(index));
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSize(11);
    heading->setFont(f);
    heading->setStyleSheet(QStringLiteral("color: #1f3a7a;"));
    heading->setGeometry(12, 8, kWidth - 24, 24);
}

void SidePanel::showEvent(QShowEvent *event)
{
    orderTabs();
    QFrame::showEvent(event);
}

void SidePanel::orderTabs()
{
    // A control's own parts (a combo box's edit line) go with it, not on their
    // own, and pop-ups are windows of their own.
    const auto takesTab = [](const QWidget *w) { return (w->focusPolicy() & Qt::TabFocus) != 0; };
    std::vector<std::pair<QPoint, QWidget *>> controls;
    for (QWidget *w : findChildren<QWidget *>())
        if (takesTab(w) && w->parentWidget() && !takesTab(w->parentWidget()) && w->window() == window())
            controls.emplace_back(w->mapTo(this, QPoint()), w);
    std::sort(controls.begin(), controls.end(),
              [](const auto &a, const auto &b) { return a.first.y() < b.first.y(); });
    // Controls whose tops lie within a few pixels of a row's first stand in that row.
    constexpr int kRowSlack = 6;
    for (auto row = controls.begin(); row != controls.end();) {
        const auto end = std::find_if(row, controls.end(),
                                      [top = row->first.y()](const auto &c) { return c.first.y() > top + kRowSlack; });
        std::sort(row, end, [](const auto &a, const auto &b) { return a.first.x() < b.first.x(); });
        row = end;
    }
    for (std::size_t i = 1; i < controls.size(); ++i) setTabOrder(controls[i - 1].second, controls[i].second);
}
