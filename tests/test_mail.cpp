#include "mail/MailMessage.h"
#include "mail/MailSettings.h"
#include "mail/SmtpTransport.h"
#include "model/IniFile.h"
#include "support/LocalSmtpServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(SendResult::Outcome)

namespace {

const QString kCardName = QStringLiteral("商务蓝·名片.jpg");

// Joins the encoded words of a header back into text.
QString decodeWords(const QByteArray &header)
{
    QByteArray bytes;
    for (const QByteArray &word : header.split('\n')) {
        const QByteArray w = word.trimmed();
        if (!w.startsWith("=?UTF-8?B?") || !w.endsWith("?=")) return QStringLiteral("<not an encoded word: %1>").arg(QString::fromLatin1(w));
        bytes += QByteArray::fromBase64(w.mid(10, w.size() - 12));
    }
    return QString::fromUtf8(bytes);
}

struct Attachment {
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;

    Attachment()
    {
        path = dir.filePath(kCardName);
        for (int i = 0; i < 3000; ++i) bytes.append(char(i * 7 % 256));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
};

MailSettings localServer(int port)
{
    MailSettings s;
    s.server = QStringLiteral("127.0.0.1");
    s.port = port;
    s.security = MailSettings::Security::None;
    s.sender = QStringLiteral("designer@penlark.test");
    return s;
}

MailMessage messageFor(const Attachment &attachment, const QString &recipient = QStringLiteral("friend@example.test"))
{
    return {recipient, QStringLiteral("我的新名片，请查收"), QStringLiteral("你好！\n附件是我的名片。\n\n——小王"),
            attachment.path};
}

// A port on which nothing listens.
int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

class TestMail : public QObject
{
    Q_OBJECT

private slots:
    void headerTextIsEncodedInWholeCharacters_data();
    void headerTextIsEncodedInWholeCharacters();
    void attachmentNameIsAnRfc2231Parameter();
    void headersCarryDateInLocalZone();
    void plainAddresses_data();
    void plainAddresses();
    void settingsParseWithSafeDefaults();
    void settingsKeepThePasswordOnlyWhenAsked();

    void serverReceivesTheWholeMessage();
    void loginAndEmptyBody();
    void failuresSayWhatHappened();
    void timeLimitEndsASilentServer();
    void cancelReturnsAtOnceAtEveryStage_data();
    void cancelReturnsAtOnceAtEveryStage();
    void cancelInTheMiddleOfTheMessageLeavesNothingToDeliver();
};

void TestMail::headerTextIsEncodedInWholeCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("plain");
    QTest::newRow("ascii") << QStringLiteral("My new card") << true;
    QTest::newRow("looks encoded") << QStringLiteral("=?x?=") << false;
    QTest::newRow("chinese") << QStringLiteral("我的新名片，请查收") << false;
    QTest::newRow("long mixed") << QStringLiteral("名片 card ").repeated(12) << false;
    QTest::newRow("beyond the basic plane") << QStringLiteral("名片😀").repeated(10) << false;
}

void TestMail::headerTextIsEncodedInWholeCharacters()
{
    QFETCH(QString, text);
    QFETCH(bool, plain);
    const QByteArray header = MailFormat::encodeHeaderText(text);
    if (plain) {
        QCOMPARE(header, text.toLatin1());
        return;
    }
    for (const QByteArray &line : header.split('\n')) {
        QVERIFY2(line.trimmed().size() <= 75, line.constData());
        // Each word decodes on its own: no character is cut in two.
        const QByteArray w = line.trimmed();
        QVERIFY(QString::fromUtf8(QByteArray::fromBase64(w.mid(10, w.size() - 12))).toUtf8() ==
                QByteArray::fromBase64(w.mid(10, w.size() - 12)));
    }
    QCOMPARE(decodeWords(header), text);
}

void TestMail::attachmentNameIsAnRfc2231Parameter()
{
    QCOMPARE(MailFormat::attachmentDisposition(QStringLiteral("名片 1.jpg")),
             QByteArray("Content-Disposition: attachment;\r\n filename=\"__ 1.jpg\";\r\n"
                        " filename*=UTF-8''%E5%90%8D%E7%89%87%201.jpg"));
    // About fifty ASCII characters still fit one section; quotes in the fallback are escaped.
    const QString ascii = QStringLiteral("business-card-of-wang-li-2026-\"final\"-copy-1.pnk");
    QCOMPARE(MailFormat::attachmentDisposition(ascii).split('\n').mid(1),
             QList<QByteArray>({" filename=\"business-card-of-wang-li-2026-\\\"final\\\"-copy-1.pnk\";\r",
                                " filename*=UTF-8''business-card-of-wang-li-2026-%22final%22-copy-1.pnk"}));

    const QString longName = QStringLiteral("我的名片").repeated(8) + QStringLiteral(".jpg");
    const QByteArray header = MailFormat::attachmentDisposition(longName);
    QByteArray encoded;
    const QList<QByteArray> lines = header.split('\n');
    QVERIFY(lines.size() > 4);
    QCOMPARE(lines[1], " filename=\"" + QByteArray(32, '_') + ".jpg\";\r");
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QByteArray section = lines[i].trimmed();
        const QByteArray prefix = "filename*" + QByteArray::number(i - 2) + "*=";
        QVERIFY2(section.startsWith(prefix), section.constData());
        encoded += section.mid(prefix.size()).chopped(i + 1 < lines.size() ? 1 : 0);
    }
    QVERIFY(encoded.startsWith("UTF-8''"));
    QCOMPARE(QString::fromUtf8(QByteArray::fromPercentEncoding(encoded.mid(7))), longName);
}

