#include "ui/panels/LogoPanel.h"

#include "model/CardSession.h"
#include "model/LibraryFiles.h"
#include "model/Numeric.h"
#include "render/AppliedPictures.h"
#include "render/PageObjects.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"
#include "render/QrCode.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/LogoPreview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <cmath>

namespace {

using Controls::checkBox;
using Controls::label;
using Controls::place;

constexpr int kLeft = 10;
constexpr int kInner = SidePanel::kWidth - 2 * kLeft;
const QString kHint = QStringLiteral("操作提示：");
const QString kCategoryPrompt = QStringLiteral("请选择标志文件的类别");
const QString kStepLabel = QStringLiteral("调整幅值：      ");
const QString kStepPrefix = QStringLiteral("调整幅值：");

// The size in whole millimetres a first code on the card takes, or nothing when
// its texts are more than a legible code on its page holds.
std::optional<int> newQrCodeSizeMm(const CardDocument &card)
{
    const auto symbol = QrCode::forCard(card);
    if (!symbol || QrCode::smallestSizeMm(symbol->modules()) > QrCode::largestSizeMm(card.page)) return std::nullopt;
    return QrCode::initialSizeMm(symbol->modules(), card.page);
}

// The step unit label "调整幅值：      毫米": the step box covers its run of
// blanks, which the label widens to the box's width when it draws the caption.
class StepUnitLabel : public QLabel
{
public:
    static constexpr int kBoxWidth = 26;

    StepUnitLabel(const QString &text, QRect geometry, QWidget *parent) : QLabel(text, parent)
    {
        setObjectName(QStringLiteral("lab_logo(3)"));
        setGeometry(geometry);
    }

