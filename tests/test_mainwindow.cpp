#include "ui/app/CardDrop.h"
#include "ui/app/CommandBar.h"
#include "ui/app/FileHandOver.h"
#include "ui/app/MainWindow.h"
#include "ui/library/TemplateWindow.h"
#include "ui/common/Translations.h"
#include "model/CardFile.h"
#include "model/IniFile.h"
#include "render/PageRenderer.h"
#include "ui/page/PageWidget.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <future>

namespace {

const QString kStartupMissing = QStringLiteral(
    "读取启动名片信息时出错！\r没有发现您设置的启动文件：我的.pnk\r系统以默认的启动名片进行替换…");
const QString kModified = QStringLiteral("系统检测到当前的名片已被您修改过，\r要保存当前被修改过的名片吗？");
const QString kNewCaption = QStringLiteral("新建名片 - Penlark 3.0版");

// A card file in the card library, with the default card changed here and there.
void writeCard(const ProgramFolderFixture &folder, const QString &relative,
               const std::function<void(CardDocument &)> &change = {})
{
    QDir(folder.root()).mkpath(QFileInfo(folder.path(relative)).path());
    CardDocument card = CardDocument::defaultCard();
    card.text(TextRole::Name).caption = QStringLiteral("王磊");
    if (change) change(card);
    IniFile ini;
    CardFile::write(card, ini);
    QVERIFY(IniStore::save(folder.path(relative), ini));
}

// A dialog double whose boxes stay open, the event loop running, until hold
// says they may close; it notes how deep boxes were opened inside one another.
class HoldingDialogs : public ScriptedDialogs
{
public:
    std::function<bool()> hold = [] { return true; };
    int depth = 0;
    int deepest = 0;

    void show(const QString &text, const QString &caption, Icon icon) override
    {
        ScriptedDialogs::show(text, caption, icon);
        holdOpen();
    }
    Answer ask(const QString &text, const QString &caption, Icon icon, Buttons buttons) override
    {
        const Answer answer = ScriptedDialogs::ask(text, caption, icon, buttons);
        holdOpen();
        return answer;
    }

private:
    void holdOpen()
    {
        deepest = std::max(deepest, ++depth);
        [[maybe_unused]] const bool released = QTest::qWaitFor(hold, 30000);
        --depth;
    }
};

QCheckBox *restoreOption(MainWindow &w) { return w.findChild<QCheckBox *>(QStringLiteral("chk_new")); }

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startsOnTheDefaultCardWithoutStartupCard();
    void startsOnThePresentStartupCard();
    void reportsAMissingStartupCardAtEveryNewCard();
    void asksBeforeANewCardReplacesEdits();
    void restoringTheDefaultCardAsksNothing();
    void asksBeforeClosingAModifiedCard();
    void showsExactlyOnePanel();
    void keepsHoverPicturesUntilTheBarBackground();
    void reportsMissingPicturesOfAnOpenedCard();
    void laysTheWindowOut();
    void speaksChineseInQtDialogs();
    void opensACardFromOutsideTheLibrary();
    void importsADroppedPictureAsTheLogo();
    void refusesOutsideFilesThatAreNoCards();
    void opensTheLastOfABurstOfHandedOverFiles();
    void keepsTheBackgroundUnderTransparentLogoPixels();
    void drawsThePageAtTheDevicePixelRatio();
    void startsANewCardFromATemplate();
};

void TestMainWindow::initTestCase() { installChineseTranslations(*QCoreApplication::instance()); }

void TestMainWindow::startsOnTheDefaultCardWithoutStartupCard()
{
    ProgramFolderFixture folder;
    QFile::remove(folder.settingsFile()); // no settings file at all: still the default card, no message
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    QCOMPARE(w.windowTitle(), kNewCaption);
    QVERIFY(dialogs.records.isEmpty());
    QCOMPARE(w.session().card, CardDocument::defaultCard());
    QVERIFY(w.session().cardSaved);
    QVERIFY(!restoreOption(w)->isVisibleTo(&w));
    QCOMPARE(w.visiblePanel(), 0);
}

