#include "ui/print/PrintWindow.h"

#include "render/PageGeometry.h"
#include "render/PrintSheet.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/common/WidgetColours.h"
#include "ui/print/PrintQueue.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int kTwipsPerPixel = int(PageGeometry::kScreenTwipsPerPixel);
constexpr int kToolBarHeight = 36;
constexpr int kBarThickness = 260;        // the scroll bars, in twips
constexpr int kSeparatorOneCard = 5850;   // sp_Menu(2) in the one-card layout, twips
constexpr int kSeparatorCustom = 8310;    // and in the custom layout, making room for the counts
constexpr int kPrintButtonGap = 100;
const QString kReminder = QStringLiteral("提醒您：");
const QString kHint = QStringLiteral("操作提示：");
const QString kCountLabel = QStringLiteral("横向      张,竖向      张");
const QString kBlanks = QStringLiteral("      ");

int px(int twips) { return PageGeometry::toPixels(twips, kTwipsPerPixel); }

QWidget *separator(int index, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QStringLiteral("sp_Menu(%1)").arg(index));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, 6, 4, kToolBarHeight - 12);
    return line;
}

} // namespace

const QString PrintWindow::kIdleCaption = QStringLiteral("名片打印：请设置需要打印的张数…");
const QString PrintWindow::kPrintingCaption = QStringLiteral("名片打印：正在打印，请稍后……");
const QString PrintWindow::kPrintCaption = QStringLiteral("√打印名片");
const QString PrintWindow::kCancelCaption = QStringLiteral("×取消打印");

PrintWindow::PrintWindow(SheetPicture picture, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_picture(std::move(picture)), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("form_print"));
    setWindowTitle(kIdleCaption);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/app_icon.png")));
    usePanelColour(*this);
    buildToolBar();
    buildSheet();
    m_cardTopLeft = {0, PrintSheet::kCardTop};
    m_jobWatch = new QTimer(this);
    m_jobWatch->setInterval(500);
    connect(m_jobWatch, &QTimer::timeout, this, &PrintWindow::watchJob);
    if (const QScreen *s = screen()) setGeometry(s->availableGeometry());
    layOut();
}

PrintWindow *PrintWindow::open(SheetPicture picture, Dialogs &dialogs, QWidget &mainWindow, bool hideMainWindow)
{
    auto *window = new PrintWindow(std::move(picture), dialogs);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The main window comes back when this one closes, so closing it never ends the program.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    const QPointer<QWidget> main(&mainWindow);
    connect(window, &PrintWindow::closing, window, [main] {
        if (main) main->show();
    });
    if (hideMainWindow) mainWindow.hide();
    window->show();
    return window;
}

// ---- Building ---------------------------------------------------------------

void PrintWindow::buildToolBar()
{
    m_toolBar = new QFrame(this);
    m_toolBar->setObjectName(QStringLiteral("frm"));
    Controls::label(QStringLiteral("lab(0)"), QStringLiteral("每页的名片数量："), QRect(10, 9, 110, 18), m_toolBar);
    for (int i = 0; i < 3; ++i) m_separators[std::size_t(i)] = separator(i, m_toolBar);
    m_separators[0]->move(124, 6);

    auto *group = new QButtonGroup(this);
    const char16_t *captions[] = {u"一张", u"自定义"};
    const QRect places[] = {{134, 8, 56, 20}, {192, 8, 84, 20}};
    for (int i = 0; i < 2; ++i) {
        m_layouts[std::size_t(i)] =
            Controls::option(QStringLiteral("opt(%1)").arg(i), QString::fromUtf16(captions[i]), places[i], m_toolBar);
        group->addButton(m_layouts[std::size_t(i)], i);
    }
    m_layouts[0]->setChecked(true);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) chooseLayout(id);
    });

    m_countLabel = new QLabel(kCountLabel, m_toolBar);
    m_countLabel->setObjectName(QStringLiteral("lab(1)"));
    m_countLabel->move(280, 9);
    m_countLabel->adjustSize();
    // The count boxes stand over the label's blanks.
    const QFontMetrics metrics(m_countLabel->font());
    const int starts[] = {metrics.horizontalAdvance(QStringLiteral("横向")),
                          metrics.horizontalAdvance(QStringLiteral("横向      张,竖向"))};
    for (int i = 0; i < 2; ++i) {
        auto *box = new QLineEdit(QStringLiteral("1"), m_toolBar);
        box->setObjectName(QStringLiteral("txt(%1)").arg(i));
        box->setMaxLength(1);
        box->setAlignment(Qt::AlignCenter);
        box->setGeometry(m_countLabel->x() + starts[i], 6, metrics.horizontalAdvance(kBlanks), 24);
        connect(box, &QLineEdit::textChanged, this, [this, i] { onCountChanged(i); });
        m_counts[std::size_t(i)] = box;
    }

    m_colour = Controls::checkBox(QStringLiteral("chk"), QStringLiteral("彩色打印当前名片"), QRect(0, 0, 140, 20), m_toolBar);
    m_colour->setChecked(true);

    m_print = new QPushButton(kPrintCaption, m_toolBar);
    m_print->setObjectName(QStringLiteral("cmd_print"));
    m_print->resize(100, 26);
    connect(m_print, &QPushButton::clicked, this, &PrintWindow::togglePrinting);
}

