#include "ui/panels/SavePanel.h"

#include "model/CardFile.h"
#include "model/CardLibrary.h"
#include "model/LibraryFiles.h"
#include "model/CardSession.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "render/PageExport.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "pdf/PrintShopPdf.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace {

constexpr int kMargin = 8;
constexpr int kInner = SidePanel::kWidth - 2 * kMargin;
constexpr int kCategoryTop = 58;
constexpr int kCategoryHeight = 100;
// Compact enough that, with the new-category frame open, the save frame's
// format note still ends above the status bar.
constexpr int kNewCategoryTop = kCategoryTop + kCategoryHeight + 4; // where the new-category frame stands
constexpr int kNewCategoryHeight = 66;
constexpr int kSaveFrameLowered = kNewCategoryTop + kNewCategoryHeight + 2;

const QString kReminder = QStringLiteral("提醒您：");
const QString kHint = QStringLiteral("操作提示：");
const QString kChooseCategory = QStringLiteral("↓请先选择您的名片分类");

// The bitmap of a card's back lies beside its front's: "名片-反面.bmp" beside "名片.bmp".
QString backBitmapFile(const QString &frontFile)
{
    const QFileInfo front(frontFile);
    return front.path() + u'/' + front.completeBaseName() + QStringLiteral("-反面.") + front.suffix();
}

QLabel *label(const QString &text, QRect geometry, QWidget *parent)
{
    QLabel *l = Controls::label(QString(), text, geometry, parent);
    l->setWordWrap(true);
    return l;
}

QPushButton *makeButton(int index, const QString &caption, QRect geometry, QWidget *parent)
{
    return Controls::place<QPushButton>(QStringLiteral("cmd_save(%1)").arg(index), geometry, parent, caption);
}

bool hasText(const QString &text) { return !text.trimmed().isEmpty(); }

// The note on the three formats; its third line says whether the PDF is in
// the press's CMYK. The fonts' generous line spacing is tightened a little so
// the note fits.
QString formatNote(bool cmyk)
{
    return QStringLiteral("<p style=\"line-height:85%\">1，.pnk：(可编辑格式)可使保存后的名片文件继续进行编辑。"
                          "只有本软件才能够正确打开或查看该文件。<br>"
                          "2，.bmp：(常规图片格式)以不可编辑的图片形式储存您的名片文件。印刷输出时，建议保存为这个格式。"
                          "选择“按实际的页面规格保存”将自动去掉页面距离各边3毫米的裁切量。<br>"
                          "3，.pdf：(印刷文件格式)交印刷厂：%1带3毫米出血和裁切线。</p>")
        .arg(cmyk ? QStringLiteral("印刷色(CMYK)，") : QStringLiteral("矢量文字，"));
}

} // namespace

SavePanel::SavePanel(CardSession &session, ProfileStore &store, Dialogs &dialogs, QWidget *parent)
    : SidePanel(2, QStringLiteral("保存名片"), parent), m_session(session), m_store(store), m_dialogs(dialogs)
{
    label(QStringLiteral("保存当前名片到您的名片库："), {kMargin, contentTop(), kInner, 18}, this);
    buildCategoryFrame();
    buildNewCategoryFrame();
    buildSaveFrame();
    for (int i = 0; i < 4; ++i)
        connect(m_buttons[std::size_t(i)], &QPushButton::clicked, this, [this, i] { onButtonClicked(i); });
    m_frames[1]->hide();
}

void SavePanel::buildCategoryFrame()
{
    auto *f = new QGroupBox(QStringLiteral("名片分类："), this);
    f->setObjectName(QStringLiteral("save_frm(0)"));
    f->setGeometry(kMargin, kCategoryTop, kInner, kCategoryHeight);
    label(QStringLiteral("1，选择要保存到的名片分类名称："), {8, 18, kInner - 16, 18}, f);
    m_categories = new QComboBox(f);
    m_categories->setObjectName(QStringLiteral("save_FileType"));
    m_categories->setGeometry(8, 38, kInner - 16, 24);
    connect(m_categories, &QComboBox::activated, this, [this] {
        m_buttons[0]->setEnabled(true);
        m_name->setFocus();
    });
    m_buttons[0] = makeButton(0, QStringLiteral("删除选定的类"), {8, 68, 92, 26}, f);
    m_buttons[1] = makeButton(1, QStringLiteral("增加新的分类…"), {104, 68, kInner - 112, 26}, f);
    m_frames[0] = f;
}

