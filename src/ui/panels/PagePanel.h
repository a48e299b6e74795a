#pragma once

#include "model/ProgramFolder.h"
#include "ui/common/SidePanel.h"
#include "ui/panels/ColourPicker.h"

#include <QImage>
#include <array>

class CardSession;
class Dialogs;
class PaletteStrip;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Panel 4 (frm_cz(4), "页面设置"): page size and orientation, the fill (solid
// colour or gradient with its angle), the fifteen built-in background pictures,
// the option that removes the picture, and the crop-mark and shadow display
// options; below them "删除反面", which drops the back of a two-sided card
// after asking.
//
// The solid colour is the page's bgColor, the gradient colours and angle are
// the card's; the swatch lab_page(12) holds the solid colour the panel returns
// to whenever it redraws a solid page. The held picture is the page view's
// background, shown unless the page view marks it removed.
class PagePanel : public SidePanel
{
    Q_OBJECT
public:
    PagePanel(CardSession &session, Dialogs &dialogs, QWidget *parent = nullptr);

    // Writes every control from the card just put on the page (opened, new or
    // default card). The page keeps its stored size; the size boxes show it in
    // whole millimetres.
    void showCard();
    // The solid-colour swatch shows the page colour again (it can change elsewhere).
    void refreshSwatch();

    // A colour taken from the logo preview: the page turns to this solid colour.
    void takeLogoColour(Colour::Value colour);

    QLineEdit *sizeBox(int index) const { return m_sizeBoxes[std::size_t(index)]; }
    QLabel *trimmedSizeLabel(int index) const { return m_trimmedLabels[std::size_t(index)]; }
    QRadioButton *orientationOption(int index) const { return m_orientations[std::size_t(index)]; }
    QRadioButton *fillOption(int index) const { return m_fills[std::size_t(index)]; }
    QRadioButton *gradientTarget(int index) const { return m_gradientTargets[std::size_t(index)]; }
    ColourSwatch *gradientView(int index) const { return m_gradientViews[std::size_t(index)]; }
    ColourSwatch *solidSwatch() const { return m_solidSwatch; }
    PaletteStrip *strip() const { return m_strip; }
    CustomColourButton *colourButton(int index) const { return m_colourButtons[std::size_t(index)]; }
    QLineEdit *angleBox() const { return m_angleBox; }
    QLabel *thumbnail(int index) const { return m_thumbnails[std::size_t(index)]; }
    QCheckBox *removePictureBox() const { return m_removePicture; }
    QCheckBox *hideCropMarksBox() const { return m_hideCropMarks; }
    QCheckBox *hideShadowBox() const { return m_hideShadow; }
    QPushButton *removeBackButton() const { return m_removeBack; }

signals:
    // ">>选择其它底图文件…": the library manager opens on the background library.
    void libraryManagerRequested(ProgramFolder::Library library);
    // The page shadow is shown or hidden ("取消显示").
    void shadowShown(bool shown);
    // "删除反面" was pressed and the user agreed: the card's back is to go.
    void removeBackRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSize(int top);
    void buildFill(int top);
    void buildSolidFrame(QRect geometry);
    void buildGradientFrame(QRect geometry);
    void buildPictures(int top);
    void buildOptions(int top);
    void askToRemoveBack();

    void selectFirstDigits(int index);
    void onSizeChanged(int index);
    bool takeSize(int index);
    void onOrientationChosen(int index);
    void onFillChosen(int index);
    void onAngleChanged();
    void pickColour(Colour::Value colour);
    void takeSolidColour(Colour::Value colour);
    void takeGradientColour(Colour::Value colour);
    void onRemovePictureToggled(bool ticked);
    void onHideCropMarksToggled(bool ticked);
    void chooseBuiltInPicture(int index);
    // Shows a background picture on the page and holds it.
    void showPicture(BackgroundKind kind, const QString &reference, const QImage &picture);

    void setColourOption(BackgroundKind option);
    void setGradientColour(int index, Colour::Value colour);
    int gradientTargetIndex() const;
    void hideHeldPicture();
    void fitTextsToPage();
    void refreshSolidPage();
    void changed();
    void syncWithPage();
    void redraw();

    CardSession &m_session;
    Dialogs &m_dialogs;
    // The millimetres last taken from each size box; the orientation options apply them.
    std::array<double, 2> m_takenSizes{96, 60};
    std::array<QLineEdit *, 2> m_sizeBoxes{};
    std::array<QLabel *, 2> m_trimmedLabels{};
    std::array<QRadioButton *, 2> m_orientations{};
    std::array<QRadioButton *, 2> m_fills{};
    std::array<QRadioButton *, 2> m_gradientTargets{};
    std::array<ColourSwatch *, 2> m_gradientViews{};
    std::array<CustomColourButton *, 2> m_colourButtons{};
    std::array<QLabel *, 15> m_thumbnails{};
    QGroupBox *m_solidFrame = nullptr;
    QGroupBox *m_gradientFrame = nullptr;
    ColourSwatch *m_solidSwatch = nullptr;
    PaletteStrip *m_strip = nullptr;
    QLineEdit *m_angleBox = nullptr;
    QCheckBox *m_removePicture = nullptr;
    QCheckBox *m_hideCropMarks = nullptr;
    QCheckBox *m_hideShadow = nullptr;
    QPushButton *m_removeBack = nullptr;
};
