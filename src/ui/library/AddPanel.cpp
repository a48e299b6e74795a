#include "ui/library/AddPanel.h"

#include "model/LibraryFiles.h"
#include "ui/app/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

constexpr int kMargin = 8;
constexpr int kInner = 199;
const QString kUp = QStringLiteral("..");

void label(const QString &name, const QString &text, int y, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(kMargin, y, kInner, 18);
}

bool canList(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

} // namespace

AddPanel::AddPanel(Dialogs &dialogs, QWidget *parent) : QGroupBox(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frm(5)"));
    label(QStringLiteral("lab_add(0)"), QStringLiteral("磁盘位置："), 20, this);
    m_volumes = new QComboBox(this);
    m_volumes->setObjectName(QStringLiteral("Drive1"));
    m_volumes->setGeometry(kMargin, 40, kInner, 24);
    m_volumes->addItems(browsableVolumes());
    connect(m_volumes, &QComboBox::currentIndexChanged, this, &AddPanel::onVolumeChosen);

    label(QStringLiteral("lab_add(1)"), QStringLiteral("目录位置："), 70, this);
    m_path = new QLabel(this);
    m_path->setObjectName(QStringLiteral("dirPath"));
    m_path->setGeometry(kMargin, 88, kInner, 18);
    m_folders = new QListWidget(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setGeometry(kMargin, 108, kInner, 120);
    connect(m_folders, &QListWidget::itemActivated, this, &AddPanel::onFolderActivated);

    label(QStringLiteral("lab_add(2)"), QStringLiteral("文件列表："), 234, this);
    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("File1"));
    m_files->setGeometry(kMargin, 254, kInner, 120);
    connect(m_files, &QListWidget::currentItemChanged, this, &AddPanel::onFileChosen);

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
