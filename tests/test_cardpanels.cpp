#include "ui/app/MainWindow.h"
#include "ui/library/LibraryManager.h"
#include "model/FileAccess.h"
#include "model/CardFile.h"
#include "model/CardReader.h"
#include "render/Fonts.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"
#include "model/CardLibrary.h"
#include "model/IniFile.h"
#include "ui/panels/OpenPanel.h"
#include "ui/panels/SavePanel.h"
#include "ui/page/PageWidget.h"
#include "support/PdfProbe.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSaved = QStringLiteral("您的名片已经保存成功！");
const QString kModified = QStringLiteral("系统检测到当前的名片已被您修改过，\r要保存当前被修改过的名片吗？");

struct Window {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> w;
    OpenPanel *open = nullptr;
    SavePanel *save = nullptr;

    explicit Window(const QStringList &categories = {QStringLiteral("商务")})
    {
        for (const QString &c : categories) QDir(folder.root()).mkpath(QStringLiteral("mycard/") + c);
        w = std::make_unique<MainWindow>(ProgramFolder(folder.root()), dialogs);
        open = w->findChild<OpenPanel *>(QStringLiteral("frm_cz(1)"));
        save = w->findChild<SavePanel *>(QStringLiteral("frm_cz(2)"));
    }

    QString path(const QString &relative) const { return folder.path(relative); }
    CardSession &session() { return w->session(); }

    void writeCard(const QString &relative, const QString &name)
    {
        CardDocument card = CardDocument::defaultCard();
        card.text(TextRole::Name).caption = name;
        writeCard(relative, card);
    }

    void writeCard(const QString &relative, const CardDocument &card)
    {
        IniFile ini;
        CardFile::write(card, ini);
        QVERIFY(IniStore::save(path(relative), ini));
    }

    // Opens mycard/商务/<name> through the open panel.
    void openCard(const QString &name)
    {
        w->showOpenPanel();
        choose(open->categoryList(), QStringLiteral("商务"));
        chooseFile(name);
    }

    static void choose(QComboBox *list, const QString &text)
    {
        const int index = list->findText(text);
        QVERIFY(index >= 0);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    void chooseFile(const QString &name)
    {
        const auto items = open->fileList()->findItems(name, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        QListWidget *list = open->fileList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
        QCOMPARE(list->currentItem(), items[0]);
    }

    // Save panel: category, name, format (0 card file, 1 bitmap, 2 PDF), then the save button.
    void saveAs(const QString &category, const QString &name, int format = 0, bool trim = false)
    {
        w->showSavePanel();
        choose(save->categoryList(), category);
        save->nameField()->setText(name);
        save->formatOption(format)->setChecked(true);
        save->trimOption()->setChecked(trim);
        save->button(3)->click();
    }
};

// A card in which every field differs from the default card.
CardDocument everyFieldChanged(BackgroundKind kind)
{
    CardDocument d;
    d.page = {7144, 2608, kind, 255, QString(), -2147483643, 65280, QStringLiteral("-45")};
    d.logo = {QStringLiteral("公司\\标志 1.bmp"), 10.5f, 1417.5f, -20, 0.25f, false};
    d.line = {56.7f, 4965, 170, 3000.5f, 16711680, false};
    for (std::size_t i = 0; i < kTextCount; ++i)
        d.texts[i] = {QStringLiteral("文字%1 \"引号\" = ;x").arg(i), QStringLiteral("楷体_GB2312"), i % 2 == 0,
                      i % 3 == 0, 10.5f + float(i), Colour::Value(i * 1000), float(i * 100) + 0.5f, 5443.2f,
                      i % 2 == 1};
    return d;
}

// penlark-card dump of a card file, read back into a document.
CardDocument dumpedCard(const QString &file, const QString &programFolder)
{
    QProcess tool;
    tool.start(QStringLiteral(PENLARK_CARD_EXE), {"dump", file, "--program-folder", programFolder});
    tool.waitForFinished(30000);
    const QJsonObject json = QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
    CardDocument doc;
    for (const CardFile::Key &key : CardFile::keys()) {
        const QJsonValue v = json[key.section].toObject()[key.name];
        const QString text = v.isString() ? v.toString()
                             : v.isBool() ? (v.toBool() ? QStringLiteral("True") : QStringLiteral("False"))
                                          : QString::number(v.toDouble(), 'g', 17);
        CardFile::parseField(text, key.field(doc));
    }
    return doc;
}

} // namespace

class TestCardPanels : public QObject
{
    Q_OBJECT
private slots:
    void tellsWhenThereAreNoCategories();
    void opensCardFilesAfterTheQuestionAboutEdits();
    void asksBeforeTheLibraryManagerOpensACard();
    void opensEveryFieldOfACard();
    void opensAMissingBackgroundAsAWhitePage();
    void previewsPictureCardsOnly();
    void setsTheStartupCard();
    void followsTheKeyboardInTheFileList();
    void leavesThePageWhenACardFileVanished();
    void leavesThePageWhenACardFileCannotBeRead();
    void opensACardWithAHugePageAsTheDefaultPage();
    void disablesTheFileListOfAnEmptyCategory();
    void enablesSavingOnlyWithAName();
    void savesCardFilesAndAsksBeforeOverwriting();
    void savesBitmapsWithAndWithoutBleed();
    void savesAndOpensBothSidesOfACard();
    void savesThePdfThePrintShopGets();
    void reportsSavesThatFail();
    void refusesNamesThatLeaveTheLibrary();
    void saysWhatIsWrongWithAName();
    void saysAPictureIsTooLarge();
    void createsAndDeletesCategories();
    void savesIntoTheFirstCategoryMadeHere();
    void stopsDeletingAtTheFirstFileThatStays();
    void showsTheWholeFormatNoteWithTheNewCategoryFrame();
    void endsTheProgramAfterTheSaveAskedForOnClosing();
};

void TestCardPanels::tellsWhenThereAreNoCategories()
{
    Window t(QStringList{});
    t.w->showOpenPanel();
    QCOMPARE(t.open->categoryList()->count(), 0);
    QCOMPARE(t.open->categoryList()->placeholderText(), QStringLiteral("还没有已创建名片分类"));
    QVERIFY(!t.open->fileList()->isEnabled());
    QVERIFY(!t.open->button(2)->isEnabled());
    t.w->showSavePanel();
    QVERIFY(!t.save->categoryList()->isEnabled());
    QCOMPARE(t.save->categoryList()->placeholderText(), QStringLiteral("×没有名片分类请先创建！"));
}

void TestCardPanels::opensCardFilesAfterTheQuestionAboutEdits()
{
    Window t;
    t.writeCard(QStringLiteral("mycard/商务/王磊.PNK"), QStringLiteral("王磊"));
    t.session().card.text(TextRole::Job).caption = QStringLiteral("改过");
    t.session().cardSaved = false;
    const CardDocument edited = t.session().card;
    // Esc keeps the page; Yes keeps it and shows the save panel; No opens the card.
    t.dialogs.answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Yes, Dialogs::Answer::No};
    t.w->showOpenPanel();
    QCOMPARE(t.open->categoryList()->placeholderText(), QStringLiteral("↓请选择您的名片分类"));
    Window::choose(t.open->categoryList(), QStringLiteral("商务"));
    QVERIFY(t.open->fileList()->isEnabled());
    t.chooseFile(QStringLiteral("王磊.PNK"));
    QCOMPARE(t.session().card, edited);
    QCOMPARE(t.w->visiblePanel(), 1);
    QVERIFY(!t.open->button(2)->isEnabled());
    t.chooseFile(QStringLiteral("王磊.PNK"));
    QCOMPARE(t.session().card, edited);
    QCOMPARE(t.w->visiblePanel(), 2);
    t.openCard(QStringLiteral("王磊.PNK"));
    t.openCard(QStringLiteral("王磊.PNK")); // an unchanged page is replaced without a question
    QCOMPARE(t.dialogs.records.size(), 3);
    QCOMPARE(t.dialogs.last().text, kModified);
    QCOMPARE(t.dialogs.last().buttons, Dialogs::Buttons::YesNoDismissible);
    QCOMPARE(t.session().card.text(TextRole::Name).caption, QStringLiteral("王磊"));
    QCOMPARE(t.session().card.text(TextRole::Job).caption, QStringLiteral("无业游民"));
    QVERIFY(t.session().cardSaved);
    QCOMPARE(t.session().cardSource, CardSource::OpenPanelList);
    QCOMPARE(t.w->windowTitle(), QStringLiteral("王磊.PNK - Penlark 3.0版"));
    QVERIFY(!t.open->button(1)->isEnabled());
    QVERIFY(t.open->button(2)->isEnabled());
}

