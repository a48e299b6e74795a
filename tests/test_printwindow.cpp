#include "model/CardSession.h"
#include "model/Colour.h"
#include "model/Numeric.h"
#include "render/Fonts.h"
#include "render/PrintSheet.h"
#include "ui/app/MainWindow.h"
#include "ui/panels/OpenPanel.h"
#include "ui/print/BatchWindow.h"
#include "ui/print/PrintPanel.h"
#include "ui/print/PrintWindow.h"
#include "support/PdfProbe.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTest>

namespace {

const QString kReminder = QStringLiteral("提醒您：");
const QString kNotNumeric = QStringLiteral("输入的必须为数字值！");
const QSize kDefaultOuter = PrintSheet::cardOuterSize({5445, 3405});

// The default card on a coloured page, so that its edges show on paper.
SheetPicture colouredCard(bool exactSize = false)
{
    CardDocument card = CardDocument::defaultCard();
    card.page.bgColor = Colour::fromRgb(60, 110, 190);
    return SheetPicture::fromCard(card, PageView(), exactSize);
}

SheetPicture redPicture(QSize pixels)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::red);
    return SheetPicture::fromImage(image);
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses the left button on widget, moves by `by` pixels and releases.
void drag(QWidget *widget, QPoint by)
{
    const QPoint start(5, 5);
    sendMouse(widget, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, start + by, Qt::NoButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, start + by, Qt::LeftButton, Qt::NoButton);
}

// A table of people in a file of its own.
QString writeTable(const ProgramFolderFixture &folder, const QByteArray &bytes)
{
    QFile file(folder.path(QStringLiteral("people.csv")));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

QByteArray people(int count)
{
    QByteArray bytes = "姓名, 职位 ,工号,电话\r\n";
    for (int i = 1; i <= count; ++i) bytes += QStringLiteral("员工%1,经理,%1,0755-%1\r\n").arg(i).toUtf8();
    return bytes;
}

QByteArray thirtyPeople() { return people(30); }

// A print window that prints into a PDF file.
struct Window {
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    PrintWindow w;

    explicit Window(SheetPicture picture = colouredCard()) : w(std::move(picture), dialogs)
    {
        w.setPrinterSource([this] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf());
            return printer;
        });
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

    QString pdf() const { return dir.filePath(QStringLiteral("page.pdf")); }
    template <typename T>
    T *find(const QString &name) const
    {
        T *child = w.findChild<T *>(name);
        if (!child) qFatal("no %s", qPrintable(name));
        return child;
    }
    QLineEdit *count(int i) const { return find<QLineEdit>(QStringLiteral("txt(%1)").arg(i)); }
    QLabel *card() const { return find<QLabel>(QStringLiteral("Card")); }
    QLabel *block() const { return find<QLabel>(QStringLiteral("picTemp")); }
    QPushButton *printButton() const { return find<QPushButton>(QStringLiteral("cmd_print")); }

    void chooseCustom(int across, int down)
    {
        find<QRadioButton>(QStringLiteral("opt(1)"))->click();
        type(0, QString::number(across));
        type(1, QString::number(down));
    }

    // Replaces a count box's text by typing, as the user does.
    void type(int i, const QString &text)
    {
        count(i)->selectAll();
        QTest::keyClicks(count(i), text);
    }
};

} // namespace

class TestPrintWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void opensWithOneCardCentredBelowTheTop()
    {
        Window t;
        QCOMPARE(t.w.windowTitle(), QStringLiteral("名片打印：请设置需要打印的张数…"));
        QCOMPARE(t.printButton()->text(), QStringLiteral("√打印名片"));
        QVERIFY(t.find<QRadioButton>(QStringLiteral("opt(0)"))->isChecked());
        QCOMPARE(t.find<QRadioButton>(QStringLiteral("opt(1)"))->text(), QStringLiteral("自定义"));
        QVERIFY(t.find<QCheckBox>(QStringLiteral("chk"))->isChecked());
        QVERIFY(t.count(0)->isHidden());
        QVERIFY(t.find<QLabel>(QStringLiteral("lab(1)"))->isHidden());
        QCOMPARE(t.find<QWidget>(QStringLiteral("sp_Menu(2)"))->x(), 390);
        QVERIFY(!t.card()->isHidden());
        QVERIFY(t.block()->isHidden());
        QVERIFY(!t.w.copies());
        QCOMPARE(t.w.shownSize(), kDefaultOuter);
        QCOMPARE(t.w.shownTopLeft(), QPoint((11907 - kDefaultOuter.width()) / 2, 195));
        QCOMPARE(t.card()->pos(), QPoint(214, 13));
        QCOMPARE(t.card()->size(), QSize(365, 229));
        QCOMPARE(t.find<QWidget>(QStringLiteral("PG"))->size(), QSize(794, 1123));
        const QWidget *sheet = t.find<QWidget>(QStringLiteral("PG"));
        QCOMPARE(t.find<QWidget>(QStringLiteral("PG_bg"))->pos(), sheet->pos() + QPoint(3, 3));
        QCOMPARE(sheet->y(), 20);
    }

    void customThreeByTwoShowsABlockWithStrips()
    {
        Window t;
        t.find<QRadioButton>(QStringLiteral("opt(1)"))->click();
        QCOMPARE(t.find<QRadioButton>(QStringLiteral("opt(1)"))->text(), QStringLiteral("自定义："));
        QCOMPARE(t.find<QWidget>(QStringLiteral("sp_Menu(2)"))->x(), 554);
        QCOMPARE(t.count(0)->text(), QStringLiteral("1"));
        QCOMPARE(t.count(1)->text(), QStringLiteral("1"));
        QVERIFY(t.count(0)->hasFocus());
        // One copy in the tiled picture.
        QVERIFY(t.card()->isHidden());
        QVERIFY(!t.block()->isHidden());
        QCOMPARE(t.w.shownSize(), kDefaultOuter);

        t.type(0, QStringLiteral("3"));
        t.type(1, QStringLiteral("2"));
        QCOMPARE(t.w.copies()->across, 3);
        QCOMPARE(t.w.copies()->down, 2);
        const QSize block(3 * kDefaultOuter.width(), 2 * kDefaultOuter.height());
        QCOMPARE(t.w.shownSize(), block);
        QCOMPARE(t.w.shownTopLeft(), QPoint(PrintSheet::centredLeft(block.width()), 195));
        const QImage shown = t.block()->pixmap().toImage();
        QCOMPARE(shown.size(), QSize(3 * 365, 2 * 229));
        const QImage copy = t.w.picture().screenImage();
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 2; ++j) {
                QCOMPARE(shown.pixelColor(i * 365 + 100, j * 229 + 3), copy.pixelColor(100, 3));
                QCOMPARE(shown.pixelColor(i * 365 + 363, j * 229 + 100), QColor(Qt::white));
                QCOMPARE(shown.pixelColor(i * 365 + 100, j * 229 + 227), QColor(Qt::white));
            }
        QVERIFY(t.dialogs.records.isEmpty());
    }

    void countsPutBackOne_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("warned");
        QTest::newRow("letter") << "a" << true;
        QTest::newRow("space") << " " << true;
        QTest::newRow("emptied") << "\b" << true;
        QTest::newRow("zero") << "0" << false;
    }
    void countsPutBackOne()
    {
        QFETCH(QString, typed);
        QFETCH(bool, warned);
        Window t;
        t.chooseCustom(4, 3);
        if (typed == u"\b") {
            t.count(0)->selectAll();
            QTest::keyClick(t.count(0), Qt::Key_Backspace);
        } else {
            t.type(0, typed);
        }
        QCOMPARE(t.count(0)->text(), QStringLiteral("1"));
        QCOMPARE(t.w.copies()->across, 1);
        QCOMPARE(t.w.shownSize(), QSize(kDefaultOuter.width(), 3 * kDefaultOuter.height()));
        QCOMPARE(t.dialogs.records.size(), warned ? 1 : 0);
        if (warned) {
            QCOMPARE(t.dialogs.last().text, kNotNumeric);
            QCOMPARE(t.dialogs.last().caption, kReminder);
            QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
        }
        // A second character cannot be typed.
        QTest::keyClicks(t.count(1), QStringLiteral("7"));
        QCOMPARE(t.count(1)->text(), QStringLiteral("3"));
    }

    void resizingReturnsToOneCard()
    {
        Window t;
        t.chooseCustom(2, 2);
        t.w.resize(t.w.width() - 40, t.w.height() - 30);
        QVERIFY(t.find<QRadioButton>(QStringLiteral("opt(0)"))->isChecked());
        QCOMPARE(t.find<QRadioButton>(QStringLiteral("opt(1)"))->text(), QStringLiteral("自定义"));
        QVERIFY(!t.card()->isHidden());
        QVERIFY(t.block()->isHidden());
        QVERIFY(t.count(0)->isHidden());
        QVERIFY(!t.w.copies());
    }

    void draggingAndPullBack()
    {
        Window t;
        const QPoint start = t.w.shownTopLeft();
        drag(t.card(), {10, 20});
        QCOMPARE(t.w.shownTopLeft(), start + QPoint(150, 300));
        drag(t.card(), {-600, -600});
        QCOMPARE(t.w.shownTopLeft(), QPoint(170, 170));
        drag(t.card(), {2000, 2000});
        QCOMPARE(t.w.shownTopLeft(), QPoint(11907 - kDefaultOuter.width() - 170, 16839 - kDefaultOuter.height() - 170));
        QCOMPARE(t.card()->pos(), QPoint(417, 882));

        // A block wider than the sheet ends at sheet width - block width - 170.
        t.chooseCustom(3, 1);
        drag(t.block(), {5, 5});
        QCOMPARE(t.w.shownTopLeft().x(), 11907 - 3 * kDefaultOuter.width() - 170);
    }

    void printingStateAndThePrintedPage()
    {
        if (!PdfProbe::available()) QSKIP("pdfinfo, pdftotext and pdftoppm (poppler-utils) are needed");
        Window t;
        drag(t.card(), {40, 90}); // the place on the sheet is for viewing only
        t.printButton()->click();
        QCOMPARE(t.printButton()->text(), QStringLiteral("×取消打印"));
        QCOMPARE(t.w.windowTitle(), QStringLiteral("名片打印：正在打印，请稍后……"));
        QVERIFY(t.w.isPrinting());
        for (const char *name : {"txt(0)", "txt(1)", "opt(0)", "opt(1)", "chk"})
            QVERIFY(!t.find<QWidget>(QString::fromLatin1(name))->isEnabled());
        QCOMPARE(t.card()->cursor().shape(), Qt::ArrowCursor);
        const QPoint before = t.w.shownTopLeft();
        drag(t.card(), {30, 30});
        QCOMPARE(t.w.shownTopLeft(), before);
        QVERIFY(t.dialogs.records.isEmpty());

        QCOMPARE(PdfProbe::info(t.pdf(), QStringLiteral("Pages")), QStringLiteral("1"));
        QVERIFY(PdfProbe::info(t.pdf(), QStringLiteral("Page size")).contains(QStringLiteral("(A4)")));
        QVERIFY(PdfProbe::text(t.pdf()).contains(QStringLiteral("李明")));
        QCOMPARE(PdfProbe::colourAtMm(t.pdf(), {50, 30}), QColor(60, 110, 190));
        const QRectF card = PdfProbe::inkBoundsMm(t.pdf(), {120, 90});
        QVERIFY2(card.topLeft().manhattanLength() < 0.2, qPrintable(QStringLiteral("%1 %2").arg(card.x()).arg(card.y())));
        QVERIFY2(qAbs(card.width() - 96) < 0.2 && qAbs(card.height() - 60) < 0.2,
                 qPrintable(QStringLiteral("%1 x %2 mm").arg(card.width()).arg(card.height())));

        t.printButton()->click();
        QCOMPARE(t.printButton()->text(), QStringLiteral("√打印名片"));
        QCOMPARE(t.w.windowTitle(), QStringLiteral("名片打印：请设置需要打印的张数…"));
        QVERIFY(!t.w.isPrinting());
        QVERIFY(t.count(0)->isEnabled() && t.find<QWidget>(QStringLiteral("chk"))->isEnabled());
        QCOMPARE(t.card()->cursor().shape(), Qt::SizeAllCursor);
    }

    void pictureAndBlockPrintAtTheirSize()
    {
        if (!PdfProbe::available()) QSKIP("pdfinfo, pdftotext and pdftoppm (poppler-utils) are needed");
        // A picture card is printed from its picture, 15 twips per pixel.
        Window one(redPicture({200, 100}));
        one.printButton()->click();
        const QRectF picture = PdfProbe::inkBoundsMm(one.pdf(), {80, 50});
        QVERIFY2(qAbs(picture.width() - 3000 / 56.7) < 0.1 && qAbs(picture.height() - 1500 / 56.7) < 0.1,
                 qPrintable(QStringLiteral("%1 x %2 mm").arg(picture.width()).arg(picture.height())));

        // Two by two copies: the strips after the last column and row are white.
        Window block(redPicture({200, 100}));
        block.chooseCustom(2, 2);
        block.printButton()->click();
        const QRectF copies = PdfProbe::inkBoundsMm(block.pdf(), {150, 80});
        QVERIFY2(qAbs(copies.width() - 6030 / 56.7) < 0.1 && qAbs(copies.height() - 3030 / 56.7) < 0.1,
                 qPrintable(QStringLiteral("%1 x %2 mm").arg(copies.width()).arg(copies.height())));
    }

    void noPrinterOrAFailedJobGivesAMessageAndIdle_data()
    {
        QTest::addColumn<bool>("printerExists");
        QTest::addColumn<QString>("message");
        QTest::newRow("no default printer")
            << false << "没有找到默认打印机，名片没有打印！\r请先在系统中添加打印机并把它设为默认打印机…";
        QTest::newRow("job refused") << true << "名片打印失败！\r打印机没有接受这个打印任务，请检查打印机后再试…";
    }
    void noPrinterOrAFailedJobGivesAMessageAndIdle()
    {
        QFETCH(bool, printerExists);
        QFETCH(QString, message);
        Window t;
        const QString unwritable = t.dir.filePath(QStringLiteral("missing/folder/page.pdf"));
        t.w.setPrinterSource([&]() -> std::unique_ptr<QPrinter> {
            if (!printerExists) return nullptr;
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(unwritable);
            return printer;
        });
        if (printerExists) QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        t.printButton()->click();
        QCOMPARE(t.dialogs.records.size(), 1);
        QCOMPARE(t.dialogs.last().text, message);
        QCOMPARE(t.dialogs.last().caption, kReminder);
        QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
        QVERIFY(!t.w.isPrinting());
        QCOMPARE(t.printButton()->text(), QStringLiteral("√打印名片"));
        QCOMPARE(t.w.windowTitle(), QStringLiteral("名片打印：请设置需要打印的张数…"));
        QVERIFY(t.count(0)->isEnabled());
    }

    void printPanelHandsOverAndTheMainWindowComesBack()
    {
        ProgramFolderFixture folder;
        ScriptedDialogs dialogs;
        MainWindow main(ProgramFolder(folder.root()), dialogs);
        main.show();
        auto *panel = main.findChild<PrintPanel *>(QStringLiteral("frm_cz(3)"));
        QVERIFY(panel);
        panel->exactSizeBox()->setChecked(true);
        main.showPrintPanel();
        QCOMPARE(main.visiblePanel(), 3);
        QVERIFY(!panel->exactSizeBox()->isChecked());
        QVERIFY(panel->findChild<QLabel *>(QStringLiteral("tip_info(5)"))->text().startsWith(
            QStringLiteral("默认打印纸张是A4规格、纵向放置的。")));

        panel->button(1)->click();
        QCOMPARE(main.visiblePanel(), 1);

        main.showPrintPanel();
        panel->exactSizeBox()->setChecked(true);
        panel->button(0)->click();
        PrintWindow *print = main.printWindow();
        QVERIFY(print);
        QVERIFY(main.isHidden());
        QVERIFY(print->isVisible());
        QCOMPARE(print->picture().screenImage().size(), QSize(363 - 23, 227 - 23));
        print->close();
        QVERIFY(main.isVisible());
        QTRY_VERIFY(!main.printWindow());
        QVERIFY(!QFileInfo::exists(folder.path(QStringLiteral("temp.bmp"))));
        QVERIFY(dialogs.records.isEmpty());
    }

    void aPreviewedPictureCardIsPrintedFromItsPicture()
    {
        ProgramFolderFixture folder;
        folder.writePicture(QStringLiteral("mycard/商务/印刷.bmp"), QColor(20, 160, 90), {150, 90});
        ScriptedDialogs dialogs;
        MainWindow main(ProgramFolder(folder.root()), dialogs);
        main.show();
        main.showOpenPanel();
        auto *open = main.findChild<OpenPanel *>(QStringLiteral("frm_cz(1)"));
        open->categoryList()->setCurrentIndex(open->categoryList()->findText(QStringLiteral("商务")));
        emit open->categoryList()->activated(open->categoryList()->currentIndex());
        const auto items = open->fileList()->findItems(QStringLiteral("印刷.bmp"), Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        open->fileList()->setCurrentItem(items[0]);
        emit open->fileList()->itemClicked(items[0]);
        open->button(3)->click();
        QCOMPARE(main.visiblePanel(), 3);

        main.findChild<PrintPanel *>(QStringLiteral("frm_cz(3)"))->button(0)->click();
        PrintWindow *print = main.printWindow();
        QVERIFY(print);
        const QImage shown = print->picture().screenImage();
        QCOMPARE(shown.size(), QSize(150, 90));
        QCOMPARE(shown.pixelColor(75, 45), QColor(20, 160, 90));
        QCOMPARE(print->picture().twips(), QSize(2250, 1350));
        print->close();
        QVERIFY(main.isVisible());
        QVERIFY(!QFileInfo::exists(folder.path(QStringLiteral("temp.bmp"))));
    }

    void batchWindowShowsTheMappingAndEachRow()
    {
        ProgramFolderFixture folder;
        ScriptedDialogs dialogs;
        MainWindow main(ProgramFolder(folder.root()), dialogs);
        main.show();
        main.showPrintPanel();
        auto *panel = main.findChild<PrintPanel *>(QStringLiteral("frm_cz(3)"));
        QCOMPARE(panel->batchButton()->text(), ">>批量制作名片…");
        panel->batchButton()->click();
        BatchWindow *batch = main.batchWindow();
        QVERIFY(batch && batch->isVisible());
        QVERIFY(!main.isEnabled());

        batch->openTable(writeTable(folder, thirtyPeople()));
        QTableWidget *columns = batch->columnTable();
        QStringList mapping;
        for (int row = 0; row < columns->rowCount(); ++row)
            mapping << columns->item(row, 0)->text() + u'=' + columns->item(row, 1)->text();
        QCOMPARE(mapping, (QStringList{"姓名=姓名", "职位=职位", "工号=（不使用）", "电话=电话"}));
        QCOMPARE(batch->findChild<QLabel *>(QStringLiteral("lab_faults"))->text(), "不能识别、不会使用的列：工号");
        QCOMPARE(batch->rowLabel()->text(), "第 1 行，共 30 行（表格第2行）");
        const QImage first = batch->previewImage();
        QCOMPARE(first.size(), QSize(363, 227));
        auto *back = batch->findChild<QPushButton *>(QStringLiteral("cmd_row(0)"));
        QVERIFY(!back->isEnabled());
        batch->findChild<QPushButton *>(QStringLiteral("cmd_row(1)"))->click();
        QCOMPARE(batch->rowLabel()->text(), "第 2 行，共 30 行（表格第3行）");
        QVERIFY(batch->previewImage() != first);
        back->click();
        QCOMPARE(batch->previewImage(), first);
        QVERIFY(dialogs.records.isEmpty());
        // Painted at twice the density, the preview is the card drawn at twice the pixels.
        auto *preview = batch->findChild<QFrame *>(QStringLiteral("pic_preview"));
        QImage shown(preview->size() * 2, QImage::Format_RGB32);
        shown.setDevicePixelRatio(2);
        preview->render(&shown);
        const QImage twice = batch->previewImage(2).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(twice.size(), QSize(726, 454));
        QCOMPARE(shown.copy(QRect(QPoint(38, 31) * 2, twice.size())), twice);
        QVERIFY(shown.pixel(0, 200) != shown.pixel(20, 200)); // its frame
        // The category box shows its whole hint.
        QComboBox *categories = batch->categoryList();
        QStyleOptionComboBox option;
        option.initFrom(categories);
        const QRect field = categories->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                QStyle::SC_ComboBoxEditField, categories);
        QVERIFY(categories->fontMetrics().horizontalAdvance(categories->placeholderText()) <= field.width());

        // A bad table says where, and cannot be started.
        batch->openTable(writeTable(folder, "姓名,电话\r\n王伟\r\n李明,\"1\r\n"));
        QCOMPARE(dialogs.last().text, "表格中有错误，不能制作名片：\r第2行：有1项，而表头有2项\r第3行第2列：引号没有结束");
        QCOMPARE(dialogs.last().caption, "提醒您：");
        QCOMPARE(batch->findChild<QLabel *>(QStringLiteral("lab_faults"))->text(),
                 "第2行：有1项，而表头有2项\n第3行第2列：引号没有结束");
        QVERIFY(!batch->startButton()->isEnabled());
        batch->openTable(writeTable(folder, "姓名,反面:姓名\r\n王伟,Wang Wei\r\n"));
        QCOMPARE(dialogs.last().text, "表格中有错误，不能制作名片：\r这些列填入名片的反面，而这张名片没有反面（请先添加反面）：反面:姓名");
        QCOMPARE(columns->item(1, 1)->text(), "反面:姓名");
        // Rows whose texts do not fit the card are named before anything is made.
        batch->openTable(writeTable(folder, "姓名,地址\r\n李娜,北京市海淀区学院路三十八号青禾文化大厦东座十二层一二零八室\r\n"));
        const QString unfit = QStringLiteral("第2行第2列（地址）：文字遮住了“邮编”");
        QCOMPARE(dialogs.last().text, "这些行的文字在名片上放不下：\r" + unfit + "\r您可以先修改表格或名片，也可以照样制作。");
        QCOMPARE(batch->findChild<QLabel *>(QStringLiteral("lab_faults"))->text(), "文字放不下的行：\n" + unfit);
        QVERIFY(batch->startButton()->isEnabled());
        batch->close();
        QTRY_VERIFY(main.isEnabled());
    }

    void batchWindowMakesCardsOrCancelsLeavingNothing()
    {
        ProgramFolderFixture folder;
        ScriptedDialogs dialogs;
        CardSession session;
        session.card.resetToDefault();
        BatchWindow batch(ProgramFolder(folder.root()), session, dialogs);
        batch.openTable(writeTable(folder, thirtyPeople()));
        dialogs.inputs.push_back(QStringLiteral(" 团队 "));
        batch.findChild<QPushButton *>(QStringLiteral("cmd_mkdir"))->click();
        QCOMPARE(batch.categoryList()->currentText(), "团队");
        QVERIFY(batch.outputOption(BatchWindow::CardFiles)->isChecked());
        const QDir mycard(folder.path(QStringLiteral("mycard")));
        QSignalSpy finished(&batch, &BatchWindow::finished);

        batch.start();
        batch.cancel();
        QVERIFY(finished.wait());
        QCOMPARE(dialogs.last().text, "您已经取消了批量制作，没有留下任何文件。");
        QCOMPARE(mycard.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"团队"});
        QCOMPARE(QDir(mycard.filePath(QStringLiteral("团队"))).entryList(QDir::Files), QStringList());

        QSignalSpy made(&batch, &BatchWindow::cardsMade);
        batch.start();
        QVERIFY(finished.wait());
        QCOMPARE(dialogs.last().text, "已经制作了30张名片！\r保存在：" +
                                          QDir::toNativeSeparators(mycard.filePath(QStringLiteral("团队"))));
        QCOMPARE(dialogs.last().caption, "操作提示：");
        QCOMPARE(made.size(), 1);
        QCOMPARE(QDir(mycard.filePath(QStringLiteral("团队"))).entryList(QDir::Files).size(), 30);

        // Sheets offer only blocks on the A4 page: 2 x 4 of the default card, 2 x 5 trimmed.
        QCOMPARE(batch.acrossBox()->maximum(), 2);
        QCOMPARE(batch.downBox()->value(), 4);
        batch.trimBox()->setChecked(true);
        QCOMPARE(batch.downBox()->maximum(), 5);
        batch.trimBox()->setChecked(false);
        const QString pdf = folder.path(QStringLiteral("团队.pdf"));
        batch.choosePdf = [&pdf] { return pdf; };
        batch.outputOption(BatchWindow::Sheets)->setChecked(true);
        batch.start();
        QVERIFY(finished.wait());
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Pages")), "4");
        const QString page1 = PdfProbe::run(QStringLiteral("pdftotext"), {"-f", "1", "-l", "1", pdf, "-"});
        QVERIFY(page1.contains(QStringLiteral("员工8\n")) && !page1.contains(QStringLiteral("员工9")));
        // A card wider than the sheet cannot be made into sheets; its preview is shrunk to the frame.
        session.card.page.width = float(Numeric::mmToTwips(250));
        BatchWindow wide(ProgramFolder(folder.root()), session, dialogs);
        QVERIFY(!wide.outputOption(BatchWindow::Sheets)->isEnabled());
        wide.openTable(writeTable(folder, thirtyPeople()));
        QCOMPARE(wide.previewImage().width(), 436);
    }

    // The PDF is drawn on the run's thread, with fonts that belong to it: a
    // cancel while pages are being drawn must end the drawing there too.
    void cancellingAPdfWhilePagesAreDrawnLeavesNothing()
    {
        ProgramFolderFixture folder;
        ScriptedDialogs dialogs;
        CardSession session;
        session.card.resetToDefault();
        session.card.qrCode = CardQrCode::atBottomRight(session.card.page, CardQrCode::kDefaultSize);
        BatchWindow batch(ProgramFolder(folder.root()), session, dialogs);
        batch.openTable(writeTable(folder, people(2000)));
        batch.choosePdf = [&folder] { return folder.path(QStringLiteral("团队.pdf")); };
        QSignalSpy finished(&batch, &BatchWindow::finished);
        for (int i = 0; i < 9; ++i) {
            batch.outputOption(i % 3 == 2 ? BatchWindow::Sheets : BatchWindow::CardPdf)->setChecked(true);
            batch.start();
            QTRY_VERIFY(batch.findChild<QProgressDialog *>(QStringLiteral("dlg_progress"))->value() > 0);
            QTest::qWait(i * 15);
            batch.cancel();
            QVERIFY(finished.wait());
            QCOMPARE(dialogs.last().text, "您已经取消了批量制作，没有留下任何文件。");
        }
        QCOMPARE(QDir(folder.root()).entryList({QStringLiteral("*.pdf*")}, QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TestPrintWindow)
#include "test_printwindow.moc"
