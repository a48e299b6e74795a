#pragma once

#include "ui/common/SidePanel.h"

class QCheckBox;
class QPushButton;

// Panel 0: the card on the page is the start-up template; the user can restore
// the built-in default card (chk_new, shown only while the page holds a card
// read from a file) or go and choose another start-up card (cmd_setStart), or
// start from one of the card library's cards as a template (cmd_fromTemplate).
class NewCardPanel : public SidePanel
{
    Q_OBJECT
public:
    explicit NewCardPanel(QWidget *parent = nullptr);

    void showRestoreOption();
    // Hides the option and clears its tick.
    void hideRestoreOption();

signals:
    void restoreDefaultTicked();
    void chooseStartupCard();
    void chooseTemplate();

private:
    QCheckBox *m_restore;
    QPushButton *m_setStart;
};
