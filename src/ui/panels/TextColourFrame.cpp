#include "ui/panels/TextColourFrame.h"

#include "model/CardSession.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/panels/PaletteStrip.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QRadioButton>

using ColourPicker::Scope;
using ColourPicker::Verdict;

namespace {

constexpr const char16_t *kComponentLabels[] = {u"R：", u"G：", u"B："};
constexpr const char16_t *kScopeCaptions[] = {u"仅作用于选定的对象", u"全部文字", u"全部文字及直线"};

} // namespace

TextColourFrame::TextColourFrame(CardSession &session, Dialogs &dialogs, std::function<int()> chosenText,
                                 QWidget *parent)
    : QGroupBox(QStringLiteral("选定文字的颜色设置："), parent), m_session(session), m_dialogs(dialogs),
      m_chosenText(std::move(chosenText))
{
    setObjectName(QStringLiteral("txt_frm(0)"));
    buildColourChoice();
    buildComponentBoxes();
    buildScopes();
}

void TextColourFrame::buildColourChoice()
{
    m_strip = new PaletteStrip(1, this);
    m_strip->move(4, 24);
    connect(m_strip, &PaletteStrip::colourPicked, this, &TextColourFrame::pickFromStrip);
    m_swatch = new ColourSwatch(QStringLiteral("lab_txt(8)"), Colour::kBlack, this);
    m_swatch->setGeometry(6, 46, 44, 22);
    m_button = new CustomColourButton(2, m_dialogs, this);
    m_button->setGeometry(56, 45, 100, 24);
    connect(m_button, &CustomColourButton::colourChosen, this, &TextColourFrame::takeFromDialog);
}

void TextColourFrame::buildComponentBoxes()
{
    for (int i = 0; i < 3; ++i) {
        Controls::label(QStringLiteral("lab_RGB(%1)").arg(i), QString::fromUtf16(kComponentLabels[i]),
                        {6 + i * 66, 74, 22, 22}, this);
        auto *box = Controls::place<QLineEdit>(QStringLiteral("txt_RGB(%1)").arg(i), {28 + i * 66, 74, 38, 22}, this,
                                               QStringLiteral("0"));
        box->setMaxLength(3);
        box->setAlignment(Qt::AlignCenter);
        connect(box, &QLineEdit::textChanged, this, [this, i] { checkComponentBox(i); });
        m_boxes[std::size_t(i)] = box;
    }
}

void TextColourFrame::buildScopes()
{
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto *option = Controls::option(QStringLiteral("opt_FCObj(%1)").arg(i), QString::fromUtf16(kScopeCaptions[i]),
                                        {6, 100 + i * 20, 190, 20}, this);
        group->addButton(option, i);
        m_scopes[std::size_t(i)] = option;
    }
    m_scopes[0]->setChecked(true);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) changeScope(id);
    });
}

Scope TextColourFrame::scope() const
{
    if (m_scopes[1]->isChecked()) return Scope::AllTexts;
    if (m_scopes[2]->isChecked()) return Scope::AllTextsAndLine;
    return Scope::ChosenText;
}

void TextColourFrame::showColourOf(int index)
{
    m_swatch->setColour(m_session.card.texts.at(std::size_t(index)).ForeColor);
}

void TextColourFrame::showComponentsOf(int index)
{
    const Colour::Value colour = m_session.card.texts.at(std::size_t(index)).ForeColor;
    const int components[] = {Colour::red(colour), Colour::green(colour), Colour::blue(colour)};
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        const QSignalBlocker quiet(m_boxes[i]);
        m_boxes[i]->setText(QString::number(components[i]));
    }
    showColourOf(index);
}

void TextColourFrame::applyByScope(Colour::Value colour)
{
    ColourPicker::applyTextColour(m_session.card, scope(), m_chosenText(), colour);
}

void TextColourFrame::changed()
{
    m_session.markEdited();
    m_session.notifyPageChanged();
}

void TextColourFrame::pickFromStrip(Colour::Value colour)
{
    applyByScope(colour);
    // Each write is a change of its box and re-applies the three boxes to the
    // chosen text; after the third the boxes make the picked colour again.
    m_boxes[0]->setText(QString::number(Colour::red(colour)));
    m_boxes[1]->setText(QString::number(Colour::green(colour)));
    m_boxes[2]->setText(QString::number(Colour::blue(colour)));
    m_swatch->setColour(colour);
    changed();
}

void TextColourFrame::takeFromDialog(Colour::Value colour)
{
    applyByScope(colour);
    m_swatch->setColour(colour);
    changed();
}

void TextColourFrame::changeScope(int index)
{
    if (index == 0) return;
    ColourPicker::applyTextColour(m_session.card, Scope(index), -1, m_swatch->colour());
    changed();
}

void TextColourFrame::checkComponentBox(int index)
{
    QLineEdit *box = m_boxes[std::size_t(index)];
    switch (ColourPicker::checkComponent(box->text())) {
    case Verdict::Refuse:
        m_dialogs.show(QStringLiteral("请请输入0~255范围的数值！"), QStringLiteral("操作提示："), Dialogs::Icon::Warning);
        box->setText(QStringLiteral("0"));
        return;
    case Verdict::Cut:
        box->setText(box->text().left(2));
        m_session.markEdited();
        return;
    case Verdict::Take:
        break;
    }
    const Colour::Value colour = Colour::fromRgb(ColourPicker::componentValue(m_boxes[0]->text()),
                                                 ColourPicker::componentValue(m_boxes[1]->text()),
                                                 ColourPicker::componentValue(m_boxes[2]->text()));
    ColourPicker::applyTextColour(m_session.card, Scope::ChosenText, m_chosenText(), colour);
    m_swatch->setColour(colour);
    changed();
}