    // Where the step box goes, in the label's coordinates.
    int boxLeft() const { return fontMetrics().horizontalAdvance(kStepPrefix) + 2; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const int unitLeft = boxLeft() + kBoxWidth + 2;
        p.drawText(QRect(0, 0, unitLeft, height()), Qt::AlignLeft | Qt::AlignVCenter, kStepPrefix);
        p.drawText(QRect(unitLeft, 0, width() - unitLeft, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text().mid(kStepLabel.size()));
    }
};

QString pictureProblemText(const QString &name, PagePictures::ReadPicture::Problem problem)
{
    if (problem == PagePictures::ReadPicture::Problem::TooLarge)
        return QStringLiteral("标志文件“") + name + QStringLiteral("”的图片太大（超过一亿像素），\r标志保持不变。");
    return QStringLiteral("标志文件“") + name + QStringLiteral("”不是可以读取的图片，\r标志保持不变。");
}

} // namespace

LogoPanel::LogoPanel(CardSession &session, PageWidget &page, Dialogs &dialogs, ProgramFolder folder,
                     QWidget *parent)
    : SidePanel(5, QStringLiteral("标志设置"), parent), m_session(session), m_page(page), m_dialogs(dialogs),
      m_folder(std::move(folder))
{
    buildLibrary();
    // Rows close enough that the QR code's row fits below the logo's controls.
    buildSizeFrame(contentTop() + 140);
    buildPreview(contentTop() + 246);
    connect(&m_session, &CardSession::pageChanged, this, &LogoPanel::noteBlankQrCode);
    // A card put on the page says so again, after the page's own banner.
    connect(&m_session, &CardSession::loaded, this, [this] {
        m_qrCodeBlank = false;
        noteBlankQrCode();
    });
}

// ---- Building -------------------------------------------------------------------

void LogoPanel::buildLibrary()
{
    const int top = contentTop();
    label(QStringLiteral("lab_logo(0)"), QStringLiteral("标志类别："), {kLeft, top, kInner, 20}, this);
    m_categories = place<QComboBox>(QStringLiteral("logo_FileType"), {kLeft, top + 20, kInner, 24}, this);
    m_categories->setEditable(true);
    m_categories->setInsertPolicy(QComboBox::NoInsert);
    connect(m_categories, &QComboBox::currentIndexChanged, this, &LogoPanel::chooseCategory);
    label(QStringLiteral("lab_logo(1)"), QStringLiteral("标志文件："), {kLeft, top + 48, 64, 22}, this);
    m_files = place<QListWidget>(QStringLiteral("logo_FileList"), {74, top + 48, SidePanel::kWidth - kLeft - 74, 56}, this);
    connect(m_files, &QListWidget::itemClicked, this, &LogoPanel::chooseFile);
    auto *manager = place<QPushButton>(QStringLiteral("cmd_logo"), {kLeft, top + 108, kInner, 26}, this,
                                       QStringLiteral(">>标志文件管理…"));
    connect(manager, &QPushButton::clicked, this,
            [this] { emit libraryManagerRequested(ProgramFolder::Library::Logos); });
}

void LogoPanel::buildSizeFrame(int top)
{
    auto *frame = place<QGroupBox>(QStringLiteral("logo_frm"), {kLeft, top, kInner, 102}, this,
                                   QStringLiteral("微调标志的大小："));
    auto *dimensions = new QButtonGroup(this);
    const char16_t *captions[] = {u"宽度", u"高度", u"同时"};
    for (int i = 0; i < 3; ++i) {
        QRadioButton *option = Controls::option(QStringLiteral("op_logo_size(%1)").arg(i),
                                                QString::fromUtf16(captions[i]), {6 + i * 64, 20, 60, 22}, frame);
        dimensions->addButton(option);
        m_dimensions[std::size_t(i)] = option;
    }
    m_dimensions[0]->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        connect(m_dimensions[std::size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) onDimensionChosen(i);
        });
    }

    auto *unit = new StepUnitLabel(kStepLabel + QStringLiteral("毫米"), {6, 46, 124, 24}, frame);
    m_unit = unit;
    m_stepBox = place<QLineEdit>(QStringLiteral("txt_logo"), {6 + unit->boxLeft(), 47, StepUnitLabel::kBoxWidth, 22},
                                 frame, QStringLiteral("1"));
    m_stepBox->setMaxLength(2);
    m_stepBox->setAlignment(Qt::AlignCenter);
    connect(m_stepBox, &QLineEdit::textChanged, this, &LogoPanel::onStepChanged);
    const char16_t *signs[] = {u"＋", u"-"};
    for (int i = 0; i < 2; ++i) {
        auto *button = place<QPushButton>(QStringLiteral("cmd_logo_size(%1)").arg(i), {134 + i * 30, 46, 28, 24}, frame,
                                          QString::fromUtf16(signs[i]));
        connect(button, &QPushButton::clicked, this, [this, i] { changeSize(i == 0 ? Step::Grow : Step::Shrink); });
        m_sizeButtons[std::size_t(i)] = button;
    }
    m_sizeLabel = label(QStringLiteral("lab_logo(5)"), QString(), {6, 74, kInner - 12, 22}, frame);
    m_sizeLabel->setAlignment(Qt::AlignCenter);
}

void LogoPanel::buildPreview(int top)
{
    auto *hint = label(QStringLiteral("lab_logo(4)"),
                       QStringLiteral("确定标志的某一色为名片底色（在下面的预览框中，用鼠标左键点击可以确定颜色，"
                                      "按Ctrl键则移动查看)："),
                       {kLeft, top, kInner, 52}, this);
    hint->setWordWrap(true);
    m_preview = new LogoPreview(this);
    m_preview->move(kLeft, top + 54);
    connect(m_preview, &LogoPreview::colourPicked, this, &LogoPanel::pageColourTaken);
    const int below = top + 54 + LogoPreview::kSize.height() + 3;
    m_inFront = checkBox(QStringLiteral("chk_logoTop"), QStringLiteral("标志图置于最顶层"), {kLeft, below, kInner, 20},
                         this);
    connect(m_inFront, &QCheckBox::toggled, this, [this](bool ticked) {
        m_session.view.logoInFront = ticked;
        m_session.notifyPageChanged();
    });
    m_hide = checkBox(QStringLiteral("chk_logoShow"), QStringLiteral("不显示标志"), {kLeft, below + 21, kInner, 20},
                      this);
    connect(m_hide, &QCheckBox::toggled, this, &LogoPanel::onHideToggled);
    buildQrCode(below + 42);
}

