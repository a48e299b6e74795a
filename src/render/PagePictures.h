#pragma once

#include "model/CardReader.h"
#include "model/ProgramFolder.h"

#include <QImage>
#include <QStringList>

// The program's own pictures and the loading of a card's library pictures.
namespace PagePictures {

inline constexpr int kBuiltInBackgroundCount = 15;

QImage defaultLogo();

// Pictures larger than this many pixels are refused: decoding them would hold
// the window for seconds and take gigabytes.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;

// A picture file read for the page, or why it was refused; anything but a
// regular file is Unreadable without being opened.
struct ReadPicture {
    enum class Problem { None, Unreadable, TooLarge };
    QImage image;
    Problem problem = Problem::None;
};
ReadPicture readPictureFile(const QString &file);

// Built-in background picture 0..14; a null image for any other reference.
QImage builtInBackground(const QString &reference);

// The card reader's pictures: built-in backgrounds, and the background and
// logo libraries of the program folder.
CardReader::PictureSource sourceFor(const ProgramFolder &folder);

} // namespace PagePictures
