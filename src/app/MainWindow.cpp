#include "MainWindow.h"

#include "AboutPanel.h"
#include "CommandBar.h"
#include "Dialogs.h"
#include "HelpPanel.h"
#include "HelpView.h"
#include "SidePanel.h"
#include "WidgetColours.h"
#include "card/CardReading.h"
#include "card/NewCardPanel.h"
#include "card/OpenPanel.h"
#include "card/PicturePreview.h"
#include "card/SavePanel.h"
#include "render/PageGeometry.h"
#include "render/PageWidget.h"
#include "render/ShowAlignPanel.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>

namespace {

constexpr int kStatusHeight = 26;
constexpr int kPanelOverlap = 5;   // panels reach 80 twips up into the command bar
constexpr int kShadowOffset = 4;   // 60 twips
const QString kReminder = QStringLiteral("提醒您：");
const QString kModifiedQuestion = QStringLiteral("系统检测到当前的名片已被您修改过，\r要保存当前被修改过的名片吗？");

QString captionFor(const QString &name) { return name + QStringLiteral(" - Penlark 3.0") + u'版'; }

// Titles of the panels that are frames of their own here.
struct PanelTitle {
    int index;
    const char16_t *title;
};
constexpr PanelTitle kPanelTitles[] = {
    {3, u"打印名片"}, {4, u"页面设置"},
    {5, u"标志设置"}, {6, u"文字设置"}, {7, u"直线设置"},
};

} // namespace

QString MainWindow::productBanner()
{
    return QStringLiteral("Penlark 3.0 名片设计 —— 拖动对象排版，单击对象设置，所见即所得");
}

