#include "ui/library/LibraryManager.h"

#include "model/CardLibrary.h"
#include "model/CardSession.h"
#include "model/LibraryFiles.h"
#include "render/AppliedPictures.h"
#include "render/PagePictures.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/common/LibraryMessages.h"
#include "ui/common/WebLink.h"
#include "ui/common/WidgetColours.h"
#include "ui/library/AddPanel.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QWindow>
#include <algorithm>

namespace {

using Library = ProgramFolder::Library;

// Pixels (15 twips each).
constexpr int kHeight = 468;
constexpr int kFrameTop = 38;
constexpr int kFrameHeight = 424;
struct Layout {
    int width, filesLeft, barWidth, exitLeft;
};
constexpr Layout kCompact{519, 158, 446, 452};
constexpr Layout kWide{737, 377, 662, 670};
constexpr QSize kPreviewBox{299, 186};  // 4485 x 2790 twips
constexpr QSize kEmptyPreview{267, 153}; // 4000 x 2300 twips
constexpr QPoint kOffsetFromMain{19, 92}; // 280 and 1380 twips

const QString kHint = QStringLiteral("操作提示：");
const QString kReminder = QStringLiteral("提醒您：");
const QString kAdd = QStringLiteral(">>添加新文件…");
const QString kCancelAdd = QStringLiteral("取消添加<<");
const QString kRename = QStringLiteral("更改名称");
const QString kCancelRename = QStringLiteral("取消更改");
const QString kApply = QStringLiteral("√应用到名片");
const QString kOpenCard = QStringLiteral("√打开名片");
const QString kPrintCard = QStringLiteral("→打印名片");
const QString kChooseFile = QStringLiteral("状态：请选择对应分类的文件…");

// The libraries in the order of their options.
constexpr Library kLibraries[] = {Library::Backgrounds, Library::Logos, Library::Cards};

int optionOf(Library library)
{
    return int(std::find(std::begin(kLibraries), std::end(kLibraries), library) - std::begin(kLibraries));
}

void setForeground(QWidget &widget, const QColor &colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget.setPalette(palette);
}

void usePanelColourForButton(QWidget &widget)
{
    usePanelColour(widget);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Button, palette.color(QPalette::Window));
    widget.setPalette(palette);
}

QGroupBox *frame(int index, QWidget *parent, QRect geometry)
{
    return Controls::place<QGroupBox>(QStringLiteral("frm(%1)").arg(index), geometry, parent);
}

} // namespace

LibraryManager::LibraryManager(const ProgramFolder &folder, CardSession &session, Dialogs &dialogs,
                               QWidget &mainWindow)
    : QWidget(nullptr, Qt::Window), m_folder(folder), m_session(session), m_dialogs(dialogs), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Form_file"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("文件管理 - 更多名片模板、背景及标志图片，欢迎到 ") + webSiteHost() +
                   QStringLiteral(" 下载…"));
    setWindowIcon(mainWindow.windowIcon());
    m_mainWindow.setEnabled(false);

    m_bar = new QFrame(this);
    m_bar->setObjectName(QStringLiteral("bar"));
    m_bar->setFrameShape(QFrame::StyledPanel);
    m_status = Controls::label(QStringLiteral("fileName"), kChooseFile, {6, 4, 640, 18}, m_bar);
    m_exit = new QPushButton(QStringLiteral("×退出"), this);
    m_exit->setObjectName(QStringLiteral("cmd_Cancel"));
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);

    buildCategoryArea();
    buildFileArea();
    buildAddArea();
    applyColours();
    setWide(false);
    move(mainWindow.frameGeometry().topLeft() + kOffsetFromMain);
    // Kept above the main window by the window manager, without being its child
    // (a child window would be disabled along with it).
    if (QWindow *main = mainWindow.windowHandle()) {
        createWinId();
        windowHandle()->setTransientParent(main);
    }
    resetPreview();
}

// ---- Building ------------------------------------------------------------------