void TestCardPanels::asksBeforeTheLibraryManagerOpensACard()
{
    Window t;
    t.session().cardSaved = false;
    t.dialogs.answers = {Dialogs::Answer::Yes};
    t.w->showLibraryManager(ProgramFolder::Library::Cards);
    emit t.w->libraryManager()->cardOpenRequested();
    QCOMPARE(t.dialogs.last().text, kModified);
    QCOMPARE(t.w->visiblePanel(), 2);
}

void TestCardPanels::opensEveryFieldOfACard()
{
    Window t;
    t.folder.writePicture(QStringLiteral("logo/公司/标志 1.bmp"), Qt::red);
    const CardDocument solid = everyFieldChanged(BackgroundKind::SolidColour);
    t.writeCard(QStringLiteral("mycard/商务/单色.pnk"), solid);
    // A solid card does not read the gradient: the one shown before stays.
    CardPage solidPage = solid.page;
    solidPage.jbColor1 = t.session().card.page.jbColor1;
    solidPage.jbColor2 = t.session().card.page.jbColor2;
    solidPage.jbJiaoDu = t.session().card.page.jbJiaoDu;
    t.openCard(QStringLiteral("单色.pnk"));
    QCOMPARE(t.session().card.page, solidPage);
    QCOMPARE(t.session().card.logo, solid.logo);
    QCOMPARE(t.session().card.line, solid.line);
    for (std::size_t i = 0; i < kTextCount; ++i) QCOMPARE(t.session().card.texts[i], solid.texts[i]);
    QCOMPARE(t.session().view.logo.pixelColor(0, 0), QColor(Qt::red));
    QVERIFY(t.dialogs.records.isEmpty());

    // A gradient card reads its gradient; the page colour it does not use stays.
    CardDocument gradient = everyFieldChanged(BackgroundKind::Gradient);
    gradient.page.bgColor = 65535;
    gradient.page.jbColor1 = 12345;
    t.writeCard(QStringLiteral("mycard/商务/渐变.pnk"), gradient);
    t.openCard(QStringLiteral("渐变.pnk"));
    CardDocument expected = gradient;
    expected.page.bgColor = solid.page.bgColor;
    QCOMPARE(t.session().card, expected);
    QCOMPARE(t.session().view.shownBackground(t.session().card.page), BackgroundKind::Gradient);
}

