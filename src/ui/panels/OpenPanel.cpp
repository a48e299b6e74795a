#include "ui/panels/OpenPanel.h"

#include "model/CardLibrary.h"
#include "ui/panels/PicturePreview.h"
#include "model/ProfileStore.h"
#include "render/PagePictures.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr int kMargin = 12;
constexpr int kInner = SidePanel::kWidth - 2 * kMargin;
const QString kReminder = QStringLiteral("提醒您：");

QLabel *label(const QString &name, const QString &text, int y, QWidget *parent)
{
    return Controls::label(name, text, {kMargin, y, kInner, 20}, parent);
}

} // namespace

OpenPanel::OpenPanel(ProfileStore &store, Dialogs &dialogs, PicturePreview &preview, QWidget *parent)
    : SidePanel(1, QStringLiteral("打开名片"), parent), m_store(store), m_dialogs(dialogs), m_preview(preview)
{
    const int top = contentTop();
    label(QStringLiteral("lab_open(0)"), QStringLiteral("从名片库中打开您的名片文件："), top, this);
    label(QStringLiteral("lab_open(1)"), QStringLiteral("名片分类："), top + 26, this);
    m_categories = new QComboBox(this);
    m_categories->setObjectName(QStringLiteral("open_FileType"));
    m_categories->setGeometry(kMargin, top + 48, kInner, 26);
    connect(m_categories, &QComboBox::activated, this, &OpenPanel::onCategoryChosen);

    label(QStringLiteral("lab_open(2)"), QStringLiteral("名片文件："), top + 82, this);
    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("open_FileList"));
    m_files->setGeometry(kMargin, top + 104, kInner, 200);
    // Every change of the chosen file runs the routine, by mouse or keyboard; a
    // click on the file already chosen runs it again (it may have changed on disk).
    // Focus alone, which makes an item current without choosing it, does not.
    connect(m_files, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_files->selectedItems().isEmpty()) onFileChosen();
    });
    connect(m_files, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item == m_chosenBeforePress) onFileChosen();
    });
    m_files->viewport()->installEventFilter(this);

    const char16_t *captions[] = {u">> 名片文件管理…", u"通过网络发送名片…", u">>设置为启动名片", u"打印当前名片文件…"};
    for (int i = 0; i < 4; ++i) {
        auto *b = Controls::place<QPushButton>(QStringLiteral("cmd_Open(%1)").arg(i),
                                               {kMargin, top + 316 + i * 36, kInner, 30}, this,
                                               QString::fromUtf16(captions[i]));
        connect(b, &QPushButton::clicked, this, [this, i] { onButtonClicked(i); });
        m_buttons[std::size_t(i)] = b;
    }
}

QString OpenPanel::categoryDir() const
{
    const auto dir = m_store.folder().libraryFile(ProgramFolder::Library::Cards, m_categories->currentText());
    return dir.value_or(QString());
}

QString OpenPanel::selectedFile() const
{
    const QListWidgetItem *item = m_files->currentItem();
    const QString dir = categoryDir();
    if (!item || dir.isEmpty()) return {};
    return dir + u'/' + item->text();
}

void OpenPanel::reload()
{
    m_categories->clear();
    m_categories->addItems(CardLibrary::categories(m_store.folder()));
    m_categories->setCurrentIndex(-1);
    if (m_categories->count() > 0) {
        m_categories->setPlaceholderText(QStringLiteral("↓请选择您的名片分类"));
    } else {
        m_categories->setPlaceholderText(QStringLiteral("还没有已创建名片分类"));
        m_files->setEnabled(false);
    }
    // The list stays empty until a category is chosen, so no start-up card can be set.
    m_files->clear();
    m_buttons[2]->setEnabled(false);
}

void OpenPanel::onCategoryChosen()
{
    m_files->clear();
    const QString dir = categoryDir();
    if (!dir.isEmpty()) m_files->addItems(CardLibrary::cardFiles(dir));
    m_files->setEnabled(m_files->count() > 0);
    m_buttons[1]->setEnabled(false);
    m_buttons[2]->setEnabled(false);
}

void OpenPanel::onFileChosen()
{
    m_buttons[1]->setEnabled(true);
    m_buttons[2]->setEnabled(true);
    const QString file = selectedFile();
    if (CardLibrary::isCardFile(file)) {
        m_buttons[1]->setEnabled(false);
        m_preview.hide();
        emit cardChosen();
        return;
    }
    m_buttons[2]->setEnabled(false);
    previewPicture(file);
}

void OpenPanel::previewPicture(const QString &file)
{
    m_preview.show();
    m_preview.raise();
    using Problem = PagePictures::ReadPicture::Problem;
    const bool present = QFileInfo(file).isFile();
    const PagePictures::ReadPicture read = present ? PagePictures::readPictureFile(file) : PagePictures::ReadPicture{};
    if (!present)
        m_dialogs.show(QStringLiteral("该文件不存在，或刚被删除…"), kReminder, Dialogs::Icon::Warning);
    else if (read.problem == Problem::TooLarge)
        m_dialogs.show(QStringLiteral("该图片文件太大，无法显示…"), kReminder, Dialogs::Icon::Warning);
    else if (read.problem == Problem::Unreadable)
        m_dialogs.show(QStringLiteral("该文件不是可以显示的图片…"), kReminder, Dialogs::Icon::Warning);
    else
        m_preview.setPicture(QPixmap::fromImage(read.image));
    m_preview.fitToWorkspace();
}

void OpenPanel::onButtonClicked(int index)
{
    switch (index) {
    case 0:
        emit libraryManagerRequested();
        break;
    case 1:
        if (m_dialogs.ask(QStringLiteral("本功能需要您的计算机开通上网功能！\r请确定您的计算机现正处于上网状态…"),
                          QStringLiteral("名片发送："), Dialogs::Icon::Question, Dialogs::Buttons::YesNo) !=
            Dialogs::Answer::No)
            emit sendRequested();
        break;
    case 2:
        setStartupCard();
        break;
    case 3:
        emit printRequested();
        break;
    }
}

bool OpenPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_files->viewport() && event->type() == QEvent::MouseButtonPress)
        m_chosenBeforePress = m_files->selectedItems().value(0);
    return SidePanel::eventFilter(watched, event);
}

void OpenPanel::setStartupCard()
{
    // Only a card file can be the start-up card: every start would read a picture as a card.
    const QListWidgetItem *item = m_files->currentItem();
    if (!item || !CardLibrary::isCardFile(item->text())) return;
    if (!m_store.writeSetting(QStringLiteral("card"), QStringLiteral("cardName"),
                              m_categories->currentText() + u'\\' + item->text())) {
        m_dialogs.show(QStringLiteral("启动名片没有更改！\r设置文件“penlark.dll”无法写入…"), kReminder,
                       Dialogs::Icon::Warning);
        return;
    }
    m_dialogs.show(QStringLiteral("您的启动名片更改成功！\r已经更改为：") + item->text(), kReminder,
                   Dialogs::Icon::Warning);
}
