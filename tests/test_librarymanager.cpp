#include "model/CardFile.h"
#include "model/IniFile.h"
#include "model/CardLibrary.h"
#include "model/LibraryFiles.h"
#include "ui/app/MainWindow.h"
#include "ui/panels/LogoPanel.h"
#include "ui/print/PrintWindow.h"
#include "ui/library/AddPanel.h"
#include "ui/library/LibraryManager.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/OpenPanel.h"
#include "ui/panels/SavePanel.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using Library = ProgramFolder::Library;
using Kind = ScriptedDialogs::Kind;
const QString kHint = QStringLiteral("操作提示：");

struct Window {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> w;
    OpenPanel *open = nullptr;

    Window()
    {
        for (const char *dir : {"mycard/商务", "background/商务", "logo/企业"})
            QDir(folder.root()).mkpath(QString::fromUtf8(dir));
        w = std::make_unique<MainWindow>(ProgramFolder(folder.root()), dialogs);
        open = w->findChild<OpenPanel *>(QStringLiteral("frm_cz(1)"));
    }

    QString path(const QString &relative) const { return folder.path(relative); }

    LibraryManager *manager(Library library)
    {
        w->showLibraryManager(library);
        return w->libraryManager();
    }

    template <typename T = QWidget>
    T *control(const QString &name) const
    {
        T *widget = w->libraryManager()->findChild<T *>(name);
        if (!widget) qWarning() << "no control" << name;
        return widget;
    }

    QPushButton *button(int index) const { return w->libraryManager()->button(index); }

