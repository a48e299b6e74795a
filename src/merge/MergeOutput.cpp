#include "merge/MergeOutput.h"

#include "pdf/PrintShopPdf.h"

#include "model/CardFile.h"
#include "model/IniFile.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "render/PrintSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
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

// Card files go into a temporary folder beside the target; commit renames the
// folder, or moves the files into a folder that already exists.
class CardFolder : public MergeOutput
{
public:
    CardFolder(const QString &folder, QTemporaryDir &&work) : m_target(folder), m_work(std::move(work)) {}

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
    // Moves every made file into the existing target; on a failure the files
    // moved so far go back, so the target is left as it was.
    bool moveInto(QString *error)
    {
        QDir target(m_target);
        for (qsizetype i = 0; i < m_names.size(); ++i) {
            if (QFile::rename(m_work.filePath(m_names[i]), target.filePath(m_names[i]))) continue;
            for (qsizetype j = 0; j < i; ++j) QFile::rename(target.filePath(m_names[j]), m_work.filePath(m_names[j]));
            return fail(error, QStringLiteral("cannot move %1 into %2").arg(m_names[i], m_target));
        }
        return true;
    }

    QString m_target;
    QTemporaryDir m_work;
    QStringList m_names;
};

// A PDF is written by the print-shop writer into a hidden file beside the
// target, which commit renames into place; dropped uncommitted, it is removed.
class PdfFile : public MergeOutput
{
public:
    explicit PdfFile(const QString &path)
        : m_target(path),
          m_work(QFileInfo(path).absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(QFileInfo(path).fileName())))
    {
        // The name is kept; the writer makes the file afresh, with the
        // permissions any new file gets rather than a temporary file's.
        m_opened = m_work.open();
        m_work.close();
        QFile::remove(m_work.fileName());
    }

    // Whether the hidden file could be made.
    bool opened(QString *error) const { return m_opened || fail(error, m_work.errorString()); }

    // The text map of a card's lines, found on the worker threads.
    bool prepare(MergedCard &card, QString *) override
    {
        card.text = PrintShopPdf::pageText(PrintShopPdf::cardTexts(card.card, card.view));
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
    QTemporaryFile m_work;
    bool m_opened = false;
};

// The writer is begun, drawn and ended on the thread that adds the cards: Qt's
// PDF engine embeds the fonts of that thread when the drawing ends.
class CardPdf : public PdfFile
{
public:
    CardPdf(const QString &path, PrintShopPdf::Form form, const QString &title)
        : PdfFile(path), m_writer(std::in_place, m_work.fileName(), PrintShopPdf::Options{form, title})
    {
    }

    bool add(const MergedCard &card, QString *error) override
    {
        if (m_writer->addCard(card.card, card.view, card.text)) return true;
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
    SheetPdf(const QString &path, SheetCopies copies, bool trim, bool marks, const QString &title)
        : PdfFile(path), m_copies(copies), m_trim(trim), m_marks(marks), m_document(std::in_place, m_work.fileName(), title)
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
    }

    bool addSheet(QString *error)
    {
        PrintShopPdf::PageText texts;
        for (const MergedCard &card : m_sheet) texts += card.text;
        const PrintShopPdf::PageBoxes boxes{QRect(QPoint(0, 0), PrintSheet::kSheet), {}, {}};
        const bool added = m_document->addPage(boxes, texts, [this](QPainter &painter) {
            for (std::size_t i = 0; i < m_sheet.size(); ++i) {
                // Cut marks outside the block replace the crop marks inside every card.
                PageView view = m_sheet[i].view;
                view.cropMarks = view.cropMarks && !m_marks;
                SheetPicture::paintCard(painter, m_sheet[i].card, view, m_region, m_block.topLeft() + m_positions[i],
                                        1.0, m_background);
            }
            if (m_marks) PrintShopPdf::paintCutMarks(painter, m_block, m_cuts.xs, m_cuts.ys);
        });
        m_sheet.clear();
        return added || fail(error, QStringLiteral("cannot draw a PDF page"));
    }

    SheetCopies m_copies;
    bool m_trim;
    bool m_marks;
    std::optional<PrintShopPdf::Document> m_document;  // on the adding thread, as CardPdf's writer
    QRect m_region;  // the part of the page shown, in screen pixels
    std::vector<QPoint> m_positions;
    QRect m_block;
    PrintShopPdf::CutLines m_cuts;
    QImage m_background;
    std::vector<MergedCard> m_sheet;
};

} // namespace

std::unique_ptr<MergeOutput> cardFolder(const QString &folder, QString *error)
{
    const QFileInfo info(folder);
    if (!info.absoluteDir().exists()) {
        fail(error, QStringLiteral("the folder %1 does not exist").arg(info.absolutePath()));
        return nullptr;
    }
    QTemporaryDir work(info.absoluteDir().filePath(QStringLiteral(".penlark-merge-XXXXXX")));
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
                                     QString *error)
{
    auto pdf = std::make_unique<CardPdf>(path, form, title);
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
                                      const QString &title, QString *error)
{
    auto pdf = std::make_unique<SheetPdf>(path, copies, trim, marks, title);
    if (!pdf->opened(error)) return nullptr;
    return pdf;
}

} // namespace MergeOutputs