void TestCardPanels::opensAMissingBackgroundAsAWhitePage()
{
    Window t;
    CardDocument gradient = CardDocument::defaultCard();
    gradient.page.isBg = BackgroundKind::Gradient;
    gradient.page.jbColor1 = 255;
    gradient.page.jbColor2 = 16711680;
    t.writeCard(QStringLiteral("mycard/商务/渐变.pnk"), gradient);
    CardDocument missing = CardDocument::defaultCard();
    missing.page.isBg = BackgroundKind::LibraryImage;
    missing.page.bgImg = QStringLiteral("风景\\海.jpg");
    missing.page.bgColor = 255;
    t.writeCard(QStringLiteral("mycard/商务/缺图.pnk"), missing);

    t.openCard(QStringLiteral("渐变.pnk"));
    t.openCard(QStringLiteral("缺图.pnk"));
    QCOMPARE(t.dialogs.records.size(), 1);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("背景文件“海.jpg”没有发现\r系统将以白色底色代替…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
    const CardPage &page = t.session().card.page;
    QCOMPARE(page.isBg, BackgroundKind::SolidColour);
    QCOMPARE(page.bgColor, Colour::kWhite);
    QCOMPARE(page.bgImg, QString());
    const QImage shown = t.w->page()->pageImage();
    QCOMPARE(shown.pixelColor(shown.width() - 5, shown.height() / 2), QColor(Qt::white));
    QVERIFY(t.session().cardSaved);

    t.saveAs(QStringLiteral("商务"), QStringLiteral("另存"));
    const QString saved = t.path(QStringLiteral("mycard/商务/另存.pnk"));
    QCOMPARE(IniStore::read(saved, QStringLiteral("cPage"), QStringLiteral("isBg")), QStringLiteral("0"));
    QCOMPARE(IniStore::read(saved, QStringLiteral("cPage"), QStringLiteral("bgColor")), QStringLiteral("16777215"));
    QCOMPARE(IniStore::read(saved, QStringLiteral("cPage"), QStringLiteral("bgImg")), QString());

    // penlark-card opens the file the same way; only the gradient colours the
    // designer kept from the card shown before differ.
    CardDocument designer = t.session().card;
    designer.page.jbColor1 = missing.page.jbColor1;
    designer.page.jbColor2 = missing.page.jbColor2;
    QCOMPARE(dumpedCard(t.path(QStringLiteral("mycard/商务/缺图.pnk")), t.folder.root()), designer);
}

void TestCardPanels::previewsPictureCardsOnly()
{
    Window t;
    t.folder.writePicture(QStringLiteral("mycard/商务/印刷.bmp"), Qt::blue, {363, 227});
    t.session().cardSaved = false;
    const CardDocument before = t.session().card;
    const QString caption = t.w->windowTitle();
    t.w->showOpenPanel();
    Window::choose(t.open->categoryList(), QStringLiteral("商务"));
    t.chooseFile(QStringLiteral("印刷.bmp"));
    auto *preview = t.w->findChild<QWidget *>(QStringLiteral("view_bg"));
    QVERIFY(preview->isVisibleTo(t.w.get()));
    QCOMPARE(t.session().card, before);
    QVERIFY(!t.session().cardSaved);
    QCOMPARE(t.w->windowTitle(), caption);
    QVERIFY(t.open->button(1)->isEnabled());
    QVERIFY(!t.open->button(2)->isEnabled());

    QFile::remove(t.path(QStringLiteral("mycard/商务/印刷.bmp")));
    t.chooseFile(QStringLiteral("印刷.bmp"));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("该文件不存在，或刚被删除…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);

    QTest::mouseClick(t.w->findChild<QWidget *>(QStringLiteral("menu(4)")), Qt::LeftButton);
    QVERIFY(!preview->isVisibleTo(t.w.get()));
}

void TestCardPanels::setsTheStartupCard()
{
    Window t;
    t.writeCard(QStringLiteral("mycard/商务/启动.pnk"), QStringLiteral("启动人"));
    t.w->showOpenPanel();
    Window::choose(t.open->categoryList(), QStringLiteral("商务"));
    t.chooseFile(QStringLiteral("启动.pnk"));
    t.open->button(2)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您的启动名片更改成功！\r已经更改为：启动.pnk"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.folder.startupCard(), QStringLiteral("商务\\启动.pnk"));
    t.session().card.text(TextRole::Name).caption = QStringLiteral("别的");
    t.w->startNewCard();
    QCOMPARE(t.session().card.text(TextRole::Name).caption, QStringLiteral("启动人"));
    QCOMPARE(t.w->windowTitle(), QStringLiteral("启动.pnk - Penlark 3.0版"));
}

void TestCardPanels::enablesSavingOnlyWithAName()
{
    Window t;
    t.w->showSavePanel();
    QCOMPARE(t.save->categoryList()->placeholderText(), QStringLiteral("↓请先选择您的名片分类"));
    QVERIFY(!t.save->button(0)->isEnabled());
    QVERIFY(!t.save->trimOption()->isEnabled());
    t.save->nameField()->setText(QStringLiteral("   "));
    QVERIFY(!t.save->button(3)->isEnabled());
    t.save->nameField()->setText(QStringLiteral(" a "));
    QVERIFY(t.save->button(3)->isEnabled());
    t.save->button(3)->click(); // no category chosen yet
    QCOMPARE(t.dialogs.last().text, QStringLiteral("没有选择一个名片分类！\r如果还没有名片分类，请先创建！"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("操作提示："));
    t.save->formatOption(1)->setChecked(true);
    t.save->trimOption()->setChecked(true);
    t.save->formatOption(0)->setChecked(true);
    QVERIFY(!t.save->trimOption()->isEnabled());
    QVERIFY(!t.save->trimOption()->isChecked());
}

void TestCardPanels::savesCardFilesAndAsksBeforeOverwriting()
{
    Window t;
    const QString file = t.path(QStringLiteral("mycard/商务/我的.pnk"));
    IniStore::write(file, QStringLiteral("cName"), QStringLiteral("note"), QStringLiteral("外来的键"));
    IniStore::write(file, QStringLiteral("cName"), QStringLiteral("caption"), QStringLiteral("旧的"));
    t.session().card.text(TextRole::Name).caption = QStringLiteral("新的");
    t.session().cardSaved = false;

    t.dialogs.answers = {Dialogs::Answer::No};
    t.saveAs(QStringLiteral("商务"), QStringLiteral(" 我的 "));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名称为我的.pnk的文件已经存在！\r是否要覆盖这个文件？"));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Question);
    QCOMPARE(t.save->nameField()->text(), QString());
    QVERIFY(!t.save->button(3)->isEnabled());
    QCOMPARE(IniStore::read(file, QStringLiteral("cName"), QStringLiteral("caption")), QStringLiteral("旧的"));
    QVERIFY(!t.session().cardSaved);
    QCOMPARE(t.w->windowTitle(), QStringLiteral("新建名片 - Penlark 3.0版"));

    t.dialogs.answers = {Dialogs::Answer::Yes};
    t.saveAs(QStringLiteral("商务"), QStringLiteral(" 我的 "));
    QCOMPARE(t.dialogs.last().text, kSaved);
    QCOMPARE(t.w->windowTitle(), QStringLiteral("我的.pnk - Penlark 3.0版"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Information);
    QVERIFY(t.session().cardSaved);
    const IniFile saved = IniStore::load(file);
    QCOMPARE(*saved.value(u"cName", u"caption"), QStringLiteral("新的"));
    QCOMPARE(*saved.value(u"cName", u"note"), QStringLiteral("外来的键"));
    CardDocument reread = CardDocument::defaultCard();
    PageView view;
    CardReader::read(CardReader::valuesOf(saved), PagePictures::sourceFor(ProgramFolder(t.folder.root())), reread, view);
    QCOMPARE(reread, t.session().card);
}

void TestCardPanels::savesBitmapsWithAndWithoutBleed()
{
    Window t;
    t.saveAs(QStringLiteral("商务"), QStringLiteral("全图"), true);
    QCOMPARE(QImage(t.path(QStringLiteral("mycard/商务/全图.bmp"))).size(), QSize(363, 227));
    t.saveAs(QStringLiteral("商务"), QStringLiteral("裁切"), true, true);
    QCOMPARE(QImage(t.path(QStringLiteral("mycard/商务/裁切.bmp"))).size(), QSize(340, 204));
    QCOMPARE(t.dialogs.last().text, kSaved);
    QCOMPARE(t.w->windowTitle(), QStringLiteral("新建名片 - Penlark 3.0版")); // a picture is no card to edit
}

void TestCardPanels::savesAndOpensBothSidesOfACard()
{
    Window t;
    t.session().card.page.width = 2608; // 46 mm: the new back's company name is a block at once
    t.w->addCardBack();
    QVERIFY(t.session().view.textBlocks[std::size_t(TextRole::Company)].has_value());
    CardDocument &card = t.session().card;
    card.text(TextRole::Company).caption = QStringLiteral("Beijing Qinghe Culture Communication and Design Co., Ltd.");
    t.w->showCardSide(CardSide::Front);
    const CardDocument saved = card;
    t.saveAs(QStringLiteral("商务"), QStringLiteral("两面"));
    t.w->startNewCard();
    // Opened, the card shows its front, and the back's long company name wraps in its block again.
    t.openCard(QStringLiteral("两面.pnk"));
    QCOMPARE(card, saved);
    QVERIFY(t.session().view.otherSide->textBlocks[std::size_t(TextRole::Company)].has_value());
    // The bitmap save writes the front under its name and the back beside it.
    t.w->showCardSide(CardSide::Back);
    t.saveAs(QStringLiteral("商务"), QStringLiteral("两面"), 1);
    QCOMPARE(t.dialogs.last().text, kSaved + QStringLiteral("\r正面：两面.bmp\r反面：两面-反面.bmp"));
    for (const auto &[side, file] : {std::pair(CardSide::Front, "两面.bmp"), std::pair(CardSide::Back, "两面-反面.bmp")}) {
        CardDocument c = card;
        PageView v = t.session().view;
        showSide(c, v, side);
        QCOMPARE(QImage(t.path(QStringLiteral("mycard/商务/") + QString::fromUtf8(file))).convertToFormat(QImage::Format_RGB32),
                 PageRenderer::renderBitmap(c, v, PageGeometry::kScreenTwipsPerPixel).convertToFormat(QImage::Format_RGB32));
    }
    QFile::remove(t.path(QStringLiteral("mycard/商务/两面.bmp")));
    t.saveAs(QStringLiteral("商务"), QStringLiteral("两面"), 1);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名称为两面-反面.bmp的文件已经存在！\r是否要覆盖这个文件？"));
}

void TestCardPanels::savesThePdfThePrintShopGets()
{
    if (!PdfProbe::available()) QSKIP("poppler-utils are needed to read the PDFs back");
    Fonts::installSubstitutions(); // the faces the tool draws with, as the designer has them
    Window t;
    t.saveAs(QStringLiteral("商务"), QStringLiteral("名片"));
    t.saveAs(QStringLiteral("商务"), QStringLiteral("印刷"), 2);
    QVERIFY(t.save->trimOption()->isEnabled());
    t.saveAs(QStringLiteral("商务"), QStringLiteral("裁切"), 2, true);
    QCOMPARE(t.dialogs.last().text, kSaved);
    t.dialogs.answers = {Dialogs::Answer::No};
    t.saveAs(QStringLiteral("商务"), QStringLiteral("裁切"), 2, true);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名称为裁切.pdf的文件已经存在！\r是否要覆盖这个文件？"));

    // The designer writes the PDF the tool writes: marks, or with the trim option the card as cut.
    const QString card = t.path(QStringLiteral("mycard/商务/名片.pnk"));
    for (const auto &[saved, option] : {std::pair{"印刷.pdf", "--marks"}, std::pair{"裁切.pdf", "--trim"}}) {
        const QString tool = t.path(QStringLiteral("tool.pdf"));
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE),
                                   {"render", card, "-o", tool, option, "--program-folder", t.folder.root()}),
                 0);
        const QString designer = t.path(QStringLiteral("mycard/商务/") + QString::fromUtf8(saved));
        for (const char *box : {"MediaBox", "BleedBox", "TrimBox"})
            QCOMPARE(PdfProbe::box(designer, box), PdfProbe::box(tool, box));
        
    }
    QVERIFY(PdfProbe::box(t.path(QStringLiteral("mycard/商务/印刷.pdf")), "MediaBox").width() > 300);

    // The PDF is in CMYK unless the box is cleared, and the note's third line says which.
    const auto *note = t.save->findChild<QLabel *>(QStringLiteral("save_note"));
    QCOMPARE(PdfProbe::info(t.path(QStringLiteral("mycard/商务/印刷.pdf")), "PDF version"), QStringLiteral("1.6"));
    QVERIFY(note->text().endsWith(QStringLiteral("3，.pdf：(印刷文件格式)交印刷厂：印刷色(CMYK)，带3毫米出血和裁切线。</p>")));
    t.w->showSavePanel();
    Window::choose(t.save->categoryList(), QStringLiteral("商务"));
    t.save->nameField()->setText(QStringLiteral("屏幕色"));
    QVERIFY(!t.save->cmykOption()->isEnabled() && t.save->cmykOption()->isChecked());
    t.save->formatOption(2)->setChecked(true);
    QVERIFY(t.save->cmykOption()->isEnabled());
    t.save->cmykOption()->setChecked(false);
    QVERIFY(note->text().endsWith(QStringLiteral("3，.pdf：(印刷文件格式)交印刷厂：矢量文字，带3毫米出血和裁切线。</p>")));
    t.save->button(3)->click();
    QCOMPARE(PdfProbe::info(t.path(QStringLiteral("mycard/商务/屏幕色.pdf")), "PDF version"), QStringLiteral("1.4"));
    t.w->showSavePanel();
    QVERIFY(t.save->cmykOption()->isChecked());
}

void TestCardPanels::reportsSavesThatFail()
{
    Window t;
    t.session().cardSaved = false;
    t.session().exitAfterSave = true;
    t.w->show();
    t.w->showSavePanel();
    Window::choose(t.save->categoryList(), QStringLiteral("商务"));
    QDir(t.path(QStringLiteral("mycard/商务"))).removeRecursively(); // the folder went away meanwhile
    t.save->nameField()->setText(QStringLiteral("我的"));
    t.save->button(3)->click();
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("保存失败！"));
    QVERIFY(t.dialogs.last().text.startsWith(QStringLiteral("您的名片没有保存成功！\r")));
    QVERIFY(!t.session().cardSaved);
    QVERIFY(t.w->isVisible()); // the program goes on
}

