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
#include <QtEndian>

#include <algorithm>

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

constexpr int kBmpHeaderBytes = 54;

// The file and information headers of a bottom-up 24-bit bitmap of image, whose rows
// take rowBytes each.
QByteArray bmpHeader(const QImage &image, qint64 rowBytes)
{
    const quint32 pixelBytes = quint32(rowBytes * image.height());
    QByteArray header(kBmpHeaderBytes, '\0');
    char *d = header.data();
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(kBmpHeaderBytes + pixelBytes, d + 2);
    qToLittleEndian<quint32>(kBmpHeaderBytes, d + 10);
    qToLittleEndian<quint32>(40, d + 14); // the information header's size
    qToLittleEndian<qint32>(image.width(), d + 18);
    qToLittleEndian<qint32>(image.height(), d + 22);
    qToLittleEndian<quint16>(1, d + 26); // planes
    qToLittleEndian<quint16>(24, d + 28);
    qToLittleEndian<quint32>(pixelBytes, d + 34);
    qToLittleEndian<qint32>(image.dotsPerMeterX(), d + 38);
    qToLittleEndian<qint32>(image.dotsPerMeterY(), d + 42);
    return header;
}

// Row y of a 32-bit image as blue, green, red bytes. Each pixel but the last is
// stored as four little-endian bytes, blue first, whose fourth the next one
// overwrites; the padding after the row stays as it is.
void bmpRow(const QImage &image, int y, char *out)
{
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    const int last = image.width() - 1;
    for (int x = 0; x < last; ++x) qToLittleEndian<quint32>(pixels[x], out + 3 * x);
    out[3 * last] = char(qBlue(pixels[last]));
    out[3 * last + 1] = char(qGreen(pixels[last]));
    out[3 * last + 2] = char(qRed(pixels[last]));
}

// A 32-bit image as a 24-bit bitmap, the bottom row first. The rows go out a
// megabyte at a time: a file takes large writes much faster than one row after another.
bool writeBmpBytes(const QImage &image, QIODevice &device, QString &reason)
{
    if (image.isNull()) {
        reason = QStringLiteral("the picture is empty");
        return false;
    }
    constexpr qint64 kChunkBytes = 1 << 20;
    const qint64 rowBytes = (qint64(image.width()) * 24 + 31) / 32 * 4;
    const int rowsPerChunk = int(std::clamp<qint64>(kChunkBytes / rowBytes, 1, image.height()));
    QByteArray chunk(rowsPerChunk * rowBytes, '\0');
    bool written = device.write(bmpHeader(image, rowBytes)) == kBmpHeaderBytes;
    for (int y = image.height() - 1; written && y >= 0;) {
        const int rows = std::min(rowsPerChunk, y + 1);
        for (int r = 0; r < rows; ++r, --y) bmpRow(image, y, chunk.data() + r * rowBytes);
        written = device.write(chunk.constData(), rows * rowBytes) == rows * rowBytes;
    }
    if (!written) reason = device.errorString();
    return written;
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
    // A page rendered at 32 bits is written as it is, with no copy beside it.
    const QImage page = image.convertToFormat(QImage::Format_RGB32);
    return writeAtomically(path, error, [&](QIODevice &device, QString &reason) {
        return writeBmpBytes(page, device, reason);
    });
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
