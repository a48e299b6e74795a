#include "merge/MergeOutput.h"

#include "pdf/PrintShopPdf.h"

#include "model/CardFile.h"
#include "model/FileAccess.h"
#include "model/IniFile.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "render/PrintSheet.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

bool MergeOutput::prepare(MergedCard &, QString *) { return true; }

namespace MergeOutputs {

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error) *error = reason;
    return false;
}

const QString kCardSuffix = QStringLiteral(".pnk");
constexpr double kBackgroundDpi = 300;

// A run works in a hidden entry beside its target, ".penlark-merge-XXXXXX" (a
// folder of card files or the PDF being written), and holds the lock file
// ".penlark-merge-XXXXXX.lock" beside it while it runs, so that a later run
// tells the leftovers of a run that was killed from the work of one running.
const QString kWorkTemplate = QStringLiteral(".penlark-merge-XXXXXX");
const QString kLockSuffix = QStringLiteral(".lock");
// Written into a folder of cards before they are moved into an existing
// folder: the target's name and the card files, so that the move is finished
// by the next run when this one is killed halfway.
const QString kJournal = QStringLiteral("journal");

QString lockPath(const QString &work) { return work + kLockSuffix; }

// Whether the run that made work has ended without removing it: its lock is
// free, or, with no lock file, work is older than this run.
bool runHasEnded(const QString &work, QLockFile &lock, const QDateTime &runStart)
{
    if (!QFileInfo::exists(lockPath(work))) return QFileInfo(work).lastModified() < runStart;
    lock.setStaleLockTime(0);
    return lock.tryLock(0);
}

// A name of an entry in a folder, not a path that leaves it.
bool isEntryName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && QFileInfo(name).fileName() == name;
}

// Moves in the cards of a killed run that had decided to commit.
void finishMove(const QDir &parent, const QDir &work)
{
    QFile file(work.filePath(kJournal));
    if (!file.open(QIODevice::ReadOnly)) return;
    QDataStream journal(&file);
    QString target;
    QStringList names;
    journal >> target >> names;
    const QDir into(parent.filePath(target));
    if (journal.status() != QDataStream::Ok || !isEntryName(target) || !into.exists()) return;
    for (const QString &name : names)
        if (isEntryName(name)) QFile::rename(work.filePath(name), into.filePath(name));
}

// Clears what killed runs left in folder: a committing run's cards are moved
// in, anything else of theirs is removed. The work of runs still going is kept.
void clearLeftovers(const QString &folder)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\.penlark-merge-[A-Za-z0-9]{6})(\\.lock)?$"));
    const QDateTime runStart = QDateTime::currentDateTimeUtc();
    const QDir dir(folder);
    QSet<QString> works;
    for (const QString &entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const auto match = pattern.match(entry);
        if (match.hasMatch()) works.insert(dir.filePath(match.captured(1)));
    }
    for (const QString &work : std::as_const(works)) {
        QLockFile lock(lockPath(work));
        if (!runHasEnded(work, lock, runStart)) continue;
        const QFileInfo info(work);
        if (info.isDir() && !info.isSymLink()) {
            finishMove(dir, QDir(work));
            QDir(work).removeRecursively();
        } else {
            QFile::remove(work);
            FileAccess::removeLeftoverTemporaries(work);
        }
    }
}

// The lock of a run's work entry, taken as soon as the entry is made.
std::unique_ptr<QLockFile> lockWork(const QString &work)
{
    auto lock = std::make_unique<QLockFile>(lockPath(work));
    lock->setStaleLockTime(0);
    lock->tryLock(0);
    return lock;
}

// Card files go into a hidden folder beside the target; commit renames the
// folder, or moves the files into a folder that already exists.
class CardFolder : public MergeOutput
{
public:
    CardFolder(const QString &folder, QTemporaryDir &&work)
        : m_target(folder), m_lock(lockWork(work.path())), m_work(std::move(work))
    {
    }

