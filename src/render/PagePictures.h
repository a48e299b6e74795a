#pragma once

#include "card/PageView.h"
#include "card/ProgramFolder.h"

#include <QImage>
#include <QStringList>

// The program's own pictures and the loading of a card's library pictures.
namespace PagePictures {

inline constexpr int kBuiltInBackgroundCount = 15;

QImage defaultLogo();

// The picture a library reference names; a null image when the reference is
// unsafe, the file is missing or it is no picture.
QImage libraryPicture(const ProgramFolder &folder, ProgramFolder::Library library, const QString &reference);
// Built-in background picture 0..14; a null image for any other reference.
QImage builtInBackground(const QString &reference);

// The page view of a card as the designer shows it after opening: a library
// background that is missing leaves a white page without picture (the card's
// kind and reference change accordingly); a missing logo file shows the
// built-in logo while the card keeps its reference. Each missing file is
// reported in warnings.
PageView viewForCard(CardDocument &card, const ProgramFolder &folder, QStringList *warnings);

} // namespace PagePictures
