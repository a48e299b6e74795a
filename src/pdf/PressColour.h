#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstddef>

// Colours for the printing press: sRGB as the card holds it, converted once at
// the PDF boundary into the CMYK of offset printing on coated paper through the
// press profile shipped with the program (relative colorimetric, black-point
// compensation). Black and neutral greys go to the black plate alone, and no
// colour carries more than 300 % of ink. Safe to use from any thread.
namespace PressColour {

// Ink per plate, 0 to 1.
struct Cmyk {
    double c = 0;
    double m = 0;
    double y = 0;
    double k = 0;

    double total() const { return c + m + y + k; }
};

// The most ink a colour may carry, all plates together (300 %). The press
// profile is made with this limit (its darkest colour carries 290 %), so the
// conversion keeps to it without scaling.
inline constexpr double kInkLimit = 3.0;

// The press profile's output condition, as a PDF's output intent names it.
inline constexpr char kOutputCondition[] = "FOGRA39";
inline constexpr char kOutputConditionInfo[] = "Coated FOGRA39 (ISO 12647-2:2004), 300% total ink";
inline constexpr char kRegistry[] = "http://www.color.org";

// A flat colour of a text, a line or the page (0 to 255 a channel).
Cmyk flatColour(int red, int green, int blue);

// Pixels of a picture: count pixels of 8-bit RGB into as many of 8-bit CMYK.
void convertPixels(const uchar *rgb, uchar *cmyk, std::size_t count);

// The press profile itself (an ICC output profile, CMYK).
QByteArray profileData();

} // namespace PressColour