void TestMail::headersCarryDateInLocalZone()
{
    const MailMessage message{QStringLiteral("friend@example.test"), QStringLiteral("名片"), {}, {}};
    const QDateTime date(QDate(2026, 3, 5), QTime(9, 4, 7), QTimeZone(-(3 * 3600 + 30 * 60)));
    const QList<QByteArray> headers = MailFormat::messageHeaders(QStringLiteral("me@penlark.test"), message, date);
    QCOMPARE(headers.mid(0, 4), QList<QByteArray>({"From: me@penlark.test", "To: friend@example.test",
                                                   "Subject: =?UTF-8?B?5ZCN54mH?=",
                                                   "Date: Thu, 05 Mar 2026 09:04:07 -0330"}));
    QVERIFY(headers.at(4).startsWith("Message-ID: <"));
    QVERIFY(headers.at(4).endsWith("@penlark.test>"));
    const QDateTime utc(QDate(2026, 12, 31), QTime(23, 59, 59), QTimeZone::utc());
    QCOMPARE(MailFormat::messageHeaders(QStringLiteral("me@penlark.test"), message, utc).at(3),
             QByteArray("Date: Thu, 31 Dec 2026 23:59:59 +0000"));
    // Every line break of the body, a lone CR included, travels as CRLF.
    QCOMPARE(MailFormat::bodyText(QStringLiteral("一\r二\n三\r\n四")), QStringLiteral("一\r\n二\r\n三\r\n四").toUtf8());
}

void TestMail::plainAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("plain");
    QTest::newRow("usual") << QStringLiteral("wang.li@example.com.cn") << true;
    QTest::newRow("no at") << QStringLiteral("wang.example.com") << false;
    QTest::newRow("two ats") << QStringLiteral("a@b@c.com") << false;
    QTest::newRow("blank") << QStringLiteral("a b@c.com") << false;
    QTest::newRow("second recipient") << QStringLiteral("a@c.com>,<b@d.com") << false;
    QTest::newRow("header injection") << QStringLiteral("a@c.com\r\nBcc: x@y.com") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestMail::plainAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, plain);
    QCOMPARE(MailFormat::isPlainAddress(address), plain);
}

