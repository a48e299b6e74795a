#pragma once

#include "merge/CsvTable.h"
#include "model/PageView.h"

#include <QRectF>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// Merging one row of a table into a copy of a template card.
namespace CardMerge {

// The longest text the text panel accepts; a merged text beyond it is a fault of its row.
inline constexpr int kMaxText = 100;

// Which column fills which text, found from the header row: the card file's
// section names (cName ... cQQ, any letter case) or the texts' Chinese names,
// blanks around them ignored; the same names after "反面:" or "back:" (either
// colon, any letter case) fill the texts of the card's back.
struct Columns {
    std::array<int, kTextCount> column = unmapped();   // -1: the text keeps the template's
    std::array<int, kTextCount> backColumn = unmapped();
    QStringList unknown;                  // header names that fill no text
    QStringList duplicated;               // header names of a text already filled
    int nameColumn = -1;                  // what made cards are named after; -1: none
    qsizetype count = 0;                  // fields every row must have

    static std::array<int, kTextCount> unmapped()
    {
        std::array<int, kTextCount> none;
        none.fill(-1);
        return none;
    }

    const std::array<int, kTextCount> &of(CardSide side) const
    {
        return side == CardSide::Front ? column : backColumn;
    }
    // The header names of the columns that fill a text of the back.
    QStringList backNames(const QStringList &header) const;
};

// The text of the front a header name fills, or nothing.
std::optional<TextRole> roleOf(const QString &headerName);

// The text of either side a header name fills, or nothing.
struct Field {
    CardSide side = CardSide::Front;
    TextRole role = TextRole::Name;
};
std::optional<Field> fieldOf(const QString &headerName);

// The name of a text's field in messages: "姓名" on the front, "反面:姓名" on the back.
QString fieldName(CardSide side, std::size_t text);

// The header names understood, one per text: "cName/姓名", …, and how the
// back's are written, for messages.
QString understoodNames();

// nameColumn: a header name whose column names the cards, empty for the one
// that fills the name text. Nothing when nameColumn is given and not found.
std::optional<Columns> mapColumns(const QStringList &header, const QString &nameColumn = {});

// The label before a text's value: the template's text up to and including its
// first colon and the blanks after it ("电话：", "Tel: "; "网址：http://" keeps
// the scheme of an address), empty for texts without one (name, job, company).
QString labelPrefix(const QString &templateText);

// The text a cell gives: the template's prefix and the cell, unless the cell
// already starts with the prefix. Line breaks in the cell become blanks, as a
// text is one line in a card file.
QString mergedText(const QString &templateText, const QString &cell);

// A fault of a row other than those of the table itself.
struct RowFault {
    int column = 0;   // from 1
};

// A merged text that does not sit on the card as the template's texts do:
// it still runs past a trim line, or it covers a text it did not cover on the
// template.
struct TextProblem {
    enum class Kind { OffCard, Overlap };
    Kind kind = Kind::OffCard;
    std::size_t text = 0;   // the merged text
    std::size_t other = 0;  // the text it covers (Overlap)
    CardSide side = CardSide::Front;

    bool operator==(const TextProblem &) const = default;
};

// The smallest size a merged text is lowered to, as a share of the template's.
inline constexpr float kSmallestShare = 0.75f;
inline constexpr float kSizeStep = 0.5f;

// One side of a template card, shown, and the boxes of its texts (empty for a
// text not shown), measured once for all the rows merged into it.
struct TemplateSide {
    TemplateSide(const CardDocument &sideCard, const PageView &sideView);
    CardDocument card;
    PageView view;
    std::array<QRectF, kTextCount> boxes;
};

// A template card: its front (the card as made cards start, front shown) and
// its back when it has one.
struct Template {
    Template(const CardDocument &templateCard, const PageView &templateView);
    TemplateSide front;
    std::optional<TemplateSide> back;
};

// The first text of a row, on either side, that is longer than kMaxText once
// merged into the template's; the back's columns count only on a template with a back.
std::optional<RowFault> longText(const Columns &columns, const QStringList &fields, const Template &from);

// Places the merged texts (merged[i]) of a card made from the template: each
// is fitted as the text panel fits what is typed; one that then crosses a trim
// line is kept inside them as a drag keeps an object; one that then covers a
// shown text it did not cover on the template (or stands within 1 mm of it on
// the same line) is lowered in kSizeStep points
// down to kSmallestShare of the template's size, until it covers none. Returns
// what is still wrong, by merged text in order.
std::vector<TextProblem> placeTexts(const TemplateSide &from, const std::array<bool, kTextCount> &merged,
                                    CardDocument &card, PageView &view);

// The card of one row: each mapped text of the front, then of the back,
// replaced (an empty cell hides the text), then placed (placeTexts); what is
// still wrong goes to problems when given. card and view start as copies of the
// template's and end with the front shown. A text longer than kMaxText is a
// fault. A template without a back leaves the back's columns unused.
std::optional<RowFault> applyRow(const Columns &columns, const QStringList &fields, const Template &from,
                                 CardDocument &card, PageView &view, std::vector<TextProblem> *problems = nullptr);
// The same for one card, whose card and view are the template.
std::optional<RowFault> applyRow(const Columns &columns, const QStringList &fields, CardDocument &card,
                                 PageView &view, std::vector<TextProblem> *problems = nullptr);

} // namespace CardMerge
