#include "ui/app/MainWindow.h"
#include "render/PageObjects.h"
#include "ui/page/PageWidget.h"
#include "ui/page/ShowAlignPanel.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>

namespace {

using PageObjects::Alignment;

// Mouse events as the window system delivers them to the pressed object: the
// object keeps receiving moves until release. Positions are page pixels.
class Mouse
{
public:
    Mouse(PageWidget &page, QWidget *target) : m_page(page), m_target(target) {}

    void press(QPoint pagePixel, Qt::MouseButton button = Qt::LeftButton)
    {
        m_buttons |= button;
        send(QEvent::MouseButtonPress, pagePixel, button);
    }
    void move(QPoint pagePixel) { send(QEvent::MouseMove, pagePixel, Qt::NoButton); }
    void release(QPoint pagePixel, Qt::MouseButton button = Qt::LeftButton)
    {
        m_buttons &= ~button;
        send(QEvent::MouseButtonRelease, pagePixel, button);
    }
    void setButtons(Qt::MouseButtons buttons) { m_buttons = buttons; }
    // Press, release, double-click, release: what a double-click delivers.
    void doubleClick(QPoint pagePixel)
    {
        press(pagePixel);
        release(pagePixel);
        m_buttons = Qt::LeftButton;
        send(QEvent::MouseButtonDblClick, pagePixel, Qt::LeftButton);
        release(pagePixel);
    }

private:
    void send(QEvent::Type type, QPoint pagePixel, Qt::MouseButton button)
    {
        const QPointF local = m_target->mapFrom(&m_page, QPointF(pagePixel));
        QMouseEvent event(type, local, m_target->mapToGlobal(local), button, m_buttons, Qt::NoModifier);
        QApplication::sendEvent(m_target, &event);
    }

    PageWidget &m_page;
    QWidget *m_target;
    Qt::MouseButtons m_buttons;
};

struct Window {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w{ProgramFolder(folder.root()), dialogs};
    PageWidget &page = *w.page();
    CardDocument &card = w.session().card;
    ShowAlignPanel &panel = *w.findChild<ShowAlignPanel *>(QStringLiteral("frm_cz(8)"));

    bool guide(int i) const { return page.trimGuide(i)->isVisibleTo(&page); }
    QCheckBox *box(int i) const { return panel.showBox(i); }
};

} // namespace

class TestDragging : public QObject
{
    Q_OBJECT
private slots:
    void keepsObjectsInsideTheTrimArea();
    void keepsObjectsLargerThanTheTrimAreaOnTheRightLine();
    void keepInTrimTestsEdgesInOrder();
    void movesOnlyWithTheLeftButtonAlone();
    void aPressAndReleaseChangesTheCard();
    void pressingOpensTheObjectsPanel();
    void snapsToTheGuideInsideTheStrictZone_data();
    void snapsToTheGuideInsideTheStrictZone();
    void alignsADraggedObjectToTheGuide();
    void holdsTheGuideBetweenTheTrimLines();
    void showsAndHidesObjects();
    void showsTheGuideAsABarFromItsFirstShowing();
    void doubleClicksBelongToWhatWasClicked();
    void standsTrimGuidesOnTheCropMarks();
    void offersTheBackgroundBoxOnlyForPictures();
    void dragsTheQrCodeLikeTheLogo();
};

void TestDragging::keepsObjectsInsideTheTrimArea()
{
    Window t;
    CardText &name = t.card.text(TextRole::Name);
    Mouse mouse(t.page, t.page.textObject(0));
    mouse.press({300, 25}); // name at 4440, 300 twips: 296 px across
    mouse.move({200, 25});
    QCOMPARE(name.Left, 4440.0f - 1500.0f); // the point under the pointer stays under it
    QVERIFY(!t.guide(0));
    mouse.move({-50, 25});
    QCOMPARE(name.Left, 170.0f);
    QVERIFY(t.guide(0));
    QVERIFY(!t.guide(1));
    mouse.move({100, 25});
    QVERIFY(!t.guide(0));
    mouse.move({-80, -80});
    QVERIFY(t.guide(0) && t.guide(2));
    QCOMPARE(name.Top, 170.0f);
    mouse.release({-80, -80});
    for (int i = 0; i < 4; ++i) QVERIFY(!t.guide(i));
    QVERIFY(!t.w.session().cardSaved);

    // Resting exactly on the trim line shows its guide too.
    name.Left = 4445;
    t.w.session().notifyPageChanged();
    Mouse again(t.page, t.page.textObject(0));
    again.press({300, 25}); // anchor 4500 - 4445 = 55 twips
    again.move({15, 25});   // 225 - 55 = 170
    QCOMPARE(name.Left, 170.0f);
    QVERIFY(t.guide(0));
    again.release({15, 25});
}