void TestCardPanels::refusesNamesThatLeaveTheLibrary()
{
    Window t;
    for (const QString &bad : {QStringLiteral("../外面"), QStringLiteral("a\\b"), QStringLiteral(".."),
                               QStringLiteral("问题?"), QStringLiteral("C:")}) {
        QVERIFY2(!CardLibrary::nameProblem(bad).isEmpty(), qPrintable(bad));
        t.dialogs.clear();
        t.w->showSavePanel();
        t.save->button(1)->click();
        t.save->newCategoryField()->setText(bad);
        t.save->button(2)->click();
        QCOMPARE(t.dialogs.last().caption, QStringLiteral("操作提示："));
        t.saveAs(QStringLiteral("商务"), bad);
        QVERIFY(t.dialogs.last().text != kSaved);
    }
    QCOMPARE(QDir(t.folder.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 4); // nothing new
    QCOMPARE(QDir(t.path(QStringLiteral("mycard"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("商务")});
    QVERIFY(QDir(t.path(QStringLiteral("mycard/商务"))).isEmpty());
    QVERIFY(CardLibrary::nameProblem(QStringLiteral("张三 2026.12")).isEmpty());
}

void TestCardPanels::createsAndDeletesCategories()
{
    Window t;
    t.w->showSavePanel();
    t.save->button(1)->click();
    QVERIFY(t.save->frame(1)->isVisibleTo(t.save));
    QCOMPARE(t.save->button(1)->text(), QStringLiteral("×取消新增分类"));
    QCOMPARE(t.save->categoryList()->placeholderText(), QStringLiteral("↓正在创建您的名片分类"));
    t.save->newCategoryField()->setText(QStringLiteral("  "));
    QVERIFY(!t.save->button(2)->isEnabled());
    t.save->newCategoryField()->setText(QStringLiteral("商务"));
    t.save->button(2)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您要创建的“商务”已经存在\r请重新确定一个新的分类名称！"));
    QCOMPARE(t.save->newCategoryField()->text(), QString());
    QCOMPARE(t.save->categoryList()->count(), 1);

    t.save->newCategoryField()->setText(QStringLiteral(" 朋友 "));
    t.save->button(2)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("已成功创建了“朋友”的名片分类！"));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::None);
    QVERIFY(QFileInfo(t.path(QStringLiteral("mycard/朋友"))).isDir());
    QCOMPARE(t.save->categoryList()->count(), 2);
    QVERIFY(!t.save->frame(1)->isVisibleTo(t.save));
    QCOMPARE(t.save->button(1)->text(), QStringLiteral("增加新的分类…"));

    // Deleting: No keeps everything; Yes removes the files and the folder.
    t.saveAs(QStringLiteral("朋友"), QStringLiteral("一"));
    Window::choose(t.save->categoryList(), QStringLiteral("朋友"));
    t.dialogs.answers = {Dialogs::Answer::No};
    t.save->button(0)->click();
    QCOMPARE(t.dialogs.records[t.dialogs.records.size() - 2].caption, QStringLiteral("Penlark提醒您："));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您已经取消了删除操作！"));
    QVERIFY(QFileInfo::exists(t.path(QStringLiteral("mycard/朋友/一.pnk"))));
    t.dialogs.answers = {Dialogs::Answer::Yes};
    t.save->button(0)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("已经删除了“朋友”的分类！"));
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("mycard/朋友"))));
    QCOMPARE(t.save->categoryList()->currentIndex(), -1);
    QVERIFY(!t.save->button(0)->isEnabled());

    // A category holding a folder cannot be removed; its files are gone all the same.
    QDir(t.folder.root()).mkpath(QStringLiteral("mycard/旧/子"));
    t.writeCard(QStringLiteral("mycard/旧/x.pnk"), QStringLiteral("x"));
    t.w->showSavePanel();
    Window::choose(t.save->categoryList(), QStringLiteral("旧"));
    t.dialogs.answers = {Dialogs::Answer::Yes};
    t.save->button(0)->click();
    QCOMPARE(t.dialogs.last().text,
             QStringLiteral("可能的原因是部分文件被设置成了“只读”属性！\r请先取消着些文件的“只读”属性再删除…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("删除失败！"));
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("mycard/旧/x.pnk"))));
    QVERIFY(QFileInfo::exists(t.path(QStringLiteral("mycard/旧/子"))));
}

