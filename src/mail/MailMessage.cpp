#include "mail/MailMessage.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QUuid>

QString MailMessage::attachmentName() const
{
    return QFileInfo(attachmentPath).fileName();
}

namespace MailFormat {

namespace {

constexpr int kMaxEncodedWord = 75;
constexpr int kMaxSection = 60;
const QByteArray kWordStart = "=?UTF-8?B?";
const QByteArray kWordEnd = "?=";
const QByteArray kFold = "\r\n ";

bool isPlainHeaderText(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) return false;
    return !text.contains(QStringLiteral("=?"));
}

// The longest run of whole characters from `from` whose encoded word fits.
qsizetype wordLength(const QString &text, qsizetype from)
{
    const qsizetype room = (kMaxEncodedWord - kWordStart.size() - kWordEnd.size()) / 4 * 3;
    qsizetype end = from;
    qsizetype bytes = 0;
    while (end < text.size()) {
        const qsizetype step = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        const qsizetype size = text.mid(end, step).toUtf8().size();
        if (bytes + size > room) break;
        bytes += size;
        end += step;
    }
    return end - from;
}

// One percent-encoded octet sequence per character, as RFC 2231 wants them.
QList<QByteArray> percentEncodedCharacters(const QString &name)
{
    QList<QByteArray> characters;
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype step = name.at(i).isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        characters.append(name.mid(i, step).toUtf8().toPercentEncoding("!#$&+^`|"));
        i += step;
    }
    return characters;
}

// The name for mail programs that do not read RFC 2231: printable ASCII as it
// is, every other character an underscore, as a quoted string.
QByteArray asciiFallback(const QString &name)
{
    QByteArray fallback;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (name.at(i).isHighSurrogate() && i + 1 < name.size()) ++i;
        if (c == u'"' || c == u'\\') fallback += '\\';
        fallback += c >= 0x20 && c < 0x7f ? char(c) : '_';
    }
    return fallback;
}

QByteArray rfc2822Date(const QDateTime &date)
{
    const int offset = date.offsetFromUtc() / 60;
    const QString zone = QString::asprintf("%c%02d%02d", offset < 0 ? '-' : '+', std::abs(offset) / 60,
                                           std::abs(offset) % 60);
    return (QLocale::c().toString(date, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")) + zone).toLatin1();
}

QByteArray domainOf(const QString &address)
{
    const QString domain = address.section(u'@', -1);
    return isPlainAddress(address) ? domain.toUtf8() : QByteArray("penlark.localhost");
}

} // namespace

bool isPlainAddress(const QString &address)
{
    static const QRegularExpression plain(QStringLiteral("^[^\\s<>,;:\"()\\[\\]\\\\@]+@[^\\s<>,;:\"()\\[\\]\\\\@]+$"));
    for (const QChar c : address)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    return plain.match(address).hasMatch();
}

QByteArray encodeHeaderText(const QString &text)
{
    if (isPlainHeaderText(text)) return text.toLatin1();
    QList<QByteArray> words;
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype length = wordLength(text, from);
        words.append(kWordStart + text.mid(from, length).toUtf8().toBase64() + kWordEnd);
        from += length;
    }
    return words.join(kFold);
}

QByteArray attachmentDisposition(const QString &fileName)
{
    QList<QByteArray> sections{"UTF-8''"};
    for (const QByteArray &character : percentEncodedCharacters(fileName)) {
        if (sections.last().size() + character.size() > kMaxSection) sections.append(QByteArray());
        sections.last() += character;
    }
    QByteArray header = "Content-Disposition: attachment;" + kFold + "filename=\"" + asciiFallback(fileName) + "\";";
    if (sections.size() == 1) return header + kFold + "filename*=" + sections.first();
    for (qsizetype i = 0; i < sections.size(); ++i)
        header += kFold + "filename*" + QByteArray::number(i) + "*=" + sections.at(i) +
                  (i + 1 < sections.size() ? ";" : "");
    return header;
}

QList<QByteArray> messageHeaders(const QString &sender, const MailMessage &message, const QDateTime &date)
{
    const QByteArray id = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    return {
        "From: " + sender.toUtf8(),
        "To: " + message.recipient.toUtf8(),
        "Subject: " + encodeHeaderText(message.subject),
        "Date: " + rfc2822Date(date),
        "Message-ID: <" + id + '@' + domainOf(sender) + '>',
    };
}

QByteArray bodyText(const QString &body)
{
    QString text = body;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text.toUtf8();
}

} // namespace MailFormat
