#include "model/CardFile.h"
#include "model/IniFile.h"
#include "render/PageGeometry.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"
#include "ui/app/MainWindow.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/PagePanel.h"
#include "ui/panels/PaletteStrip.h"
#include "ui/panels/SavePanel.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QString kSizeMessage = QStringLiteral("请请输入46~126范围的数值！");
const QString kAngleMessage = QStringLiteral("请请输入0~360范围的数值！");
const QString kHint = QStringLiteral("操作提示：");
constexpr Colour::Value kOrangeRed = Colour::fromRgb(255, 69, 0);
constexpr Colour::Value kTeal = Colour::fromRgb(0, 154, 155);

// The designer on a fresh program folder, its page panel shown.
struct Designer {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> w;
    PagePanel *panel = nullptr;

    Designer() { start(); }

    void start()
    {
        w = std::make_unique<MainWindow>(ProgramFolder(folder.root()), dialogs);
        panel = w->findChild<PagePanel *>(QStringLiteral("frm_cz(4)"));
        QVERIFY(panel);
        w->showPagePanel();
    }

    CardSession &session() { return w->session(); }
    CardPage &page() { return w->session().card.page; }
    PageView &view() { return w->session().view; }
    QColor pixel(QPoint at = {30, 30}) const { return w->page()->pageImage().pixelColor(at); }
    void pick(Colour::Value colour) { emit panel->strip()->colourPicked(colour); }
};

} // namespace

class TestPagePanel : public QObject
{
    Q_OBJECT
private slots:
    void sizeBoxesTakeMillimetresInRange_data();
    void sizeBoxesTakeMillimetresInRange();
    void anEmptiedSizeBoxPutsTheSizeBack();
    void orientationAppliesTheBoxesAcrossOrDown();
    void aResizeBringsFarTextsInside();
    void gradientStartsFromTheSolidColourAndBack();
    void aSecondGradientColourLeavesTheFirst();
    void aFirstGradientIsWhiteFromThePageColour();
    void customColourButtonsHideAShownPicture();
    void builtInPictureHidesAndShowsAgain();
    void angleBoxDrawsReducedAnglesAndRefusesText();
    void displayOptionsAreNoChange();
    void openedCardsWriteTheControlsAndSaveUnchanged();
    void aNewCardResetsTheControls();
};

void TestPagePanel::sizeBoxesTakeMillimetresInRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<float>("width");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("96") << "96" << 5443.f << "(实尺寸90毫米)";
    QTest::newRow("46") << "46" << 2608.f << "(实尺寸40毫米)";
    QTest::newRow("126") << "126" << 7144.f << "(实尺寸120毫米)";
    QTest::newRow("exponent") << "1e2" << 5670.f << "(实尺寸94毫米)";
    QTest::newRow("45") << "45" << 4536.f << "(实尺寸74毫米)";
    QTest::newRow("127") << "127" << 4536.f << "(实尺寸74毫米)";
}

void TestPagePanel::sizeBoxesTakeMillimetresInRange()
{
    QFETCH(QString, typed);
    QFETCH(float, width);
    QFETCH(QString, trimmed);
    Designer d;
    d.panel->sizeBox(0)->setText(QStringLiteral("80"));
    d.session().cardSaved = true;
    d.panel->sizeBox(0)->setText(typed);
    QCOMPARE(d.page().width, width);
    QCOMPARE(d.page().height, 3402.f);
    QCOMPARE(d.panel->trimmedSizeLabel(0)->text(), trimmed);
    QVERIFY(d.dialogs.records.isEmpty()); // out of range is silent
    QVERIFY(!d.session().cardSaved);
    QCOMPARE(d.w->page()->width(), PageGeometry::toPixels(width, 15));
}

void TestPagePanel::anEmptiedSizeBoxPutsTheSizeBack()
{
    Designer d;
    d.panel->sizeBox(1)->setText(QStringLiteral("54"));
    d.panel->sizeBox(1)->setText(QString());
    QCOMPARE(d.panel->sizeBox(1)->text(), QStringLiteral("54"));
    QCOMPARE(d.page().height, 3062.f);
    QCOMPARE(d.dialogs.records.size(), 1);
    QCOMPARE(d.dialogs.last().text, kSizeMessage);
    QCOMPARE(d.dialogs.last().caption, kHint);
    QCOMPARE(d.dialogs.last().icon, Dialogs::Icon::Warning);

    // A focused box selects its digits, so typing replaces the value.
    d.w->show();
    d.panel->sizeBox(1)->setFocus();
    QTRY_COMPARE(d.panel->sizeBox(1)->selectedText(), QStringLiteral("54"));
}

