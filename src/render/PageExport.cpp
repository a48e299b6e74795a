#include "render/PageExport.h"

#include <QFileInfo>
#include <QImageWriter>
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

} // namespace PageExport