    static void choose(QListWidget *list, const QString &text)
    {
        const auto items = list->findItems(text, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        list->setCurrentItem(items[0]);
    }

    void chooseCategory(const QString &name) { choose(w->libraryManager()->categoryList(), name); }
    void chooseFile(const QString &name) { choose(w->libraryManager()->fileList(), name); }

    // The library manager deletes itself once closed.
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

QStringList itemsOf(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

QStringList itemsOf(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

QColor captionColour(const QWidget *widget) { return widget->palette().color(QPalette::WindowText); }

} // namespace

class TestLibraryManager : public QObject
{
    Q_OBJECT
private slots:
    void opensOnTheOpenersLibrary();
    void disablesTheMainWindowUntilClosed_data();
    void disablesTheMainWindowUntilClosed();
    void keepsCreateDisabledForBlankNames();
    void createsCategoriesAndRefusesExistingOnes();
    void refusesUnsafeNames_data();
    void refusesUnsafeNames();
    void deletesCategoriesAfterTheQuestion();
    void renamesCardCategoriesSeenByTheOpenPanel();
    void previewsCardFilesAndPictures();
    void fitsPicturesIntoThePreviewBox();
    void renamesFiles();
    void deletesReadOnlyFiles();
    void appliesABackgroundThatIsSavedAsLibraryPicture();
    void appliesALogoAtItsOwnSize();
    void reportsFilesThatAreNoPictures();
    void refusesPicturesBeyondTheSizeLimit();
    void opensACardFromTheManager();
    void addsPicturesFromDisk();
};

void TestLibraryManager::opensOnTheOpenersLibrary()
{
    Window t;
    QDir(t.folder.root()).mkpath(QStringLiteral("logo/节日"));
    LibraryManager *m = t.manager(Library::Logos);
    QVERIFY(m->libraryOption(1)->isChecked());
    QCOMPARE(captionColour(m->libraryOption(1)), QColor(255, 0, 0));
    QCOMPARE(captionColour(m->libraryOption(0)), QColor(0, 0, 0));
    QCOMPARE(captionColour(m->libraryOption(2)), QColor(0, 0, 0));
    QCOMPARE(itemsOf(m->categoryList()), QStringList({"企业", "节日"}));
    QCOMPARE(t.control<QLabel>(QStringLiteral("fileName"))->text(), QStringLiteral("状态：请选择对应分类的文件…"));
    QCOMPARE(t.control<QGroupBox>(QStringLiteral("frm(1)"))->title(), QStringLiteral("标志分类显示及管理："));
    QCOMPARE(t.control<QGroupBox>(QStringLiteral("frm(2)"))->title(), QStringLiteral("标志文件预览及管理："));
    QCOMPARE(t.control<QGroupBox>(QStringLiteral("frm(3)"))->title(), QStringLiteral("创建新的标志分类："));
    QCOMPARE(t.control<QGroupBox>(QStringLiteral("frm(5)"))->title(), QStringLiteral("添加新的标志文件到这个类中："));
    for (int i = 0; i < 9; ++i) QVERIFY2(!m->button(i)->isEnabled(), qPrintable(QString::number(i)));
    QVERIFY(!m->isWide());
    QCOMPARE(m->width(), 519);

    // The open panel's button opens it on the card library.
    m->close();
    t.settle();
    t.w->showOpenPanel();
    t.open->button(0)->click();
    m = t.w->libraryManager();
    QVERIFY(m);
    QVERIFY(m->libraryOption(2)->isChecked());
    QCOMPARE(captionColour(m->libraryOption(2)), QColor(255, 0, 0));
    QCOMPARE(itemsOf(m->categoryList()), QStringList({"商务"}));
    QCOMPARE(m->listedFolder(), t.path(QStringLiteral("mycard")));

    // Choosing a category enables adding for pictures only, never for cards.
    t.chooseCategory(QStringLiteral("商务"));
    QVERIFY(!m->button(4)->isEnabled());
    QCOMPARE(t.control<QLabel>(QStringLiteral("fileName"))->text(), QStringLiteral("状态：选定了“名片”中的“商务”分类项。"));
    QCOMPARE(t.control<QGroupBox>(QStringLiteral("frm(2)"))->title(), QStringLiteral("当前分类“商务”的名片文件（共0个）："));
    m->libraryOption(0)->setChecked(true);
    QCOMPARE(captionColour(m->libraryOption(0)), QColor(255, 0, 0));
    QCOMPARE(captionColour(m->libraryOption(2)), QColor(0, 0, 0));
    t.chooseCategory(QStringLiteral("商务"));
    QVERIFY(m->button(4)->isEnabled());
    m->button(4)->click();
    QVERIFY(m->isWide());
    QCOMPARE(m->width(), 737);
    QCOMPARE(m->button(4)->text(), QStringLiteral("取消添加<<"));
    m->button(4)->click();
    QVERIFY(!m->isWide());
    QCOMPARE(m->button(4)->text(), QStringLiteral(">>添加新文件…"));
}

void TestLibraryManager::disablesTheMainWindowUntilClosed_data()
{
    QTest::addColumn<bool>("exitButton");
    QTest::newRow("×退出") << true;
    QTest::newRow("window's close control") << false;
}

void TestLibraryManager::disablesTheMainWindowUntilClosed()
{
    QFETCH(bool, exitButton);
    Window t;
    LibraryManager *m = t.manager(Library::Backgrounds);
    QVERIFY(!t.w->isEnabled());
    QVERIFY(m->isEnabled());
    if (exitButton)
        t.control<QPushButton>(QStringLiteral("cmd_Cancel"))->click();
    else
        QVERIFY(m->close());
    t.settle();
    QVERIFY(t.w->isEnabled());
    QVERIFY(!t.w->libraryManager());
    QCOMPARE(t.w->libraryManagerFile(), QString());
}

void TestLibraryManager::keepsCreateDisabledForBlankNames()
{
    Window t;
    LibraryManager *m = t.manager(Library::Backgrounds);
    m->nameField(0)->setText(QStringLiteral("   "));
    QVERIFY(!m->button(2)->isEnabled());
    m->nameField(0)->setText(QStringLiteral(" 新 "));
    QVERIFY(m->button(2)->isEnabled());
    m->nameField(1)->setText(QStringLiteral("\t "));
    QVERIFY(!m->button(3)->isEnabled());
}

void TestLibraryManager::createsCategoriesAndRefusesExistingOnes()
{
    Window t;
    t.folder.writePicture(QStringLiteral("logo/散件.bmp"), Qt::red);
    LibraryManager *m = t.manager(Library::Logos);
    int logoRefreshes = 0;
    connect(m, &LibraryManager::libraryChanged, m, [&](Library l) { logoRefreshes += l == Library::Logos; });

    for (const QString &existing : {QStringLiteral("企业"), QStringLiteral("散件.bmp")}) {
        m->nameField(0)->setText(existing);
        m->button(2)->click();
        QCOMPARE(t.dialogs.last().text, QStringLiteral("您要创建的“") + existing +
                                             QStringLiteral("”已经存在\r请重新确定一个新的分类名称！"));
        QCOMPARE(t.dialogs.last().caption, kHint);
        QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
        QCOMPARE(m->nameField(0)->text(), QString());
    }
    QCOMPARE(itemsOf(m->categoryList()), QStringList({"企业", "散件.bmp"}));

    m->nameField(0)->setText(QStringLiteral(" 节日 "));
    m->button(2)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("已成功创建了“节日”的分类！"));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Information);
    QVERIFY(QFileInfo(t.path(QStringLiteral("logo/节日"))).isDir());
    QCOMPARE(itemsOf(m->categoryList()), QStringList({"企业", "散件.bmp", "节日"}));
    QCOMPARE(logoRefreshes, 1);
    QCOMPARE(t.w->visiblePanel(), 5);
}

void TestLibraryManager::refusesUnsafeNames_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"a/b", "..\\出去", "..", "a:b", "问?号", "星*号", "竖|线", "a\x01b"})
        QTest::newRow(name) << QString::fromUtf8(name);
}

