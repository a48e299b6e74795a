// The card reader: a whole card read from any INI image, written, and read back
// to the same document.
#include "FuzzSupport.h"
#include "model/CardFile.h"
#include "model/CardReader.h"
#include "model/IniFile.h"
#include "render/PagePictures.h"

#include <cmath>

namespace {

using FuzzSupport::check;

QString asStored(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    while (text.startsWith(u' ') || text.startsWith(u'\t')) text.remove(0, 1);
    while (text.endsWith(u' ') || text.endsWith(u'\t')) text.chop(1);
    return text;
}

// The same field after a save and a read: numbers keep their 7 significant
// digits, texts lose line breaks and the blanks around them.
struct SameAfterSave {
    const CardFile::FieldRef &other;
    bool operator()(float *v) const
    {
        const float w = *std::get<float *>(other);
        return std::fabs(*v - w) <= 1e-6f * std::fabs(*v);
    }
    bool operator()(QString *v) const { return asStored(*v) == *std::get<QString *>(other); }
    template <typename T> bool operator()(T *v) const { return *v == *std::get<T *>(other); }
};

bool sameAfterSave(CardDocument &read, CardDocument &reread)
{
    for (const CardFile::Key &key : CardFile::keys())
        if (!std::visit(SameAfterSave{key.field(reread)}, key.field(read))) return false;
    if (read.qrCode.has_value() != reread.qrCode.has_value()) return false;
    for (const CardFile::Key &key : read.qrCode ? CardFile::qrCodeKeys() : std::vector<CardFile::Key>{})
        if (!std::visit(SameAfterSave{key.field(reread)}, key.field(read))) return false;
    return true;
}

struct Opened {
    CardDocument card = CardDocument::defaultCard();
    PageView view;
};

Opened open(const QByteArray &bytes)
{
    Opened opened;
    CardReader::read(IniFile::fromBytes(bytes),
                     PagePictures::sourceFor(FuzzSupport::programFolder()), opened.card, opened.view);
    return opened;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Opened first = open(FuzzSupport::bytesOf(data, size));
    IniFile written;
    CardFile::write(first.card, written);
    Opened second = open(written.toBytes());
    check(sameAfterSave(first.card, second.card), "a card read, saved and read again is the same document");
    return 0;
}
