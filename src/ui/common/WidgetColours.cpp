#include "ui/common/WidgetColours.h"

#include "model/Colour.h"

#include <QLabel>
#include <QPalette>

void fillBackground(QWidget &widget, const QColor &colour)
{
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
}

void usePanelColour(QWidget &widget) { fillBackground(widget, Colour::toQColor(Colour::kPanel)); }

void setCaptionColour(QLabel &label, const QColor &colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}
