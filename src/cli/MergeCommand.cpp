#include "cli/MergeCommand.h"

#include "cli/CardTool.h"
#include "merge/MergeRun.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

namespace MergeCommand {

namespace {

QString faultText(const MergeRun::Fault &f)
{
    using Kind = MergeRun::Fault::Kind;
    switch (f.kind) {
    case Kind::FieldCount:
        return QStringLiteral("line %1: %2 fields where the header has %3").arg(f.line).arg(f.fields).arg(f.expected);
    case Kind::UnterminatedQuote:
        return QStringLiteral("line %1, column %2: the quote is never closed").arg(f.line).arg(f.column);
    case Kind::BadBytes:
        return QStringLiteral("line %1, column %2: bytes that are neither UTF-8 nor GBK").arg(f.line).arg(f.column);
    case Kind::TooLong:
        return QStringLiteral("line %1, column %2: the text is longer than %3 characters")
            .arg(f.line).arg(f.column).arg(CardMerge::kMaxText);
    case Kind::NoHeader: return QStringLiteral("the table is empty; its first line must name the columns");
    case Kind::UnknownColumns:
        return QStringLiteral("columns that fill no text: %1 (understood: %2; --ignore-unknown leaves them unused)")
            .arg(f.names.join(QStringLiteral(", ")), CardMerge::understoodNames());
    case Kind::DuplicateColumns:
        return QStringLiteral("columns that fill a text another column fills already: %1")
            .arg(f.names.join(QStringLiteral(", ")));
    case Kind::NoNameColumn: return QStringLiteral("the table has no column \"%1\"").arg(f.names.value(0));
    case Kind::TextOffCard:
        return QStringLiteral("line %1, column %2 (%3): the text runs past the card's trim lines")
            .arg(f.line).arg(f.column).arg(f.names.value(0));
    case Kind::TextOverlap:
        return QStringLiteral("line %1, column %2 (%3): the text covers %4")
            .arg(f.line).arg(f.column).arg(f.names.value(0), f.names.value(1));
    case Kind::NoTextColumns:
        return QStringLiteral("no column fills a text of the card: %1 (understood: %2)")
            .arg(f.names.join(QStringLiteral(", ")), CardMerge::understoodNames());
    case Kind::MixedEncoding:
        return QStringLiteral("line %1: %2 text in a table that is otherwise %3")
            .arg(f.line).arg(f.names.value(0), f.names.value(1));
    case Kind::NoRows: return QStringLiteral("no row below the header can be made into a card");
    case Kind::NoBack:
        return QStringLiteral("columns for the back of a template that has no back: %1 (give the template a back first)")
            .arg(f.names.join(QStringLiteral(", ")));
    }
    return {};
}

QString duration(double seconds)
{
    const qint64 s = qint64(seconds + 0.5);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

// A bar with cards done, cards per second and time left, redrawn in place at
// most five times a second.
class ProgressBar
{
public:
    explicit ProgressBar(QTextStream &err) : m_err(err) { m_clock.start(); }

    void show(MergeRun::Progress p, bool last = false)
    {
        if (!last && m_shown.isValid() && m_shown.elapsed() < 200) return;
        m_shown.start();
        const double seconds = std::max(m_clock.elapsed() / 1000.0, 0.001);
        const double rate = p.done / seconds;
        const int filled = p.total > 0 ? int(kWidth * p.done / p.total) : kWidth;
        const QString left = rate > 0 ? duration((p.total - p.done) / rate) : QStringLiteral("?");
        m_err << '\r' << '[' << QString(filled, u'#') << QString(kWidth - filled, u'-') << "] " << p.done << '/'
              << p.total << "  " << qint64(rate) << " cards/s  " << left << " left ";
        if (last) m_err << '\n';
        m_err.flush();
    }

private:
    static constexpr int kWidth = 30;
    QTextStream &m_err;
    QElapsedTimer m_clock;
    QElapsedTimer m_shown;
};

// The rows with texts that do not fit the card.
qsizetype unfitRows(const MergeRun::Table &table)
{
    QSet<int> lines;
    for (const MergeRun::Fault &fault : table.unfit) lines.insert(fault.line);
    return lines.size();
}

QString blockText(SheetCopies copies) { return QStringLiteral("%1 x %2").arg(copies.across).arg(copies.down); }

// A sheet whose block of cards runs off the A4 page would lose cards: it is
// refused, naming the largest block that fits.
bool sheetFits(const Request &r, const CardDocument &card, QTextStream &err)
{
    const SheetCopies largest = MergeOutputs::largestSheet(card, r.trim, r.marks);
    if (r.sheets->across <= largest.across && r.sheets->down <= largest.down) return true;
    err << "penlark-card: a block of " << blockText(*r.sheets) << " cards does not fit the A4 page; ";
    if (largest.across < 1 || largest.down < 1)
        err << "not even one card does";
    else
        err << "the largest that fits is " << blockText(largest);
    const SheetCopies trimmed = MergeOutputs::largestSheet(card, true, r.marks);
    if (!r.trim && (trimmed.across > largest.across || trimmed.down > largest.down) && trimmed.across > 0 &&
        trimmed.down > 0)
        err << " (" << blockText(trimmed) << " with --trim)";
    err << "; nothing written" << Qt::endl;
    return false;
}

std::unique_ptr<MergeOutput> openOutput(const Request &r, const QString &title, QString *error)
{
    if (!CardTool::isPdf(r.output)) return MergeOutputs::cardFolder(r.output, error);
    const auto colours = r.cmyk ? PrintShopPdf::Colours::Cmyk : PrintShopPdf::Colours::Rgb;
    if (r.sheets) return MergeOutputs::sheetPdf(r.output, *r.sheets, r.trim, r.marks, title, error, colours);
    return MergeOutputs::cardPdf(r.output, PrintShopPdf::formFor(r.trim, r.marks), title, error, colours);
}

} // namespace

int run(const Request &r, const std::atomic_bool &cancel, QTextStream &out, QTextStream &err)
{
    const auto opened = CardTool::openCard(r.templateCard, r.programFolder, err);
    if (!opened) return 1;
    if (r.sheets && !sheetFits(r, opened->card, err)) return 2;
    const auto bytes = CardTool::readFile(r.table, MergeRun::kLargestTable, err);
    if (!bytes) return 1;
    const MergeRun::Settings settings{r.nameColumn, r.ignoreUnknown, r.skipBad, r.jobs, r.strict};
    const MergeRun::Table table = MergeRun::check(*bytes, opened->card, settings);
    const bool refused = table.refused(settings);
    for (const MergeRun::Fault &fault : table.faults)
        err << "penlark-card: " << r.table << ": " << (refused ? "" : "skipped ") << faultText(fault) << Qt::endl;
    if (!r.strict)
        for (const MergeRun::Fault &fault : table.unfit)
            err << "penlark-card: " << r.table << ": warning: " << faultText(fault) << Qt::endl;
    if (refused) {
        err << "penlark-card: nothing written" << Qt::endl;
        return 1;
    }
    QString error;
    auto output = openOutput(r, QFileInfo(r.table).completeBaseName(), &error);
    if (!output) return CardTool::cannotWrite(r.output, error, err);
    ProgressBar bar(err);
    std::function<void(MergeRun::Progress)> progress;
    if (r.showProgress) progress = [&bar](MergeRun::Progress p) { bar.show(p); };
    const MergeRun::Result result =
        MergeRun::run(table, opened->card, opened->view, settings, *output, progress, cancel);
    if (r.showProgress) bar.show({result.made, table.goodRows}, true);
    // A signal during the last step drops the output all the same.
    if (result.cancelled || cancel) {
        err << "penlark-card: interrupted; nothing written" << Qt::endl;
        return 1;
    }
    if (!result.error.isEmpty() || !output->commit(&error))
        return CardTool::cannotWrite(r.output, result.error.isEmpty() ? error : result.error, err);
    out << "made " << result.made << " cards in " << r.output;
    if (!r.strict && !table.unfit.empty())
        out << "; " << unfitRows(table) << " of them with texts that do not fit the card (listed above; --strict refuses them)";
    out << Qt::endl;
    return 0;
}

} // namespace MergeCommand
