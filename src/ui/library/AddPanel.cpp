#include "ui/library/AddPanel.h"

#include "model/LibraryFiles.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

constexpr int kMargin = 8;
constexpr int kInner = 199;
const QString kUp = QStringLiteral("..");

using Controls::place;

bool canList(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

} // namespace

AddPanel::AddPanel(Dialogs &dialogs, QWidget *parent) : QGroupBox(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frm(5)"));
    Controls::label(QStringLiteral("lab_add(0)"), QStringLiteral("磁盘位置："), {kMargin, 20, kInner, 18}, this);
    m_volumes = place<QComboBox>(QStringLiteral("Drive1"), {kMargin, 40, kInner, 24}, this);
    m_volumes->addItems(browsableVolumes());
    connect(m_volumes, &QComboBox::currentIndexChanged, this, &AddPanel::onVolumeChosen);

    Controls::label(QStringLiteral("lab_add(1)"), QStringLiteral("目录位置："), {kMargin, 70, kInner, 18}, this);
    m_path = Controls::label(QStringLiteral("dirPath"), QString(), {kMargin, 88, kInner, 18}, this);
    m_folders = place<QListWidget>(QStringLiteral("Dir1"), {kMargin, 108, kInner, 120}, this);
    connect(m_folders, &QListWidget::itemActivated, this, &AddPanel::onFolderActivated);

    Controls::label(QStringLiteral("lab_add(2)"), QStringLiteral("文件列表："), {kMargin, 234, kInner, 18}, this);
    m_files = place<QListWidget>(QStringLiteral("File1"), {kMargin, 254, kInner, 120}, this);
    connect(m_files, &QListWidget::currentItemChanged, this, &AddPanel::onFileChosen);
    // Another way to the file: the desktop's own dialog, beside the list's label.
    m_browse = place<QPushButton>(QStringLiteral("cmd_browse"), {kMargin + kInner - 76, 231, 76, 22}, this);
    m_browse->setText(QStringLiteral("浏览…"));
    m_browse->setToolTip(QStringLiteral("在系统的文件对话框中选择要添加的图片"));
    connect(m_browse, &QPushButton::clicked, this, &AddPanel::browse);

    m_folder = QDir::homePath();
    listFolder();
}

QStringList AddPanel::browsableVolumes()
{
    QStringList volumes = {QDir::homePath()};
    const auto add = [&volumes](const QString &root) {
        if (!volumes.contains(root)) volumes.append(root);
    };
    add(QDir::rootPath());
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        // A file mounted on its own (as containers do with /etc/hosts) is no volume to browse.
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir() &&
            LibraryFiles::isBrowsableVolume(volume.rootPath(), volume.fileSystemType()))
            add(volume.rootPath());
    }
    return volumes;
}

bool AddPanel::openFolder(const QString &path)
{
    const QString folder = QDir::cleanPath(path);
    if (!canList(folder)) {
        m_dialogs.show(QStringLiteral("无法读取“") + QDir::toNativeSeparators(folder) +
                           QStringLiteral("”！\r该位置没有准备好，或者您没有读取它的权限…"),
                       QStringLiteral("提醒您："), Dialogs::Icon::Critical);
        return false;
    }
    m_folder = folder;
    listFolder();
    emit folderChanged(m_folder);
    return true;
}

QString AddPanel::selectedFile() const
{
    const QListWidgetItem *item = m_files->currentItem();
    return item ? QDir(m_folder).filePath(item->text()) : QString();
}

void AddPanel::chooseFile(const QString &path)
{
    const QFileInfo file(path);
    if (!openFolder(file.path())) return;
    const QList<QListWidgetItem *> items = m_files->findItems(file.fileName(), Qt::MatchExactly);
    if (!items.isEmpty()) m_files->setCurrentItem(items.first());
}

void AddPanel::browse()
{
    const QString filter = QStringLiteral("图片文件 (") + LibraryFiles::pictureNameFilters().join(u' ') + u')';
    const QString file = m_dialogs.chooseFile(QStringLiteral("选择要添加的图片"), m_folder, filter);
    if (!file.isEmpty()) chooseFile(file);
}

void AddPanel::onVolumeChosen(int index)
{
    if (index < 0) return;
    if (openFolder(m_volumes->itemText(index))) {
        m_volume = index;
        return;
    }
    const QSignalBlocker blocker(m_volumes);
    m_volumes->setCurrentIndex(m_volume);
}

void AddPanel::onFolderActivated(QListWidgetItem *item)
{
    const QDir folder(m_folder);
    openFolder(item->text() == kUp ? QFileInfo(m_folder).path() : folder.filePath(item->text()));
}

void AddPanel::onFileChosen()
{
    if (m_files->currentItem()) emit fileChosen(selectedFile());
}

void AddPanel::listFolder()
{
    const QSignalBlocker folderBlocker(m_folders);
    const QSignalBlocker fileBlocker(m_files);
    m_path->setText(QDir::toNativeSeparators(m_folder));
    m_path->setToolTip(m_path->text());
    m_folders->clear();
    if (!QDir(m_folder).isRoot()) m_folders->addItem(kUp);
    m_folders->addItems(QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    m_files->clear();
    m_files->addItems(LibraryFiles::pictures(m_folder));
}