QPushButton *LibraryManager::makeButton(int index, const QString &caption, QWidget *parent, const QRect &geometry)
{
    auto *b = Controls::place<QPushButton>(QStringLiteral("cmd(%1)").arg(index), geometry, parent, caption);
    b->setEnabled(false);
    m_buttons[std::size_t(index)] = b;
    return b;
}

void LibraryManager::buildCategoryArea()
{
    QGroupBox *area = m_frames[1] = frame(1, this, QRect(2, kFrameTop, 154, kFrameHeight));
    m_categories = Controls::place<QListWidget>(QStringLiteral("typeList"), {8, 22, 138, 222}, area);
    connect(m_categories, &QListWidget::currentItemChanged, this, &LibraryManager::onCategoryChosen);
    connect(makeButton(0, QStringLiteral("删除分类"), area, QRect(8, 250, 66, 28)), &QPushButton::clicked, this,
            &LibraryManager::deleteCategory);
    connect(makeButton(1, kRename, area, QRect(80, 250, 66, 28)), &QPushButton::clicked, this,
            &LibraryManager::toggleRename);

    const char16_t *tips[] = {u"新的分类名称：", u"把“123456”改为："};
    const char16_t *confirms[] = {u"确定创建新的分类", u"确定更改所选的分类名称"};
    for (int i = 0; i < 2; ++i) {
        QGroupBox *f = m_frames[std::size_t(3 + i)] = frame(3 + i, area, QRect(2, 284, 150, 136));
        QLabel *tip = Controls::label(QStringLiteral("mmTip(%1)").arg(i == 0 ? 1 : 4), QString::fromUtf16(tips[i]),
                                      {4, 18, 142, 34}, f);
        tip->setWordWrap(true);
        QLineEdit *name = m_names[std::size_t(i)] =
            Controls::place<QLineEdit>(QStringLiteral("txt(%1)").arg(i), {4, 56, 142, 26}, f);
        QPushButton *confirm = makeButton(2 + i, QString::fromUtf16(confirms[i]), f, QRect(4, 90, 142, 30));
        // The confirm button follows whether the trimmed text is empty.
        connect(name, &QLineEdit::textChanged, confirm,
                [confirm](const QString &text) { confirm->setEnabled(!text.trimmed().isEmpty()); });
        connect(name, &QLineEdit::returnPressed, confirm, &QPushButton::click);
        if (i == 1) m_renameTip = tip;
    }
    connect(m_buttons[2], &QPushButton::clicked, this, &LibraryManager::createCategory);
    connect(m_buttons[3], &QPushButton::clicked, this, &LibraryManager::renameCategory);
}

void LibraryManager::buildFileArea()
{
    QGroupBox *right = m_frames[0] = frame(0, this, QRect(kCompact.filesLeft, kFrameTop, 357, kFrameHeight));
    const char16_t *captions[] = {u"页面背景", u"名片标志", u"名片文件"};
    for (int i = 0; i < 3; ++i) {
        QRadioButton *option = Controls::option(QStringLiteral("opt_OBJ(%1)").arg(i), QString::fromUtf16(captions[i]),
                                                {12 + i * 112, 12, 104, 24}, right);
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) { onLibraryOptionToggled(i, on); });
        m_options[std::size_t(i)] = option;
    }

    QGroupBox *files = m_frames[2] = frame(2, right, QRect(4, 40, 349, 378));
    m_files = Controls::place<QListWidget>(QStringLiteral("fileList"), {8, 22, 333, 88}, files);
    connect(m_files, &QListWidget::currentItemChanged, this, &LibraryManager::onFileChosen);
    connect(m_files, &QListWidget::itemDoubleClicked, this, &LibraryManager::renameFile);

    m_previewBox = new QFrame(files);
    m_previewBox->setObjectName(QStringLiteral("imgView_bg"));
    m_previewBox->setGeometry(QRect(QPoint(25, 116), kPreviewBox));
    fillBackground(*m_previewBox, QColor(192, 192, 192));
    m_preview = new QLabel(m_previewBox);
    m_preview->setObjectName(QStringLiteral("imgView"));
    m_preview->setScaledContents(true);
    m_previewNotice = Controls::label(QStringLiteral("seeView"), QString(), {QPoint(), kPreviewBox}, m_previewBox);
    m_previewNotice->setAlignment(Qt::AlignCenter);
    m_previewNotice->setWordWrap(true);

    connect(makeButton(4, kAdd, files, QRect(8, 308, 160, 30)), &QPushButton::clicked, this,
            &LibraryManager::toggleAdd);
    connect(makeButton(5, QStringLiteral("×删除该文件"), files, QRect(176, 308, 165, 30)), &QPushButton::clicked,
            this, &LibraryManager::deleteFile);
    connect(makeButton(8, QStringLiteral(">>更改选定文件名…"), files, QRect(8, 342, 160, 30)),
            &QPushButton::clicked, this, &LibraryManager::renameFile);
    connect(makeButton(6, kApply, files, QRect(176, 342, 165, 30)), &QPushButton::clicked, this,
            &LibraryManager::applyFile);
}

