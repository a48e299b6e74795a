#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

// Colours are 32-bit 0x00BBGGRR values (red in the low byte) in the model and in
// card files; they become QColor only where something is drawn.
namespace Colour {

using Value = std::int32_t;

inline constexpr Value kWhite = 16777215;
inline constexpr Value kBlack = 0;
inline constexpr Value kPanel = 14277081; // RGB 217, 217, 217

constexpr Value fromRgb(int red, int green, int blue)
{
    return Value((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int red(Value v) { return v & 0xFF; }
constexpr int green(Value v) { return (v >> 8) & 0xFF; }
constexpr int blue(Value v) { return (v >> 16) & 0xFF; }

// Values with the top bit set and 0 to 24 in the low 31 bits name a Windows
// system colour by index, as old card files may; this gives the colour the
// application palette has for it. Any other value comes back unchanged.
Value resolveSystem(Value value);

// The colour as drawn: system colours resolved, the high byte otherwise ignored.
QColor toQColor(Value v);
Value fromQColor(const QColor &c);

// A colour as files store it: signed decimal text of the 32 bits; an unsigned
// spelling of the same bits is accepted too. Nothing for other text.
std::optional<Value> parse(const QString &text);

} // namespace Colour
