#include "model/Numeric.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace Numeric {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Strips blanks around text; returns the core as Latin-1 when it has the shape
// [sign] digits [. digits] [e [sign] digits], else an empty string.
std::string numericCore(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;

    qsizetype i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) ++i;
    int mantissaDigits = 0;
    while (i < end && isDigit(text[i])) { ++i; ++mantissaDigits; }
    if (i < end && text[i] == u'.') {
        ++i;
        while (i < end && isDigit(text[i])) { ++i; ++mantissaDigits; }
    }
    if (mantissaDigits == 0) return {};
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) ++i;
        int exponentDigits = 0;
        while (i < end && isDigit(text[i])) { ++i; ++exponentDigits; }
        if (exponentDigits == 0) return {};
    }
    if (i != end) return {};
    return text.mid(begin, end - begin).toStdString();
}

} // namespace

std::int64_t roundHalfEven(double value)
{
    // nearbyint rounds in the current mode, which is ties-to-even unless changed.
    const double r = std::nearbyint(value);
    constexpr double lo = double(std::numeric_limits<std::int64_t>::min());
    constexpr double hi = 9223372036854774784.0; // largest double below 2^63
    if (std::isnan(r)) return 0;
    if (r <= lo) return std::numeric_limits<std::int64_t>::min();
    if (r >= hi) return std::numeric_limits<std::int64_t>::max();
    return std::int64_t(r);
}

int roundToInt(double value)
{
    const std::int64_t r = roundHalfEven(value);
    if (r < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return int(r);
}

bool isNumeric(const QString &text)
{
    return parseNumber(text).has_value();
}

std::optional<double> parseNumber(const QString &text)
{
    std::string core = numericCore(text);
    if (core.empty()) return std::nullopt;
    if (core.front() == '+') core.erase(0, 1);
    double value = 0;
    const auto [end, ec] = std::from_chars(core.data(), core.data() + core.size(), value);
    if (ec != std::errc() || end != core.data() + core.size()) return std::nullopt;
    return value;
}

QString formatSingle(float value)
{
    if (!std::isfinite(value)) return QStringLiteral("0");
    char buffer[64];
    // Round to 7 significant digits first; general form may use an exponent.
    auto res = std::to_chars(buffer, buffer + sizeof buffer, double(value),
                             std::chars_format::general, 7);
    std::string text(buffer, res.ptr);
    if (text.find('e') != std::string::npos) {
        const double rounded = std::stod(text);
        const int exponent = int(std::floor(std::log10(std::fabs(rounded))));
        const int decimals = std::max(0, 6 - exponent);
        res = std::to_chars(buffer, buffer + sizeof buffer, rounded,
                            std::chars_format::fixed, decimals);
        text.assign(buffer, res.ptr);
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.') text.pop_back();
        }
    }
    if (text == "-0") text = "0";
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

int mmToTwips(double mm) { return roundToInt(mm * kTwipsPerMm); }

int twipsToMm(double twips) { return roundToInt(twips / kTwipsPerMm); }

} // namespace Numeric
