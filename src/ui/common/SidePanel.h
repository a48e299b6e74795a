#pragma once

#include <QFrame>

class QLabel;

// One of the eleven side panels (frm_cz(0..10)): 220 pixels wide, in the panel
// colour, with a title along its top. Panels lay their controls out below
// contentTop(). Tab moves through a panel's controls as the eye reads them:
// row by row from the top, left to right within a row.
class SidePanel : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kWidth = 220; // 3300 twips

    SidePanel(int index, const QString &title, QWidget *parent = nullptr);

    int index() const { return m_index; }
    static int contentTop() { return 36; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void orderTabs();

    int m_index;
};
