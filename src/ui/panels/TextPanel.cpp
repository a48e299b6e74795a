#include "ui/panels/TextPanel.h"

#include "model/CardSession.h"
#include "model/Numeric.h"
#include "render/Fonts.h"
#include "render/TextFit.h"
#include "ui/common/Controls.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/TextColourFrame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace {

using Controls::label;

constexpr int kMargin = 10;
constexpr int kInner = SidePanel::kWidth - 2 * kMargin;

constexpr std::array<const char16_t *, kTextCount> kObjectNames{
    u"姓 名", u"职 位", u"单 位", u"地 址", u"邮 编", u"电 话", u"传 真", u"手 机", u"E-mail", u"网址", u"QQ 号",
};

// Characters of each object's label prefix ("地址：", "E-mail：", "网址：http://"):
// a press on the object puts the caret after them.
constexpr std::array<int, kTextCount> kCaretStarts{0, 0, 0, 3, 3, 3, 3, 3, 7, 10, 3};

constexpr std::array<const char16_t *, 4> kStyleCaptions{u"常规", u"粗体", u"斜体", u"粗斜体"};

int styleOf(const CardText &text) { return (text.FontBold ? 1 : 0) + (text.FontItalic ? 2 : 0); }

} // namespace

TextPanel::TextPanel(CardSession &session, PageWidget &page, Dialogs &dialogs, QWidget *parent)
    : SidePanel(6, QStringLiteral("文字设置"), parent), m_session(session), m_page(page)
{
    buildObjectChoice();
    buildContent();
    m_colours = new TextColourFrame(session, dialogs, [this] { return chosenObject(); }, this);
    m_colours->setGeometry(5, 170, kWidth - 10, 162);
    buildEffects();
    buildHints();
    fillLists();
}

void TextPanel::buildObjectChoice()
{
    label(QStringLiteral("lab_txt(0)"), QStringLiteral("文字对象："), {kMargin, contentTop(), kInner, 18}, this);
    m_chooser = new QComboBox(this);
    m_chooser->setObjectName(QStringLiteral("Combo_FontObj"));
    m_chooser->setPlaceholderText(QStringLiteral("请选择需要更改的对象"));
    for (const char16_t *name : kObjectNames) m_chooser->addItem(QString::fromUtf16(name));
    m_chooser->setCurrentIndex(-1);
    m_chooser->setMaxVisibleItems(int(kTextCount));
    m_chooser->setGeometry(kMargin, 54, kInner, 24);
    connect(m_chooser, &QComboBox::currentIndexChanged, this, &TextPanel::onObjectChosen);
}

void TextPanel::buildContent()
{
    label(QStringLiteral("lab_txt(1)"), QStringLiteral("输入内容："), {kMargin, 80, kInner, 18}, this);
    m_content = new QPlainTextEdit(this);
    m_content->setObjectName(QStringLiteral("txt_input"));
    m_content->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_content->setTabChangesFocus(true);
    // Ctrl+Z and Ctrl+Y belong to the card's edit history, not to the box.
    m_content->setUndoRedoEnabled(false);
    m_content->setGeometry(kMargin, 98, kInner, 48);
    connect(m_content, &QPlainTextEdit::textChanged, this, &TextPanel::onContentChanged);
    m_hide = Controls::checkBox(QStringLiteral("chk_fontShow"), QStringLiteral("不显示当前选定文字"),
                                {kMargin, 148, kInner, 20}, this);
    connect(m_hide, &QCheckBox::toggled, this, &TextPanel::applyHidden);
}

void TextPanel::buildEffects()
{
    auto *frame = new QGroupBox(QStringLiteral("选定文字的效果控制："), this);
    frame->setObjectName(QStringLiteral("txt_frm(1)"));
    frame->setGeometry(5, 334, kWidth - 10, 114);
    label(QStringLiteral("lab_txt(2)"), QStringLiteral("字体："), {8, 22, 40, 20}, frame);
    m_faces = new QComboBox(frame);
    m_faces->setObjectName(QStringLiteral("Combo_Font"));
    m_faces->setEditable(true);
    m_faces->setInsertPolicy(QComboBox::NoInsert);
    m_faces->setGeometry(50, 20, 152, 22);
    connect(m_faces, &QComboBox::activated, this, &TextPanel::applyFace);
    label(QStringLiteral("lab_txt(3)"), QStringLiteral("字号："), {8, 48, 40, 20}, frame);
    m_sizes = new QComboBox(frame);
    m_sizes->setObjectName(QStringLiteral("Combo_Size"));
    m_sizes->setEditable(true);
    m_sizes->setInsertPolicy(QComboBox::NoInsert);
    m_sizes->setGeometry(50, 46, 70, 22);
    connect(m_sizes, &QComboBox::activated, this, &TextPanel::applySize);
    label(QStringLiteral("lab_txt(4)"), QStringLiteral("文字式样效果："), {8, 72, 120, 18}, frame);
    m_styleGroup = new QButtonGroup(this);
    const int lefts[] = {6, 52, 98, 144};
    for (int i = 0; i < 4; ++i) {
        auto *option = Controls::option(QStringLiteral("opt_fontStyle(%1)").arg(i),
                                        QString::fromUtf16(kStyleCaptions[std::size_t(i)]),
                                        {lefts[i], 90, i == 3 ? 62 : 46, 20}, frame);
        m_styleGroup->addButton(option, i);
        m_styles[std::size_t(i)] = option;
    }
    m_styles[0]->setChecked(true);
    connect(m_styleGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) applyStyle(id);
    });
}

