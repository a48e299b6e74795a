#include "PagePictures.h"

#include <QFileInfo>

namespace PagePictures {

namespace {

void loadBackground(CardDocument &card, const ProgramFolder &folder, PageView &view, QStringList *warnings)
{
    CardPage &page = card.page;
    if (page.isBg == BackgroundKind::BuiltInImage) {
        view.background = builtInBackground(page.bgImg);
    } else if (page.isBg == BackgroundKind::LibraryImage) {
        view.background = libraryPicture(folder, ProgramFolder::Library::Backgrounds, page.bgImg);
        if (view.background.isNull()) {
            if (warnings) *warnings << QStringLiteral("background picture not found: %1").arg(page.bgImg);
            page.isBg = BackgroundKind::SolidColour;
            page.bgColor = Colour::kWhite;
            page.bgImg.clear();
        }
    }
}

void loadLogo(const CardDocument &card, const ProgramFolder &folder, PageView &view, QStringList *warnings)
{
    if (card.logo.img.isEmpty()) return;
    view.logo = libraryPicture(folder, ProgramFolder::Library::Logos, card.logo.img);
    if (view.logo.isNull() && warnings)
        *warnings << QStringLiteral("logo picture not found: %1").arg(card.logo.img);
}

} // namespace

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

PageView viewForCard(CardDocument &card, const ProgramFolder &folder, QStringList *warnings)
{
    PageView view;
    loadBackground(card, folder, view, warnings);
    loadLogo(card, folder, view, warnings);
    return view;
}

} // namespace PagePictures