MainWindow::MainWindow(ProgramFolder folder, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_folder(std::move(folder)), m_dialogs(dialogs), m_store(m_folder, *this)
{
    setObjectName(QStringLiteral("Form_main"));
    sII();
    buildPanels();
    frmCZ();
    SetMyCard();
    LCard();
    m_session.cardSaved = true;
}

MainWindow::~MainWindow() = default;

void MainWindow::sII()
{
    setFixedSize(kWidth, kHeight);
    usePanelColour(*this);
    setWindowTitle(QStringLiteral("Penlark3.0"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/app_icon.png")));

    m_menu = new CommandBar(this);
    m_menu->setGeometry(0, 0, kWidth, m_menu->height());
    connect(m_menu, &CommandBar::tipChanged, this, &MainWindow::setStatus);
    connect(m_menu, &CommandBar::commandPressed, this, &MainWindow::menu_MouseDown);
    connect(m_menu, &CommandBar::commandReleased, this, &MainWindow::menu_MouseUp);

    const int menuHeight = m_menu->height();
    m_bg = new QWidget(this);
    m_bg->setObjectName(QStringLiteral("bg"));
    fillBackground(*m_bg, palette().color(QPalette::Dark));
    m_bg->setGeometry(0, menuHeight, kWidth - SidePanel::kWidth, kHeight - (kStatusHeight + menuHeight) - 1);

    m_shadow = new QLabel(m_bg);
    m_shadow->setObjectName(QStringLiteral("card_bg"));
    fillBackground(*m_shadow, Qt::black);
    m_page = new PageWidget(m_session, m_bg);
    m_bg->installEventFilter(this);
    connectPage();

    m_info = new QWidget(this);
    m_info->setObjectName(QStringLiteral("frm_info"));
    m_info->setGeometry(0, kHeight - kStatusHeight, kWidth, kStatusHeight);
    m_status = new QLabel(m_info);
    m_status->setObjectName(QStringLiteral("cz_info"));
    m_status->setText(QStringLiteral("操作提示"));
}

void MainWindow::buildPanels()
{
    m_newPanel = new NewCardPanel(this);
    connect(m_newPanel, &NewCardPanel::restoreDefaultTicked, this, &MainWindow::chk_new_Click);
    connect(m_newPanel, &NewCardPanel::chooseStartupCard, this, &MainWindow::cmd_setStart_Click);
    m_panels[0] = m_newPanel;
    m_preview = new PicturePreview(m_bg);
    m_openPanel = new OpenPanel(m_store, m_dialogs, *m_preview, this);
    m_panels[1] = m_openPanel;
    m_savePanel = new SavePanel(m_session, m_store, m_dialogs, this);
    m_panels[2] = m_savePanel;
    connectCardPanels();
    for (const PanelTitle &p : kPanelTitles)
        m_panels[std::size_t(p.index)] = new SidePanel(p.index, QString::fromUtf16(p.title), this);
    m_showPanel = new ShowAlignPanel(m_session, *m_page, this);
    m_panels[8] = m_showPanel;
    m_helpView = new HelpView(m_bg);
    m_helpView->hide();
    m_helpPanel = new HelpPanel(m_store, *m_helpView, *m_status, this);
    m_panels[9] = m_helpPanel;
    m_panels[10] = new AboutPanel(this);
}

void MainWindow::frmCZ()
{
    const int top = m_menu->height() - kPanelOverlap;
    const int height = kHeight - (kStatusHeight + m_menu->height()) + 4;
    for (QWidget *panel : m_panels) {
        panel->setGeometry(m_bg->width(), top, SidePanel::kWidth, height);
        panel->hide();
    }
    m_menu->raise();
    for (QWidget *panel : m_panels) panel->raise();
    m_panels[0]->show();
}

void MainWindow::cz_Show(int n)
{
    for (std::size_t i = 0; i < m_panels.size(); ++i) m_panels[i]->setVisible(int(i) == n);
}

int MainWindow::visiblePanel() const
{
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        if (m_panels[i]->isVisibleTo(this)) return int(i);
    return -1;
}

void MainWindow::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->adjustSize();
    m_status->move((kWidth - m_status->width()) / 2, (kStatusHeight - m_status->height()) / 2);
}

void MainWindow::placePage()
{
    const QSize page = m_page->size();
    const auto placed = PageGeometry::centredPage(m_bg->size(), page);
    m_page->move(placed.page.toPoint());
    m_shadow->setGeometry(QRect(m_page->pos() + QPoint(kShadowOffset, kShadowOffset), page));
    m_shadow->lower();
}

void MainWindow::LCard()
{
    placePage();
    setStatus(productBanner());
    m_page->borderBJ();
}

// ---- The page and the workspace ---------------------------------------------

void MainWindow::connectPage()
{
    connect(m_page, &PageWidget::pageResized, this, &MainWindow::placePage);
    connect(m_page, &PageWidget::objectPressed, this, &MainWindow::objectPressed);
    connect(m_page, &PageWidget::alignModePressed, this, &MainWindow::inAlignMode);
    connect(m_page, &PageWidget::objectReleased, this, [this] { m_session.cardSaved = false; });
    connect(m_page, &PageWidget::guidePressed, this, [this] {
        cz_Show(8);
        m_showPanel->opt_show_Click(1);
    });
    connect(m_page, &PageWidget::pageClicked, this, &MainWindow::Card_Click);
    connect(m_page, &PageWidget::pageDoubleClicked, this, &MainWindow::Card_DblClick);
}

void MainWindow::connectCardPanels()
{
    connect(m_openPanel, &OpenPanel::cardChosen, this, [this] {
        m_session.cardSource = CardSource::OpenPanelList;
        openFile();
        showCardTitle();
    });
    connect(m_openPanel, &OpenPanel::printRequested, this, &MainWindow::print_click);
    connect(m_savePanel, &SavePanel::saved, this, [this] {
        if (m_session.exitAfterSave) close();
    });
}

bool MainWindow::inAlignMode()
{
    // While the alignment guide is shown, presses only choose the align option.
    if (!m_page->alignMode()) return false;
    m_showPanel->opt_show_Click(1);
    return true;
}

void MainWindow::objectPressed(int id)
{
    if (id == PageObjects::kLogo)
        info_logo_click();
    else if (id == PageObjects::kLine)
        info_line_click();
    else
        txt_MB();
    m_page->sp_icon_Show(id);
}

void MainWindow::Card_DblClick()
{
    cz_Show(8);
    m_showPanel->opt_show_Click(0);
}

void MainWindow::bg_Click()
{
    if (m_preview->isVisible()) return;
    m_page->selectionFrame()->hide();
    setStatus(productBanner());
}

void MainWindow::bg_DblClick()
{
    if (m_preview->isVisible()) return;
    cz_Show(8);
    m_showPanel->opt_show_Click(1);
    setStatus(QStringLiteral("蓝色线为对齐基线，可移动改变其位置；移动需要对齐的对象至蓝色线即可自动对齐；"
                             "页面上双击即退出对齐进入显示与隐藏控制…"));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_bg) return QWidget::eventFilter(watched, event);
    // A double-click is press, release, double-click, release: the second
    // release is part of the double-click, not another click.
    if (event->type() == QEvent::MouseButtonRelease && !m_bgDoubleClicked) bg_Click();
    if (event->type() == QEvent::MouseButtonRelease) m_bgDoubleClicked = false;
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_bgDoubleClicked = true;
        bg_DblClick();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- New card and start-up card -------------------------------------------------

void MainWindow::SetMyCard()
{
    const QString name = m_store.readSetting(QStringLiteral("card"), QStringLiteral("cardName"));
    if (name.isEmpty()) {
        myCard();
        return;
    }
    const auto file = m_folder.libraryFile(ProgramFolder::Library::Cards, name);
    if (file && QFileInfo(*file).isFile()) {
        m_session.cardSource = CardSource::StartupCard;
        openFile();
        showCardTitle();
        return;
    }
    m_dialogs.show(QStringLiteral("读取启动名片信息时出错！\r没有发现您设置的启动文件：") +
                       ProgramFolder::fileNamePart(name) + QStringLiteral("\r系统以默认的启动名片进行替换…"),
                   kReminder, Dialogs::Icon::Warning);
    myCard();
}

void MainWindow::myCard()
{
    setWindowTitle(captionFor(QStringLiteral("新建名片")));
    m_newPanel->hideRestoreOption();
    CardSession &s = m_session;
    s.card.resetToDefault();
    s.view.colourOption = BackgroundKind::SolidColour;
    s.view.background = QImage();
    s.view.pictureRemoved = false;
    s.view.logo = QImage();
    s.view.textBlocks = {};
    s.notifyPageChanged();
    LCard();
    s.cardSaved = true;
}

void MainWindow::new_click()
{
    if (!m_session.cardSaved &&
        m_dialogs.ask(kModifiedQuestion, kReminder, Dialogs::Icon::Warning, Dialogs::Buttons::YesNo) ==
            Dialogs::Answer::Yes) {
        save_click();
        return;
    }
    cz_Show(0);
    SetMyCard();
}

void MainWindow::chk_new_Click()
{
    m_session.cardSaved = true;
    m_store.writeSetting(QStringLiteral("card"), QStringLiteral("cardName"), QString());
    new_click();
}

void MainWindow::cmd_setStart_Click() { open_click(); }

void MainWindow::showCardTitle()
{
    QString name;
    switch (m_session.cardSource) {
    case CardSource::StartupCard:
        name = ProgramFolder::fileNamePart(m_store.readSetting(QStringLiteral("card"), QStringLiteral("cardName")));
        break;
    case CardSource::LibraryManagerList:
        name = QFileInfo(libraryManagerFile()).fileName();
        break;
    case CardSource::OpenPanelList:
        name = QFileInfo(openPanelFile()).fileName();
        break;
    }
    setWindowTitle(captionFor(name));
}

void MainWindow::openFile()
{
    m_newPanel->showRestoreOption();
    m_session.view.textBlocks = {};
    applyCardFile(m_session, m_store, m_dialogs);
    LCard();
    m_session.cardSaved = true;
}

// ---- Command bar ------------------------------------------------------------

void MainWindow::menu_MouseDown(int)
{
    m_page->selectionFrame()->hide();
}

void MainWindow::menu_MouseUp(int command)
{
    m_page->setAlignMode(false);
    // The help page stays for the help command, a previewed picture card for printing.
    if (command != CommandBar::Help) m_helpView->hide();
    if (command != CommandBar::Print) m_preview->hide();
    runCommand(command);
    if (command == CommandBar::Line) m_page->selectionFrame()->hide();
}

void MainWindow::runCommand(int command)
{
    switch (command) {
    case CommandBar::New: new_click(); break;
    case CommandBar::Open: open_click(); break;
    case CommandBar::Save: save_click(); break;
    case CommandBar::Print: print_click(); break;
    case CommandBar::Page: Card_Click(); break;
    case CommandBar::Logo: info_logo_click(); break;
    case CommandBar::Text: txt_MB(); break;
    case CommandBar::Line: info_line_click(); break;
    case CommandBar::Show: show_click(); break;
    case CommandBar::Help: help_click(); break;
    case CommandBar::About: about_click(); break;
    }
}

void MainWindow::open_click()
{
    cz_Show(1);
    m_openPanel->open_click();
}

void MainWindow::save_click()
{
    cz_Show(2);
    m_savePanel->save_click();
}
void MainWindow::print_click() { cz_Show(3); }

void MainWindow::Card_Click()
{
    if (inAlignMode()) return;
    cz_Show(4);
    setStatus(CommandBar::barTip());
    m_page->selectionFrame()->hide();
}

void MainWindow::info_logo_click()
{
    if (inAlignMode()) return;
    cz_Show(5);
}

void MainWindow::txt_MB() { cz_Show(6); }

void MainWindow::info_line_click()
{
    if (inAlignMode()) return;
    cz_Show(7);
}

void MainWindow::show_click()
{
    cz_Show(8);
    m_showPanel->opt_show_Click(0);
    m_page->centreGuide();
}

void MainWindow::help_click()
{
    cz_Show(9);
    m_helpPanel->openHelp();
}

void MainWindow::about_click() { cz_Show(10); }

// ---- Card file context ------------------------------------------------------

SaveTarget MainWindow::saveTarget() const { return m_savePanel->target(); }
QString MainWindow::openPanelFile() const { return m_openPanel->selectedFile(); }
QString MainWindow::libraryManagerFile() const { return {}; }

// ---- Closing -----------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_session.cardSaved ||
        m_dialogs.ask(kModifiedQuestion, kReminder, Dialogs::Icon::Warning, Dialogs::Buttons::YesNo) ==
            Dialogs::Answer::No) {
        event->accept();
        return;
    }
    event->ignore();
    save_click();
    m_session.exitAfterSave = true;
}
