#include "ui/panels/ColourPicker.h"

#include "model/Numeric.h"
#include "ui/common/Dialogs.h"
#include "ui/common/WidgetColours.h"

#include <cmath>

namespace ColourPicker {

void applyTextColour(CardDocument &card, Scope scope, int chosen, Colour::Value colour)
{
    if (scope == Scope::ChosenText) {
        if (chosen >= 0 && chosen < int(kTextCount)) card.texts[std::size_t(chosen)].ForeColor = colour;
        return;
    }
    for (CardText &text : card.texts) text.ForeColor = colour;
    if (scope == Scope::AllTextsAndLine) card.line.bgColor = colour;
}

Verdict checkComponent(const QString &text)
{
    const auto value = Numeric::parseNumber(text);
    if (!value || *value < 0 || std::floor(*value) != *value) return Verdict::Refuse;
    return *value > 255 ? Verdict::Cut : Verdict::Take;
}

int componentValue(const QString &text)
{
    return checkComponent(text) == Verdict::Take ? int(*Numeric::parseNumber(text)) : 0;
}

} // namespace ColourPicker

ColourSwatch::ColourSwatch(const QString &name, Colour::Value colour, QWidget *parent)
    : QLabel(parent), m_colour(colour)
{
    setObjectName(name);
    setFrameShape(QFrame::Box);
    fillBackground(*this, Colour::toQColor(colour));
}

void ColourSwatch::setColour(Colour::Value colour)
{
    m_colour = colour;
    fillBackground(*this, Colour::toQColor(colour));
}

namespace {

constexpr const char16_t *kButtonCaptions[] = {
    u">>自定义颜色…", u">>自定义颜色…", u"自定义颜色…", u">>自定义颜色…",
};

} // namespace

CustomColourButton::CustomColourButton(int index, Dialogs &dialogs, QWidget *parent)
    : QPushButton(QString::fromUtf16(kButtonCaptions[index]), parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("cmd_SelectColor(%1)").arg(index));
    connect(this, &QPushButton::clicked, this, &CustomColourButton::chooseColour);
}

void CustomColourButton::chooseColour()
{
    if (const auto colour = m_dialogs.chooseColor(Colour::kBlack)) emit colourChosen(*colour);
}