// Create, rename of a category and rename of a file refuse the name with a
// message and change nothing.
void TestLibraryManager::refusesUnsafeNames()
{
    QFETCH(QString, name);
    Window t;
    t.folder.writePicture(QStringLiteral("background/商务/旧名.jpg"), Qt::red);
    LibraryManager *m = t.manager(Library::Backgrounds);
    const QString expected = CardLibrary::nameProblem(name);

    m->nameField(0)->setText(name);
    m->button(2)->click();
    QCOMPARE(t.dialogs.last().text, expected);
    QCOMPARE(t.dialogs.last().caption, kHint);

    t.chooseCategory(QStringLiteral("商务"));
    m->button(1)->click();
    m->nameField(1)->setText(name);
    m->button(3)->click();
    QCOMPARE(t.dialogs.last().text, expected);

    t.chooseFile(QStringLiteral("旧名.jpg"));
    t.dialogs.inputs.push_back(name);
    m->button(8)->click();
    QCOMPARE(t.dialogs.last().text, expected);

    QCOMPARE(LibraryFiles::categories(t.path(QStringLiteral("background"))), QStringList({"商务"}));
    QCOMPARE(LibraryFiles::files(t.path(QStringLiteral("background/商务"))), QStringList({"旧名.jpg"}));
    QCOMPARE(QDir(t.folder.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 4);
}

void TestLibraryManager::deletesCategoriesAfterTheQuestion()
{
    Window t;
    t.folder.writePicture(QStringLiteral("background/花/a.bmp"), Qt::red);
    QDir(t.folder.root()).mkpath(QStringLiteral("background/有子/子"));
    LibraryManager *m = t.manager(Library::Backgrounds);

    t.chooseCategory(QStringLiteral("花"));
    m->button(0)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您已经取消了删除操作！"));
    const ScriptedDialogs::Record question = t.dialogs.records[t.dialogs.records.size() - 2];
    QCOMPARE(question.text, QStringLiteral("这个操作将使分类“花”的所有文件均被删除！\r"
                                           "删除操作务必慎重——确定要删除这个名片分类吗？"));
    QCOMPARE(question.caption, QStringLiteral("Penlark提醒您："));
    QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
    QVERIFY(QFileInfo::exists(t.path(QStringLiteral("background/花/a.bmp"))));

    t.dialogs.answers.push_back(Dialogs::Answer::Yes);
    m->button(0)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("已经删除了“花”的分类！"));
    QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("background/花"))));
    QCOMPARE(itemsOf(m->categoryList()), QStringList({"商务", "有子"}));
    for (int i : {0, 1, 4, 5, 6, 7, 8}) QVERIFY(!m->button(i)->isEnabled());
    QCOMPARE(m->listedFolder(), t.path(QStringLiteral("background")));
    QCOMPARE(t.control<QGroupBox>(QStringLiteral("frm(2)"))->title(), QStringLiteral("背景文件预览及管理："));
    QCOMPARE(t.control<QLabel>(QStringLiteral("fileName"))->text(), QStringLiteral("状态：请选择对应分类的文件…"));

    t.chooseCategory(QStringLiteral("有子"));
    t.dialogs.answers.push_back(Dialogs::Answer::Yes);
    m->button(0)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("可能的原因是部分文件被设置成了“只读”属性！\r"
                                                   "请先取消这些文件的“只读”属性，再删除…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("删除失败！"));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Critical);
    QVERIFY(QFileInfo(t.path(QStringLiteral("background/有子/子"))).isDir());
}

