#pragma once

#include "model/CardReader.h"
#include "model/ProgramFolder.h"

#include <QImage>
#include <QStringList>

// The program's own pictures and the loading of a card's library pictures.
namespace PagePictures {

inline constexpr int kBuiltInBackgroundCount = 15;

QImage defaultLogo();

// The picture a library reference names; a null image when the reference is
// unsafe, the file is missing or it is no picture.
QImage libraryPicture(const ProgramFolder &folder, ProgramFolder::Library library, const QString &reference);
// Whether file holds a picture larger than pictures are loaded up to (Qt's
// image allocation limit), judged from its header without loading it.
bool tooLargeToLoad(const QString &file);
// Built-in background picture 0..14; a null image for any other reference.
QImage builtInBackground(const QString &reference);

// The card reader's pictures: built-in backgrounds, and the background and
// logo libraries of the program folder.
CardReader::PictureSource sourceFor(const ProgramFolder &folder);

} // namespace PagePictures
