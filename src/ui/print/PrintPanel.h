#pragma once

#include "ui/common/SidePanel.h"

class QCheckBox;
class QPushButton;

// Panel 3: printing. Hands the card on the page (or the picture card in the
// preview) to the print window, or goes to the open panel to choose another card.
class PrintPanel : public SidePanel
{
    Q_OBJECT
public:
    explicit PrintPanel(QWidget *parent = nullptr);

    // Prepares the panel when it is shown: the exact-size option is cleared.
    void reset();

    QCheckBox *exactSizeBox() const { return m_exactSize; }
    QPushButton *button(int index) const { return m_buttons[index]; }
    QPushButton *batchButton() const { return m_batch; }

signals:
    // Print the current card; exactSize leaves out the 3 mm zone of the crop marks.
    void printRequested(bool exactSize);
    void openRequested();
    // Make cards for a table of people from the current card.
    void batchRequested();

private:
    QCheckBox *m_exactSize;
    QPushButton *m_buttons[2];
    QPushButton *m_batch;
};
