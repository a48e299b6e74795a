#pragma once

#include <QGroupBox>

class Dialogs;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The library manager's add area ("frm(5)"): the volumes a person browses
// ("Drive1"), the folders of the current folder ("Dir1") and its pictures
// ("File1"). A volume or folder that cannot be read is reported and left.
class AddPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit AddPanel(Dialogs &dialogs, QWidget *parent = nullptr);

    // The home folder, the root folder and the mounted data and removable volumes.
    static QStringList browsableVolumes();

    // Moves the folder list to path; false (after a message) when it cannot be read.
    bool openFolder(const QString &path);
    const QString &currentFolder() const { return m_folder; }
    // Full path of the chosen picture; empty when none.
    QString selectedFile() const;

    QComboBox *volumeList() const { return m_volumes; }
    QListWidget *folderList() const { return m_folders; }
    QListWidget *fileList() const { return m_files; }
    QPushButton *browseButton() const { return m_browse; }

signals:
    // Another folder is shown.
    void folderChanged(const QString &path);
    // A picture of the folder was chosen.
    void fileChosen(const QString &path);

private:
    // Lists the folder of path and chooses path in the file list, as a click on
    // it does; a folder that cannot be read is reported instead.
    void chooseFile(const QString &path);
    void onVolumeChosen(int index);
    void onFolderActivated(QListWidgetItem *item);
    void onFileChosen();
    void listFolder();
    void browse();

    Dialogs &m_dialogs;
    QString m_folder;
    int m_volume = 0; // the volume chosen last that could be read
    QComboBox *m_volumes;
    QLabel *m_path;
    QListWidget *m_folders;
    QListWidget *m_files;
    QPushButton *m_browse;
};
