#include "model/Numeric.h"
#include "ui/app/CommandBar.h"
#include "ui/app/MainWindow.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/ColourPicker.h"
#include "ui/panels/LinePanel.h"
#include "ui/panels/PaletteStrip.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>

namespace {

using LineSizing::Direction;

const QString kLineTip = QStringLiteral("直线：直线经过合适的设置，可以对您的名片产生有意想不到的装饰效果…");

// The main window on the default card (page 5443 x 3402 twips, 96 x 60 mm;
// line 4965 x 56.7 at 240, 2100) with the line panel open.
struct Window {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    MainWindow w{ProgramFolder(folder.root()), dialogs};
    CardSession &session = w.session();
    CardLine &line = session.card.line;
    LinePanel &panel = *w.findChild<LinePanel *>(QStringLiteral("frm_cz(7)"));
    QLabel &thumb = *panel.thumb();

    Window() { w.showLinePanel(); }
    QLineEdit *field(int i) const { return panel.sizeField(i); }
    QString status() const { return w.findChild<QLabel *>(QStringLiteral("cz_info"))->text(); }
    LineSizing::Track track() const
    {
        return {panel.track()->x() - thumb.width() / 2, panel.track()->width() - 1};
    }
    void setLine(float width, float height)
    {
        line.width = width;
        line.height = height;
        session.notifyPageChanged();
    }

    // Mouse events on the thumb as the window system sends them while it holds
    // the pointer: positions relative to the thumb where it stands now. x is
    // in the coordinates of the thumb's frame.
    void press(int x) { send(QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton); }
    void moveTo(int x, Qt::MouseButtons buttons = Qt::LeftButton) { send(QEvent::MouseMove, x, Qt::NoButton, buttons); }
    void send(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        const QPointF local(x - thumb.x(), 5);
        QMouseEvent event(type, local, thumb.mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&thumb, &event);
    }
    // Presses the thumb at its centre and drags it so its left edge goes to left.
    void dragThumbTo(int left)
    {
        const int half = thumb.width() / 2;
        press(thumb.x() + half);
        moveTo(left + half);
    }
};

} // namespace

class TestLinePanel : public QObject
{
    Q_OBJECT
private slots:
    void openingSnapsTheLineToWholeMillimetres();
    void lengthAtThePageWidthSpansThePage_data();
    void lengthAtThePageWidthSpansThePage();
    void thicknessPastTheBottomEdgeMovesTheLineUp_data();
    void thicknessPastTheBottomEdgeMovesTheLineUp();
    void refusedSizesRestoreTheFieldAndShowTheMaximum_data();
    void refusedSizesRestoreTheFieldAndShowTheMaximum();
    void sliderMapsSizesAndThumbPlaces();
    void thumbAtTheLeftEndGivesOneMillimetre();
    void lineFollowsTheThumbOneMoveBehind();
    void rightEndFillsThePageInEachDirection_data();
    void rightEndFillsThePageInEachDirection();
    void bothDirectionsMakeASquare();
    void aMoveWithoutTheLeftButtonChangesNothing();
    void hidingTheLineDisablesTheSizing();
    void stripAndButtonColourTheLine();
    void pointerOverAnyPanelRefreshesTheSwatch();
};

void TestLinePanel::openingSnapsTheLineToWholeMillimetres()
{
    Window t;
    QCOMPARE(t.w.visiblePanel(), 7);
    QCOMPARE(t.status(), kLineTip);
    QCOMPARE(t.line.height, 57.0f); // 56.7 on the default card
    t.setLine(1000, 56.7f);
    t.w.showLinePanel();
    QCOMPARE(t.field(0)->text(), QStringLiteral("18")); // 17.64 mm
    QCOMPARE(t.line.width, 1021.0f);
    QVERIFY(t.session.cardSaved); // sizes through the fields do not change the card
    // The rule runs only when the text changes: the thickness field read 1 already.
    QCOMPARE(t.line.height, 56.7f);
    // The line command leaves no selection frame; a press on the line does.
    emit t.w.findChild<CommandBar *>()->commandReleased(CommandBar::Line);
    QCOMPARE(t.w.visiblePanel(), 7);
    QVERIFY(!t.w.page()->selectionFrame()->isVisibleTo(t.w.page()));
    QTest::mousePress(t.w.page()->lineObject(), Qt::LeftButton, {}, QPoint(3, 1));
    QCOMPARE(t.w.visiblePanel(), 7);
    QVERIFY(t.w.page()->selectionFrame()->isVisibleTo(t.w.page()));
    QTest::mouseRelease(t.w.page()->lineObject(), Qt::LeftButton, {}, QPoint(3, 1));
}

