#include "ui/app/MainWindow.h"

#include "ui/library/LibraryManager.h"
#include "ui/library/TemplateWindow.h"
#include "ui/panels/AboutPanel.h"
#include "ui/app/CardDrop.h"
#include "ui/app/CommandBar.h"
#include "ui/app/WindowKeys.h"
#include "ui/common/Dialogs.h"
#include "ui/common/LibraryMessages.h"
#include "ui/panels/HelpPanel.h"
#include "ui/panels/HelpView.h"
#include "ui/panels/LinePanel.h"
#include "ui/panels/LogoPanel.h"
#include "ui/panels/PagePanel.h"
#include "ui/common/SidePanel.h"
#include "ui/common/WidgetColours.h"
#include "model/CardReader.h"
#include "model/EditHistory.h"
#include "model/FileAccess.h"
#include "render/PagePictures.h"
#include "ui/panels/NewCardPanel.h"
#include "ui/panels/OpenPanel.h"
#include "ui/panels/PicturePreview.h"
#include "ui/panels/SavePanel.h"
#include "ui/panels/TextColourFrame.h"
#include "ui/panels/TextPanel.h"
#include "render/TextFit.h"
#include "ui/print/BatchWindow.h"
#include "ui/print/PrintPanel.h"
#include "ui/print/PrintWindow.h"
#include "render/PageGeometry.h"
#include "ui/page/PageWidget.h"
#include "ui/page/ShowAlignPanel.h"
#include "ui/send/SendWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <algorithm>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kStatusHeight = 26;
constexpr int kPanelOverlap = 5;   // panels reach 80 twips up into the command bar
constexpr int kShadowOffset = 4;   // 60 twips
constexpr int kSideButtonHeight = 22;
const QString kReminder = QStringLiteral("提醒您：");
const QString kModifiedQuestion = QStringLiteral("系统检测到当前的名片已被您修改过，\r要保存当前被修改过的名片吗？");

// The question about unsaved edits: Yes, No, or Cancel when dismissed.
Dialogs::Answer askToSaveEdits(Dialogs &dialogs)
{
    return dialogs.ask(kModifiedQuestion, kReminder, Dialogs::Icon::Warning, Dialogs::Buttons::YesNoDismissible);
}

QString captionFor(const QString &name) { return name + QStringLiteral(" - Penlark 3.0") + u'版'; }

QString sideName(CardSide side) { return side == CardSide::Front ? QStringLiteral("正面") : QStringLiteral("反面"); }

// Card files keep no block sizes: the texts of both sides get theirs as they stand.
void restoreBlocksOfBothSides(CardDocument &card, PageView &view)
{
    TextFit::restoreBlocks(card, view);
    if (!card.hasBack()) return;
    showSide(card, view, CardSide::Back);
    TextFit::restoreBlocks(card, view);
    showSide(card, view, CardSide::Front);
}

} // namespace

QString MainWindow::productBanner()
{
    return QStringLiteral("Penlark 3.0 名片设计 —— 拖动对象排版，单击对象设置，所见即所得");
}