void PrintWindow::buildSheet()
{
    m_viewport = new QWidget(this);
    m_viewport->setObjectName(QStringLiteral("bg"));
    fillBackground(*m_viewport, palette().color(QPalette::Dark));
    m_sheetShadow = new QLabel(m_viewport);
    m_sheetShadow->setObjectName(QStringLiteral("PG_bg"));
    fillBackground(*m_sheetShadow, Qt::black);
    m_sheet = new QWidget(m_viewport);
    m_sheet->setObjectName(QStringLiteral("PG"));
    fillBackground(*m_sheet, Qt::white);
    m_sheet->resize(PageGeometry::pixelSize(PrintSheet::kSheet, kTwipsPerPixel));
    m_sheetShadow->resize(m_sheet->size());

    m_card = new QLabel(m_sheet);
    m_card->setObjectName(QStringLiteral("Card"));
    m_card->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_card->setLineWidth(1);
    m_card->setPixmap(QPixmap::fromImage(m_picture.screenImage()));
    m_card->resize(m_picture.screenImage().size() + QSize(2, 2));
    m_block = new QLabel(m_sheet);
    m_block->setObjectName(QStringLiteral("picTemp"));
    m_block->hide();
    for (QLabel *picture : {m_card, m_block}) {
        picture->setCursor(Qt::SizeAllCursor);
        picture->installEventFilter(this);
    }

    m_hBar = new QScrollBar(Qt::Horizontal, this);
    m_hBar->setObjectName(QStringLiteral("HSb"));
    m_vBar = new QScrollBar(Qt::Vertical, this);
    m_vBar->setObjectName(QStringLiteral("VSb"));
    for (QScrollBar *bar : {m_hBar, m_vBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        connect(bar, &QScrollBar::valueChanged, this, &PrintWindow::placeSheet);
    }
    m_corner = new QPushButton(QStringLiteral("∷"), this);
    m_corner->setObjectName(QStringLiteral("cmd"));
    m_corner->setFocusPolicy(Qt::NoFocus);
}

// ---- Layout -----------------------------------------------------------------

void PrintWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void PrintWindow::layOut()
{
    const int bar = px(kBarThickness);
    const int viewportWidth = width() - bar;
    const int viewportHeight = height() - kToolBarHeight - bar;
    m_toolBar->setGeometry(0, 0, width() - 1, kToolBarHeight);
    m_viewport->setGeometry(0, kToolBarHeight, viewportWidth, viewportHeight);
    m_hBar->setGeometry(0, height() - bar, viewportWidth, bar);
    m_vBar->setGeometry(width() - bar, kToolBarHeight, bar, viewportHeight);
    m_corner->setGeometry(width() - bar, height() - bar, bar, bar);
    m_print->move(width() - m_print->width() - px(kPrintButtonGap), 5);
    m_separators[1]->move(m_print->x() - 10, 6);
    setUpScrollBars();
    // Every layout pass returns to the one-card layout.
    if (m_layouts[0]->isChecked())
        chooseLayout(0);
    else
        m_layouts[0]->setChecked(true);
}

void PrintWindow::setUpScrollBars()
{
    const PrintSheet::ScrollRange ranges[] = {PrintSheet::horizontalRange(m_viewport->width() * kTwipsPerPixel),
                                              PrintSheet::verticalRange(m_viewport->height() * kTwipsPerPixel)};
    QScrollBar *bars[] = {m_hBar, m_vBar};
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker quiet(bars[i]);
        bars[i]->setRange(ranges[i].minimum, ranges[i].maximum);
        bars[i]->setSingleStep(ranges[i].step);
        bars[i]->setPageStep(ranges[i].step);
        bars[i]->setEnabled(ranges[i].enabled);
        bars[i]->setValue(ranges[i].minimum);
    }
    placeSheet();
}

