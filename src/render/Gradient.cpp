#include "render/Gradient.h"

#include "card/Numeric.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPoint>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace {

// System colours by their Windows index (COLOR_SCROLLBAR = 0 ... COLOR_INFOBK = 24),
// as old card files and callers may still name them. Each index reads the palette
// role that Qt's own Windows theme fills from that system colour, so a colour means
// the same on every desktop. The desktop colour has no role and keeps the classic
// Windows desktop blue.
struct SystemColour {
    QPalette::ColorGroup group;
    QPalette::ColorRole role; // NoRole: use fixed
    Colour::Value fixed;
};

constexpr std::array<SystemColour, 25> kSystemColours = {{
    {QPalette::Active, QPalette::Button, 0},                          // 0  scroll bar
    {QPalette::Active, QPalette::NoRole, Colour::fromRgb(58, 110, 165)}, // 1  desktop
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

Colour::Value resolveSystemColour(Colour::Value value)
{
    const std::uint32_t index = std::uint32_t(value) & 0x7FFFFFFFu;
    if (value >= 0 || index >= kSystemColours.size())
        return value;
    const SystemColour &entry = kSystemColours[index];
    if (entry.role == QPalette::NoRole)
        return entry.fixed;
    return Colour::fromQColor(QGuiApplication::palette().color(entry.group, entry.role));
}

// v - 360 * floor(v / 360), all in single precision.
float normalisedDegrees(float v)
{
    return v - 360.0f * std::floor(v / 360.0f);
}

// Where the sweep starts and which way it moves: the offset puts the whole sweep
// segment on the starting side of the image, its innermost end on the edge.
struct Sweep {
    double offsetX = 0;
    double offsetY = 0;
    QPoint step;
};

// The sweep moves along x when the segment is at least as steep as it is wide,
// otherwise along y; the gradient angle picks the side it starts from.
Sweep chooseSweep(float angle, clsGradient::SinglePoint p0, clsGradient::SinglePoint p1, int w, int h)
{
    const float dx = std::fabs(p0.x - p1.x);
    const float dy = std::fabs(p0.y - p1.y);
    const int quadrant = angle <= 90 ? 0 : angle <= 180 ? 1 : angle <= 270 ? 2 : 3;
    if (dy >= dx) {
        if (quadrant == 0 || quadrant == 3)
            return {-double(std::max(p0.x, p1.x)), 0, QPoint(1, 0)};
        return {w - double(std::min(p0.x, p1.x)), 0, QPoint(-1, 0)};
    }
    if (quadrant == 0 || quadrant == 1)
        return {0, h - double(std::min(p0.y, p1.y)), QPoint(0, -1)};
    return {0, -double(std::max(p0.y, p1.y)), QPoint(0, 1)};
}

QPoint placedPoint(clsGradient::SinglePoint p, const Sweep &sweep)
{
    return {Numeric::roundToInt(p.x + sweep.offsetX), Numeric::roundToInt(p.y + sweep.offsetY)};
}

// True when both points lie strictly beyond the edge the sweep moves towards.
bool pastFarEdge(QPoint a, QPoint b, QPoint step, int w, int h)
{
    if (step.x() > 0) return a.x() > w && b.x() > w;
    if (step.x() < 0) return a.x() < 0 && b.x() < 0;
    if (step.y() > 0) return a.y() > h && b.y() > h;
    return a.y() < 0 && b.y() < 0;
}

// The line list grows in blocks rather than point by point.
constexpr std::size_t kPointBlock = 1000;

// The ends of the sweep's lines in pairs, each point one step on from the point two
// before it. The list stops as soon as its last two points are past the far edge,
// so it may end with an unpaired point.
std::vector<QPoint> sweepLines(clsGradient::SinglePoint p0, clsGradient::SinglePoint p1,
                               const Sweep &sweep, int w, int h)
{
    std::vector<QPoint> points;
    points.reserve(kPointBlock);
    points.push_back(placedPoint(p0, sweep));
    points.push_back(placedPoint(p1, sweep));
    for (;;) {
        const QPoint next = points[points.size() - 2] + sweep.step;
        points.push_back(next);
        if (pastFarEdge(next, points[points.size() - 2], sweep.step, w, h))
            return points;
        if (points.size() % kPointBlock == 0)
            points.reserve(points.size() + kPointBlock);
    }
}

// The pixels of a 32-bit image, written directly.
struct Raster {
    quint32 *pixels;
    std::ptrdiff_t stride; // pixels from one row to the next
    int width;
    int height;
};

void fillRowSpan(const Raster &r, int y, int x0, int x1, quint32 pixel)
{
    x0 = std::max(x0, 0);
    x1 = std::min(x1, r.width - 1);
    if (y < 0 || y >= r.height || x0 > x1)
        return;
    std::fill_n(r.pixels + y * r.stride + x0, x1 - x0 + 1, pixel);
}

// A line seen along its major axis, where it advances one pixel per step, while the
// minor coordinate advances by rise over length steps. Tall lines have y as their
// major axis.
struct LineWalk {
    std::int64_t major0, minor0;       // first pixel
    std::int64_t length;               // steps; the end pixel is not among them
    std::int64_t rise;                 // |change of the minor coordinate|
    int majorDir, minorDir;            // +1 or -1
    bool tall;
    std::int64_t majorSize, minorSize; // image extent along each axis
    std::ptrdiff_t majorStride, minorStride;
};

LineWalk lineWalk(const Raster &r, QPoint from, QPoint to)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const auto sign = [](int v) { return v < 0 ? -1 : 1; };
    if (std::abs(dy) >= std::abs(dx)) {
        return {from.y(), from.x(), std::abs(dy), std::abs(dx), sign(dy), sign(dx), true,
                r.height, r.width, r.stride, 1};
    }
    return {from.x(), from.y(), std::abs(dx), std::abs(dy), sign(dx), sign(dy), false,
            r.width, r.height, 1, r.stride};
}

std::int64_t ceilDivPositive(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

// The minor coordinate after t steps is minor0 + minorDir * count(t), with
//   count(t) = floor((2 t rise + length - bias) / (2 length)).
// This is the nearest pixel to the true line; a line passing exactly halfway between
// two pixels lights the one with the smaller coordinate, the upper or the left one,
// as GDI's cosmetic lines do. bias makes that tie go the right way.
std::int64_t tieBias(const LineWalk &l) { return l.minorDir > 0 ? 1 : 0; }

// Steps [first, last] of a walk; first > last when there are none.
using StepRange = std::pair<std::int64_t, std::int64_t>;
constexpr StepRange kNoSteps{1, 0};

// The steps whose pixels lie inside the image.
StepRange visibleSteps(const LineWalk &l)
{
    std::int64_t first = 0;
    std::int64_t last = l.length - 1;
    // Major axis.
    if (l.majorDir > 0) {
        first = std::max(first, -l.major0);
        last = std::min(last, l.majorSize - 1 - l.major0);
    } else {
        first = std::max(first, l.major0 - l.majorSize + 1);
        last = std::min(last, l.major0);
    }
    // Minor axis: count(t) must stay within [countLo, countHi].
    const std::int64_t countLo = l.minorDir > 0 ? -l.minor0 : l.minor0 - l.minorSize + 1;
    const std::int64_t countHi = l.minorDir > 0 ? l.minorSize - 1 - l.minor0 : l.minor0;
    if (countHi < 0 || (l.rise == 0 && countLo > 0))
        return kNoSteps;
    if (l.rise == 0)
        return {first, last};
    const std::int64_t twiceLength = 2 * l.length;
    const std::int64_t bias = tieBias(l);
    if (countLo > 0)
        first = std::max(first, ceilDivPositive(twiceLength * countLo - l.length + bias, 2 * l.rise));
    last = std::min(last, (twiceLength * (countHi + 1) - l.length + bias - 1) / (2 * l.rise));
    return {first, last};
}

// Bresenham's state at one pixel of a walk: each step moves `at` by majorStep, and
// by minorStep as well whenever error reaches twiceLength.
struct WalkState {
    std::ptrdiff_t at;
    std::int64_t row;   // of the pixel at `at`
    std::int64_t error;
    std::int64_t steps; // pixels left to paint, this one included
    std::ptrdiff_t majorStep, minorStep;
    std::int64_t twiceRise, twiceLength;
};

// The state at step t, with `steps` pixels to paint from there.
WalkState stateAt(const LineWalk &l, std::int64_t t, std::int64_t steps)
{
    const std::int64_t twiceLength = 2 * l.length;
    const std::int64_t position = 2 * t * l.rise + l.length - tieBias(l);
    const std::int64_t major = l.major0 + l.majorDir * t;
    const std::int64_t minor = l.minor0 + l.minorDir * (position / twiceLength);
    return {major * l.majorStride + minor * l.minorStride, l.tall ? major : minor,
            position % twiceLength, steps, l.majorDir * l.majorStride,
            l.minorDir * l.minorStride, 2 * l.rise, twiceLength};
}

// The same pixels from the last one back to the first. Stepping back undoes the
// forward steps, which is again a forward walk on the mirrored error.
WalkState reversed(WalkState s)
{
    s.error = s.twiceLength - 1 - s.error;
    s.majorStep = -s.majorStep;
    s.minorStep = -s.minorStep;
    return s;
}

// The visible pixels of a line, walked downwards (or along one row).
WalkState downwardWalk(const LineWalk &l)
{
    const auto [first, last] = visibleSteps(l);
    if (first > last)
        return {};
    if ((l.tall ? l.majorDir : l.minorDir) > 0)
        return stateAt(l, first, last - first + 1);
    return reversed(stateAt(l, last, last - first + 1));
}

// Paints a tall line's pixels in the rows above bottom: one pixel per row.
void paintTallRows(quint32 *pixels, WalkState &s, std::int64_t bottom, quint32 pixel)
{
    const std::int64_t n = std::min(s.steps, bottom - s.row);
    std::ptrdiff_t at = s.at;
    std::int64_t error = s.error;
    for (std::int64_t i = 0; i < n; ++i) {
        pixels[at] = pixel;
        at += s.majorStep;
        error += s.twiceRise;
        if (error >= s.twiceLength) {
            error -= s.twiceLength;
            at += s.minorStep;
        }
    }
    s.at = at;
    s.error = error;
    s.row += n;
    s.steps -= n;
}

// Paints a wide line's pixels in the rows above bottom: runs along each row.
void paintWideRows(quint32 *pixels, WalkState &s, std::int64_t bottom, quint32 pixel)
{
    std::ptrdiff_t at = s.at;
    std::int64_t error = s.error;
    std::int64_t n = 0;
    while (n < s.steps) {
        pixels[at] = pixel;
        ++n;
        at += s.majorStep;
        error += s.twiceRise;
        if (error >= s.twiceLength) {
            error -= s.twiceLength;
            at += s.minorStep;
            if (++s.row == bottom)
                break;
        }
    }
    s.at = at;
    s.error = error;
    s.steps -= n;
}

// Draws one-pixel lines, each from its first point towards its second with the end
// pixel not painted; pixels outside the image are skipped without being visited.
// Sloping lines are held back and painted a band of rows at a time, so that
// neighbouring lines meet the same rows in the cache instead of each line crossing
// the whole image; every pixel still ends in the colour of the last line over it.
class LinePainter
{
public:
    explicit LinePainter(const Raster &raster) : m_raster(raster) {}

    void draw(QPoint from, QPoint to, quint32 pixel)
    {
        if (from.y() == to.y()) {
            finish();
            if (to.x() > from.x())
                fillRowSpan(m_raster, from.y(), from.x(), to.x() - 1, pixel);
            else
                fillRowSpan(m_raster, from.y(), to.x() + 1, from.x(), pixel);
            return;
        }
        const LineWalk line = lineWalk(m_raster, from, to);
        const WalkState walk = downwardWalk(line);
        if (walk.steps > 0)
            m_held.push_back({walk, line.tall, pixel});
    }

    // Paints the lines held back.
    void finish()
    {
        for (std::int64_t top = 0; top < m_raster.height && !m_held.empty(); top += kBandRows) {
            const std::int64_t bottom = std::min<std::int64_t>(top + kBandRows, m_raster.height);
            for (HeldLine &h : m_held) {
                if (h.walk.steps == 0 || h.walk.row >= bottom)
                    continue;
                if (h.tall)
                    paintTallRows(m_raster.pixels, h.walk, bottom, h.pixel);
                else
                    paintWideRows(m_raster.pixels, h.walk, bottom, h.pixel);
            }
        }
        m_held.clear();
    }

private:
    struct HeldLine {
        WalkState walk;
        bool tall;
        quint32 pixel;
    };

    static constexpr std::int64_t kBandRows = 128;

    Raster m_raster;
    std::vector<HeldLine> m_held;
};

// Line k runs from point 2k to point 2k+1 in ramp colour k. Returns the index after
// the last line, twice the number of lines drawn.
int paintLines(const Raster &r, const std::vector<QPoint> &points,
               const std::vector<Colour::Value> &ramp)
{
    LinePainter painter(r);
    std::size_t i = 0;
    for (; i + 2 <= points.size(); i += 2)
        painter.draw(points[i], points[i + 1], Colour::toQColor(ramp[i / 2]).rgb());
    painter.finish();
    return int(i);
}

bool isDirect32(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

// One channel of ramp colour i: start + i * increment with i in single precision.
int rampChannel(int start, float increment, int i)
{
    return Numeric::roundToInt(start + double(float(i)) * double(increment));
}

} // namespace

bool clsGradient::Draw(QImage &target) const
{
    // An image is not on screen while it is drawn, so there is no repainting to hold.
    const int w = target.width();
    const int h = target.height();
    if (w <= 1 || h <= 1)
        return false;
    try {
        const QImage::Format format = target.format();
        if (isDirect32(format))
            return PaintGradient(target, w, h) > 0;
        target.convertTo(QImage::Format_RGB32);
        const int drawn = PaintGradient(target, w, h);
        target.convertTo(format);
        return drawn > 0;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

int clsGradient::BlendColors(Colour::Value c1, Colour::Value c2, int steps,
                             std::vector<Colour::Value> &colours)
{
    steps = std::max(steps, 2);
    const int r1 = Colour::red(c1), g1 = Colour::green(c1), b1 = Colour::blue(c1);
    const float redStep = float(SafeDivide(Colour::red(c2) - r1, steps));
    const float greenStep = float(SafeDivide(Colour::green(c2) - g1, steps));
    const float blueStep = float(SafeDivide(Colour::blue(c2) - b1, steps));
    colours.resize(std::size_t(steps));
    colours.front() = c1;
    colours.back() = c2;
    for (int i = 1; i <= steps - 2; ++i) {
        colours[std::size_t(i)] = Colour::fromRgb(rampChannel(r1, redStep, i),
                                                  rampChannel(g1, greenStep, i),
                                                  rampChannel(b1, blueStep, i));
    }
    return steps;
}

void clsGradient::setColor1(Colour::Value value) { m_color1 = resolveSystemColour(value); }

void clsGradient::setColor2(Colour::Value value) { m_color2 = resolveSystemColour(value); }

void clsGradient::setAngle(float degrees) { m_angle = normalisedDegrees(degrees); }

int clsGradient::PaintGradient(QImage &target, int w, int h) const
{
    uchar *bits = target.bits();
    if (!bits)
        return 0;
    const Raster raster{reinterpret_cast<quint32 *>(bits), target.bytesPerLine() / 4, w, h};

    // A segment through the centre, perpendicular to the gradient and 2 pixels
    // longer than the diagonal of a square on the longer side: every line of the
    // sweep crosses the whole image.
    const SinglePoint centre{float(w / 2), float(h / 2)};
    const double longer = std::max(w, h);
    const float radius = float((std::sqrt(longer * longer + longer * longer) + 2) / 2);
    SinglePoint p0{centre.x - radius, centre.y};
    SinglePoint p1{centre.x + radius, centre.y};
    const float segmentAngle = normalisedDegrees(m_angle + 90.0f);
    RotatePoint(centre, p0, segmentAngle);
    RotatePoint(centre, p1, segmentAngle);

    const std::vector<QPoint> points = sweepLines(p0, p1, chooseSweep(m_angle, p0, p1, w, h), w, h);
    std::vector<Colour::Value> ramp;
    BlendColors(m_color1, m_color2, Numeric::roundToInt(points.size() / 2.0), ramp);
    return paintLines(raster, points, ramp);
}

void clsGradient::RotatePoint(SinglePoint centre, SinglePoint &p, float degrees)
{
    const float theta = float(degrees * 0.017453292519943278);
    const float dx = p.x - centre.x;
    const float dy = p.y - centre.y;
    const double c = std::cos(double(theta));
    const double s = std::sin(double(theta));
    p.x = float(centre.x + dx * c + dy * s);
    p.y = float(centre.y - dx * s + dy * c);
}

double clsGradient::SafeDivide(double a, double b)
{
    return b == 0 ? 0 : a / b;
}
