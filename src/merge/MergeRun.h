#pragma once

#include "merge/CardMerge.h"
#include "merge/MergeOutput.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <vector>

// Making one card per row of a table from a template card, on all cores, into
// any MergeOutput. The designer's batch window and penlark-card merge both run it.
namespace MergeRun {

// A row that cannot be made, or a fault of the table as a whole (wholeTable:
// a fault of the header, of its columns or of all rows), which is refused
// whatever the settings.
struct Fault {
    enum class Kind {
        FieldCount,        // fields: how many the row has, expected: the header's
        UnterminatedQuote,
        BadBytes,          // neither UTF-8 nor GBK
        TooLong,           // the merged text exceeds what the text panel accepts
        NoHeader,          // the table is empty
        UnknownColumns,    // names: the header names not understood
        DuplicateColumns,  // names: header names of a text already filled
        NoNameColumn,      // names: the name column asked for
        TextOffCard,       // names: the text's field, still past a trim line once placed
        TextOverlap,       // names: the text's field and the field of the text it covers
        NoTextColumns,     // names: the header names, none of which fills a text
        MixedEncoding,     // line: the first line in the other encoding; names: its encoding, the rest's
        NoRows,            // no row below the header can be made
        NoBack,            // names: the header names of the back's columns, for a template without a back
    };
    Kind kind = Kind::FieldCount;
    int line = 0;
    int column = 0;
    int fields = 0;
    int expected = 0;
    QStringList names;
    bool wholeTable = false;
};

// The largest table read: a hundred thousand people take some 15 MB.
inline constexpr qint64 kLargestTable = 64 << 20;

struct Settings {
    QString nameColumn;          // empty: the column of the name text
    bool ignoreUnknown = false;  // columns that fill no text are left unused
    bool skipBad = false;        // make the good rows and list the bad ones
    int jobs = 0;                // worker threads; 0: one per core
    bool strict = false;         // a row whose texts do not fit the card is a bad row
};

// What a table holds, checked whole before anything is made.
struct Table {
    QByteArray bytes;
    QStringList header;
    CardMerge::Columns columns;
    qint64 goodRows = 0;
    std::vector<Fault> faults;   // rows in file order, then any fault of the whole table
    std::vector<Fault> unfit;    // texts that do not fit the card, in file order (faults too when strict)

    // Whether the table is to be refused: a fault of the whole table, or a bad row without skipBad.
    bool refused(const Settings &settings) const;
};

Table check(const QByteArray &bytes, const CardDocument &templateCard, const Settings &settings);

struct Progress {
    qint64 done = 0;
    qint64 total = 0;
};

struct Result {
    qint64 made = 0;
    bool cancelled = false;
    QString error;               // empty on success
};

// Makes the good rows of a checked table, in order, into output, and finishes
// it. progress is called on the calling thread after every batch; cancel is
// polled as often.
// The caller commits the output after a run that was neither cancelled nor
// failed, and drops it otherwise.
Result run(const Table &table, const CardDocument &templateCard, const PageView &templateView,
           const Settings &settings, MergeOutput &output, const std::function<void(Progress)> &progress,
           const std::atomic_bool &cancel);

// The card of one row of a table, for a preview.
MergedCard cardOf(const Table &table, const QStringList &fields, const CardDocument &templateCard,
                  const PageView &templateView);

// Every row of a table, for a preview (a designer's table is small).
std::vector<Csv::Record> records(const Table &table);

} // namespace MergeRun