void TestMainWindow::startsOnThePresentStartupCard()
{
    ProgramFolderFixture folder;
    writeCard(folder, QStringLiteral("mycard/商务/我的.pnk"));
    folder.setStartupCard(QStringLiteral("商务\\我的.pnk"));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    QVERIFY(dialogs.records.isEmpty());
    QCOMPARE(w.windowTitle(), QStringLiteral("我的.pnk - Penlark 3.0版"));
    QCOMPARE(w.session().card.text(TextRole::Name).caption, QStringLiteral("王磊"));
    QCOMPARE(w.session().cardSource, CardSource::StartupCard);
    QVERIFY(w.session().cardSaved);
    QVERIFY(restoreOption(w)->isVisibleTo(&w));
}

void TestMainWindow::reportsAMissingStartupCardAtEveryNewCard()
{
    ProgramFolderFixture folder;
    folder.setStartupCard(QStringLiteral("商务\\我的.pnk"));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    QCOMPARE(dialogs.records.size(), 1);
    QCOMPARE(dialogs.last().text, kStartupMissing);
    QCOMPARE(dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(dialogs.last().icon, Dialogs::Icon::Warning);
    QCOMPARE(w.windowTitle(), kNewCaption);
    QCOMPARE(w.session().card, CardDocument::defaultCard());

    w.startNewCard();
    QCOMPARE(dialogs.records.size(), 2);
    QCOMPARE(dialogs.last().text, kStartupMissing);
    QCOMPARE(folder.startupCard(), QStringLiteral("商务\\我的.pnk")); // the setting stays
}

void TestMainWindow::asksBeforeANewCardReplacesEdits()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    w.session().card.text(TextRole::Name).caption = QStringLiteral("改过的");
    w.session().cardSaved = false;

    dialogs.answers = {Dialogs::Answer::Yes};
    w.startNewCard();
    QCOMPARE(dialogs.last().text, kModified);
    QCOMPARE(dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(dialogs.last().buttons, Dialogs::Buttons::YesNoDismissible);
    QCOMPARE(w.visiblePanel(), 2);
    QCOMPARE(w.session().card.text(TextRole::Name).caption, QStringLiteral("改过的"));

    dialogs.answers = {Dialogs::Answer::No};
    w.startNewCard();
    QCOMPARE(w.visiblePanel(), 0);
    QCOMPARE(w.session().card, CardDocument::defaultCard());
    QVERIFY(w.session().cardSaved);
    QCOMPARE(dialogs.unanswered, 0);
}

void TestMainWindow::restoringTheDefaultCardAsksNothing()
{
    ProgramFolderFixture folder;
    writeCard(folder, QStringLiteral("mycard/商务/我的.pnk"));
    folder.setStartupCard(QStringLiteral("商务\\我的.pnk"));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    w.session().cardSaved = false;
    restoreOption(w)->setChecked(true);
    QVERIFY(dialogs.records.isEmpty());
    QCOMPARE(folder.startupCard(), QString());
    QCOMPARE(w.session().card, CardDocument::defaultCard());
    QCOMPARE(w.windowTitle(), kNewCaption);
    QVERIFY(!restoreOption(w)->isVisibleTo(&w));
    QVERIFY(!restoreOption(w)->isChecked());
}

void TestMainWindow::asksBeforeClosingAModifiedCard()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    w.show();
    QVERIFY(w.close()); // saved: closes without a question
    QVERIFY(dialogs.records.isEmpty());

    w.show();
    w.session().cardSaved = false;
    dialogs.answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Yes};
    QVERIFY(!w.close()); // Esc or the box's close button: the window stays as it was
    QCOMPARE(dialogs.last().buttons, Dialogs::Buttons::YesNoDismissible);
    QCOMPARE(w.visiblePanel(), 0);
    QVERIFY(!w.session().exitAfterSave);
    QVERIFY(!w.close());
    QCOMPARE(dialogs.last().text, kModified);
    QCOMPARE(w.visiblePanel(), 2);
    QVERIFY(w.session().exitAfterSave);
    QVERIFY(w.isVisible());

    dialogs.answers = {Dialogs::Answer::No};
    QVERIFY(w.close());
}