void TestLinePanel::lengthAtThePageWidthSpansThePage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("left");
    QTest::newRow("page width") << "96" << "96" << 5443.0f << 0.0f;
    QTest::newRow("beyond") << "120" << "96" << 5443.0f << 0.0f;
    QTest::newRow("rounds to the page width") << " 95.5 " << "96" << 5443.0f << 0.0f;
    QTest::newRow("just inside, half to even") << "95" << "95" << 5386.0f << 240.0f; // 5386.5
    QTest::newRow("fraction") << "17.5" << "17.5" << 992.0f << 240.0f;               // 992.25
    QTest::newRow("zero") << "0" << "0" << 0.0f << 240.0f;
}

void TestLinePanel::lengthAtThePageWidthSpansThePage()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(float, width);
    QFETCH(float, left);
    Window t;
    t.field(0)->setText(typed);
    QCOMPARE(t.field(0)->text(), shown);
    QCOMPARE(t.line.width, width);
    QCOMPARE(t.line.left, left);
    QCOMPARE(t.line.top, 2100.0f);
    QVERIFY(t.dialogs.records.isEmpty());
    QCOMPARE(t.w.page()->selectionFrame()->geometry(), t.w.page()->lineObject()->geometry());
}

void TestLinePanel::thicknessPastTheBottomEdgeMovesTheLineUp_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("top");
    QTest::newRow("fits below its top") << "20" << "20" << 1134.0f << 2100.0f;
    QTest::newRow("past the bottom edge") << "30" << "30" << 1701.0f << 3402.0f - 1701.0f;
    QTest::newRow("exactly to the bottom edge") << "22.963" << "22.963" << 1302.0f << 2100.0f;
    QTest::newRow("page height") << "60" << "60" << 3402.0f << 0.0f;
    QTest::newRow("beyond") << "75" << "60" << 3402.0f << 0.0f;
}

void TestLinePanel::thicknessPastTheBottomEdgeMovesTheLineUp()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(float, height);
    QFETCH(float, top);
    Window t;
    t.field(1)->setText(typed);
    QCOMPARE(t.field(1)->text(), shown);
    QCOMPARE(t.line.height, height);
    QCOMPARE(t.line.top, top);
    QCOMPARE(t.line.left, 240.0f);
    QVERIFY(t.session.cardSaved);
}

void TestLinePanel::refusedSizesRestoreTheFieldAndShowTheMaximum_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString length = QStringLiteral("请请输入96内的数值！");
    const QString thickness = QStringLiteral("请请输入60内的数值！");
    QTest::newRow("emptied length") << 0 << "" << length;
    QTest::newRow("letters") << 0 << "1o" << length;
    QTest::newRow("negative length") << 0 << "-5" << length;
    QTest::newRow("too large for the field") << 0 << "99999" << length;
    QTest::newRow("just too large") << 0 << "32767.5" << length;
    QTest::newRow("emptied thickness") << 1 << "" << thickness;
    QTest::newRow("negative thickness") << 1 << "-0.6" << thickness;
    QTest::newRow("huge thickness") << 1 << "1e9" << thickness;
}

void TestLinePanel::refusedSizesRestoreTheFieldAndShowTheMaximum()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Window t;
    t.field(0)->setText(QStringLiteral("40"));
    t.field(1)->setText(QStringLiteral("3"));
    const CardLine before = t.line;
    t.field(field)->setText(typed);
    QCOMPARE(t.field(0)->text(), QStringLiteral("40"));
    QCOMPARE(t.field(1)->text(), QStringLiteral("3"));
    QCOMPARE(t.line, before);
    QCOMPARE(t.dialogs.records.size(), 1);
    QCOMPARE(t.dialogs.last().text, message);
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("操作提示："));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
}

