#pragma once

#include "model/CardDocument.h"

#include <QLabel>
#include <QPushButton>

class Dialogs;

// The pieces every colour choice shares: where a text colour goes, the check
// of a typed colour component, the swatch that shows a colour and the button
// that opens the colour dialog.
namespace ColourPicker {

// Where a text colour goes: the chosen text object only, all eleven texts, or
// all eleven texts and the line.
enum class Scope { ChosenText, AllTexts, AllTextsAndLine };

// Gives colour to the texts (and the line) of scope; chosen is the chosen text
// object, -1 for none.
void applyTextColour(CardDocument &card, Scope scope, int chosen, Colour::Value colour);

// What a component box does with its text: take a whole number 0 to 255, cut a
// larger whole number to its first two characters, refuse anything else (no
// number, a negative or a fractional one).
enum class Verdict { Take, Cut, Refuse };
Verdict checkComponent(const QString &text);

// The value of a component box; 0 for a text that would be refused.
int componentValue(const QString &text);

} // namespace ColourPicker

// A swatch (lab_txt(8), lab_line(3), the page swatches): a bordered label
// filled with one colour.
class ColourSwatch : public QLabel
{
    Q_OBJECT
public:
    ColourSwatch(const QString &name, Colour::Value colour, QWidget *parent = nullptr);

    Colour::Value colour() const { return m_colour; }
    void setColour(Colour::Value colour);

private:
    Colour::Value m_colour;
};

// A custom colour button (cmd_SelectColor(0..3)): opens the colour dialog,
// which starts on black with sixteen black custom colours, and reports the
// colour chosen. A cancelled dialog reports nothing.
class CustomColourButton : public QPushButton
{
    Q_OBJECT
public:
    // Index 0 and 1 sit in the page panel, 2 in the text panel, 3 in the line panel.
    CustomColourButton(int index, Dialogs &dialogs, QWidget *parent = nullptr);

signals:
    void colourChosen(Colour::Value colour);

private:
    void chooseColour();

    Dialogs &m_dialogs;
};
