#include "render/PageExport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QtEndian>

#include <algorithm>

namespace PageExport {

namespace {

bool fail(QString *error, const QString &reason)
{
    if (error) *error = reason;
    return false;
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

bool writeBmp(const QImage &image, const QString &path, QString *error)
{
    // A page rendered at 32 bits is written as it is, with no copy beside it.
    const QImage page = image.convertToFormat(QImage::Format_RGB32);
    return writeAtomically(path, error, [&](QIODevice &device, QString &reason) {
        return writeBmpBytes(page, device, reason);
    });
}

// Encodes in memory first: the encoder never meets a failing disk (libpng
// would complain on stderr), and the file gets the finished bytes.
bool writeImage(const QImage &image, const QString &path, const QByteArray &format, QString *error)
{
    if (image.isNull()) return fail(error, QStringLiteral("the picture could not be made (out of memory)"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) return fail(error, writer.errorString());
    return FileAccess::writeBytesAtomically(path, buffer.data(), error);
}

bool writeImage(const QImage &image, const QString &path, QString *error)
{
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format == "bmp") return writeBmp(image, path, error);
    if (!QImageWriter::supportedImageFormats().contains(format))
        return fail(error, QStringLiteral("unsupported picture format \"%1\"").arg(QString::fromLatin1(format)));
    return writeImage(image, path, format, error);
}

} // namespace PageExport
