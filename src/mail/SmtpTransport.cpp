#include "mail/SmtpTransport.h"

#include <QFileInfo>
#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {

// What the conversation with the server left behind: the server's first
// refusal and the command it refused. Commands are recorded by their verb
// alone and only when they are SMTP verbs, so the login's encoded password
// never leaves libcurl.
struct Conversation {
    QByteArray lastCommand;
    QByteArray refusal;
    QByteArray refusedCommand;
    SendControl *control = nullptr;
};

bool isSmtpVerb(const QByteArray &word)
{
    static const QList<QByteArray> verbs{"EHLO", "HELO", "STARTTLS", "AUTH", "MAIL", "RCPT", "DATA", "RSET", "QUIT"};
    return verbs.contains(word);
}

int recordTraffic(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    auto *conversation = static_cast<Conversation *>(user);
    const QByteArray text = QByteArray(data, qsizetype(size)).trimmed();
    if (type == CURLINFO_HEADER_OUT) {
        const QByteArray verb = text.split(' ').first().toUpper();
        if (isSmtpVerb(verb)) conversation->lastCommand = verb;
    }
    const bool refused = text.size() > 3 && (text.at(0) == '4' || text.at(0) == '5');
    if (type == CURLINFO_HEADER_IN && refused && conversation->refusal.isEmpty()) {
        conversation->refusal = text;
        conversation->refusedCommand = conversation->lastCommand;
    }
    return 0;
}

// Once every byte of the message has left, the server may keep it even when
// the send is cancelled before its reply.
int recordProgress(void *user, curl_off_t, curl_off_t, curl_off_t uploadTotal, curl_off_t uploaded)
{
    if (uploadTotal > 0 && uploaded >= uploadTotal) static_cast<Conversation *>(user)->control->markWholeMessageSent();
    return 0;
}

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_mime *mime) const { curl_mime_free(mime); }
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
struct MultiDeleter {
    void operator()(CURLM *multi) const { curl_multi_cleanup(multi); }
};
template <typename T>
using CurlPtr = std::unique_ptr<T, CurlDeleter>;

curl_slist *append(curl_slist *list, const QByteArray &line)
{
    return curl_slist_append(list, line.constData());
}

QByteArray serverUrl(const MailSettings &settings)
{
    const QByteArray scheme = settings.security == MailSettings::Security::Ssl ? "smtps://" : "smtp://";
    QByteArray host = settings.server.toUtf8();
    if (host.contains(':') && !host.startsWith('[')) host = '[' + host + ']';   // an IPv6 address
    return scheme + host + ':' + QByteArray::number(settings.port);
}

// The body as UTF-8 text and the file as a base64 attachment whose name keeps
// its Chinese characters. The part headers are kept alive by the MIME tree.
CurlPtr<curl_mime> buildMime(CURL *curl, const MailMessage &message)
{
    CurlPtr<curl_mime> mime(curl_mime_init(curl));
    curl_mimepart *text = curl_mime_addpart(mime.get());
    const QByteArray body = MailFormat::bodyText(message.body);
    curl_mime_data(text, body.constData(), size_t(body.size()));
    curl_mime_type(text, "text/plain; charset=UTF-8");
    curl_mime_encoder(text, "quoted-printable");

    curl_mimepart *file = curl_mime_addpart(mime.get());
    curl_mime_filedata(file, QFile::encodeName(message.attachmentPath).constData());
    curl_mime_filename(file, nullptr);
    curl_mime_type(file, "application/octet-stream");
    curl_mime_encoder(file, "base64");
    curl_mime_headers(file, append(nullptr, MailFormat::attachmentDisposition(message.attachmentName())), 1);
    return mime;
}

// Runs the transfer on a multi handle whose wait a cancel wakes, so a cancel
// takes effect at once even while the server keeps its reply back. Removing
// the handle closes the connection, so a cancelled message is not completed.
CURLcode performUnlessCancelled(CURL *curl, SendControl &control)
{
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), curl) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
    control.setWakeUp([m = multi.get()] { curl_multi_wakeup(m); });
    CURLcode code = CURLE_ABORTED_BY_CALLBACK;
    int running = 1;
    while (!control.isCancelled()) {
        curl_multi_perform(multi.get(), &running);
        if (running == 0) {
            int left = 0;
            const CURLMsg *message = curl_multi_info_read(multi.get(), &left);
            code = message && message->msg == CURLMSG_DONE ? message->data.result : CURLE_RECV_ERROR;
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
    }
    control.setWakeUp({});
    curl_multi_remove_handle(multi.get(), curl);
    return code;
}