MainWindow::MainWindow(ProgramFolder folder, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_folder(std::move(folder)), m_dialogs(dialogs), m_store(m_folder, *this)
{
    setObjectName(QStringLiteral("Form_main"));
    layOutWindow();
    buildPanels();
    placePanels();
    showStartupCard();
    layOutPage();
    m_session.cardSaved = true;
    connectHistory();
    acceptDroppedFiles();
}

void MainWindow::acceptDroppedFiles()
{
    m_drop = new CardDrop(m_folder, m_session, m_dialogs, *this);
    connect(m_drop, &CardDrop::cardDropped, this, &MainWindow::openOutsideFile);
    connect(m_drop, &CardDrop::logoApplied, this, &MainWindow::showAppliedLogo);
    m_modalWait.setSingleShot(true);
    m_modalWait.setInterval(200);
    connect(&m_modalWait, &QTimer::timeout, this, &MainWindow::openWaitingFile);
}

void MainWindow::showAppliedLogo()
{
    m_logoPanel->refresh();
    m_page->showSelectionFrame(PageObjects::kLogo);
}

MainWindow::~MainWindow()
{
    delete m_libraryManager;
    if (!m_sendWindow) return;
    m_sendWindow->disconnect(this);
    delete m_sendWindow;
}

void MainWindow::layOutWindow()
{
    setFixedSize(kWidth, kHeight);
    usePanelColour(*this);
    setWindowTitle(QStringLiteral("Penlark3.0"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/app_icon.png")));

    m_commandBar = new CommandBar(this);
    m_commandBar->setGeometry(0, 0, kWidth, m_commandBar->height());
    connect(m_commandBar, &CommandBar::tipChanged, this, &MainWindow::setStatus);
    connect(m_commandBar, &CommandBar::commandPressed, this, &MainWindow::onCommandPressed);
    connect(m_commandBar, &CommandBar::commandReleased, this, &MainWindow::onCommandReleased);

    const int menuHeight = m_commandBar->height();
    m_workspace = new QWidget(this);
    m_workspace->setObjectName(QStringLiteral("bg"));
    fillBackground(*m_workspace, palette().color(QPalette::Dark));
    m_workspace->setGeometry(0, menuHeight, kWidth - SidePanel::kWidth, kHeight - (kStatusHeight + menuHeight) - 1);

    m_pageShadow = new QLabel(m_workspace);
    m_pageShadow->setObjectName(QStringLiteral("card_bg"));
    fillBackground(*m_pageShadow, Qt::black);
    m_page = new PageWidget(m_session, m_workspace);
    m_workspace->installEventFilter(this);
    connectPage();
    buildSideSwitch();

    auto *statusBar = new QWidget(this);
    statusBar->setObjectName(QStringLiteral("frm_info"));
    statusBar->setGeometry(0, kHeight - kStatusHeight, kWidth, kStatusHeight);
    m_status = new QLabel(statusBar);
    m_status->setObjectName(QStringLiteral("cz_info"));
    m_status->setText(QStringLiteral("操作提示"));
}

void MainWindow::buildPanels()
{
    m_newPanel = new NewCardPanel(this);
    connect(m_newPanel, &NewCardPanel::restoreDefaultTicked, this, &MainWindow::clearStartupCard);
    connect(m_newPanel, &NewCardPanel::chooseStartupCard, this, &MainWindow::showOpenPanel);
    connect(m_newPanel, &NewCardPanel::chooseTemplate, this, &MainWindow::showTemplateWindow);
    m_panels[0] = m_newPanel;
    m_preview = new PicturePreview(m_workspace);
    m_openPanel = new OpenPanel(m_store, m_dialogs, *m_preview, this);
    m_panels[1] = m_openPanel;
    m_savePanel = new SavePanel(m_session, m_store, m_dialogs, this);
    m_panels[2] = m_savePanel;
    m_printPanel = new PrintPanel(this);
    m_panels[3] = m_printPanel;
    connectCardPanels();
    m_textPanel = new TextPanel(m_session, *m_page, m_dialogs, this);
    m_panels[6] = m_textPanel;
    m_linePanel = new LinePanel(m_session, *m_page, m_dialogs, this);
    connect(m_linePanel, &LinePanel::statusChanged, this, &MainWindow::setStatus);
    m_panels[7] = m_linePanel;
    buildPageAndLogoPanels();
    m_showPanel = new ShowAlignPanel(m_session, *m_page, this);
    m_panels[8] = m_showPanel;
    m_helpView = new HelpView(m_workspace);
    m_helpView->hide();
    m_helpPanel = new HelpPanel(m_store, *m_helpView, *m_status, this);
    m_panels[9] = m_helpPanel;
    m_panels[10] = new AboutPanel(this);
}

void MainWindow::buildPageAndLogoPanels()
{
    m_pagePanel = new PagePanel(m_session, m_dialogs, this);
    m_panels[4] = m_pagePanel;
    connect(m_pagePanel, &PagePanel::shadowShown, m_pageShadow, &QWidget::setVisible);
    m_logoPanel = new LogoPanel(m_session, *m_page, m_dialogs, m_folder, this);
    m_panels[5] = m_logoPanel;
    connect(m_logoPanel, &LogoPanel::pageColourTaken, m_pagePanel, &PagePanel::takeLogoColour);
    connect(m_logoPanel, &LogoPanel::statusChanged, this, &MainWindow::setStatus);
    connect(m_pagePanel, &PagePanel::libraryManagerRequested, this, &MainWindow::showLibraryManager);
    connect(m_pagePanel, &PagePanel::removeBackRequested, this, &MainWindow::removeCardBack);
    connect(m_logoPanel, &LogoPanel::libraryManagerRequested, this, &MainWindow::showLibraryManager);
}

void MainWindow::placePanels()
{
    const int top = m_commandBar->height() - kPanelOverlap;
    const int height = kHeight - (kStatusHeight + m_commandBar->height()) + 4;
    for (QWidget *panel : m_panels) {
        panel->setGeometry(m_workspace->width(), top, SidePanel::kWidth, height);
        panel->hide();
        // The pointer over a panel refreshes the colour swatches.
        panel->setMouseTracking(true);
        panel->installEventFilter(this);
    }
    m_commandBar->raise();
    for (QWidget *panel : m_panels) panel->raise();
    m_panels[0]->show();
}

void MainWindow::showPanel(int n)
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
    const auto placed = PageGeometry::centredPage(m_workspace->size(), page);
    m_page->move(placed.page.toPoint());
    m_pageShadow->setGeometry(QRect(m_page->pos() + QPoint(kShadowOffset, kShadowOffset), page));
    m_pageShadow->lower();
}

void MainWindow::layOutPage()
{
    placePage();
    setStatus(productBanner());
    m_page->placeTrimGuides();
}

// ---- The page and the workspace ---------------------------------------------

void MainWindow::connectPage()
{
    connect(m_page, &PageWidget::pageResized, this, &MainWindow::placePage);
    connect(m_page, &PageWidget::objectPressed, this, &MainWindow::onObjectPressed);
    connect(m_page, &PageWidget::alignModePressed, this, &MainWindow::takeAlignModePress);
    connect(m_page, &PageWidget::objectReleased, &m_session, &CardSession::markEdited);
    connect(m_page, &PageWidget::guidePressed, this, [this] {
        showPanel(8);
        m_showPanel->chooseMode(1);
    });
    connect(m_page, &PageWidget::pageClicked, this, &MainWindow::showPagePanel);
    connect(m_page, &PageWidget::pageDoubleClicked, this, &MainWindow::onPageDoubleClicked);
}

void MainWindow::connectCardPanels()
{
    // Only a card that opened can become the start-up card.
    connect(m_openPanel, &OpenPanel::cardChosen, this, [this] {
        m_openPanel->button(2)->setEnabled(mayDropEdits() && openCardFrom(CardSource::OpenPanelList));
    });
    connect(m_openPanel, &OpenPanel::printRequested, this, &MainWindow::showPrintPanel);
    connect(m_openPanel, &OpenPanel::libraryManagerRequested, this,
            [this] { showLibraryManager(ProgramFolder::Library::Cards); });
    connect(m_openPanel, &OpenPanel::sendRequested, this, &MainWindow::showSendWindow);
    connect(m_printPanel, &PrintPanel::printRequested, this, &MainWindow::openPrintWindow);
    connect(m_printPanel, &PrintPanel::openRequested, this, &MainWindow::showOpenPanel);
    connect(m_printPanel, &PrintPanel::batchRequested, this, &MainWindow::showBatchWindow);
    connect(m_savePanel, &SavePanel::saved, this, [this] {
        // A card file saved under any name is the one the window now names.
        if (saveTarget().format == SaveFormat::CardFile) {
            setCardName(QFileInfo(m_store.cardFileToWrite().value_or(QString())).fileName());
            m_templateFile.clear();
        }
        if (m_session.exitAfterSave) close();
    });
}

bool MainWindow::takeAlignModePress()
{
    // While the alignment guide is shown, presses only choose the align option.
    if (!m_page->alignMode()) return false;
    m_showPanel->chooseMode(1);
    return true;
}

void MainWindow::onObjectPressed(int id)
{
    if (id == PageObjects::kLogo || id == PageObjects::kQrCode)
        showLogoPanel();
    else if (id == PageObjects::kLine)
        showLinePanel();
    else
        pressText(id);
    m_page->showSelectionFrame(id);
}

void MainWindow::pressText(int index)
{
    showTextPanel();
    m_textPanel->takePressedObject(index);
}

void MainWindow::onPageDoubleClicked()
{
    showPanel(8);
    m_showPanel->chooseMode(0);
}

void MainWindow::onWorkspaceClicked()
{
    if (m_preview->isVisible()) return;
    m_page->selectionFrame()->hide();
    setStatus(productBanner());
}

void MainWindow::onWorkspaceDoubleClicked()
{
    if (m_preview->isVisible()) return;
    showPanel(8);
    m_showPanel->chooseMode(1);
    setStatus(QStringLiteral("蓝色线为对齐基线，可移动改变其位置；移动需要对齐的对象至蓝色线即可自动对齐；"
                             "页面上双击即退出对齐进入显示与隐藏控制…"));
}

bool MainWindow::isSidePanel(QObject *object) const
{
    return std::find(m_panels.begin(), m_panels.end(), object) != m_panels.end();
}

// The swatches that show colours of the card: the line's and the page's.
void MainWindow::refreshSwatches()
{
    m_linePanel->refreshSwatch();
    m_pagePanel->refreshSwatch();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A window that disabled this one (library manager, send window) has its input.
    if (!isEnabled()) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove && isSidePanel(watched)) refreshSwatches();
    if (watched != m_workspace) return QWidget::eventFilter(watched, event);
    // A double-click is press, release, double-click, release: the second
    // release is part of the double-click, not another click.
    if (event->type() == QEvent::MouseButtonRelease && !m_workspaceDoubleClicked) onWorkspaceClicked();
    if (event->type() == QEvent::MouseButtonRelease) m_workspaceDoubleClicked = false;
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_workspaceDoubleClicked = true;
        onWorkspaceDoubleClicked();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- New card and start-up card -------------------------------------------------

void MainWindow::showStartupCard()
{
    const QString name = m_store.readSetting(QStringLiteral("card"), QStringLiteral("cardName"));
    if (name.isEmpty()) {
        applyDefaultCard();
        return;
    }
    const auto file = m_folder.libraryFile(ProgramFolder::Library::Cards, name);
    if (file && QFileInfo(*file).isFile()) {
        if (!openCardFrom(CardSource::StartupCard)) applyDefaultCard();
        return;
    }
    m_dialogs.show(QStringLiteral("读取启动名片信息时出错！\r没有发现您设置的启动文件：") +
                       ProgramFolder::fileNamePart(name) + QStringLiteral("\r系统以默认的启动名片进行替换…"),
                   kReminder, Dialogs::Icon::Warning);
    applyDefaultCard();
}

void MainWindow::applyDefaultCard()
{
    setCardName(QStringLiteral("新建名片"));
    m_newPanel->hideRestoreOption();
    CardSession &s = m_session;
    s.card.resetToDefault();
    s.view.colourOption = BackgroundKind::SolidColour;
    s.view.background = QImage();
    s.view.pictureRemoved = false;
    s.view.logo = QImage();
    s.view.textBlocks = {};
    s.view.otherSide.reset();
    showCardOnPage();
}

bool MainWindow::mayDropEdits()
{
    if (m_session.cardSaved) return true;
    const Dialogs::Answer answer = askToSaveEdits(m_dialogs);
    if (answer == Dialogs::Answer::Yes) showSavePanel();
    return answer == Dialogs::Answer::No;
}

void MainWindow::startNewCard()
{
    if (!mayDropEdits()) return;
    showPanel(0);
    showStartupCard();
}

void MainWindow::clearStartupCard()
{
    m_session.cardSaved = true;
    m_store.writeSetting(QStringLiteral("card"), QStringLiteral("cardName"), QString());
    startNewCard();
}

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
    case CardSource::OutsideFile:
        name = QFileInfo(m_outsideFile).fileName();
        break;
    case CardSource::Template:
        name = QStringLiteral("新建名片");
        break;
    }
    setCardName(name);
}

