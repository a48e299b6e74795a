#include "ui/app/MainWindow.h"
#include "render/TextLayout.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/PaletteStrip.h"
#include "ui/panels/TextColourFrame.h"
#include "ui/panels/TextPanel.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

namespace {

// Page 5443 twips wide: the printable width is 5443 - 2 x 170.
constexpr double kPrintable = 5103;

// Types text into widget key by key, Chinese characters included; "\n" is Enter.
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\n') {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

struct Window {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w{ProgramFolder(folder.root()), dialogs};
    PageWidget &page = *w.page();
    CardSession &session = w.session();
    CardDocument &card = w.session().card;
    TextPanel &panel = *w.findChild<TextPanel *>(QStringLiteral("frm_cz(6)"));
    QPlainTextEdit &box = *panel.contentBox();

    void press(int index)
    {
        QTest::mousePress(page.textObject(std::size_t(index)), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseRelease(page.textObject(std::size_t(index)), Qt::LeftButton, {}, QPoint(2, 2));
    }
    // Types into the content box at the end of what it holds.
    void typeAtEnd(const QString &text)
    {
        box.moveCursor(QTextCursor::End);
        type(&box, text);
    }
    bool frameShown() const { return page.selectionFrame()->isVisibleTo(&page); }
    QString text(const char *name) const
    {
        return panel.findChild<QWidget *>(QString::fromLatin1(name))->property("text").toString();
    }
};

} // namespace

class TestTextPanel : public QObject
{
    Q_OBJECT
private slots:
    void hasItsControls();
    void typingWithNoObjectChangesNothing();
    void pressingATextChoosesItWithTheCaretAfterItsLabel_data();
    void pressingATextChoosesItWithTheCaretAfterItsLabel();
    void fitsLongTextsIntoBlocks();
    void keepsSpacesAroundTheContentOffThePage();
    void limitsTypingToAHundredCharacters();
    void showsTheStyleAgainWhenAnObjectIsChosenAgain();
    void hidesAndShowsTheObject();
    void wrappedBlockKeepsItsHeightUntilTheNextContentChange();
    void choosingAnObjectIsNotAChange();
    void appliesPickedFacesAndSizesOnly();
    void oneStripPickRecoloursAllTextsAndTheLine();
    void aLoadedCardReplacesWhatThePanelShows();
    void aCardReadFromAFileKeepsItsBlocks();
};

void TestTextPanel::hasItsControls()
{
    Window t;
    QComboBox *chooser = t.panel.objectChooser();
    QCOMPARE(chooser->objectName(), QStringLiteral("Combo_FontObj"));
    QCOMPARE(chooser->currentIndex(), -1);
    QCOMPARE(chooser->placeholderText(), QStringLiteral("请选择需要更改的对象"));
    QStringList entries;
    for (int i = 0; i < chooser->count(); ++i) entries << chooser->itemText(i);
    QCOMPARE(entries, QStringList({"姓 名", "职 位", "单 位", "地 址", "邮 编", "电 话", "传 真", "手 机", "E-mail",
                                   "网址", "QQ 号"}));
    QStringList faces;
    for (int i = 0; i < t.panel.faceList()->count(); ++i) faces << t.panel.faceList()->itemText(i);
    // The system's families in its order, then the card faces drawn through
    // substitutes, so a text can go back to 宋体.
    const QStringList system = QFontDatabase::families();
    QCOMPARE(faces.mid(0, system.size()), system);
    QVERIFY(faces.contains(QStringLiteral("宋体")) && faces.contains(QStringLiteral("楷体_GB2312")));
    QCOMPARE(faces.size(), QSet<QString>(faces.begin(), faces.end()).size());
    QCOMPARE(t.panel.faceList()->currentText(), QStringLiteral("宋体"));
    QCOMPARE(t.panel.sizeList()->count(), 53);
    QCOMPARE(t.panel.sizeList()->itemText(0), QStringLiteral("8"));
    QCOMPARE(t.panel.sizeList()->itemText(52), QStringLiteral("60"));
    QCOMPARE(t.panel.sizeList()->currentText(), QStringLiteral("10"));
    QVERIFY(t.panel.styleOption(0)->isChecked());
    QCOMPARE(t.panel.styleOption(3)->text(), QStringLiteral("粗斜体"));
    QCOMPARE(t.text("chk_fontShow"), QStringLiteral("不显示当前选定文字"));
    QCOMPARE(t.panel.findChild<QGroupBox *>(QStringLiteral("txt_frm(1)"))->title(),
             QStringLiteral("选定文字的效果控制："));
    QCOMPARE(t.text("lab_txt(4)"), QStringLiteral("文字式样效果："));
    QCOMPARE(t.text("tip_info(1)"),
             QStringLiteral("如果需要对更多的对象进行显示与否的操作，请进入“显示”控制面版中进行设置。"));
    QVERIFY(t.panel.colourFrame()->findChild<PaletteStrip *>(QStringLiteral("PicColor(1)")));
}

void TestTextPanel::typingWithNoObjectChangesNothing()
{
    Window t;
    t.w.showTextPanel();
    const CardDocument before = t.card;
    t.typeAtEnd(QStringLiteral("王五"));
    t.panel.styleOption(3)->click();
    t.panel.hideBox()->click();
    emit t.panel.sizeList()->activated(20);
    QCOMPARE(t.card, before);
    QVERIFY(t.session.cardSaved);
}

void TestTextPanel::pressingATextChoosesItWithTheCaretAfterItsLabel_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("caret");
    QTest::newRow("name") << 0 << 0;
    QTest::newRow("telephone") << 5 << 3;
    QTest::newRow("e-mail") << 8 << 7;
    QTest::newRow("web address") << 9 << 10;
}

