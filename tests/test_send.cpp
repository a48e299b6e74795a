#include "ui/app/MainWindow.h"
#include "ui/panels/OpenPanel.h"
#include "ui/send/MailSettingsDialog.h"
#include "ui/send/SendWindow.h"
#include "support/LocalSmtpServer.h"
#include "support/ProgramFolderFixture.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

const QString kFailed = QStringLiteral("发送失败！");
const QString kSubjectMissing = QStringLiteral("邮件主题必须输入！");
constexpr int kSendWait = 20000;

// A program folder with one picture card, mycard/商务/名片.jpg, and an open send window for it.
struct SendFixture {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    QString card;
    std::unique_ptr<SendWindow> window;

    explicit SendFixture(const MailSettings &settings = {})
    {
        folder.writePicture(QStringLiteral("mycard/商务/名片.jpg"), Qt::blue, {300, 180});
        card = folder.path(QStringLiteral("mycard/商务/名片.jpg"));
        if (settings.usesServer()) settings.save(folder.settingsFile());
        window = std::make_unique<SendWindow>(folder.settingsFile(), card, dialogs);
        window->show();
    }

    QLineEdit *line(int i) const { return window->findChild<QLineEdit *>(QStringLiteral("txt(%1)").arg(i)); }
    QPlainTextEdit *body() const { return window->findChild<QPlainTextEdit *>(QStringLiteral("txt(2)")); }
    QPushButton *button(const QString &name) const { return window->findChild<QPushButton *>(name); }
    QPushButton *sendButton() const { return button(QStringLiteral("cmd(0)")); }

    void fill(const QString &recipient, const QString &subject, const QString &text)
    {
        line(0)->setText(recipient);
        line(1)->setText(subject);
        body()->setPlainText(text);
    }

    // Presses send and waits until the window has said something.
    void send()
    {
        const qsizetype before = dialogs.records.size();
        QTest::mouseClick(sendButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialogs.records.size() > before, kSendWait);
    }
};

MailSettings serverSettings(int port)
{
    MailSettings s;
    s.server = QStringLiteral("127.0.0.1");
    s.port = port;
    s.security = MailSettings::Security::None;
    s.sender = QStringLiteral("designer@penlark.test");
    return s;
}

} // namespace

class TestSend : public QObject
{
    Q_OBJECT

private slots:
    void attachmentLineShowsKilobytes_data();
    void attachmentLineShowsKilobytes();
    void windowStartsAsLaidOut();
    void addressCheckEnablesSending_data();
    void addressCheckEnablesSending();
    void subjectIsRequired_data();
    void subjectIsRequired();
    void sendsThroughTheServerAgainAndAgain();
    void failureKeepsEverythingForAnotherTry();
    void failureNamesItsCause_data();
    void failureNamesItsCause();
    void sendingKeepsTheWindowAlive();
    void settingsDialogSavesTheMailSection();
    void asksForAPasswordThatIsNotKept();
    void withoutServerHandsOverToTheDesktop();

    void mainWindowOpensAndGetsItBack();
    void cancelShrinksInFiftyMillisecondSteps();
    void cancelWhileTheServerHoldsItsReplyFreesTheWindowAtOnce();
    void noFileChosenOpensNothing();
};

void TestSend::attachmentLineShowsKilobytes_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("size");
    QTest::newRow("decimals kept") << qint64(56832) << QStringLiteral("56.832");
    QTest::newRow("whole") << qint64(1000) << QStringLiteral("1");
    QTest::newRow("empty") << qint64(0) << QStringLiteral("0");
    QTest::newRow("small") << qint64(7) << QStringLiteral("0.007");
    QTest::newRow("large") << qint64(12345678) << QStringLiteral("12345.678");
}

void TestSend::attachmentLineShowsKilobytes()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, size);
    QCOMPARE(SendWindow::attachmentLine(QStringLiteral("名片.jpg"), bytes),
             QStringLiteral("附件：文件名 名片.jpg，文件大小 ") + size + QStringLiteral("Kb"));
}