void TestCardPanels::endsTheProgramAfterTheSaveAskedForOnClosing()
{
    Window t;
    t.w->show();
    t.session().cardSaved = false;
    t.dialogs.answers = {Dialogs::Answer::Yes};
    QVERIFY(!t.w->close());
    QCOMPARE(t.w->visiblePanel(), 2);
    t.saveAs(QStringLiteral("商务"), QStringLiteral("收尾"));
    QCOMPARE(t.dialogs.last().text, kSaved);
    QVERIFY(!t.w->isVisible());
    QVERIFY(QFileInfo::exists(t.path(QStringLiteral("mycard/商务/收尾.pnk"))));
}

void TestCardPanels::followsTheKeyboardInTheFileList()
{
    Window t;
    t.writeCard(QStringLiteral("mycard/商务/a.pnk"), QStringLiteral("甲"));
    t.folder.writePicture(QStringLiteral("mycard/商务/b.bmp"), Qt::blue);
    QListWidget *list = t.open->fileList();
    // Tabbing into the list makes its first file current without choosing it.
    t.w->showOpenPanel();
    Window::choose(t.open->categoryList(), QStringLiteral("商务"));
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(list, &tabbedIn);
    QVERIFY(list->currentItem());
    QCOMPARE(t.session().card, CardDocument::defaultCard());
    t.openCard(QStringLiteral("a.pnk"));
    auto *preview = t.w->findChild<QWidget *>(QStringLiteral("view_bg"));

    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("b.bmp"));
    QVERIFY(preview->isVisibleTo(t.w.get()));
    QVERIFY(t.open->button(1)->isEnabled());
    QVERIFY(!t.open->button(2)->isEnabled()); // a picture can never be the start-up card
    t.open->button(2)->click();
    QCOMPARE(t.folder.startupCard(), QString());

    t.session().card.text(TextRole::Name).caption = QStringLiteral("改过");
    QTest::keyClick(list, Qt::Key_Up);
    QVERIFY(!preview->isVisibleTo(t.w.get()));
    QCOMPARE(t.session().card.text(TextRole::Name).caption, QStringLiteral("甲"));
    QVERIFY(t.open->button(2)->isEnabled());
    t.open->button(2)->click();
    QCOMPARE(t.folder.startupCard(), QStringLiteral("商务\\a.pnk"));
}