void TestTextPanel::pressingATextChoosesItWithTheCaretAfterItsLabel()
{
    QFETCH(int, index);
    QFETCH(int, caret);
    Window t;
    t.card.texts[std::size_t(index)].ForeColor = Colour::fromRgb(9, 8, 7);
    t.session.notifyPageChanged();
    t.press(index);
    QCOMPARE(t.w.visiblePanel(), 6);
    QCOMPARE(t.panel.chosenObject(), index);
    const QString caption = t.card.texts[std::size_t(index)].caption;
    QCOMPARE(t.box.toPlainText(), caption);
    QCOMPARE(t.box.textCursor().selectionStart(), caret);
    QCOMPARE(t.box.textCursor().selectionEnd(), int(caption.size()));
    QCOMPARE(t.panel.colourFrame()->swatch()->colour(), Colour::fromRgb(9, 8, 7));
    QVERIFY(t.frameShown());
    QCOMPARE(t.page.selectionFrame()->geometry(), t.page.textObject(std::size_t(index))->geometry());
    if (index == 9) {
        QCOMPARE(caption.left(caret), QStringLiteral("网址：http://"));
        type(&t.box, QStringLiteral("example.cn"));
        QCOMPARE(t.card.texts[9].caption, QStringLiteral("网址：http://example.cn"));
    }
    if (index == 8) QCOMPARE(caption.left(caret), QStringLiteral("E-mail："));
}

void TestTextPanel::fitsLongTextsIntoBlocks()
{
    Window t;
    t.press(0); // name: 18 pt bold at 4440, 300
    CardText &name = t.card.texts[0];
    const double h = TextLayout::lineHeight(name);

    // r < 1: one line where it was, sizing itself.
    t.box.selectAll();
    type(&t.box, QStringLiteral("王"));
    QCOMPARE(name.Left, 4440.0f);
    QVERIFY(!t.session.view.textBlocks[0]);
    QCOMPARE(t.page.objectBox(0), QRectF(QPointF(4440, 300), TextLayout::naturalSize(name)));

    // 1 < r <= 2: a block at the margin, the printable width, two lines high.
    const double perCharacter = TextLayout::naturalSize(name).width();
    const int characters = int(1.5 * kPrintable / perCharacter);
    t.box.setPlainText(QString(characters, u'王'));
    QVERIFY(TextLayout::naturalSize(name).width() / kPrintable > 1);
    QCOMPARE(name.Left, 170.0f);
    QCOMPARE(name.Top, 300.0f);
    QCOMPARE(t.page.objectBox(0), QRectF(170, 300, kPrintable, 2 * h));
    QCOMPARE(t.page.selectionFrame()->geometry(), t.page.textObject(0)->geometry());

    // r > 4: the block keeps the height it had.
    t.box.setPlainText(QString(int(4.5 * kPrintable / perCharacter), u'王'));
    QCOMPARE(t.page.objectBox(0), QRectF(170, 300, kPrintable, 2 * h));
    t.box.setPlainText(QString(int(2.5 * kPrintable / perCharacter), u'王'));
    QCOMPARE(t.page.objectBox(0).height(), 3 * h);
}