void TestSend::windowStartsAsLaidOut()
{
    SendFixture t;
    QCOMPARE(t.window->windowTitle(), QStringLiteral("名片发送："));
    QCOMPARE(t.window->size(), QSize(513, 453));
    QCOMPARE(t.line(0)->text(), QStringLiteral("（对方的E-mail地址）"));
    QCOMPARE(t.line(1)->text(), QString());
    QCOMPARE(t.body()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!t.sendButton()->isEnabled());
    QCOMPARE(t.button(QStringLiteral("cmd(1)"))->text(), QStringLiteral("×取消发送"));
    const QString attachment = SendWindow::attachmentLine(QStringLiteral("名片.jpg"), QFileInfo(t.card).size());
    QCOMPARE(t.window->findChild<QLabel *>(QStringLiteral("lab(4)"))->text(), attachment);
    QCOMPARE(t.window->palette().color(QPalette::Window), QColor(217, 217, 217));
    QCOMPARE(t.sendButton()->palette().color(QPalette::Button), QColor(217, 217, 217));
}

void TestSend::addressCheckEnablesSending_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("six characters") << QStringList{QStringLiteral("ab@c.d")} << false;
    QTest::newRow("eight characters") << QStringList{QStringLiteral("ab@cd.cn")} << false;
    QTest::newRow("nine characters") << QStringList{QStringLiteral("ab@cd.com")} << true;
    QTest::newRow("blanks do not count") << QStringList{QStringLiteral("   a@b.cn   ")} << false;
    QTest::newRow("no at") << QStringList{QStringLiteral("wang.example.com")} << false;
    QTest::newRow("no dot") << QStringList{QStringLiteral("wang@examplecom")} << false;
    QTest::newRow("never disabled again") << QStringList{QStringLiteral("ab@cd.com"), QStringLiteral("ab")} << true;
}

void TestSend::addressCheckEnablesSending()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, enabled);
    SendFixture t;
    for (const QString &text : typed) t.line(0)->setText(text);
    QCOMPARE(t.sendButton()->isEnabled(), enabled);
}

void TestSend::subjectIsRequired_data()
{
    QTest::addColumn<QString>("subject");
    QTest::newRow("empty") << QString();
    QTest::newRow("one character") << QStringLiteral("名");
    QTest::newRow("blanks") << QStringLiteral("     ");
    QTest::newRow("one character in blanks") << QStringLiteral("  x  ");
}

void TestSend::subjectIsRequired()
{
    QFETCH(QString, subject);
    SendFixture t;
    QVERIFY(QTest::qWaitForWindowActive(t.window.get()));
    t.fill(QStringLiteral("friend@example.test"), subject, QStringLiteral("正文"));
    t.line(0)->setFocus();
    QTest::mouseClick(t.sendButton(), Qt::LeftButton);
    QCOMPARE(t.dialogs.records.size(), 1);
    QCOMPARE(t.dialogs.last().text, kSubjectMissing);
    QCOMPARE(t.dialogs.last().caption, kFailed);
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Warning);
    QCOMPARE(QApplication::focusWidget(), t.line(1));
}

void TestSend::sendsThroughTheServerAgainAndAgain()
{
    LocalSmtpServer server;
    QVERIFY(server.isRunning());
    SendFixture t(serverSettings(server.port()));
    t.fill(QStringLiteral("  friend@example.test "), QStringLiteral(" 我的名片 "), QString());
    t.send();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("邮件已经成功发送到friend@example.test！"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("发送成功！"));
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Information);
    QVERIFY(t.window->isVisible());

    t.fill(QStringLiteral("other@example.test"), QStringLiteral("再发一次"), QStringLiteral("第二封"));
    t.send();
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("发送成功！"));

    const QList<QJsonObject> received = server.messages();
    QCOMPARE(received.size(), 2);
    QCOMPARE(received[0][u"subject"].toString(), QStringLiteral("我的名片"));
    QCOMPARE(received[0][u"body"].toString(), QString());
    QCOMPARE(received[0][u"attachment_name"].toString(), QStringLiteral("名片.jpg"));
    QFile card(t.card);
    QVERIFY(card.open(QIODevice::ReadOnly));
    QCOMPARE(QByteArray::fromBase64(received[0][u"attachment"].toString().toLatin1()), card.readAll());
    QCOMPARE(received[1][u"rcpt_tos"].toArray().first().toString(), QStringLiteral("other@example.test"));
    QCOMPARE(received[1][u"body"].toString(), QStringLiteral("第二封"));
}

