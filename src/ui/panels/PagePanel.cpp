#include "ui/panels/PagePanel.h"

#include "model/CardSession.h"
#include "model/Numeric.h"
#include "render/PageObjects.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/panels/PaletteStrip.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

namespace {

using Controls::checkBox;
using Controls::label;
using Controls::option;

constexpr int kLeft = 10;
constexpr int kInner = SidePanel::kWidth - 2 * kLeft;
const QString kHint = QStringLiteral("操作提示：");
constexpr QSize kThumbnailSize{27, 32}; // 405 x 480 twips

QLineEdit *numberBox(const QString &name, QRect geometry, QWidget *parent)
{
    auto *box = Controls::place<QLineEdit>(name, geometry, parent);
    box->setMaxLength(3);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

// The small page pictogram beside an orientation option.
QLabel *pictogram(const QString &name, QSize page, QRect geometry, QWidget *parent)
{
    QPixmap pixmap(geometry.size());
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    const QPoint at((geometry.width() - page.width()) / 2, (geometry.height() - page.height()) / 2);
    p.drawRect(QRect(at, page - QSize(1, 1)));
    p.end();
    QLabel *l = label(name, QString(), geometry, parent);
    l->setPixmap(pixmap);
    return l;
}

QString trimmedSizeText(double mm) { return QStringLiteral("(实尺寸") + QString::number(mm - 6) + QStringLiteral("毫米)"); }

} // namespace

PagePanel::PagePanel(CardSession &session, Dialogs &dialogs, QWidget *parent)
    : SidePanel(4, QStringLiteral("页面设置"), parent), m_session(session), m_dialogs(dialogs)
{
    buildSize(contentTop());
    // Rows close enough that "删除反面" fits below the options.
    buildFill(contentTop() + 120);
    buildPictures(contentTop() + 264);
    buildOptions(contentTop() + 386);
    connect(&m_session, &CardSession::pageChanged, this, &PagePanel::syncWithPage);
    showCard();
}

// ---- Building -------------------------------------------------------------------

void PagePanel::buildSize(int top)
{
    label(QStringLiteral("lab_page(0)"), QStringLiteral("页面类型："), {kLeft, top, 64, 22}, this);
    pictogram(QStringLiteral("lab_page(1)"), {16, 11}, {74, top + 2, 18, 18}, this);
    pictogram(QStringLiteral("lab_page(2)"), {11, 16}, {144, top + 2, 18, 18}, this);
    auto *orientations = new QButtonGroup(this);
    const char16_t *captions[] = {u"水平", u"垂直"};
    for (int i = 0; i < 2; ++i) {
        QRadioButton *o = option(QStringLiteral("opt_fx(%1)").arg(i), QString::fromUtf16(captions[i]),
                                 {92 + i * 70, top, 52, 22}, this);
        orientations->addButton(o);
        m_orientations[std::size_t(i)] = o;
    }
    m_orientations[0]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        connect(m_orientations[std::size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) onOrientationChosen(i);
        });
    }

    auto *heading = label(QStringLiteral("lab_page(3)"),
                          QStringLiteral("页面规格(包含裁切线周边的3毫米；宽度与高度的可调值为46-126毫米内)："),
                          {kLeft, top + 24, kInner, 48}, this);
    heading->setWordWrap(true);
    const char16_t *names[] = {u"宽度：", u"高度："};
    for (int i = 0; i < 2; ++i) {
        const int y = top + 72 + i * 24;
        label(QStringLiteral("lab_page(%1)").arg(5 + 2 * i), QString::fromUtf16(names[i]), {kLeft, y, 40, 22}, this);
        QLineEdit *box = numberBox(QStringLiteral("txt_p(%1)").arg(i), {50, y, 40, 22}, this);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, i] { onSizeChanged(i); });
        m_sizeBoxes[std::size_t(i)] = box;
        m_trimmedLabels[std::size_t(i)] =
            label(QStringLiteral("lab_page(%1)").arg(6 + 2 * i), QStringLiteral("毫米"), {94, y, 116, 22}, this);
    }
}

