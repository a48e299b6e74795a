#pragma once

#include "model/CardReader.h"
#include "model/CardSession.h"
#include "model/IniFile.h"
#include "model/ProfileStore.h"
#include "model/ProgramFolder.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>

class BatchWindow;
class TemplateWindow;
class CardDrop;
class CommandBar;
class Dialogs;
class EditHistory;
class NewCardPanel;
class OpenPanel;
class PicturePreview;
class PrintPanel;
class PrintWindow;
class SavePanel;
class SendWindow;
class PageWidget;
class QLabel;
class QPushButton;
class ShowAlignPanel;
class SidePanel;
class TextPanel;
class HelpPanel;
class HelpView;
class LibraryManager;
class LinePanel;
class LogoPanel;
class PagePanel;

// The editor window ("Form_main"): command bar along the top, the workspace with
// the page on the left, one of eleven side panels on the right, the status line
// along the bottom. It holds the card session for the life of the program and
// tells the profile routines which card file is meant.
class MainWindow : public QWidget, public CardFileContext
{
    Q_OBJECT
public:
    static constexpr int kWidth = 778;
    static constexpr int kHeight = 620;
    static QString productBanner();

    // Lays the window out and puts the start-up card (or the default card) on the page.
    MainWindow(ProgramFolder folder, Dialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    CardSession &session() { return m_session; }
    ProfileStore &store() { return m_store; }
    PageWidget *page() const { return m_page; }
    EditHistory *history() const { return m_history; }

    // Shows side panel n (0..10) and hides the other ten.
    void showPanel(int n);
    int visiblePanel() const;

    // New card and start-up card.
    void showStartupCard();
    void applyDefaultCard();
    void startNewCard();
    void clearStartupCard();
    void showCardTitle();
    // Reads the card file named by the card source onto the page. A file that
    // vanished or cannot be read is reported and leaves the page as it was (false).
    bool openFile();
    // Sets the card source, opens its file and captions the window; a file that
    // cannot be read leaves the card source as it was (false).
    bool openCardFrom(CardSource source);
    // Opens a card file from anywhere (the command line, another start, a drop)
    // through openCardFrom; a file that cannot be read, or is no card, leaves
    // everything as it was. A picture is asked about as a dropped one is.
    bool openOutsideFile(const QString &path);
    // A file handed over by a later start. One that comes while a question or
    // message is open waits until it is closed, and a later one replaces it
    // (opening it would replace that card at once), so a burst of names opens
    // the last after one question.
    void takeHandedOverFile(const QString &path);
    // Centres the page and its shadow, shows the banner, draws marks and places the trim guides.
    void layOutPage();

    // The side switch beside the page: shows a side of a two-sided card (not an
    // edit), or gives a one-sided card its back (an edit) and shows it.
    void showCardSide(CardSide side);
    void addCardBack();
    // Drops the back (an edit; the page panel has asked first) and shows the front.
    void removeCardBack();
    QPushButton *sideButton(CardSide side) const;

    // Clicks on the page and on the grey workspace around it.
    void onPageDoubleClicked();
    void onWorkspaceClicked();
    void onWorkspaceDoubleClicked();

    // The routines behind the commands.
    void showOpenPanel();
    void showSavePanel();
    void showPrintPanel();
    // Hides this window and opens the print window for the picture card in the
    // preview, or else the card on the page.
    void openPrintWindow(bool exactSize);
    PrintWindow *printWindow() const;
    void showPagePanel();
    void showLogoPanel();
    void showTextPanel();
    void showLinePanel();
    void showShowHidePanel();
    void showHelpPanel();
    void showAboutPanel();
    // Opens the library manager on a library (the main window is disabled meanwhile).
    void showLibraryManager(ProgramFolder::Library library);
    // The open library manager; null when it is closed.
    LibraryManager *libraryManager() const;
    // Opens the send window for the file chosen in the open panel; the main
    // window takes no input until it is closed.
    void showSendWindow();
    // Opens the batch window on the card on the page; the main window takes no
    // input until it is closed.
    void showBatchWindow();
    // The open batch window; null when it is closed.
    BatchWindow *batchWindow() const;
    // Opens the window of templates to start a new card from.
    void showTemplateWindow();
    // The template window; null before it is first opened.
    TemplateWindow *templateWindow() const { return m_templateWindow; }

    // CardFileContext
    CardSource cardSource() const override { return m_session.cardSource; }
    SaveTarget saveTarget() const override;
    QString openPanelFile() const override;
    QString libraryManagerFile() const override;
    QString outsideFile() const override { return m_outsideFile; }
    QString templateFile() const override { return m_templateFile; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOutWindow();
    void placePanels();
    void buildPanels();
    void onCommandPressed(int command);
    void onCommandReleased(int command);
    void runCommand(int command);
    // True when the page may be replaced: it holds no unsaved edits, or the user
    // answers No to saving them. Yes opens the save panel instead.
    bool mayDropEdits();
    // Reads the card file named by the card source once, or says why it cannot.
    std::optional<IniFile> readCardFile();
    // Shows the session's new card on the page and in the panels; it counts as saved.
    void showCardOnPage();
    void reportProblems(const std::vector<CardReader::Problem> &problems);
    void showMissingPicture(const CardReader::Problem &problem);
    void setStatus(const QString &text);
    void placePage();
    void connectPage();
    void onObjectPressed(int id);
    void pressText(int index);
    bool takeAlignModePress();
    void connectCardPanels();
    void connectLibraryManager();
    void openLibraryCard();
    void onLibraryChanged(ProgramFolder::Library library);
    bool isSidePanel(QObject *object) const;
    void refreshSwatches();
    void buildPageAndLogoPanels();
    void connectHistory();
    void showRestoredCard();
    void buildSideSwitch();
    void onSideKey(std::optional<CardSide> side);
    // The panels, the page, the side switch and the caption show the side now shown.
    void showSideOnPage();
    void showSideSwitch();
    // The caption: the card's name, and which side is shown when it has two.
    void setCardName(const QString &name);
    void showCaption();
    void acceptDroppedFiles();
    void showWindowAbove(QWidget *window);
    void showAppliedLogo();
    void openWaitingFile();
    bool readOutsideFile(const QString &path);
    void showMissingOutsideFile(const QString &path);
    // Puts a copy of the template on the page as a new card, after the
    // unsaved-edits question; saving proposes the template's category and name.
    void useTemplate(const QString &path);

    ProgramFolder m_folder;
    Dialogs &m_dialogs;
    CardSession m_session;
    ProfileStore m_store;

    CommandBar *m_commandBar = nullptr;
    QWidget *m_workspace = nullptr;
    PageWidget *m_page = nullptr;
    QLabel *m_pageShadow = nullptr;
    QLabel *m_status = nullptr;
    HelpView *m_helpView = nullptr;
    HelpPanel *m_helpPanel = nullptr;
    NewCardPanel *m_newPanel = nullptr;
    OpenPanel *m_openPanel = nullptr;
    SavePanel *m_savePanel = nullptr;
    PrintPanel *m_printPanel = nullptr;
    QPointer<PrintWindow> m_printWindow;
    PicturePreview *m_preview = nullptr;
    ShowAlignPanel *m_showPanel = nullptr;
    TextPanel *m_textPanel = nullptr;
    QPointer<LibraryManager> m_libraryManager;
    LinePanel *m_linePanel = nullptr;
    PagePanel *m_pagePanel = nullptr;
    LogoPanel *m_logoPanel = nullptr;
    std::array<QWidget *, 11> m_panels{};
    QPointer<SendWindow> m_sendWindow;
    EditHistory *m_history = nullptr;
    QPointer<BatchWindow> m_batchWindow;
    bool m_workspaceDoubleClicked = false;
    QString m_outsideFile;
    TemplateWindow *m_templateWindow = nullptr;
    // The template the card on the page was started from, until it is saved as a card file.
    QString m_templateFile;
    QString m_historyStatus;    // what the edit history last put on the status line
    CardDrop *m_drop = nullptr;
    std::array<QPushButton *, 2> m_sideButtons{}; // front, back ("添加反面" while there is none)
    QString m_cardName;         // what the caption names
    QString m_waitingFile;      // handed over, not yet opened
    bool m_openingWaitingFile = false;
    QTimer m_modalWait;         // looks again for the end of a message the file waits for
};