void TestMail::settingsParseWithSafeDefaults()
{
    MailSettings s = MailSettings::parse("[card]\r\ncardName=\r\n[MAIL]\r\n Server = smtp.example.cn \r\n"
                                         "port=99999\r\nsecurity=SSL\r\naccount=wang\r\nsender=wang@example.cn\r\n");
    QCOMPARE(s.server, QStringLiteral("smtp.example.cn"));
    QCOMPARE(s.security, MailSettings::Security::Ssl);
    QCOMPARE(s.port, 465);
    QCOMPARE(s.account, QStringLiteral("wang"));
    QVERIFY(!s.keepPassword);
    QVERIFY(s.needsPassword());

    // An unknown security never falls back to plain text.
    s = MailSettings::parse("[mail]\nserver=x\nsecurity=tls-maybe\nport=abc\n");
    QCOMPARE(s.security, MailSettings::Security::StartTls);
    QCOMPARE(s.port, 587);
    QCOMPARE(MailSettings::parse("[mail]\nserver=x\nport=65535\n").port, 65535);
    s = MailSettings::parse(QByteArray("\xff\xfe[mail\0\n=\n", 12));
    QVERIFY(!s.usesServer());
}

void TestMail::settingsKeepThePasswordOnlyWhenAsked()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("penlark.dll"));
    QVERIFY(IniStore::write(path, QStringLiteral("card"), QStringLiteral("cardName"), QStringLiteral("示例\\a.pnk")));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                                    QFileDevice::ReadGroup);

    MailSettings s = localServer(2525);
    s.account = QStringLiteral("wang");
    s.password = QStringLiteral("秘密 pass");
    QVERIFY(s.save(path));
    QCOMPARE(IniStore::read(path, QStringLiteral("mail"), QStringLiteral("password")), QString());
    QVERIFY(QFile::permissions(path) & QFileDevice::ReadOther);

    s.keepPassword = true;
    QVERIFY(s.save(path));
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(path) & others, QFileDevice::Permissions());
    QVERIFY(QFile::permissions(path) & QFileDevice::ReadOwner);
    const MailSettings loaded = MailSettings::load(path);
    QCOMPARE(loaded.password, QStringLiteral("秘密 pass"));
    QVERIFY(loaded.keepPassword);
    QCOMPARE(loaded.port, 2525);
    QCOMPARE(loaded.security, MailSettings::Security::None);
    QCOMPARE(IniStore::read(path, QStringLiteral("card"), QStringLiteral("cardName")), QStringLiteral("示例\\a.pnk"));

    // Unticking the option removes the stored password.
    s.keepPassword = false;
    QVERIFY(s.save(path));
    QCOMPARE(MailSettings::load(path).password, QString());
}

void TestMail::serverReceivesTheWholeMessage()
{
    LocalSmtpServer server;
    QVERIFY(server.isRunning());
    const Attachment attachment;
    SendControl cancel;
    MailMessage message = messageFor(attachment);
    // Long enough to fold over several encoded words.
    message.subject = QStringLiteral("我的新名片，请查收。").repeated(4);
    const SendResult result = SmtpTransport::send(localServer(server.port()), message, 20s, cancel);
    QCOMPARE(result.reason, QString());
    QCOMPARE(result.outcome, SendResult::Outcome::Sent);

    const QList<QJsonObject> received = server.messages();
    QCOMPARE(received.size(), 1);
    const QJsonObject m = received.first();
    QCOMPARE(m[u"mail_from"].toString(), QStringLiteral("designer@penlark.test"));
    QCOMPARE(m[u"rcpt_tos"].toArray().first().toString(), QStringLiteral("friend@example.test"));
    QCOMPARE(m[u"to"].toString(), QStringLiteral("friend@example.test"));
    QCOMPARE(m[u"subject"].toString(), message.subject);
    QVERIFY(m[u"raw_subject"].toString().startsWith(QStringLiteral("=?UTF-8?B?")));
    const QDateTime date = QDateTime::fromString(m[u"date"].toString(), Qt::ISODate);
    QVERIFY2(qAbs(date.secsTo(QDateTime::currentDateTime())) < 600, qPrintable(m[u"date"].toString()));
    // Text travels with CRLF line ends.
    QCOMPARE(m[u"body"].toString(), QStringLiteral("你好！\r\n附件是我的名片。\r\n\r\n——小王"));
    QCOMPARE(m[u"body_charset"].toString(), QStringLiteral("utf-8"));
    QCOMPARE(m[u"attachments"].toInt(), 1);
    QCOMPARE(m[u"attachment_name"].toString(), kCardName);
    QCOMPARE(m[u"attachment_fallback"].toString(), QStringLiteral("______.jpg"));
    // A long name travels in numbered sections.
    QVERIFY(m[u"raw_disposition"].toString().contains(QStringLiteral("filename*0*=UTF-8''")));
    QCOMPARE(m[u"attachment_encoding"].toString(), QStringLiteral("base64"));
    QCOMPARE(QByteArray::fromBase64(m[u"attachment"].toString().toLatin1()), attachment.bytes);
}