void TestPagePanel::orientationAppliesTheBoxesAcrossOrDown()
{
    Designer d;
    d.panel->orientationOption(1)->setChecked(true);
    QCOMPARE(d.page().width, 3402.f);
    QCOMPARE(d.page().height, 5443.f);
    QCOMPARE(d.panel->sizeBox(0)->text(), QStringLiteral("96"));
    QCOMPARE(d.panel->sizeBox(1)->text(), QStringLiteral("60"));
    QVERIFY(!d.session().cardSaved);

    // A value typed but refused is not applied by the orientation.
    d.panel->sizeBox(0)->setText(QStringLiteral("130"));
    d.panel->orientationOption(0)->setChecked(true);
    QCOMPARE(d.page().width, 5443.f);
    QCOMPARE(d.page().height, 3402.f);
}

void TestPagePanel::aResizeBringsFarTextsInside()
{
    Designer d;
    CardDocument &card = d.session().card;
    d.w->addCardBack();
    card.texts[0].Left = 4110; // the back's name
    d.w->showCardSide(CardSide::Front);
    card.texts[0].Left = 4110;
    card.texts[1].Left = 240;
    card.texts[2].Left = 4110;
    card.texts[2].Top = 3300;
    d.session().notifyPageChanged();
    d.panel->sizeBox(0)->setText(QStringLiteral("80"));
    d.panel->sizeBox(1)->setText(QStringLiteral("50"));
    const QRectF far = d.w->page()->objectBox(0);
    QVERIFY(qAbs(far.right() - (4536 - 250)) < 0.01);
    QCOMPARE(card.texts[1].Left, 240.f);
    const QRectF low = d.w->page()->objectBox(2);
    QVERIFY(qAbs(low.bottom() - 2835) < 0.01);
    QVERIFY(qAbs(low.right() - (4536 - 250)) < 0.01);
    // The logo and the line stay.
    QCOMPARE(card.logo.left, CardDocument::defaultCard().logo.left);
    QCOMPARE(card.line.left, CardDocument::defaultCard().line.left);
    d.w->showCardSide(CardSide::Back); // the back's texts come inside too
    QVERIFY(qAbs(d.w->page()->objectBox(0).right() - (4536 - 250)) < 0.01);
}

void TestPagePanel::gradientStartsFromTheSolidColourAndBack()
{
    Designer d;
    d.pick(kOrangeRed);
    QCOMPARE(d.page().bgColor, kOrangeRed);
    QCOMPARE(d.panel->solidSwatch()->colour(), kOrangeRed);
    QCOMPARE(d.page().jbColor1, kOrangeRed);

    d.panel->fillOption(1)->setChecked(true);
    QCOMPARE(d.page().isBg, BackgroundKind::Gradient);
    QCOMPARE(d.page().jbColor1, kOrangeRed);
    QCOMPARE(d.panel->gradientView(0)->colour(), kOrangeRed);
    QVERIFY(d.panel->findChild<QGroupBox *>(QStringLiteral("page_frm(1)"))->isVisibleTo(d.panel));
    QVERIFY(!d.panel->findChild<QGroupBox *>(QStringLiteral("page_frm(2)"))->isVisibleTo(d.panel));
    d.page().jbColor2 = Colour::kBlack;
    d.session().notifyPageChanged();
    QVERIFY(d.pixel({2, 2}) != d.pixel({340, 220}));

    d.panel->fillOption(0)->setChecked(true);
    QCOMPARE(d.page().isBg, BackgroundKind::SolidColour);
    QCOMPARE(d.pixel({2, 2}), Colour::toQColor(kOrangeRed));
    QCOMPARE(d.pixel({340, 220}), Colour::toQColor(kOrangeRed));
}

void TestPagePanel::aSecondGradientColourLeavesTheFirst()
{
    Designer d;
    d.panel->fillOption(1)->setChecked(true);
    const Colour::Value first = d.page().jbColor1;
    d.panel->gradientTarget(1)->setChecked(true);
    d.pick(kTeal);
    QCOMPARE(d.page().jbColor1, first);
    QCOMPARE(d.page().jbColor2, kTeal);
    QCOMPARE(d.panel->gradientView(1)->colour(), kTeal);
    QCOMPARE(d.panel->solidSwatch()->colour(), kTeal);
    QCOMPARE(d.page().isBg, BackgroundKind::Gradient);

    // The dialog button of the gradient frame sets the chosen colour as well.
    d.dialogs.colours = {kOrangeRed};
    d.panel->colourButton(1)->click();
    QCOMPARE(d.page().jbColor2, kOrangeRed);
    QCOMPARE(d.page().jbColor1, first);
    QCOMPARE(d.page().bgColor, kTeal);
}