void TestCardPanels::leavesThePageWhenACardFileVanished()
{
    Window t;
    t.writeCard(QStringLiteral("mycard/商务/a.pnk"), QStringLiteral("甲"));
    t.writeCard(QStringLiteral("mycard/商务/b.pnk"), QStringLiteral("乙"));
    t.openCard(QStringLiteral("a.pnk"));
    t.session().card.text(TextRole::Job).caption = QStringLiteral("改过");
    t.session().cardSaved = false;
    const CardDocument before = t.session().card;
    QVERIFY(QFile::remove(t.path(QStringLiteral("mycard/商务/b.pnk"))));
    t.dialogs.answers = {Dialogs::Answer::No};
    t.chooseFile(QStringLiteral("b.pnk"));
    QCOMPARE(t.dialogs.records.size(), 2);
    QVERIFY(!t.open->button(2)->isEnabled()); // only a card that opened can be the start-up card
    QCOMPARE(t.dialogs.last().text, QStringLiteral("该文件不存在，或刚被删除…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
    QCOMPARE(t.session().card, before);
    QVERIFY(!t.session().cardSaved);
    QCOMPARE(t.w->windowTitle(), QStringLiteral("a.pnk - Penlark 3.0版"));
}

void TestCardPanels::leavesThePageWhenACardFileCannotBeRead()
{
    Window t;
    t.writeCard(QStringLiteral("mycard/商务/a.pnk"), QStringLiteral("甲"));
    t.writeCard(QStringLiteral("mycard/商务/b.pnk"), QStringLiteral("乙"));
    t.writeCard(QStringLiteral("mycard/商务/c.pnk"), QStringLiteral("丙"));
    t.writeCard(QStringLiteral("mycard/商务/d.pnk"), QStringLiteral("丁"));
    t.openCard(QStringLiteral("a.pnk"));
    const CardDocument before = t.session().card;
    // A folder in the file's place cannot be read, whoever runs the test.
    QVERIFY(QFile::remove(t.path(QStringLiteral("mycard/商务/b.pnk"))));
    QVERIFY(QDir().mkdir(t.path(QStringLiteral("mycard/商务/b.pnk"))));
    t.chooseFile(QStringLiteral("b.pnk"));
    QCOMPARE(t.dialogs.records.size(), 1);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名片文件“b.pnk”无法读取：这是一个文件夹\r当前的名片保持不变…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
    QCOMPARE(t.session().card, before);
    QCOMPARE(t.w->windowTitle(), QStringLiteral("a.pnk - Penlark 3.0版"));

    // A named pipe would hold the window until something wrote into it.
    const QString d = t.path(QStringLiteral("mycard/商务/d.pnk"));
    QVERIFY(QFile::remove(d));
    QCOMPARE(::mkfifo(QFile::encodeName(d).constData(), 0600), 0);
    t.chooseFile(QStringLiteral("d.pnk"));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名片文件“d.pnk”无法读取：这不是一个普通的文件\r当前的名片保持不变…"));
    QCOMPARE(t.session().card, before);

    // One byte over the tool's limit is no card either.
    QVERIFY(QFile::remove(d));
    QFile big(d);
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(FileAccess::kLargestIniFile + 1));
    big.close();
    t.chooseFile(QStringLiteral("d.pnk"));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名片文件“d.pnk”无法读取：文件太大，不是名片文件\r当前的名片保持不变…"));
    QCOMPARE(t.session().card, before);

    // Nobody, root included, reads a socket.
    const QString c = t.path(QStringLiteral("mycard/商务/c.pnk"));
    QVERIFY(QFile::remove(c));
    QLocalServer socket;
    QVERIFY(socket.listen(c));
    t.chooseFile(QStringLiteral("c.pnk"));
    QCOMPARE(t.dialogs.records.size(), 4);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名片文件“c.pnk”无法读取：这不是一个普通的文件\r当前的名片保持不变…"));
    QCOMPARE(t.session().card, before);
    QVERIFY(!t.open->button(2)->isEnabled());
}

void TestCardPanels::opensACardWithAHugePageAsTheDefaultPage()
{
    Window t;
    t.writeCard(QStringLiteral("mycard/商务/a.pnk"), QStringLiteral("甲"));
    {
        QFile f(t.path(QStringLiteral("mycard/商务/huge.pnk")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[cPage]\r\nwidth=100000\r\nheight=3e38\r\n[cName]\r\nLeft=99999999999\r\n");
    }
    t.openCard(QStringLiteral("huge.pnk"));
    QCOMPARE(t.dialogs.records.size(), 1);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("名片文件中的这些尺寸或位置超出了可用的范围：\r"
                                                   "cPage\\width，cPage\\height，cName\\Left\r"
                                                   "系统以默认名片的数值代替…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    const CardDocument def = CardDocument::defaultCard();
    QCOMPARE(t.session().card.page.width, def.page.width);
    QCOMPARE(t.session().card.page.height, def.page.height);
    QCOMPARE(t.session().card.text(TextRole::Name).Left, def.text(TextRole::Name).Left);
    QCOMPARE(t.w->page()->size(), QSize(363, 227));
}

void TestCardPanels::disablesTheFileListOfAnEmptyCategory()
{
    Window t({QStringLiteral("商务"), QStringLiteral("空")});
    t.writeCard(QStringLiteral("mycard/商务/a.pnk"), QStringLiteral("甲"));
    t.w->showOpenPanel();
    Window::choose(t.open->categoryList(), QStringLiteral("商务"));
    QVERIFY(t.open->fileList()->isEnabled());
    Window::choose(t.open->categoryList(), QStringLiteral("空"));
    QCOMPARE(t.open->fileList()->count(), 0);
    QVERIFY(!t.open->fileList()->isEnabled());
    QVERIFY(!t.open->button(2)->isEnabled());
}

void TestCardPanels::savesIntoTheFirstCategoryMadeHere()
{
    Window t(QStringList{});
    t.w->showSavePanel();
    QVERIFY(!t.save->categoryList()->isEnabled());
    t.save->button(1)->click();
    t.save->newCategoryField()->setText(QStringLiteral("朋友"));
    t.save->button(2)->click();
    QVERIFY(t.save->categoryList()->isEnabled());
    QCOMPARE(t.save->categoryList()->placeholderText(), QStringLiteral("↓请先选择您的名片分类"));
    Window::choose(t.save->categoryList(), QStringLiteral("朋友"));
    t.save->nameField()->setText(QStringLiteral("一"));
    t.save->button(3)->click();
    QCOMPARE(t.dialogs.last().text, kSaved);
    QVERIFY(QFileInfo::exists(t.path(QStringLiteral("mycard/朋友/一.pnk"))));
}

// A file that cannot be deleted stops the deletion: the files after it stay.
void TestCardPanels::stopsDeletingAtTheFirstFileThatStays()
{
    Window t({QStringLiteral("旧")});
    for (const char *name : {"a", "b", "c"})
        t.writeCard(QStringLiteral("mycard/旧/%1.pnk").arg(QLatin1String(name)), QString::fromLatin1(name));
    const QString stays = t.path(QStringLiteral("mycard/旧/b.pnk"));
    // An immutable file resists even root; file systems without the attribute skip the test.
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), stays}) != 0)
        QSKIP("chattr +i is not available here");
    t.w->showSavePanel();
    Window::choose(t.save->categoryList(), QStringLiteral("旧"));
    t.dialogs.answers = {Dialogs::Answer::Yes};
    t.save->button(0)->click();
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), stays});
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("删除失败！"));
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("mycard/旧/a.pnk"))));
    QVERIFY(QFileInfo::exists(stays));
    QVERIFY(QFileInfo::exists(t.path(QStringLiteral("mycard/旧/c.pnk"))));
}