void LibraryManager::buildAddArea()
{
    m_addPanel = new AddPanel(m_dialogs, this);
    m_addPanel->setGeometry(kCompact.filesLeft, kFrameTop, kWide.filesLeft - kCompact.filesLeft - 4, kFrameHeight);
    m_frames[5] = m_addPanel;
    connect(makeButton(7, QStringLiteral("←确定添加文件到所选的分类中"), m_addPanel, QRect(8, 382, 199, 32)),
            &QPushButton::clicked, this, &LibraryManager::addFile);
    QWidget::setTabOrder(m_buttons[7], m_addPanel->browseButton());
    connect(m_addPanel, &AddPanel::folderChanged, this, &LibraryManager::onFolderBrowsed);
    connect(m_addPanel, &AddPanel::fileChosen, this, &LibraryManager::onFileBrowsed);
}

void LibraryManager::applyColours()
{
    usePanelColour(*this);
    for (QGroupBox *f : m_frames) usePanelColour(*f);
    for (QRadioButton *o : m_options) usePanelColourForButton(*o);
    for (QPushButton *b : m_buttons) usePanelColourForButton(*b);
    usePanelColourForButton(*m_exit);
}

void LibraryManager::setWide(bool wide)
{
    const Layout &l = wide ? kWide : kCompact;
    setFixedSize(l.width, kHeight);
    m_frames[0]->move(l.filesLeft, kFrameTop);
    m_bar->setGeometry(4, 6, l.barWidth, 26);
    m_exit->setGeometry(l.exitLeft, 4, 60, 30);
    m_addPanel->setVisible(wide);
}

bool LibraryManager::isWide() const { return m_addPanel->isVisibleTo(this); }

// ---- Libraries and categories ------------------------------------------------------

void LibraryManager::chooseLibrary(Library library)
{
    QRadioButton *option = m_options[std::size_t(optionOf(library))];
    {
        const QSignalBlocker blocker(option);
        option->setChecked(true);
    }
    onLibraryOptionToggled(optionOf(library), true);
}

void LibraryManager::onLibraryOptionToggled(int index, bool on)
{
    if (!on) return;
    m_library = kLibraries[index];
    applyLibrary();
}

void LibraryManager::applyLibrary()
{
    setWide(false);
    m_buttons[4]->setEnabled(false);
    m_buttons[4]->setText(kAdd);
    for (std::size_t i = 0; i < m_options.size(); ++i)
        setForeground(*m_options[i], m_options[i]->isChecked() ? QColor(255, 0, 0) : QColor(0, 0, 0));
    fillCategories(QString());
    const QString w = word();
    m_frames[1]->setTitle(w + QStringLiteral("分类显示及管理："));
    m_frames[3]->setTitle(QStringLiteral("创建新的") + w + QStringLiteral("分类："));
    m_frames[4]->setTitle(QStringLiteral("更改所选的") + w + QStringLiteral("分类名称："));
    m_frames[5]->setTitle(QStringLiteral("添加新的") + w + QStringLiteral("文件到这个类中："));
    showCreateFrame();
    for (int i : {0, 1, 5, 6, 8}) m_buttons[std::size_t(i)]->setEnabled(false);
    resetPreview();
}