void TestPagePanel::aFirstGradientIsWhiteFromThePageColour()
{
    Designer d;
    d.panel->fillOption(1)->setChecked(true);
    QCOMPARE(d.pixel({340, 220}), QColor(Qt::white));
    // The solid frame's dialog button leaves the gradient colours; the switch takes the page's.
    d.panel->fillOption(0)->setChecked(true);
    d.dialogs.colours = {kOrangeRed};
    d.panel->colourButton(0)->click();
    QCOMPARE(d.page().jbColor1, Colour::kWhite);
    d.panel->fillOption(1)->setChecked(true);
    QCOMPARE(d.page().jbColor1, kOrangeRed);
    QCOMPARE(d.panel->gradientView(0)->colour(), kOrangeRed);
}

void TestPagePanel::customColourButtonsHideAShownPicture()
{
    Designer d;
    QTest::mouseClick(d.panel->thumbnail(0), Qt::LeftButton);
    d.dialogs.colours = {kTeal, std::nullopt};
    d.panel->colourButton(0)->click();
    QCOMPARE(d.page().bgColor, kTeal);
    QVERIFY(d.panel->removePictureBox()->isChecked());
    QCOMPARE(d.view().shownBackground(d.page()), BackgroundKind::SolidColour);
    QCOMPARE(d.pixel(), Colour::toQColor(kTeal));

    d.session().cardSaved = true;
    d.panel->colourButton(0)->click(); // cancelled
    QCOMPARE(d.page().bgColor, kTeal);
    QVERIFY(d.session().cardSaved);
}

