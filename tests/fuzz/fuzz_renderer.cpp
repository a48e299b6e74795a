// The renderer: any card read as the designer opens it, drawn at a small size as
// a bitmap and through the vector path that PDF and printing use.
#include "FuzzSupport.h"
#include "model/CardReader.h"
#include "model/IniFile.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"

#include <QPainter>

namespace {

// 12 dots per inch: the default card is 45 x 28 pixels.
constexpr double kTwipsPerPixel = 120;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CardDocument card = CardDocument::defaultCard();
    PageView view;
    CardReader::read(CardReader::valuesOf(IniFile::fromBytes(FuzzSupport::bytesOf(data, size))),
                     PagePictures::sourceFor(FuzzSupport::programFolder()), card, view);

    const QImage bitmap = PageRenderer::renderBitmap(card, view, kTwipsPerPixel);
    PageRenderer::renderTrimmedBitmap(card, view, kTwipsPerPixel);
    if (bitmap.isNull()) return 0;
    QImage sheet(bitmap.size(), QImage::Format_RGB32);
    QPainter painter(&sheet);
    PageRenderer::paintVector(painter, card, view, 1 / kTwipsPerPixel, 1440 / kTwipsPerPixel);
    return 0;
}
