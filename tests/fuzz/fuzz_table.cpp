// The table of a merge: any bytes read as a table, its header mapped to the
// card's texts, and each good row merged into a copy of the default card and
// given a file name.
#include "FuzzSupport.h"
#include "merge/CardMerge.h"
#include "merge/CardNames.h"
#include "merge/CsvTable.h"
#include "model/CardLibrary.h"

#include <algorithm>

namespace {

using FuzzSupport::check;

bool isSafeName(const QString &name)
{
    const bool hidden = std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
    });
    return !name.isEmpty() && !hidden && !name.startsWith(u'.') && CardLibrary::nameProblem(name).isEmpty();
}

void mergeRow(const CardMerge::Columns &columns, const Csv::Record &record, CardNames &names)
{
    CardDocument card = CardDocument::defaultCard();
    PageView view;
    const auto fault = CardMerge::applyRow(columns, record.fields, card, view);
    for (std::size_t i = 0; i < kTextCount && !fault; ++i)
        check(columns.column[i] < 0 || card.texts[i].caption.size() <= CardMerge::kMaxText,
              "a row without a fault fills no text beyond what the text panel takes");
    const int nameColumn = columns.nameColumn;
    const QString name = names.take(nameColumn >= 0 ? record.fields[nameColumn] : QString());
    check(isSafeName(name), "a made card's name is one a folder takes, shown as it is and not hidden");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Csv::Reader reader(FuzzSupport::bytesOf(data, size));
    check(reader.foreignLine() >= 0, "a line in the other encoding is a line of the table");
    const auto header = reader.next();
    if (!header) return 0;
    const auto columns = CardMerge::mapColumns(header->fields);
    check(columns.has_value(), "a header maps when no name column is asked for");
    CardNames names;
    int line = header->line;
    while (const auto record = reader.next(columns->count)) {
        check(record->line > line, "each record starts on a later line than the one before");
        line = record->line;
        if (record->error) continue;
        check(record->fields.size() == columns->count, "a record without a fault has the header's fields");
        mergeRow(*columns, *record, names);
    }
    return 0;
}