void TestCardPanels::saysWhatIsWrongWithAName()
{
    const QString characters = QStringLiteral("名称中不能含有以下字符：\\ / : * ? \" < > |\r请重新确定一个名称！");
    const QString dots = QStringLiteral("名称不能是“.”、“..”，也不能以“.”结尾！\r请重新确定一个名称！");
    const QString tooLong = QStringLiteral("名称太长了！\r请重新确定一个较短的名称！");
    QCOMPARE(CardLibrary::nameProblem(QStringLiteral("a:b")), characters);
    QCOMPARE(CardLibrary::nameProblem(QStringLiteral("abc.")), dots);
    QCOMPARE(CardLibrary::nameProblem(QStringLiteral(".")), dots);
    // 83 Chinese characters are 249 bytes, 84 are 252: with ".pnk" beyond 255.
    QCOMPARE(CardLibrary::nameProblem(QString(83, QChar(u'名'))), QString());
    QCOMPARE(CardLibrary::nameProblem(QString(84, QChar(u'名'))), tooLong);

    Window t;
    t.saveAs(QStringLiteral("商务"), QString(84, QChar(u'名')));
    QCOMPARE(t.dialogs.last().text, tooLong);
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("操作提示："));
    t.w->showSavePanel();
    t.save->button(1)->click();
    t.save->newCategoryField()->setText(QString(100, QChar(u'类')));
    t.save->button(2)->click();
    QCOMPARE(t.dialogs.last().text, tooLong);
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("操作提示："));
    t.saveAs(QStringLiteral("商务"), QString(83, QChar(u'名')));
    QCOMPARE(t.dialogs.last().text, kSaved);
}