void TestTextPanel::keepsSpacesAroundTheContentOffThePage()
{
    Window t;
    t.press(0);
    t.box.selectAll();
    type(&t.box, QStringLiteral("  王五  "));
    QCOMPARE(t.card.texts[0].caption, QStringLiteral("王五"));
    QCOMPARE(t.box.toPlainText(), QStringLiteral("  王五  "));
    QVERIFY(!t.session.cardSaved);
}

void TestTextPanel::limitsTypingToAHundredCharacters()
{
    Window t;
    t.press(2);
    t.box.selectAll();
    type(&t.box, QString(95, u'a'));
    t.box.moveCursor(QTextCursor::Start);
    type(&t.box, QStringLiteral("0123456789"));
    QCOMPARE(t.box.toPlainText(), QStringLiteral("01234") + QString(95, u'a'));
    QCOMPARE(t.card.texts[2].caption, t.box.toPlainText());
    // Enter starts a new line inside the limit.
    t.box.setPlainText(QStringLiteral("第一行"));
    t.typeAtEnd(QStringLiteral("\n第二行"));
    QCOMPARE(t.card.texts[2].caption, QStringLiteral("第一行\n第二行"));
    QCOMPARE(TextLayout::lines(t.card.texts[2], std::nullopt), QStringList({"第一行", "第二行"}));
}

void TestTextPanel::showsTheStyleAgainWhenAnObjectIsChosenAgain()
{
    Window t;
    t.panel.chooseObject(1); // job title: regular
    QVERIFY(t.panel.styleOption(0)->isChecked());
    t.panel.styleOption(3)->click();
    QVERIFY(t.card.texts[1].FontBold && t.card.texts[1].FontItalic);
    t.panel.chooseObject(0); // name: bold
    QVERIFY(t.panel.styleOption(1)->isChecked());
    QVERIFY(t.card.texts[0].FontBold && !t.card.texts[0].FontItalic);
    t.panel.chooseObject(1);
    QVERIFY(t.panel.styleOption(3)->isChecked());
    t.panel.styleOption(2)->click();
    QVERIFY(!t.card.texts[1].FontBold && t.card.texts[1].FontItalic);
}

void TestTextPanel::hidesAndShowsTheObject()
{
    Window t;
    t.press(4);
    t.session.cardSaved = true;
    t.panel.hideBox()->click();
    QVERIFY(!t.card.texts[4].visible);
    QVERIFY(!t.page.textObject(4)->isVisibleTo(&t.page));
    QVERIFY(!t.frameShown());
    QVERIFY(!t.session.cardSaved);

    // Choosing another object and back shows the box ticked; un-ticking shows
    // the object without the frame, and counts as a change of a saved card.
    t.panel.chooseObject(5);
    QVERIFY(!t.panel.hideBox()->isChecked());
    t.panel.chooseObject(4);
    QVERIFY(t.panel.hideBox()->isChecked());
    t.page.selectionFrame()->hide();
    t.session.cardSaved = true;
    t.panel.hideBox()->click();
    QVERIFY(t.card.texts[4].visible);
    QVERIFY(t.page.textObject(4)->isVisibleTo(&t.page));
    QVERIFY(!t.frameShown());
    QVERIFY(!t.session.cardSaved);
}

void TestTextPanel::wrappedBlockKeepsItsHeightUntilTheNextContentChange()
{
    Window t;
    t.press(3); // address, 9 pt
    const QString longText = QString(40, u'路');
    t.box.setPlainText(longText);
    const QRectF block = t.page.objectBox(3);
    QCOMPARE(block.width(), kPrintable);
    emit t.panel.sizeList()->activated(12); // 20 pt
    QCOMPARE(t.card.texts[3].FontSize, 20.0f);
    QCOMPARE(t.page.objectBox(3), block);
    QCOMPARE(t.page.selectionFrame()->geometry(), t.page.textObject(3)->geometry());
    t.typeAtEnd(QStringLiteral("口"));
    QCOMPARE(t.page.objectBox(3).height(), 4 * TextLayout::lineHeight(t.card.texts[3])); // 41 x 400 twips
}

