#include "render/Gradient.h"

#include "model/Numeric.h"

#include <QImage>
#include <QPoint>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

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
Sweep chooseSweep(float angle, GradientPainter::SinglePoint p0, GradientPainter::SinglePoint p1, int w, int h)
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

QPoint placedPoint(GradientPainter::SinglePoint p, const Sweep &sweep)
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

// The list of line ends, read in pairs: each point is one step on from the point two
// before it, so line k is the first line moved by k steps, and the list is kept as
// its first line and its length. Points are added one at a time until the last two
// both lie beyond the far edge; the list may end with an unpaired point.
struct LineList {
    QPoint from;
    QPoint to;
    QPoint step;
    int points = 0;
};

LineList sweepLines(QPoint p0, QPoint p1, QPoint step, int w, int h)
{
    LineList list{p0, p1, step, 2};
    QPoint beforeLast = p0;
    QPoint last = p1;
    do {
        const QPoint next = beforeLast + step;
        beforeLast = last;
        last = next;
        ++list.points;
    } while (!pastFarEdge(last, beforeLast, step, w, h));
    return list;
}

// Calls visit(x, y) for each pixel of the one-pixel line from `from` towards `to`,
// the end pixel excluded. Each pixel is the one nearest to the true line; where the
// line passes exactly halfway between two, the upper or the left one is lit, as with
// GDI's cosmetic pens.
template <typename Visit>
void forEachLinePixel(QPoint from, QPoint to, Visit visit)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const bool tall = std::abs(dy) >= std::abs(dx);
    const std::int64_t length = std::max(std::abs(dx), std::abs(dy));
    const std::int64_t rise = std::min(std::abs(dx), std::abs(dy));
    const int majorDir = (tall ? dy : dx) < 0 ? -1 : 1;
    const int minorDir = (tall ? dx : dy) < 0 ? -1 : 1;
    int major = tall ? from.y() : from.x();
    int minor = tall ? from.x() : from.y();
    // After t steps the minor coordinate has moved by t * rise / length rounded to the
    // nearest integer, floor((2 t rise + length - bias) / (2 length)), and error holds
    // the remainder. Halves round down (bias 1) where the coordinate grows and up
    // (bias 0) where it shrinks: either way the smaller coordinate is lit.
    std::int64_t error = length - (minorDir > 0 ? 1 : 0);
    for (std::int64_t t = 0; t < length; ++t) {
        if (tall)
            visit(minor, major);
        else
            visit(major, minor);
        major += majorDir;
        error += 2 * rise;
        if (error >= 2 * length) {
            error -= 2 * length;
            minor += minorDir;
        }
    }
}

// Where a line crosses one row (or column): the range [lo, hi] of the other
// coordinate, empty when the line misses it.
struct Run {
    int lo = std::numeric_limits<int>::max();
    int hi = std::numeric_limits<int>::min();
    bool empty() const { return lo > hi; }
};

// The runs of a line on rows 0 .. count-1 (byRow) or on columns 0 .. count-1.
std::vector<Run> lineRuns(QPoint from, QPoint to, bool byRow, int count)
{
    std::vector<Run> runs(static_cast<std::size_t>(count));
    forEachLinePixel(from, to, [&](int x, int y) {
        const int at = byRow ? y : x;
        const int along = byRow ? x : y;
        if (at < 0 || at >= count)
            return;
        Run &run = runs[std::size_t(at)];
        run.lo = std::min(run.lo, along);
        run.hi = std::max(run.hi, along);
    });
    return runs;
}

// Sets n pixels from dest on. Writing four at a time as one 16-byte block lets the
// compiler use vector stores, which a plain loop does not get at -O2.
void fillPixels(quint32 *dest, std::int64_t n, quint32 pixel)
{
    const quint32 four[4] = {pixel, pixel, pixel, pixel};
    std::int64_t i = 0;
    for (; i + 4 <= n; i += 4)
        std::memcpy(dest + i, four, sizeof four);
    for (; i < n; ++i)
        dest[i] = pixel;
}

// Writes entries 0 to 3 of the four columns c to rows 0 to 3 from x on: a block of
// 4 x 4 pixels turned, with vector loads, shuffles and stores where there are any.
void turnBlock(const quint32 *const c[4], quint32 *const rows[4], int x)
{
#ifdef __SSE2__
    const auto load = [](const quint32 *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); };
    const auto store = [x](quint32 *row, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i *>(row + x), v); };
    const __m128i c0 = load(c[0]), c1 = load(c[1]), c2 = load(c[2]), c3 = load(c[3]);
    const __m128i low01 = _mm_unpacklo_epi32(c0, c1), low23 = _mm_unpacklo_epi32(c2, c3);
    const __m128i high01 = _mm_unpackhi_epi32(c0, c1), high23 = _mm_unpackhi_epi32(c2, c3);
    store(rows[0], _mm_unpacklo_epi64(low01, low23));
    store(rows[1], _mm_unpackhi_epi64(low01, low23));
    store(rows[2], _mm_unpacklo_epi64(high01, high23));
    store(rows[3], _mm_unpackhi_epi64(high01, high23));
