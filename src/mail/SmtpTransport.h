#pragma once

#include "mail/MailMessage.h"
#include "mail/MailSettings.h"

#include <QString>
#include <atomic>
#include <chrono>
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
        TimedOut,
        Cancelled,
        Failed,        // anything else, the reason says what
    };
    Outcome outcome = Outcome::Failed;
    // The server's last reply or the transport's own explanation, for the message box.
    QString reason;
};

// The refusal of a recipient that is no plain address (MailFormat::isPlainAddress),
// before anything is handed on; nothing for a plain address.
std::optional<SendResult> refuseRecipient(const MailMessage &message);

// Sends one message through an SMTP server with libcurl: a multipart message
// with the body as UTF-8 text and the file as a base64 attachment. Blocks the
// calling thread until the server has answered, the time limit has passed or
// `cancel` becomes true, so it runs off the user-interface thread.
namespace SmtpTransport {

SendResult send(const MailSettings &settings, const MailMessage &message, std::chrono::milliseconds timeLimit,
                const std::atomic_bool &cancel);

} // namespace SmtpTransport
