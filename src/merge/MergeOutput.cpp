#include "merge/MergeOutput.h"

#include "model/CardFile.h"
#include "model/CardLibrary.h"
#include "model/IniFile.h"
#include "model/Numeric.h"
#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "render/PrintSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>

bool MergeOutput::prepare(const MergedCard &, QString *) { return true; }

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

    bool prepare(const MergedCard &card, QString *error) override
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

// A PDF written through QSaveFile: it replaces the target only when finished.
class PdfFile : public MergeOutput
{
public:
    PdfFile(const QString &path, const QString &title) : m_file(path), m_title(title) {}

    bool open(QString *error)
    {
        if (!m_file.open(QIODevice::WriteOnly)) return fail(error, m_file.errorString());
        m_pdf = std::make_unique<QPdfWriter>(&m_file);
        m_pdf->setResolution(1440); // one device unit per twip
        m_pdf->setCreator(QStringLiteral("Penlark"));
        m_pdf->setTitle(m_title);
        m_pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
        return true;
    }

    bool finish(QString *error) override
    {
        if (m_painter.isActive() && !m_painter.end()) return fail(error, QStringLiteral("cannot finish the PDF"));
        m_pdf.reset();
        return true;
    }

    bool commit(QString *error) override
    {
        if (!m_file.commit()) return fail(error, m_file.errorString());
        return true;
    }

protected:
    // Starts the next page; the first page is started by the painter.
    bool nextPage(QString *error)
    {
        if (!m_painter.isActive()) {
            if (!m_painter.begin(m_pdf.get())) return fail(error, QStringLiteral("cannot start the PDF page"));
            return true;
        }
        if (!m_pdf->newPage()) return fail(error, QStringLiteral("cannot start a PDF page"));
        return true;
    }

    // Every card of a merge shares the template's background.
    void paintCard(const MergedCard &card)
    {
        if (m_background.isNull())
            PageRenderer::paintVector(m_painter, card.card, card.view, 1.0);
        else
            PageRenderer::paintVector(m_painter, card.card, card.view, 1.0, m_background);
    }

    QSaveFile m_file;
    QString m_title;
    QImage m_background;
    std::unique_ptr<QPdfWriter> m_pdf;
    QPainter m_painter;
};

class CardPdf : public PdfFile
{
public:
    CardPdf(const QString &path, PdfForm form, const QString &title) : PdfFile(path, title), m_form(form) {}

    bool add(const MergedCard &card, QString *error) override
    {
        const QSize page = PageRenderer::pageTwips(card.card);
        const int inset = m_form == PdfForm::Trim ? PageGeometry::kTrimInset : 0;
        if (!m_painter.isActive()) {
            const QSizeF mm((page.width() - 2 * inset) / Numeric::kTwipsPerMm,
                            (page.height() - 2 * inset) / Numeric::kTwipsPerMm);
            m_pdf->setPageSize(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
            m_background = PageRenderer::vectorBackground(card.card, card.view, kBackgroundDpi);
        }
        if (!nextPage(error)) return false;
        m_painter.save();
        m_painter.translate(-inset, -inset);
        paintCard(card);
        m_painter.restore();
        return true;
    }

private:
    PdfForm m_form;
};

class SheetPdf : public PdfFile
{
public:
    SheetPdf(const QString &path, SheetCopies copies, bool trim, const QString &title)
        : PdfFile(path, title), m_copies(copies), m_trim(trim)
    {
    }

    bool add(const MergedCard &card, QString *error) override
    {
        if (!m_painter.isActive()) start(card);
        const int slot = int(m_added++ % m_positions.size());
        if (slot == 0 && !nextPage(error)) return false;
        // Each copy at its place in the block, clipped to the part of the page shown.
        const QPoint at = m_positions[std::size_t(slot)];
        m_painter.save();
        m_painter.setClipRect(QRect(at, m_region.size() * kTwipsPerPixel));
        m_painter.translate(at - m_region.topLeft() * kTwipsPerPixel);
        paintCard(card);
        m_painter.restore();
        return true;
    }

private:
    static constexpr int kTwipsPerPixel = int(PageGeometry::kScreenTwipsPerPixel);

    // The layout of the first card holds for all: a merge keeps the template's page.
    void start(const MergedCard &card)
    {
        m_pdf->setPageSize(QPageSize(QPageSize::A4));
        m_pdf->setPageOrientation(QPageLayout::Portrait);
        m_pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
        const QSize pixels = PageGeometry::pixelSize(PageRenderer::pageTwips(card.card), kTwipsPerPixel);
        m_region = m_trim ? PageGeometry::trimmedRect(pixels, kTwipsPerPixel) : QRect(QPoint(0, 0), pixels);
        const QSize outer = PrintSheet::cardOuterSize(m_region.size() * kTwipsPerPixel);
        m_positions = PrintSheet::copyPositions(outer, m_copies.across, m_copies.down);
        // The strips between copies show the page's own white.
        m_background = PageRenderer::vectorBackground(card.card, card.view, kBackgroundDpi);
    }

    SheetCopies m_copies;
    bool m_trim;
    QRect m_region;  // the part of the page shown, in screen pixels
    std::vector<QPoint> m_positions;
    qint64 m_added = 0;
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
    return std::make_unique<CardFolder>(info.absoluteFilePath(), std::move(work));
}

std::unique_ptr<MergeOutput> cardPdf(const QString &path, PdfForm form, const QString &title, QString *error)
{
    auto pdf = std::make_unique<CardPdf>(path, form, title);
    if (!pdf->open(error)) return nullptr;
    return pdf;
}

std::unique_ptr<MergeOutput> sheetPdf(const QString &path, SheetCopies copies, bool trim, const QString &title,
                                      QString *error)
{
    auto pdf = std::make_unique<SheetPdf>(path, copies, trim, title);
    if (!pdf->open(error)) return nullptr;
    return pdf;
}

} // namespace MergeOutputs
