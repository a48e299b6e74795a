#include "render/PageExport.h"

#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "model/Numeric.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace PageExport {

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error) *error = reason;
    return false;
}

bool writeFormat(const QImage &image, const QString &path, const QByteArray &format, QString *error)
{
    return writeAtomically(path, error, [&](QIODevice &device, QString &reason) {
        QImageWriter writer(&device, format);
        if (writer.write(image)) return true;
        reason = writer.errorString();
        return false;
    });
}

} // namespace

bool writeAtomically(const QString &path, QString *error, const std::function<bool(QIODevice &, QString &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    QString reason;
    if (!write(file, reason)) {
        file.cancelWriting();
        return fail(error, reason);
    }
    if (!file.commit()) return fail(error, file.errorString());
    return true;
}

bool writeBmp(const QImage &image, const QString &path, QString *error)
{
    // Qt's writer stores a 32-bit image without alpha at 24 bits a pixel, one row at
    // a time, so a page rendered at 32 bits is written as it is, with no copy beside it.
    return writeFormat(image.convertToFormat(QImage::Format_RGB32), path, "bmp", error);
}

bool writeImage(const QImage &image, const QString &path, QString *error)
{
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format == "bmp") return writeBmp(image, path, error);
    if (!QImageWriter::supportedImageFormats().contains(format))
        return fail(error, QStringLiteral("unsupported picture format \"%1\"").arg(QString::fromLatin1(format)));
    return writeFormat(image, path, format, error);
}

bool writePdf(const CardDocument &card, const PageView &view, bool trimmed, const QString &path, QString *error)
{
    const QSize page = PageRenderer::pageTwips(card);
    const int inset = trimmed ? PageGeometry::kTrimInset : 0;
    const QSizeF sizeMm((page.width() - 2 * inset) / Numeric::kTwipsPerMm,
                        (page.height() - 2 * inset) / Numeric::kTwipsPerMm);
    return writeAtomically(path, error, [&](QIODevice &device, QString &reason) {
        QPdfWriter pdf(&device);
        pdf.setResolution(1440); // one device unit per twip
        pdf.setPageSize(QPageSize(sizeMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("Penlark 3.0"));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            reason = QStringLiteral("cannot start the PDF page");
            return false;
        }
        painter.translate(-inset, -inset);
        PageRenderer::paintVector(painter, card, view, 1.0);
        return painter.end();
    });
}

} // namespace PageExport
