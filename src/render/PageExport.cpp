#include "render/PageExport.h"

#include "render/PageGeometry.h"
#include "render/PageRenderer.h"
#include "model/Numeric.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace PageExport {

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error) *error = reason;
    return false;
}

// Encodes in memory first: the encoder never meets a failing disk (libpng
// would complain on stderr), and the file gets the finished bytes.
bool writeFormat(const QImage &image, const QString &path, const QByteArray &format, QString *error)
{
    if (image.isNull()) return fail(error, QStringLiteral("the picture could not be made (out of memory)"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) return fail(error, writer.errorString());
    return FileAccess::writeBytesAtomically(path, buffer.data(), error);
}

} // namespace

bool writeBmp(const QImage &image, const QString &path, QString *error)
{
    return writeFormat(image.convertToFormat(QImage::Format_RGB888), path, "bmp", error);
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
