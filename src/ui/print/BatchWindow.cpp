#include "ui/print/BatchWindow.h"

#include "model/CardFile.h"
#include "model/CardLibrary.h"
#include "model/CardSession.h"
#include "model/FileAccess.h"
#include "model/LibraryFiles.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/common/LibraryMessages.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QPaintEngine>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <cmath>
#include <limits>

// The card of a row, drawn at the pixel density of whatever it is painted on
// (a screen of twice the density gets twice the pixels) and shrunk to fit when
// larger than the frame; or a line of text instead of a card.
class CardPreview : public QFrame
{
public:
    explicit CardPreview(QWidget *parent) : QFrame(parent) { setFrameShape(QFrame::StyledPanel); }

    void showCard(const CardDocument &card, const PageView &view)
    {
        m_card = card;
        m_view = view;
        m_text.clear();
        m_image = QImage();
        update();
    }

    void showText(const QString &text)
    {
        m_card.reset();
        m_text = text;
        m_image = QImage();
        update();
    }

    QImage image(qreal ratio) const
    {
        if (!m_card) return {};
        if (m_image.isNull() || m_image.devicePixelRatio() != ratio) {
            m_image = PageRenderer::renderBitmap(*m_card, m_view, PageGeometry::kScreenTwipsPerPixel / ratio);
            const QSize room = (size() - QSize(kBorder, kBorder)) * ratio;
            if (m_image.width() > room.width() || m_image.height() > room.height())
                m_image = m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            m_image.setDevicePixelRatio(ratio);
        }
        return m_image;
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        if (!m_card) {
            painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, m_text);
            return;
        }
        // The device painted on: the window's backing store, or an image a caller renders into.
        const QImage shown = image(painter.paintEngine()->paintDevice()->devicePixelRatioF());
        const QSizeF size = shown.deviceIndependentSize();
        // Centred on whole screen pixels, so that no pixel of the card is smeared.
        painter.drawImage(QPointF(std::floor((width() - size.width()) / 2), std::floor((height() - size.height()) / 2)),
                          shown);
    }

private:
    static constexpr int kBorder = 4;
    std::optional<CardDocument> m_card;
    PageView m_view;
    QString m_text;
    mutable QImage m_image;  // the card at the ratio last asked for
};

namespace {

const QString kHint = QStringLiteral("操作提示：");
const QString kReminder = QStringLiteral("提醒您：");
constexpr int kShownFaults = 10;

QString faultText(const MergeRun::Fault &f)
{
    using Kind = MergeRun::Fault::Kind;
    switch (f.kind) {
    case Kind::FieldCount:
        return QStringLiteral("第%1行：有%2项，而表头有%3项").arg(f.line).arg(f.fields).arg(f.expected);
    case Kind::UnterminatedQuote: return QStringLiteral("第%1行第%2列：引号没有结束").arg(f.line).arg(f.column);
    case Kind::BadBytes:
        return QStringLiteral("第%1行第%2列：文字既不是UTF-8也不是GBK编码").arg(f.line).arg(f.column);
    case Kind::TooLong:
        return QStringLiteral("第%1行第%2列：文字超过了%3个字符").arg(f.line).arg(f.column).arg(CardMerge::kMaxText);
    case Kind::NoHeader: return QStringLiteral("表格是空的，第一行应当是各列的名称");
    case Kind::DuplicateColumns:
        return QStringLiteral("这些列与前面的列填入同一个文字：%1").arg(f.names.join(QStringLiteral("、")));
    case Kind::UnknownColumns:
    case Kind::NoNameColumn: return QStringLiteral("没有这些列：%1").arg(f.names.join(QStringLiteral("、")));
    case Kind::TextOffCard:
        return QStringLiteral("第%1行第%2列（%3）：文字超出了名片的裁切线").arg(f.line).arg(f.column).arg(f.names.value(0));
    case Kind::TextOverlap:
        return QStringLiteral("第%1行第%2列（%3）：文字遮住了“%4”")
            .arg(f.line).arg(f.column).arg(f.names.value(0), f.names.value(1));
    case Kind::NoTextColumns:
        return QStringLiteral("没有一列填入名片上的文字：%1").arg(f.names.join(QStringLiteral("、")));
    case Kind::MixedEncoding:
        return QStringLiteral("第%1行是%2编码，而表格的其余部分是%3编码").arg(f.line).arg(f.names.value(0), f.names.value(1));
    case Kind::NoRows: return QStringLiteral("表头下面没有可以制作名片的行");
    case Kind::NoBack:
        return QStringLiteral("这些列填入名片的反面，而这张名片没有反面（请先添加反面）：%1")
            .arg(f.names.join(QStringLiteral("、")));
    }
    return {};
}

// One line a fault: the first kShownFaults, then how many there are in all.
QStringList faultLines(const std::vector<MergeRun::Fault> &faults, const QString &countText)
{
    QStringList lines;
    for (std::size_t i = 0; i < faults.size() && i < kShownFaults; ++i) lines << faultText(faults[i]);
    if (faults.size() > kShownFaults) lines << countText.arg(faults.size());
    return lines;
}

const QString kFaultCount = QStringLiteral("……共%1处错误");
const QString kUnfitCount = QStringLiteral("……共%1处文字放不下");

QString textName(int column, const CardMerge::Columns &columns)
{
    for (const CardSide side : {CardSide::Front, CardSide::Back})
        for (std::size_t i = 0; i < kTextCount; ++i)
            if (columns.of(side)[i] == column) return CardMerge::fieldName(side, i);
    return QStringLiteral("（不使用）");
}

} // namespace