void TestSend::failureKeepsEverythingForAnotherTry()
{
    LocalSmtpServer server({{}, QStringLiteral("nowhere.test")});
    QVERIFY(server.isRunning());
    SendFixture t(serverSettings(server.port()));
    t.fill(QStringLiteral("nobody@nowhere.test"), QStringLiteral("我的名片"), QStringLiteral("正文"));
    t.send();
    QCOMPARE(t.dialogs.last().caption, kFailed);
    QCOMPARE(t.dialogs.last().text,
             QStringLiteral("邮件没有发送到nobody@nowhere.test！\r邮件服务器拒绝了收件人地址，请检查对方的E-mail地址…\r原因：") +
                 QStringLiteral("550 5.1.1 <nobody@nowhere.test>: Recipient address rejected: no such user"));
    QVERIFY(t.sendButton()->isEnabled());
    QCOMPARE(t.line(1)->text(), QStringLiteral("我的名片"));
    QCOMPARE(t.body()->toPlainText(), QStringLiteral("正文"));

    // A malformed address never reaches the server, and the message says so.
    t.line(0)->setText(QStringLiteral("wang li@example.test"));
    t.send();
    QCOMPARE(t.dialogs.last().text,
             QStringLiteral("邮件没有发送到wang li@example.test！\rE-mail地址的格式不正确，邮件没有交给邮件服务器，"
                            "请检查后再发送…\r原因：收件人地址不正确：wang li@example.test"));

    t.line(0)->setText(QStringLiteral("friend@example.test"));
    t.send();
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("发送成功！"));
    QCOMPARE(server.messages().size(), 1);
}

void TestSend::failureNamesItsCause_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("serverThere");
    QTest::addColumn<QString>("explanation");
    QTest::addColumn<QString>("reason");
    QTest::newRow("refused login") << QStringLiteral("wrong") << true
                                   << QStringLiteral("邮件服务器拒绝了您的帐号或密码，请在邮件设置中检查…")
                                   << QStringLiteral("535 5.7.8 Authentication credentials invalid");
    QTest::newRow("server not there") << QStringLiteral("秘密") << false
                                      << QStringLiteral("无法连接邮件服务器 127.0.0.1:%1，请检查网络和邮件设置…")
                                      << QStringLiteral("connect to 127.0.0.1 port %1");
}

void TestSend::failureNamesItsCause()
{
    QFETCH(QString, password);
    QFETCH(bool, serverThere);
    QFETCH(QString, explanation);
    QFETCH(QString, reason);
    LocalSmtpServer server({QStringLiteral("wang:秘密"), {}});
    QVERIFY(server.isRunning());
    int port = server.port();
    if (!serverThere) {
        QTcpServer probe;   // a free port on which nothing listens once the probe is gone
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    MailSettings settings = serverSettings(port);
    settings.account = QStringLiteral("wang");
    settings.password = password;
    settings.keepPassword = true;
    SendFixture t(settings);
    t.fill(QStringLiteral("friend@example.test"), QStringLiteral("我的名片"), QString());
    t.send();
    QCOMPARE(t.dialogs.last().caption, kFailed);
    QCOMPARE(t.dialogs.last().icon, Dialogs::Icon::Critical);
    const QStringList lines = t.dialogs.last().text.split(u'\r');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("邮件没有发送到friend@example.test！"));
    QCOMPARE(lines[1], explanation.arg(port));
    QVERIFY2(lines[2].startsWith(QStringLiteral("原因：")) && lines[2].contains(reason.arg(port)), qPrintable(lines[2]));
    QVERIFY(t.sendButton()->isEnabled());
    QCOMPARE(server.messages().size(), 0);
}