void LogoPanel::buildQrCode(int top)
{
    m_qrCode = checkBox(QStringLiteral("chk_qrShow"), QStringLiteral("在名片上显示二维码"), {kLeft, top, 142, 20}, this);
    connect(m_qrCode, &QCheckBox::toggled, this, &LogoPanel::onQrCodeToggled);
    m_qrCodeSize = place<QLineEdit>(QStringLiteral("txt_qrSize"), {kLeft + 144, top, 28, 20}, this);
    m_qrCodeSize->setMaxLength(4);
    m_qrCodeSize->setAlignment(Qt::AlignCenter);
    connect(m_qrCodeSize, &QLineEdit::editingFinished, this, &LogoPanel::onQrCodeSizeEntered);
    label(QStringLiteral("lab_qr"), QStringLiteral("毫米"), {kLeft + 174, top, 26, 20}, this);
}

// ---- Opening the panel ---------------------------------------------------------------

void LogoPanel::refresh()
{
    const QSignalBlocker blockCategories(m_categories), blockHide(m_hide), blockFront(m_inFront);
    m_files->clear();
    m_categories->clear();
    // Files lying directly in the logo folder are listed as categories too.
    const QStringList entries = QDir(m_folder.libraryDir(ProgramFolder::Library::Logos))
                                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    m_categories->addItems(entries);
    m_categories->setCurrentIndex(-1);
    m_categories->setEditText(entries.isEmpty() ? QStringLiteral("没有标志文件类别候选") : kCategoryPrompt);
    m_categories->lineEdit()->setCursorPosition(0);
    m_categories->setEnabled(!entries.isEmpty());
    m_files->setEnabled(!entries.isEmpty());

    const QImage &logo = m_session.view.logo;
    m_preview->setPicture(logo.isNull() ? PagePictures::defaultLogo() : logo);
    m_preview->placePicture();
    showSize();
    m_inFront->setChecked(m_session.view.logoInFront);
    m_hide->setChecked(!m_session.card.logo.visible);
    if (!m_session.card.logo.visible) m_page.selectionFrame()->hide();
    showQrCode();
}

// ---- Choosing a logo -------------------------------------------------------------------

void LogoPanel::chooseCategory(int index)
{
    if (index < 0) return;
    m_files->clear();
    const QDir category(m_folder.libraryDir(ProgramFolder::Library::Logos) + u'/' + m_categories->itemText(index));
    m_files->addItems(category.entryList(LibraryFiles::pictureNameFilters(), QDir::Files, QDir::Name | QDir::IgnoreCase));
    m_files->setEnabled(m_files->count() > 0);
}

void LogoPanel::chooseFile(QListWidgetItem *item)
{
    const QString reference = m_categories->itemText(m_categories->currentIndex()) + u'\\' + item->text();
    const auto file = m_folder.libraryFile(ProgramFolder::Library::Logos, reference);
    const auto read = file ? PagePictures::readPictureFile(*file) : PagePictures::ReadPicture{};
    if (read.image.isNull()) {
        m_dialogs.show(pictureProblemText(item->text(), read.problem), QStringLiteral("提醒您："),
                       Dialogs::Icon::Warning);
        return;
    }
    // Natural size, the top-left corner kept.
    m_preview->setPicture(read.image);
    AppliedPictures::applyLogo(m_session, reference, read.image);
    m_page.showSelectionFrame(PageObjects::kLogo);
    showSize();
}

void LogoPanel::selectLogo()
{
    m_session.notifyPageChanged();
    m_page.showSelectionFrame(PageObjects::kLogo);
}

// ---- Size steps -------------------------------------------------------------------------

