#include "merge/CardMerge.h"

#include "model/Numeric.h"
#include "render/PageObjects.h"
#include "render/PageRenderer.h"
#include "render/TextFit.h"

namespace CardMerge {

namespace {

bool isColon(QChar c) { return c == u'：' || c == u':'; }

// Positions are floats: a box resting on a trim line may miss it by a rounding.
constexpr double kEdgeTolerance = 0.01;

bool crossesTrim(const QRectF &box, QSizeF page)
{
    const double inner = PageGeometry::kTrimInset - kEdgeTolerance;
    return box.left() < inner || box.top() < inner || box.right() > page.width() - inner ||
           box.bottom() > page.height() - inner;
}

QRectF shownBox(const CardDocument &card, const PageView &view, std::size_t i)
{
    return card.texts[i].visible ? PageObjects::box(card, view, int(i)) : QRectF();
}

// Texts side by side closer than this read as one ("13912345678E-mail：…").
constexpr double kClearance = Numeric::kTwipsPerMm;

bool covers(const std::array<QRectF, kTextCount> &boxes, std::size_t i, std::size_t j)
{
    return !boxes[i].isEmpty() && !boxes[j].isEmpty() &&
           boxes[i].adjusted(-kClearance, 0, kClearance, 0).intersects(boxes[j]);
}

// The shown texts that text i covers on the card and did not cover on the template.
std::vector<std::size_t> newOverlaps(const std::array<QRectF, kTextCount> &before,
                                     const std::array<QRectF, kTextCount> &now, std::size_t i)
{
    std::vector<std::size_t> covered;
    for (std::size_t j = 0; j < kTextCount; ++j)
        if (j != i && covers(now, i, j) && !covers(before, i, j)) covered.push_back(j);
    return covered;
}

// Text i at a font size: fitted from the template's place and block, then
// kept inside the trim lines when it crosses one.
void layOut(const CardDocument &templateCard, const PageView &templateView, CardDocument &card, PageView &view,
            std::size_t i, float size)
{
    CardText &text = card.texts[i];
    text.FontSize = size;
    text.Left = templateCard.texts[i].Left;
    text.Top = templateCard.texts[i].Top;
    view.textBlocks[i] = templateView.textBlocks[i];
    TextFit::fitText(card, view, i);
    const QSizeF page = PageRenderer::pageTwips(card);
    const QRectF box = PageObjects::box(card, view, int(i));
    if (crossesTrim(box, page)) PageObjects::moveTo(card, int(i), PageObjects::keepInTrim(box, page).topLeft);
}

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

std::optional<Field> fieldOf(const QString &headerName)
{
    if (const auto role = roleOf(headerName)) return Field{CardSide::Front, *role};
    const QString name = headerName.trimmed();
    const auto colon = std::find_if(name.begin(), name.end(), isColon);
    if (colon == name.end()) return std::nullopt;
    const QString side = name.left(colon - name.begin()).trimmed();
    if (side != u"反面" && side.compare(u"back", Qt::CaseInsensitive) != 0) return std::nullopt;
    if (const auto role = roleOf(name.mid(colon - name.begin() + 1))) return Field{CardSide::Back, *role};
    return std::nullopt;
}

QString fieldName(CardSide side, std::size_t text)
{
    return side == CardSide::Front ? textFieldName(text) : QStringLiteral("反面:") + textFieldName(text);
}

QStringList Columns::backNames(const QStringList &header) const
{
    QStringList names;
    for (int i = 0; i < header.size(); ++i)
        if (std::find(backColumn.begin(), backColumn.end(), i) != backColumn.end()) names << header[i].trimmed();
    return names;
}

QString understoodNames()
{
    QStringList names;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        names << textSection(i) + u'/' + textFieldName(i);
        if (TextRole(i) == TextRole::Email) names.last() += QStringLiteral("/邮箱");
    }
    return names.join(QStringLiteral(", ")) + QStringLiteral("; for the back, the same after 反面: or back:");
}

std::optional<Columns> mapColumns(const QStringList &header, const QString &nameColumn)
{
    Columns c;
    c.count = header.size();
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        if (!nameColumn.isEmpty() && name.compare(nameColumn.trimmed(), Qt::CaseInsensitive) == 0) c.nameColumn = i;
        const auto field = fieldOf(name);
        if (!field) {
            if (i != c.nameColumn) c.unknown << name;
            continue;
        }
        int &slot = (field->side == CardSide::Front ? c.column : c.backColumn)[std::size_t(field->role)];
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

TemplateSide::TemplateSide(const CardDocument &sideCard, const PageView &sideView) : card(sideCard), view(sideView)
{
    for (std::size_t i = 0; i < kTextCount; ++i) boxes[i] = shownBox(card, view, i);
}

namespace {

TemplateSide sideOf(CardDocument card, PageView view, CardSide side)
{
    showSide(card, view, side);
    return TemplateSide(card, view);
}

} // namespace

Template::Template(const CardDocument &templateCard, const PageView &templateView)
    : front(sideOf(templateCard, templateView, CardSide::Front))
{
    if (templateCard.hasBack()) back = sideOf(templateCard, templateView, CardSide::Back);
}

std::optional<RowFault> longText(const Columns &columns, const QStringList &fields, const Template &from)
{
    for (const CardSide side : {CardSide::Front, CardSide::Back}) {
        const TemplateSide *sideTemplate = side == CardSide::Front ? &from.front : from.back ? &*from.back : nullptr;
        if (!sideTemplate) continue;
        for (std::size_t i = 0; i < kTextCount; ++i) {
            const int c = columns.of(side)[i];
            if (c < 0 || c >= fields.size() || fields[c].trimmed().isEmpty()) continue;
            if (mergedText(sideTemplate->card.texts[i].caption, fields[c]).size() > kMaxText) return RowFault{c + 1};
        }
    }
    return std::nullopt;
}

std::vector<TextProblem> placeTexts(const TemplateSide &from, const std::array<bool, kTextCount> &merged,
                                    CardDocument &card, PageView &view)
{
    // Measuring a text is the costly part: only the merged texts are measured
    // again, the others keep the template's boxes (none when hidden).
    const auto &before = from.boxes;
    std::array<QRectF, kTextCount> now;
    for (std::size_t i = 0; i < kTextCount; ++i)
        if (card.texts[i].visible) now[i] = before[i];
    for (std::size_t i = 0; i < kTextCount; ++i) {
        if (!merged[i] || !card.texts[i].visible) continue;
        const float size = from.card.texts[i].FontSize;
        const float smallest = size * kSmallestShare;
        for (float s = size;; s -= kSizeStep) {
            layOut(from.card, from.view, card, view, i, s);
            now[i] = shownBox(card, view, i);
            if (s - kSizeStep < smallest || newOverlaps(before, now, i).empty()) break;
        }
    }
    // Each pair of merged texts that cover each other is named once.
    std::vector<TextProblem> problems;
    const QSizeF page = PageRenderer::pageTwips(card);
    for (std::size_t i = 0; i < kTextCount; ++i) {
        if (!merged[i] || now[i].isEmpty()) continue;
        if (crossesTrim(now[i], page)) problems.push_back({TextProblem::Kind::OffCard, i, i});
        for (const std::size_t j : newOverlaps(before, now, i))
            if (!merged[j] || j > i) problems.push_back({TextProblem::Kind::Overlap, i, j});
    }
    return problems;
}

std::optional<RowFault> applyRow(const Columns &columns, const QStringList &fields, CardDocument &card,
                                 PageView &view, std::vector<TextProblem> *problems)
{
    return applyRow(columns, fields, Template(card, view), card, view, problems);
}

namespace {

// Replaces the texts of the side shown that columns fill and places them.
std::vector<TextProblem> fillSide(const std::array<int, kTextCount> &columns, const QStringList &fields,
                                  const TemplateSide &from, CardDocument &card, PageView &view)
{
    std::array<bool, kTextCount> merged{};
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const int column = columns[i];
        if (column < 0 || column >= fields.size()) continue;
        CardText &text = card.texts[i];
        if (fields[column].trimmed().isEmpty()) {
            text.visible = false;
            continue;
        }
        text.caption = mergedText(text.caption, fields[column]);
        merged[i] = true;
    }
    std::vector<TextProblem> problems = placeTexts(from, merged, card, view);
    for (TextProblem &p : problems) p.side = card.shownSide;
    return problems;
}

} // namespace

std::optional<RowFault> applyRow(const Columns &columns, const QStringList &fields, const Template &from,
                                 CardDocument &card, PageView &view, std::vector<TextProblem> *problems)
{
    if (const auto fault = longText(columns, fields, from)) return fault;
    showSide(card, view, CardSide::Front);
    std::vector<TextProblem> found = fillSide(columns.column, fields, from.front, card, view);
    if (from.back && card.hasBack()) {
        showSide(card, view, CardSide::Back);
        const auto back = fillSide(columns.backColumn, fields, *from.back, card, view);
        found.insert(found.end(), back.begin(), back.end());
        showSide(card, view, CardSide::Front);
    }
    if (problems) *problems = std::move(found);
    return std::nullopt;
}

} // namespace CardMerge
