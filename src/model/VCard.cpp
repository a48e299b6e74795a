#include "model/VCard.h"

#include <QRegularExpression>

namespace VCard {

namespace {

// The label each text starts with, its field name; names, titles and companies have none.
QString labelOf(TextRole role)
{
    return role < TextRole::Address ? QString() : textFieldName(std::size_t(role));
}

// Appends a text value escaped as RFC 2426 has it; a line break becomes \n.
void appendEscaped(QString &out, QStringView value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        switch (c.unicode()) {
        case u'\\': out += u"\\\\"; break;
        case u',': out += u"\\,"; break;
        case u';': out += u"\\;"; break;
        case u'\r':
            if (i + 1 < value.size() && value[i + 1] == u'\n') ++i;
            out += u"\\n";
            break;
        case u'\n': out += u"\\n"; break;
        default: out += c;
        }
    }
}

// One property line; a structured value's components are joined by semicolons.
void appendLine(QString &out, QLatin1StringView property, std::initializer_list<QStringView> components)
{
    out += property;
    out += u':';
    bool first = true;
    for (const QStringView component : components) {
        if (!first) out += u';';
        appendEscaped(out, component);
        first = false;
    }
    out += u"\r\n";
}

void appendText(QString &out, QLatin1StringView property, QStringView value)
{
    if (!value.isEmpty()) appendLine(out, property, {value});
}

// Two to four characters, each of which may be a surrogate pair.
bool isChineseName(QStringView name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\p{Han}{2,4}$"));
    return name.size() >= 2 && name.size() <= 8 && pattern.match(name.toString()).hasMatch();
}

// A Chinese name of two to four characters is one family character and the
// given name; any other name is all given name.
void appendName(QString &out, QStringView name)
{
    const qsizetype family = name.size() > 1 && name[0].isHighSurrogate() ? 2 : 1;
    if (isChineseName(name))
        appendLine(out, QLatin1StringView("N"), {name.first(family), name.sliced(family), {}, {}, {}});
    else
        appendLine(out, QLatin1StringView("N"), {{}, name, {}, {}, {}});
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
    const QString name = labelOf(role);
    if (name.isEmpty()) return value;
    static const QRegularExpression colon(QStringLiteral("^\\s*[：:]"));
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
    // FN and N are required: a card without a name is its company's contact.
    const QString name = value(TextRole::Name);
    const QString company = value(TextRole::Company);
    // Room for every text once and the name twice, so long texts are not copied as the card grows.
    qsizetype room = 512 + name.size();
    for (const CardText &text : card.texts) room += text.caption.size();
    QString out;
    out.reserve(room);
    out += u"BEGIN:VCARD\r\nVERSION:3.0\r\n";
    appendLine(out, QLatin1StringView("FN"), {name.isEmpty() ? company : name});
    appendName(out, name);
    appendText(out, QLatin1StringView("TITLE"), value(TextRole::Job));
    appendText(out, QLatin1StringView("ORG"), company);
    const QString address = value(TextRole::Address), postcode = value(TextRole::Postcode);
    if (!address.isEmpty() || !postcode.isEmpty())
        appendLine(out, QLatin1StringView("ADR;TYPE=WORK"), {{}, {}, address, {}, {}, postcode, {}});
    appendText(out, QLatin1StringView("TEL;TYPE=WORK,VOICE"), value(TextRole::Telephone));
    appendText(out, QLatin1StringView("TEL;TYPE=WORK,FAX"), value(TextRole::Fax));
    appendText(out, QLatin1StringView("TEL;TYPE=CELL"), value(TextRole::Mobile));
    appendText(out, QLatin1StringView("EMAIL;TYPE=INTERNET"), value(TextRole::Email));
    // A web address is a URI, not escaped as text.
    const QString web = value(TextRole::Web);
    if (!web.isEmpty()) out += QStringLiteral("URL:") + withScheme(web) + QStringLiteral("\r\n");
    appendText(out, QLatin1StringView("X-QQ"), value(TextRole::QQ));
    out += u"END:VCARD\r\n";
    return out;
}

} // namespace VCard
