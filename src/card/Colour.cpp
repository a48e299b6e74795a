#include "Colour.h"

#include "Numeric.h"

namespace Colour {

QColor toQColor(Value v) { return QColor(red(v), green(v), blue(v)); }

Value fromQColor(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return fromRgb(rgb.red(), rgb.green(), rgb.blue());
}

std::optional<Value> parse(const QString &text)
{
    const auto v = Numeric::parseNumber(text);
    if (!v) return std::nullopt;
    const std::int64_t n = Numeric::roundHalfEven(*v);
    if (n < INT32_MIN || n > std::int64_t(UINT32_MAX)) return std::nullopt;
    return Value(std::uint32_t(n));
}

} // namespace Colour
