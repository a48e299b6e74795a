#pragma once

#include "card/CardSession.h"
#include "card/ProfileStore.h"
#include "card/ProgramFolder.h"

#include <QWidget>
#include <array>

class CommandBar;
class Dialogs;
class NewCardPanel;
class OpenPanel;
class PicturePreview;
class SavePanel;
class PageWidget;
class QLabel;
class ShowAlignPanel;
class SidePanel;
class HelpPanel;
class HelpView;

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

    // Shows side panel n (0..10) and hides the other ten.
    void cz_Show(int n);
    int visiblePanel() const;

    // New card and start-up card.
    void SetMyCard();
    void myCard();
    void new_click();
    void chk_new_Click();
    void cmd_setStart_Click();
    void showCardTitle();
    // Reads the card file named by the card source onto the page.
    void openFile();
    // Centres the page and its shadow, shows the banner, draws marks and places the trim guides.
    void LCard();

    // Clicks on the page and on the grey workspace around it.
    void Card_DblClick();
    void bg_Click();
    void bg_DblClick();

    // The routines behind the commands.
    void open_click();
    void save_click();
    void print_click();
    void Card_Click();
    void info_logo_click();
    void txt_MB();
    void info_line_click();
    void show_click();
    void help_click();
    void about_click();

    // CardFileContext
    CardSource cardSource() const override { return m_session.cardSource; }
    SaveTarget saveTarget() const override;
    QString openPanelFile() const override;
    QString libraryManagerFile() const override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sII();
    void frmCZ();
    void buildPanels();
    void menu_MouseDown(int command);
    void menu_MouseUp(int command);
    void runCommand(int command);
    void setStatus(const QString &text);
    void placePage();
    void connectPage();
    void objectPressed(int id);
    bool inAlignMode();
    void connectCardPanels();

    ProgramFolder m_folder;
    Dialogs &m_dialogs;
    CardSession m_session;
    ProfileStore m_store;

    CommandBar *m_menu = nullptr;
    QWidget *m_bg = nullptr;
    PageWidget *m_page = nullptr;
    QLabel *m_shadow = nullptr;
    QWidget *m_info = nullptr;
    QLabel *m_status = nullptr;
    HelpView *m_helpView = nullptr;
    HelpPanel *m_helpPanel = nullptr;
    NewCardPanel *m_newPanel = nullptr;
    OpenPanel *m_openPanel = nullptr;
    SavePanel *m_savePanel = nullptr;
    PicturePreview *m_preview = nullptr;
    ShowAlignPanel *m_showPanel = nullptr;
    std::array<QWidget *, 11> m_panels{};
    bool m_bgDoubleClicked = false;
};