void TestMainWindow::showsExactlyOnePanel()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    for (int n = 10; n >= 0; --n) {
        w.showPanel(n);
        int visible = 0;
        for (int i = 0; i <= 10; ++i) {
            auto *panel = w.findChild<QWidget *>(QStringLiteral("frm_cz(%1)").arg(i));
            QVERIFY(panel);
            visible += panel->isVisibleTo(&w) ? 1 : 0;
        }
        QCOMPARE(visible, 1);
        QCOMPARE(w.visiblePanel(), n);
    }
}

void TestMainWindow::keepsHoverPicturesUntilTheBarBackground()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *bar = w.findChild<CommandBar *>(QStringLiteral("frm_menu"));
    auto *status = w.findChild<QLabel *>(QStringLiteral("cz_info"));
    auto *open = w.findChild<QWidget *>(QStringLiteral("menu(1)"));
    auto *save = w.findChild<QWidget *>(QStringLiteral("menu(2)"));
    QTest::mouseMove(open, QPoint(10, 10));
    QCOMPARE(bar->state(1), CommandBar::State::Hover);
    QCOMPARE(status->text(), QStringLiteral("从名片作品库中打开一个名片进行查看、修改、打印、发送等操作…"));
    QTest::mouseMove(save, QPoint(10, 10));
    QCOMPARE(bar->state(1), CommandBar::State::Hover); // not reset by the next command
    QCOMPARE(bar->state(2), CommandBar::State::Hover);
    QCOMPARE(status->text(), CommandBar::tip(2));
    QTest::mouseMove(bar, QPoint(bar->width() - 5, 5));
    for (int i = 0; i < CommandBar::CommandCount; ++i) QCOMPARE(bar->state(i), CommandBar::State::Normal);
    QCOMPARE(status->text(), CommandBar::barTip());

    QTest::mousePress(save, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(bar->state(2), CommandBar::State::Pressed);
    QTest::mouseRelease(save, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(bar->state(2), CommandBar::State::Normal);
    QCOMPARE(w.visiblePanel(), 2);

    // A window that disabled this one (the library manager) leaves the bar without commands.
    w.setEnabled(false);
    QTest::mouseClick(open, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(bar->state(1), CommandBar::State::Normal);
    QCOMPARE(w.visiblePanel(), 2);
}

void TestMainWindow::reportsMissingPicturesOfAnOpenedCard()
{
    ProgramFolderFixture folder;
    writeCard(folder, QStringLiteral("mycard/商务/图.pnk"), [](CardDocument &c) {
        c.page.isBg = BackgroundKind::LibraryImage;
        c.page.bgColor = Colour::fromRgb(0, 0, 255);
        c.page.bgImg = QStringLiteral("风景\\海.jpg");
        c.logo.img = QStringLiteral("公司\\标志.bmp");
    });
    folder.setStartupCard(QStringLiteral("商务\\图.pnk"));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    QCOMPARE(dialogs.records.size(), 2);
    QCOMPARE(dialogs.records[0].text, QStringLiteral("背景文件“海.jpg”没有发现\r系统将以白色底色代替…"));
    QCOMPARE(dialogs.records[1].text, QStringLiteral("标志文件“标志.bmp”没有发现\r系统以默认的标志图片替换…"));
    for (const auto &r : dialogs.records) {
        QCOMPARE(r.caption, QStringLiteral("提醒您："));
        QCOMPARE(r.icon, Dialogs::Icon::Warning);
    }
    const CardDocument &card = w.session().card;
    QCOMPARE(card.page.bgColor, Colour::kWhite);
    QCOMPARE(card.page.bgImg, QString());
    QCOMPARE(card.logo.img, QStringLiteral("公司\\标志.bmp")); // kept, so a save writes it again
    QVERIFY(!PageView::canRemovePicture(card.page));
    QCOMPARE(w.page()->pageImage().pixelColor(200, 150), QColor(Qt::white));

    // With the pictures in place the card opens without a word.
    folder.writePicture(QStringLiteral("background/风景/海.jpg"), QColor(0, 128, 0));
    folder.writePicture(QStringLiteral("logo/公司/标志.bmp"), Qt::red);
    dialogs.clear();
    w.startNewCard();
    QVERIFY(dialogs.records.isEmpty());
    QVERIFY(PageView::canRemovePicture(w.session().card.page));
    QCOMPARE(w.session().card.page.isBg, BackgroundKind::LibraryImage);
    QCOMPARE(w.page()->pageImage().pixelColor(200, 150).green(), 128);
}

void TestMainWindow::laysTheWindowOut()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    QCOMPARE(w.size(), QSize(778, 620));
    auto *bg = w.findChild<QWidget *>(QStringLiteral("bg"));
    auto *card = w.findChild<QWidget *>(QStringLiteral("Card"));
    auto *shadow = w.findChild<QWidget *>(QStringLiteral("card_bg"));
    QCOMPARE(bg->width(), 778 - 220);
    QCOMPARE(card->size(), QSize(363, 227));
    QVERIFY(qAbs(card->x() * 2 + card->width() - bg->width()) <= 1); // centred
    QVERIFY(qAbs(card->y() * 2 + card->height() - bg->height()) <= 1);
    QCOMPARE(shadow->geometry(), card->geometry().translated(4, 4));
    for (int i = 0; i < 4; ++i)
        QVERIFY(!w.findChild<QWidget *>(QStringLiteral("r_Line(%1)").arg(i))->isVisibleTo(&w));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("cz_info"))->text(), MainWindow::productBanner());
    QCOMPARE(w.windowTitle(), kNewCaption);
}