void TestTextPanel::choosingAnObjectIsNotAChange()
{
    Window t;
    for (int i = 0; i < int(kTextCount); ++i) t.panel.chooseObject(i);
    QVERIFY(t.session.cardSaved);
    QCOMPARE(t.card, CardDocument::defaultCard());

    // Showing a text that does change (blanks around it from a file) does count.
    t.card.texts[6].caption = QStringLiteral(" 传真：1 ");
    t.panel.chooseObject(6);
    QCOMPARE(t.card.texts[6].caption, QStringLiteral("传真：1"));
    QVERIFY(!t.session.cardSaved);
}

void TestTextPanel::appliesPickedFacesAndSizesOnly()
{
    Window t;
    t.press(1);
    t.session.cardSaved = true;
    QComboBox *faces = t.panel.faceList();
    faces->setEditText(QStringLiteral("黑体")); // typing alone changes nothing
    QCOMPARE(t.card.texts[1].Font, QStringLiteral("宋体"));
    QVERIFY(t.session.cardSaved);
    const int liberation = faces->findText(QStringLiteral("Liberation Serif"));
    QVERIFY(liberation >= 0);
    emit faces->activated(liberation);
    QCOMPARE(t.card.texts[1].Font, QStringLiteral("Liberation Serif"));
    QVERIFY(!t.session.cardSaved);
    emit t.panel.sizeList()->activated(2);
    QCOMPARE(t.card.texts[1].FontSize, 10.0f);
    QCOMPARE(t.page.selectionFrame()->geometry(), t.page.textObject(1)->geometry());

    // Chosen again, the lists show the object's face and size.
    t.panel.chooseObject(0);
    QCOMPARE(t.panel.sizeList()->currentText(), QStringLiteral("18"));
    t.card.texts[1].FontSize = 10.5f;
    t.panel.chooseObject(1);
    QCOMPARE(faces->currentText(), QStringLiteral("Liberation Serif"));
    QCOMPARE(t.panel.sizeList()->currentText(), QStringLiteral("10.5"));
}

void TestTextPanel::oneStripPickRecoloursAllTextsAndTheLine()
{
    Window t;
    t.press(0);
    TextColourFrame &colours = *t.panel.colourFrame();
    colours.scopeOption(2)->click();
    // Column 108, row 7 of the palette: (0, 103, 172).
    QTest::mousePress(colours.strip(), Qt::LeftButton, {}, QPoint(1 + 108, 1 + 7));
    const Colour::Value blue = Colour::fromRgb(0, 103, 172);
    for (const CardText &text : t.card.texts) QCOMPARE(text.ForeColor, blue);
    QCOMPARE(t.card.line.bgColor, blue);
    QCOMPARE(colours.componentBox(1)->text(), QStringLiteral("103"));
    QCOMPARE(t.page.pageImage().pixelColor(t.page.lineObject()->geometry().center()), QColor(0, 103, 172));
}

void TestTextPanel::aLoadedCardReplacesWhatThePanelShows()
{
    Window t;
    t.press(0);
    t.box.selectAll();
    type(&t.box, QStringLiteral("王五"));
    t.w.startNewCard(); // the changed card: answered No, the default card comes back
    QCOMPARE(t.card.texts[0].caption, QStringLiteral("李明"));
    QCOMPARE(t.box.toPlainText(), QStringLiteral("李明"));
    QVERIFY(t.session.cardSaved);
}

void TestTextPanel::aCardReadFromAFileKeepsItsBlocks()
{
    ProgramFolderFixture folder;
    QDir(folder.root()).mkpath(QStringLiteral("mycard/样片"));
    const QString file = folder.path(QStringLiteral("mycard/样片/长地址.pnk"));
    IniStore::write(file, QStringLiteral("cADD"), QStringLiteral("caption"), QString(40, u'路'));
    IniStore::write(file, QStringLiteral("cADD"), QStringLiteral("Left"), QStringLiteral("170"));
    folder.setStartupCard(QStringLiteral("样片\\长地址.pnk"));
    ScriptedDialogs dialogs;
    MainWindow w(ProgramFolder(folder.root()), dialogs);
    QCOMPARE(w.session().card.texts[3].caption, QString(40, u'路'));
    const double h = TextLayout::lineHeight(w.session().card.texts[3]);
    QCOMPARE(w.page()->objectBox(3), QRectF(170, 2220, kPrintable, 2 * h));
    QVERIFY(w.session().cardSaved);
    QVERIFY(dialogs.records.isEmpty());
}

QTEST_MAIN(TestTextPanel)
#include "test_textpanel.moc"
