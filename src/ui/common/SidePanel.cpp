#include "ui/common/SidePanel.h"

#include "ui/common/WidgetColours.h"

#include <QLabel>

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
