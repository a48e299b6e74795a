#pragma once

#include "mail/SmtpTransport.h"

// Hands a message to the desktop mail program through xdg-email, with the
// subject, the body and the attachment filled in. The person sends it from
// there, so success here means handed over, not sent.
namespace DesktopMail {

SendResult handOver(const MailMessage &message);

} // namespace DesktopMail
