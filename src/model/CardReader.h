#pragma once

#include "model/CardFile.h"
#include "model/PageView.h"

#include <QImage>
#include <functional>
#include <vector>

class IniFile;

// Reading a card file onto a card and the pictures its page shows. The designer
// and penlark-card both read through here, so a card opens the same everywhere.
//
// Keys are read in the order the designer applies them to the page: background
// kind and picture, page size, background, logo, line, texts, then the QR code's
// optional section (a card without it has no code). Keys that the
// background kind does not use are not read, so their fields keep the values
// they had. A missing key, a value that does not parse and a length outside
// what a card can hold (a page side of 10 to 1000 mm, objects within two page
// sides of the page) take the default card's value.
namespace CardReader {

// Why a picture the card names is not shown: not there (or not a picture), there
// but beyond the size pictures are loaded up to, or a link that leads nowhere
// (to a missing file, or round in a loop).
enum class PictureFault { Missing, TooLarge, DeadLink };

// A picture as its source found it: a null image means it is not shown, for fault.
struct Picture {
    Picture(QImage picture = {}, PictureFault why = PictureFault::Missing) : image(std::move(picture)), fault(why) {}
    QImage image;
    PictureFault fault;
};

// Where the pictures a card names come from.
struct PictureSource {
    std::function<Picture(const QString &reference)> builtInBackground;
    std::function<Picture(const QString &reference)> libraryBackground;
    std::function<Picture(const QString &reference)> logo;
};

// A picture the card names that could not be found, or a length outside what a
// card can hold (which takes the default card's value), in the order met.
struct Problem {
    enum class Kind { MissingBackground, MissingLogo, OutOfRange };
    Kind kind;
    QString reference; // the picture as the card names it; section\key of a length
    PictureFault fault = PictureFault::Missing; // why a picture is not shown
    bool operator==(const Problem &) const = default;
};

// Reads the card into card and view. A background picture that cannot be found
// leaves a white solid page with an empty bgImg; a logo picture that cannot be
// found leaves the built-in logo while the card keeps its reference.
// Only the front is read (the card keeps no back), as the card file's 14
// sections and the QR code's hold it.
std::vector<Problem> read(const CardFile::ValueReader &values, const PictureSource &pictures, CardDocument &card,
                          PageView &view);

// Reads the whole card: the front as above, then, when the file holds any of
// the back's sections, the back the same way over a copy of the front just
// read. The card is left showing its front.
std::vector<Problem> read(const IniFile &ini, const PictureSource &pictures, CardDocument &card, PageView &view);

// Whether the values hold at least one key of the card file: a file with none
// (a table, a picture, any other file) is no card, though reading it would
// give the default card.
bool isCard(const CardFile::ValueReader &values);

// The values of one card file held in memory.
CardFile::ValueReader valuesOf(const IniFile &ini);

} // namespace CardReader
