#pragma once

#include "model/Colour.h"
#include "model/ProgramFolder.h"
#include "ui/common/SidePanel.h"

#include <QSizeF>
#include <array>

class CardSession;
class Dialogs;
class LogoPreview;
class PageWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

// Panel 5 (frm_cz(5), "标志设置"): the logo's picture from the logo library,
// its size in millimetre or percent steps, a preview from which a colour can be
// taken for the page, front/back and visibility; below them the card's QR code,
// shown or hidden, and its size in millimetres.
class LogoPanel : public SidePanel
{
    Q_OBJECT
public:
    // Which dimension a size step changes; the third changes both in percent.
    enum class Dimension { Width, Height, Both };
    enum class Step { Grow, Shrink };
    // What a size step did: carried out, or refused because the logo is
    // already larger than the page (grow) or not larger than the step (shrink).
    enum class StepResult { Done, TooLarge, TooSmall };

    LogoPanel(CardSession &session, PageWidget &page, Dialogs &dialogs, ProgramFolder folder,
              QWidget *parent = nullptr);

    // Re-reads the categories and shows the logo as it is. Opening the panel
    // is no change of the card.
    void refresh();

    // One size step of n millimetres (or n percent for both dimensions) on a
    // logo box of size, on a page of pageSize (all twips).
    static StepResult stepSize(QSizeF &size, QSizeF pageSize, Dimension dimension, Step step, int n);
    // "当前标志大小：宽18,高18毫米" for a box of 1020 x 1020 twips.
    static QString sizeText(QSizeF size);

    QComboBox *categoryList() const { return m_categories; }
    QListWidget *fileList() const { return m_files; }
    QRadioButton *dimensionOption(int index) const { return m_dimensions[std::size_t(index)]; }
    QLabel *stepUnitLabel() const { return m_unit; }
    QLineEdit *stepBox() const { return m_stepBox; }
    QPushButton *sizeButton(int index) const { return m_sizeButtons[std::size_t(index)]; }
    QLabel *sizeLabel() const { return m_sizeLabel; }
    LogoPreview *preview() const { return m_preview; }
    QCheckBox *inFrontBox() const { return m_inFront; }
    QCheckBox *hideBox() const { return m_hide; }
    QCheckBox *qrCodeBox() const { return m_qrCode; }
    QLineEdit *qrCodeSizeBox() const { return m_qrCodeSize; }

signals:
    // ">>标志文件管理…": the library manager opens on the logo library.
    void libraryManagerRequested(ProgramFolder::Library library);
    // A colour taken from the preview is to become the page's solid colour.
    void pageColourTaken(Colour::Value colour);
    // A line for the main window's status line.
    void statusChanged(const QString &text);

private:
    void buildLibrary();
    void buildSizeFrame(int top);
    void buildPreview(int top);
    void buildQrCode(int top);

    void chooseCategory(int index);
    void chooseFile(QListWidgetItem *item);
    void onDimensionChosen(int index);
    void onStepChanged();
    void changeSize(Step step);
    void onHideToggled(bool ticked);
    Dimension dimension() const;
    void showSize();
    void selectLogo();
    void onQrCodeToggled(bool ticked);
    bool placeQrCode();
    void onQrCodeSizeEntered();
    void showQrCode();
    void noteBlankQrCode();

    CardSession &m_session;
    PageWidget &m_page;
    Dialogs &m_dialogs;
    ProgramFolder m_folder;
    QComboBox *m_categories = nullptr;
    QListWidget *m_files = nullptr;
    std::array<QRadioButton *, 3> m_dimensions{};
    QLabel *m_unit = nullptr;
    QLineEdit *m_stepBox = nullptr;
    std::array<QPushButton *, 2> m_sizeButtons{};
    QLabel *m_sizeLabel = nullptr;
    LogoPreview *m_preview = nullptr;
    QCheckBox *m_inFront = nullptr;
    QCheckBox *m_hide = nullptr;
    QCheckBox *m_qrCode = nullptr;
    QLineEdit *m_qrCodeSize = nullptr;
    bool m_qrCodeBlank = false; // the code the card shows could not be drawn
};