LogoPanel::StepResult LogoPanel::stepSize(QSizeF &size, QSizeF pageSize, Dimension dimension, Step step, int n)
{
    const double s = n * Numeric::kTwipsPerMm;
    const double f = n * 0.01;
    if (step == Step::Grow) {
        // Tested before the step: the step that makes the logo larger than the page is still taken.
        if (size.width() > pageSize.width() || size.height() > pageSize.height()) return StepResult::TooLarge;
        switch (dimension) {
        case Dimension::Width: size.rwidth() += s; break;
        case Dimension::Height: size.rheight() += s; break;
        case Dimension::Both: size *= 1 + f; break;
        }
        return StepResult::Done;
    }
    // n millimetres is the least a logo keeps, in percent steps too.
    if (size.width() <= s || size.height() <= s) return StepResult::TooSmall;
    switch (dimension) {
    case Dimension::Width: size.rwidth() -= s; break;
    case Dimension::Height: size.rheight() -= s; break;
    case Dimension::Both: size *= 1 - f; break;
    }
    return StepResult::Done;
}

QString LogoPanel::sizeText(QSizeF size)
{
    return QStringLiteral("当前标志大小：宽%1,高%2毫米")
        .arg(Numeric::twipsToMm(size.width()))
        .arg(Numeric::twipsToMm(size.height()));
}

LogoPanel::Dimension LogoPanel::dimension() const
{
    if (m_dimensions[1]->isChecked()) return Dimension::Height;
    if (m_dimensions[2]->isChecked()) return Dimension::Both;
    return Dimension::Width;
}

void LogoPanel::onDimensionChosen(int index)
{
    m_unit->setText(kStepLabel + (index == 2 ? QStringLiteral("%") : QStringLiteral("毫米")));
}

void LogoPanel::onStepChanged()
{
    if (Numeric::parseNumber(m_stepBox->text())) return;
    m_dialogs.show(QStringLiteral("注意，调整的幅度值必须为数值！"), kHint, Dialogs::Icon::Warning);
    m_stepBox->setText(QStringLiteral("1"));
}

void LogoPanel::changeSize(Step step)
{
    // A negative or fractional step counts as its nearest whole size.
    const int n = int(Numeric::roundHalfEven(std::abs(Numeric::parseNumber(m_stepBox->text()).value_or(1))));
    CardLogo &logo = m_session.card.logo;
    QSizeF size(logo.width, logo.height);
    switch (stepSize(size, PageRenderer::pageTwips(m_session.card), dimension(), step, n)) {
    case StepResult::TooLarge:
        m_dialogs.show(QStringLiteral("标志的大小已经超出页面的规格，\r只能调小了！"), kHint, Dialogs::Icon::Warning);
        break;
    case StepResult::TooSmall:
        m_dialogs.show(QStringLiteral("标志已经最小不能再调了了！"), kHint, Dialogs::Icon::Warning);
        break;
    case StepResult::Done:
        logo.width = float(size.width());
        logo.height = float(size.height());
        showSize();
        break;
    }
    m_session.markEdited();
    selectLogo();
}

void LogoPanel::showSize()
{
    const CardLogo &logo = m_session.card.logo;
    m_sizeLabel->setText(sizeText({logo.width, logo.height}));
}

void LogoPanel::onHideToggled(bool ticked)
{
    m_session.card.logo.visible = !ticked;
    m_session.markEdited();
    m_session.notifyPageChanged();
    if (ticked) m_page.selectionFrame()->hide();
}

// ---- The QR code --------------------------------------------------------------------------

// The size box shows the code's size, or while the card has none the size a
// new code would take (nothing when its texts are more than one holds).
void LogoPanel::showQrCode()
{
    const QSignalBlocker block(m_qrCode);
    const auto &code = m_session.card.qrCode;
    m_qrCode->setChecked(code && code->visible);
    m_qrCodeSize->setEnabled(m_qrCode->isChecked());
    std::optional<double> mm;
    if (code)
        mm = Numeric::twipsToMm(code->size);
    else if (const auto size = newQrCodeSizeMm(m_session.card))
        mm = *size;
    m_qrCodeSize->setText(mm ? QString::number(*mm) : QString());
}