void MainWindow::setCardName(const QString &name)
{
    m_cardName = name;
    showCaption();
}

void MainWindow::showCaption()
{
    const CardDocument &card = m_session.card;
    const QString side = card.hasBack() ? u'（' + sideName(card.shownSide) + u'）' : QString();
    setWindowTitle(captionFor(m_cardName + side));
}

bool MainWindow::openFile()
{
    const std::optional<IniFile> ini = readCardFile();
    if (!ini) return false;
    m_newPanel->showRestoreOption();
    reportProblems(CardReader::read(*ini, PagePictures::sourceFor(m_folder), m_session.card,
                                    m_session.view));
    restoreBlocksOfBothSides(m_session.card, m_session.view);
    showCardOnPage();
    return true;
}

bool MainWindow::openCardFrom(CardSource source)
{
    const CardSource before = m_session.cardSource;
    m_session.cardSource = source;
    if (!openFile()) {
        m_session.cardSource = before;
        return false;
    }
    showCardTitle();
    return true;
}

bool MainWindow::openOutsideFile(const QString &path)
{
    if (CardDrop::kindOf(path) != CardDrop::Kind::Picture) return mayDropEdits() && readOutsideFile(path);
    if (!QFileInfo::exists(path)) {
        showMissingOutsideFile(path);
        return false;
    }
    m_drop->takeFile(path);
    return true;
}