#else
    for (int r = 0; r < 4; ++r) {
        const quint32 four[4] = {c[0][r], c[1][r], c[2][r], c[3][r]};
        std::memcpy(rows[r] + x, four, sizeof four);
    }
#endif
}

// The pixels of a 32-bit image, written directly.
struct Raster {
    quint32 *pixels;
    std::ptrdiff_t stride; // pixels from one row to the next
    int width;
    int height;

    quint32 *row(int y) const { return pixels + y * stride; }

    // Copies strip into row y from x0 on, as far as it lies inside the image.
    void copy(int y, std::int64_t x0, const std::vector<quint32> &strip) const
    {
        const std::int64_t skip = std::max<std::int64_t>(-x0, 0);
        const std::int64_t end = std::min<std::int64_t>(x0 + std::int64_t(strip.size()), width);
        if (x0 + skip < end)
            std::copy(strip.begin() + skip, strip.begin() + (end - x0), row(y) + x0 + skip);
    }
};

// Painting the lines one after the other would cross the image column-wise for
// every sloping line. The painters below write each row once instead, from the
// first line's runs, since line k is the first line moved by k steps. The sweep
// starts with the first line wholly on the near side of the image and stops only
// once the last line is wholly past the far edge, so inside the image every pixel
// lies on some line and beyond none: the line of a pixel is the distance from the
// first line along the sweep. Where lines overlap the later one wins, as it would
// if they were drawn in order.

// A sweep along x. Row y holds the first line's run [a, b] moved by k for each
// line k: moving right, x gets line x - a; moving left, line b - x.
void paintSweepAlongX(const Raster &r, const LineList &list, const std::vector<quint32> &colours)
{
    const std::vector<Run> runs = lineRuns(list.from, list.to, true, r.height);
    const bool right = list.step.x() > 0;
    const std::vector<quint32> strip = right ? colours : std::vector<quint32>(colours.rbegin(), colours.rend());
    for (int y = 0; y < r.height; ++y) {
        const Run run = runs[std::size_t(y)];
        if (!run.empty())
            r.copy(y, right ? run.lo : std::int64_t(run.hi) - std::int64_t(strip.size()) + 1, strip);
    }
}

// A sweep along y. Column x holds the first line's run [c, d] moved by k for each
// line k: moving down, (x, y) gets line y - c; moving up, line d - y. Either way a
// column is a stretch of one table of colours read downwards, (x, y) taking entry
// key(x) + y, so four rows are painted at a time from four columns' stretches: the
// pixels of a row have no order in the table to copy them by.
class SweepAlongY
{
public:
    SweepAlongY(const Raster &raster, const LineList &list, const std::vector<quint32> &colours)
        : m_raster(raster)
    {
        const std::vector<Run> runs = lineRuns(list.from, list.to, false, raster.width);
        const auto reached = [](const Run &run) { return !run.empty(); };
        m_first = int(std::find_if(runs.begin(), runs.end(), reached) - runs.begin());
        m_last = int(std::find_if(runs.rbegin(), runs.rend(), reached).base() - runs.begin());
        if (m_first < m_last)
            fillTables(runs, list.step.y() > 0, colours);
    }

    void paint() const
    {
        if (m_stretches.size() * kShortStretch <= std::size_t(m_last - m_first)) {
            for (int y = 0; y < m_raster.height; ++y) {
                for (const Stretch &s : m_stretches)
                    fillPixels(m_raster.row(y) + s.begin, s.end - s.begin, *column(s.begin, y));
            }
            return;
        }
        int y = 0;
        for (; y + 4 <= m_raster.height; y += 4)
            paintFourRows(y);
        for (; y < m_raster.height; ++y) {
            quint32 *row = m_raster.row(y);
            for (int x = m_first; x < m_last; ++x)
                row[x] = *column(x, y);
        }
    }

private:
    // Columns [begin, end) that share a key, and so a colour in every row. A nearly
    // level line has long ones, filled row by row; stretches shorter than
    // kShortStretch on average are painted four rows at a time instead.
    struct Stretch {
        int begin;
        int end;
    };
    static constexpr std::size_t kShortStretch = 8;

    // Line (x, y) is line(x, 0) + y moving down and line(x, 0) - y moving up; line
    // (x, 0) is -c or d. Entry k of the table is line base + k moving down and base - k
    // moving up, base being the line of the first entry a pixel reads, so that every
    // key is 0 or more. The table holds the colours of every line the image can ask
    // for; all of them are lines of the sweep, as said above.
    void fillTables(const std::vector<Run> &runs, bool down, const std::vector<quint32> &colours)
    {
        const int direction = down ? 1 : -1;
        std::vector<int> lineAtTop(runs.size());
        for (int x = m_first; x < m_last; ++x) {
            const Run run = runs[std::size_t(x)];
            lineAtTop[std::size_t(x)] = down ? -run.lo : run.hi;
        }
        const auto [low, high] = std::minmax_element(lineAtTop.begin() + m_first, lineAtTop.begin() + m_last);
        const int base = down ? *low : *high;
        m_key.resize(runs.size());
        for (int x = m_first; x < m_last; ++x)
            m_key[std::size_t(x)] = direction * (lineAtTop[std::size_t(x)] - base);
        for (int x = m_first; x < m_last; ++x) {
            if (m_stretches.empty() || m_key[std::size_t(x)] != m_key[std::size_t(m_stretches.back().begin)])
                m_stretches.push_back({x, x + 1});
            else
                m_stretches.back().end = x + 1;
        }
        const int entries = *high - *low + m_raster.height;
        const int lastLine = int(colours.size()) - 1;
        m_colours.resize(std::size_t(entries));
        for (int k = 0; k < entries; ++k)
            m_colours[std::size_t(k)] = colours[std::size_t(std::clamp(base + direction * k, 0, lastLine))];
    }