    bool prepare(MergedCard &card, QString *error) override
    {
        IniFile ini;
        CardFile::write(card.card, ini);
        QFile file(m_work.filePath(card.name + kCardSuffix));
        if (!file.open(QIODevice::WriteOnly) || file.write(ini.toBytes()) < 0 || !file.flush())
            return fail(error, file.errorString());
        return true;
    }

    bool add(const MergedCard &card, QString *) override
    {
        m_names << card.name + kCardSuffix;
        return true;
    }

    QStringList takenNames() const override
    {
        QStringList names;
        for (const QFileInfo &file : QDir(m_target).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            names << file.completeBaseName();
        return names;
    }

    bool commit(QString *error) override
    {
        if (!QFileInfo::exists(m_target)) {
            if (!QDir().rename(m_work.path(), m_target))
                return fail(error, QStringLiteral("cannot rename the finished folder to %1").arg(m_target));
            m_work.setAutoRemove(false);
            return true;
        }
        return moveInto(error);
    }

private:
    // Moves every made file into the existing target, the journal written
    // first; on a failure the files moved so far go back, so the target is
    // left as it was.
    bool moveInto(QString *error)
    {
        QString reason;
        if (!writeJournal(&reason)) return fail(error, reason);
        QDir target(m_target);
        for (qsizetype i = 0; i < m_names.size(); ++i) {
            if (QFile::rename(m_work.filePath(m_names[i]), target.filePath(m_names[i]))) continue;
            for (qsizetype j = 0; j < i; ++j) QFile::rename(target.filePath(m_names[j]), m_work.filePath(m_names[j]));
            QFile::remove(m_work.filePath(kJournal));
            return fail(error, QStringLiteral("cannot move %1 into %2").arg(m_names[i], m_target));
        }
        return true;
    }

    bool writeJournal(QString *error) const
    {
        QByteArray bytes;
        QDataStream journal(&bytes, QIODevice::WriteOnly);
        journal << QFileInfo(m_target).fileName() << m_names;
        return FileAccess::writeBytesAtomically(m_work.filePath(kJournal), bytes, error);
    }

    QString m_target;
    std::unique_ptr<QLockFile> m_lock;  // released after the work folder is gone
    QTemporaryDir m_work;
    QStringList m_names;
};

// A PDF is written by the print-shop writer into a hidden file beside the
// target, which commit renames into place; dropped uncommitted, it is removed.
class PdfFile : public MergeOutput
{
public:
    explicit PdfFile(const QString &path) : m_target(path), m_work(QFileInfo(path).absoluteDir().filePath(kWorkTemplate))
    {
        // The name is kept; the writer makes the file afresh, with the
        // permissions any new file gets rather than a temporary file's.
        m_opened = m_work.open();
        if (!m_opened) return;
        m_lock = lockWork(m_work.fileName());
        m_work.close();
        QFile::remove(m_work.fileName());
    }

    // Whether the hidden file could be made.
    bool opened(QString *error) const { return m_opened || fail(error, m_work.errorString()); }

    // The text map of each side's lines, found on the worker threads.
    bool prepare(MergedCard &card, QString *) override
    {
        card.text = PrintShopPdf::sideText(card.card, card.view, CardSide::Front);
        if (card.card.hasBack()) card.backText = PrintShopPdf::sideText(card.card, card.view, CardSide::Back);
        return true;
    }