// A file from outside has no list beside it that names it: the message does.
void MainWindow::showMissingOutsideFile(const QString &path)
{
    m_dialogs.show(QStringLiteral("文件“") + QDir::toNativeSeparators(path) + QStringLiteral("”不存在，或刚被删除…"),
                   kReminder, Dialogs::Icon::Warning);
}

void MainWindow::takeHandedOverFile(const QString &path)
{
    m_waitingFile = path;
    openWaitingFile();
}

void MainWindow::openWaitingFile()
{
    if (m_openingWaitingFile || m_waitingFile.isEmpty()) return;
    if (QApplication::activeModalWidget()) {
        m_modalWait.start();
        return;
    }
    m_openingWaitingFile = true;
    bool editsDropped = false; // asked once: a file that then cannot be read does not ask again
    while (!m_waitingFile.isEmpty()) {
        const QString path = std::exchange(m_waitingFile, QString());
        if (CardDrop::kindOf(path) == CardDrop::Kind::Picture) {
            openOutsideFile(path);
            continue;
        }
        // Keeping the edits keeps them from the files sent meanwhile too.
        editsDropped = editsDropped || mayDropEdits();
        if (!editsDropped) {
            m_waitingFile.clear();
            break;
        }
        readOutsideFile(path);
    }
    m_openingWaitingFile = false;
}