QString LibraryManager::word() const
{
    switch (m_library) {
    case Library::Backgrounds: return QStringLiteral("背景");
    case Library::Logos: return QStringLiteral("标志");
    case Library::Cards: return QStringLiteral("名片");
    }
    return {};
}

QString LibraryManager::libraryDir() const { return m_folder.libraryDir(m_library); }

QString LibraryManager::category() const
{
    const QListWidgetItem *item = m_categories->currentItem();
    return item ? item->text() : QString();
}

QString LibraryManager::selectedFile() const
{
    const QListWidgetItem *item = m_files->currentItem();
    return item ? m_listedFolder + u'/' + item->text() : QString();
}

// Lists the categories again. The category named keep stays chosen when it is
// still there; otherwise none is, and the file list shows the library folder,
// so that no button acts on a category that is gone.
void LibraryManager::fillCategories(const QString &keep)
{
    const QSignalBlocker blocker(m_categories);
    m_categories->clear();
    m_categories->addItems(LibraryFiles::categories(libraryDir()));
    const auto kept = keep.isEmpty() ? QList<QListWidgetItem *>() : m_categories->findItems(keep, Qt::MatchExactly);
    if (!kept.isEmpty()) {
        m_categories->setCurrentItem(kept.first());
        showFolder(libraryDir() + u'/' + keep);
        showCategoryStatus();
        return;
    }
    m_categories->setCurrentRow(-1);
    showFolder(libraryDir());
    setStatus(kChooseFile);
    for (int i : {0, 1, 4, 7}) m_buttons[std::size_t(i)]->setEnabled(false);
}

void LibraryManager::showCategoryStatus()
{
    setStatus(QStringLiteral("状态：选定了“") + word() + QStringLiteral("”中的“") + category() +
              QStringLiteral("”分类项。"));
}

void LibraryManager::showFolder(const QString &folder)
{
    m_listedFolder = folder;
    refreshFiles();
}

void LibraryManager::refreshFiles()
{
    const QSignalBlocker blocker(m_files);
    m_files->clear();
    m_files->addItems(LibraryFiles::files(m_listedFolder));
    setFileButtonsEnabled(false);
    m_frames[2]->setTitle(category().isEmpty()
                              ? word() + QStringLiteral("文件预览及管理：")
                              : QStringLiteral("当前分类“") + category() + QStringLiteral("”的") + word() +
                                    QStringLiteral("文件（共") + QString::number(m_files->count()) +
                                    QStringLiteral("个）："));
}

void LibraryManager::onCategoryChosen()
{
    const QString chosen = category();
    if (chosen.isEmpty()) return;
    for (int i : {0, 1, 7}) m_buttons[std::size_t(i)]->setEnabled(true);
    m_buttons[4]->setEnabled(m_library != Library::Cards);
    showCreateFrame();
    showFolder(libraryDir() + u'/' + chosen);
    showCategoryStatus();
    resetPreview();
}

void LibraryManager::showCreateFrame()
{
    m_frames[3]->show();
    m_frames[4]->hide();
    m_buttons[1]->setText(kRename);
    m_names[0]->clear();
}