void TestSend::sendingKeepsTheWindowAlive()
{
    QTcpServer silent;   // accepts the connection and never answers
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    SendFixture t(serverSettings(silent.serverPort()));
    t.fill(QStringLiteral("friend@example.test"), QStringLiteral("我的名片"), QString());
    QTest::mouseClick(t.sendButton(), Qt::LeftButton);
    QVERIFY(t.window->isSending());
    QVERIFY(t.window->findChild<QProgressBar *>(QStringLiteral("sendProgress"))->isVisible());
    QVERIFY(!t.sendButton()->isEnabled());
    // The event loop keeps running while the server is silent.
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    QTest::qWait(300);
    QVERIFY(ticks > 10);
    QVERIFY(t.dialogs.records.isEmpty());

    // Closing the window stops the send; nothing is reported afterwards.
    t.window->close();
    t.window.reset();
    QVERIFY(t.dialogs.records.isEmpty());
}

void TestSend::settingsDialogSavesTheMailSection()
{
    SendFixture t;
    QTest::mouseClick(t.button(QStringLiteral("cmd_mailSettings")), Qt::LeftButton);
    auto *dialog = t.window->findChild<MailSettingsDialog *>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    const auto edit = [dialog](const char *name) { return dialog->findChild<QLineEdit *>(QLatin1String(name)); };
    auto *ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    edit("txt_mailServer")->setText(QStringLiteral("smtp.example.cn"));
    QVERIFY(!ok->isEnabled());   // a server needs a sender address
    edit("txt_mailSender")->setText(QStringLiteral("wang@example.cn"));
    QVERIFY(ok->isEnabled());
    dialog->findChild<QComboBox *>(QStringLiteral("Combo_mailSecurity"))->setCurrentIndex(2);
    QCOMPARE(dialog->findChild<QSpinBox *>(QStringLiteral("txt_mailPort"))->value(), 465);
    edit("txt_mailAccount")->setText(QStringLiteral("wang"));
    edit("txt_mailPassword")->setText(QStringLiteral("秘密"));
    dialog->findChild<QCheckBox *>(QStringLiteral("chk_keepPassword"))->setChecked(true);
    QTest::mouseClick(ok, Qt::LeftButton);

    const MailSettings saved = MailSettings::load(t.folder.settingsFile());
    QCOMPARE(saved.server, QStringLiteral("smtp.example.cn"));
    QCOMPARE(saved.port, 465);
    QCOMPARE(saved.security, MailSettings::Security::Ssl);
    QCOMPARE(saved.password, QStringLiteral("秘密"));
    QCOMPARE(QFile::permissions(t.folder.settingsFile()) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
    QCOMPARE(t.window->mailSettings().sender, QStringLiteral("wang@example.cn"));
}

void TestSend::asksForAPasswordThatIsNotKept()
{
    LocalSmtpServer server({QStringLiteral("wang:秘密"), {}});
    QVERIFY(server.isRunning());
    MailSettings settings = serverSettings(server.port());
    settings.account = QStringLiteral("wang");
    SendFixture t(settings);
    t.fill(QStringLiteral("friend@example.test"), QStringLiteral("我的名片"), QString());
    QTest::mouseClick(t.sendButton(), Qt::LeftButton);
    auto *dialog = t.window->findChild<MailSettingsDialog *>();
    QVERIFY(dialog);
    auto *password = dialog->findChild<QLineEdit *>(QStringLiteral("txt_mailPassword"));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    dialog->accept();
    QCOMPARE(t.dialogs.last().text, QStringLiteral("没有输入邮件帐号的密码，邮件没有发送！"));
    QCOMPARE(t.dialogs.last().caption, kFailed);
    t.dialogs.clear();
    QTRY_VERIFY(!t.window->findChild<MailSettingsDialog *>());

    QTest::mouseClick(t.sendButton(), Qt::LeftButton);
    dialog = t.window->findChild<MailSettingsDialog *>();
    QVERIFY(dialog);
    dialog->findChild<QLineEdit *>(QStringLiteral("txt_mailPassword"))->setText(QStringLiteral("秘密"));
    dialog->accept();
    QTRY_VERIFY_WITH_TIMEOUT(!t.dialogs.records.isEmpty(), kSendWait);
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("发送成功！"));
    QVERIFY(server.messages().first()[u"authenticated"].toBool());
    // Not asked to keep it: the file has no password.
    QCOMPARE(IniStore::read(t.folder.settingsFile(), QStringLiteral("mail"), QStringLiteral("password")), QString());
}