    // Column x from row y down.
    const quint32 *column(int x, int y) const { return m_colours.data() + m_key[std::size_t(x)] + y; }

    // Rows y to y + 3: each block of four columns is read as four stretches of four
    // entries and written turned, one entry of each to a row, four pixels a store.
    void paintFourRows(int y) const
    {
        quint32 *const rows[4] = {m_raster.row(y), m_raster.row(y + 1), m_raster.row(y + 2), m_raster.row(y + 3)};
        int x = m_first;
        for (; x + 4 <= m_last; x += 4) {
            const quint32 *const c[4] = {column(x, y), column(x + 1, y), column(x + 2, y), column(x + 3, y)};
            turnBlock(c, rows, x);
        }
        for (; x < m_last; ++x) {
            for (int r = 0; r < 4; ++r)
                rows[r][x] = column(x, y)[r];
        }
    }

    Raster m_raster;
    int m_first = 0; // columns [m_first, m_last) are those the first line reaches
    int m_last = 0;
    std::vector<int> m_key;
    std::vector<Stretch> m_stretches;
    std::vector<quint32> m_colours;
};

// Line k runs from point 2k to point 2k+1 in ramp colour k; the unpaired last point
// draws nothing. Returns the index after the last line, twice the number of lines.
int paintLines(const Raster &r, const LineList &list, const std::vector<Colour::Value> &ramp)
{
    const int lines = list.points / 2;
    std::vector<quint32> colours(static_cast<std::size_t>(lines));
    for (int k = 0; k < lines; ++k)
        colours[std::size_t(k)] = Colour::toQColor(ramp[std::size_t(k)]).rgb();
    if (list.step.x() != 0)
        paintSweepAlongX(r, list, colours);
    else
        SweepAlongY(r, list, colours).paint();
    return 2 * lines;
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

bool GradientPainter::draw(QImage &target) const
{
    // An image is not on screen while it is drawn, so there is no repainting to hold.
    const int w = target.width();
    const int h = target.height();
    if (w <= 1 || h <= 1)
        return false;
    try {
        const QImage::Format format = target.format();
        if (isDirect32(format))
            return paintSweep(target, w, h) > 0;
        target.convertTo(QImage::Format_RGB32);
        const int drawn = paintSweep(target, w, h);
        target.convertTo(format);
        return drawn > 0;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

int GradientPainter::blendColours(Colour::Value c1, Colour::Value c2, int steps,
                             std::vector<Colour::Value> &colours)
{
    steps = std::max(steps, 2);
    const int r1 = Colour::red(c1), g1 = Colour::green(c1), b1 = Colour::blue(c1);
    const float redStep = float(safeDivide(Colour::red(c2) - r1, steps));
    const float greenStep = float(safeDivide(Colour::green(c2) - g1, steps));
    const float blueStep = float(safeDivide(Colour::blue(c2) - b1, steps));
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

void GradientPainter::setColor1(Colour::Value value) { m_color1 = Colour::resolveSystem(value); }

void GradientPainter::setColor2(Colour::Value value) { m_color2 = Colour::resolveSystem(value); }

void GradientPainter::setAngle(float degrees) { m_angle = normalisedDegrees(degrees); }

int GradientPainter::paintSweep(QImage &target, int w, int h) const
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
    rotatePoint(centre, p0, segmentAngle);
    rotatePoint(centre, p1, segmentAngle);

    const Sweep sweep = chooseSweep(m_angle, p0, p1, w, h);
    const LineList list = sweepLines(placedPoint(p0, sweep), placedPoint(p1, sweep), sweep.step, w, h);
    std::vector<Colour::Value> ramp;
    blendColours(m_color1, m_color2, Numeric::roundToInt(list.points / 2.0), ramp);
    return paintLines(raster, list, ramp);
}

void GradientPainter::rotatePoint(SinglePoint centre, SinglePoint &p, float degrees)
{
    const float theta = float(degrees * 0.017453292519943278);
    const float dx = p.x - centre.x;
    const float dy = p.y - centre.y;
    const double c = std::cos(double(theta));
    const double s = std::sin(double(theta));
    p.x = float(centre.x + dx * c + dy * s);
    p.y = float(centre.y - dx * s + dy * c);
}

double GradientPainter::safeDivide(double a, double b)
{
    return b == 0 ? 0 : a / b;
}