void PagePanel::buildFill(int top)
{
    label(QStringLiteral("lab_page(4)"), QStringLiteral("页面颜色："), {kLeft, top, 60, 22}, this);
    auto *fills = new QButtonGroup(this);
    const char16_t *captions[] = {u"单色填充", u"渐变填色"};
    for (int i = 0; i < 2; ++i) {
        QRadioButton *o = option(QStringLiteral("opt_pgColor(%1)").arg(i), QString::fromUtf16(captions[i]),
                                 {70 + i * 70, top, 70, 22}, this);
        fills->addButton(o);
        m_fills[std::size_t(i)] = o;
    }
    m_fills[0]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        connect(m_fills[std::size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) onFillChosen(i);
        });
    }
    m_strip = new PaletteStrip(0, this);
    m_strip->move(kLeft, top + 24);
    connect(m_strip, &PaletteStrip::colourPicked, this, &PagePanel::pickColour);
    const QRect frame(kLeft, top + 44, kInner, 96);
    buildSolidFrame(frame);
    buildGradientFrame(frame);
    m_gradientFrame->hide();
}

void PagePanel::buildSolidFrame(QRect geometry)
{
    m_solidFrame = Controls::place<QGroupBox>(QStringLiteral("page_frm(2)"), geometry, this, QStringLiteral("单色填充："));
    auto *button = new CustomColourButton(0, m_dialogs, m_solidFrame);
    button->setGeometry(6, 20, 128, 26);
    connect(button, &CustomColourButton::colourChosen, this, &PagePanel::takeSolidColour);
    m_colourButtons[0] = button;
    m_solidSwatch = new ColourSwatch(QStringLiteral("lab_page(12)"), Colour::kWhite, m_solidFrame);
    m_solidSwatch->setGeometry(142, 20, 50, 26);
    auto *hint = label(QStringLiteral("lab_page(10)"), QStringLiteral("在标志设置中可以使标志底色与页面颜色一致…"),
                       {6, 50, geometry.width() - 12, 42}, m_solidFrame);
    hint->setWordWrap(true);
}

void PagePanel::buildGradientFrame(QRect geometry)
{
    m_gradientFrame =
        Controls::place<QGroupBox>(QStringLiteral("page_frm(1)"), geometry, this, QStringLiteral("渐变填色："));
    auto *targets = new QButtonGroup(this);
    const char16_t *captions[] = {u"从颜色1", u"到颜色2"};
    for (int i = 0; i < 2; ++i) {
        QRadioButton *o = option(QStringLiteral("page_optCjb(%1)").arg(i), QString::fromUtf16(captions[i]),
                                 {6 + i * 98, 20, 70, 22}, m_gradientFrame);
        targets->addButton(o);
        m_gradientTargets[std::size_t(i)] = o;
        auto *view = new ColourSwatch(QStringLiteral("page_ColorView(%1)").arg(i), Colour::kWhite, m_gradientFrame);
        view->setGeometry(76 + i * 98, 22, 20, 18);
        m_gradientViews[std::size_t(i)] = view;
    }
    m_gradientTargets[0]->setChecked(true);
    label(QStringLiteral("lab_page(9)"), QStringLiteral("渐变角度："), {6, 44, 64, 22}, m_gradientFrame);
    m_angleBox = numberBox(QStringLiteral("txt_jbJiaoDu"), {72, 44, 44, 22}, m_gradientFrame);
    m_angleBox->setText(QStringLiteral("0"));
    connect(m_angleBox, &QLineEdit::textChanged, this, &PagePanel::onAngleChanged);
    auto *button = new CustomColourButton(1, m_dialogs, m_gradientFrame);
    button->setGeometry(6, 68, geometry.width() - 12, 24);
    connect(button, &CustomColourButton::colourChosen, this, &PagePanel::takeGradientColour);
    m_colourButtons[1] = button;
}

