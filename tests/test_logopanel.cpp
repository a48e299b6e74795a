#include "model/CardFile.h"
#include "model/IniFile.h"
#include "render/QrCode.h"
#include "ui/app/MainWindow.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/LogoPanel.h"
#include "ui/panels/LogoPreview.h"
#include "ui/panels/PagePanel.h"
#include "ui/panels/PaletteStrip.h"
#include "ui/panels/TextPanel.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kHint = QStringLiteral("操作提示：");
const QString kTooLarge = QStringLiteral("标志的大小已经超出页面的规格，\r只能调小了！");
const QString kTooSmall = QStringLiteral("标志已经最小不能再调了了！");

using Dimension = LogoPanel::Dimension;
using Step = LogoPanel::Step;
using StepResult = LogoPanel::StepResult;

// The designer on a program folder whose logo library the test fills first.
struct Designer {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> w;
    LogoPanel *panel = nullptr;

    void start()
    {
        w = std::make_unique<MainWindow>(ProgramFolder(folder.root()), dialogs);
        panel = w->findChild<LogoPanel *>(QStringLiteral("frm_cz(5)"));
        QVERIFY(panel);
        w->showLogoPanel();
    }

    CardSession &session() { return w->session(); }
    CardLogo &logo() { return w->session().card.logo; }

    void choose(const QString &category, const QString &file)
    {
        QComboBox *categories = panel->categoryList();
        categories->setCurrentIndex(categories->findText(category));
        const auto items = panel->fileList()->findItems(file, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        emit panel->fileList()->itemClicked(items[0]);
    }

    void step(const QString &n, int option, int button)
    {
        panel->stepBox()->setText(n);
        panel->dimensionOption(option)->setChecked(true);
        panel->sizeButton(button)->click();
    }

    // A mouse event on the preview picture, with modifiers held.
    void send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
    {
        QLabel *picture = panel->preview()->picture();
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, picture->mapToGlobal(at), button, buttons, modifiers);
        QCoreApplication::sendEvent(picture, &event);
    }
};

// A bitmap header that announces a picture of width x height without its pixels.
} // namespace

class TestLogoPanel : public QObject
{
    Q_OBJECT
private slots:
    void stepsGrowAndShrinkTheLogo_data();
    void stepsGrowAndShrinkTheLogo();
    void sizeButtonsReportRefusalsAndShowTheSize();
    void stepBoxRefusesALetter();
    void listsCategoriesAndChoosesALogoAtNaturalSize();
    void listsFilesLyingInTheLogoFolderAsCategories();
    void refusesPicturesItCannotUse();
    void previewPullsBackAfterACtrlDrag_data();
    void previewPullsBackAfterACtrlDrag();
    void ctrlDragPansThePreview();
    void aPreviewPixelBecomesTheSolidPageColour();
    void openingThePanelIsNoChange();
    void placesSizesAndHidesTheQrCode();
    void statusLineSaysWhenTheCodeCannotBeDrawn();
};

void TestLogoPanel::stepsGrowAndShrinkTheLogo_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<Dimension>("dimension");
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("n");
    QTest::addColumn<StepResult>("result");
    QTest::addColumn<QSizeF>("after");
    QTest::newRow("width +1") << QSizeF(1020, 1020) << Dimension::Width << Step::Grow << 1 << StepResult::Done
                              << QSizeF(1076.7, 1020);
    QTest::newRow("height -2") << QSizeF(1020, 1020) << Dimension::Height << Step::Shrink << 2 << StepResult::Done
                               << QSizeF(1020, 906.6);
    QTest::newRow("both -10%") << QSizeF(1000, 600) << Dimension::Both << Step::Shrink << 10 << StepResult::Done
                               << QSizeF(900, 540);
    QTest::newRow("both +10%") << QSizeF(1000, 600) << Dimension::Both << Step::Grow << 10 << StepResult::Done
                               << QSizeF(1100, 660);
    QTest::newRow("560 high, -10%") << QSizeF(1000, 560) << Dimension::Both << Step::Shrink << 10
                                    << StepResult::TooSmall << QSizeF(1000, 560);
    QTest::newRow("wider than page") << QSizeF(5444, 100) << Dimension::Height << Step::Grow << 1
                                     << StepResult::TooLarge << QSizeF(5444, 100);
    QTest::newRow("just narrower") << QSizeF(5440, 100) << Dimension::Width << Step::Grow << 1 << StepResult::Done
                                   << QSizeF(5496.7, 100);
    QTest::newRow("as wide as the page") << QSizeF(5443, 100) << Dimension::Width << Step::Grow << 1
                                         << StepResult::Done << QSizeF(5499.7, 100);
    QTest::newRow("as tall as the page") << QSizeF(100, 3402) << Dimension::Height << Step::Grow << 1
                                         << StepResult::Done << QSizeF(100, 3458.7);
    QTest::newRow("one step high, -1") << QSizeF(1000, 56.7) << Dimension::Width << Step::Shrink << 1
                                       << StepResult::TooSmall << QSizeF(1000, 56.7);
}

