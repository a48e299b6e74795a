#include "mail/DesktopMail.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace DesktopMail {

namespace {

// The address as a mailto URI, so that nothing in it can pass for an option.
QString mailtoAddress(const QString &address)
{
    return QStringLiteral("mailto:") + QString::fromLatin1(QUrl::toPercentEncoding(address, "@"));
}

} // namespace

SendResult handOver(const MailMessage &message)
{
    if (const auto refused = refuseRecipient(message)) return *refused;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        return {SendResult::Outcome::Failed, QStringLiteral("没有找到桌面邮件程序（xdg-email），也没有设置邮件服务器。")};
    // The mail program may stay open long after xdg-email started it, so it runs
    // on its own instead of being waited for.
    const QStringList arguments{QStringLiteral("--utf8"),    QStringLiteral("--subject"), message.subject,
                                QStringLiteral("--body"),    message.body,                QStringLiteral("--attach"),
                                message.attachmentPath,      mailtoAddress(message.recipient)};
    if (!QProcess::startDetached(program, arguments))
        return {SendResult::Outcome::Failed, QStringLiteral("桌面邮件程序（xdg-email）无法启动。")};
    return {SendResult::Outcome::HandedOver, {}};
}

} // namespace DesktopMail