void MainWindow::showTemplateWindow()
{
    if (!m_templateWindow) {
        m_templateWindow = new TemplateWindow(m_folder, this);
        connect(m_templateWindow, &TemplateWindow::templateChosen, this, &MainWindow::useTemplate);
    }
    m_templateWindow->refill();
    m_templateWindow->open();
}

void MainWindow::useTemplate(const QString &path)
{
    if (!mayDropEdits()) return;
    const QString before = m_templateFile;
    m_templateFile = path;
    if (!openCardFrom(CardSource::Template)) m_templateFile = before;
}

bool MainWindow::readOutsideFile(const QString &path)
{
    const QString before = m_outsideFile;
    m_outsideFile = path;
    if (openCardFrom(CardSource::OutsideFile)) return true;
    m_outsideFile = before;
    return false;
}

void MainWindow::showCardOnPage()
{
    m_pagePanel->showCard();
    m_session.notifyPageChanged();
    m_textPanel->showChosenObject();
    layOutPage();
    showSideSwitch();
    m_session.markLoaded();
}

std::optional<IniFile> MainWindow::readCardFile()
{
    const QString file = m_store.cardFileToRead().value_or(QString());
    // Only a regular file of a card's size is read: a named pipe or device would
    // block or never end, and a huge file would hold the window.
    const FileAccess::FileRead read = file.isEmpty() ? FileAccess::FileRead{{}, FileAccess::Problem::Missing, {}}
                                                     : FileAccess::readRegularFile(file, FileAccess::kLargestIniFile);
    if (read.problem == FileAccess::Problem::None) {
        IniFile ini = IniFile::fromBytes(read.bytes);
        if (CardReader::isCard(CardReader::valuesOf(ini))) return ini;
        m_dialogs.show(QStringLiteral("“") + QFileInfo(file).fileName() +
                           QStringLiteral("”不是名片文件，无法打开\r当前的名片保持不变…"),
                       kReminder, Dialogs::Icon::Warning);
    } else if (read.problem == FileAccess::Problem::Missing && m_session.cardSource == CardSource::OutsideFile) {
        showMissingOutsideFile(file);
    } else if (read.problem == FileAccess::Problem::Missing) {
        m_dialogs.show(LibraryMessages::readProblem(read) + u'…', kReminder, Dialogs::Icon::Warning);
    } else {
        m_dialogs.show(QStringLiteral("名片文件“") + QFileInfo(file).fileName() + QStringLiteral("”无法读取：") +
                           LibraryMessages::readProblem(read) + QStringLiteral("\r当前的名片保持不变…"),
                       kReminder, Dialogs::Icon::Warning);
    }
    return std::nullopt;
}

void MainWindow::reportProblems(const std::vector<CardReader::Problem> &problems)
{
    QStringList outOfRange;
    for (const CardReader::Problem &problem : problems) {
        if (problem.kind == CardReader::Problem::Kind::OutOfRange)
            outOfRange << problem.reference;
        else
            showMissingPicture(problem);
    }
    if (outOfRange.isEmpty()) return;
    m_dialogs.show(QStringLiteral("名片文件中的这些尺寸或位置超出了可用的范围：\r") + outOfRange.join(u'，') +
                       QStringLiteral("\r系统以默认名片的数值代替…"),
                   kReminder, Dialogs::Icon::Warning);
}