void TestMail::loginAndEmptyBody()
{
    LocalSmtpServer server({QStringLiteral("wang:秘密"), {}});
    QVERIFY(server.isRunning());
    const Attachment attachment;
    SendControl cancel;
    MailSettings settings = localServer(server.port());
    settings.account = QStringLiteral("wang");
    settings.password = QStringLiteral("秘密");
    MailMessage message = messageFor(attachment);
    message.body.clear();
    const SendResult result = SmtpTransport::send(settings, message, 20s, cancel);
    QCOMPARE(result.reason, QString());
    QCOMPARE(result.outcome, SendResult::Outcome::Sent);
    QCOMPARE(server.messages().size(), 1);
    QVERIFY(server.messages().first()[u"authenticated"].toBool());
    QCOMPARE(server.messages().first()[u"body"].toString(), QString());
}

void TestMail::failuresSayWhatHappened()
{
    LocalSmtpServer server({QStringLiteral("wang:秘密"), QStringLiteral("nowhere.test")});
    QVERIFY(server.isRunning());
    const Attachment attachment;
    SendControl cancel;
    MailSettings settings = localServer(server.port());
    settings.account = QStringLiteral("wang");

    settings.password = QStringLiteral("wrong");
    SendResult result = SmtpTransport::send(settings, messageFor(attachment), 20s, cancel);
    QCOMPARE(result.outcome, SendResult::Outcome::LoginRefused);
    QVERIFY2(result.reason.startsWith(QStringLiteral("535")), qPrintable(result.reason));

    settings.password = QStringLiteral("秘密");
    result = SmtpTransport::send(settings, messageFor(attachment, QStringLiteral("nobody@nowhere.test")), 20s, cancel);
    QCOMPARE(result.outcome, SendResult::Outcome::RecipientRefused);
    QVERIFY2(result.reason.contains(QStringLiteral("550 5.1.1 <nobody@nowhere.test>: Recipient address rejected")),
             qPrintable(result.reason));
    QCOMPARE(server.messages().size(), 0);

    result = SmtpTransport::send(localServer(closedPort()), messageFor(attachment), 20s, cancel);
    QCOMPARE(result.outcome, SendResult::Outcome::Unreachable);
    QVERIFY2(result.reason.contains(QStringLiteral("onnect")), qPrintable(result.reason));
    MailSettings ipv6 = localServer(closedPort());
    ipv6.server = QStringLiteral("::1");
    QCOMPARE(SmtpTransport::send(ipv6, messageFor(attachment), 20s, cancel).outcome, SendResult::Outcome::Unreachable);

    // A server that offers no STARTTLS gets neither the login nor the message in plain text.
    settings.security = MailSettings::Security::StartTls;
    result = SmtpTransport::send(settings, messageFor(attachment), 20s, cancel);
    QCOMPARE(result.outcome, SendResult::Outcome::Failed);
    QVERIFY2(result.reason.contains(QStringLiteral("STARTTLS")), qPrintable(result.reason));
    QCOMPARE(server.messages().size(), 0);
    settings.security = MailSettings::Security::None;

    // Nothing leaves with an address that could carry a second one.
    result = SmtpTransport::send(settings, messageFor(attachment, QStringLiteral("a@b.test>,<c@d.test")), 20s, cancel);
    QCOMPARE(result.outcome, SendResult::Outcome::AddressMalformed);
    QCOMPARE(server.messages().size(), 0);
}