void PrintWindow::placeSheet()
{
    const QPoint topLeft(PrintSheet::sheetLeft(m_viewport->width() * kTwipsPerPixel, m_hBar->value()),
                         -m_vBar->value());
    m_sheet->move(PageGeometry::toPixels(topLeft, kTwipsPerPixel));
    const int shadow = px(PrintSheet::kShadowOffset);
    m_sheetShadow->move(m_sheet->pos() + QPoint(shadow, shadow));
}

QPoint PrintWindow::positionOf(const QLabel *picture) const
{
    return picture == m_card ? m_cardTopLeft : m_blockTopLeft;
}

void PrintWindow::placePicture(QLabel *picture, QPoint topLeft)
{
    (picture == m_card ? m_cardTopLeft : m_blockTopLeft) = topLeft;
    picture->move(PageGeometry::toPixels(topLeft, kTwipsPerPixel));
}

// ---- Layout choice and counts -------------------------------------------------

SheetCopies PrintWindow::typedCounts() const
{
    return {PrintSheet::countValue(m_counts[0]->text()), PrintSheet::countValue(m_counts[1]->text())};
}

std::optional<SheetCopies> PrintWindow::copies() const
{
    if (m_layouts[0]->isChecked()) return std::nullopt;
    return typedCounts();
}

QPoint PrintWindow::shownTopLeft() const
{
    return positionOf(m_block->isHidden() ? m_card : m_block);
}

QSize PrintWindow::shownSize() const
{
    const QSize outer = PrintSheet::cardOuterSize(m_picture.twips());
    const auto block = copies();
    if (m_block->isHidden() || !block) return outer;
    return PrintSheet::blockSize(outer, block->across, block->down);
}

void PrintWindow::chooseLayout(int index)
{
    m_block->clear();
    m_block->hide();
    m_card->show();
    placePicture(m_card, {PrintSheet::centredLeft(PrintSheet::cardOuterSize(m_picture.twips()).width()),
                          m_cardTopLeft.y()});

    const bool custom = index == 1;
    m_layouts[1]->setText(custom ? QStringLiteral("自定义：") : QStringLiteral("自定义"));
    m_separators[2]->move(px(custom ? kSeparatorCustom : kSeparatorOneCard), 6);
    m_colour->move(m_separators[2]->x() + 12, 8);
    m_countLabel->setVisible(custom);
    for (QLineEdit *box : m_counts) box->setVisible(custom);
    if (!custom) return;
    m_counts[0]->setFocus();
    m_counts[0]->setText(QStringLiteral("1"));
    m_counts[1]->setText(QStringLiteral("1"));
    // Custom always shows the block, one copy when both counts already read 1.
    buildBlock();
}

void PrintWindow::onCountChanged(int index)
{
    QLineEdit *box = m_counts[std::size_t(index)];
    switch (PrintSheet::checkCount(box->text())) {
    case PrintSheet::Count::NotNumeric:
        m_dialogs.show(QStringLiteral("输入的必须为数字值！"), kReminder, Dialogs::Icon::Warning);
        box->setText(QStringLiteral("1"));
        break;
    case PrintSheet::Count::Zero:
        box->setText(QStringLiteral("1"));
        break;
    case PrintSheet::Count::Valid:
        buildBlock();
        break;
    }
}

void PrintWindow::buildBlock()
{
    const SheetCopies block = typedCounts();
    const QImage image = SheetPrint::composeBlock(m_picture, block);
    m_card->hide();
    m_block->setPixmap(QPixmap::fromImage(image));
    m_block->resize(image.size());
    m_block->show();
    const QSize size = PrintSheet::blockSize(PrintSheet::cardOuterSize(m_picture.twips()), block.across, block.down);
    placePicture(m_block, {PrintSheet::centredLeft(size.width()), m_cardTopLeft.y()});
}

// ---- Dragging -----------------------------------------------------------------