BatchWindow::BatchWindow(const ProgramFolder &folder, const CardSession &session, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), m_folder(folder), m_session(session), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("form_batch"));
    setWindowTitle(QStringLiteral("批量制作名片"));
    setFixedSize(770, 610);
    m_settings.ignoreUnknown = true;
    choosePdf = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("保存PDF文件"), QString(),
                                            QStringLiteral("PDF文件 (*.pdf)"));
    };
    buildTableArea();
    buildPreview();
    buildOutputArea();
    updateStart();
}

BatchWindow::~BatchWindow()
{
    if (m_worker) {
        m_cancel = true;
        m_worker->join();
    }
}

void BatchWindow::buildTableArea()
{
    auto *choose = Controls::place<QPushButton>(QStringLiteral("cmd_table"), {10, 10, 150, 28}, this,
                                                QStringLiteral("选择表格文件…"));
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString path = m_dialogs.chooseFile(QStringLiteral("选择表格文件"), QString(),
                                                  QStringLiteral("表格文件 (*.csv);;所有文件 (*)"));
        if (!path.isEmpty()) openTable(path);
    });
    m_tablePath = Controls::label(QStringLiteral("lab_table"), QStringLiteral("还没有选择表格文件（CSV格式，第一行是各列的名称）"),
                                  {170, 10, 590, 28}, this);
    m_columns = Controls::place<QTableWidget>(QStringLiteral("lst_columns"), {10, 48, 300, 270}, this, 0, 2);
    m_columns->setHorizontalHeaderLabels({QStringLiteral("表格中的列"), QStringLiteral("填入的文字")});
    m_columns->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_columns->verticalHeader()->hide();
    m_columns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_faults = Controls::label(QStringLiteral("lab_faults"), QString(), {10, 326, 300, 274}, this);
    m_faults->setWordWrap(true);
    m_faults->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void BatchWindow::buildPreview()
{
    m_preview = Controls::place<CardPreview>(QStringLiteral("pic_preview"), {320, 48, 440, 290}, this);
    const char16_t *arrows[] = {u"◀", u"▶"};
    for (int i = 0; i < 2; ++i) {
        m_arrows[std::size_t(i)] = Controls::place<QPushButton>(QStringLiteral("cmd_row(%1)").arg(i),
                                                                {i == 0 ? 320 : 720, 344, 40, 28}, this,
                                                                QString::fromUtf16(arrows[i]));
        connect(m_arrows[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { showRow(m_row + (i == 0 ? -1 : 1)); });
    }
    m_rowLabel = Controls::label(QStringLiteral("lab_row"), QString(), {365, 344, 350, 28}, this);
    m_rowLabel->setAlignment(Qt::AlignCenter);
}

void BatchWindow::buildOutputArea()
{
    auto *frame = Controls::place<QGroupBox>(QStringLiteral("frm_output"), {320, 380, 440, 180}, this,
                                             QStringLiteral("制作成："));
    const char16_t *captions[] = {u"印刷用PDF文件（每页一张名片）", u"A4页面的PDF文件：横向", u"名片文件，保存到分类："};
    const int widths[] = {400, 160, 160};
    const int tops[] = {22, 54, 116};
    for (int i = 0; i < 3; ++i)
        m_outputs[std::size_t(i)] = Controls::option(QStringLiteral("opt_output(%1)").arg(i),
                                                     QString::fromUtf16(captions[i]),
                                                     {10, tops[i], widths[i], 24}, frame);
    m_outputs[CardPdf]->setChecked(true);
    auto spin = [frame](const QString &name, int x, int value) {
        auto *box = Controls::place<QSpinBox>(name, {x, 54, 44, 24}, frame);
        box->setRange(1, 9);
        box->setValue(value);
        return box;
    };
    m_across = spin(QStringLiteral("txt_across"), 170, 2);
    Controls::label(QStringLiteral("lab_down"), QStringLiteral("张，竖向"), {218, 54, 60, 24}, frame);
    m_down = spin(QStringLiteral("txt_down"), 280, 5);
    Controls::label(QStringLiteral("lab_sheet"), QStringLiteral("张"), {328, 54, 30, 24}, frame);
    m_trim = Controls::checkBox(QStringLiteral("chk_trim"), QStringLiteral("按实际的页面规格制作"), {30, 84, 300, 24}, frame);
    connect(m_trim, &QCheckBox::toggled, this, &BatchWindow::limitSheets);
    limitSheets();
    // The category box is as wide as its hint; the button below it.
    m_categories = Controls::place<QComboBox>(QStringLiteral("Combo_type"), {170, 116, 260, 24}, frame);
    auto *create = Controls::place<QPushButton>(QStringLiteral("cmd_mkdir"), {300, 146, 130, 26}, frame,
                                                QStringLiteral("增加新的分类…"));
    connect(create, &QPushButton::clicked, this, &BatchWindow::createCategory);
    fillCategories();

    m_start = Controls::place<QPushButton>(QStringLiteral("cmd_start"), {540, 570, 105, 30}, this,
                                           QStringLiteral("开始"));
    connect(m_start, &QPushButton::clicked, this, &BatchWindow::start);
    auto *close = Controls::place<QPushButton>(QStringLiteral("cmd_close"), {655, 570, 105, 30}, this,
                                               QStringLiteral("关闭"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

// Sheets offer only blocks that stay on the A4 page; a card too large for even
// one a sheet cannot be made into sheets.
void BatchWindow::limitSheets()
{
    const SheetCopies largest = MergeOutputs::largestSheet(m_session.card, m_trim->isChecked(), false);
    const bool fits = largest.across > 0 && largest.down > 0;
    m_across->setMaximum(std::clamp(largest.across, 1, 9));
    m_down->setMaximum(std::clamp(largest.down, 1, 9));
    for (QWidget *control : std::initializer_list<QWidget *>{m_outputs[Sheets], m_across, m_down})
        control->setEnabled(fits);
    if (!fits && m_outputs[Sheets]->isChecked()) m_outputs[CardPdf]->setChecked(true);
}

void BatchWindow::fillCategories(const QString &select)
{
    m_categories->clear();
    m_categories->addItems(CardLibrary::categories(m_folder));
    m_categories->setCurrentIndex(select.isEmpty() ? -1 : m_categories->findText(select));
    m_categories->setPlaceholderText(QStringLiteral("↓请先选择您的名片分类"));
}

void BatchWindow::createCategory()
{
    const auto name = m_dialogs.input(QStringLiteral("新类名称："), QStringLiteral("创建新的名片分类："), QString());
    if (!name || name->trimmed().isEmpty()) return;
    const auto result =
        LibraryFiles::createCategory(m_folder.libraryDir(ProgramFolder::Library::Cards), *name);
    using Outcome = LibraryFiles::Outcome;
    switch (result.outcome) {
    case Outcome::BadName: m_dialogs.show(result.detail, kHint, Dialogs::Icon::Warning); return;
    case Outcome::Failed:
        m_dialogs.show(QStringLiteral("无法创建名片分类“") + name->trimmed() +
                           QStringLiteral("”！\r请检查名片库文件夹是否可以写入…"),
                       kHint, Dialogs::Icon::Warning);
        return;
    case Outcome::Exists:
        m_dialogs.show(QStringLiteral("您要创建的“%1”已经存在").arg(name->trimmed()) + u'\r' +
                           QStringLiteral("请重新确定一个新的分类名称！"),
                       kHint, Dialogs::Icon::None);
        break;
    default: break;
    }
    // A new or existing category is chosen as the output; a new one is news to the library's lists.
    fillCategories(result.outcome == Outcome::Done ? result.detail : name->trimmed());
    m_outputs[CardFiles]->setChecked(true);
    if (result.outcome == Outcome::Done) emit cardsMade();
}

void BatchWindow::openTable(const QString &path)
{
    // A named pipe or a folder chosen under "所有文件" must not hold the window.
    const FileAccess::FileRead read = FileAccess::readRegularFile(path, MergeRun::kLargestTable);
    if (read.problem != FileAccess::Problem::None) {
        const QString reason = read.problem == FileAccess::Problem::TooLarge
                                   ? QStringLiteral("表格文件不能超过%1MB").arg(MergeRun::kLargestTable >> 20)
                                   : LibraryMessages::readProblem(read);
        m_dialogs.show(QStringLiteral("无法读取表格文件“%1”！").arg(path) + u'\r' + reason,
                       kReminder, Dialogs::Icon::Warning);
        return;
    }
    m_tableFile = path;
    m_tablePath->setText(QDir::toNativeSeparators(path));
    m_table = MergeRun::check(read.bytes, m_session.card, m_settings);
    m_rows = MergeRun::records(m_table);
    showColumns();
    showRow(0);
    updateStart();
    if (m_table.refused(m_settings)) {
        const QStringList lines =
            QStringList{QStringLiteral("表格中有错误，不能制作名片：")} + faultLines(m_table.faults, kFaultCount);
        m_dialogs.show(lines.join(u'\r'), kReminder, Dialogs::Icon::Warning);
    } else {
        showUnfitRows();
    }
}

// Rows whose texts do not fit the card are named before anything is made.
void BatchWindow::showUnfitRows()
{
    if (m_table.unfit.empty()) return;
    const QStringList lines = QStringList{QStringLiteral("这些行的文字在名片上放不下：")} +
                              faultLines(m_table.unfit, kUnfitCount) +
                              QStringList{QStringLiteral("您可以先修改表格或名片，也可以照样制作。")};
    m_dialogs.show(lines.join(u'\r'), kReminder, Dialogs::Icon::Warning);
}

void BatchWindow::showColumns()
{
    m_columns->setRowCount(int(m_table.header.size()));
    for (int i = 0; i < m_table.header.size(); ++i) {
        m_columns->setItem(i, 0, new QTableWidgetItem(m_table.header[i].trimmed()));
        m_columns->setItem(i, 1, new QTableWidgetItem(textName(i, m_table.columns)));
    }
    QStringList notes;
    if (!m_table.columns.unknown.isEmpty())
        notes << QStringLiteral("不能识别、不会使用的列：%1").arg(m_table.columns.unknown.join(QStringLiteral("、")));
    if (m_table.refused(m_settings))
        notes << faultLines(m_table.faults, kFaultCount);
    else if (!m_table.unfit.empty())
        notes << QStringLiteral("文字放不下的行：") << faultLines(m_table.unfit, kUnfitCount);
    m_faults->setText(notes.join(u'\n'));
}

void BatchWindow::showRow(int index)
{
    const int count = int(m_rows.size());
    m_row = std::clamp(index, 0, std::max(count - 1, 0));
    m_arrows[0]->setEnabled(m_row > 0);
    m_arrows[1]->setEnabled(m_row + 1 < count);
    if (count == 0 || m_table.refused(m_settings)) {
        m_rowLabel->clear();
        m_preview->showText({});
        return;
    }
    const Csv::Record &record = m_rows[std::size_t(m_row)];
    m_rowLabel->setText(QStringLiteral("第 %1 行，共 %2 行（表格第%3行）").arg(m_row + 1).arg(count).arg(record.line));
    if (record.error) {
        m_preview->showText(faultText(MergeRun::Fault{MergeRun::Fault::Kind::FieldCount, record.line, 0,
                                                      int(record.fields.size()), int(m_table.columns.count), {}}));
        return;
    }
    const MergedCard card = MergeRun::cardOf(m_table, record.fields, m_session.card, m_session.view);
    m_preview->showCard(card.card, card.view);
}

QImage BatchWindow::previewImage(qreal ratio) const
{
    return m_preview->image(ratio);
}

void BatchWindow::updateStart()
{
    m_start->setEnabled(!m_worker && m_table.goodRows > 0 && !m_table.refused(m_settings));
}

// The file or category folder the cards go to; empty when none was chosen.
QString BatchWindow::outputTarget()
{
    if (!m_outputs[CardFiles]->isChecked()) {
        QString path = choosePdf();
        if (!path.isEmpty() && QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) != 0)
            path += QStringLiteral(".pdf");
        return path;
    }
    if (m_categories->currentIndex() < 0) {
        m_dialogs.show(QStringLiteral("没有选择一个名片分类！") + u'\r' + QStringLiteral("如果还没有名片分类，请先创建！"),
                       kHint, Dialogs::Icon::Warning);
        return {};
    }
    return QDir(m_folder.libraryDir(ProgramFolder::Library::Cards)).filePath(m_categories->currentText());
}

void BatchWindow::start()
{
    if (m_worker || m_table.refused(m_settings) || m_table.goodRows == 0) return;
    const QString target = outputTarget();
    if (target.isEmpty()) return;
    CardDocument templateCard = m_session.card;
    QString error;
    const QString title = QFileInfo(m_tableFile).completeBaseName();
    if (m_outputs[CardFiles]->isChecked()) {
        CardFile::prepareForSave(templateCard, m_session.view);
        m_output = MergeOutputs::cardFolder(target, &error);
    } else if (m_outputs[Sheets]->isChecked()) {
        m_output = MergeOutputs::sheetPdf(target, SheetCopies{m_across->value(), m_down->value()},
                                          m_trim->isChecked(), false, title, &error);
    } else {
        m_output = MergeOutputs::cardPdf(target, PrintShopPdf::Form::Marks, title, &error);
    }
    if (!m_output) {
        m_dialogs.show(QStringLiteral("不能写入“%1”！").arg(QDir::toNativeSeparators(target)) + u'\r' + error,
                       kReminder, Dialogs::Icon::Warning);
        return;
    }
    m_cancel = false;
    m_progress = new QProgressDialog(QStringLiteral("正在制作名片…"), QStringLiteral("取消"), 0,
                                     int(m_table.goodRows), this);
    m_progress->setObjectName(QStringLiteral("dlg_progress"));
    m_progress->setWindowTitle(QStringLiteral("批量制作名片"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    connect(m_progress, &QProgressDialog::canceled, this, &BatchWindow::cancel);
    m_progress->show();
    const PageView view = m_session.view;
    m_worker = std::make_unique<std::thread>([this, templateCard, view, target] {
        const MergeRun::Result result = MergeRun::run(
            m_table, templateCard, view, m_settings, *m_output,
            [this](MergeRun::Progress p) {
                QMetaObject::invokeMethod(this, [this, p] { onProgress(p); }, Qt::QueuedConnection);
            },
            m_cancel);
        QMetaObject::invokeMethod(this, [this, result, target] { onFinished(result, target); }, Qt::QueuedConnection);
    });
    updateStart();
}

void BatchWindow::cancel() { m_cancel = true; }

void BatchWindow::onProgress(MergeRun::Progress progress)
{
    if (m_progress) m_progress->setValue(int(progress.done));
}

// The output is kept only when the run ended whole and nobody cancelled it
// before now; otherwise it is dropped and leaves nothing behind.
void BatchWindow::onFinished(const MergeRun::Result &result, const QString &target)
{
    m_worker->join();
    m_worker.reset();
    QString error = result.error;
    const bool cancelled = m_cancel || result.cancelled;
    if (!cancelled && error.isEmpty()) m_output->commit(&error);
    m_output.reset();
    delete m_progress;
    m_progress = nullptr;
    updateStart();
    if (cancelled) {
        m_dialogs.show(QStringLiteral("您已经取消了批量制作，没有留下任何文件。"), kHint, Dialogs::Icon::Information);
    } else if (!error.isEmpty()) {
        m_dialogs.show(QStringLiteral("批量制作没有成功！") + u'\r' + error, kReminder, Dialogs::Icon::Warning);
    } else {
        m_dialogs.show(QStringLiteral("已经制作了%1张名片！").arg(result.made) + u'\r' +
                           QStringLiteral("保存在：%1").arg(QDir::toNativeSeparators(target)),
                       kHint, Dialogs::Icon::Information);
        if (m_outputs[CardFiles]->isChecked()) emit cardsMade();
    }
    emit finished();
}

void BatchWindow::closeEvent(QCloseEvent *event)
{
    if (m_worker) {
        cancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