void TestDragging::keepsObjectsLargerThanTheTrimAreaOnTheRightLine()
{
    Window t;
    t.card.line.width = 5330; // 94 mm, wider than 5443 - 2 * 170; pressing the line keeps whole millimetres
    t.w.session().notifyPageChanged();
    Mouse mouse(t.page, t.page.lineObject());
    mouse.press({30, 141});
    mouse.move({10, 141});
    QCOMPARE(t.card.line.left, float(5443 - 5330 - 170));
    QVERIFY(t.guide(0) && t.guide(1));
    mouse.release({10, 141});
}

void TestDragging::keepInTrimTestsEdgesInOrder()
{
    const QSizeF page(5443, 3402);
    auto k = PageObjects::keepInTrim({171, 171, 100, 100}, page);
    QCOMPARE(k.topLeft, QPointF(171, 171));
    QVERIFY(!k.guides[0] && !k.guides[2]);
    k = PageObjects::keepInTrim({5173, 3062, 100, 170}, page); // exactly on the right and bottom lines
    QCOMPARE(k.topLeft, QPointF(5173, 3062));
    QVERIFY(k.guides[1] && k.guides[3] && !k.guides[0] && !k.guides[2]);
    k = PageObjects::keepInTrim({0, 0, 3200, 3300}, page); // taller than the trim area
    QCOMPARE(k.topLeft, QPointF(170, 3402 - 3300 - 170));
    QVERIFY(k.guides[0] && !k.guides[1] && k.guides[2] && k.guides[3]);
}

void TestDragging::movesOnlyWithTheLeftButtonAlone()
{
    Window t;
    const CardText before = t.card.text(TextRole::Job);
    Mouse mouse(t.page, t.page.textObject(1));
    mouse.press({300, 55}, Qt::RightButton);
    mouse.move({200, 80});
    QCOMPARE(t.card.text(TextRole::Job), before);
    mouse.setButtons(Qt::LeftButton | Qt::RightButton);
    mouse.move({150, 90});
    QCOMPARE(t.card.text(TextRole::Job), before);
    mouse.release({150, 90}, Qt::RightButton);
}