void TestMail::timeLimitEndsASilentServer()
{
    // The kernel accepts the connection; nobody ever greets.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    const Attachment attachment;
    SendControl cancel;
    const SendResult result = SmtpTransport::send(localServer(silent.serverPort()), messageFor(attachment), 1s, cancel);
    QCOMPARE(result.outcome, SendResult::Outcome::TimedOut);
    QVERIFY2(result.reason.contains(QStringLiteral("timed out")), qPrintable(result.reason));

    SendControl cancelled;
    cancelled.cancel();
    QCOMPARE(SmtpTransport::send(localServer(silent.serverPort()), messageFor(attachment), 20s, cancelled).outcome,
             SendResult::Outcome::Cancelled);
}

void TestMail::cancelReturnsAtOnceAtEveryStage_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<SendResult::Outcome>("outcome");
    QTest::addColumn<bool>("wholeMessageSent");
    using Outcome = SendResult::Outcome;
    QTest::newRow("greeting") << QStringLiteral("greeting") << Outcome::Cancelled << false;
    QTest::newRow("EHLO") << QStringLiteral("EHLO") << Outcome::Cancelled << false;
    QTest::newRow("MAIL") << QStringLiteral("MAIL") << Outcome::Cancelled << false;
    QTest::newRow("RCPT") << QStringLiteral("RCPT") << Outcome::Cancelled << false;
    QTest::newRow("DATA") << QStringLiteral("DATA") << Outcome::Cancelled << false;
    // The server holds the whole message and may deliver it.
    QTest::newRow("end of data") << QStringLiteral("end") << Outcome::CancelledAfterData << true;
    // The message was accepted: a farewell left unanswered changes nothing.
    QTest::newRow("QUIT") << QStringLiteral("QUIT") << Outcome::Sent << true;
}

void TestMail::cancelReturnsAtOnceAtEveryStage()
{
    QFETCH(QString, stage);
    QFETCH(SendResult::Outcome, outcome);
    QFETCH(bool, wholeMessageSent);
    LocalSmtpServer server({{}, {}, stage});
    QVERIFY(server.isRunning());
    const Attachment attachment;
    SendControl control;
    SendResult result;
    std::atomic_bool finished = false;
    std::jthread sending([&] {
        result = SmtpTransport::send(localServer(server.port()), messageFor(attachment), 30s, control);
        finished = true;
    });
    const auto stopSending = qScopeGuard([&control] { control.cancel(); });
    QTRY_VERIFY_WITH_TIMEOUT(server.stalled(), 10000);
    // Once the message is accepted, a server that never says goodbye holds nothing up.
    if (outcome == SendResult::Outcome::Sent) QTRY_VERIFY_WITH_TIMEOUT(finished, 1000);
    QElapsedTimer sinceCancel;
    sinceCancel.start();
    control.cancel();
    sending.join();
    QVERIFY2(sinceCancel.elapsed() < 1000, qPrintable(QString::number(sinceCancel.elapsed())));
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(control.wholeMessageSent(), wholeMessageSent);
    QCOMPARE(server.messageArrived(), stage == QStringLiteral("end"));
    QCOMPARE(server.messages().size(), stage == QStringLiteral("QUIT") ? 1 : 0);
}

void TestMail::cancelInTheMiddleOfTheMessageLeavesNothingToDeliver()
{
    LocalSmtpServer server({{}, {}, QStringLiteral("body")});
    QVERIFY(server.isRunning());
    // More than the connection buffers hold: the send is still writing when cancelled.
    Attachment attachment;
    QFile file(attachment.path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(16 << 20, 'x')) == 16 << 20);
    file.close();
    SendControl control;
    SendResult result;
    std::jthread sending([&] { result = SmtpTransport::send(localServer(server.port()), messageFor(attachment), 30s, control); });
    QTRY_VERIFY_WITH_TIMEOUT(server.stalled(), 10000);
    control.cancel();
    sending.join();
    QCOMPARE(result.outcome, SendResult::Outcome::Cancelled);
    QVERIFY(!control.wholeMessageSent());
    // The server reads on and finds the message cut off, not ended.
    QTest::qWait(2500);
    QCOMPARE(server.messages().size(), 0);
}

QTEST_GUILESS_MAIN(TestMail)
#include "test_mail.moc"