void PagePanel::buildPictures(int top)
{
    label(QStringLiteral("lab_page(11)"), QStringLiteral("页面背景填图处理：(点击完成选择)"), {kLeft, top, kInner, 20},
          this);
    for (int i = 0; i < PagePictures::kBuiltInBackgroundCount; ++i) {
        const QRect place(QPoint(kLeft + (i % 5) * 43, top + 22 + (i / 5) * 33), kThumbnailSize);
        QLabel *thumbnail = label(QStringLiteral("img_CardBg(%1)").arg(i), QString(), place, this);
        thumbnail->setScaledContents(true);
        thumbnail->setPixmap(QPixmap::fromImage(PagePictures::builtInBackground(QString::number(i))));
        thumbnail->setCursor(Qt::PointingHandCursor);
        thumbnail->installEventFilter(this);
        m_thumbnails[std::size_t(i)] = thumbnail;
    }
}

void PagePanel::buildOptions(int top)
{
    auto *other = Controls::place<QPushButton>(QStringLiteral("cmd_picure_bg"), {kLeft, top, kInner, 24}, this,
                                               QStringLiteral(">>选择其它底图文件…"));
    connect(other, &QPushButton::clicked, this,
            [this] { emit libraryManagerRequested(ProgramFolder::Library::Backgrounds); });
    m_removePicture = checkBox(QStringLiteral("chk_pagePic"), QStringLiteral("取消页面背景中的填图"),
                               {kLeft, top + 26, kInner, 20}, this);
    connect(m_removePicture, &QCheckBox::toggled, this, &PagePanel::onRemovePictureToggled);
    label(QStringLiteral("lab_page(13)"), QStringLiteral("印刷输出裁切线状态："), {kLeft, top + 48, 130, 20}, this);
    m_hideCropMarks = checkBox(QStringLiteral("chk_rLine"), QStringLiteral("不显示"), {140, top + 48, 70, 20}, this);
    connect(m_hideCropMarks, &QCheckBox::toggled, this, &PagePanel::onHideCropMarksToggled);
    label(QStringLiteral("lab_page(14)"), QStringLiteral("页面的阴影显示状态："), {kLeft, top + 70, 130, 20}, this);
    m_hideShadow = checkBox(QStringLiteral("chk_pageShap"), QStringLiteral("取消显示"), {140, top + 70, 70, 20}, this);
    connect(m_hideShadow, &QCheckBox::toggled, this, [this](bool ticked) { emit shadowShown(!ticked); });
    m_removeBack = Controls::place<QPushButton>(QStringLiteral("removeBackButton"), {kLeft, top + 92, kInner, 22},
                                                this, QStringLiteral("删除反面"));
    connect(m_removeBack, &QPushButton::clicked, this, &PagePanel::askToRemoveBack);
}

void PagePanel::askToRemoveBack()
{
    const QString question = QStringLiteral("这个操作将去掉名片的反面及其上的背景、标志、直线和文字！\r"
                                            "确定要删除名片的反面吗？");
    if (m_dialogs.ask(question, QStringLiteral("提醒您："), Dialogs::Icon::Question, Dialogs::Buttons::YesNo) ==
        Dialogs::Answer::Yes)
        emit removeBackRequested();
}

// ---- The card on the page ---------------------------------------------------------

void PagePanel::showCard()
{
    const CardPage &page = m_session.card.page;
    const PageView &view = m_session.view;
    const QSignalBlocker blockWidth(m_sizeBoxes[0]), blockHeight(m_sizeBoxes[1]), blockAngle(m_angleBox),
        blockSolid(m_fills[0]), blockGradient(m_fills[1]);
    const float sides[] = {page.width, page.height};
    for (std::size_t i = 0; i < 2; ++i) {
        const int mm = Numeric::twipsToMm(sides[i]);
        m_sizeBoxes[i]->setText(QString::number(mm));
        m_trimmedLabels[i]->setText(trimmedSizeText(mm));
        m_takenSizes[i] = mm;
    }
    const bool solid = view.colourOption == BackgroundKind::SolidColour;
    m_fills[solid ? 0 : 1]->setChecked(true);
    m_solidFrame->setVisible(solid);
    m_gradientFrame->setVisible(!solid);
    m_solidSwatch->setColour(page.bgColor);
    m_gradientViews[0]->setColour(page.jbColor1);
    m_gradientViews[1]->setColour(page.jbColor2);
    m_angleBox->setText(page.jbJiaoDu);
    // Laying the page out draws the crop marks again.
    m_session.view.cropMarks = true;
    syncWithPage();
}