void SavePanel::buildNewCategoryFrame()
{
    auto *f = new QGroupBox(QStringLiteral("创建新的名片分类："), this);
    f->setObjectName(QStringLiteral("save_frm(1)"));
    f->setGeometry(kMargin, kNewCategoryTop, kInner, kNewCategoryHeight);
    label(QStringLiteral("新类名称："), {8, 17, 64, 22}, f);
    m_newCategory = new QLineEdit(f);
    m_newCategory->setObjectName(QStringLiteral("txt_MkDir"));
    m_newCategory->setGeometry(72, 17, kInner - 80, 22);
    m_buttons[2] = makeButton(2, QStringLiteral("确定创建新的分类！"), {8, 41, kInner - 16, 22}, f);
    m_buttons[2]->setEnabled(false);
    connect(m_newCategory, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_buttons[2]->setEnabled(hasText(text)); });
    m_frames[1] = f;
}

void SavePanel::buildSaveFrame()
{
    auto *f = new QGroupBox(this);
    f->setObjectName(QStringLiteral("save_frm(2)"));
    f->setGeometry(kMargin, kNewCategoryTop, kInner, 400);
    label(QStringLiteral("2，保存名片文件："), {8, 6, kInner - 16, 18}, f);
    label(QStringLiteral("文件名称："), {8, 26, 64, 24}, f);
    m_name = new QLineEdit(f);
    m_name->setObjectName(QStringLiteral("txt_saveName"));
    m_name->setGeometry(72, 26, kInner - 80, 24);
    label(QStringLiteral("保存格式："), {8, 52, kInner - 16, 18}, f);
    auto *formats = new QButtonGroup(this);
    const char16_t *captions[] = {u".pnk(可编辑格式)", u".bmp(常规图片格式)", u".pdf(印刷文件格式)"};
    for (int i = 0; i < 3; ++i) {
        auto *o = new QRadioButton(QString::fromUtf16(captions[i]), f);
        o->setObjectName(QStringLiteral("opt_save(%1)").arg(i));
        o->setGeometry(14, 68 + i * 18, kInner - 24, 18);
        formats->addButton(o, i);
        m_formats[std::size_t(i)] = o;
    }
    m_trim = new QCheckBox(QStringLiteral("按实际的页面规格保存"), f);
    m_trim->setObjectName(QStringLiteral("chk_Sp"));
    m_trim->setGeometry(14, 122, kInner - 24, 19);
    // The picture and the PDF can leave out the bleed; the card file cannot.
    connect(formats, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!on) return;
        m_trim->setEnabled(id != 0);
        if (id == 0) m_trim->setChecked(false);
    });
    m_buttons[3] = makeButton(3, QStringLiteral("确定保存名片！"), {8, 143, kInner - 16, 26}, f);
    m_buttons[3]->setEnabled(false);
    connect(m_name, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_buttons[3]->setEnabled(hasText(text)); });
    // The PDF is in the press's CMYK unless the user clears this. It stands
    // beside the format label, its caption short enough to fit there: below
    // the button the format note would no longer fit when the new-category
    // frame is open.
    m_cmyk = new QCheckBox(QStringLiteral("按印刷色(CMYK)"), f);
    m_cmyk->setObjectName(QStringLiteral("chk_cmyk"));
    m_cmyk->setGeometry(70, 51, kInner - 72, 18);
    m_cmyk->setEnabled(false);
    connect(formats, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) m_cmyk->setEnabled(id == 2);
    });
    m_note = label(formatNote(false), {8, 171, kInner - 16, 220}, f);
    m_note->setObjectName(QStringLiteral("save_note"));
    m_note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_note->setStyleSheet(QStringLiteral("color: #555555; font-size: 8pt;"));
    connect(m_cmyk, &QCheckBox::toggled, m_note, [this](bool cmyk) { m_note->setText(formatNote(cmyk)); });
    m_frames[2] = f;
}

SaveTarget SavePanel::target() const
{
    return {m_categories->currentText(), m_name->text(), format()};
}

SaveFormat SavePanel::format() const
{
    if (m_formats[1]->isChecked()) return SaveFormat::Bitmap;
    if (m_formats[2]->isChecked()) return SaveFormat::Pdf;
    return SaveFormat::CardFile;
}

void SavePanel::refillCategories(const QString &prompt)
{
    m_categories->clear();
    m_categories->addItems(CardLibrary::categories(m_store.folder()));
    m_categories->setCurrentIndex(-1);
    m_categories->setPlaceholderText(prompt);
    // The first category made here can be chosen at once.
    m_categories->setEnabled(m_categories->count() > 0);
    m_buttons[0]->setEnabled(false);
}

