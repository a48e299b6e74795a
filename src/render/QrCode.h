#pragma once

#include "model/CardDocument.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <memory>
#include <vector>

class QPainter;

// The card's QR code: its vCard encoded by libqrencode (8-bit mode, UTF-8,
// error correction M) and drawn black on white with a quiet zone of four
// modules. On a bitmap every module edge falls on a whole device pixel; on a
// PDF or a printer the modules are exact vector squares.
namespace QrCode {

inline constexpr int kQuietZone = 4;
inline constexpr int kMinSizeMm = 10;
inline constexpr int kDefaultSizeMm = 18;
// Smaller modules are beyond what phone cameras read reliably.
inline constexpr double kMinModuleMm = 0.25;

// The symbol's modules, row by row, the quiet zone not included.
class Symbol
{
public:
    Symbol(int width, std::vector<bool> dark) : m_width(width), m_dark(std::move(dark)) {}
    int width() const { return m_width; }
    bool dark(int x, int y) const { return m_dark[std::size_t(y * m_width + x)]; }
    // Modules along one side of the drawn square, quiet zone included.
    int modules() const { return m_width + 2 * kQuietZone; }

private:
    int m_width;
    std::vector<bool> m_dark;
};

// The most 8-bit data a code holds at error correction M (version 40).
inline constexpr qsizetype kMaxBytes = 2331;

// Nothing when the data is more than a QR code holds.
std::shared_ptr<const Symbol> encode(const QByteArray &data);

// The symbol of the card's vCard. The last one is kept, so drawing the same
// card again does not encode it again.
std::shared_ptr<const Symbol> forCard(const CardDocument &card);

// Sizes in whole millimetres for a code of that many modules (quiet zone
// included): at least 10 mm and modules of at least 0.25 mm; at most the
// shorter side inside the page's trim lines.
int smallestSizeMm(int modules);
int largestSizeMm(const CardPage &page);
// The size a new code takes: 18 mm, or more when its modules need it.
int initialSizeMm(int modules, const CardPage &page);
double moduleMm(double sizeTwips, int modules);

enum class SizeCheck { Fits, OutOfRange, ModulesTooSmall };
SizeCheck checkSize(int mm, int modules, int largestMm);

// Whether the card shows a code that cannot be drawn because its texts are
// more than a code holds; the code's place then stays white.
bool isBlank(const CardDocument &card);

// Draws the card's code, when it has a visible one, at deviceUnitsPerTwip.
void paint(QPainter &painter, const CardDocument &card, double deviceUnitsPerTwip);

// Draws the symbol with its quiet zone on white filling rect (painter units).
void paintSymbol(QPainter &painter, const Symbol &symbol, const QRectF &rect);

// A bitmap code has whole pixels a module, and fewer than two do not scan.
inline constexpr int kMinModulePixels = 2;
// The whole pixels a module takes in a code of at most sizeTwips at dpi.
int modulePixels(double sizeTwips, double dpi, int modules);
// The lowest whole dpi at which such a code has kMinModulePixels a module.
int smallestDpi(double sizeTwips, int modules);

// The code alone as a bitmap at dpi, modulePixels a module (so at most
// sizeTwips; null below one pixel), or as an SVG file of sizeMm.
QImage toImage(const Symbol &symbol, double sizeTwips, double dpi);
QByteArray toSvg(const Symbol &symbol, double sizeMm);

} // namespace QrCode