void PagePanel::syncWithPage()
{
    const QSignalBlocker blockPicture(m_removePicture), blockMarks(m_hideCropMarks);
    m_removePicture->setEnabled(PageView::canRemovePicture(m_session.card.page));
    m_removePicture->setChecked(m_session.view.pictureRemoved);
    m_hideCropMarks->setChecked(!m_session.view.cropMarks);
    m_removeBack->setEnabled(m_session.card.hasBack());
}

void PagePanel::changed() { m_session.markEdited(); }

void PagePanel::redraw()
{
    // Every redraw of the background brings the crop marks back.
    m_session.view.cropMarks = true;
    m_session.notifyPageChanged();
}

// ---- Size and orientation ---------------------------------------------------------

bool PagePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < 2; ++i)
            if (watched == m_sizeBoxes[std::size_t(i)]) selectFirstDigits(i);
    }
    const auto thumbnail = std::find(m_thumbnails.begin(), m_thumbnails.end(), watched);
    if (thumbnail == m_thumbnails.end()) return SidePanel::eventFilter(watched, event);
    QLabel *picture = *thumbnail;
    if (event->type() == QEvent::MouseButtonPress) {
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        picture->setFrameStyle(QFrame::NoFrame);
        // Releasing away from the picture takes the press back.
        if (picture->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
            chooseBuiltInPicture(int(thumbnail - m_thumbnails.begin()));
        return true;
    }
    return SidePanel::eventFilter(watched, event);
}

void PagePanel::selectFirstDigits(int index)
{
    // After the focus arrives, so that a click placing the caret does not undo it.
    QLineEdit *box = m_sizeBoxes[std::size_t(index)];
    QTimer::singleShot(0, box, [box] { box->setSelection(0, 3); });
}

bool PagePanel::takeSize(int index)
{
    const auto value = Numeric::parseNumber(m_sizeBoxes[std::size_t(index)]->text());
    if (!value) return false;
    const auto whole = Numeric::roundHalfEven(*value);
    if (whole < 46 || whole > 126) return true;
    CardPage &page = m_session.card.page;
    (index == 0 ? page.width : page.height) = float(Numeric::mmToTwips(*value));
    m_takenSizes[std::size_t(index)] = *value;
    m_trimmedLabels[std::size_t(index)]->setText(trimmedSizeText(*value));
    return true;
}

void PagePanel::onSizeChanged(int index)
{
    if (!takeSize(index)) {
        const CardPage &page = m_session.card.page;
        const float side = index == 0 ? page.width : page.height;
        // Puts the current size back, which takes it again.
        m_sizeBoxes[std::size_t(index)]->setText(QString::number(Numeric::twipsToMm(side)));
        m_dialogs.show(QStringLiteral("请请输入46~126范围的数值！"), kHint, Dialogs::Icon::Warning);
    }
    fitTextsToPage();
    m_solidSwatch->setColour(m_session.card.page.bgColor);
    redraw();
    changed();
}

void PagePanel::onOrientationChosen(int index)
{
    const bool across = index == 0;
    CardPage &page = m_session.card.page;
    page.width = float(Numeric::mmToTwips(m_takenSizes[across ? 0 : 1]));
    page.height = float(Numeric::mmToTwips(m_takenSizes[across ? 1 : 0]));
    fitTextsToPage();
    m_solidSwatch->setColour(page.bgColor);
    redraw();
    changed();
}

void PagePanel::refreshSwatch() { m_solidSwatch->setColour(m_session.card.page.bgColor); }

// The page size is the card's: the texts of both sides follow it.
void PagePanel::fitTextsToPage()
{
    CardDocument &card = m_session.card;
    PageView &view = m_session.view;
    const CardSide shown = card.shownSide;
    for (CardSide side : {CardSide::Front, CardSide::Back}) {
        if (side != shown && !card.hasBack()) continue;
        showSide(card, view, side);
        const QSizeF page = PageRenderer::pageTwips(card);
        for (int i = 0; i < int(kTextCount); ++i)
            PageObjects::moveTo(card, i, PageObjects::fittedTextPosition(PageObjects::box(card, view, i), page));
    }
    showSide(card, view, shown);
}