void TestLibraryManager::renamesCardCategoriesSeenByTheOpenPanel()
{
    Window t;
    QDir(t.folder.root()).mkpath(QStringLiteral("mycard/朋友"));
    LibraryManager *m = t.manager(Library::Cards);
    t.chooseCategory(QStringLiteral("商务"));
    m->button(1)->click();
    QCOMPARE(m->button(1)->text(), QStringLiteral("取消更改"));
    QCOMPARE(t.control<QLabel>(QStringLiteral("mmTip(4)"))->text(), QStringLiteral("更改“商务”为："));
    QVERIFY(t.control(QStringLiteral("frm(4)"))->isVisibleTo(m));
    QVERIFY(!t.control(QStringLiteral("frm(3)"))->isVisibleTo(m));

    m->nameField(1)->setText(QStringLiteral("朋友"));
    m->button(3)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您要更改的名称“朋友”已经存在了\r如果要继续更改，请换个名称…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("改名失败！"));
    QCOMPARE(m->button(1)->text(), QStringLiteral("取消更改"));

    m->nameField(1)->setText(QStringLiteral(" 客户 "));
    m->button(3)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("原来的分类名称“商务”\r已经改名为新的名称“客户”"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("改名成功！"));
    QCOMPARE(m->button(1)->text(), QStringLiteral("更改名称"));
    QVERIFY(t.control(QStringLiteral("frm(3)"))->isVisibleTo(m));
    QCOMPARE(m->category(), QStringLiteral("客户"));
    QCOMPARE(m->listedFolder(), t.path(QStringLiteral("mycard/客户")));
    QCOMPARE(t.control<QLabel>(QStringLiteral("fileName"))->text(), QStringLiteral("状态：选定了“名片”中的“客户”分类项。"));
    QCOMPARE(t.w->visiblePanel(), 1);
    QCOMPARE(itemsOf(t.open->categoryList()), QStringList({"客户", "朋友"}));
}