void LibraryManager::createCategory()
{
    const LibraryFiles::Result result = LibraryFiles::createCategory(libraryDir(), m_names[0]->text());
    const QString name = m_names[0]->text().trimmed();
    switch (result.outcome) {
    case LibraryFiles::Outcome::EmptyName:
        m_dialogs.show(QStringLiteral("您没有确定要创建的分类名称！"), kHint, Dialogs::Icon::Warning);
        m_names[0]->setFocus();
        return;
    case LibraryFiles::Outcome::BadName:
        m_dialogs.show(result.detail, kHint, Dialogs::Icon::Warning);
        m_names[0]->setFocus();
        return;
    case LibraryFiles::Outcome::Failed:
        m_dialogs.show(QStringLiteral("无法创建分类“") + name + QStringLiteral("”！\r请检查文件夹是否可以写入…"), kHint,
                       Dialogs::Icon::Critical);
        return;
    case LibraryFiles::Outcome::Exists:
        m_dialogs.show(QStringLiteral("您要创建的“") + name + QStringLiteral("”已经存在\r请重新确定一个新的分类名称！"),
                       kHint, Dialogs::Icon::Warning);
        m_names[0]->setFocus();
        break;
    case LibraryFiles::Outcome::Done:
        m_dialogs.show(QStringLiteral("已成功创建了“") + name + QStringLiteral("”的分类！"), kHint,
                       Dialogs::Icon::Information);
        fillCategories(category());
        emit libraryChanged(m_library);
        break;
    }
    m_names[0]->clear();
}

void LibraryManager::toggleRename()
{
    const bool start = m_buttons[1]->text() == kRename;
    m_frames[3]->setVisible(!start);
    m_frames[4]->setVisible(start);
    m_buttons[1]->setText(start ? kCancelRename : kRename);
    if (start) m_renameTip->setText(QStringLiteral("更改“") + category() + QStringLiteral("”为："));
}

void LibraryManager::renameCategory()
{
    const QString oldName = category();
    const QString newName = m_names[1]->text().trimmed();
    const LibraryFiles::Result result = LibraryFiles::renameCategory(libraryDir(), oldName, newName);
    switch (result.outcome) {
    case LibraryFiles::Outcome::EmptyName:
        return;
    case LibraryFiles::Outcome::BadName:
        m_dialogs.show(result.detail, kHint, Dialogs::Icon::Warning);
        m_names[1]->setFocus();
        return;
    case LibraryFiles::Outcome::Exists:
    case LibraryFiles::Outcome::Failed:
        m_dialogs.show(QStringLiteral("您要更改的名称“") + newName +
                           QStringLiteral("”已经存在了\r如果要继续更改，请换个名称…"),
                       QStringLiteral("改名失败！"), Dialogs::Icon::Critical);
        return;
    case LibraryFiles::Outcome::Done:
        break;
    }
    m_dialogs.show(QStringLiteral("原来的分类名称“") + oldName + QStringLiteral("”\r已经改名为新的名称“") + newName +
                       QStringLiteral("”"),
                   QStringLiteral("改名成功！"), Dialogs::Icon::Information);
    fillCategories(newName);
    emit libraryChanged(m_library);
    showCreateFrame();
    m_names[1]->clear();
}

