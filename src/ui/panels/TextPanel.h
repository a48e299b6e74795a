#pragma once

#include "ui/common/SidePanel.h"

#include <array>

class CardSession;
class Dialogs;
class PageWidget;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QRadioButton;
class TextColourFrame;

// Panel 6: edits one of the eleven text objects at a time (content, face, size,
// style, visibility and colour). The object chooser's index is the only record
// of which object that is; with none chosen nothing the panel does reaches the
// page. Every edit applies at once and marks the card as changed; choosing an
// object only shows its values and marks the card only where that changed it
// (a text trimmed or fitted).
class TextPanel : public SidePanel
{
    Q_OBJECT
public:
    static constexpr int kMaxContent = 100;

    TextPanel(CardSession &session, PageWidget &page, Dialogs &dialogs, QWidget *parent = nullptr);

    // The object chosen, -1 while the chooser shows its prompt.
    int chosenObject() const;
    // Chooses text object index, as picking it in the chooser does, and shows
    // its values even when it was chosen already.
    void chooseObject(int index);
    // A press on text object index on the page: chooses it, shows its colour,
    // puts the caret after its label and selects the rest, fits it to the page.
    void takePressedObject(int index);
    // Shows the chosen object's values again, changing nothing: after a card
    // was put on the page the panel must not edit it with the old card's values.
    void showChosenObject();

    QComboBox *objectChooser() const { return m_chooser; }
    QPlainTextEdit *contentBox() const { return m_content; }
    QCheckBox *hideBox() const { return m_hide; }
    QComboBox *faceList() const { return m_faces; }
    QComboBox *sizeList() const { return m_sizes; }
    QRadioButton *styleOption(int index) const { return m_styles[std::size_t(index)]; }
    TextColourFrame *colourFrame() const { return m_colours; }

private:
    void buildObjectChoice();
    void buildContent();
    void buildEffects();
    void buildHints();
    void fillLists();
    void onObjectChosen();
    void showStyleOf(int index);
    void showValuesOf(int index);
    void setContent(const QString &text);
    bool limitContent();
    void onContentChanged();
    void fitObject(int index);
    void applyFace(int entry);
    void applySize(int entry);
    void applyStyle(int style);
    void applyHidden(bool hidden);
    void showFrame(int index);
    void edited();

    CardSession &m_session;
    PageWidget &m_page;
    QComboBox *m_chooser = nullptr;
    QPlainTextEdit *m_content = nullptr;
    QCheckBox *m_hide = nullptr;
    TextColourFrame *m_colours = nullptr;
    QComboBox *m_faces = nullptr;
    QComboBox *m_sizes = nullptr;
    QButtonGroup *m_styleGroup = nullptr;
    std::array<QRadioButton *, 4> m_styles{};
    // True while the panel shows an object's values: the handlers this runs
    // change nothing a person did not ask for.
    bool m_showing = false;
};