void TestMainWindow::speaksChineseInQtDialogs()
{
    QMessageBox box(QMessageBox::Warning, "t", "x", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
}

void TestMainWindow::opensACardFromOutsideTheLibrary()
{
    ProgramFolderFixture folder;
    ProgramFolderFixture outside;
    writeCard(outside, QStringLiteral("名片.pnk"));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    QVERIFY(!w.openOutsideFile(outside.path(QStringLiteral("没有.pnk"))));
    QCOMPARE(dialogs.last().text, QStringLiteral("文件“") + outside.path(QStringLiteral("没有.pnk")) +
                                      QStringLiteral("”不存在，或刚被删除…"));
    QCOMPARE(w.windowTitle(), kNewCaption);
    QVERIFY(w.openOutsideFile(outside.path(QStringLiteral("名片.pnk"))));
    QCOMPARE(w.windowTitle(), QStringLiteral("名片.pnk - Penlark 3.0版"));
    QCOMPARE(w.session().card.text(TextRole::Name).caption, QStringLiteral("王磊"));
    QCOMPARE(w.session().cardSource, CardSource::OutsideFile);
    // A failed second opening keeps the file the card came from.
    QVERIFY(!w.openOutsideFile(outside.path(QStringLiteral("没有.pnk"))));
    QCOMPARE(w.outsideFile(), outside.path(QStringLiteral("名片.pnk")));

    // Unsaved edits are asked about first; Yes keeps them on the page.
    w.session().card.text(TextRole::Name).caption = QStringLiteral("改过");
    w.session().markEdited();
    const qsizetype before = dialogs.records.size();
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    QVERIFY(!w.openOutsideFile(outside.path(QStringLiteral("名片.pnk"))));
    QCOMPARE(dialogs.records.size(), before + 1);
    QCOMPARE(w.session().card.text(TextRole::Name).caption, QStringLiteral("改过"));
}

void TestMainWindow::refusesOutsideFilesThatAreNoCards()
{
    ProgramFolderFixture folder;
    QTemporaryDir outside;
    QFile table(outside.filePath(QStringLiteral("people.csv")));
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write("姓名,职位\n王伟,销售经理\n");
    table.close();
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(outside.filePath(QStringLiteral("图.pnk")), "PNG"));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    const CardDocument before = w.session().card;
    for (const QString &name : {QStringLiteral("people.csv"), QStringLiteral("图.pnk")}) {
        QVERIFY(!w.openOutsideFile(outside.filePath(name)));
        QCOMPARE(dialogs.last().text, QStringLiteral("“") + name + QStringLiteral("”不是名片文件，无法打开\r当前的名片保持不变…"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("提醒您："));
        QCOMPARE(dialogs.last().icon, Dialogs::Icon::Warning);
        QCOMPARE(w.windowTitle(), kNewCaption);
        QVERIFY(w.session().card == before);
        QVERIFY(w.session().cardSaved);
    }
    // A picture is asked about as a dropped one is; cancelled, nothing changes.
    // One that is not there is named, and not asked about.
    QVERIFY(!w.openOutsideFile(outside.filePath(QStringLiteral("logo.jpg"))));
    QCOMPARE(dialogs.last().text, QStringLiteral("文件“") + outside.filePath(QStringLiteral("logo.jpg")) +
                                      QStringLiteral("”不存在，或刚被删除…"));
    QVERIFY(picture.save(outside.filePath(QStringLiteral("logo.jpg"))));
    dialogs.answers = {Dialogs::Answer::Cancel};
    w.openOutsideFile(outside.filePath(QStringLiteral("logo.jpg")));
    QCOMPARE(dialogs.last().text, QStringLiteral("要把图片“logo.jpg”用作名片的标志吗？\r选择“是”用作标志，选择“否”用作页面背景…"));
    QCOMPARE(dialogs.last().kind, ScriptedDialogs::Kind::Question);
    QCOMPARE(w.windowTitle(), kNewCaption);
    QVERIFY(w.session().card == before);
}

void TestMainWindow::opensTheLastOfABurstOfHandedOverFiles()
{
    ProgramFolderFixture folder;
    ProgramFolderFixture outside;
    writeCard(outside, QStringLiteral("名片.pnk"));
    HoldingDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    w.session().card.text(TextRole::Name).caption = QStringLiteral("改过");
    w.session().markEdited();
    FileHandOver handOver{ProgramFolder(folder.root())};
    QVERIFY(handOver.listen());
    connect(&handOver, &FileHandOver::fileReceived, &w, &MainWindow::takeHandedOverFile);
    // Three hundred names of files that are not there, the card last; every box
    // stays open until all of them have been taken.
    constexpr int kNames = 300;
    std::atomic<int> taken = 0;
    dialogs.hold = [&taken] { return taken == kNames; };
    dialogs.answers = {Dialogs::Answer::No};
    auto sender = std::async(std::launch::async, [&] {
        for (int i = 0; i < kNames; ++i)
            if (handOver.send(i + 1 < kNames ? outside.path(QStringLiteral("没有%1.pnk").arg(i)) : outside.path(QStringLiteral("名片.pnk"))))
                ++taken;
    });
    QTRY_COMPARE_WITH_TIMEOUT(w.windowTitle(), QStringLiteral("名片.pnk - Penlark 3.0版"), 60000);
    sender.get();
    QCOMPARE(taken.load(), kNames);
    // One question, the first name's message, then the last name's card.
    QCOMPARE(dialogs.deepest, 1);
    QCOMPARE(dialogs.records.size(), 2);
    QCOMPARE(dialogs.records[0].text, kModified);
    QCOMPARE(dialogs.records[1].text, QStringLiteral("文件“") + outside.path(QStringLiteral("没有0.pnk")) +
                                          QStringLiteral("”不存在，或刚被删除…"));
    QCOMPARE(w.session().card.text(TextRole::Name).caption, QStringLiteral("王磊"));

    // A box of the program's own that is open already is waited for too.
    w.applyDefaultCard();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("提醒您："), QStringLiteral("x"));
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QTRY_VERIFY(QApplication::activeModalWidget());
    w.takeHandedOverFile(outside.path(QStringLiteral("名片.pnk")));
    QTest::qWait(300);
    QCOMPARE(w.windowTitle(), kNewCaption);
    box.close();
    QTRY_COMPARE(w.windowTitle(), QStringLiteral("名片.pnk - Penlark 3.0版"));
}

