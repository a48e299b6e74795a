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

Template::Template(const CardDocument &templateCard, const PageView &templateView)
    : card(templateCard), view(templateView)
{
    for (std::size_t i = 0; i < kTextCount; ++i) boxes[i] = shownBox(card, view, i);
}

std::vector<TextProblem> placeTexts(const Template &from, const std::array<bool, kTextCount> &merged,
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

std::optional<RowFault> applyRow(const Columns &columns, const QStringList &fields, const Template &from,
                                 CardDocument &card, PageView &view, std::vector<TextProblem> *problems)
{
    std::array<bool, kTextCount> merged{};
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
        merged[i] = true;
    }
    std::vector<TextProblem> found = placeTexts(from, merged, card, view);
    if (problems) *problems = std::move(found);
    return std::nullopt;
}

} // namespace CardMerge
