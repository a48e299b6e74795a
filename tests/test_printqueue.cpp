#include "model/Colour.h"
#include "render/Fonts.h"
#include "ui/print/PrintWindow.h"
#include "support/LocalCupsServer.h"
#include "support/PdfProbe.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>

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

private:
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
