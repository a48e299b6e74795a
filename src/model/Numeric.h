#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Numbers as the user types them and as card files store them.
namespace Numeric {

// One millimetre in twips.
inline constexpr double kTwipsPerMm = 56.7;

// Rounds to the nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the range of the result saturate.
std::int64_t roundHalfEven(double value);
int roundToInt(double value);

// The numeric test used for every number the user types: optional blanks around,
// an optional sign, digits with at most one decimal point, an optional exponent.
bool isNumeric(const QString &text);

// The value of text that passes isNumeric and fits a double; nothing otherwise.
std::optional<double> parseNumber(const QString &text);

// Decimal text of a single-precision value: at most 7 significant digits,
// "." as decimal point, never an exponent ("5443", "56.7", "5443.2").
QString formatSingle(float value);

// Millimetres and twips as the page panel converts them.
int mmToTwips(double mm);
int twipsToMm(double twips);

} // namespace Numeric