namespace {

QString missingPictureReason(CardReader::PictureFault fault)
{
    switch (fault) {
    case CardReader::PictureFault::TooLarge: return QStringLiteral("”太大，无法载入\r");
    case CardReader::PictureFault::DeadLink: return QStringLiteral("”是一个找不到目标的链接\r");
    case CardReader::PictureFault::Missing: break;
    }
    return QStringLiteral("”没有发现\r");
}

} // namespace

void MainWindow::showMissingPicture(const CardReader::Problem &problem)
{
    const bool logo = problem.kind == CardReader::Problem::Kind::MissingLogo;
    // A built-in picture's reference is a bare number: the message names it whole.
    QString name = ProgramFolder::fileNamePart(problem.reference);
    if (!problem.reference.contains(u'\\')) name = problem.reference;
    const QString text = (logo ? QStringLiteral("标志文件“") : QStringLiteral("背景文件“")) + name
                         + missingPictureReason(problem.fault)
                         + (logo ? QStringLiteral("系统以默认的标志图片替换…") : QStringLiteral("系统将以白色底色代替…"));
    m_dialogs.show(text, kReminder, Dialogs::Icon::Warning);
}

// ---- Command bar ------------------------------------------------------------

void MainWindow::onCommandPressed(int)
{
    m_page->selectionFrame()->hide();
}

void MainWindow::onCommandReleased(int command)
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
    case CommandBar::New: startNewCard(); break;
    case CommandBar::Open: showOpenPanel(); break;
    case CommandBar::Save: showSavePanel(); break;
    case CommandBar::Print: showPrintPanel(); break;
    case CommandBar::Page: showPagePanel(); break;
    case CommandBar::Logo: showLogoPanel(); break;
    case CommandBar::Text: showTextPanel(); break;
    case CommandBar::Line: showLinePanel(); break;
    case CommandBar::Show: showShowHidePanel(); break;
    case CommandBar::Help: showHelpPanel(); break;
    case CommandBar::About: showAboutPanel(); break;
    }
}

void MainWindow::showOpenPanel()
{
    showPanel(1);
    m_openPanel->reload();
}

void MainWindow::showSavePanel()
{
    showPanel(2);
    m_savePanel->reset();
    if (m_session.cardSource == CardSource::Template && !m_templateFile.isEmpty()) {
        const QFileInfo file(m_templateFile);
        m_savePanel->propose(file.dir().dirName(), file.completeBaseName());
    }
}
void MainWindow::showPrintPanel()
{
    showPanel(3);
    m_printPanel->reset();
}

void MainWindow::openPrintWindow(bool exactSize)
{
    const QPixmap previewed = m_preview->picture()->pixmap();
    const SheetPicture picture = m_preview->isVisibleTo(this) && !previewed.isNull()
                                     ? SheetPicture::fromImage(previewed.toImage())
                                     : SheetPicture::fromCard(m_session.card, m_session.view, exactSize);
    m_printWindow = PrintWindow::open(picture, m_dialogs, *this, true);
}

PrintWindow *MainWindow::printWindow() const { return m_printWindow; }

void MainWindow::showPagePanel()
{
    if (takeAlignModePress()) return;
    showPanel(4);
    setStatus(CommandBar::barTip());
    m_page->selectionFrame()->hide();
}

void MainWindow::showLogoPanel()
{
    if (takeAlignModePress()) return;
    showPanel(5);
    m_logoPanel->refresh();
}

void MainWindow::showTextPanel() { showPanel(6); }

void MainWindow::showLinePanel()
{
    if (takeAlignModePress()) return;
    showPanel(7);
    m_linePanel->openForLine();
}

void MainWindow::showShowHidePanel()
{
    showPanel(8);
    m_showPanel->chooseMode(0);
    m_page->centreGuide();
}

void MainWindow::showHelpPanel()
{
    showPanel(9);
    m_helpPanel->openHelp();
}

void MainWindow::showAboutPanel() { showPanel(10); }

// ---- Library manager -----------------------------------------------------------

void MainWindow::showLibraryManager(ProgramFolder::Library library)
{
    if (!m_libraryManager) {
        m_libraryManager = new LibraryManager(m_folder, m_session, m_dialogs, *this);
        connectLibraryManager();
    }
    m_libraryManager->chooseLibrary(library);
    m_libraryManager->show();
    m_libraryManager->raise();
    m_libraryManager->activateWindow();
}

LibraryManager *MainWindow::libraryManager() const { return m_libraryManager; }