void TestMainWindow::importsADroppedPictureAsTheLogo()
{
    ProgramFolderFixture folder;
    QTemporaryDir elsewhere;
    // Wider than the trim area of a 90 x 54 mm page: it arrives fitted.
    const QString dropped = elsewhere.filePath(QStringLiteral("a:b.png"));
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QVERIFY(wide.save(dropped));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    auto *drop = w.findChild<CardDrop *>();
    dialogs.answers = {Dialogs::Answer::Yes};
    drop->takeFile(dropped);
    QCOMPARE(dialogs.last().text, QStringLiteral("要把图片“a:b.png”用作名片的标志吗？\r选择“是”用作标志，选择“否”用作页面背景…"));
    QCOMPARE(dialogs.last().buttons, Dialogs::Buttons::YesNoCancel);
    const CardLogo &logo = w.session().card.logo;
    QCOMPARE(logo.img, QStringLiteral("导入\\a_b.png"));
    QVERIFY(QFileInfo::exists(folder.path(QStringLiteral("logo/导入/a_b.png"))));
    const double trimWidth = PageRenderer::pageTwips(w.session().card).width() - 340;
    QCOMPARE(logo.width, float(trimWidth));
    QCOMPARE(logo.height, float(trimWidth / 4));
    QVERIFY(logo.left >= 170 && logo.left + logo.width <= trimWidth + 170);
    QVERIFY(!w.session().cardSaved);
    // The same name again: asked before replacing; No leaves the card as it was.
    w.session().cardSaved = true;
    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No};
    drop->takeFile(dropped);
    QCOMPARE(dialogs.last().text, QStringLiteral("这个分类中已经有名为“a_b.png”的文件！\r要用新的文件替换它吗？"));
    QVERIFY(w.session().cardSaved);
}

