#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One e-mail as the send window hands it over: recipient, subject, body and
// the full path of the one attached file.
struct MailMessage {
    QString recipient;
    QString subject;
    QString body;
    QString attachmentPath;

    QString attachmentName() const;
};

// The pieces of a MIME message that are not left to the MIME library: header
// encodings for text that is not ASCII.
namespace MailFormat {

// True for an address that can stand in a header and an SMTP command as it
// is: one local part, "@", a domain, and no blanks, control characters,
// angle brackets or commas that would let it carry a second address or header.
bool isPlainAddress(const QString &address);

// Header text as RFC 2047 encoded words (UTF-8, base64), each at most 75
// characters long and never cut inside a character, joined by a folding line
// break. Plain ASCII text without "=?" is returned as it is.
QByteArray encodeHeaderText(const QString &text);

// The Content-Disposition header of an attachment whose name may be Chinese:
// a plain ASCII `filename` for older mail programs, then the name as an RFC 2231
// extended parameter (UTF-8, percent-encoded), split into numbered sections
// when it is long.
QByteArray attachmentDisposition(const QString &fileName);

// The top-level headers: From, To, Subject, Date and Message-ID.
QList<QByteArray> messageHeaders(const QString &sender, const MailMessage &message, const QDateTime &date);

// The body with every line ended by CRLF, as SMTP carries text.
QByteArray bodyText(const QString &body);

} // namespace MailFormat
