#pragma once

#include "model/CardReader.h"
#include "model/ProgramFolder.h"

#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QStringList>

// The program's own pictures and the loading of a card's library pictures.
namespace PagePictures {

inline constexpr int kBuiltInBackgroundCount = 15;

QImage defaultLogo();

// Pictures larger than this many pixels are refused: decoding them would hold
// the window for seconds and take gigabytes.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;

// No picture file of at most that many pixels is larger than four bytes a
// pixel and a megabyte of other data: a larger file is refused unread.
inline constexpr qint64 kLargestPictureFile = kMaxPicturePixels * 4 + (1 << 20);

// Library pictures are drawn one pixel a screen pixel (96 ppi, 15 twips), the
// pixels of users' own pictures included, whatever resolution their files
// record. A picture made for print opts in to its physical size: its file
// carries the text "PenlarkPPI" (a PNG text chunk, or a JPEG comment
// "PenlarkPPI: 300") with its resolution in whole pixels per inch, 96 to 1200.
// Such a picture is read with that resolution over 96 as its device pixel
// ratio, so it covers width / ppi inches of the card; any other value is
// ignored.
inline constexpr char kPrintResolutionKey[] = "PenlarkPPI";
inline constexpr int kScreenPpi = 96;
inline constexpr int kMaxPrintPpi = 1200;
// The device pixel ratio the rule gives the picture the reader is set to.
double printRatio(const QImageReader &reader);

// A picture file read for the page, or why it was refused; anything but a
// regular file is Unreadable without being opened.
struct ReadPicture {
    enum class Problem { None, Unreadable, TooLarge };
    QImage image;
    Problem problem = Problem::None;
};
ReadPicture readPictureFile(const QString &file);

// Reading a picture only as large as a small drawing of it needs: clip is the
// part of the picture's own pixels that is drawn, scaled the pixels it is
// decoded to.
struct Reduction {
    QRect clip;
    QSize scaled;
};

// Pictures larger than this are refused where only a reduction is wanted and
// the decoder cannot decode a part at a reduced size (a PNG is inflated whole):
// a file manager's preview may take neither the seconds nor the memory.
inline constexpr qint64 kMaxWholeDecodedPixels = 8'000'000;

// A picture file decoded to the reduction plan gives for its size. The image
// keeps its natural size as its device pixel ratio (its width over the clip's),
// so that it tiles as the whole picture would at one pixel a screen pixel.
// The plan is given the picture's size and its print ratio (1 for most).
ReadPicture readReducedPicture(const QString &file, const std::function<Reduction(QSize, double)> &plan);

// Built-in background picture 0..14; a null image for any other reference.
QImage builtInBackground(const QString &reference);

// The card reader's pictures: built-in backgrounds, and the background and
// logo libraries of the program folder.
CardReader::PictureSource sourceFor(const ProgramFolder &folder);

// The same pictures for a drawing of layout's page at twipsPerPixel, each read
// only as far as it is seen there: of a background the part that covers the
// page, of a logo as many pixels as its box covers (at most the page's), never
// more pixels than the picture has.
CardReader::PictureSource reducedSourceFor(const ProgramFolder &folder, const CardDocument &layout,
                                           double twipsPerPixel);

} // namespace PagePictures