void TestMainWindow::keepsTheBackgroundUnderTransparentLogoPixels()
{
    ProgramFolderFixture folder;
    QImage logo(40, 40, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    logo.setPixelColor(0, 0, Qt::blue);
    QVERIFY(logo.save(folder.path(QStringLiteral("logo.png"))));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    dialogs.answers = {Dialogs::Answer::Yes};
    w.findChild<CardDrop *>()->takeFile(folder.path(QStringLiteral("logo.png")));
    const QRect box = w.page()->logoObject()->geometry();
    const QImage page = w.page()->pageImage();
    QCOMPARE(page.pixelColor(box.topLeft()), QColor(Qt::blue));
    const QImage background = PageRenderer::renderBackground(w.session().card, w.session().view, 15);
    QCOMPARE(page.pixelColor(box.center()), background.pixelColor(box.center()));
}

void TestMainWindow::drawsThePageAtTheDevicePixelRatio()
{
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    const QImage single = w.page()->pageImage();
    const QImage twice = w.page()->pageImage(2);
    QCOMPARE(twice.size(), single.size() * 2);
    QCOMPARE(twice.devicePixelRatio(), 2.0);
    // The widget paints what pageImage gives, at the ratio of the device it paints on.
    QImage shown(w.page()->size() * 2, QImage::Format_RGB32);
    shown.setDevicePixelRatio(2);
    w.page()->render(&shown, {}, {}, QWidget::DrawWindowBackground);
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32).copy(0, 0, twice.width(), twice.height()),
             twice.convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"

void TestMainWindow::startsANewCardFromATemplate()
{
    ProgramFolderFixture folder;
    writeCard(folder, QStringLiteral("mycard/商务/双面.pnk"), [](CardDocument &card) { card.addBack(); });
    writeCard(folder, QStringLiteral("mycard/商务/单面.pnk"),
              [](CardDocument &card) { card.text(TextRole::Name).caption = QStringLiteral("单面"); });
    writeCard(folder, QStringLiteral("mycard/科技/其他.pnk"));
    const QString chosen = folder.path(QStringLiteral("mycard/商务/单面.pnk"));
    const QByteArray templateBytes = IniStore::load(chosen).toBytes();
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    w.show();
    w.findChild<QPushButton *>(QStringLiteral("cmd_fromTemplate"))->click();
    TemplateWindow *t = w.templateWindow();
    QVERIFY(t && t->isVisible());
    QCOMPARE(t->categoryList()->count(), 2);
    QCOMPARE(t->cardList()->count(), 2);
    // Thumbnails arrive from their threads; a two-sided card shows its back beside its front.
    const auto width = [t](int row) {
        return t->cardList()->item(row)->data(Qt::DecorationRole).value<QPixmap>().deviceIndependentSize().width();
    };
    QTRY_VERIFY(width(0) > 0 && width(1) > 0 && width(0) != width(1));
    const int twoSided = t->cardList()->item(0)->text() == QStringLiteral("双面") ? 0 : 1;
    QVERIFY(width(twoSided) > width(1 - twoSided));

    // The arrows choose, Enter uses the card, after the question about unsaved edits.
    w.session().cardSaved = false;
    t->cardList()->setCurrentRow(0);
    while (t->chosenFile() != chosen) QTest::keyClick(t->cardList(), Qt::Key_Right);
    dialogs.answers = {Dialogs::Answer::No};
    QTest::keyClick(t->cardList(), Qt::Key_Return);
    QCOMPARE(dialogs.last().text, kModified);
    QVERIFY(!t->isVisible());
    QCOMPARE(w.session().card.text(TextRole::Name).caption, QStringLiteral("单面"));
    QCOMPARE(w.windowTitle(), kNewCaption);
    QVERIFY(w.session().cardSaved);

    // Saving proposes the template's category and name; saved under another, the template stays as it was.
    w.showSavePanel();
    QCOMPARE(w.saveTarget().category, QStringLiteral("商务"));
    QCOMPARE(w.saveTarget().name, QStringLiteral("单面"));
    w.session().card.text(TextRole::Name).caption = QStringLiteral("改过的");
    w.findChild<QLineEdit *>(QStringLiteral("txt_saveName"))->setText(QStringLiteral("我的"));
    w.findChild<QPushButton *>(QStringLiteral("cmd_save(3)"))->click();
    QCOMPARE(IniStore::load(chosen).toBytes(), templateBytes);
    QCOMPARE(IniStore::load(folder.path(QStringLiteral("mycard/商务/我的.pnk"))).value(u"cName", u"caption"),
             QStringLiteral("改过的"));
    QCOMPARE(w.windowTitle(), QStringLiteral("我的.pnk - Penlark 3.0版"));
    // Esc closes the window without touching the page.
    w.showTemplateWindow();
    QTest::keyClick(t->cardList(), Qt::Key_Escape);
    QVERIFY(!t->isVisible());
    QCOMPARE(w.session().card.text(TextRole::Name).caption, QStringLiteral("改过的"));
}