void SavePanel::showNewCategoryFrame(bool show)
{
    m_frames[1]->setVisible(show);
    m_frames[2]->move(kMargin, show ? kSaveFrameLowered : kNewCategoryTop);
    m_buttons[1]->setText(show ? QStringLiteral("×取消新增分类") : QStringLiteral("增加新的分类…"));
}

void SavePanel::reset()
{
    showNewCategoryFrame(false);
    m_name->clear();
    m_formats[0]->setChecked(true);
    m_trim->setChecked(false);
    m_cmyk->setChecked(true);
    refillCategories(kChooseCategory);
    if (m_categories->count() == 0) m_categories->setPlaceholderText(QStringLiteral("×没有名片分类请先创建！"));
    m_trim->setEnabled(!m_formats[0]->isChecked());
    m_cmyk->setEnabled(m_formats[2]->isChecked());
}

void SavePanel::propose(const QString &category, const QString &name)
{
    const int index = m_categories->findText(category);
    if (index >= 0) {
        m_categories->setCurrentIndex(index);
        m_buttons[0]->setEnabled(true);
    }
    m_name->setText(name);
}

void SavePanel::onButtonClicked(int index)
{
    switch (index) {
    case 0: deleteCategory(); break;
    case 1: toggleNewCategory(); break;
    case 2: createCategory(); break;
    case 3: saveCard(); break;
    }
}

void SavePanel::deleteCategory()
{
    const QString category = m_categories->currentText();
    const QString question = QStringLiteral("这个操作将使分类“") + category +
                             QStringLiteral("”的所有文件均被删除！\r删除操作务必慎重——确定要删除这个名片分类吗？");
    if (m_dialogs.ask(question, QStringLiteral("Penlark提醒您："), Dialogs::Icon::Question,
                      Dialogs::Buttons::YesNo) == Dialogs::Answer::No) {
        m_dialogs.show(QStringLiteral("您已经取消了删除操作！"), kHint, Dialogs::Icon::Information);
        return;
    }
    if (!removeCategoryFolder(category)) {
        m_dialogs.show(QStringLiteral("可能的原因是部分文件被设置成了“只读”属性！\r请先取消着些文件的“只读”属性再删除…"),
                       QStringLiteral("删除失败！"), Dialogs::Icon::Warning);
        return;
    }
    refillCategories(kChooseCategory);
    m_dialogs.show(QStringLiteral("已经删除了“") + category + QStringLiteral("”的分类！"), kHint,
                   Dialogs::Icon::Information);
}

bool SavePanel::removeCategoryFolder(const QString &category) const
{
    // The first file that cannot be deleted stops the deletion; those before it are gone.
    return LibraryFiles::deleteCategory(m_store.folder().libraryDir(ProgramFolder::Library::Cards), category);
}

void SavePanel::toggleNewCategory()
{
    const bool show = !m_frames[1]->isVisible();
    refillCategories(show ? QStringLiteral("↓正在创建您的名片分类") : kChooseCategory);
    showNewCategoryFrame(show);
}

void SavePanel::createCategory()
{
    const QString name = m_newCategory->text().trimmed();
    if (name.isEmpty()) {
        m_dialogs.show(QStringLiteral("您没有确定要创建的名片分类名称！"), kHint, Dialogs::Icon::None);
        m_newCategory->setFocus();
        return;
    }
    if (const QString problem = CardLibrary::nameProblem(name); !problem.isEmpty()) {
        m_dialogs.show(problem, kHint, Dialogs::Icon::Warning);
        m_newCategory->setFocus();
        return;
    }
    const QString library = m_store.folder().libraryDir(ProgramFolder::Library::Cards);
    if (QFileInfo::exists(library + u'/' + name)) {
        m_dialogs.show(QStringLiteral("您要创建的“") + name + QStringLiteral("”已经存在\r请重新确定一个新的分类名称！"),
                       kHint, Dialogs::Icon::None);
        m_newCategory->setFocus();
    } else if (!QDir(library).mkdir(name)) {
        m_dialogs.show(QStringLiteral("无法创建名片分类“") + name + QStringLiteral("”！\r请检查名片库文件夹是否可以写入…"),
                       kHint, Dialogs::Icon::Warning);
        return;
    } else {
        m_dialogs.show(QStringLiteral("已成功创建了“") + name + QStringLiteral("”的名片分类！"), kHint,
                       Dialogs::Icon::None);
        refillCategories(kChooseCategory);
        showNewCategoryFrame(false);
    }
    m_buttons[0]->setEnabled(false);
    m_newCategory->clear();
}