// ---- Fill and colours ---------------------------------------------------------------

void PagePanel::setColourOption(BackgroundKind option)
{
    m_session.view.colourOption = option;
    CardPage &page = m_session.card.page;
    if (!isPictureKind(page.isBg)) page.isBg = option;
}

void PagePanel::setGradientColour(int index, Colour::Value colour)
{
    CardPage &page = m_session.card.page;
    (index == 0 ? page.jbColor1 : page.jbColor2) = colour;
    m_gradientViews[std::size_t(index)]->setColour(colour);
}

int PagePanel::gradientTargetIndex() const { return m_gradientTargets[1]->isChecked() ? 1 : 0; }

void PagePanel::refreshSolidPage()
{
    if (m_session.view.colourOption == BackgroundKind::SolidColour)
        m_session.card.page.bgColor = m_solidSwatch->colour();
}

void PagePanel::hideHeldPicture()
{
    // Ticking the option hides the picture and keeps it for unticking.
    if (!m_session.view.background.isNull()) m_removePicture->setChecked(true);
}

void PagePanel::onFillChosen(int index)
{
    const bool solid = index == 0;
    m_solidSwatch->setColour(m_session.card.page.bgColor);
    m_gradientFrame->setVisible(!solid);
    m_solidFrame->setVisible(solid);
    if (!solid) setGradientColour(0, m_solidSwatch->colour());
    setColourOption(solid ? BackgroundKind::SolidColour : BackgroundKind::Gradient);
    redraw();
    hideHeldPicture();
    changed();
}

void PagePanel::pickColour(Colour::Value colour)
{
    m_solidSwatch->setColour(colour);
    m_session.card.page.bgColor = colour;
    const bool solid = m_session.view.colourOption == BackgroundKind::SolidColour;
    setGradientColour(solid ? 0 : gradientTargetIndex(), colour);
    redraw();
    m_removePicture->setChecked(!m_session.view.background.isNull());
    changed();
}

void PagePanel::takeSolidColour(Colour::Value colour)
{
    m_session.card.page.bgColor = colour;
    m_solidSwatch->setColour(colour);
    hideHeldPicture();
    redraw();
    changed();
}

void PagePanel::takeGradientColour(Colour::Value colour)
{
    setGradientColour(gradientTargetIndex(), colour);
    m_solidSwatch->setColour(colour);
    hideHeldPicture();
    redraw();
    changed();
}

void PagePanel::takeLogoColour(Colour::Value colour)
{
    m_session.card.page.bgColor = colour;
    // Choosing the solid fill runs its routine; when it is chosen already the
    // routine runs all the same, so the page shows the colour taken.
    if (m_fills[0]->isChecked())
        onFillChosen(0);
    else
        m_fills[0]->setChecked(true);
}

void PagePanel::onAngleChanged()
{
    const QString text = m_angleBox->text().trimmed();
    if (!Numeric::parseNumber(text)) {
        m_angleBox->setText(QStringLiteral("0"));
        m_dialogs.show(QStringLiteral("请请输入0~360范围的数值！"), kHint, Dialogs::Icon::Warning);
        return;
    }
    m_session.card.page.jbJiaoDu = text;
    redraw();
    changed();
}

// ---- Pictures and display options ---------------------------------------------------

void PagePanel::chooseBuiltInPicture(int index)
{
    const QString reference = QString::number(index);
    showPicture(BackgroundKind::BuiltInImage, reference, PagePictures::builtInBackground(reference));
}

void PagePanel::showPicture(BackgroundKind kind, const QString &reference, const QImage &picture)
{
    CardPage &page = m_session.card.page;
    m_session.view.background = picture;
    m_session.view.pictureRemoved = picture.isNull();
    page.bgImg = reference;
    page.isBg = kind;
    redraw();
    changed();
}

void PagePanel::onRemovePictureToggled(bool ticked)
{
    m_session.view.pictureRemoved = ticked;
    if (ticked) refreshSolidPage();
    redraw();
    changed();
}

void PagePanel::onHideCropMarksToggled(bool ticked)
{
    m_session.view.cropMarks = !ticked;
    m_session.notifyPageChanged();
}
