#include "model/VCard.h"

#include <QRegularExpression>
#include <QStringList>

namespace VCard {

namespace {

// The label each text starts with; names, titles and companies have none.
const char16_t *labelOf(TextRole role)
{
    switch (role) {
    case TextRole::Address: return u"地址";
    case TextRole::Postcode: return u"邮编";
    case TextRole::Telephone: return u"电话";
    case TextRole::Fax: return u"传真";
    case TextRole::Mobile: return u"手机";
    case TextRole::Email: return u"E-mail";
    case TextRole::Web: return u"网址";
    case TextRole::QQ: return u"QQ";
    default: return nullptr;
    }
}

QString escaped(QString value)
{
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u',', QStringLiteral("\\,"));
    value.replace(u';', QStringLiteral("\\;"));
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    value.replace(u'\r', QStringLiteral("\\n"));
    value.replace(u'\n', QStringLiteral("\\n"));
    return value;
}

// Structured values (N, ADR): components escaped, joined by semicolons.
QString components(const QStringList &parts)
{
    QStringList out;
    for (const QString &part : parts) out << escaped(part);
    return out.join(u';');
}

bool isChineseName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\p{Han}{2,4}$"));
    return pattern.match(name).hasMatch();
}

// A Chinese name of two to four characters is one family character and the
// given name; any other name is all given name.
QString structuredName(const QString &name)
{
    if (isChineseName(name)) return components({name.left(1), name.mid(1), {}, {}, {}});
    return components({{}, name, {}, {}, {}});
}

QString withScheme(const QString &url)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(url).hasMatch() ? url : QStringLiteral("http://") + url;
}

} // namespace

QString valueOf(const CardText &text, TextRole role)
{
    QString value = text.caption.trimmed();
    const char16_t *label = labelOf(role);
    if (!label) return value;
    static const QRegularExpression colon(QStringLiteral("^\\s*[：:]"));
    const QString name = QString::fromUtf16(label);
    if (value.startsWith(name, Qt::CaseInsensitive)) {
        const auto match = colon.match(QStringView(value).sliced(name.size()));
        if (match.hasMatch()) value = value.sliced(name.size() + match.capturedLength());
    }
    return value.trimmed();
}

QString fromCard(const CardDocument &card)
{
    const auto value = [&card](TextRole role) {
        const CardText &text = card.text(role);
        return text.visible ? valueOf(text, role) : QString();
    };
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:3.0")};
    const auto add = [&lines](const char *property, const QString &v) {
        if (!v.isEmpty()) lines << QString::fromLatin1(property) + u':' + v;
    };
    // FN and N are required: a card without a name is its company's contact.
    const QString name = value(TextRole::Name);
    const QString company = value(TextRole::Company);
    lines << QStringLiteral("FN:") + escaped(name.isEmpty() ? company : name);
    lines << QStringLiteral("N:") + structuredName(name);
    add("TITLE", escaped(value(TextRole::Job)));
    add("ORG", escaped(company));
    const QString address = value(TextRole::Address), postcode = value(TextRole::Postcode);
    if (!address.isEmpty() || !postcode.isEmpty())
        add("ADR;TYPE=WORK", components({{}, {}, address, {}, {}, postcode, {}}));
    add("TEL;TYPE=WORK,VOICE", escaped(value(TextRole::Telephone)));
    add("TEL;TYPE=WORK,FAX", escaped(value(TextRole::Fax)));
    add("TEL;TYPE=CELL", escaped(value(TextRole::Mobile)));
    add("EMAIL;TYPE=INTERNET", escaped(value(TextRole::Email)));
    const QString web = value(TextRole::Web);
    add("URL", web.isEmpty() ? web : withScheme(web)); // a URI, not escaped as text
    add("X-QQ", escaped(value(TextRole::QQ)));
    lines << QStringLiteral("END:VCARD");
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace VCard