void MainWindow::connectLibraryManager()
{
    LibraryManager *manager = m_libraryManager;
    connect(manager, &LibraryManager::libraryChanged, this, &MainWindow::onLibraryChanged);
    connect(manager, &LibraryManager::fileDeleted, this, [this] {
        m_openPanel->refreshFiles();
        m_preview->hide();
    });
    connect(manager, &LibraryManager::logoApplied, this, &MainWindow::showAppliedLogo);
    connect(manager, &LibraryManager::cardOpenRequested, this, &MainWindow::openLibraryCard);
    // A picture card goes to the print window; the main window stays in sight behind it.
    connect(manager, &LibraryManager::pictureCardPrintRequested, this, [this](const QImage &picture) {
        m_printWindow = PrintWindow::open(SheetPicture::fromImage(picture), m_dialogs, *this, false);
    });
}

void MainWindow::onLibraryChanged(ProgramFolder::Library library)
{
    if (library == ProgramFolder::Library::Logos) showLogoPanel();
    if (library == ProgramFolder::Library::Cards) showOpenPanel();
}

void MainWindow::openLibraryCard()
{
    if (!mayDropEdits()) return;
    openCardFrom(CardSource::LibraryManagerList);
    showOpenPanel();
    m_page->selectionFrame()->hide();
    m_openPanel->button(1)->setEnabled(false);
    m_openPanel->button(2)->setEnabled(false);
    m_preview->hide();
}

void MainWindow::showSendWindow()
{
    const QString file = openPanelFile();
    if (file.isEmpty()) {
        m_dialogs.show(QStringLiteral("请先在“名片文件：”列表中选择要发送的文件…"), kReminder, Dialogs::Icon::Warning);
        return;
    }
    if (!QFileInfo(file).isFile()) {
        m_dialogs.show(QStringLiteral("该文件不存在，或刚被删除…"), kReminder, Dialogs::Icon::Warning);
        return;
    }
    m_sendWindow = new SendWindow(m_folder.settingsFile(), file, m_dialogs);
    m_sendWindow->placeBeside(*this);
    showWindowAbove(m_sendWindow);
}

// The main window takes no input while the window is open; however that
// window goes, it gets its input back.
void MainWindow::showWindowAbove(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, this, [this] {
        setEnabled(true);
        activateWindow();
    });
    setEnabled(false);
    window->show();
}

// ---- Undo and redo --------------------------------------------------------------

void MainWindow::connectHistory()
{
    m_history = new EditHistory(m_session, this);
    auto *keys = new WindowKeys(*this, *m_page, *m_history);
    connect(keys, &WindowKeys::sideKeyPressed, this, &MainWindow::onSideKey);
    connect(m_history, &EditHistory::restored, this, &MainWindow::showRestoredCard);
    connect(m_history, &EditHistory::statusChanged, this, [this](const QString &text) {
        m_historyStatus = text;
        setStatus(text);
    });
    // What the history said is stale once the card is edited again.
    connect(m_history, &EditHistory::stepRecorded, this, [this] {
        if (m_status->text() == m_historyStatus) setStatus(productBanner());
    });
}

// After an undo or redo the panels show the card as it now is, changing nothing.
void MainWindow::showRestoredCard()
{
    m_pagePanel->showCard();
    m_textPanel->showChosenObject();
    if (m_textPanel->chosenObject() >= 0) m_textPanel->colourFrame()->showComponentsOf(m_textPanel->chosenObject());
    const int panel = visiblePanel();
    if (panel == 5) m_logoPanel->refresh();
    if (panel == 7) m_linePanel->showLine();
    if (panel == 8 && !m_page->alignMode()) m_showPanel->chooseMode(0);
    showSideSwitch();
}

// ---- The two sides ---------------------------------------------------------------

// Two small buttons in the workspace's top-left corner, above any page the page
// panel can make (at most 126 mm high, centred), so they never cover the page.
void MainWindow::buildSideSwitch()
{
    auto *sideSwitch = new QWidget(m_workspace);
    sideSwitch->setObjectName(QStringLiteral("sideSwitch"));
    sideSwitch->setGeometry(6, 3, 140, kSideButtonHeight);
    // The side shown stands out as a white tab.
    sideSwitch->setStyleSheet(QStringLiteral(
        "QPushButton { border: 1px solid #7a7a7a; border-radius: 3px; background: #d9d9d9; color: #333333; }"
        "QPushButton:checked { background: #ffffff; color: #000000; font-weight: bold; border-color: #1f4e9a; }"));
    const QString names[] = {QStringLiteral("frontSideButton"), QStringLiteral("backSideButton")};
    const int widths[] = {52, 84};
    for (int i = 0, x = 0; i < 2; x += widths[i] + 2, ++i) {
        auto *button = new QPushButton(sideSwitch);
        button->setObjectName(names[i]);
        button->setGeometry(x, 0, widths[i], kSideButtonHeight);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        m_sideButtons[std::size_t(i)] = button;
    }
    m_sideButtons[0]->setText(sideName(CardSide::Front));
    connect(m_sideButtons[0], &QPushButton::clicked, this, [this] { showCardSide(CardSide::Front); });
    connect(m_sideButtons[1], &QPushButton::clicked, this, [this] {
        m_session.card.hasBack() ? showCardSide(CardSide::Back) : addCardBack();
    });
}