void LogoPanel::onQrCodeToggled(bool ticked)
{
    auto &code = m_session.card.qrCode;
    if (!code && !(ticked && placeQrCode())) {
        showQrCode();
        return;
    }
    code->visible = ticked;
    m_session.markEdited();
    m_session.notifyPageChanged();
    if (ticked)
        m_page.showSelectionFrame(PageObjects::kQrCode);
    else
        m_page.selectionFrame()->hide();
    showQrCode();
}

// A code the card shows stays white while its texts are more than a code
// holds (the box ticked, a text grown past it, or a card opened so); the
// status line says so once each time the card comes to that.
void LogoPanel::noteBlankQrCode()
{
    const bool blank = QrCode::isBlank(m_session.card);
    if (blank && !m_qrCodeBlank)
        emit statusChanged(QStringLiteral("提醒您：名片上的文字太多，二维码装不下，只能显示为空白！请隐藏部分文字。"));
    m_qrCodeBlank = blank;
}

// A card's first code stands at the bottom right inside the trim lines, as
// large as its modules need (18 mm at least); false when the texts are more
// than a legible code on this page holds.
bool LogoPanel::placeQrCode()
{
    const auto mm = newQrCodeSizeMm(m_session.card);
    if (!mm) {
        m_dialogs.show(QStringLiteral("名片上的文字太多，页面上放不下可以识别的二维码！\r请隐藏部分文字后再试。"), kHint,
                       Dialogs::Icon::Warning);
        return false;
    }
    m_session.card.qrCode = CardQrCode::atBottomRight(m_session.card.page, float(Numeric::mmToTwips(*mm)));
    return true;
}

void LogoPanel::onQrCodeSizeEntered()
{
    auto &code = m_session.card.qrCode;
    const auto symbol = QrCode::forCard(m_session.card);
    if (!code || !symbol) return;
    const int largest = QrCode::largestSizeMm(m_session.card.page);
    const auto typed = Numeric::parseNumber(m_qrCodeSize->text());
    const int mm = typed && std::abs(*typed) < 1e6 ? int(Numeric::roundHalfEven(*typed)) : 0;
    switch (QrCode::checkSize(mm, symbol->modules(), largest)) {
    case QrCode::SizeCheck::OutOfRange:
        m_dialogs.show(QStringLiteral("二维码的大小必须是%1到%2之间的毫米数！").arg(QrCode::kMinSizeMm).arg(largest),
                       kHint, Dialogs::Icon::Warning);
        showQrCode();
        return;
    case QrCode::SizeCheck::ModulesTooSmall:
        m_dialogs.show(QStringLiteral("二维码为%1毫米时每个小方块只有%2毫米，\r小于0.25毫米，手机难以识别，\r"
                                      "请至少设为%3毫米（或隐藏部分文字）。")
                           .arg(mm)
                           .arg(QrCode::moduleMm(Numeric::mmToTwips(mm), symbol->modules()), 0, 'f', 3)
                           .arg(QrCode::smallestSizeMm(symbol->modules())),
                       kHint, Dialogs::Icon::Warning);
        showQrCode();
        return;
    case QrCode::SizeCheck::Fits: break;
    }
    const float size = float(Numeric::mmToTwips(mm));
    if (size == code->size) return;
    // The code grows from its top-left corner but stays inside the trim lines.
    const QSizeF page = PageRenderer::pageTwips(m_session.card);
    const QPointF at = PageObjects::keepInTrim({code->left, code->top, size, size}, page).topLeft;
    *code = {code->visible, float(at.x()), float(at.y()), size};
    m_session.markEdited();
    m_session.notifyPageChanged();
    m_page.showSelectionFrame(PageObjects::kQrCode);
    showQrCode();
}
