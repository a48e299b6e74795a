#include "model/Colour.h"

#include "model/Numeric.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace Colour {

namespace {

// System colours by their Windows index (COLOR_SCROLLBAR = 0 ... COLOR_INFOBK = 24),
// as old card files and callers may still name them. Each index reads the palette
// role that Qt's own Windows theme fills from that system colour, so a colour means
// the same on every desktop. The desktop colour has no role and keeps the classic
// Windows desktop blue.
struct SystemColour {
    QPalette::ColorGroup group;
    QPalette::ColorRole role; // NoRole: use fixed
    Value fixed;
};

constexpr std::array<SystemColour, 25> kSystemColours = {{
    {QPalette::Active, QPalette::Button, 0},                          // 0  scroll bar
    {QPalette::Active, QPalette::NoRole, fromRgb(58, 110, 165)}, // 1  desktop
    {QPalette::Active, QPalette::Highlight, 0},                       // 2  active caption
    {QPalette::Inactive, QPalette::Mid, 0},                           // 3  inactive caption
    {QPalette::Active, QPalette::Window, 0},                          // 4  menu
    {QPalette::Active, QPalette::Base, 0},                            // 5  window
    {QPalette::Active, QPalette::Shadow, 0},                          // 6  window frame
    {QPalette::Active, QPalette::WindowText, 0},                      // 7  menu text
    {QPalette::Active, QPalette::Text, 0},                            // 8  window text
    {QPalette::Active, QPalette::HighlightedText, 0},                 // 9  caption text
    {QPalette::Active, QPalette::Button, 0},                          // 10 active border
    {QPalette::Inactive, QPalette::Button, 0},                        // 11 inactive border
    {QPalette::Active, QPalette::Dark, 0},                            // 12 MDI workspace
    {QPalette::Active, QPalette::Highlight, 0},                       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText, 0},                 // 14 highlight text
    {QPalette::Active, QPalette::Button, 0},                          // 15 button face
    {QPalette::Active, QPalette::Dark, 0},                            // 16 button shadow
    {QPalette::Disabled, QPalette::Text, 0},                          // 17 grey text
    {QPalette::Active, QPalette::ButtonText, 0},                      // 18 button text
    {QPalette::Inactive, QPalette::Light, 0},                         // 19 inactive caption text
    {QPalette::Active, QPalette::Light, 0},                           // 20 button highlight
    {QPalette::Active, QPalette::Shadow, 0},                          // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight, 0},                        // 22 3D light
    {QPalette::Active, QPalette::ToolTipText, 0},                     // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase, 0},                     // 24 tooltip background
}};

} // namespace

Value resolveSystem(Value value)
{
    const std::uint32_t index = std::uint32_t(value) & 0x7FFFFFFFu;
    if (value >= 0 || index >= kSystemColours.size())
        return value;
    const SystemColour &entry = kSystemColours[index];
    if (entry.role == QPalette::NoRole)
        return entry.fixed;
    return fromQColor(QGuiApplication::palette().color(entry.group, entry.role));
}


QColor toQColor(Value v)
{
    const Value resolved = resolveSystem(v);
    return QColor(red(resolved), green(resolved), blue(resolved));
}

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
