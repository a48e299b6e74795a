#pragma once

#include "ui/panels/ColourPicker.h"

#include <QGroupBox>
#include <array>
#include <functional>

class CardSession;
class Dialogs;
class PaletteStrip;
class QLineEdit;
class QRadioButton;

// The text panel's colour frame (txt_frm(0), "选定文字的颜色设置："): palette
// strip 1, custom colour button 2, the swatch lab_txt(8), the scope options
// opt_FCObj(0..2) and the component boxes txt_RGB(0..2). Strip and button give
// their colour by scope; a component box gives the colour of the three boxes
// to the chosen text object alone. Writing a box from code runs its check, as
// typing does.
class TextColourFrame : public QGroupBox
{
    Q_OBJECT
public:
    // chosenText tells which text object the panel works on (-1 for none).
    TextColourFrame(CardSession &session, Dialogs &dialogs, std::function<int()> chosenText,
                    QWidget *parent = nullptr);

    // The swatch takes the colour of text object index.
    void showColourOf(int index);
    // The swatch and the component boxes show the colour of text object index,
    // changing nothing: after an undo the boxes must not hold a colour the
    // card no longer has, which typing into one would bring back.
    void showComponentsOf(int index);

    ColourSwatch *swatch() const { return m_swatch; }
    PaletteStrip *strip() const { return m_strip; }
    CustomColourButton *button() const { return m_button; }
    QLineEdit *componentBox(int index) const { return m_boxes[std::size_t(index)]; }
    QRadioButton *scopeOption(int index) const { return m_scopes[std::size_t(index)]; }

private:
    void buildColourChoice();
    void buildComponentBoxes();
    void buildScopes();
    ColourPicker::Scope scope() const;
    void applyByScope(Colour::Value colour);
    void pickFromStrip(Colour::Value colour);
    void takeFromDialog(Colour::Value colour);
    void changeScope(int index);
    void checkComponentBox(int index);
    void changed();

    CardSession &m_session;
    Dialogs &m_dialogs;
    std::function<int()> m_chosenText;
    PaletteStrip *m_strip = nullptr;
    CustomColourButton *m_button = nullptr;
    ColourSwatch *m_swatch = nullptr;
    std::array<QLineEdit *, 3> m_boxes{};
    std::array<QRadioButton *, 3> m_scopes{};
};
