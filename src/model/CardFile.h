#pragma once

#include "model/CardDocument.h"
#include "model/PageView.h"

#include <QString>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

class IniFile;

// The card file (".pnk"): 14 sections, 119 keys, one per stored field of the
// card document's front. A card with a back keeps it in sections of the same
// keys after them, named with "b" for the front's "c" ("bPage", "bName" ...),
// without the page size, which is the card's. Values are written as decimal text of singles (at most 7
// significant digits, no exponent), signed decimal colours, "True"/"False", the
// background kind as one digit, and texts as held.
namespace CardFile {

// A stored field of a document, typed by how its value is written.
using FieldRef = std::variant<float *, Colour::Value *, bool *, BackgroundKind *, QString *>;

struct Key {
    QString section;
    QString name;    // spelled as a save writes it
    std::function<FieldRef(CardDocument &)> field;
};

// The 119 keys in the order a save writes them.
const std::vector<Key> &keys();

// The optional section of a card's QR code ("cQR": visible, left, top, size),
// written after the 119 keys only when the card has a code. Its fields are
// reached through the document's code, which must be there.
extern const QString kQrCodeSection;
const std::vector<Key> &qrCodeKeys();

// The key of that section and name in any letter case, the QR code's included;
// null for a name that is not a key of the card file.
const Key *findKey(const QString &section, const QString &name);

// Text of a field as the file holds it.
QString formatField(const FieldRef &field);

// Sets the field from its file text; false (field unchanged) when the text does
// not parse for the field's kind.
bool parseField(const QString &text, const FieldRef &field);

// Copies the value of one field to the same field of another document.
void copyField(const FieldRef &from, const FieldRef &to);

// What the page panel adds to the document when a card is saved while a picture
// covers the page: the colour option selected beneath it (solid or gradient), and
// whether the option that removes the picture is ticked.
struct PageOptions {
    BackgroundKind colourOption = BackgroundKind::SolidColour;
    bool removePicture = false;
};

// Derives the stored background: a picture that stays keeps its kind and
// reference; otherwise the kind is a colour kind (the colour option's, when a
// picture is removed) and the side's picture reference is cleared.
void prepareForSave(CardFace &face, const PageOptions &options);
// The same for each side of the card with the options its view holds.
void prepareForSave(CardDocument &doc, const PageView &view);

// The back's section that holds the keys of a front section.
QString backSection(const QString &frontSection);
// Whether the key is one of the page size, which only the front's section holds.
bool isPageSize(const Key &key);

using ValueWriter = std::function<void(const QString &section, const QString &key, const QString &value)>;
using ValueReader = std::function<std::optional<QString>(const QString &section, const QString &key)>;

// Writes every key of the front, in order, through the writer, then the QR
// code's section when the front has a code; then the same of the back when the
// card has one. (Reading is CardReader's.)
void write(const CardDocument &doc, const ValueWriter &writer);

// The same into a file's image; a side without a code, and a card without a
// back, also drop the sections of them the file held, so they do not come back
// when it is read.
void write(const CardDocument &doc, IniFile &ini);

} // namespace CardFile
