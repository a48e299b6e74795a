#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A real SMTP server (tests/support/smtp_server.py on aiosmtpd) on 127.0.0.1,
// started for one test and stopped when the object goes. Each message it
// accepts is read back as the JSON record the server writes.
class LocalSmtpServer
{
public:
    struct Options {
        QString account;       // "user:password": the server requires this login
        QString refuseDomain;  // recipients at this domain are refused
        // The server never answers at this stage: "greeting", "EHLO", "MAIL",
        // "RCPT", "DATA", "end" (of the message) or "QUIT"; at "body" it stops
        // reading the message for two seconds.
        QString stallAt = QString();
    };

    LocalSmtpServer() : LocalSmtpServer(Options()) {}
    explicit LocalSmtpServer(const Options &options)
    {
        QStringList arguments{QStringLiteral(PENLARK_SMTP_SERVER), QStringLiteral("--out"), m_out.path()};
        if (!options.account.isEmpty()) arguments << QStringLiteral("--account") << options.account;
        if (!options.refuseDomain.isEmpty()) arguments << QStringLiteral("--refuse-domain") << options.refuseDomain;
        if (!options.stallAt.isEmpty()) arguments << QStringLiteral("--stall") << options.stallAt;
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(PENLARK_SMTP_PYTHON), arguments);
        if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(20000))
            m_port = m_process.readLine().trimmed().toInt();
    }

    ~LocalSmtpServer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    LocalSmtpServer(const LocalSmtpServer &) = delete;
    LocalSmtpServer &operator=(const LocalSmtpServer &) = delete;

    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }

    // True once a whole message is in while the server holds back its reply.
    bool messageArrived() const { return QFileInfo::exists(QDir(m_out.path()).filePath(QStringLiteral("arrived-1"))); }
    // True once the server holds back a reply at the stage it stalls at.
    bool stalled() const { return QFileInfo::exists(QDir(m_out.path()).filePath(QStringLiteral("stalled"))); }

    // The messages received so far, in order of arrival.
    QList<QJsonObject> messages() const
    {
        QList<QJsonObject> list;
        for (int n = 1;; ++n) {
            QFile file(QDir(m_out.path()).filePath(QStringLiteral("message-%1.json").arg(n)));
            if (!file.open(QIODevice::ReadOnly)) return list;
            list.append(QJsonDocument::fromJson(file.readAll()).object());
        }
    }

    // The raw bytes of message n (1-based), as they crossed the wire.
    QByteArray rawMessage(int n) const
    {
        QFile file(QDir(m_out.path()).filePath(QStringLiteral("message-%1.eml").arg(n)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_out;
    QProcess m_process;
    int m_port = 0;
};
