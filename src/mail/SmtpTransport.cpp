#include "mail/SmtpTransport.h"

#include <QFile>
#include <QFileInfo>
#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// What the conversation with the server left behind: the server's first
// refusal and the command it refused. Commands are recorded by their verb
// alone and only when they are SMTP verbs, so the login's encoded password
// never leaves libcurl.
struct Conversation {
    QByteArray lastCommand;
    QByteArray refusal;
    QByteArray refusedCommand;
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

// The sockets libcurl opens for one send, so that a cancel can cut them.
// Shutting a socket down wakes every wait of libcurl on it at once, also the
// waits it does inside its own calls where a multi handle cannot reach them
// (the reply to the end of the message, the reply to QUIT), and it keeps
// libcurl from sending the end-of-message mark after a cancelled transfer,
// which would hand the server a message cut off in the middle.
class ConnectionCutter
{
public:
    void add(curl_socket_t socket)
    {
        const std::lock_guard lock(m_mutex);
        m_sockets.push_back(socket);
        if (m_cut) ::shutdown(socket, SHUT_RDWR);
    }

    void close(curl_socket_t socket)
    {
        const std::lock_guard lock(m_mutex);
        std::erase(m_sockets, socket);
        ::close(socket);
    }

    // The multi handle whose wait a cut wakes as well, or none.
    void setMulti(CURLM *multi)
    {
        const std::lock_guard lock(m_mutex);
        m_multi = multi;
    }

    // Cuts every connection for good, sockets opened later too.
    void cut()
    {
        const std::lock_guard lock(m_mutex);
        m_cut = true;
        for (const curl_socket_t socket : m_sockets) ::shutdown(socket, SHUT_RDWR);
        if (m_multi) curl_multi_wakeup(m_multi);
    }

    // Stops reading from the server: a farewell still goes out, its answer is
    // not awaited.
    void stopListening()
    {
        const std::lock_guard lock(m_mutex);
        for (const curl_socket_t socket : m_sockets) ::shutdown(socket, SHUT_RD);
    }

private:
    std::mutex m_mutex;
    std::vector<curl_socket_t> m_sockets;
    CURLM *m_multi = nullptr;
    bool m_cut = false;
};

int addSocket(void *user, curl_socket_t socket, curlsocktype)
{
    static_cast<ConnectionCutter *>(user)->add(socket);
    return CURL_SOCKOPT_OK;
}

int closeSocket(void *user, curl_socket_t socket)
{
    static_cast<ConnectionCutter *>(user)->close(socket);
    return 0;
}

// Hands the attachment to libcurl's MIME encoder. The attachment is the last
// part, so its read returning nothing more marks the moment the whole message
// goes out: from then on a cancel may come too late to keep it from arriving.
struct AttachmentReader {
    QFile file;
    SendControl *control = nullptr;
};

size_t readAttachment(char *buffer, size_t size, size_t count, void *user)
{
    auto *reader = static_cast<AttachmentReader *>(user);
    const qint64 read = reader->file.read(buffer, qint64(size * count));
    if (read < 0) return CURL_READFUNC_ABORT;
    if (read == 0) reader->control->markWholeMessageSent();
    return size_t(read);
}

// libcurl only ever rewinds a part to its start.
int seekAttachment(void *user, curl_off_t offset, int origin)
{
    auto *reader = static_cast<AttachmentReader *>(user);
    return origin == SEEK_SET && reader->file.seek(offset) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_CANTSEEK;
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
CurlPtr<curl_mime> buildMime(CURL *curl, const MailMessage &message, AttachmentReader &attachment)
{
    CurlPtr<curl_mime> mime(curl_mime_init(curl));
    curl_mimepart *text = curl_mime_addpart(mime.get());
    const QByteArray body = MailFormat::bodyText(message.body);
    curl_mime_data(text, body.constData(), size_t(body.size()));
    curl_mime_type(text, "text/plain; charset=UTF-8");
    curl_mime_encoder(text, "quoted-printable");

    curl_mimepart *file = curl_mime_addpart(mime.get());
    // No size given: libcurl then reads until the reader says there is no more.
    curl_mime_data_cb(file, -1, readAttachment, seekAttachment, nullptr, &attachment);
    curl_mime_type(file, "application/octet-stream");
    curl_mime_encoder(file, "base64");
    curl_mime_headers(file, append(nullptr, MailFormat::attachmentDisposition(message.attachmentName())), 1);
    return mime;
}

CURLcode runTransfer(CURLM *multi, const SendControl &control)
{
    int running = 1;
    while (!control.isCancelled()) {
        curl_multi_perform(multi, &running);
        if (running == 0) {
            int left = 0;
            const CURLMsg *message = curl_multi_info_read(multi, &left);
            return message && message->msg == CURLMSG_DONE ? message->data.result : CURLE_RECV_ERROR;
        }
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    return CURLE_ABORTED_BY_CALLBACK;
}

// Runs the transfer on a multi handle whose wait a cancel wakes, and lets a
// cancel cut the connection, so it takes effect at once at every stage, also
// while the server keeps a reply back and until the connection is closed.
// Once the server has accepted the message, QUIT is sent without waiting for
// its answer: a server slow to say goodbye holds nobody up.
CURLcode performUnlessCancelled(CURL *curl, SendControl &control)
{
    ConnectionCutter cutter;
    curl_easy_setopt(curl, CURLOPT_SOCKOPTFUNCTION, addSocket);
    curl_easy_setopt(curl, CURLOPT_SOCKOPTDATA, &cutter);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, closeSocket);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, &cutter);
    control.setWakeUp([&cutter] { cutter.cut(); });

    CURLcode code = CURLE_OUT_OF_MEMORY;
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (multi && curl_multi_add_handle(multi.get(), curl) == CURLM_OK) {
        cutter.setMulti(multi.get());
        code = runTransfer(multi.get(), control);
        if (code == CURLE_OK) cutter.stopListening();
        cutter.setMulti(nullptr);
        curl_multi_remove_handle(multi.get(), curl);
    }
    multi.reset();
    control.setWakeUp({});
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
    AttachmentReader attachment;
    attachment.file.setFileName(message.attachmentPath);
    attachment.control = &control;
    if (!attachment.file.open(QIODevice::ReadOnly))
        return {SendResult::Outcome::Failed, QStringLiteral("附件文件无法读取：") + message.attachmentName()};
    CurlPtr<curl_mime> mime = buildMime(c, message, attachment);
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());

    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, recordTraffic);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &conversation);

    const CURLcode code = performUnlessCancelled(c, control);
    if (code == CURLE_OK) return {SendResult::Outcome::Sent, {}};
    if (control.isCancelled())
        return {control.wholeMessageSent() ? SendResult::Outcome::CancelledAfterData : SendResult::Outcome::Cancelled, {}};
    return {outcomeFor(code, conversation.refusedCommand), reasonFor(code, errorText, conversation)};
}

} // namespace SmtpTransport
