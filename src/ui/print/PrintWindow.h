#pragma once

#include "render/SheetPicture.h"
#include "ui/print/SheetPrinting.h"

#include <QPoint>
#include <QWidget>
#include <array>
#include <vector>

class Dialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

// The print window ("form_print"): an A4 sheet with its shadow in a scrolled
// viewport, one card or a block of copies on it that can be dragged for
// viewing, and a tool bar with the layout, the counts and the print button.
// Printing puts the card or block at the top-left corner of the printable area
// of the default printer, whatever its place on the sheet. A card with a back
// is printed on both sides of the paper: in one two-sided job where the printer
// can, else the fronts, then the backs once the person has put the printed
// sheets back in the tray turned over. All positions are
// kept in twips and shown at 15 twips per pixel.
class PrintWindow : public QWidget
{
    Q_OBJECT
public:
    static const QString kIdleCaption;
    static const QString kPrintingCaption;
    static const QString kPrintCaption;
    static const QString kCancelCaption;

    PrintWindow(SheetPicture picture, Dialogs &dialogs, QWidget *parent = nullptr);

    // Opens a print window for picture; the main window is hidden while it is
    // open when hideMainWindow is set, and shown again when it closes. The
    // window deletes itself when closed.
    static PrintWindow *open(SheetPicture picture, Dialogs &dialogs, QWidget &mainWindow, bool hideMainWindow);

    // Where printing goes; the default printer unless changed.
    void setPrinterSource(SheetPrinting::PrinterSource source) { m_printers = std::move(source); }

    const SheetPicture &picture() const { return m_picture; }
    bool isPrinting() const { return m_printing; }
    // The block of copies in the custom layout; empty in the one-card layout.
    std::optional<SheetCopies> copies() const;
    // The picture shown on the sheet (one card or block): its top-left corner
    // on the sheet and its outer size, in twips.
    QPoint shownTopLeft() const;
    QSize shownSize() const;

signals:
    // The window is closing; the main window comes back.
    void closing();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildSheet();
    void layOut();
    void setUpScrollBars();
    void placeSheet();
    void chooseLayout(int index);
    void onCountChanged(int index);
    void buildBlock();
    SheetCopies typedCounts() const;
    QPoint positionOf(const QLabel *picture) const;
    // Moves the card or the block to topLeft (twips on the sheet).
    void placePicture(QLabel *picture, QPoint topLeft);
    void dragPicture(QLabel *picture, QMouseEvent *event);
    void togglePrinting();
    void printPage();
    // Hands the sheets to printer as one job and follows it on a print queue;
    // false after the failure was reported.
    bool sendJob(QPrinter &printer, SheetPrinting::Sheets sheets);
    bool printsTwoSided(QPrinter &printer) const;
    void watchJob();
    void reportFailure(const QString &reason);
    void setPrintingState(bool printing);

    SheetPicture m_picture;
    Dialogs &m_dialogs;
    SheetPrinting::PrinterSource m_printers = SheetPrinting::defaultPrinter;
    bool m_printing = false;
    QTimer *m_jobWatch = nullptr;              // follows the jobs handed to a print queue
    std::vector<int> m_jobs;                   // not yet done
    QPoint m_pressPoint;                       // in the pressed picture, screen pixels
    QPoint m_cardTopLeft{0, 0};                // twips on the sheet
    QPoint m_blockTopLeft{0, 0};

    QWidget *m_toolBar = nullptr;
    std::array<QRadioButton *, 2> m_layouts{};
    std::array<QLineEdit *, 2> m_counts{};
    QLabel *m_countLabel = nullptr;
    std::array<QWidget *, 3> m_separators{};
    QCheckBox *m_colour = nullptr;
    QPushButton *m_print = nullptr;
    QWidget *m_viewport = nullptr;
    QWidget *m_sheet = nullptr;
    QLabel *m_sheetShadow = nullptr;
    QLabel *m_card = nullptr;
    QLabel *m_block = nullptr;
    QScrollBar *m_hBar = nullptr;
    QScrollBar *m_vBar = nullptr;
    QPushButton *m_corner = nullptr;
};