SendResult::Outcome outcomeFor(CURLcode code, const QByteArray &refusedCommand)
{
    switch (code) {
    case CURLE_OK: return SendResult::Outcome::Sent;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT: return SendResult::Outcome::Unreachable;
    case CURLE_LOGIN_DENIED: return SendResult::Outcome::LoginRefused;
    case CURLE_OPERATION_TIMEDOUT: return SendResult::Outcome::TimedOut;
    default: break;
    }
    if (refusedCommand == "RCPT") return SendResult::Outcome::RecipientRefused;
    if (refusedCommand == "MAIL") return SendResult::Outcome::SenderRefused;
    if (refusedCommand == "AUTH") return SendResult::Outcome::LoginRefused;
    return SendResult::Outcome::Failed;
}

// The server's own words where it said something about the failure, else
// libcurl's explanation.
QString reasonFor(CURLcode code, const char *errorText, const Conversation &conversation)
{
    if (conversation.refusal.isEmpty() || code == CURLE_OPERATION_TIMEDOUT)
        return QString::fromUtf8(*errorText ? errorText : curl_easy_strerror(code));
    return QString::fromUtf8(conversation.refusal);
}

} // namespace

void SendControl::cancel()
{
    m_cancelled = true;
    const std::lock_guard lock(m_mutex);
    if (m_wakeUp) m_wakeUp();
}

void SendControl::setWakeUp(std::function<void()> wakeUp)
{
    const std::lock_guard lock(m_mutex);
    m_wakeUp = std::move(wakeUp);
}

std::optional<SendResult> refuseRecipient(const MailMessage &message)
{
    if (MailFormat::isPlainAddress(message.recipient)) return std::nullopt;
    return SendResult{SendResult::Outcome::AddressMalformed, QStringLiteral("收件人地址不正确：") + message.recipient};
}

namespace SmtpTransport {

SendResult send(const MailSettings &settings, const MailMessage &message, std::chrono::milliseconds timeLimit,
                SendControl &control)
{
    if (const auto refused = refuseRecipient(message)) return *refused;
    if (!MailFormat::isPlainAddress(settings.sender))
        return {SendResult::Outcome::AddressMalformed, QStringLiteral("邮件设置中的发件人地址不正确：") + settings.sender};
    if (!QFileInfo(message.attachmentPath).isFile())
        return {SendResult::Outcome::Failed, QStringLiteral("附件文件不存在，或刚被删除：") + message.attachmentName()};

    initialiseCurl();
    CurlPtr<CURL> curl(curl_easy_init());
    if (!curl) return {SendResult::Outcome::Failed, QStringLiteral("libcurl could not be initialised")};
    CURL *c = curl.get();
    Conversation conversation;
    conversation.control = &control;
    char errorText[CURL_ERROR_SIZE] = {};

    const QByteArray url = serverUrl(settings);
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(timeLimit.count()));
    curl_easy_setopt(c, CURLOPT_USE_SSL, long(settings.security == MailSettings::Security::None ? CURLUSESSL_NONE
                                                                                               : CURLUSESSL_ALL));
    const QByteArray account = settings.account.toUtf8();
    const QByteArray password = settings.password.toUtf8();
    if (!account.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, account.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    const QByteArray from = '<' + settings.sender.toUtf8() + '>';
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    CurlPtr<curl_slist> recipients(append(nullptr, '<' + message.recipient.toUtf8() + '>'));
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());

    curl_slist *headers = nullptr;
    for (const QByteArray &line : MailFormat::messageHeaders(settings.sender, message, QDateTime::currentDateTime()))
        headers = append(headers, line);
    CurlPtr<curl_slist> headerList(headers);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList.get());
    CurlPtr<curl_mime> mime = buildMime(c, message);
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());

    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, recordTraffic);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &conversation);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, recordProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &conversation);

    const CURLcode code = performUnlessCancelled(c, control);
    if (code == CURLE_OK) return {SendResult::Outcome::Sent, {}};
    if (control.isCancelled())
        return {control.wholeMessageSent() ? SendResult::Outcome::CancelledAfterData : SendResult::Outcome::Cancelled, {}};
    return {outcomeFor(code, conversation.refusedCommand), reasonFor(code, errorText, conversation)};
}

} // namespace SmtpTransport
