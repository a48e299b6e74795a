#include "ui/page/ShowAlignPanel.h"

#include "render/PageObjects.h"
#include "ui/page/PageWidget.h"
#include "model/CardSession.h"
#include "ui/common/Controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr std::array<const char16_t *, 14> kBoxCaptions{
    u"名字", u"职位", u"单位", u"地址", u"邮编", u"电话", u"传真",
    u"手机", u"E-mail", u"网址", u"QQ", u"标志", u"直线", u"底图",
};
constexpr int kMargin = 10;
constexpr int kInner = SidePanel::kWidth - 2 * kMargin;

QGroupBox *group(const QString &name, const QString &title, QRect geometry, QWidget *parent)
{
    return Controls::place<QGroupBox>(name, geometry, parent, title);
}

QLabel *wrappedLabel(const QString &name, const QString &text, QRect geometry, QWidget *parent)
{
    QLabel *label = Controls::label(name, text, geometry, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

ShowAlignPanel::ShowAlignPanel(CardSession &session, PageWidget &page, QWidget *parent)
    : SidePanel(8, QStringLiteral("显示与对齐"), parent), m_session(session), m_page(page)
{
    buildModes();
    buildShowBoxes();
    buildAlignment();
    m_frames[2]->hide();
}

void ShowAlignPanel::buildModes()
{
    m_frames[0] = group(QStringLiteral("show_frm(0)"), QStringLiteral("选择操作选项："),
                        {kMargin, contentTop(), kInner, 52}, this);
    auto *modes = new QButtonGroup(this);
    const char16_t *captions[] = {u"显示/隐藏对象", u"对齐对象"};
    for (int i = 0; i < 2; ++i) {
        auto *option = Controls::option(QStringLiteral("opt_show(%1)").arg(i), QString::fromUtf16(captions[i]),
                                        {8 + i * 104, 22, 100, 22}, m_frames[0]);
        modes->addButton(option, i);
        m_modes[std::size_t(i)] = option;
    }
    m_modes[0]->setChecked(true);
    connect(modes, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) chooseMode(id);
    });
}

void ShowAlignPanel::buildShowBoxes()
{
    const int top = contentTop() + 60;
    m_frames[1] = group(QStringLiteral("show_frm(1)"), QStringLiteral("显示/隐藏操作："),
                        {kMargin, top, kInner, 330}, this);
    QWidget *f = m_frames[1];
    wrappedLabel(QStringLiteral("lab_show(0)"),
                 QStringLiteral("在下面取消钩选状态即可使对应项在您的名片页面中隐藏起来。"), {8, 20, kInner - 16, 36}, f);
    wrappedLabel(QStringLiteral("lab_show(1)"), QStringLiteral("文字信息部分："), {8, 60, kInner - 16, 18}, f);
    for (int i = 0; i < 14; ++i) {
        // Texts three to a row under their label, the picture boxes in one row under theirs.
        const QRect place = i < 11 ? QRect(12 + (i % 3) * 64, 82 + (i / 3) * 26, 64, 22)
                                   : QRect(12 + (i - 11) * 64, 218 + 26, 64, 22);
        auto *box = Controls::checkBox(QStringLiteral("chk_show(%1)").arg(i),
                                       QString::fromUtf16(kBoxCaptions[std::size_t(i)]), place, f);
        connect(box, &QCheckBox::toggled, this, [this, i](bool ticked) { setObjectShown(i, ticked); });
        m_boxes[std::size_t(i)] = box;
    }
    wrappedLabel(QStringLiteral("lab_show(2)"), QStringLiteral("图片信息部分："), {8, 218, kInner - 16, 18}, f);
}

void ShowAlignPanel::buildAlignment()
{
    const int top = contentTop() + 60;
    m_frames[2] = group(QStringLiteral("show_frm(2)"), QStringLiteral("选择对齐方式："), {kMargin, top, kInner, 330}, this);
    QWidget *f = m_frames[2];
    const char16_t *captions[] = {u"左对齐", u"中对齐", u"右对齐"};
    auto *kinds = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto *option = Controls::option(QStringLiteral("opt_align(%1)").arg(i), QString::fromUtf16(captions[i]),
                                        {4 + i * 65, 24, 62, 22}, f);
        kinds->addButton(option, i);
        m_alignments[std::size_t(i)] = option;
    }
    m_alignments[0]->setChecked(true);
    connect(kinds, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) m_page.setAlignment(PageObjects::Alignment(id));
    });
    wrappedLabel(QStringLiteral("lab_show(5)"),
                 QStringLiteral("蓝色的对齐线是您对名片中各信息进行对齐操作的基准线，您可以移动它到合适的位置，"
                                "然后选择一种对齐方式，再移动名片元素（如文字或图片等）,当接近对齐线时，"
                                "即可以完成自动对齐的操作。"),
                 {10, 56, kInner - 20, 150}, f);
    m_finish = Controls::place<QPushButton>(QStringLiteral("cmd_Align"), {10, 214, kInner - 20, 28}, f,
                                            QStringLiteral("√完成对齐操作"));
    connect(m_finish, &QPushButton::clicked, this, &ShowAlignPanel::finishAlignment);
}

void ShowAlignPanel::chooseMode(int index)
{
    QCheckBox *background = m_boxes[13];
    if (index == 1) {
        background->setText(QStringLiteral("页面"));
        m_frames[1]->hide();
        m_frames[2]->show();
        m_modes[1]->setChecked(true);
        m_page.setAlignMode(true);
        return;
    }
    m_frames[1]->show();
    m_frames[2]->hide();
    m_modes[0]->setChecked(true);
    background->setText(QStringLiteral("底图"));
    for (int id = 0; id < PageObjects::kCount; ++id)
        m_boxes[std::size_t(id)]->setChecked(PageObjects::isVisible(m_session.card, id));
    const bool picture = PageView::canRemovePicture(m_session.card.page);
    background->setEnabled(picture);
    if (picture) background->setChecked(!m_session.view.pictureRemoved);
    m_boxes[12]->setEnabled(true);
    m_page.setAlignMode(false);
}

void ShowAlignPanel::setObjectShown(int index, bool ticked)
{
    // The boxes also mirror the card when the mode is chosen; only a change is an edit.
    const bool shown = index == 13 ? !m_session.view.pictureRemoved : PageObjects::isVisible(m_session.card, index);
    if (index == 13) {
        m_session.view.pictureRemoved = !ticked;
    } else {
        PageObjects::setVisible(m_session.card, index, ticked);
        if (!ticked && index >= PageObjects::kLogo) m_page.selectionFrame()->hide();
    }
    m_session.notifyPageChanged();
    if (shown != ticked) m_session.markEdited();
}

void ShowAlignPanel::finishAlignment()
{
    m_page.setAlignMode(false);
    m_page.selectionFrame()->hide();
    chooseMode(0);
}
