#include "render/PagePictures.h"

#include <QFileInfo>
#include <QImageReader>

namespace PagePictures {

QImage libraryPicture(const ProgramFolder &folder, ProgramFolder::Library library, const QString &reference)
{
    const auto file = folder.libraryFile(library, reference);
    if (!file || !QFileInfo(*file).isFile()) return {};
    return QImage(*file);
}

QImage defaultLogo()
{
    static const QImage logo(QStringLiteral(":/pictures/default_logo.png"));
    return logo;
}

QImage builtInBackground(const QString &reference)
{
    bool ok = false;
    const int index = reference.trimmed().toInt(&ok);
    if (!ok || index < 0 || index >= kBuiltInBackgroundCount) return {};
    return QImage(QStringLiteral(":/pictures/background_%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

bool tooLargeToLoad(const QString &file)
{
    const QSize size = QImageReader(file).size();
    const qint64 limitBytes = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    return size.isValid() && limitBytes > 0 && qint64(size.width()) * size.height() * 4 > limitBytes;
}

namespace {

CardReader::Picture loadPicture(const ProgramFolder &folder, ProgramFolder::Library library, const QString &reference)
{
    QImage picture = libraryPicture(folder, library, reference);
    if (!picture.isNull()) return picture;
    const auto file = folder.libraryFile(library, reference);
    return {QImage(), file && tooLargeToLoad(*file)};
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
