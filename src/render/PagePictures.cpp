#include "render/PagePictures.h"

#include "model/FileAccess.h"

#include <QFileInfo>
#include <QImageReader>
#include <QResource>
#include <QtEndian>
#include <limits>

namespace PagePictures {

ReadPicture readPictureFile(const QString &file)
{
    // A named pipe or device would hold the reader forever: only regular files are opened.
    if (FileAccess::regularFileProblem(file, std::numeric_limits<qint64>::max()) != FileAccess::Problem::None)
        return {{}, ReadPicture::Problem::Unreadable};
    QImageReader reader(file);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        return {{}, ReadPicture::Problem::TooLarge};
    // Room for the largest picture accepted, four bytes a pixel.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QImage image = reader.read();
    if (image.isNull()) return {{}, ReadPicture::Problem::Unreadable};
    if (qint64(image.width()) * image.height() > kMaxPicturePixels) return {{}, ReadPicture::Problem::TooLarge};
    return {image, ReadPicture::Problem::None};
}

QImage defaultLogo()
{
    // Kept as premultiplied pixels after their width and height (made at build
    // time from default_logo.png), drawn from where they lie without a copy.
    static const QImage logo = [] {
        const QResource raw(QStringLiteral(":/pictures/default_logo.raw"));
        const uchar *data = raw.data();
        if (!data || raw.compressionAlgorithm() != QResource::NoCompression || raw.size() < 8) return QImage();
        const int width = qFromLittleEndian<qint32>(data);
        const int height = qFromLittleEndian<qint32>(data + 4);
        if (width <= 0 || height <= 0 || raw.size() != 8 + qint64(width) * height * 4) return QImage();
        return QImage(data + 8, width, height, qsizetype(width) * 4, QImage::Format_ARGB32_Premultiplied);
    }();
    return logo;
}

QImage builtInBackground(const QString &reference)
{
    bool ok = false;
    const int index = reference.trimmed().toInt(&ok);
    if (!ok || index < 0 || index >= kBuiltInBackgroundCount) return {};
    return QImage(QStringLiteral(":/pictures/background_%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

namespace {

CardReader::Picture loadPicture(const ProgramFolder &folder, ProgramFolder::Library library, const QString &reference)
{
    const auto file = folder.libraryFile(library, reference);
    if (!file || !QFileInfo(*file).isFile()) return {};
    const ReadPicture read = readPictureFile(*file);
    return {read.image, read.problem == ReadPicture::Problem::TooLarge};
}

} // namespace

CardReader::PictureSource sourceFor(const ProgramFolder &folder)
{
    return {builtInBackground,
            [folder](const QString &reference) {
                return loadPicture(folder, ProgramFolder::Library::Backgrounds, reference);
            },
            [folder](const QString &reference) { return loadPicture(folder, ProgramFolder::Library::Logos, reference); }};
}

} // namespace PagePictures