void TextPanel::buildHints()
{
    label(QStringLiteral("tip_txt(1)"), QStringLiteral("应用提示："), {kMargin, 452, kInner, 16}, this);
    QLabel *hint = label(QStringLiteral("tip_info(1)"),
                         QStringLiteral("如果需要对更多的对象进行显示与否的操作，请进入“显示”控制面版中进行设置。"),
                         {kMargin, 468, kInner, 60}, this);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// Every face the system has, in its own order, and the sizes 8 to 60.
void TextPanel::fillLists()
{
    m_faces->addItems(Fonts::cardFaces());
    m_faces->setEditText(QStringLiteral("宋体"));
    for (int size = 8; size <= 60; ++size) m_sizes->addItem(QString::number(size));
    m_sizes->setEditText(QStringLiteral("10"));
}

int TextPanel::chosenObject() const { return m_chooser->currentIndex(); }

void TextPanel::chooseObject(int index)
{
    if (m_chooser->currentIndex() == index)
        onObjectChosen();
    else
        m_chooser->setCurrentIndex(index);
}

void TextPanel::onObjectChosen()
{
    m_content->setFocus();
    const int i = chosenObject();
    if (i < 0 || i >= int(kTextCount)) return;
    const CardDocument before = m_session.card;
    {
        const QScopedValueRollback showing(m_showing, true);
        showStyleOf(i);
        showValuesOf(i);
    }
    m_colours->showColourOf(i);
    if (!(m_session.card == before)) m_session.markEdited();
    showFrame(i);
}

void TextPanel::showStyleOf(int index)
{
    m_styles[std::size_t(styleOf(m_session.card.texts[std::size_t(index)]))]->setChecked(true);
}

void TextPanel::showValuesOf(int index)
{
    const CardText &text = m_session.card.texts[std::size_t(index)];
    m_hide->setChecked(!text.visible);
    setContent(text.caption);
    m_faces->setEditText(text.Font);
    m_sizes->setEditText(Numeric::formatSingle(text.FontSize));
}

void TextPanel::showChosenObject()
{
    const int i = chosenObject();
    if (i < 0) return;
    const QSignalBlocker content(m_content), hide(m_hide), styles(m_styleGroup);
    showStyleOf(i);
    showValuesOf(i);
    m_colours->showColourOf(i);
}

// Writing the box runs its change handler only when the text differs.
void TextPanel::setContent(const QString &text)
{
    if (m_content->toPlainText() != text) m_content->setPlainText(text);
}

// Typing beyond the limit loses what was typed last, as in a one-line box; a
// longer text shown from the card stays whole.
bool TextPanel::limitContent()
{
    const QString text = m_content->toPlainText();
    const int excess = int(text.size()) - kMaxContent;
    if (m_showing || excess <= 0) return false;
    QTextCursor cursor = m_content->textCursor();
    const int end = cursor.position() >= excess ? cursor.position() : int(text.size());
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_content->setTextCursor(cursor);
    return true;
}

void TextPanel::onContentChanged()
{
    if (limitContent()) return;
    const int i = chosenObject();
    if (i < 0) return;
    m_session.card.texts[std::size_t(i)].caption = m_content->toPlainText().trimmed();
    fitObject(i);
    edited();
}

void TextPanel::fitObject(int index)
{
    TextFit::fitText(m_session.card, m_session.view, std::size_t(index));
    m_session.notifyPageChanged();
    showFrame(index);
}

void TextPanel::takePressedObject(int index)
{
    chooseObject(index);
    const int length = int(m_content->toPlainText().size());
    const int start = std::min(kCaretStarts[std::size_t(index)], length);
    QTextCursor cursor = m_content->textCursor();
    cursor.setPosition(start);
    fitObject(index);
    edited();
    cursor.setPosition(std::min(start + kMaxContent, length), QTextCursor::KeepAnchor);
    m_content->setTextCursor(cursor);
}

void TextPanel::applyFace(int entry)
{
    const int i = chosenObject();
    if (i < 0) return;
    m_session.card.texts[std::size_t(i)].Font = m_faces->itemText(entry);
    edited();
    showFrame(i);
}

void TextPanel::applySize(int entry)
{
    const int i = chosenObject();
    if (i < 0) return;
    m_session.card.texts[std::size_t(i)].FontSize = m_sizes->itemText(entry).toFloat();
    edited();
    showFrame(i);
}

void TextPanel::applyStyle(int style)
{
    const int i = chosenObject();
    if (i < 0) return;
    CardText &text = m_session.card.texts[std::size_t(i)];
    text.FontBold = style == 1 || style == 3;
    text.FontItalic = style == 2 || style == 3;
    edited();
    if (!m_showing) showFrame(i);
}

// Un-hiding is an edit like hiding: a card saved with the object hidden must
// ask to be saved again once it shows.
void TextPanel::applyHidden(bool hidden)
{
    const int i = chosenObject();
    if (i < 0) return;
    CardText &text = m_session.card.texts[std::size_t(i)];
    if (text.visible != hidden) return;
    text.visible = !hidden;
    if (hidden) m_page.selectionFrame()->hide();
    edited();
}

// The frame goes round the object where it is visible.
void TextPanel::showFrame(int index)
{
    if (m_session.card.texts[std::size_t(index)].visible) m_page.showSelectionFrame(index);
}

void TextPanel::edited()
{
    if (!m_showing) m_session.markEdited();
    m_session.notifyPageChanged();
}