void TestSend::withoutServerHandsOverToTheDesktop()
{
    // A stand-in for xdg-email on the path records what it was given.
    QTemporaryDir bin;
    const QString log = bin.filePath(QStringLiteral("arguments"));
    QFile script(bin.filePath(QStringLiteral("xdg-email")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.part\" && mv \"$0.part\" \"" +
                 QFile::encodeName(log) + "\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);

    SendFixture t;
    t.fill(QStringLiteral("friend@example.test"), QStringLiteral("我的名片"), QStringLiteral("你好"));
    QTest::mouseClick(t.sendButton(), Qt::LeftButton);
    qputenv("PATH", path);
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QCOMPARE(t.dialogs.last().text, QStringLiteral("邮件已经交给桌面邮件程序，还没有发送！\r请在邮件程序中检查后发送…"));
    QTRY_VERIFY(QFile::exists(log));
    QFile arguments(log);
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(arguments.readAll()).split(u'\n', Qt::SkipEmptyParts),
             QStringList({QStringLiteral("--utf8"), QStringLiteral("--subject"), QStringLiteral("我的名片"),
                          QStringLiteral("--body"), QStringLiteral("你好"), QStringLiteral("--attach"), t.card,
                          QStringLiteral("mailto:friend@example.test")}));
}

// ---- Opened from the main window -----------------------------------------------

namespace {

// Records the window's sizes and positions as it shrinks.
struct GeometryRecorder : QObject {
    QList<QSize> sizes;
    QList<QPoint> positions;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Resize) sizes.append(widget->size());
        if (event->type() == QEvent::Move) positions.append(widget->pos());
        return false;
    }
};

struct MainFixture {
    ProgramFolderFixture folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> w;
    OpenPanel *open = nullptr;

    MainFixture()
    {
        folder.writePicture(QStringLiteral("mycard/商务/名片.jpg"), Qt::blue, {300, 180});
        w = std::make_unique<MainWindow>(ProgramFolder(folder.root()), dialogs);
        w->show();
        open = w->findChild<OpenPanel *>(QStringLiteral("frm_cz(1)"));
        w->showOpenPanel();
    }

    void choosePicture()
    {
        open->categoryList()->setCurrentIndex(0);
        emit open->categoryList()->activated(0);
        open->fileList()->setCurrentRow(0);
        emit open->fileList()->itemClicked(open->fileList()->item(0));
    }

    // Presses "通过网络发送名片…" and answers its question.
    SendWindow *pressSend()
    {
        dialogs.answers.push_back(Dialogs::Answer::Yes);
        QTest::mouseClick(open->button(1), Qt::LeftButton);
        return sendWindow();
    }

    static SendWindow *sendWindow()
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *send = qobject_cast<SendWindow *>(widget)) return send;
        return nullptr;
    }
};

} // namespace

void TestSend::mainWindowOpensAndGetsItBack()
{
    MainFixture t;
    t.choosePicture();
    SendWindow *send = t.pressSend();
    QVERIFY(send);
    QVERIFY(send->isVisible());
    QVERIFY(!t.w->isEnabled());
    QCOMPARE(send->pos(), t.w->frameGeometry().topLeft() + QPoint(19, 92));
    QVERIFY(send->findChild<QLabel *>(QStringLiteral("lab(4)"))->text().startsWith(QStringLiteral("附件：文件名 名片.jpg，")));

    // Closed by the window manager rather than by its button.
    send->close();
    QTRY_VERIFY(!MainFixture::sendWindow());
    QVERIFY(t.w->isEnabled());
}

