#include "Colour.h"

namespace Colour {

QColor toQColor(Value v) { return QColor(red(v), green(v), blue(v)); }

Value fromQColor(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return fromRgb(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace Colour