void TestLibraryManager::previewsCardFilesAndPictures()
{
    Window t;
    IniFile card;
    CardFile::write(CardDocument::defaultCard(), card);
    QVERIFY(IniStore::save(t.path(QStringLiteral("mycard/商务/商务.pnk")), card));
    t.folder.writePicture(QStringLiteral("mycard/商务/名片图.bmp"), Qt::blue, {60, 40});
    LibraryManager *m = t.manager(Library::Cards);
    t.chooseCategory(QStringLiteral("商务"));
    QCOMPARE(itemsOf(m->fileList()), QStringList({"名片图.bmp", "商务.pnk"}));

    auto *notice = t.control<QLabel>(QStringLiteral("seeView"));
    t.chooseFile(QStringLiteral("商务.pnk"));
    QCOMPARE(m->button(6)->text(), QStringLiteral("√打开名片"));
    QVERIFY(notice->isVisibleTo(m));
    QCOMPARE(notice->text(), QStringLiteral("您正在查看的是名片模板格式文件…"));
    QVERIFY(m->preview()->pixmap().isNull());
    QCOMPARE(m->preview()->geometry(), QRect(16, 16, 267, 153));
    for (int i : {5, 6, 8}) QVERIFY(m->button(i)->isEnabled());
    QCOMPARE(t.control<QLabel>(QStringLiteral("fileName"))->text(), QStringLiteral("选定文件：名片\\商务\\商务.pnk"));
    QCOMPARE(t.w->libraryManagerFile(), t.path(QStringLiteral("mycard/商务/商务.pnk")));

    t.chooseFile(QStringLiteral("名片图.bmp"));
    QCOMPARE(m->button(6)->text(), QStringLiteral("→打印名片"));
    QVERIFY(!notice->isVisibleTo(m));
    QCOMPARE(m->preview()->pixmap().toImage().pixelColor(5, 5), QColor(Qt::blue));
    QVERIFY(t.dialogs.records.isEmpty());

    t.w->show();
    QImage printed;
    connect(m, &LibraryManager::pictureCardPrintRequested, m, [&](const QImage &p) { printed = p; });
    m->button(6)->click();
    QCOMPARE(printed.size(), QSize(60, 40));
    t.settle();
    QVERIFY(!t.w->libraryManager());
    QVERIFY(t.w->isEnabled());
    // The print window shows that picture, the main window staying in sight.
    PrintWindow *print = t.w->printWindow();
    QVERIFY(print && print->isVisible());
    QCOMPARE(print->picture().screenImage().pixelColor(5, 5), QColor(Qt::blue));
    QVERIFY(t.w->isVisible());
    print->close();
}

void TestLibraryManager::fitsPicturesIntoThePreviewBox()
{
    Window t;
    t.folder.writePicture(QStringLiteral("logo/企业/宽.bmp"), Qt::red, {800, 400});
    t.folder.writePicture(QStringLiteral("logo/企业/小.bmp"), Qt::red, {40, 30});
    LibraryManager *m = t.manager(Library::Logos);
    t.chooseCategory(QStringLiteral("企业"));
    t.chooseFile(QStringLiteral("宽.bmp"));
    QCOMPARE(m->button(6)->text(), QStringLiteral("√应用到名片"));
    QCOMPARE(m->preview()->geometry(), QRect(0, 18, 299, 150));
    t.chooseFile(QStringLiteral("小.bmp"));
    QCOMPARE(m->preview()->geometry(), QRect(130, 78, 40, 30));
}

void TestLibraryManager::renamesFiles()
{
    Window t;
    t.folder.writePicture(QStringLiteral("logo/企业/旧名.jpg"), Qt::red);
    t.folder.writePicture(QStringLiteral("logo/企业/甲.乙.bmp"), Qt::green);
    t.folder.writePicture(QStringLiteral("logo/企业/已有.jpg"), Qt::blue);
    LibraryManager *m = t.manager(Library::Logos);
    t.chooseCategory(QStringLiteral("企业"));

    t.chooseFile(QStringLiteral("旧名.jpg"));
    t.dialogs.inputs.push_back(QStringLiteral(" 新名 "));
    m->button(8)->click();
    QCOMPARE(t.dialogs.last().kind, Kind::Input);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您将对文件“旧名”进行改名\r\n\r\n请输入新的文件名称："));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("更改文件名"));
    QCOMPARE(itemsOf(m->fileList()), QStringList({"已有.jpg", "新名.jpg", "甲.乙.bmp"}));
    for (int i : {5, 6, 8}) QVERIFY(!m->button(i)->isEnabled());
    QCOMPARE(t.w->visiblePanel(), 5);

    // A double-click renames as the button does.
    const auto item = m->fileList()->findItems(QStringLiteral("甲.乙.bmp"), Qt::MatchExactly).first();
    m->fileList()->setCurrentItem(item);
    t.dialogs.inputs.push_back(QStringLiteral("丙"));
    emit m->fileList()->itemDoubleClicked(item);
    QCOMPARE(itemsOf(m->fileList()), QStringList({"丙.bmp", "已有.jpg", "新名.jpg"}));

    // Cancel, an empty answer and an existing name change nothing.
    t.chooseFile(QStringLiteral("新名.jpg"));
    m->button(8)->click();
    t.dialogs.inputs.push_back(QStringLiteral("  "));
    m->button(8)->click();
    t.dialogs.clear();
    t.dialogs.inputs.push_back(QStringLiteral("已有"));
    m->button(8)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您要更改的名称“已有”已经存在了\r如果要继续更改，请换个名称…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("改名失败！"));
    QCOMPARE(itemsOf(m->fileList()), QStringList({"丙.bmp", "已有.jpg", "新名.jpg"}));
    QCOMPARE(QImage(t.path(QStringLiteral("logo/企业/已有.jpg"))).pixelColor(1, 1).blue(), 254);
}