void TestDragging::aPressAndReleaseChangesTheCard()
{
    Window t;
    QVERIFY(t.w.session().cardSaved);
    QTest::mouseClick(t.page.logoObject(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!t.w.session().cardSaved);
    QCOMPARE(t.card.logo, CardDocument::defaultCard().logo);
}

void TestDragging::pressingOpensTheObjectsPanel()
{
    Window t;
    QTest::mousePress(t.page.textObject(3), Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(t.w.visiblePanel(), 6);
    QCOMPARE(t.page.selectionFrame()->geometry(), t.page.textObject(3)->geometry());
    QVERIFY(t.page.selectionFrame()->isVisibleTo(&t.page));
    QTest::mouseRelease(t.page.textObject(3), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mousePress(t.page.logoObject(), Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(t.w.visiblePanel(), 5);
    QTest::mouseRelease(t.page.logoObject(), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mousePress(t.page.lineObject(), Qt::LeftButton, {}, QPoint(3, 1));
    QCOMPARE(t.w.visiblePanel(), 7);
    QTest::mouseRelease(t.page.lineObject(), Qt::LeftButton, {}, QPoint(3, 1));
    // Where the line crosses the logo, the one on top takes the press.
    t.card.line.top = 600;
    for (const bool front : {false, true}) {
        t.w.session().view.logoInFront = front;
        t.w.session().notifyPageChanged();
        QCOMPARE(t.page.childAt(50, 42), front ? t.page.logoObject() : t.page.lineObject());
    }

    // In align mode a press only switches the panel to its align option. A
    // double-click on the workspace enters it and says how the guide works.
    auto *bg = t.w.findChild<QWidget *>(QStringLiteral("bg"));
    QTest::mouseDClick(bg, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(t.w.findChild<QLabel *>(QStringLiteral("cz_info"))->text().startsWith(QStringLiteral("蓝色线为对齐基线")));
    QVERIFY(t.page.alignMode());
    t.w.showPanel(0);
    QTest::mousePress(t.page.textObject(3), Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(t.w.visiblePanel(), 0);
    QVERIFY(t.panel.findChild<QRadioButton *>(QStringLiteral("opt_show(1)"))->isChecked());
    QTest::mouseRelease(t.page.textObject(3), Qt::LeftButton, {}, QPoint(3, 3));
}

void TestDragging::snapsToTheGuideInsideTheStrictZone_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("snapped"); // -1: no snap
    // Guide at 2000, 45 wide; object 600 wide: the zone is 1700 < x < 2300.
    QTest::newRow("left") << 1800.0 << int(Alignment::Left) << 2045.0;
    QTest::newRow("centre") << 2200.0 << int(Alignment::Centre) << 2000.0 + 22.5 - 300.0;
    QTest::newRow("right") << 1701.0 << int(Alignment::Right) << 2045.0 - 600.0;
    QTest::newRow("lower bound") << 1700.0 << int(Alignment::Left) << -1.0;
    QTest::newRow("upper bound") << 2300.0 << int(Alignment::Left) << -1.0;
}

void TestDragging::snapsToTheGuideInsideTheStrictZone()
{
    QFETCH(double, x);
    QFETCH(int, alignment);
    QFETCH(double, snapped);
    const auto result = PageObjects::snapToGuide(x, 600, 2000, 45, Alignment(alignment));
    QCOMPARE(result.has_value(), snapped >= 0);
    if (result) QCOMPARE(*result, snapped);
}

void TestDragging::alignsADraggedObjectToTheGuide()
{
    Window t;
    t.w.showShowHidePanel();
    QCOMPARE(t.page.guideLeft(), (5443 - 45) / 2.0);
    QVERIFY(!t.page.alignMode());
    t.panel.chooseMode(1);
    QVERIFY(t.page.alignMode());
    t.panel.findChild<QRadioButton *>(QStringLiteral("opt_align(2)"))->setChecked(true);
    const double w = t.page.objectBox(0).width();
    Mouse mouse(t.page, t.page.textObject(0));
    mouse.press({300, 25});
    mouse.move({300 - 120, 25}); // 4440 - 1800 = 2640 twips, within w/2 of the guide at 2699
    QCOMPARE(double(t.card.text(TextRole::Name).Left), t.page.guideLeft() + 45 - w);
    QCOMPARE(t.card.text(TextRole::Name).Top, 300.0f);
    mouse.release({180, 25});
    t.panel.finishAlignment();
    QVERIFY(!t.page.alignMode());
}

void TestDragging::holdsTheGuideBetweenTheTrimLines()
{
    Window t;
    t.w.showShowHidePanel();
    t.panel.chooseMode(1);
    QWidget *guide = t.page.alignGuide();
    QTest::mousePress(guide, Qt::LeftButton, {}, QPoint(1, 10));
    QCOMPARE(t.w.visiblePanel(), 8);
    QMouseEvent farLeft(QEvent::MouseMove, QPointF(-400, 10), guide->mapToGlobal(QPointF(-400, 10)), Qt::NoButton,
                        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(guide, &farLeft);
    QCOMPARE(t.page.guideLeft(), 170.0);
    QMouseEvent farRight(QEvent::MouseMove, QPointF(600, 10), guide->mapToGlobal(QPointF(600, 10)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(guide, &farRight);
    QCOMPARE(t.page.guideLeft(), 5443.0 - 170.0);
    QCOMPARE(PageObjects::keepGuideInTrim(171, 5443), 171.0);
}

void TestDragging::showsAndHidesObjects()
{
    Window t;
    t.w.showShowHidePanel();
    QTest::mousePress(t.page.textObject(0), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(t.page.textObject(0), Qt::LeftButton, {}, QPoint(3, 3));
    t.w.showPanel(8);
    t.box(0)->click();
    QVERIFY(!t.card.text(TextRole::Name).visible);
    QVERIFY(!t.page.textObject(0)->isVisibleTo(&t.page));
    QVERIFY(t.page.selectionFrame()->isVisibleTo(&t.page)); // the frame stays where it was
    const CardText hidden = t.card.text(TextRole::Name);
    QCOMPARE(hidden.Left, 4440.0f); // hiding keeps position and style

    QTest::mousePress(t.page.logoObject(), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(t.page.logoObject(), Qt::LeftButton, {}, QPoint(3, 3));
    t.w.showPanel(8);
    t.box(11)->click();
    QVERIFY(!t.card.logo.visible);
    QVERIFY(!t.page.logoObject()->isVisibleTo(&t.page));
    QVERIFY(!t.page.selectionFrame()->isVisibleTo(&t.page));
    QVERIFY(t.w.session().cardSaved == false); // only the clicks on objects changed the card
    for (const bool visible : {false, true}) {
        t.card.line.visible = visible;
        t.w.showShowHidePanel();
        QCOMPARE(t.box(12)->isChecked(), visible);
    }
}

void TestDragging::offersTheBackgroundBoxOnlyForPictures()
{
    Window t;
    t.w.showShowHidePanel();
    QVERIFY(!t.box(13)->isEnabled());
    QCOMPARE(t.box(13)->text(), QStringLiteral("底图"));
    t.card.page.isBg = BackgroundKind::BuiltInImage;
    t.card.page.bgImg = QStringLiteral("3");
    t.w.session().view.background = QImage(10, 10, QImage::Format_RGB32);
    t.w.session().view.background.fill(Qt::green);
    t.w.session().notifyPageChanged();
    t.w.showShowHidePanel();
    QVERIFY(t.box(13)->isEnabled());
    QVERIFY(t.box(13)->isChecked());
    t.box(13)->click();
    QVERIFY(t.w.session().view.pictureRemoved);
    QCOMPARE(t.page.pageImage().pixelColor(200, 100), QColor(Qt::white));
    t.panel.chooseMode(1);
    QCOMPARE(t.box(13)->text(), QStringLiteral("页面"));
}

void TestDragging::showsTheGuideAsABarFromItsFirstShowing()
{
    Window t;
    auto *workspace = t.w.findChild<QWidget *>(QStringLiteral("bg"));
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(2, 2), workspace->mapToGlobal(QPointF(2, 2)),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(workspace, &doubleClick);
    QVERIFY(t.page.alignMode());
    // Centred on the 5443-twip page: (5443 - 45) / 2 = 2699 twips, pixel 180.
    QCOMPARE(t.page.guideLeft(), 2699.0);
    QCOMPARE(t.page.alignGuide()->geometry(), QRect(180, 0, 3, t.page.height()));
}

void TestDragging::doubleClicksBelongToWhatWasClicked()
{
    Window t;
    for (QWidget *object : {t.page.textObject(0), t.page.logoObject(), t.page.lineObject()}) {
        Mouse mouse(t.page, object);
        mouse.doubleClick(object->geometry().center());
        QVERIFY2(t.w.visiblePanel() != 8, qPrintable(object->objectName()));
    }
    Mouse onPage(t.page, &t.page);
    onPage.doubleClick({4, 4}); // the bleed: no object there
    QCOMPARE(t.w.visiblePanel(), 8);

    t.panel.chooseMode(1);
    Mouse onGuide(t.page, t.page.alignGuide());
    onGuide.doubleClick(t.page.alignGuide()->geometry().center());
    QVERIFY(t.page.alignMode());
}

void TestDragging::standsTrimGuidesOnTheCropMarks()
{
    Window t;
    // The default page, 5443 x 3402 twips: trim lines at 170 and 5273, 170 and 3232.
    QCOMPARE(t.page.trimGuide(0)->geometry(), QRect(11, 0, 1, 227));
    QCOMPARE(t.page.trimGuide(1)->geometry(), QRect(352, 0, 1, 227));
    QCOMPARE(t.page.trimGuide(2)->geometry(), QRect(0, 11, 363, 1));
    QCOMPARE(t.page.trimGuide(3)->geometry(), QRect(0, 215, 363, 1));
    const QImage page = t.page.pageImage();
    const QColor grey(128, 128, 128);
    for (const QPoint corner : {QPoint(11, 11), QPoint(352, 11), QPoint(11, 215), QPoint(352, 215)})
        QCOMPARE(page.pixelColor(corner), grey);
}

void TestDragging::dragsTheQrCodeLikeTheLogo()
{
    Window t;
    t.card.qrCode = CardQrCode{true, 4200, 300, 1200}; // over the name: the code is on top
    t.w.session().notifyPageChanged();
    Mouse mouse(t.page, t.page.qrCodeObject());
    mouse.press({285, 25}); // anchor 4275 - 4200, 375 - 300
    QCOMPARE(t.w.visiblePanel(), 5);
    QCOMPARE(t.page.childAt(285, 25), t.page.qrCodeObject());
    mouse.move({-20, 25});
    QCOMPARE(t.card.qrCode->left, 170.0f);
    QVERIFY(t.guide(0));
    mouse.move({400, 300});
    QCOMPARE(*t.card.qrCode, (CardQrCode{true, 5443 - 1200 - 170, 3402 - 1200 - 170, 1200}));
    QVERIFY(t.guide(1) && t.guide(3) && !t.guide(0));
    QCOMPARE(t.page.selectionFrame()->geometry(), t.page.qrCodeObject()->geometry());
    mouse.release({400, 300});
    QVERIFY(!t.w.session().cardSaved);
}

QTEST_MAIN(TestDragging)
#include "test_dragging.moc"
