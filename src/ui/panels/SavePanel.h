#pragma once

#include "model/CardDocument.h"
#include "model/ProfileStore.h"
#include "ui/common/SidePanel.h"

#include <array>

class CardSession;
class Dialogs;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Panel 2: save the card into a category of the card library, as a card file
// (".pnk"), a bitmap (".bmp") or the print-shop PDF (".pdf"), the last two
// optionally without the bleed, and create or delete categories.
class SavePanel : public SidePanel
{
    Q_OBJECT
public:
    SavePanel(CardSession &session, ProfileStore &store, Dialogs &dialogs, QWidget *parent = nullptr);

    // Prepares the panel (the main window shows it).
    void reset();
    // Fills in a category (when the library has it) and a name to start from.
    void propose(const QString &category, const QString &name);
    // What the panel is set to write.
    SaveTarget target() const;

    QComboBox *categoryList() const { return m_categories; }
    QLineEdit *nameField() const { return m_name; }
    QLineEdit *newCategoryField() const { return m_newCategory; }
    QPushButton *button(int index) const { return m_buttons[std::size_t(index)]; }
    QRadioButton *formatOption(int index) const { return m_formats[std::size_t(index)]; }
    QCheckBox *trimOption() const { return m_trim; }
    QCheckBox *cmykOption() const { return m_cmyk; }
    QGroupBox *frame(int index) const { return m_frames[std::size_t(index)]; }

signals:
    // A save succeeded; the card counts as saved.
    void saved();

private:
    void buildCategoryFrame();
    void buildNewCategoryFrame();
    void buildSaveFrame();
    void refillCategories(const QString &prompt);
    void showNewCategoryFrame(bool show);
    void onButtonClicked(int index);
    void deleteCategory();
    bool removeCategoryFolder(const QString &category) const;
    void toggleNewCategory();
    void createCategory();
    void saveCard();
    void saveAndReport();
    bool saveCardFile(QString *error);
    bool saveBitmap(QString *error);
    bool writeBitmap(CardSide side, const QString &file, QString *reason) const;
    QStringList filesToWrite() const;
    bool savePdf(QString *error);
    SaveFormat format() const;

    CardSession &m_session;
    ProfileStore &m_store;
    Dialogs &m_dialogs;
    QComboBox *m_categories = nullptr;
    QLineEdit *m_newCategory = nullptr;
    QLineEdit *m_name = nullptr;
    std::array<QRadioButton *, 3> m_formats{};
    QCheckBox *m_trim = nullptr;
    QCheckBox *m_cmyk = nullptr;  // the PDF in the press's CMYK
    QLabel *m_note = nullptr;
    std::array<QPushButton *, 4> m_buttons{};
    std::array<QGroupBox *, 3> m_frames{};
};
