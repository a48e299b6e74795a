#include "model/Colour.h"
#include "render/Fonts.h"
#include "ui/print/PrintQueue.h"
#include "ui/print/PrintWindow.h"
#include "support/LocalCupsServer.h"
#include "support/PdfProbe.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>
#include <cups/cups.h>

// Printing through a real print queue: a CUPS scheduler of the test's own, whose
// default queue keeps each job in a file, and the print window on its default
// printer exactly as the program prints.
class TestPrintQueue : public QObject
{
    Q_OBJECT
public:
    explicit TestPrintQueue(LocalCupsServer &server, bool started) : m_server(server), m_started(started) {}

private slots:
    void init()
    {
        if (!m_started) QSKIP(qPrintable(QStringLiteral("no local CUPS scheduler: ") + m_server.failure()));
    }

    void theQueueIsTheDefaultPrinter()
    {
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), QString::fromLatin1(LocalCupsServer::kQueue));
    }

    void printsOneA4PageWithTheCardAtItsSize()
    {
        if (!PdfProbe::available()) QSKIP("pdfinfo, pdftotext and pdftoppm (poppler-utils) are needed");
        CardDocument card = CardDocument::defaultCard();
        card.page.bgColor = Colour::fromRgb(60, 110, 190);
        ScriptedDialogs dialogs;
        PrintWindow window(SheetPicture::fromCard(card, PageView(), false), dialogs);
        window.findChild<QPushButton *>(QStringLiteral("cmd_print"))->click();
        QVERIFY2(dialogs.records.isEmpty(), qPrintable(dialogs.records.value(0).text));
        QVERIFY(window.isPrinting());
        QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo::exists(m_server.jobFile()), qPrintable(m_server.errorLog()), 30000);

        const QString job = m_server.jobFile();
        QCOMPARE(PdfProbe::info(job, QStringLiteral("Pages")), QStringLiteral("1"));
        QVERIFY(PdfProbe::info(job, QStringLiteral("Page size")).contains(QStringLiteral("(A4)")));
        QVERIFY(PdfProbe::text(job).contains(QStringLiteral("李明")));
        QCOMPARE(PdfProbe::colourAtMm(job, {50, 30}), QColor(60, 110, 190)); // in colour, not grey
        const QRectF printed = PdfProbe::inkBoundsMm(job, {120, 90});
        QVERIFY2(printed.topLeft().manhattanLength() < 0.2,
                 qPrintable(QStringLiteral("at %1, %2 mm").arg(printed.x()).arg(printed.y())));
        QVERIFY2(qAbs(printed.width() - 96) < 0.2 && qAbs(printed.height() - 60) < 0.2,
                 qPrintable(QStringLiteral("%1 x %2 mm").arg(printed.width()).arg(printed.height())));
    }

    // A queue that refuses jobs, and a job that fails on the printer, each end in
    // the failure message with the queue's reason and an idle window.
    void refusedAndFailedJobsAreReported()
    {
        ScriptedDialogs dialogs;
        PrintWindow window(SheetPicture::fromCard(CardDocument::defaultCard(), PageView(), false), dialogs);
        auto *print = window.findChild<QPushButton *>(QStringLiteral("cmd_print"));
        const QString failed = QStringLiteral("名片打印失败！\r打印机没有接受这个打印任务，请检查打印机后再试…\r原因：");
        QVERIFY(queueCommand(QStringLiteral("cupsreject"), {QStringLiteral("-r"), QStringLiteral("纸盒已取出")}));
        print->click();
        const bool accepted = queueCommand(QStringLiteral("cupsaccept"), {});
        QCOMPARE(dialogs.last().text, failed + QStringLiteral("打印队列“penlark”拒绝接受打印任务：纸盒已取出"));
        QCOMPARE(dialogs.last().caption, QStringLiteral("提醒您："));
        QVERIFY(!window.isPrinting());
        QCOMPARE(window.windowTitle(), PrintWindow::kIdleCaption);
        QVERIFY(accepted);

        window.setPrinterSource([] {
            return std::make_unique<QPrinter>(QPrinterInfo::printerInfo(QString::fromLatin1(LocalCupsServer::kFailingQueue)),
                                              QPrinter::HighResolution);
        });
        print->click();
        QVERIFY(window.isPrinting());
        QTRY_VERIFY_WITH_TIMEOUT(!window.isPrinting(), 30000);
        QVERIFY2(dialogs.last().text.startsWith(failed), qPrintable(dialogs.last().text));
        QVERIFY2(dialogs.last().text.contains(QString::fromLatin1(LocalCupsServer::kFailure)), qPrintable(dialogs.last().text));
    }

    // A card with a back: one two-sided job with the backs behind the fronts on a
    // queue that prints both sides; on one that does not, the fronts, a question,
    // then the backs as a job of their own, or no backs when it is cancelled.
    void twoSidedCards()
    {
        if (!PdfProbe::available()) QSKIP("pdfinfo, pdftotext and pdftoppm (poppler-utils) are needed");
        CardDocument card = CardDocument::defaultCard();
        PageView view;
        addBack(card, view);
        ScriptedDialogs dialogs;
        PrintWindow window(SheetPicture::fromCard(card, view, false), dialogs);
        auto *print = window.findChild<QPushButton *>(QStringLiteral("cmd_print"));
        const QString twoSided = QString::fromLatin1(LocalCupsServer::kTwoSidedQueue);
        window.setPrinterSource([&] { return std::make_unique<QPrinter>(QPrinterInfo::printerInfo(twoSided), QPrinter::HighResolution); });
        print->click();
        QVERIFY2(dialogs.records.isEmpty(), qPrintable(dialogs.records.value(0).text));
        const QString job = m_server.twoSidedJobFile();
        QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo::exists(job), qPrintable(m_server.errorLog()), 30000);
        const int before = PrintQueue::newestJob(twoSided); // job numbers count the jobs of every queue
        QCOMPARE(jobSides(before), QByteArray("two-sided-long-edge"));
        QCOMPARE(PdfProbe::info(job, QStringLiteral("Pages")), QStringLiteral("2"));
        QVERIFY(PdfProbe::text(job).contains(QStringLiteral("Li Ming")));
        // The queue's printable area is not centred (its right margin is the wider): the
        // back stands as far from the paper's right edge as the front from its left.
        const QRectF front = PdfProbe::inkBoundsMm(job, {210, 70}), back = PdfProbe::inkBoundsMm(job, {210, 70}, 2);
        QVERIFY2(front.left() > 2 && qAbs(back.right() + front.left() - 595 / 72.0 * 25.4) < 0.2,
                 qPrintable(QStringLiteral("%1 %2").arg(front.left()).arg(back.right())));
        print->click();

        window.setPrinterSource(SheetPrinting::defaultPrinter);
        for (const Dialogs::Answer answer : {Dialogs::Answer::Ok, Dialogs::Answer::Cancel}) {
            dialogs.answers = {answer};
            print->click();
            QCOMPARE(dialogs.last().text, QStringLiteral("名片的正面已经送往打印机！\r请等正面打印完成后，把打印好的纸张沿长边翻过来放回纸盒，"
                                                         "再按“确定”打印名片的反面…\r按“取消”则不打印反面。"));
            QCOMPARE(dialogs.last().caption, QStringLiteral("操作提示："));
            QCOMPARE(dialogs.last().buttons, Dialogs::Buttons::OkCancel);
            print->click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_server.jobFile(before + 3)), 30000);
        QCOMPARE(PrintQueue::newestJob(QString::fromLatin1(LocalCupsServer::kQueue)), before + 3);
        const char16_t *names[] = {u"李明", u"Li Ming", u"李明"}; // fronts, backs, the cancelled run's fronts
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(PdfProbe::info(m_server.jobFile(before + n), QStringLiteral("Pages")), QStringLiteral("1"));
            QVERIFY(PdfProbe::text(m_server.jobFile(before + n)).contains(QString::fromUtf16(names[n - 1])));
        }
    }

private:
    // The sides a job was printed on, as the scheduler keeps it.
    static QByteArray jobSides(int job)
    {
        ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(job);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
        ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        const QByteArray sides = ippGetString(ippFindAttribute(response, "sides", IPP_TAG_KEYWORD), 0, nullptr);
        ippDelete(response);
        return sides;
    }

    bool queueCommand(const QString &command, QStringList arguments) const
    {
        const QString program = QStandardPaths::findExecutable(command, {"/usr/sbin", "/usr/bin"});
        arguments << QString::fromLatin1(LocalCupsServer::kQueue);
        return !program.isEmpty() && QProcess::execute(program, arguments) == 0;
    }

    LocalCupsServer &m_server;
    bool m_started;
};

int main(int argc, char *argv[])
{
    // The print system is chosen before anything asks it for printers.
    LocalCupsServer server;
    server.useOnly();
    QApplication app(argc, argv);
    Fonts::installSubstitutions();
    const bool started = server.start();
    TestPrintQueue test(server, started);
    const int status = QTest::qExec(&test, argc, argv);
    server.stop();
    return status;
}

#include "test_printqueue.moc"