QPushButton *MainWindow::sideButton(CardSide side) const
{
    return m_sideButtons[side == CardSide::Front ? 0 : 1];
}

void MainWindow::showSideSwitch()
{
    const CardDocument &card = m_session.card;
    m_sideButtons[0]->setChecked(card.shownSide == CardSide::Front);
    m_sideButtons[1]->setChecked(card.shownSide == CardSide::Back);
    m_sideButtons[1]->setText(card.hasBack() ? sideName(CardSide::Back) : QStringLiteral("添加反面"));
    m_sideButtons[1]->setToolTip(card.hasBack() ? QString() : QStringLiteral("给这张名片加上反面，反面单独设计…"));
    showCaption();
}

void MainWindow::showCardSide(CardSide side)
{
    if (!m_session.card.hasBack() || side == m_session.card.shownSide) {
        showSideSwitch();
        return;
    }
    // Edits so far are steps on the side they were made on; the switch is no
    // step but the state the next one starts from, so undoing an edit of the
    // other side shows that side again.
    m_history->catchUp();
    m_history->endRun();
    showSide(m_session.card, m_session.view, side);
    m_history->catchUp();
    showSideOnPage();
    setStatus(QStringLiteral("当前显示名片的") + sideName(side) + QStringLiteral("，各设置面板修改的都是这一面…"));
}

void MainWindow::addCardBack()
{
    addBack(m_session.card, m_session.view);
    showSide(m_session.card, m_session.view, CardSide::Back);
    TextFit::restoreBlocks(m_session.card, m_session.view);
    m_session.markEdited();
    showSideOnPage();
    setStatus(QStringLiteral("已为名片添加了反面，各设置面板修改的都是反面…"));
}

void MainWindow::removeCardBack()
{
    removeBack(m_session.card, m_session.view);
    m_session.markEdited();
    showSideOnPage();
}

// Crop marks are a display option of the whole card: showing the other side keeps them as they are.
void MainWindow::showSideOnPage()
{
    const bool cropMarks = m_session.view.cropMarks;
    m_page->selectionFrame()->hide();
    showRestoredCard();
    m_session.view.cropMarks = cropMarks;
    m_session.notifyPageChanged();
}

// Page Up shows the front, Page Down the back, Ctrl+Tab the other side.
void MainWindow::onSideKey(std::optional<CardSide> side)
{
    if (!m_session.card.hasBack()) {
        setStatus(QStringLiteral("这张名片还没有反面：单击页面左上方的“添加反面”可以添加…"));
        return;
    }
    const CardSide other = m_session.card.shownSide == CardSide::Front ? CardSide::Back : CardSide::Front;
    showCardSide(side.value_or(other));
}

void MainWindow::showBatchWindow()
{
    m_batchWindow = new BatchWindow(m_folder, m_session, m_dialogs);
    // Card files made into a category show in the open panel's lists.
    connect(m_batchWindow, &BatchWindow::cardsMade, m_openPanel, &OpenPanel::reload);
    showWindowAbove(m_batchWindow);
}

BatchWindow *MainWindow::batchWindow() const { return m_batchWindow; }

// ---- Card file context ------------------------------------------------------

SaveTarget MainWindow::saveTarget() const { return m_savePanel->target(); }
QString MainWindow::openPanelFile() const { return m_openPanel->selectedFile(); }
QString MainWindow::libraryManagerFile() const
{
    return m_libraryManager ? m_libraryManager->selectedFile() : QString();
}

// ---- Closing -----------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent *event)
{
    const Dialogs::Answer answer = m_session.cardSaved ? Dialogs::Answer::No : askToSaveEdits(m_dialogs);
    if (answer == Dialogs::Answer::No) {
        event->accept();
        return;
    }
    // Esc or the box's close button keeps the window as it is.
    event->ignore();
    if (answer != Dialogs::Answer::Yes) return;
    showSavePanel();
    m_session.exitAfterSave = true;
}
