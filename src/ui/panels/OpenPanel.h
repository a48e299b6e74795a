#pragma once

#include "model/ProgramFolder.h"
#include "ui/common/SidePanel.h"

#include <array>

class Dialogs;
class PicturePreview;
class ProfileStore;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Panel 1: open a card from the card library. Choosing a card file (".pnk")
// opens it at once; choosing a picture only previews it over the workspace.
class OpenPanel : public SidePanel
{
    Q_OBJECT
public:
    OpenPanel(ProfileStore &store, Dialogs &dialogs, PicturePreview &preview, QWidget *parent = nullptr);

    // Prepares the panel (the main window shows it).
    void reload();
    // Lists the chosen category's files again (the library manager changed them).
    void refreshFiles() { onCategoryChosen(); }
    // Full path of the chosen file; empty when none.
    QString selectedFile() const;

    QComboBox *categoryList() const { return m_categories; }
    QListWidget *fileList() const { return m_files; }
    QPushButton *button(int index) const { return m_buttons[std::size_t(index)]; }

signals:
    // A card file was chosen: the main window reads it onto the page.
    void cardChosen();
    void libraryManagerRequested();
    void sendRequested();
    void printRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onCategoryChosen();
    void onFileChosen();
    void onButtonClicked(int index);
    void previewPicture(const QString &file);
    void setStartupCard();
    QString categoryDir() const;

    ProfileStore &m_store;
    Dialogs &m_dialogs;
    PicturePreview &m_preview;
    QComboBox *m_categories;
    QListWidget *m_files;
    std::array<QPushButton *, 4> m_buttons{};
    const QListWidgetItem *m_chosenBeforePress = nullptr;
};
