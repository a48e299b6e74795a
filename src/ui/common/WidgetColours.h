#pragma once

#include <QColor>

class QLabel;
class QWidget;

// Colours of the program's own widgets.

// Fills the widget's background with colour.
void fillBackground(QWidget &widget, const QColor &colour);

// Fills the widget's background with the panel colour, RGB(217, 217, 217).
void usePanelColour(QWidget &widget);

// Sets the colour a label's caption is drawn in.
void setCaptionColour(QLabel &label, const QColor &colour);