void TestLinePanel::sliderMapsSizesAndThumbPlaces()
{
    const LineSizing::Track track{4, 179};
    const double page = 5443;
    QCOMPARE(LineSizing::thumbLeft(track, 0, page), 4);
    QCOMPARE(LineSizing::thumbLeft(track, page - 56.7, page), 183);
    QCOMPARE(LineSizing::thumbLeft(track, page, page), 183); // held on the track
    QCOMPARE(LineSizing::thumbLeft(track, (page - 56.7) / 2, page), 94); // 93.5, half to even
    QCOMPARE(LineSizing::sizeAt(track, 4, page), 0.0);
    QCOMPARE(LineSizing::sizeAt(track, 183, page), page - 56.7);
    QCOMPARE(LineSizing::shownSize(Direction::Both, {900, 300}), 300.0);
    QCOMPARE(LineSizing::extent(Direction::Thickness, {5443, 3402}), 3402.0);
    QCOMPARE(LineSizing::extent(Direction::Both, {5443, 3402}), 5443.0);

    // Opening and each direction place the thumb for the line.
    Window t;
    const auto track7 = t.track();
    QCOMPARE(t.thumb.x(), LineSizing::thumbLeft(track7, 4990, 5443)); // 4965 snapped to 88 mm
    t.panel.directionOption(1)->setChecked(true);
    QCOMPARE(t.thumb.x(), LineSizing::thumbLeft(track7, 57, 3402));
    t.setLine(1701, 2835);
    t.panel.directionOption(2)->setChecked(true);
    QCOMPARE(t.thumb.x(), LineSizing::thumbLeft(track7, 1701, 5443));
}

void TestLinePanel::thumbAtTheLeftEndGivesOneMillimetre()
{
    Window t;
    t.dragThumbTo(t.track().lowest - 40);
    QCOMPARE(t.thumb.x(), t.track().lowest);
    QCOMPARE(t.field(0)->text(), QStringLiteral("1"));
    QCOMPARE(t.line.width, 57.0f); // 56.7 from the slider, then whole millimetres
    QCOMPARE(t.line.height, 57.0f);
    // The drag is an edit once released.
    QVERIFY(t.session.cardSaved);
    t.send(QEvent::MouseButtonRelease, t.thumb.x(), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!t.session.cardSaved);
    // At the end already, the field keeps "1" and nothing snaps the slider's 56.7.
    t.moveTo(0);
    QCOMPARE(t.line.width, 56.7f);
}

void TestLinePanel::lineFollowsTheThumbOneMoveBehind()
{
    Window t;
    const auto track = t.track();
    const int before = t.thumb.x(); // placed for 88 mm, 4990 twips
    t.dragThumbTo(track.lowest + 20);
    QCOMPARE(t.thumb.x(), track.lowest + 20);
    // The first move gives the size of the thumb's old place; in whole
    // millimetres that is still 88, so the field does not change and nothing snaps.
    QCOMPARE(t.line.width, float(LineSizing::sizeAt(track, before, 5443)));
    QCOMPARE(t.field(0)->text(), QStringLiteral("88"));
    t.moveTo(track.lowest + 20 + t.thumb.width() / 2); // no further: the size of this place arrives now
    const int mm = Numeric::twipsToMm(LineSizing::sizeAt(track, track.lowest + 20, 5443));
    QCOMPARE(t.field(0)->text(), QString::number(mm));
    QCOMPARE(t.line.width, float(Numeric::mmToTwips(mm)));
    QCOMPARE(t.line.left, 240.0f);
}

void TestLinePanel::rightEndFillsThePageInEachDirection_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QPointF>("place");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("length") << 0 << QSizeF(5443, 57) << QPointF(0, 2100) << QStringList{"96", "1"};
    QTest::newRow("thickness") << 1 << QSizeF(4990, 3402) << QPointF(240, 0) << QStringList{"88", "60"};
    QTest::newRow("both") << 2 << QSizeF(5443, 3402) << QPointF(0, 0) << QStringList{"96", "60"};
}

void TestLinePanel::rightEndFillsThePageInEachDirection()
{
    QFETCH(int, direction);
    QFETCH(QSizeF, size);
    QFETCH(QPointF, place);
    QFETCH(QStringList, fields);
    Window t;
    t.panel.directionOption(direction)->setChecked(true);
    t.dragThumbTo(t.track().highest() + 300);
    QCOMPARE(t.thumb.x(), t.track().highest());
    QCOMPARE(QSizeF(t.line.width, t.line.height), size);
    QCOMPARE(QPointF(t.line.left, t.line.top), place);
    QCOMPARE((QStringList{t.field(0)->text(), t.field(1)->text()}), fields);
}

