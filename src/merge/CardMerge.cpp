#include "merge/CardMerge.h"

#include "render/TextFit.h"

namespace CardMerge {

namespace {

bool isColon(QChar c) { return c == u'：' || c == u':'; }

} // namespace

std::optional<TextRole> roleOf(const QString &headerName)
{
    const QString name = headerName.trimmed();
    for (std::size_t i = 0; i < kTextCount; ++i) {
        if (name.compare(textSection(i), Qt::CaseInsensitive) == 0 ||
            name.compare(textFieldName(i), Qt::CaseInsensitive) == 0)
            return TextRole(i);
    }
    // The e-mail text has a second Chinese name.
    if (name == u"邮箱") return TextRole::Email;
    return std::nullopt;
}

QString understoodNames()
{
    QStringList names;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        names << textSection(i) + u'/' + textFieldName(i);
        if (TextRole(i) == TextRole::Email) names.last() += QStringLiteral("/邮箱");
    }
    return names.join(QStringLiteral(", "));
}

std::optional<Columns> mapColumns(const QStringList &header, const QString &nameColumn)
{
    Columns c;
    c.count = header.size();
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        if (!nameColumn.isEmpty() && name.compare(nameColumn.trimmed(), Qt::CaseInsensitive) == 0) c.nameColumn = i;
        const auto role = roleOf(name);
        if (!role) {
            if (i != c.nameColumn) c.unknown << name;
            continue;
        }
        int &slot = c.column[std::size_t(*role)];
        if (slot >= 0)
            c.duplicated << name;
        else
            slot = i;
    }
    if (nameColumn.isEmpty())
        c.nameColumn = c.column[std::size_t(TextRole::Name)];
    else if (c.nameColumn < 0)
        return std::nullopt;
    return c;
}

QString labelPrefix(const QString &templateText)
{
    const auto colon = std::find_if(templateText.begin(), templateText.end(), isColon);
    if (colon == templateText.end()) return {};
    qsizetype end = colon - templateText.begin() + 1;
    while (end < templateText.size() && templateText[end] == u' ') ++end;
    // "网址：http://": the scheme belongs to the label.
    for (const QLatin1StringView scheme : {QLatin1StringView("http://"), QLatin1StringView("https://")}) {
        if (templateText.mid(end).startsWith(scheme, Qt::CaseInsensitive)) end += scheme.size();
    }
    return templateText.left(end);
}

QString mergedText(const QString &templateText, const QString &cell)
{
    QString value = cell;
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    value = value.trimmed();
    const QString prefix = labelPrefix(templateText);
    if (value.startsWith(prefix, Qt::CaseInsensitive)) return value;
    return prefix + value;
}

std::optional<RowFault> applyRow(const Columns &columns, const QStringList &fields, CardDocument &card,
                                 PageView &view)
{
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const int column = columns.column[i];
        if (column < 0 || column >= fields.size()) continue;
        CardText &text = card.texts[i];
        if (fields[column].trimmed().isEmpty()) {
            text.visible = false;
            continue;
        }
        text.caption = mergedText(text.caption, fields[column]);
        if (text.caption.size() > kMaxText) return RowFault{column + 1};
        TextFit::fitText(card, view, i);
    }
    return std::nullopt;
}

} // namespace CardMerge
