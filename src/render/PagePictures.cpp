#include "render/PagePictures.h"

#include "model/FileAccess.h"
#include "render/PageGeometry.h"

#include <QFileInfo>
#include <QImageReader>
#include <QResource>
#include <QtEndian>
#include <cmath>
#include <optional>

namespace PagePictures {

namespace {

// Why file is not read at all: a named pipe or device would hold the reader
// forever, so only regular files are opened, and none larger than a picture can be.
std::optional<ReadPicture::Problem> fileProblem(const QString &file)
{
    switch (FileAccess::regularFileProblem(file, kLargestPictureFile)) {
    case FileAccess::Problem::None: return std::nullopt;
    case FileAccess::Problem::TooLarge: return ReadPicture::Problem::TooLarge;
    default: return ReadPicture::Problem::Unreadable;
    }
}

} // namespace

double printRatio(const QImageReader &reader)
{
    bool ok = false;
    const int ppi = reader.text(kPrintResolutionKey).trimmed().toInt(&ok);
    if (!ok || ppi < kScreenPpi || ppi > kMaxPrintPpi) return 1;
    return double(ppi) / kScreenPpi;
}

ReadPicture readPictureFile(const QString &file)
{
    if (const auto problem = fileProblem(file)) return {{}, *problem};
    QImageReader reader(file);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        return {{}, ReadPicture::Problem::TooLarge};
    // Before the pixels: a PNG's text that follows them is not looked for.
    const double ratio = printRatio(reader);
    // Room for the largest picture accepted, four bytes a pixel.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
    QImage image = reader.read();
    if (image.isNull()) return {{}, ReadPicture::Problem::Unreadable};
    if (qint64(image.width()) * image.height() > kMaxPicturePixels) return {{}, ReadPicture::Problem::TooLarge};
    // The reader gives a file named like "name@2x.png" a ratio of 2; a library
    // picture is drawn at its own pixels whatever its name, unless its file
    // says it was made for print.
    image.setDevicePixelRatio(ratio);
    return {image, ReadPicture::Problem::None};
}

ReadPicture readReducedPicture(const QString &file, const std::function<Reduction(QSize, double)> &plan)
{
    if (const auto problem = fileProblem(file)) return {{}, *problem};
    QImageReader reader(file);
    const QSize size = reader.size();
    if (!size.isValid()) return {{}, ReadPicture::Problem::Unreadable};
    // A decoder that clips decodes only the part asked for, at the reduced size (JPEG).
    const bool decodesPart = reader.supportsOption(QImageIOHandler::ClipRect);
    if (qint64(size.width()) * size.height() > (decodesPart ? kMaxPicturePixels : kMaxWholeDecodedPixels))
        return {{}, ReadPicture::Problem::TooLarge};
    const double ratio = printRatio(reader);
    const Reduction reduction = plan(size, ratio);
    if (reduction.clip != QRect(QPoint(), size)) reader.setClipRect(reduction.clip);
    if (reduction.scaled != reduction.clip.size()) reader.setScaledSize(reduction.scaled);
    reader.setAllocationLimit(int(kMaxWholeDecodedPixels * 4 / (1024 * 1024)) + 1);
    QImage image = reader.read();
    if (image.isNull()) return {{}, ReadPicture::Problem::Unreadable};
    image.setDevicePixelRatio(double(image.width()) * ratio / reduction.clip.width());
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

using Reader = std::function<ReadPicture(const QString &file)>;

CardReader::Picture loadPicture(const ProgramFolder &folder, ProgramFolder::Library library, const QString &reference,
                                const Reader &read = readPictureFile)
{
    using CardReader::PictureFault;
    const auto file = folder.libraryFile(library, reference);
    if (!file) return {};
    const QFileInfo info(*file);
    if (info.isSymLink() && !info.exists()) return {{}, PictureFault::DeadLink};
    if (!info.isFile()) return {};
    const ReadPicture picture = read(*file);
    return {picture.image,
            picture.problem == ReadPicture::Problem::TooLarge ? PictureFault::TooLarge : PictureFault::Missing};
}

int ceilPixels(double pixels) { return std::max(1, int(std::ceil(pixels))); }

// A tile smaller than the page is seen whole; of a larger one only the part
// from its top-left corner that covers the page. Both at the drawing's scale,
// or the picture's own where the drawing is larger. A picture made for print
// (ratio above 1) has that many pixels a screen pixel.
Reduction backgroundReduction(QSize picture, double ratio, QSize pageTwips, double twipsPerPixel)
{
    const double pictureTwipsPerPixel = PageGeometry::kScreenTwipsPerPixel / ratio;
    const double scale = std::min(1.0, pictureTwipsPerPixel / twipsPerPixel);
    const QSize seen(ceilPixels(pageTwips.width() / pictureTwipsPerPixel),
                     ceilPixels(pageTwips.height() / pictureTwipsPerPixel));
    const QRect clip(QPoint(), picture.boundedTo(seen));
    return {clip, QSize(ceilPixels(clip.width() * scale), ceilPixels(clip.height() * scale))};
}

// The logo is stretched into its box, so its pixels need not keep their shape.
Reduction logoReduction(QSize picture, QSize boxPixels)
{
    return {QRect(QPoint(), picture), picture.boundedTo(boxPixels)};
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

CardReader::PictureSource reducedSourceFor(const ProgramFolder &folder, const CardDocument &layout,
                                           double twipsPerPixel)
{
    const QSize page = PageGeometry::pageTwips(layout.page.width, layout.page.height);
    const QSize pagePixels(ceilPixels(page.width() / twipsPerPixel), ceilPixels(page.height() / twipsPerPixel));
    const QSize logoPixels =
        QSize(ceilPixels(layout.logo.width / twipsPerPixel), ceilPixels(layout.logo.height / twipsPerPixel))
            .boundedTo(pagePixels);
    const Reader background = [page, twipsPerPixel](const QString &file) {
        return readReducedPicture(file, [&](QSize picture, double ratio) {
            return backgroundReduction(picture, ratio, page, twipsPerPixel);
        });
    };
    const Reader logo = [logoPixels](const QString &file) {
        return readReducedPicture(file, [&](QSize picture, double) { return logoReduction(picture, logoPixels); });
    };
    return {builtInBackground,
            [folder, background](const QString &reference) {
                return loadPicture(folder, ProgramFolder::Library::Backgrounds, reference, background);
            },
            [folder, logo](const QString &reference) {
                return loadPicture(folder, ProgramFolder::Library::Logos, reference, logo);
            }};
}

} // namespace PagePictures