bool PrintWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_card && watched != m_block) return QWidget::eventFilter(watched, event);
    auto *picture = static_cast<QLabel *>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_pressPoint = static_cast<QMouseEvent *>(event)->position().toPoint();
        return true;
    case QEvent::MouseMove:
        dragPicture(picture, static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        placePicture(picture, PrintSheet::keptOnSheet(positionOf(picture), shownSize()));
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void PrintWindow::dragPicture(QLabel *picture, QMouseEvent *event)
{
    if (m_printing || event->buttons() != Qt::LeftButton) return;
    placePicture(picture, positionOf(picture) + (event->position().toPoint() - m_pressPoint) * kTwipsPerPixel);
}

// ---- Printing -----------------------------------------------------------------

// The page goes to the printer whole when it is printed, so going back to idle
// leaves nothing to abandon.
void PrintWindow::togglePrinting()
{
    const bool start = m_print->text() == kPrintCaption;
    setPrintingState(start);
    if (start) printPage();
}

void PrintWindow::setPrintingState(bool printing)
{
    m_print->setText(printing ? kCancelCaption : kPrintCaption);
    for (QWidget *setting : std::initializer_list<QWidget *>{m_counts[0], m_counts[1], m_layouts[0], m_layouts[1], m_colour})
        setting->setEnabled(!printing);
    setWindowTitle(printing ? kPrintingCaption : kIdleCaption);
    m_printing = printing;
    for (QLabel *picture : {m_card, m_block}) picture->setCursor(printing ? Qt::ArrowCursor : Qt::SizeAllCursor);
}

void PrintWindow::printPage()
{
    const std::unique_ptr<QPrinter> printer = m_printers();
    if (!printer) {
        m_dialogs.show(QStringLiteral("没有找到默认打印机，名片没有打印！\r请先在系统中添加打印机并把它设为默认打印机…"),
                       kReminder, Dialogs::Icon::Warning);
        setPrintingState(false);
        return;
    }
    // A print queue is asked before and after: Qt reports neither a queue that
    // refuses jobs nor a job that fails.
    if (printer->outputFormat() == QPrinter::NativeFormat)
        if (const std::optional<QString> refused = PrintQueue::refusal(printer->printerName()))
            return reportFailure(*refused);
    m_jobs.clear();
    using SheetPrinting::Sheets;
    if (!m_picture.hasBack()) {
        sendJob(*printer, Sheets::Fronts);
        return;
    }
    if (printsTwoSided(*printer)) {
        sendJob(*printer, Sheets::TwoSided);
        return;
    }
    if (!sendJob(*printer, Sheets::Fronts)) return;
    const Dialogs::Answer answer =
        m_dialogs.ask(QStringLiteral("名片的正面已经送往打印机！\r请等正面打印完成后，把打印好的纸张沿长边翻过来放回纸盒，"
                                     "再按“确定”打印名片的反面…\r按“取消”则不打印反面。"),
                      kHint, Dialogs::Icon::Information, Dialogs::Buttons::OkCancel);
    // The fronts may have failed while the question was open.
    if (answer == Dialogs::Answer::Ok && m_printing) sendJob(*printer, Sheets::Backs);
}

bool PrintWindow::printsTwoSided(QPrinter &printer) const
{
    if (printer.outputFormat() == QPrinter::NativeFormat && !PrintQueue::printsTwoSided(printer.printerName()))
        return false;
    return SheetPrinting::printsTwoSided(printer);
}

bool PrintWindow::sendJob(QPrinter &printer, SheetPrinting::Sheets sheets)
{
    const bool queued = printer.outputFormat() == QPrinter::NativeFormat;
    const QString queue = printer.printerName();
    const int jobBefore = queued ? PrintQueue::newestJob(queue) : 0;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = SheetPrinting::print(printer, m_picture, copies(), sheets);
    QGuiApplication::restoreOverrideCursor();
    if (!printed) {
        reportFailure({});
        return false;
    }
    if (!queued) return true;
    const int job = PrintQueue::newestJob(queue);
    if (job <= jobBefore) {
        reportFailure(PrintQueue::lastError());
        return false;
    }
    m_jobs.push_back(job);
    m_jobWatch->start();
    return true;
}

// Until every job is done or one fails, or the person goes back to idle.
void PrintWindow::watchJob()
{
    if (!m_printing) {
        m_jobWatch->stop();
        return;
    }
    for (auto job = m_jobs.begin(); job != m_jobs.end();) {
        const PrintQueue::JobStatus status = PrintQueue::jobStatus(*job);
        if (status.state == PrintQueue::JobStatus::State::Failed) {
            m_jobWatch->stop();
            return reportFailure(status.reason);
        }
        job = status.state == PrintQueue::JobStatus::State::Done ? m_jobs.erase(job) : job + 1;
    }
    if (m_jobs.empty()) m_jobWatch->stop();
}

void PrintWindow::reportFailure(const QString &reason)
{
    m_dialogs.show(QStringLiteral("名片打印失败！\r打印机没有接受这个打印任务，请检查打印机后再试…") +
                       (reason.isEmpty() ? QString() : QStringLiteral("\r原因：") + reason),
                   kReminder, Dialogs::Icon::Warning);
    setPrintingState(false);
}

// ---- Closing ------------------------------------------------------------------

void PrintWindow::closeEvent(QCloseEvent *event)
{
    emit closing();
    QWidget::closeEvent(event);
}
