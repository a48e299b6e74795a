#include "merge/MergeRun.h"

#include "merge/CardNames.h"
#include "render/TextFit.h"

#include <QFuture>
#include <QMutex>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>

namespace MergeRun {

namespace {

Fault rowFault(const Csv::Error &e, qsizetype expected)
{
    Fault f;
    switch (e.kind) {
    case Csv::Error::Kind::FieldCount: f.kind = Fault::Kind::FieldCount; break;
    case Csv::Error::Kind::UnterminatedQuote: f.kind = Fault::Kind::UnterminatedQuote; break;
    case Csv::Error::Kind::BadBytes: f.kind = Fault::Kind::BadBytes; break;
    }
    f.line = e.line;
    f.column = e.column;
    f.fields = e.fields;
    f.expected = int(expected);
    return f;
}

std::optional<Fault> recordFault(const Table &table, const Csv::Record &record, const CardMerge::Template &from)
{
    if (record.error) return rowFault(*record.error, table.columns.count);
    if (const auto fault = CardMerge::longText(table.columns, record.fields, from))
        return Fault{Fault::Kind::TooLong, record.line, fault->column, 0, 0, {}};
    return std::nullopt;
}

// What the merged texts of a good row leave wrong once placed, one fault a text and problem.
std::vector<Fault> unfitTexts(const Table &table, const Csv::Record &record, const CardMerge::Template &from)
{
    CardDocument card = from.front.card;
    PageView view = from.front.view;
    std::vector<CardMerge::TextProblem> problems;
    CardMerge::applyRow(table.columns, record.fields, from, card, view, &problems);
    std::vector<Fault> faults;
    for (const CardMerge::TextProblem &p : problems) {
        Fault f;
        f.line = record.line;
        f.column = table.columns.of(p.side)[p.text] + 1;
        f.names << CardMerge::fieldName(p.side, p.text);
        if (p.kind == CardMerge::TextProblem::Kind::OffCard) {
            f.kind = Fault::Kind::TextOffCard;
        } else {
            f.kind = Fault::Kind::TextOverlap;
            f.names << CardMerge::fieldName(p.side, p.other);
        }
        faults.push_back(f);
    }
    return faults;
}

Fault tableFault(Fault::Kind kind, QStringList names = {}, int line = 0)
{
    Fault f;
    f.kind = kind;
    f.line = line;
    f.names = std::move(names);
    f.wholeTable = true;
    return f;
}

QString encodingName(Csv::Encoding encoding)
{
    return encoding == Csv::Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("GBK");
}

// A fault of the header's columns, if any.
std::optional<Fault> columnsFault(const CardMerge::Columns &columns, const QStringList &header,
                                  const CardDocument &templateCard, const Settings &settings)
{
    if (!columns.duplicated.isEmpty()) return tableFault(Fault::Kind::DuplicateColumns, columns.duplicated);
    const QStringList backNames = columns.backNames(header);
    if (backNames.isEmpty() && std::all_of(columns.column.begin(), columns.column.end(), [](int c) { return c < 0; }))
        return tableFault(Fault::Kind::NoTextColumns, header);
    if (!backNames.isEmpty() && !templateCard.hasBack()) return tableFault(Fault::Kind::NoBack, backNames);
    if (!columns.unknown.isEmpty() && !settings.ignoreUnknown)
        return tableFault(Fault::Kind::UnknownColumns, columns.unknown);
    return std::nullopt;
}

int threadCount(const Settings &settings)
{
    return settings.jobs > 0 ? settings.jobs : std::max(1, QThread::idealThreadCount());
}

// Rows are made in batches: while the output takes one batch in order, the
// workers make the next, so memory holds two batches whatever the table's size.
constexpr int kBatchPerThread = 16;

MergedCard mergedCard(const Table &table, const QStringList &fields, const CardMerge::Template &from)
{
    MergedCard made{from.front.card, from.front.view, {}, 0, {}, {}};
    CardMerge::applyRow(table.columns, fields, from, made.card, made.view);
    return made;
}

// Rows are checked in batches, their texts placed on all cores.
constexpr qsizetype kCheckBatch = 1024;

void checkRows(Table &table, const std::vector<Csv::Record> &rows, const CardMerge::Template &from,
               const Settings &settings, QThreadPool &pool)
{
    const auto unfitOf = [&](const Csv::Record &record) {
        return recordFault(table, record, from) ? std::vector<Fault>() : unfitTexts(table, record, from);
    };
    const auto unfit = QtConcurrent::blockingMapped<std::vector<std::vector<Fault>>>(&pool, rows, unfitOf);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (const auto fault = recordFault(table, rows[i], from)) {
            table.faults.push_back(*fault);
            continue;
        }
        table.unfit.insert(table.unfit.end(), unfit[i].begin(), unfit[i].end());
        if (settings.strict && !unfit[i].empty())
            table.faults.insert(table.faults.end(), unfit[i].begin(), unfit[i].end());
        else
            ++table.goodRows;
    }
}

} // namespace

bool Table::refused(const Settings &settings) const
{
    if (faults.empty()) return false;
    return !settings.skipBad || std::any_of(faults.begin(), faults.end(), [](const Fault &f) { return f.wholeTable; });
}

