#pragma once

#include "model/ProgramFolder.h"

#include <QImage>
#include <QWidget>
#include <array>

class AddPanel;
class CardSession;
class Dialogs;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The library manager ("Form_file"): the three libraries (backgrounds, logos,
// card files), their categories, the files of a category with a preview, adding
// pictures from disk, and handing the chosen file back to the editor.
//
// The opener creates the window, chooses the library with chooseLibrary() and
// shows it. While it is open the main window takes no input; closing it, by
// "×退出" or by the window's own close control, enables the main window again.
// The window deletes itself when closed.
//
// Applying a file ("cmd(6)"):
// - background: the card's page takes the picture as its library background;
// - logo: the card's logo takes the picture at its own size;
// - card file: cardOpenRequested() while the file is still selected, then closes;
// - picture card: pictureCardPrintRequested() with the picture, then closes.
class LibraryManager : public QWidget
{
    Q_OBJECT
public:
    using Library = ProgramFolder::Library;

    // Disables mainWindow until the manager closes.
    LibraryManager(const ProgramFolder &folder, CardSession &session, Dialogs &dialogs, QWidget &mainWindow);

    // Chooses a library as a click on its option does.
    void chooseLibrary(Library library);
    Library library() const { return m_library; }
    // The chosen category; empty before one is chosen.
    QString category() const;
    // The folder the file list shows: the category, or the library before one is chosen.
    const QString &listedFolder() const { return m_listedFolder; }
    // Full path of the file chosen in the file list; empty when none.
    QString selectedFile() const;
    bool isWide() const;

    QPushButton *button(int index) const { return m_buttons[std::size_t(index)]; }
    QRadioButton *libraryOption(int index) const { return m_options[std::size_t(index)]; }
    QListWidget *categoryList() const { return m_categories; }
    QListWidget *fileList() const { return m_files; }
    QLineEdit *nameField(int index) const { return m_names[std::size_t(index)]; }
    AddPanel *addPanel() const { return m_addPanel; }
    QLabel *preview() const { return m_preview; }

signals:
    // Categories or files of a library were created, renamed, deleted or added.
    void libraryChanged(ProgramFolder::Library library);
    // A file of the file list was deleted.
    void fileDeleted();
    // The page took a library background, the logo a library picture.
    void backgroundApplied();
    void logoApplied();
    // Open the selected card file (libraryManagerFile() names it meanwhile).
    void cardOpenRequested();
    // Print the selected picture card.
    void pictureCardPrintRequested(const QImage &picture);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Building.
    void buildCategoryArea();
    void buildFileArea();
    void buildAddArea();
    QPushButton *makeButton(int index, const QString &caption, QWidget *parent, const QRect &geometry);
    void applyColours();
    void setWide(bool wide);

    // Libraries and categories.
    void onLibraryOptionToggled(int index, bool on);
    void applyLibrary();
    void fillCategories(const QString &keep);
    void onCategoryChosen();
    void showCategoryStatus();
    void showCreateFrame();
    void createCategory();
    void toggleRename();
    void renameCategory();
    void deleteCategory();
    QString word() const;
    QString libraryDir() const;
    void showFolder(const QString &folder);
    void refreshFiles();

    // Files and preview.
    void onFileChosen();
    void resetPreview();
    void showPicture(const QImage &picture);
    void fitPreview();
    bool loadPreview(const QString &file);
    void deleteFile();
    void renameFile();
    void applyFile();
    void applyBackground();
    void applyLogo();
    QString reference() const;
    void toggleAdd();
    void addFile();
    void onFolderBrowsed(const QString &folder);
    void onFileBrowsed(const QString &file);
    void setStatus(const QString &text);
    void setFileButtonsEnabled(bool enabled);

    ProgramFolder m_folder;
    CardSession &m_session;
    Dialogs &m_dialogs;
    QWidget &m_mainWindow;
    Library m_library = Library::Cards;
    QString m_listedFolder;
    QImage m_picture;

    std::array<QPushButton *, 9> m_buttons{};
    std::array<QRadioButton *, 3> m_options{};
    std::array<QGroupBox *, 6> m_frames{};
    std::array<QLineEdit *, 2> m_names{};
    QLabel *m_renameTip = nullptr;
    QFrame *m_bar = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_exit = nullptr;
    QListWidget *m_categories = nullptr;
    QListWidget *m_files = nullptr;
    QFrame *m_previewBox = nullptr;
    QLabel *m_preview = nullptr;
    QLabel *m_previewNotice = nullptr;
    AddPanel *m_addPanel = nullptr;
};