void TestPagePanel::builtInPictureHidesAndShowsAgain()
{
    Designer d;
    QVERIFY(!d.panel->removePictureBox()->isEnabled());
    QLabel *thumbnail = d.panel->thumbnail(7);
    QTest::mousePress(thumbnail, Qt::LeftButton);
    QCOMPARE(thumbnail->frameShadow(), QFrame::Sunken);
    QCOMPARE(d.page().isBg, BackgroundKind::SolidColour);
    QTest::mouseRelease(thumbnail, Qt::LeftButton);
    QCOMPARE(thumbnail->frameShape(), QFrame::NoFrame);
    QCOMPARE(d.page().isBg, BackgroundKind::BuiltInImage);
    QCOMPARE(d.page().bgImg, QStringLiteral("7"));
    QVERIFY(d.panel->removePictureBox()->isEnabled());
    QVERIFY(!d.panel->removePictureBox()->isChecked());
    const QImage tile = PagePictures::builtInBackground(QStringLiteral("7"));
    QCOMPARE(d.pixel({1, 1}), tile.pixelColor(1, 1));

    d.panel->removePictureBox()->setChecked(true);
    QCOMPARE(d.pixel({1, 1}), QColor(Qt::white));
    d.panel->removePictureBox()->setChecked(false);
    QCOMPARE(d.pixel({1, 1}), tile.pixelColor(1, 1));

    // Choosing the gradient hides the picture but keeps it chosen.
    d.panel->fillOption(1)->setChecked(true);
    QVERIFY(d.panel->removePictureBox()->isChecked());
    QCOMPARE(d.view().shownBackground(d.page()), BackgroundKind::Gradient);
    QCOMPARE(d.page().bgImg, QStringLiteral("7"));

    // A press released away from the thumbnail chooses nothing.
    QTest::mousePress(d.panel->thumbnail(2), Qt::LeftButton);
    QTest::mouseRelease(d.panel->thumbnail(2), Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(d.page().bgImg, QStringLiteral("7"));
}

void TestPagePanel::angleBoxDrawsReducedAnglesAndRefusesText()
{
    Designer d;
    d.pick(kTeal);
    d.panel->fillOption(1)->setChecked(true);
    d.panel->angleBox()->setText(QStringLiteral("90"));
    const QImage at90 = d.w->page()->pageImage();
    d.panel->angleBox()->setText(QStringLiteral("450"));
    QCOMPARE(d.page().jbJiaoDu, QStringLiteral("450"));
    QCOMPARE(d.w->page()->pageImage(), at90);
    d.panel->angleBox()->setText(QStringLiteral("0"));
    QVERIFY(d.w->page()->pageImage() != at90);

    d.panel->angleBox()->setText(QStringLiteral("45"));
    d.panel->angleBox()->setText(QString());
    QCOMPARE(d.panel->angleBox()->text(), QStringLiteral("0"));
    QCOMPARE(d.page().jbJiaoDu, QStringLiteral("0"));
    QCOMPARE(d.dialogs.records.size(), 1);
    QCOMPARE(d.dialogs.last().text, kAngleMessage);
    QCOMPARE(d.dialogs.last().caption, kHint);
    QCOMPARE(d.dialogs.last().icon, Dialogs::Icon::Warning);
}

void TestPagePanel::displayOptionsAreNoChange()
{
    Designer d;
    d.w->show();
    auto *shadow = d.w->findChild<QLabel *>(QStringLiteral("card_bg"));
    d.panel->hideCropMarksBox()->setChecked(true);
    QVERIFY(!d.view().cropMarks);
    d.panel->hideShadowBox()->setChecked(true);
    QVERIFY(!shadow->isVisible());
    QVERIFY(d.session().cardSaved);
    d.panel->hideShadowBox()->setChecked(false);
    QVERIFY(shadow->isVisible());

    // A background change brings the crop marks back.
    d.pick(kTeal);
    QVERIFY(d.view().cropMarks);
    QVERIFY(!d.panel->hideCropMarksBox()->isChecked());
}

void TestPagePanel::openedCardsWriteTheControlsAndSaveUnchanged()
{
    Designer d;
    const QString file = d.folder.path(QStringLiteral("mycard/商务/小.pnk"));
    QDir(d.folder.root()).mkpath(QStringLiteral("mycard/商务"));
    CardDocument card = CardDocument::defaultCard();
    card.page.width = 5103;
    card.page.height = 3062;
    card.page.isBg = BackgroundKind::Gradient;
    card.page.jbColor1 = kTeal;
    card.page.jbColor2 = kOrangeRed;
    card.page.jbJiaoDu = QStringLiteral("30");
    card.texts[3].Left = 4000;
    IniFile ini;
    CardFile::write(card, ini);
    QVERIFY(IniStore::save(file, ini));
    QFile before(file);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();

    d.folder.setStartupCard(QStringLiteral("商务\\小.pnk"));
    d.start();
    QCOMPARE(d.panel->sizeBox(0)->text(), QStringLiteral("90"));
    QCOMPARE(d.panel->sizeBox(1)->text(), QStringLiteral("54"));
    QCOMPARE(d.panel->trimmedSizeLabel(0)->text(), QStringLiteral("(实尺寸84毫米)"));
    QVERIFY(d.panel->fillOption(1)->isChecked());
    QCOMPARE(d.panel->gradientView(0)->colour(), kTeal);
    QCOMPARE(d.panel->gradientView(1)->colour(), kOrangeRed);
    QCOMPARE(d.panel->angleBox()->text(), QStringLiteral("30"));
    QVERIFY(d.session().cardSaved);
    QCOMPARE(d.session().card, card);

    d.dialogs.answers = {Dialogs::Answer::Yes};
    d.w->showSavePanel();
    auto *save = d.w->findChild<SavePanel *>(QStringLiteral("frm_cz(2)"));
    save->categoryList()->setCurrentIndex(save->categoryList()->findText(QStringLiteral("商务")));
    emit save->categoryList()->activated(save->categoryList()->currentIndex());
    save->nameField()->setText(QStringLiteral("小"));
    save->button(3)->click();
    QFile after(file);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), bytes);
}

void TestPagePanel::aNewCardResetsTheControls()
{
    Designer d;
    d.panel->sizeBox(0)->setText(QStringLiteral("80"));
    d.panel->fillOption(1)->setChecked(true);
    d.panel->angleBox()->setText(QStringLiteral("45"));
    QTest::mouseClick(d.panel->thumbnail(1), Qt::LeftButton);
    d.dialogs.answers = {Dialogs::Answer::No};
    d.w->startNewCard();
    QCOMPARE(d.panel->sizeBox(0)->text(), QStringLiteral("96"));
    QCOMPARE(d.panel->sizeBox(1)->text(), QStringLiteral("60"));
    QCOMPARE(d.panel->angleBox()->text(), QStringLiteral("0"));
    QVERIFY(d.panel->fillOption(0)->isChecked());
    QVERIFY(!d.panel->removePictureBox()->isEnabled());
    QCOMPARE(d.session().card, CardDocument::defaultCard());
    QVERIFY(d.session().cardSaved);
}

QTEST_MAIN(TestPagePanel)
#include "test_pagepanel.moc"
