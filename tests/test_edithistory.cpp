#include "model/EditHistory.h"
#include "render/PageGeometry.h"
#include "render/PageObjects.h"
#include "ui/app/MainWindow.h"
#include "ui/library/LibraryManager.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/LinePanel.h"
#include "ui/panels/PagePanel.h"
#include "ui/panels/TextColourFrame.h"
#include "ui/panels/PaletteStrip.h"
#include "ui/panels/TextPanel.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kModified = QStringLiteral("系统检测到当前的名片已被您修改过，\r要保存当前被修改过的名片吗？");

struct Window {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w{ProgramFolder(folder.root()), dialogs};

    CardSession &session() { return w.session(); }
    CardSnapshot snapshot() { return CardSnapshot::of(w.session()); }
    const QUndoStack &stack() { return w.history()->stack(); }
    QString status() { return w.findChild<QLabel *>(QStringLiteral("cz_info"))->text(); }
    template <typename T>
    T *find(const QString &name) { return w.findChild<T *>(name); }
    // Lets the history take the step the last event made.
    void settle() { QCoreApplication::sendPostedEvents(w.history(), QEvent::MetaCall); }
};

void send(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void drag(QWidget *target, QPoint from, QPoint by)
{
    send(target, QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(target, QEvent::MouseMove, from + by / 2, Qt::LeftButton);
    send(target, QEvent::MouseMove, from + by, Qt::LeftButton);
    send(target, QEvent::MouseButtonRelease, from + by, Qt::NoButton);
}

void typeInto(QWidget *box, const QString &text)
{
    box->setFocus();
    QTest::keyClicks(box, text);
}

} // namespace

class TestEditHistory : public QObject
{
    Q_OBJECT
private slots:
    void undoesAndRedoesEachKindOfStep();
    void typingIsOneStepUntilAnotherAction();
    void cardSavedFollowsTheHistory();
    void keysOfTheWindow();
    void panelsAndStatusFollowUndoAndNewEdits();
    void sidesAreAddedRemovedAndSwitchedAroundTheHistory();
};

void TestEditHistory::undoesAndRedoesEachKindOfStep()
{
    Window t;
    t.folder.writePicture(QStringLiteral("background/商务/蓝.bmp"), Qt::blue, {30, 30});
    auto *text = t.find<TextPanel>(QStringLiteral("frm_cz(6)"));
    auto *page = t.find<PagePanel>(QStringLiteral("frm_cz(4)"));
    auto *line = t.find<LinePanel>(QStringLiteral("frm_cz(7)"));
    struct Case {
        QString name;
        std::function<void()> act;
        std::function<QString()> shown; // what a panel shows of the step
    };
    const std::vector<Case> cases{
        {QStringLiteral("移动文字"), [&] { drag(t.w.page()->textObject(0), {2, 2}, {30, 12}); }, {}},
        {QStringLiteral("输入文字"), [&] { typeInto(text->contentBox(), QStringLiteral("ab")); },
         [&] { return text->contentBox()->toPlainText(); }},
        {QStringLiteral("文字颜色"),
         [&] { send(t.find<PaletteStrip>(QStringLiteral("PicColor(1)")), QEvent::MouseButtonPress, {10, 5}, Qt::LeftButton); },
         {}},
        {QStringLiteral("页面尺寸"), [&] { page->sizeBox(0)->selectAll(), typeInto(page->sizeBox(0), QStringLiteral("90")); },
         [&] { return page->sizeBox(0)->text(); }},
        {QStringLiteral("标志大小"), [&] { t.find<QPushButton>(QStringLiteral("cmd_logo_size(0)"))->click(); }, {}},
        {QStringLiteral("直线大小"), [&] { t.w.showLinePanel(), drag(line->thumb(), {3, 3}, {25, 0}); },
         [&] { return line->sizeField(0)->text(); }},
        {QStringLiteral("页面背景"),
         [&] {
             t.w.showLibraryManager(ProgramFolder::Library::Backgrounds);
             LibraryManager *m = t.w.libraryManager();
             m->categoryList()->setCurrentItem(m->categoryList()->findItems(QStringLiteral("商务"), Qt::MatchExactly)[0]);
             m->fileList()->setCurrentRow(0);
             m->button(6)->click();
             m->close();
         },
         {}},
        {QStringLiteral("显示二维码"), [&] { t.w.showLogoPanel(), t.find<QCheckBox>(QStringLiteral("chk_qrShow"))->click(); },
         [&] { return QString::number(t.find<QCheckBox>(QStringLiteral("chk_qrShow"))->isChecked()); }},
    };
    text->chooseObject(0);
    t.w.showLinePanel();
    const CardSnapshot start = t.snapshot();
    for (const Case &c : cases) {
        t.settle();
        const CardSnapshot before = t.snapshot();
        const QString shownBefore = c.shown ? c.shown() : QString();
        const int steps = t.stack().count();
        c.act();
        t.settle();
        const CardSnapshot after = t.snapshot();
        QVERIFY2(!(after == before), qPrintable(c.name));
        QCOMPARE(t.stack().count(), steps + 1);
        QCOMPARE(t.stack().undoText(), c.name);

        t.w.history()->undo();
        QVERIFY2(t.snapshot() == before, qPrintable(c.name));
        QCOMPARE(t.status(), QStringLiteral("已撤销：") + c.name);
        if (c.shown) QCOMPARE(c.shown(), shownBefore);
        t.w.history()->redo();
        QVERIFY2(t.snapshot() == after, qPrintable(c.name));
        QCOMPARE(t.status(), QStringLiteral("已重做：") + c.name);
    }
    // Undoing everything gives back the card as it was started, which counts as saved.
    while (t.stack().canUndo()) t.w.history()->undo();
    QVERIFY(t.snapshot() == start);
    QVERIFY(t.session().cardSaved);
    t.w.history()->undo();
    QCOMPARE(t.status(), QStringLiteral("没有可以撤销的操作"));
}

void TestEditHistory::typingIsOneStepUntilAnotherAction()
{
    Window t;
    auto *text = t.find<TextPanel>(QStringLiteral("frm_cz(6)"));
    QPlainTextEdit *content = text->contentBox();
    t.w.showTextPanel();
    text->chooseObject(1);
    const QString job = t.session().card.texts[1].caption;
    const auto typeAtEnd = [&](const QString &keys) {
        content->moveCursor(QTextCursor::End);
        typeInto(content, keys);
        t.settle();
    };
    typeAtEnd(QStringLiteral("xy"));
    typeAtEnd(QStringLiteral("a"));
    QCOMPARE(t.stack().count(), 1);
    // A mouse press ends the run; typed and taken back again is no step.
    send(content->viewport(), QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton);
    typeAtEnd(QStringLiteral("b"));
    QTest::keyClick(content, Qt::Key_Backspace);
    t.settle();
    QCOMPARE(t.stack().count(), 1);
    send(content->viewport(), QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton);
    typeAtEnd(QStringLiteral("c"));
    QCOMPARE(t.stack().count(), 2);
    // Ctrl+Z in the box undoes the card's history, not the box's own.
    QTest::keyClick(content, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(content->toPlainText(), job + QStringLiteral("xya"));
    QTest::keyClick(content, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(content->toPlainText(), job);
    QVERIFY(t.session().cardSaved);
    QTest::keyClick(text->sizeList(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(content->toPlainText(), job + QStringLiteral("xya"));
    QVERIFY(!t.session().cardSaved);
}

void TestEditHistory::cardSavedFollowsTheHistory()
{
    Window t;
    auto *line = t.find<LinePanel>(QStringLiteral("frm_cz(7)"));
    t.w.showLinePanel();
    // A typed line size is an edit like any other.
    typeInto(line->sizeField(1), QStringLiteral("2"));
    t.settle();
    QVERIFY(!t.session().cardSaved);
    t.session().markSaved();
    t.find<QCheckBox>(QStringLiteral("chk_ShowLine"))->click();
    t.settle();
    QVERIFY(!t.session().cardSaved);
    t.w.history()->undo();
    QVERIFY(t.session().cardSaved);
    t.w.history()->undo();
    QVERIFY(!t.session().cardSaved);
    t.w.history()->redo();
    QVERIFY(t.session().cardSaved);
    // The step undone last was the one after saving: starting a new card asks first,
    // then clears the history.
    t.w.history()->redo();
    t.w.startNewCard();
    QCOMPARE(t.dialogs.last().text, kModified);
    QCOMPARE(t.stack().count(), 0);
    QVERIFY(t.session().cardSaved);
    for (int i = 0; i < 250; ++i, t.w.history()->endRun())
        t.session().card.line.left += 1, t.session().markEdited(), t.settle();
    QCOMPARE(t.stack().count(), 250);
}

void TestEditHistory::keysOfTheWindow()
{
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowActive(&t.w));
    PageWidget *page = t.w.page();
    CardLogo &logo = t.session().card.logo;
    page->showSelectionFrame(PageObjects::kLogo);
    page->setFocus();
    const float left = logo.left, top = logo.top;
    QTest::keyClick(page, Qt::Key_Right);
    QTest::keyClick(page, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(logo.left, left + 15);
    QCOMPARE(logo.top, top + 150);
    for (int i = 0; i < 200; ++i) QTest::keyPress(page, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(logo.left, float(PageGeometry::kTrimInset));
    QVERIFY(page->trimGuide(0)->isVisibleTo(page));
    QTest::keyRelease(page, Qt::Key_Left, Qt::ShiftModifier);
    QVERIFY(!page->trimGuide(0)->isVisibleTo(page));
    t.settle();
    // One run of presses is one step.
    QCOMPARE(t.stack().count(), 1);
    QCOMPARE(t.stack().undoText(), QStringLiteral("移动标志"));
    QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(logo.left, left);
    QCOMPARE(page->selectionFrame()->geometry(), page->logoObject()->geometry());
    // Esc in a panel's box gives the focus back to the page.
    auto *content = t.find<TextPanel>(QStringLiteral("frm_cz(6)"))->contentBox();
    t.w.showTextPanel();
    content->setFocus();
    QTest::keyClick(content, Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), page);

    const std::pair<Qt::Key, int> keys[] = {{Qt::Key_O, 1}, {Qt::Key_S, 2}, {Qt::Key_P, 3}, {Qt::Key_F1, 9}};
    for (const auto &[key, panel] : keys) {
        QTest::keyClick(&t.w, key, key == Qt::Key_F1 ? Qt::NoModifier : Qt::ControlModifier);
        QCOMPARE(t.w.visiblePanel(), panel);
    }
    QTest::keyClick(&t.w, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&t.w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(t.dialogs.last().text, kModified);
    QCOMPARE(t.w.visiblePanel(), 0);
}

QTEST_MAIN(TestEditHistory)
#include "test_edithistory.moc"

void TestEditHistory::panelsAndStatusFollowUndoAndNewEdits()
{
    Window t;
    auto *text = t.find<TextPanel>(QStringLiteral("frm_cz(6)"));
    TextColourFrame *colours = text->colourFrame();
    const auto boxes = [&] {
        return QStringList{colours->componentBox(0)->text(), colours->componentBox(1)->text(),
                           colours->componentBox(2)->text()};
    };
    t.w.showTextPanel();
    text->chooseObject(0); // the name, the first of the texts
    CardText &name = t.session().card.texts[0];
    name.ForeColor = Colour::fromRgb(10, 20, 30);
    t.session().markSaved();
    send(t.find<PaletteStrip>(QStringLiteral("PicColor(1)")), QEvent::MouseButtonPress, {10, 5}, Qt::LeftButton);
    t.settle();
    const Colour::Value picked = name.ForeColor;
    QVERIFY(picked != Colour::fromRgb(10, 20, 30));
    QCOMPARE(boxes(), (QStringList{QString::number(Colour::red(picked)), QString::number(Colour::green(picked)),
                                   QString::number(Colour::blue(picked))}));

    // Undone, the boxes show the colour the text has again, and a typed
    // component joins that colour's other two.
    t.w.history()->undo();
    QCOMPARE(boxes(), (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")}));
    QCOMPARE(colours->swatch()->colour(), Colour::fromRgb(10, 20, 30));
    QVERIFY(t.session().cardSaved);
    t.w.history()->redo();
    QCOMPARE(boxes()[0], QString::number(Colour::red(picked)));
    t.w.history()->undo();
    colours->componentBox(0)->selectAll();
    typeInto(colours->componentBox(0), QStringLiteral("99"));
    t.settle();
    QCOMPARE(name.ForeColor, Colour::fromRgb(99, 20, 30));

    // What the history says stays until the next edit, then gives way.
    while (t.stack().canUndo()) t.w.history()->undo();
    t.w.history()->undo();
    QCOMPARE(t.status(), QStringLiteral("没有可以撤销的操作"));
    colours->componentBox(1)->selectAll();
    typeInto(colours->componentBox(1), QStringLiteral("1"));
    t.settle();
    QCOMPARE(t.status(), MainWindow::productBanner());
    t.w.history()->undo();
    QCOMPARE(t.status(), QStringLiteral("已撤销：文字颜色"));
    t.w.showLinePanel();
    const QString lineTip = t.status();
    t.find<QCheckBox>(QStringLiteral("chk_ShowLine"))->click();
    t.settle();
    QCOMPARE(t.status(), lineTip); // a panel's own words are not the history's
}

void TestEditHistory::sidesAreAddedRemovedAndSwitchedAroundTheHistory()
{
    Window t;
    CardDocument &card = t.session().card;
    PageWidget *page = t.w.page();
    QPushButton *back = t.w.sideButton(CardSide::Back);
    const auto shows = [&](CardSide side, const QString &caption) {
        QCOMPARE(card.shownSide, side);
        QCOMPARE(back->isChecked(), side == CardSide::Back);
        QCOMPARE(t.w.windowTitle(), caption + QStringLiteral(" - Penlark 3.0版"));
    };
    back->click();
    t.settle();
    QCOMPARE(t.stack().undoText(), QStringLiteral("添加反面"));
    QCOMPARE(back->text(), QStringLiteral("反面"));
    shows(CardSide::Back, QStringLiteral("新建名片（反面）"));
    // The back's name moved, then the front shown: switching is no edit.
    const QImage backBefore = page->pageImage();
    drag(page->textObject(0), {2, 2}, {30, 12});
    t.settle();
    const QImage backMoved = page->pageImage();
    t.session().markSaved();
    QTest::keyClick(page, Qt::Key_PageUp);
    shows(CardSide::Front, QStringLiteral("新建名片（正面）"));
    QVERIFY(t.session().cardSaved);
    // Undone from the front, the move shows the back as it was, and redone as it became.
    t.w.history()->undo();
    shows(CardSide::Back, QStringLiteral("新建名片（反面）"));
    QCOMPARE(page->pageImage(), backBefore);
    t.w.history()->redo();
    QCOMPARE(page->pageImage(), backMoved);
    QTest::keyClick(page, Qt::Key_Tab, Qt::ControlModifier);
    shows(CardSide::Front, QStringLiteral("新建名片（正面）"));
    // Removing asks first; undone, the back returns.
    auto *remove = t.find<QPushButton>(QStringLiteral("removeBackButton"));
    remove->click();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("这个操作将去掉名片的反面及其上的背景、标志、直线和文字！\r"
                                                   "确定要删除名片的反面吗？"));
    QVERIFY(card.hasBack());
    t.dialogs.answers = {Dialogs::Answer::Yes};
    remove->click();
    t.settle();
    QCOMPARE(t.stack().undoText(), QStringLiteral("删除反面"));
    QCOMPARE(back->text(), QStringLiteral("添加反面"));
    t.w.history()->undo();
    shows(CardSide::Front, QStringLiteral("新建名片（正面）"));
    t.w.history()->undo(); // the move of the back, an unsaved edit now
    t.w.startNewCard();
    QCOMPARE(t.dialogs.last().text, kModified);
}