void TestSend::cancelShrinksInFiftyMillisecondSteps()
{
    MainFixture t;
    t.choosePicture();
    SendWindow *send = t.pressSend();
    QVERIFY(send);
    auto *timer = send->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 50);
    const QPoint start = send->pos();
    GeometryRecorder steps;
    send->installEventFilter(&steps);
    QTest::mouseClick(send->findChild<QPushButton *>(QStringLiteral("cmd(1)")), Qt::LeftButton);
    QVERIFY(timer->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!MainFixture::sendWindow(), 3000);
    QVERIFY(t.w->isEnabled());

    // Each step takes 500 twips off width and height and moves the corner by
    // (250, 200) twips, until the window is no more than 1200 x 1000 twips.
    QCOMPARE(steps.sizes.size(), 12);
    QCOMPARE(steps.sizes.first(), QSize(480, 420));
    QCOMPARE(steps.sizes.last(), QSize(113, 53));
    QCOMPARE(steps.positions.last(), start + QPoint(200, 160));
}

void TestSend::cancelWhileTheServerHoldsItsReplyFreesTheWindowAtOnce()
{
    LocalSmtpServer server({{}, {}, QStringLiteral("end")});
    QVERIFY(server.isRunning());
    MainFixture t;
    serverSettings(server.port()).save(t.folder.settingsFile());
    t.choosePicture();
    SendWindow *send = t.pressSend();
    send->findChild<QLineEdit *>(QStringLiteral("txt(0)"))->setText(QStringLiteral("friend@example.test"));
    send->findChild<QLineEdit *>(QStringLiteral("txt(1)"))->setText(QStringLiteral("我的名片"));
    // A text of unknown encoded length: the message's size is known only once it is out.
    send->findChild<QPlainTextEdit *>(QStringLiteral("txt(2)"))->setPlainText(QStringLiteral("你好，\n这是我的名片。"));
    QTest::mouseClick(send->findChild<QPushButton *>(QStringLiteral("cmd(0)")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(server.messageArrived(), kSendWait);

    QElapsedTimer sinceCancel;
    sinceCancel.start();
    QTest::mouseClick(send->findChild<QPushButton *>(QStringLiteral("cmd(1)")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!MainFixture::sendWindow(), 1000);
    QVERIFY(t.w->isEnabled());
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    QTRY_VERIFY(ticks >= 5);
    QVERIFY2(sinceCancel.elapsed() < 1000, qPrintable(QString::number(sinceCancel.elapsed())));
    // The server holds the whole message, so the cancel may come too late.
    QCOMPARE(t.dialogs.last().text, QStringLiteral("邮件可能已经发送到friend@example.test！\r"
                                                   "取消时邮件已经全部交给邮件服务器，只是服务器还没有答复…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
}

void TestSend::noFileChosenOpensNothing()
{
    MainFixture t;
    t.dialogs.answers.push_back(Dialogs::Answer::Yes);
    QTest::mouseClick(t.open->button(1), Qt::LeftButton);
    QCOMPARE(t.dialogs.last().text, QStringLiteral("请先在“名片文件：”列表中选择要发送的文件…"));
    QCOMPARE(t.dialogs.last().caption, QStringLiteral("提醒您："));
    QVERIFY(!MainFixture::sendWindow());
    QVERIFY(t.w->isEnabled());

    // Answering No to the question opens nothing either.
    t.choosePicture();
    t.dialogs.answers.push_back(Dialogs::Answer::No);
    QTest::mouseClick(t.open->button(1), Qt::LeftButton);
    QVERIFY(!MainFixture::sendWindow());
}

QTEST_MAIN(TestSend)
#include "test_send.moc"
