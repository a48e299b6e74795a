#pragma once

#include "mail/MailMessage.h"
#include "mail/MailSettings.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

// What became of one message.
struct SendResult {
    enum class Outcome {
        Sent,          // the server accepted the message
        HandedOver,    // the desktop mail program has it; nothing is sent yet
        Unreachable,   // no connection to the server
        LoginRefused,  // the server refused the account or password
        SenderRefused,
        RecipientRefused,
        AddressMalformed,  // a recipient or sender that is no plain address; no server was asked
        TimedOut,
        Cancelled,
        CancelledAfterData,  // cancelled while the server held the whole message: it may arrive
        Failed,        // anything else, the reason says what
    };
    Outcome outcome = Outcome::Failed;
    // The server's last reply or the transport's own explanation, for the message box.
    QString reason;
};

// The refusal of a recipient that is no plain address (MailFormat::isPlainAddress),
// before anything is handed on; nothing for a plain address.
std::optional<SendResult> refuseRecipient(const MailMessage &message);

// How a window stops a send running on another thread: cancel() sets the flag
// and wakes the transfer at once, even while it waits for the server's reply.
// The transport tells through it whether the whole message has left.
class SendControl
{
public:
    void cancel();
    bool isCancelled() const { return m_cancelled; }
    bool wholeMessageSent() const { return m_wholeMessageSent; }

    // For the transport: the wake-up of its wait, set while it runs.
    void setWakeUp(std::function<void()> wakeUp);
    void markWholeMessageSent() { m_wholeMessageSent = true; }

private:
    std::atomic_bool m_cancelled = false;
    std::atomic_bool m_wholeMessageSent = false;
    std::mutex m_mutex;
    std::function<void()> m_wakeUp;
};

// Sends one message through an SMTP server with libcurl: a multipart message
// with the body as UTF-8 text and the file as a base64 attachment. Blocks the
// calling thread until the server has answered, the time limit has passed or
// `control` is cancelled, so it runs off the user-interface thread. A cancel
// closes the connection at once.
namespace SmtpTransport {

SendResult send(const MailSettings &settings, const MailMessage &message, std::chrono::milliseconds timeLimit,
                SendControl &control);

} // namespace SmtpTransport