Table check(const QByteArray &bytes, const CardDocument &templateCard, const Settings &settings)
{
    Table table;
    table.bytes = bytes;
    Csv::Reader reader(bytes);
    const auto refuse = [&table](Fault fault) {
        table.faults.push_back(std::move(fault));
        return table;
    };
    if (reader.foreignLine() > 0) {
        const Csv::Encoding rest = reader.encoding();
        const Csv::Encoding other = rest == Csv::Encoding::Utf8 ? Csv::Encoding::Gbk : Csv::Encoding::Utf8;
        return refuse(tableFault(Fault::Kind::MixedEncoding, {encodingName(other), encodingName(rest)},
                                 reader.foreignLine()));
    }
    const auto header = reader.next();
    if (!header) return refuse(tableFault(Fault::Kind::NoHeader));
    if (header->error) {
        // The rows cannot be read without the header's columns, whatever the settings.
        Fault fault = rowFault(*header->error, 0);
        fault.wholeTable = true;
        return refuse(fault);
    }
    table.header = header->fields;
    const auto columns = CardMerge::mapColumns(table.header, settings.nameColumn);
    if (!columns) return refuse(tableFault(Fault::Kind::NoNameColumn, {settings.nameColumn}));
    table.columns = *columns;
    if (const auto fault = columnsFault(*columns, table.header, templateCard, settings)) return refuse(*fault);
    // The template's texts as a card file gives them, as penlark-card reads it.
    PageView templateView;
    TextFit::restoreBlocks(templateCard, templateView);
    const CardMerge::Template from(templateCard, templateView);
    QThreadPool pool;
    pool.setMaxThreadCount(threadCount(settings));
    std::vector<Csv::Record> batch;
    bool more = true;
    while (more) {
        batch.clear();
        while (qsizetype(batch.size()) < kCheckBatch && more) {
            auto record = reader.next(table.columns.count);
            more = record.has_value();
            if (more) batch.push_back(std::move(*record));
        }
        checkRows(table, batch, from, settings, pool);
    }
    // Without skipBad the bad rows refuse the table already.
    if (table.goodRows == 0 && (table.faults.empty() || settings.skipBad))
        table.faults.push_back(tableFault(Fault::Kind::NoRows));
    return table;
}

MergedCard cardOf(const Table &table, const QStringList &fields, const CardDocument &templateCard,
                  const PageView &templateView)
{
    MergedCard made{templateCard, templateView, {}, 0, {}, {}};
    CardMerge::applyRow(table.columns, fields, made.card, made.view);
    return made;
}

std::vector<Csv::Record> records(const Table &table)
{
    std::vector<Csv::Record> out;
    Csv::Reader reader(table.bytes);
    if (!reader.next()) return out;
    while (auto record = reader.next(table.columns.count)) out.push_back(std::move(*record));
    return out;
}

Result run(const Table &table, const CardDocument &templateCard, const PageView &templateView,
           const Settings &settings, MergeOutput &output, const std::function<void(Progress)> &progress,
           const std::atomic_bool &cancel)
{
    Result result;
    const int threads = threadCount(settings);
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    const qsizetype batchSize = qsizetype(threads) * kBatchPerThread;

    CardNames names;
    for (const QString &taken : output.takenNames()) names.reserve(taken);
    // The rows that strict refuses: their texts do not fit the card.
    QSet<int> unfitLines;
    if (settings.strict)
        for (const Fault &f : table.unfit) unfitLines.insert(f.line);
    const CardMerge::Template from(templateCard, templateView);
    Csv::Reader reader(table.bytes);
    reader.next();
    // The next batch of good rows, named in row order.
    auto readBatch = [&] {
        std::vector<std::pair<Csv::Record, QString>> batch;
        while (qsizetype(batch.size()) < batchSize) {
            auto record = reader.next(table.columns.count);
            if (!record) break;
            if (recordFault(table, *record, from) || unfitLines.contains(record->line)) continue;
            const int nameColumn = table.columns.nameColumn;
            QString name = names.take(nameColumn >= 0 ? record->fields[nameColumn] : QString());
            batch.emplace_back(std::move(*record), std::move(name));
        }
        return batch;
    };
    std::atomic_bool failed = false;
    QString workError;
    QMutex errorLock;
    auto make = [&](const std::pair<Csv::Record, QString> &row) {
        MergedCard made = mergedCard(table, row.first.fields, from);
        made.name = row.second;
        made.line = row.first.line;
        QString error;
        if (!failed && !output.prepare(made, &error)) {
            const QMutexLocker lock(&errorLock);
            failed = true;
            workError = error;
        }
        return made;
    };
    // One job makes each batch on the calling thread, before the output takes it.
    auto start = [&](const std::vector<std::pair<Csv::Record, QString>> &batch) {
        if (threads > 1) return QtConcurrent::mapped(&pool, batch, make);
        QFutureInterface<MergedCard> made;
        made.reportStarted();
        for (const auto &row : batch) made.reportAndMoveResult(make(row));
        made.reportFinished();
        return made.future();
    };

    auto batch = readBatch();
    QFuture<MergedCard> pending = start(batch);
    while (!batch.empty()) {
        pending.waitForFinished();
        const QList<MergedCard> made = pending.results();
        auto nextBatch = readBatch();
        pending = start(nextBatch);
        for (const MergedCard &card : made) {
            if (cancel || failed) break;
            if (!output.add(card, &result.error)) break;
            ++result.made;
        }
        batch = std::move(nextBatch);
        if (cancel || failed || !result.error.isEmpty()) break;
        if (progress) progress({result.made, table.goodRows});
    }
    pending.waitForFinished();
    if (failed) result.error = workError;
    result.cancelled = cancel && result.error.isEmpty();
    if (!result.cancelled && result.error.isEmpty()) output.finish(&result.error);
    // What was drawn and not finished is dropped here, on the thread that drew it.
    if (result.cancelled || !result.error.isEmpty()) output.abandon();
    return result;
}

} // namespace MergeRun