// A picture beyond the size pictures are loaded up to is not "not found".
void TestCardPanels::saysAPictureIsTooLarge()
{
    Window t;
    t.folder.writeBitmapHeader(QStringLiteral("background/风景/大.bmp"), {20000, 10000});
    t.folder.writeBitmapHeader(QStringLiteral("mycard/商务/大.bmp"), {20000, 10000});
    CardDocument card = CardDocument::defaultCard();
    card.page.isBg = BackgroundKind::LibraryImage;
    card.page.bgImg = QStringLiteral("风景\\大.bmp");
    t.writeCard(QStringLiteral("mycard/商务/a.pnk"), card);
    t.openCard(QStringLiteral("a.pnk"));
    t.chooseFile(QStringLiteral("大.bmp"));
    QCOMPARE(t.dialogs.records.size(), 2);
    QCOMPARE(t.dialogs.records[0].text, QStringLiteral("背景文件“大.bmp”太大，无法载入\r系统将以白色底色代替…"));
    QCOMPARE(t.dialogs.records[0].caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.records[1].text, QStringLiteral("该图片文件太大，无法显示…"));
    QCOMPARE(t.dialogs.records[1].caption, QStringLiteral("提醒您："));
}

void TestCardPanels::showsTheWholeFormatNoteWithTheNewCategoryFrame()
{
    // Measured in the interface font the designer sets.
    const QFont font = QApplication::font();
    QApplication::setFont(Fonts::interfaceFont());
    const auto restore = qScopeGuard([&] { QApplication::setFont(font); });
    Window t;
    t.w->showSavePanel();
    t.save->button(1)->click();
    auto *note = t.save->findChild<QLabel *>(QStringLiteral("save_note"));
    QVERIFY(note);
    const int textBottom = note->mapTo(t.save, QPoint(0, note->heightForWidth(note->width()))).y();
    QVERIFY2(textBottom <= t.save->height(), qPrintable(QString::number(textBottom)));
    QVERIFY(note->height() >= note->heightForWidth(note->width()));
}

QTEST_MAIN(TestCardPanels)
#include "test_cardpanels.moc"