void SavePanel::saveCard()
{
    if (m_categories->currentIndex() < 0) {
        m_dialogs.show(QStringLiteral("没有选择一个名片分类！\r如果还没有名片分类，请先创建！"), kHint,
                       Dialogs::Icon::Warning);
        m_categories->setFocus();
        return;
    }
    if (const QString problem = CardLibrary::nameProblem(m_name->text()); !problem.isEmpty()) {
        m_dialogs.show(problem, kHint, Dialogs::Icon::Warning);
        m_name->setFocus();
        return;
    }
    const QStringList files = filesToWrite();
    const auto existing = std::find_if(files.begin(), files.end(), [](const QString &f) { return QFileInfo::exists(f); });
    if (existing != files.end()) {
        const QString question = QStringLiteral("名称为") + QFileInfo(*existing).fileName() +
                                 QStringLiteral("的文件已经存在！\r是否要覆盖这个文件？");
        if (m_dialogs.ask(question, kReminder, Dialogs::Icon::Question, Dialogs::Buttons::YesNo) ==
            Dialogs::Answer::No) {
            m_name->clear();
            return;
        }
    }
    saveAndReport();
}

void SavePanel::saveAndReport()
{
    QString error;
    const SaveFormat saving = format();
    const bool ok = saving == SaveFormat::CardFile ? saveCardFile(&error)
                    : saving == SaveFormat::Bitmap ? saveBitmap(&error)
                                                   : savePdf(&error);
    if (!ok) {
        m_dialogs.show(QStringLiteral("您的名片没有保存成功！\r") + error, QStringLiteral("保存失败！"),
                       Dialogs::Icon::Warning);
        return;
    }
    QString message = QStringLiteral("您的名片已经保存成功！");
    if (const QStringList files = filesToWrite(); files.size() == 2)
        message += QStringLiteral("\r正面：") + QFileInfo(files[0]).fileName() + QStringLiteral("\r反面：") +
                   QFileInfo(files[1]).fileName();
    m_dialogs.show(message, kReminder, Dialogs::Icon::Information);
    m_session.markSaved();
    emit saved();
}

bool SavePanel::saveCardFile(QString *error)
{
    const bool ok = m_store.saveCard(m_session.card, m_session.view);
    if (!ok) *error = QStringLiteral("名片文件无法写入：请检查名片分类文件夹是否还在、磁盘是否可以写入。");
    return ok;
}

// The files a save writes: the card file, PDF or bitmap named in the panel, and
// for the bitmap of a two-sided card its back's beside it. None for a name no
// file can have.
QStringList SavePanel::filesToWrite() const
{
    const auto file = m_store.cardFileToWrite();
    if (!file) return {};
    if (format() == SaveFormat::Bitmap && m_session.card.hasBack()) return {*file, backBitmapFile(*file)};
    return {*file};
}

// The side shown, or both sides of a two-sided card, the front in the named file.
bool SavePanel::saveBitmap(QString *error)
{
    const QStringList files = filesToWrite();
    const CardSide sides[] = {CardSide::Front, CardSide::Back};
    QString reason;
    bool ok = !files.isEmpty();
    for (qsizetype i = 0; ok && i < files.size(); ++i) ok = writeBitmap(sides[i], files[i], &reason);
    if (ok) return true;
    *error = QStringLiteral("图片文件无法写入：") + (reason.isEmpty() ? QStringLiteral("名称无效") : reason);
    return false;
}

bool SavePanel::writeBitmap(CardSide side, const QString &file, QString *reason) const
{
    CardDocument card = m_session.card;
    PageView view = m_session.view;
    showSide(card, view, side);
    const double scale = PageGeometry::kScreenTwipsPerPixel;
    const QImage page = m_trim->isChecked() ? PageRenderer::renderTrimmedBitmap(card, view, scale)
                                            : PageRenderer::renderBitmap(card, view, scale);
    return PageExport::writeBmp(page, file, reason);
}

// The print-shop PDF: the card with its bleed and crop marks outside it, or
// with the trim option the card as cut; in the press's CMYK unless cleared.
bool SavePanel::savePdf(QString *error)
{
    const auto file = m_store.cardFileToWrite();
    using PrintShopPdf::Form;
    const PrintShopPdf::Options options{m_trim->isChecked() ? Form::Trim : Form::Marks, m_name->text().trimmed(),
                                        m_cmyk->isChecked() ? PrintShopPdf::Colours::Cmyk : PrintShopPdf::Colours::Rgb};
    QString reason;
    if (file && PrintShopPdf::writeCard(m_session.card, m_session.view, *file, options, &reason)) return true;
    *error = QStringLiteral("PDF文件无法写入：") + (reason.isEmpty() ? QStringLiteral("名称无效") : reason);
    return false;
}
