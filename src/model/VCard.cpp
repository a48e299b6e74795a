#include "model/VCard.h"

#include <QRegularExpression>

namespace VCard {

namespace {

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

// Chinese compound surnames, in the simplified and traditional forms. Those
// whose first character is a common surname of its own and whose second
// often begins a given name (单于, 乐正, 宗政, 谷梁) are left out: 单于洋
// is far more likely 单 and 于洋.
bool isCompoundSurname(QStringView family)
{
    static const QStringList surnames = QStringLiteral(
        "欧阳 司马 上官 诸葛 东方 皇甫 尉迟 公孙 慕容 长孙 宇文 司徒 夏侯 轩辕 令狐 钟离 澹台 百里 "
        "万俟 闻人 赫连 公羊 公冶 濮阳 淳于 太叔 申屠 仲孙 鲜于 闾丘 司空 亓官 司寇 子车 颛孙 端木 "
        "巫马 公西 漆雕 壤驷 公良 拓跋 夹谷 宰父 段干 东郭 东门 西门 南门 南宫 呼延 羊舌 微生 梁丘 "
        "左丘 第五 独孤 "
        "歐陽 司馬 諸葛 東方 尉遲 公孫 長孫 軒轅 鍾離 澹臺 萬俟 聞人 赫連 濮陽 申屠 仲孫 鮮于 閭丘 "
        "顓孫 巫馬 壤駟 東郭 東門 西門 南門 獨孤").split(u' ');
    return surnames.contains(family);
}

struct Name {
    QString family;
    QString given;
    QString additional;
};

// Two to four Chinese characters, each of which may be a surrogate pair.
bool isChineseName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\p{Han}{2,4}$"));
    return name.size() <= 8 && pattern.match(name).hasMatch();
}

// A Chinese name of two to four characters, blanks between them left out, is
// its family name (a compound surname when a given name follows it, else the
// first character) and its given name. A Latin name of several words is the
// given name, the additional names and the family name last. Any other name
// is all given name.
Name splitName(const QString &name)
{
    static const QRegularExpression blanks(QStringLiteral("[\\s\\p{Zs}]+"));
    QString chinese = name;
    chinese.remove(blanks);
    if (isChineseName(chinese)) {
        qsizetype family = chinese[0].isHighSurrogate() ? 2 : 1;
        if (chinese.size() > 2 && isCompoundSurname(QStringView(chinese).first(2))) family = 2;
        return {chinese.first(family), chinese.sliced(family), {}};
    }
    static const QRegularExpression latin(QStringLiteral("^\\p{Latin}[\\p{Latin}.'’-]*(\\s+\\p{Latin}[\\p{Latin}.'’-]*)+$"));
    if (latin.match(name).hasMatch()) {
        QStringList words = name.split(blanks);
        const QString family = words.takeLast();
        const QString given = words.takeFirst();
        return {family, given, words.join(u' ')};
    }
    return {{}, name, {}};
}

void appendName(QString &out, const QString &name)
{
    const Name n = splitName(name);
    appendLine(out, QLatin1StringView("N"), {n.family, n.given, n.additional, {}, {}});
}

QString withScheme(const QString &url)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(url).hasMatch() ? url : QStringLiteral("http://") + url;
}

} // namespace

QString valueOf(const CardText &text)
{
    const QString value = text.caption.trimmed();
    // A label is short and holds no digit or @; a colon before "//" belongs to
    // a web address.
    static const QRegularExpression label(QStringLiteral("^[^:：0-9@]{0,20}[:：](?!//)"));
    const auto match = label.match(value);
    return match.hasMatch() ? value.sliced(match.capturedLength()).trimmed() : value;
}

QString fromCard(const CardDocument &card)
{
    const auto &texts = card.frontTexts();
    const auto value = [&texts](TextRole role) {
        const CardText &text = texts[std::size_t(role)];
        return text.visible ? valueOf(text) : QString();
    };
    // FN and N are required: a card without a name is its company's contact.
    const QString name = value(TextRole::Name);
    const QString company = value(TextRole::Company);
    // Room for every text once and the name twice, so long texts are not copied as the card grows.
    qsizetype room = 512 + name.size();
    for (const CardText &text : texts) room += text.caption.size();
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
