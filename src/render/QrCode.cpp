#include "render/QrCode.h"

#include "model/Numeric.h"
#include "model/VCard.h"
#include "render/PageGeometry.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <qrencode.h>

#include <algorithm>
#include <cmath>

namespace QrCode {

namespace {

// Module edges along one side: exact, or on whole device units.
std::vector<double> edges(double from, double length, int modules, bool whole)
{
    std::vector<double> e(std::size_t(modules) + 1);
    for (int i = 0; i <= modules; ++i) {
        const double at = from + length * i / modules;
        e[std::size_t(i)] = whole ? Numeric::roundToInt(at) : at;
    }
    return e;
}

// Calls run(y, from, to) for every horizontal run of dark modules [from, to) in row y.
template <typename Run>
void forEachRun(const Symbol &symbol, Run run)
{
    for (int y = 0; y < symbol.width(); ++y) {
        for (int x = 0; x < symbol.width();) {
            const int from = x;
            while (x < symbol.width() && symbol.dark(x, y)) ++x;
            if (x > from) run(y, from, x);
            else ++x;
        }
    }
}

// The dark modules as one path of horizontal runs, so a PDF viewer shows no
// seams between neighbouring squares.
QPainterPath darkModules(const Symbol &symbol, const std::vector<double> &xs, const std::vector<double> &ys)
{
    QPainterPath path;
    const auto at = [](const std::vector<double> &e, int module) { return e[std::size_t(module + kQuietZone)]; };
    forEachRun(symbol, [&](int y, int from, int to) {
        if (at(ys, y + 1) > at(ys, y)) path.addRect(QRectF(QPointF(at(xs, from), at(ys, y)), QPointF(at(xs, to), at(ys, y + 1))));
    });
    return path;
}

void fillSymbol(QPainter &painter, const Symbol &symbol, const QRectF &rect, bool wholeUnits)
{
    const int n = symbol.modules();
    const auto xs = edges(rect.left(), rect.width(), n, wholeUnits);
    const auto ys = edges(rect.top(), rect.height(), n, wholeUnits);
    painter.fillRect(QRectF(QPointF(xs.front(), ys.front()), QPointF(xs.back(), ys.back())), Qt::white);
    painter.fillPath(darkModules(symbol, xs, ys), Qt::black);
}

} // namespace

std::shared_ptr<const Symbol> encode(const QByteArray &data)
{
    if (data.size() > kMaxBytes) return nullptr;
    QRcode *code = QRcode_encodeData(int(data.size()), reinterpret_cast<const unsigned char *>(data.constData()), 0,
                                     QR_ECLEVEL_M);
    if (!code) return nullptr;
    std::vector<bool> dark(std::size_t(code->width) * std::size_t(code->width));
    for (std::size_t i = 0; i < dark.size(); ++i) dark[i] = code->data[i] & 1;
    auto symbol = std::make_shared<const Symbol>(code->width, std::move(dark));
    QRcode_free(code);
    return symbol;
}

std::shared_ptr<const Symbol> forCard(const CardDocument &card)
{
    // The vCard comes from the texts' captions and whether they show, nothing
    // else; repaints of the same (a drag, of a text too) neither build it nor
    // encode it again.
    QStringList key;
    for (const CardText &text : card.frontTexts()) key << (text.visible ? u'+' : u'-') + text.caption;
    struct Last {
        std::optional<QStringList> key;
        std::shared_ptr<const Symbol> symbol;
    };
    thread_local Last last;
    if (last.key != key) last = {key, encode(VCard::fromCard(card).toUtf8())};
    return last.symbol;
}

int smallestSizeMm(int modules)
{
    int mm = std::max(kMinSizeMm, int(std::ceil(modules * kMinModuleMm)));
    // A whole-millimetre size rounds to whole twips, possibly just below.
    while (moduleMm(Numeric::mmToTwips(mm), modules) < kMinModuleMm) ++mm;
    return mm;
}

int largestSizeMm(const CardPage &page)
{
    const QSize twips = PageGeometry::pageTwips(page.width, page.height);
    const QSize trim = PageGeometry::trimRect(twips).size();
    const int side = std::min(trim.width(), trim.height());
    int mm = int(side / Numeric::kTwipsPerMm);
    while (mm > 0 && Numeric::mmToTwips(mm) > side) --mm;
    return mm;
}

int initialSizeMm(int modules, const CardPage &page)
{
    return std::min(std::max(kDefaultSizeMm, smallestSizeMm(modules)), largestSizeMm(page));
}

double moduleMm(double sizeTwips, int modules)
{
    return sizeTwips / Numeric::kTwipsPerMm / modules;
}

SizeCheck checkSize(int mm, int modules, int largestMm)
{
    if (mm < kMinSizeMm || mm > largestMm) return SizeCheck::OutOfRange;
    if (moduleMm(Numeric::mmToTwips(mm), modules) < kMinModuleMm) return SizeCheck::ModulesTooSmall;
    return SizeCheck::Fits;
}

bool isBlank(const CardDocument &card)
{
    return card.qrCode && card.qrCode->visible && !forCard(card);
}

void paint(QPainter &painter, const CardDocument &card, double deviceUnitsPerTwip)
{
    if (!card.qrCode || !card.qrCode->visible) return;
    const CardQrCode &qr = *card.qrCode;
    const QRectF rect(qr.left * deviceUnitsPerTwip, qr.top * deviceUnitsPerTwip, qr.size * deviceUnitsPerTwip,
                      qr.size * deviceUnitsPerTwip);
    if (const auto symbol = forCard(card))
        paintSymbol(painter, *symbol, rect);
    else
        painter.fillRect(rect, Qt::white); // more text than a code holds: its place stays white
}

void paintSymbol(QPainter &painter, const Symbol &symbol, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QTransform device = painter.deviceTransform();
    const bool raster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    if (raster && device.type() <= QTransform::TxScale) {
        // Module edges on whole pixels of the device, whatever the painter's scale.
        painter.resetTransform();
        fillSymbol(painter, symbol, device.mapRect(rect), true);
    } else {
        fillSymbol(painter, symbol, rect, false);
    }
    painter.restore();
}

int modulePixels(double sizeTwips, double dpi, int modules)
{
    // A hair of tolerance, so that a size of exactly n pixels a module is not
    // taken for one just below.
    return int(std::floor(sizeTwips * dpi / 1440.0 / modules + 1e-9));
}

int smallestDpi(double sizeTwips, int modules)
{
    int dpi = int(std::ceil(kMinModulePixels * modules * 1440.0 / sizeTwips - 1e-9));
    while (modulePixels(sizeTwips, dpi, modules) < kMinModulePixels) ++dpi;
    return dpi;
}

QImage toImage(const Symbol &symbol, double sizeTwips, double dpi)
{
    const int side = modulePixels(sizeTwips, dpi, symbol.modules()) * symbol.modules();
    if (side <= 0) return {};
    QImage image(side, side, QImage::Format_RGB32);
    if (image.isNull()) return image;
    const int dotsPerMeter = Numeric::roundToInt(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    paintSymbol(painter, symbol, QRectF(0, 0, side, side));
    return image;
}

QByteArray toSvg(const Symbol &symbol, double sizeMm)
{
    const int n = symbol.modules();
    const QByteArray mm = QByteArray::number(sizeMm, 'g', 10) + "mm";
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + mm + "\" height=\"" + mm +
                     "\" viewBox=\"0 0 " + QByteArray::number(n) + ' ' + QByteArray::number(n) +
                     "\" shape-rendering=\"crispEdges\">\n"
                     "<rect width=\"" + QByteArray::number(n) + "\" height=\"" + QByteArray::number(n) +
                     "\" fill=\"#ffffff\" stroke=\"none\"/>\n<path fill=\"#000000\" stroke=\"none\" d=\"";
    forEachRun(symbol, [&svg](int y, int from, int to) {
        svg += 'M' + QByteArray::number(from + kQuietZone) + ' ' + QByteArray::number(y + kQuietZone) + 'h' +
               QByteArray::number(to - from) + "v1h-" + QByteArray::number(to - from) + 'z';
    });
    return svg + "\"/>\n</svg>\n";
}

} // namespace QrCode