void TestLibraryManager::deletesReadOnlyFiles()
{
    Window t;
    t.folder.writePicture(QStringLiteral("background/商务/只读.bmp"), Qt::red);
    const QString file = t.path(QStringLiteral("background/商务/只读.bmp"));
    QFile(file).setPermissions(QFileDevice::ReadOwner);
    LibraryManager *m = t.manager(Library::Backgrounds);
    t.chooseCategory(QStringLiteral("商务"));
    t.chooseFile(QStringLiteral("只读.bmp"));

    m->button(5)->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("您将删除只读.bmp\r删除操作将不可恢复！\r确定要删除该文件吗？"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QVERIFY(QFileInfo::exists(file));

    t.dialogs.answers.push_back(Dialogs::Answer::Yes);
    m->button(5)->click();
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("已成功删除文件：只读.bmp"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("操作成功！"));
    QCOMPARE(t.control<QLabel>(QStringLiteral("fileName"))->text(), QStringLiteral("状态：文件“只读.bmp”删除成功！"));
    QCOMPARE(m->fileList()->count(), 0);
    for (int i : {5, 6, 8}) QVERIFY(!m->button(i)->isEnabled());
}

void TestLibraryManager::appliesABackgroundThatIsSavedAsLibraryPicture()
{
    Window t;
    t.folder.writePicture(QStringLiteral("background/商务/蓝.bmp"), Qt::blue, {30, 30});
    // The page panel's button opens the manager on the background library.
    t.w->showPagePanel();
    auto *removePicture = t.w->findChild<QCheckBox *>(QStringLiteral("chk_pagePic"));
    QVERIFY(!removePicture->isEnabled());
    t.w->findChild<QPushButton *>(QStringLiteral("cmd_picure_bg"))->click();
    LibraryManager *m = t.w->libraryManager();
    QVERIFY(m && m->libraryOption(0)->isChecked());
    t.chooseCategory(QStringLiteral("商务"));
    t.chooseFile(QStringLiteral("蓝.bmp"));
    m->button(6)->click();

    CardSession &s = t.w->session();
    QCOMPARE(s.card.page.isBg, BackgroundKind::LibraryImage);
    QCOMPARE(s.card.page.bgImg, QStringLiteral("商务\\蓝.bmp"));
    QCOMPARE(s.view.background.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(s.view.shownBackground(s.card.page), BackgroundKind::LibraryImage);
    QVERIFY(!s.cardSaved);
    QCOMPARE(t.w->libraryManager(), m);
    QVERIFY(removePicture->isEnabledTo(t.w.get()));
    QVERIFY(!removePicture->isChecked());

    m->close();
    t.settle();
    auto *save = t.w->findChild<SavePanel *>(QStringLiteral("frm_cz(2)"));
    t.w->showSavePanel();
    save->categoryList()->setCurrentIndex(save->categoryList()->findText(QStringLiteral("商务")));
    emit save->categoryList()->activated(save->categoryList()->currentIndex());
    save->nameField()->setText(QStringLiteral("蓝底"));
    save->button(3)->click();
    const QString saved = t.path(QStringLiteral("mycard/商务/蓝底.pnk"));
    QCOMPARE(IniStore::read(saved, QStringLiteral("cPage"), QStringLiteral("isBg")), QStringLiteral("3"));
    QCOMPARE(IniStore::read(saved, QStringLiteral("cPage"), QStringLiteral("bgImg")), QStringLiteral("商务\\蓝.bmp"));
}

void TestLibraryManager::appliesALogoAtItsOwnSize()
{
    Window t;
    t.folder.writePicture(QStringLiteral("logo/企业/红.bmp"), Qt::red, {30, 20});
    t.folder.writePicture(QStringLiteral("logo/企业/大.bmp"), Qt::blue, {500, 80});
    // The logo panel's button opens the manager on the logo library.
    t.w->showLogoPanel();
    t.w->findChild<QPushButton *>(QStringLiteral("cmd_logo"))->click();
    LibraryManager *m = t.w->libraryManager();
    QVERIFY(m && m->libraryOption(1)->isChecked());
    t.chooseCategory(QStringLiteral("企业"));
    t.chooseFile(QStringLiteral("红.bmp"));
    const CardLogo before = t.w->session().card.logo;
    m->button(6)->click();

    const CardSession &s = t.w->session();
    QCOMPARE(s.card.logo.img, QStringLiteral("企业\\红.bmp"));
    QCOMPARE(s.card.logo.width, 450.0f);
    QCOMPARE(s.card.logo.height, 300.0f);
    QCOMPARE(s.card.logo.left, before.left);
    QCOMPARE(s.card.logo.top, before.top);
    QCOMPARE(s.view.logo.pixelColor(0, 0), QColor(Qt::red));
    QVERIFY(!s.cardSaved);
    QVERIFY(t.w->page()->selectionFrame()->isVisibleTo(t.w->page()->parentWidget()));
    QCOMPARE(t.w->libraryManager(), m);
    QCOMPARE(t.w->findChild<QLabel *>(QStringLiteral("lab_logo(5)"))->text(), LogoPanel::sizeText({450, 300}));

    // A picture larger than the trim area also keeps its natural size and place.
    t.chooseFile(QStringLiteral("大.bmp"));
    m->button(6)->click();
    QCOMPARE(QRectF(s.card.logo.left, s.card.logo.top, s.card.logo.width, s.card.logo.height),
             QRectF(before.left, before.top, 7500, 1200));
}

void TestLibraryManager::reportsFilesThatAreNoPictures()
{
    Window t;
    QFile bad(t.path(QStringLiteral("background/商务/坏.jpg")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    LibraryManager *m = t.manager(Library::Backgrounds);
    t.chooseCategory(QStringLiteral("商务"));
    const CardDocument before = t.w->session().card;
    t.chooseFile(QStringLiteral("坏.jpg"));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("无法读取图片文件“坏.jpg”！\r该文件可能已经损坏，或者不是图片文件…"));
    QVERIFY(!m->button(6)->isEnabled());
    QVERIFY(m->button(5)->isEnabled());
    QCOMPARE(t.w->session().card, before);
    QVERIFY(t.w->session().cardSaved);
}

void TestLibraryManager::refusesPicturesBeyondTheSizeLimit()
{
    Window t;
    t.folder.writeBitmapHeader(QStringLiteral("background/商务/巨.bmp"), {20000, 10000});
    LibraryManager *m = t.manager(Library::Backgrounds);
    t.chooseCategory(QStringLiteral("商务"));
    t.chooseFile(QStringLiteral("巨.bmp"));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("图片文件“巨.bmp”太大（超过一亿像素），无法显示…"));
    QVERIFY(!m->button(6)->isEnabled());
    QVERIFY(m->preview()->pixmap().isNull());
}

void TestLibraryManager::opensACardFromTheManager()
{
    Window t;
    CardDocument card = CardDocument::defaultCard();
    card.text(TextRole::Name).caption = QStringLiteral("张三");
    IniFile ini;
    CardFile::write(card, ini);
    QVERIFY(IniStore::save(t.path(QStringLiteral("mycard/商务/张三.pnk")), ini));
    t.w->session().cardSaved = false;

    t.w->showOpenPanel();
    t.open->button(0)->click();
    LibraryManager *m = t.w->libraryManager();
    t.w->page()->showSelectionFrame(PageObjects::kLogo);
    t.chooseCategory(QStringLiteral("商务"));
    t.chooseFile(QStringLiteral("张三.pnk"));
    m->button(6)->click();
    t.settle();

    QCOMPARE(t.w->session().card.text(TextRole::Name).caption, QStringLiteral("张三"));
    QCOMPARE(t.w->session().cardSource, CardSource::LibraryManagerList);
    QVERIFY(t.w->session().cardSaved);
    QCOMPARE(t.w->windowTitle(), QStringLiteral("张三.pnk - Penlark 3.0版"));
    QVERIFY(!t.w->libraryManager());
    QVERIFY(t.w->isEnabled());
    QCOMPARE(t.w->visiblePanel(), 1);
    QVERIFY(!t.open->button(1)->isEnabled());
    QVERIFY(!t.open->button(2)->isEnabled());
    QVERIFY(!t.w->page()->selectionFrame()->isVisibleTo(t.w->page()->parentWidget()));
}

void TestLibraryManager::addsPicturesFromDisk()
{
    Window t;
    t.folder.writePicture(QStringLiteral("elsewhere/新图.bmp"), Qt::green, {10, 10});
    t.folder.writePicture(QStringLiteral("background/商务/新图.bmp"), Qt::red, {10, 10});
    LibraryManager *m = t.manager(Library::Backgrounds);
    AddPanel *add = m->addPanel();
    const QStringList volumes = itemsOf(add->volumeList());
    QCOMPARE(volumes.first(), QDir::homePath());
    QVERIFY(volumes.contains(QDir::rootPath()));
    QVERIFY(!volumes.contains(QStringLiteral("/proc")));
    QCOMPARE(add->currentFolder(), QDir::homePath());
    t.chooseCategory(QStringLiteral("商务"));
    m->button(4)->click();
    QVERIFY(!m->button(7)->isEnabled());

    QVERIFY(!add->openFolder(t.path(QStringLiteral("没有这个文件夹"))));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Critical);

    QVERIFY(add->openFolder(t.path(QStringLiteral("elsewhere"))));
    QCOMPARE(t.control<QLabel>(QStringLiteral("fileName"))->text(),
             QStringLiteral("状态：选定了“") + t.path(QStringLiteral("elsewhere")) + QStringLiteral("”文件夹"));
    QCOMPARE(itemsOf(add->fileList()), QStringList({"新图.bmp"}));
    add->fileList()->setCurrentRow(0);
    QVERIFY(m->button(7)->isEnabled());
    QVERIFY(!m->button(6)->isEnabled());
    QCOMPARE(m->preview()->pixmap().toImage().pixelColor(1, 1), QColor(Qt::green));

    const QString target = t.path(QStringLiteral("background/商务/新图.bmp"));
    m->button(7)->click();
    QCOMPARE(t.dialogs.last().kind, Kind::Question);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("这个分类中已经有名为“新图.bmp”的文件！\r要用新的文件替换它吗？"));
    QCOMPARE(QImage(target).pixelColor(1, 1), QColor(Qt::red));

    t.dialogs.answers.push_back(Dialogs::Answer::Yes);
    m->button(7)->click();
    QCOMPARE(QImage(target).pixelColor(1, 1), QColor(Qt::green));

    // The desktop's file dialog leads to the same choice, in the folder of the file picked.
    t.folder.writePicture(QStringLiteral("对话框/透明.png"), Qt::blue, {10, 10});
    t.dialogs.files.push_back(t.path(QStringLiteral("对话框/透明.png")));
    add->browseButton()->click();
    QCOMPARE(t.dialogs.last().text, t.path(QStringLiteral("elsewhere")));
    QCOMPARE(add->selectedFile(), t.path(QStringLiteral("对话框/透明.png")));
    QCOMPARE(m->preview()->pixmap().toImage().pixelColor(1, 1), QColor(Qt::blue));
    QVERIFY(m->button(7)->isEnabled());

    // Going up a folder by "..".
    const auto up = add->folderList()->findItems(QStringLiteral(".."), Qt::MatchExactly);
    QCOMPARE(up.size(), 1);
    emit add->folderList()->itemActivated(up[0]);
    QCOMPARE(add->currentFolder(), QDir::cleanPath(t.folder.root()));
}

QTEST_MAIN(TestLibraryManager)
#include "test_librarymanager.moc"