void LibraryManager::deleteCategory()
{
    const QString name = category();
    if (name.isEmpty()) return;
    const QString question = QStringLiteral("这个操作将使分类“") + name +
                             QStringLiteral("”的所有文件均被删除！\r删除操作务必慎重——确定要删除这个名片分类吗？");
    if (m_dialogs.ask(question, QStringLiteral("Penlark提醒您："), Dialogs::Icon::Question,
                      Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        m_dialogs.show(QStringLiteral("您已经取消了删除操作！"), kHint, Dialogs::Icon::Warning);
        return;
    }
    if (!LibraryFiles::deleteCategory(libraryDir(), name)) {
        m_dialogs.show(QStringLiteral("可能的原因是部分文件被设置成了“只读”属性！\r请先取消这些文件的“只读”属性，再删除…"),
                       QStringLiteral("删除失败！"), Dialogs::Icon::Critical);
        return;
    }
    fillCategories(QString());
    emit libraryChanged(m_library);
    m_dialogs.show(QStringLiteral("已经删除了“") + name + QStringLiteral("”的分类！"), kHint, Dialogs::Icon::Information);
    for (int i : {0, 1, 4, 5, 6, 7, 8}) m_buttons[std::size_t(i)]->setEnabled(false);
    resetPreview();
}

// ---- Files and preview -----------------------------------------------------------

void LibraryManager::setFileButtonsEnabled(bool enabled)
{
    for (int i : {5, 6, 8}) m_buttons[std::size_t(i)]->setEnabled(enabled);
}

void LibraryManager::setStatus(const QString &text) { m_status->setText(text); }

void LibraryManager::resetPreview()
{
    m_picture = QImage();
    m_previewNotice->setText(QStringLiteral("图片效果查看…"));
    m_previewNotice->show();
    m_previewNotice->raise();
    m_preview->setFrameShape(QFrame::Box);
    m_preview->clear();
    m_preview->resize(kEmptyPreview);
    fitPreview();
}

void LibraryManager::showPicture(const QImage &picture)
{
    m_picture = picture;
    m_previewNotice->hide();
    m_preview->setFrameShape(QFrame::NoFrame);
    m_preview->setPixmap(QPixmap::fromImage(picture));
    m_preview->resize(picture.size());
    fitPreview();
}

void LibraryManager::fitPreview()
{
    m_preview->setGeometry(LibraryFiles::fitPreview(m_previewBox->contentsRect().size(), m_preview->size()));
}

bool LibraryManager::loadPreview(const QString &file)
{
    // Read with the picture size limit the page and the logo use.
    const PagePictures::ReadPicture read = PagePictures::readPictureFile(file);
    if (read.image.isNull()) {
        resetPreview();
        LibraryMessages::showUnreadablePicture(m_dialogs, QFileInfo(file).fileName(), read.problem);
        return false;
    }
    showPicture(read.image);
    return true;
}

void LibraryManager::onFileChosen()
{
    const QListWidgetItem *item = m_files->currentItem();
    if (!item) return;
    const QString name = item->text();
    setFileButtonsEnabled(true);
    if (CardLibrary::isCardFile(name)) {
        resetPreview();
        m_previewNotice->setText(QStringLiteral("您正在查看的是名片模板格式文件…"));
        // Only the card library opens cards; elsewhere a card file is no picture to apply.
        m_buttons[6]->setText(m_library == Library::Cards ? kOpenCard : kApply);
        m_buttons[6]->setEnabled(m_library == Library::Cards);
    } else {
        m_buttons[6]->setText(m_library == Library::Cards ? kPrintCard : kApply);
        m_buttons[6]->setEnabled(loadPreview(selectedFile()));
    }
    setStatus(QStringLiteral("选定文件：") + word() + u'\\' + category() + u'\\' + name);
}

void LibraryManager::deleteFile()
{
    const QString file = selectedFile();
    const QString name = QFileInfo(file).fileName();
    if (file.isEmpty() ||
        m_dialogs.ask(QStringLiteral("您将删除") + name + QStringLiteral("\r删除操作将不可恢复！\r确定要删除该文件吗？"),
                      kReminder, Dialogs::Icon::Question, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    if (!LibraryFiles::deleteFile(file)) {
        m_dialogs.show(QStringLiteral("可能的原因是该文件为只读状态\r请取消该文件的只读状态再删除…"),
                       QStringLiteral("删除失败！"), Dialogs::Icon::Critical);
        return;
    }
    m_dialogs.show(QStringLiteral("已成功删除文件：") + name, QStringLiteral("操作成功！"), Dialogs::Icon::Information);
    setStatus(QStringLiteral("状态：文件“") + name + QStringLiteral("”删除成功！"));
    refreshFiles();
    emit fileDeleted();
    resetPreview();
}

void LibraryManager::renameFile()
{
    const QString file = selectedFile();
    if (file.isEmpty()) return;
    const QString name = QFileInfo(file).fileName();
    const QString base = name.contains(u'.') ? name.left(name.lastIndexOf(u'.')) : name;
    const auto answer = m_dialogs.input(QStringLiteral("您将对文件“") + base +
                                            QStringLiteral("”进行改名\r\n\r\n请输入新的文件名称："),
                                        QStringLiteral("更改文件名"), QString());
    if (!answer) return;
    const LibraryFiles::Result result = LibraryFiles::renameFile(m_listedFolder, name, *answer);
    switch (result.outcome) {
    case LibraryFiles::Outcome::EmptyName:
        return;
    case LibraryFiles::Outcome::BadName:
        m_dialogs.show(result.detail, kHint, Dialogs::Icon::Warning);
        return;
    case LibraryFiles::Outcome::Exists:
        m_dialogs.show(QStringLiteral("您要更改的名称“") + answer->trimmed() +
                           QStringLiteral("”已经存在了\r如果要继续更改，请换个名称…"),
                       QStringLiteral("改名失败！"), Dialogs::Icon::Critical);
        return;
    case LibraryFiles::Outcome::Failed:
        m_dialogs.show(QStringLiteral("文件“") + name + QStringLiteral("”无法改名！\r请检查文件夹是否可以写入…"),
                       QStringLiteral("改名失败！"), Dialogs::Icon::Critical);
        return;
    case LibraryFiles::Outcome::Done:
        break;
    }
    refreshFiles();
    if (!CardLibrary::isCardFile(result.detail)) loadPreview(m_listedFolder + u'/' + result.detail);
    emit libraryChanged(m_library);
}

QString LibraryManager::reference() const
{
    const QString name = m_files->currentItem() ? m_files->currentItem()->text() : QString();
    return category().isEmpty() ? name : category() + u'\\' + name;
}

void LibraryManager::applyFile()
{
    if (m_buttons[6]->text() == kOpenCard) {
        emit cardOpenRequested();
        close();
        return;
    }
    if (m_picture.isNull()) {
        LibraryMessages::showUnreadablePicture(m_dialogs, QFileInfo(selectedFile()).fileName(),
                                               PagePictures::ReadPicture::Problem::Unreadable);
        return;
    }
    switch (m_library) {
    case Library::Backgrounds:
        applyBackground();
        break;
    case Library::Logos:
        applyLogo();
        break;
    case Library::Cards:
        emit pictureCardPrintRequested(m_picture);
        close();
        break;
    }
}

void LibraryManager::applyBackground()
{
    AppliedPictures::applyBackground(m_session, reference(), m_picture);
    emit backgroundApplied();
}

void LibraryManager::applyLogo()
{
    AppliedPictures::applyLogo(m_session, reference(), m_picture);
    emit logoApplied();
}

void LibraryManager::toggleAdd()
{
    const bool open = m_buttons[4]->text() == kAdd;
    m_buttons[4]->setText(open ? kCancelAdd : kAdd);
    if (open) m_buttons[7]->setEnabled(false);
    setWide(open);
}

void LibraryManager::addFile()
{
    const QString source = m_addPanel->selectedFile();
    if (source.isEmpty() || category().isEmpty()) return;
    const QString target = LibraryFiles::copyTarget(source, m_listedFolder);
    const QString name = QFileInfo(target).fileName();
    if (QFileInfo::exists(target) && !LibraryMessages::mayReplace(m_dialogs, name)) return;
    if (!LibraryFiles::copyFile(source, m_listedFolder)) {
        LibraryMessages::showCopyFailed(m_dialogs, name);
        return;
    }
    refreshFiles();
    emit libraryChanged(m_library);
}

void LibraryManager::onFolderBrowsed(const QString &folder)
{
    resetPreview();
    setStatus(QStringLiteral("状态：选定了“") + QDir::toNativeSeparators(folder) + QStringLiteral("”文件夹"));
    for (int i : {5, 6}) m_buttons[std::size_t(i)]->setEnabled(false);
}

void LibraryManager::onFileBrowsed(const QString &file)
{
    // Delete, rename and apply act on the category's files, not on the browsed one.
    setFileButtonsEnabled(false);
    m_buttons[7]->setEnabled(loadPreview(file) && !category().isEmpty());
    setStatus(QStringLiteral("选定文件：") + QDir::toNativeSeparators(file));
}

// ---- Closing -----------------------------------------------------------------------

void LibraryManager::closeEvent(QCloseEvent *event)
{
    m_mainWindow.setEnabled(true);
    m_mainWindow.activateWindow();
    m_mainWindow.setFocus();
    event->accept();
}