void TestLinePanel::bothDirectionsMakeASquare()
{
    Window t;
    t.panel.directionOption(2)->setChecked(true);
    const auto track = t.track();
    QCOMPARE(t.thumb.x(), LineSizing::thumbLeft(track, 57, 5443));
    t.dragThumbTo(track.lowest + 100);
    t.moveTo(track.lowest + 100 + t.thumb.width() / 2);
    const int mm = Numeric::twipsToMm(LineSizing::sizeAt(track, track.lowest + 100, 5443));
    QCOMPARE(t.line.width, float(Numeric::mmToTwips(mm)));
    QCOMPARE(t.line.height, t.line.width);
    QCOMPARE(t.line.top, 3402.0f - t.line.height); // pushed up onto the bottom edge
}

void TestLinePanel::aMoveWithoutTheLeftButtonChangesNothing()
{
    Window t;
    QVERIFY(t.session.cardSaved);
    const int left = t.thumb.x();
    t.moveTo(left + 40, Qt::NoButton);
    QVERIFY(t.session.cardSaved);
    QCOMPARE(t.thumb.x(), left);
    QCOMPARE(t.line.width, 4990.0f); // the fields already read 88 and 1: nothing snaps
    t.moveTo(left + 40, Qt::LeftButton | Qt::RightButton);
    QCOMPARE(t.thumb.x(), left);
}

void TestLinePanel::hidingTheLineDisablesTheSizing()
{
    Window t;
    QTest::mousePress(t.w.page()->lineObject(), Qt::LeftButton, {}, QPoint(3, 1));
    QTest::mouseRelease(t.w.page()->lineObject(), Qt::LeftButton, {}, QPoint(3, 1));
    t.session.cardSaved = true;
    t.panel.hideBox()->click();
    QVERIFY(!t.line.visible);
    QVERIFY(!t.w.page()->lineObject()->isVisibleTo(t.w.page()));
    QVERIFY(!t.w.page()->selectionFrame()->isVisibleTo(t.w.page()));
    QVERIFY(!t.thumb.isEnabled() && !t.field(0)->isEnabled() && !t.field(1)->isEnabled());
    QVERIFY(!t.session.cardSaved);
    t.panel.hideBox()->click();
    QVERIFY(t.line.visible);
    QVERIFY(t.thumb.isEnabled() && t.field(0)->isEnabled() && t.field(1)->isEnabled());

    // Opening the panel on a line hidden elsewhere shows it hidden, and changes nothing.
    t.line.visible = false;
    t.session.cardSaved = true;
    t.w.showLinePanel();
    QVERIFY(t.panel.hideBox()->isChecked());
    QVERIFY(!t.field(0)->isEnabled());
    QVERIFY(t.session.cardSaved);
}

void TestLinePanel::stripAndButtonColourTheLine()
{
    Window t;
    QCOMPARE(t.panel.strip()->objectName(), QStringLiteral("PicColor(2)"));
    QCOMPARE(t.panel.colourButton()->text(), QStringLiteral(">>自定义颜色…"));
    QTest::mousePress(t.panel.strip(), Qt::LeftButton, {}, QPoint(1 + 54, 1 + 7));
    QCOMPARE(t.line.bgColor, Colour::fromRgb(66, 171, 69));
    QCOMPARE(t.panel.swatch()->colour(), t.line.bgColor);
    QCOMPARE(t.w.page()->pageImage().pixelColor(20, 140), QColor(66, 171, 69));
    QVERIFY(!t.session.cardSaved);

    t.session.cardSaved = true;
    t.panel.colourButton()->click(); // cancelled: nothing changes
    QCOMPARE(t.line.bgColor, Colour::fromRgb(66, 171, 69));
    QVERIFY(t.session.cardSaved);
    t.dialogs.colours.push_back(Colour::fromRgb(10, 20, 30));
    t.panel.colourButton()->click();
    QCOMPARE(t.line.bgColor, Colour::fromRgb(10, 20, 30));
    QCOMPARE(t.panel.swatch()->colour(), Colour::fromRgb(10, 20, 30));
    QVERIFY(!t.session.cardSaved);
}

void TestLinePanel::pointerOverAnyPanelRefreshesTheSwatch()
{
    Window t;
    t.line.bgColor = Colour::fromRgb(200, 0, 0);
    QCOMPARE(t.panel.swatch()->colour(), Colour::kBlack);
    t.w.showPanel(4);
    QWidget *pagePanel = t.w.findChild<QWidget *>(QStringLiteral("frm_cz(4)"));
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 200), pagePanel->mapToGlobal(QPointF(50, 200)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pagePanel, &move);
    QCOMPARE(t.panel.swatch()->colour(), Colour::fromRgb(200, 0, 0));
}

QTEST_MAIN(TestLinePanel)
#include "test_linepanel.moc"