void TestLogoPanel::stepsGrowAndShrinkTheLogo()
{
    QFETCH(QSizeF, size);
    QFETCH(Dimension, dimension);
    QFETCH(Step, step);
    QFETCH(int, n);
    QFETCH(StepResult, result);
    QFETCH(QSizeF, after);
    QCOMPARE(LogoPanel::stepSize(size, QSizeF(5443, 3402), dimension, step, n), result);
    QVERIFY2(qAbs(size.width() - after.width()) < 1e-6 && qAbs(size.height() - after.height()) < 1e-6,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
}

void TestLogoPanel::sizeButtonsReportRefusalsAndShowTheSize()
{
    Designer d;
    d.start();
    QCOMPARE(d.panel->sizeLabel()->text(), QStringLiteral("当前标志大小：宽18,高18毫米"));
    d.step(QStringLiteral("1"), 0, 0);
    QCOMPARE(d.logo().width, 1076.7f);
    QCOMPARE(d.panel->sizeLabel()->text(), QStringLiteral("当前标志大小：宽19,高18毫米"));
    QVERIFY(!d.session().cardSaved);
    QVERIFY(d.w->page()->selectionFrame()->isVisibleTo(d.w->page()));

    d.step(QStringLiteral("2"), 2, 0);
    QCOMPARE(d.panel->stepUnitLabel()->text(), QStringLiteral("调整幅值：      %"));
    QCOMPARE(d.logo().height, 1040.4f);

    d.logo().width = 6000;
    d.step(QStringLiteral("1"), 0, 0);
    QCOMPARE(d.dialogs.last().text, kTooLarge);
    QCOMPARE(d.dialogs.last().caption, kHint);
    QCOMPARE(d.dialogs.last().icon, Dialogs::Icon::Warning);
    QCOMPARE(d.logo().width, 6000.f);

    d.logo().height = 560;
    d.step(QStringLiteral("10"), 2, 1);
    QCOMPARE(d.dialogs.last().text, kTooSmall);
    QCOMPARE(d.dialogs.last().caption, kHint);
    QCOMPARE(d.logo().height, 560.f);
    d.panel->dimensionOption(1)->setChecked(true);
    QCOMPARE(d.panel->stepUnitLabel()->text(), QStringLiteral("调整幅值：      毫米"));
}

void TestLogoPanel::stepBoxRefusesALetter()
{
    Designer d;
    d.start();
    d.panel->stepBox()->setText(QStringLiteral("5"));
    d.panel->stepBox()->setText(QStringLiteral("a"));
    QCOMPARE(d.panel->stepBox()->text(), QStringLiteral("1"));
    QCOMPARE(d.dialogs.records.size(), 1);
    QCOMPARE(d.dialogs.last().text, QStringLiteral("注意，调整的幅度值必须为数值！"));
    QCOMPARE(d.dialogs.last().caption, kHint);
    QCOMPARE(d.dialogs.last().icon, Dialogs::Icon::Warning);
}

void TestLogoPanel::listsCategoriesAndChoosesALogoAtNaturalSize()
{
    Designer d;
    d.folder.writePicture(QStringLiteral("logo/企业/山.jpg"), Qt::blue, {40, 30});
    d.folder.writePicture(QStringLiteral("logo/企业/水.bmp"), Qt::green, {10, 10});
    d.folder.writePicture(QStringLiteral("logo/企业/图.png"), Qt::red, {10, 10});
    d.folder.writePicture(QStringLiteral("logo/企业/大.png"), Qt::red, {400, 300});
    QDir(d.folder.root()).mkpath(QStringLiteral("logo/空"));
    d.start();
    QComboBox *categories = d.panel->categoryList();
    QCOMPARE(categories->count(), 2);
    QCOMPARE(categories->currentText(), QStringLiteral("请选择标志文件的类别"));
    QVERIFY(categories->isEnabled());

    categories->setCurrentIndex(categories->findText(QStringLiteral("空")));
    QCOMPARE(d.panel->fileList()->count(), 0);
    QVERIFY(!d.panel->fileList()->isEnabled());

    d.logo().left = 700;
    d.choose(QStringLiteral("企业"), QStringLiteral("山.jpg"));
    QCOMPARE(d.panel->fileList()->count(), 4); // the pattern lists jpg, bmp, gif and png
    QCOMPARE(d.logo().img, QStringLiteral("企业\\山.jpg"));
    QCOMPARE(d.logo().width, 600.f);
    QCOMPARE(d.logo().height, 450.f);
    QCOMPARE(d.logo().left, 700.f);
    QCOMPARE(d.panel->sizeLabel()->text(), QStringLiteral("当前标志大小：宽11,高8毫米"));
    QCOMPARE(d.panel->preview()->picture()->size(), QSize(40, 30));
    QVERIFY(!d.session().cardSaved);
    QVERIFY(d.w->page()->selectionFrame()->isVisibleTo(d.w->page()));
    QCOMPARE(d.w->page()->selectionFrame()->geometry(), d.w->page()->logoObject()->geometry());

    // Larger than the trim area, it keeps its natural size and its place too.
    const CardLogo before = d.logo();
    d.choose(QStringLiteral("企业"), QStringLiteral("大.png"));
    QCOMPARE(QRectF(d.logo().left, d.logo().top, d.logo().width, d.logo().height),
             QRectF(before.left, before.top, 6000, 4500));
    QCOMPARE(d.panel->sizeLabel()->text(), QStringLiteral("当前标志大小：宽106,高79毫米"));
}

void TestLogoPanel::listsFilesLyingInTheLogoFolderAsCategories()
{
    Designer d;
    d.start();
    QVERIFY(!d.panel->categoryList()->isEnabled());
    QVERIFY(!d.panel->fileList()->isEnabled());
    QCOMPARE(d.panel->categoryList()->currentText(), QStringLiteral("没有标志文件类别候选"));

    d.folder.writePicture(QStringLiteral("logo/散.jpg"), Qt::blue);
    d.folder.writePicture(QStringLiteral("logo/页.bmp"), Qt::blue);
    d.w->showLogoPanel();
    QComboBox *categories = d.panel->categoryList();
    QCOMPARE(categories->count(), 2);
    QCOMPARE(categories->itemText(0), QStringLiteral("散.jpg"));
    categories->setCurrentIndex(0);
    QCOMPARE(d.panel->fileList()->count(), 0);
    QVERIFY(!d.panel->fileList()->isEnabled());
}

void TestLogoPanel::refusesPicturesItCannotUse()
{
    Designer d;
    QDir(d.folder.root()).mkpath(QStringLiteral("logo/坏"));
    QFile broken(d.folder.path(QStringLiteral("logo/坏/碎.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    d.folder.writeBitmapHeader(QStringLiteral("logo/坏/巨.bmp"), {20000, 10000});
    d.start();
    const CardLogo before = d.logo();

    d.choose(QStringLiteral("坏"), QStringLiteral("碎.jpg"));
    QCOMPARE(d.dialogs.last().text, QStringLiteral("标志文件“碎.jpg”不是可以读取的图片，\r标志保持不变。"));
    QCOMPARE(d.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(d.dialogs.last().icon, Dialogs::Icon::Warning);
    d.choose(QStringLiteral("坏"), QStringLiteral("巨.bmp"));
    QCOMPARE(d.dialogs.last().text, QStringLiteral("标志文件“巨.bmp”的图片太大（超过一亿像素），\r标志保持不变。"));
    QCOMPARE(d.logo(), before);
    QVERIFY(d.session().cardSaved);
}

void TestLogoPanel::previewPullsBackAfterACtrlDrag_data()
{
    QTest::addColumn<QRect>("dropped");
    QTest::addColumn<QPoint>("pulled");
    const QSize picture(68, 68);
    QTest::newRow("inside") << QRect(QPoint(10, 20), picture) << QPoint(10, 20);
    QTest::newRow("out left and up") << QRect(QPoint(-30, -5), picture) << QPoint(0, 0);
    QTest::newRow("out right and down") << QRect(QPoint(150, 100), picture) << QPoint(197 - 68, 135 - 68);
    QTest::newRow("wider stays") << QRect(QPoint(-30, 50), QSize(300, 40)) << QPoint(-30, 50);
}

void TestLogoPanel::previewPullsBackAfterACtrlDrag()
{
    QFETCH(QRect, dropped);
    QFETCH(QPoint, pulled);
    QCOMPARE(LogoPreview::pulledBack(dropped, {197, 135}), pulled);
}

void TestLogoPanel::ctrlDragPansThePreview()
{
    Designer d;
    d.folder.writePicture(QStringLiteral("logo/企业/小.bmp"), Qt::blue, {68, 68});
    d.start();
    d.choose(QStringLiteral("企业"), QStringLiteral("小.bmp"));
    d.w->showLogoPanel(); // opening the panel places the preview again
    QLabel *picture = d.panel->preview()->picture();
    const QSize viewport = d.panel->preview()->viewportSize();
    const QPoint centred((viewport.width() - picture->width()) / 2, (viewport.height() - picture->height()) / 2);
    QCOMPARE(picture->pos(), centred);
    const Colour::Value page = d.session().card.page.bgColor;

    d.send(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::ControlModifier);
    d.send(QEvent::MouseMove, {5 + 200, 5 + 10}, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(picture->pos(), centred + QPoint(200, 10));
    QCOMPARE(picture->cursor().shape(), Qt::SizeAllCursor);
    d.send(QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton, Qt::ControlModifier);
    QCOMPARE(picture->pos(), QPoint(viewport.width() - picture->width(), centred.y() + 10));
    QCOMPARE(d.session().card.page.bgColor, page); // a pan picks no colour

    // Without Ctrl alone, moving does not pan.
    d.send(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::ControlModifier);
    d.send(QEvent::MouseMove, {50, 5}, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(picture->pos(), QPoint(viewport.width() - picture->width(), centred.y() + 10));
    QCOMPARE(picture->cursor().shape(), Qt::CrossCursor);
}

void TestLogoPanel::aPreviewPixelBecomesTheSolidPageColour()
{
    Designer d;
    d.folder.writePicture(QStringLiteral("logo/企业/白.jpg"), Qt::white, {30, 30});
    d.start();
    auto *page = d.w->findChild<PagePanel *>(QStringLiteral("frm_cz(4)"));
    emit page->strip()->colourPicked(Colour::fromRgb(0, 154, 155));
    page->fillOption(1)->setChecked(true);
    d.choose(QStringLiteral("企业"), QStringLiteral("白.jpg"));
    d.session().cardSaved = true;

    d.send(QEvent::MouseButtonPress, {3, 3}, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
    const CardPage &p = d.session().card.page;
    QCOMPARE(p.bgColor, Colour::kWhite);
    QCOMPARE(p.isBg, BackgroundKind::SolidColour);
    QVERIFY(page->fillOption(0)->isChecked());
    QCOMPARE(page->solidSwatch()->colour(), Colour::kWhite);
    QCOMPARE(d.w->page()->pageImage().pixelColor(2, 2), QColor(Qt::white));
    QVERIFY(!d.session().cardSaved);
}

void TestLogoPanel::openingThePanelIsNoChange()
{
    Designer d;
    d.start();
    d.panel->hideBox()->setChecked(true);
    QVERIFY(!d.logo().visible);
    d.panel->inFrontBox()->setChecked(true);
    QVERIFY(d.session().view.logoInFront);
    d.session().cardSaved = true;
    d.w->showLogoPanel();
    QVERIFY(d.panel->hideBox()->isChecked());
    QVERIFY(d.panel->inFrontBox()->isChecked());
    QVERIFY(d.session().cardSaved);
    d.panel->hideBox()->setChecked(false);
    QVERIFY(d.logo().visible);
    QVERIFY(!d.session().cardSaved);
}

void TestLogoPanel::placesSizesAndHidesTheQrCode()
{
    Designer d;
    d.start();
    CardSession &s = d.session();
    PageWidget &page = *d.w->page();
    QCheckBox *box = d.panel->qrCodeBox();
    QLineEdit *size = d.panel->qrCodeSizeBox();
    QCOMPARE(box->text(), QStringLiteral("在名片上显示二维码"));
    QVERIFY(!box->isChecked() && !size->isEnabled());
    QCOMPARE(size->text(), QStringLiteral("21")); // the size the code would take

    // More text than a legible code on the page holds: no code.
    const QString address = s.card.text(TextRole::Address).caption;
    s.card.text(TextRole::Address).caption = QString(1000, u'路');
    box->setChecked(true);
    QCOMPARE(d.dialogs.last().text, QStringLiteral("名片上的文字太多，页面上放不下可以识别的二维码！\r请隐藏部分文字后再试。"));
    QVERIFY(!s.card.qrCode && !box->isChecked() && s.cardSaved);
    QCOMPARE(size->text(), QString());
    s.card.text(TextRole::Address).caption = address;

    // The default card's 81 modules need 21 mm rather than 18: at the bottom right, on the trim lines.
    box->setChecked(true);
    QCOMPARE(*s.card.qrCode, (CardQrCode{true, 5443 - 1191 - 170, 3402 - 1191 - 170, 1191}));
    QCOMPARE(size->text(), QStringLiteral("21"));
    QVERIFY(!s.cardSaved);
    QVERIFY(page.qrCodeObject()->isVisibleTo(&page));
    QCOMPARE(page.selectionFrame()->geometry(), page.qrCodeObject()->geometry());

    const auto enter = [size](const QString &text) {
        size->setText(text);
        emit size->editingFinished();
    };
    enter(QStringLiteral("20"));
    QCOMPARE(d.dialogs.last().text, QStringLiteral("二维码为20毫米时每个小方块只有0.247毫米，\r小于0.25毫米，手机难以识别，\r"
                                                   "请至少设为21毫米（或隐藏部分文字）。"));
    QCOMPARE(d.dialogs.last().caption, kHint);
    QCOMPARE(size->text(), QStringLiteral("21"));
    for (const char *refused : {"55", "x"}) {
        enter(QString::fromLatin1(refused));
        QCOMPARE(d.dialogs.last().text, QStringLiteral("二维码的大小必须是10到54之间的毫米数！"));
        QCOMPARE(s.card.qrCode->size, 1191.0f);
    }
    // A larger code stays inside the trim lines.
    enter(QStringLiteral("30"));
    QCOMPARE(*s.card.qrCode, (CardQrCode{true, 5443 - 1701 - 170, 3402 - 1701 - 170, 1701}));
    QCOMPARE(d.dialogs.records.size(), 4);

    box->setChecked(false);
    QVERIFY(!s.card.qrCode->visible && !size->isEnabled());
    QVERIFY(!page.qrCodeObject()->isVisibleTo(&page) && !page.selectionFrame()->isVisibleTo(&page));
    s.card.qrCode->left = 300;
    box->setChecked(true);
    QCOMPARE(s.card.qrCode->left, 300.0f); // shown again where it was
    d.w->applyDefaultCard();
    d.w->showLogoPanel();
    QVERIFY(!box->isChecked());
}

void TestLogoPanel::statusLineSaysWhenTheCodeCannotBeDrawn()
{
    const QString blank = QStringLiteral("提醒您：名片上的文字太多，二维码装不下，只能显示为空白！请隐藏部分文字。");
    Designer d;
    d.start();
    const QLabel *status = d.w->findChild<QLabel *>(QStringLiteral("cz_info"));
    QCheckBox *box = d.panel->qrCodeBox();
    box->setChecked(true);
    QVERIFY(status->text() != blank);

    // Texts typed, as long as the text box takes them, past what the code holds.
    d.w->showTextPanel();
    auto *texts = d.w->findChild<TextPanel *>();
    for (int i = 1; i < int(kTextCount); ++i) {
        texts->objectChooser()->setCurrentIndex(i);
        texts->contentBox()->setPlainText(QString(TextPanel::kMaxContent, u'路'));
    }
    QVERIFY(QrCode::isBlank(d.session().card));
    QCOMPARE(status->text(), blank);

    // The box ticked again on a card whose texts are already too many.
    d.w->showLogoPanel();
    QSignalSpy said(d.panel, &LogoPanel::statusChanged);
    box->setChecked(false);
    box->setChecked(true);
    QCOMPARE(said.size(), 1);
    QCOMPARE(said[0][0].toString(), blank);
    QVERIFY(d.session().card.qrCode->visible);

    // Such a card opened from a file says so after the page's banner.
    const QString file = QDir(d.folder.root()).filePath(QStringLiteral("long.pnk"));
    IniFile ini;
    CardFile::write(d.session().card, ini);
    QVERIFY(IniStore::save(file, ini));
    d.w->applyDefaultCard();
    QVERIFY(status->text() != blank);
    QVERIFY(d.w->openOutsideFile(file));
    QCOMPARE(status->text(), blank);
    QVERIFY(d.dialogs.records.empty());
}

QTEST_MAIN(TestLogoPanel)
#include "test_logopanel.moc"