    bool commit(QString *error) override
    {
        if (std::rename(QFile::encodeName(m_work.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
            return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
        m_work.setAutoRemove(false);
        return true;
    }

protected:
    QString m_target;
    std::unique_ptr<QLockFile> m_lock;  // released after the hidden file is gone
    QTemporaryFile m_work;
    bool m_opened = false;
};

// The writer is begun, drawn and ended on the thread that adds the cards: Qt's
// PDF engine embeds the fonts of that thread when the drawing ends.
class CardPdf : public PdfFile
{
public:
    CardPdf(const QString &path, PrintShopPdf::Form form, const QString &title, PrintShopPdf::Colours colours)
        : PdfFile(path), m_writer(std::in_place, m_work.fileName(), PrintShopPdf::Options{form, title, colours})
    {
    }

    bool add(const MergedCard &card, QString *error) override
    {
        if (m_writer->addCard(card.card, card.view, card.text, card.backText)) return true;
        return fail(error, QStringLiteral("cannot draw a PDF page"));
    }

    bool finish(QString *error) override { return m_writer->finish(error); }
    void abandon() override { m_writer.reset(); }

private:
    std::optional<PrintShopPdf::Writer> m_writer;
};

// A4 portrait sheets: the cards of a sheet are gathered, then drawn as one page.
class SheetPdf : public PdfFile
{
public:
    SheetPdf(const QString &path, SheetCopies copies, bool trim, bool marks, const QString &title,
             PrintShopPdf::Colours colours)
        : PdfFile(path), m_copies(copies), m_trim(trim), m_marks(marks),
          m_document(std::in_place, m_work.fileName(), title, PrintShopPdf::Document::kPagesPerPart, colours)
    {
    }

    bool add(const MergedCard &card, QString *error) override
    {
        if (m_positions.empty()) start(card);
        m_sheet.push_back(card);
        if (m_sheet.size() < m_positions.size()) return true;
        return addSheet(error);
    }

    bool finish(QString *error) override
    {
        if (!m_sheet.empty() && !addSheet(error)) return false;
        return m_document->finish(error);
    }

    void abandon() override { m_document.reset(); }

private:
    static constexpr int kTwipsPerPixel = int(PageGeometry::kScreenTwipsPerPixel);

    // The layout of the first card holds for all: a merge keeps the template's page.
    void start(const MergedCard &card)
    {
        m_region = SheetPicture::shownRegion(card.card, m_trim);
        const QSize outer = PrintSheet::cardOuterSize(m_region.size() * kTwipsPerPixel);
        m_positions = PrintSheet::copyPositions(outer, m_copies.across, m_copies.down);
        m_block = QRect(m_marks ? QPoint(PrintShopPdf::kSlugTwips, PrintShopPdf::kSlugTwips) : QPoint(0, 0),
                        PrintSheet::blockSize(outer, m_copies.across, m_copies.down));
        // Cut lines run along every trim edge of the copies.
        m_cuts = PrintShopPdf::cutLines(m_positions, m_block.topLeft(), SheetPicture::trimTwips(card.card, m_region));
        m_background = PageRenderer::vectorBackground(card.card, card.view, kBackgroundDpi);
        if (!card.card.hasBack()) return;
        // Each back stands behind its front when the paper is turned over on its long edge.
        m_backPositions = PrintSheet::turnedOver(m_positions, m_region.width() * kTwipsPerPixel,
                                                 PrintSheet::kSheet.width() - 2 * m_block.x());
        CardDocument back = card.card;
        PageView backView = card.view;
        showSide(back, backView, CardSide::Back);
        m_backBackground = PageRenderer::vectorBackground(back, backView, kBackgroundDpi);
    }

    // The sheet of fronts, then for cards with a back the sheet of their backs.
    bool addSheet(QString *error)
    {
        const bool added = addPage(CardSide::Front) && (!m_sheet.front().card.hasBack() || addPage(CardSide::Back));
        m_sheet.clear();
        return added || fail(error, QStringLiteral("cannot draw a PDF page"));
    }

    bool addPage(CardSide side)
    {
        const bool back = side == CardSide::Back;
        PrintShopPdf::PageText texts;
        for (const MergedCard &card : m_sheet) texts += back ? card.backText : card.text;
        const PrintShopPdf::PageBoxes boxes{QRect(QPoint(0, 0), PrintSheet::kSheet), {}, {}};
        return m_document->addPage(boxes, texts, [&](QPainter &painter) {
            for (std::size_t i = 0; i < m_sheet.size(); ++i) {
                CardDocument card = m_sheet[i].card;
                PageView view = m_sheet[i].view;
                showSide(card, view, side);
                // Cut marks outside the block replace the crop marks inside every card.
                view.cropMarks = view.cropMarks && !m_marks;
                const QPoint at = (back ? m_backPositions : m_positions)[i];
                SheetPicture::paintCard(painter, card, view, m_region, m_block.topLeft() + at, 1.0,
                                        back ? m_backBackground : m_background);
            }
            if (!m_marks) return;
            if (back)
                PrintShopPdf::paintCutMarksBehind(painter, m_block, m_cuts, PrintSheet::kSheet.width());
            else
                PrintShopPdf::paintCutMarks(painter, m_block, m_cuts.xs, m_cuts.ys);
        });
    }

    SheetCopies m_copies;
    bool m_trim;
    bool m_marks;
    std::optional<PrintShopPdf::Document> m_document;  // on the adding thread, as CardPdf's writer
    QRect m_region;  // the part of the page shown, in screen pixels
    std::vector<QPoint> m_positions;
    std::vector<QPoint> m_backPositions;  // in the block, on the sheet of backs
    QRect m_block;
    PrintShopPdf::CutLines m_cuts;
    QImage m_background;
    QImage m_backBackground;
    std::vector<MergedCard> m_sheet;
};

} // namespace

namespace {

// Whether a merge can go to target (a folder of cards, or a file), said in the
// words of the tool's other refusals; clears the leftovers of killed runs beside it.
bool prepareTarget(const QFileInfo &target, bool folder, QString *error)
{
    if (!target.absoluteDir().exists())
        return fail(error, QStringLiteral("the folder %1 does not exist").arg(target.absolutePath()));
    if (folder && target.exists() && !target.isDir()) return fail(error, QStringLiteral("is a file, not a folder"));
    if (!folder && target.isDir()) return fail(error, QStringLiteral("is a folder"));
    clearLeftovers(target.absolutePath());
    return true;
}

} // namespace

std::unique_ptr<MergeOutput> cardFolder(const QString &folder, QString *error)
{
    const QFileInfo info(folder);
    if (!prepareTarget(info, true, error)) return nullptr;
    QTemporaryDir work(info.absoluteDir().filePath(kWorkTemplate));
    if (!work.isValid()) {
        fail(error, work.errorString());
        return nullptr;
    }
    // The folder becomes a category: readable by others as the library's folders
    // are, not owner-only as a temporary folder.
    QFile::setPermissions(work.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    return std::make_unique<CardFolder>(info.absoluteFilePath(), std::move(work));
}

std::unique_ptr<MergeOutput> cardPdf(const QString &path, PrintShopPdf::Form form, const QString &title,
                                     QString *error, PrintShopPdf::Colours colours)
{
    if (!prepareTarget(QFileInfo(path), false, error)) return nullptr;
    auto pdf = std::make_unique<CardPdf>(path, form, title, colours);
    if (!pdf->opened(error)) return nullptr;
    return pdf;
}

SheetCopies largestSheet(const CardDocument &card, bool trim, bool marks)
{
    const int twipsPerPixel = int(PageGeometry::kScreenTwipsPerPixel);
    const QSize outer = PrintSheet::cardOuterSize(SheetPicture::shownRegion(card, trim).size() * twipsPerPixel);
    // Marks stand in a slug on every side of the block.
    const QSize room = PrintSheet::kSheet - (marks ? QSize(2, 2) * PrintShopPdf::kSlugTwips : QSize());
    return {room.width() / outer.width(), room.height() / outer.height()};
}

std::unique_ptr<MergeOutput> sheetPdf(const QString &path, SheetCopies copies, bool trim, bool marks,
                                      const QString &title, QString *error, PrintShopPdf::Colours colours)
{
    if (!prepareTarget(QFileInfo(path), false, error)) return nullptr;
    auto pdf = std::make_unique<SheetPdf>(path, copies, trim, marks, title, colours);
    if (!pdf->opened(error)) return nullptr;
    return pdf;
}

} // namespace MergeOutputs
