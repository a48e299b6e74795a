#include "render/PagePictures.h"

#include <QFileInfo>

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

CardReader::PictureSource sourceFor(const ProgramFolder &folder)
{
    return {builtInBackground,
            [folder](const QString &reference) {
                return libraryPicture(folder, ProgramFolder::Library::Backgrounds, reference);
            },
            [folder](const QString &reference) {
                return libraryPicture(folder, ProgramFolder::Library::Logos, reference);
            }};
}

} // namespace PagePictures
