#pragma once

#include "ui/common/SidePanel.h"

#include <array>

class CardSession;
class PageWidget;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

// Panel 8: show or hide each page object, or align objects to the movable blue
// guide. The page is in align mode exactly while the guide is visible.
class ShowAlignPanel : public SidePanel
{
    Q_OBJECT
public:
    ShowAlignPanel(CardSession &session, PageWidget &page, QWidget *parent = nullptr);

    // The mode options: 0 show/hide, 1 align.
    void chooseMode(int index);
    void finishAlignment();

    QCheckBox *showBox(int index) const { return m_boxes[std::size_t(index)]; }

private:
    void buildModes();
    void buildShowBoxes();
    void buildAlignment();
    void setObjectShown(int index, bool ticked);

    CardSession &m_session;
    PageWidget &m_page;
    std::array<QRadioButton *, 2> m_modes{};
    std::array<QRadioButton *, 3> m_alignments{};
    std::array<QCheckBox *, 14> m_boxes{};
    std::array<QGroupBox *, 3> m_frames{};
    QPushButton *m_finish = nullptr;
};
