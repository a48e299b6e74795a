// make-pictures: draws Penlark's built-in pictures (the default logo, the
// fifteen background tiles, the command bar, the start picture, the window
// icon and the help and side panel pictures) as PNG files into one folder, and
// the sample pictures of the program folder's logo and background libraries
// (JPEG, and the gallery's logos as PNG) into another.
//
// Every picture is drawn here from shapes, seeded noise and text set in the
// Noto CJK fonts, so running the tool again gives the same files. Background
// tiles repeat without seams: noise lattices wrap around the tile, and a motif
// that crosses an edge is drawn once more on the opposite side.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double pi = std::numbers::pi;

// ---------------------------------------------------------------------------
// Seeded randomness

// Spreads the bits of a 32-bit value (the "lowbias32" integer hash).
quint32 mix(quint32 h)
{
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

// A value in 0..1 fixed by two integers and a seed: per-pixel grain and noise lattices.
double hashUnit(int a, int b, quint32 seed)
{
    const quint32 h = mix(seed ^ mix(quint32(a) * 0x9E3779B1U ^ mix(quint32(b) + 0x85EBCA77U)));
    return (h >> 8) * (1.0 / 16777216.0);
}

// Random numbers from a fixed seed; std::mt19937 gives the same sequence everywhere.
class Dice {
public:
    explicit Dice(quint32 seed) : engine(seed) {}
    double between(double low, double high)
    {
        return low + (high - low) * ((engine() >> 8) * (1.0 / 16777216.0));
    }

private:
    std::mt19937 engine;
};

// Value noise whose lattice wraps around the tile: cellsX × cellsY lattice
// points span exactly one tile, so the noise repeats with the tile.
class TileNoise {
public:
    TileNoise(QSize tile, quint32 seed) : tile(tile), seed(seed) {}

    // Smooth noise in 0..1; unequal cell counts stretch it into streaks.
    double at(double x, double y, int cellsX, int cellsY) const
    {
        const double u = x / tile.width() * cellsX, v = y / tile.height() * cellsY;
        const int ix = int(std::floor(u)), iy = int(std::floor(v));
        const double fx = fade(u - ix), fy = fade(v - iy);
        const double top = std::lerp(lattice(ix, iy, cellsX, cellsY), lattice(ix + 1, iy, cellsX, cellsY), fx);
        const double bottom = std::lerp(lattice(ix, iy + 1, cellsX, cellsY), lattice(ix + 1, iy + 1, cellsX, cellsY), fx);
        return std::lerp(top, bottom, fy);
    }

    // Octaves of noise, each twice as fine and half as strong; about 0..1.
    double fractal(double x, double y, int cells, int octaves) const
    {
        double sum = 0, weight = 1, total = 0;
        for (int octave = 0; octave < octaves; ++octave) {
            sum += weight * at(x, y, cells << octave, cells << octave);
            total += weight;
            weight *= 0.5;
        }
        return sum / total;
    }

private:
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

    double lattice(int ix, int iy, int cellsX, int cellsY) const
    {
        const int wx = ((ix % cellsX) + cellsX) % cellsX;
        const int wy = ((iy % cellsY) + cellsY) % cellsY;
        return hashUnit(wx + 7919 * cellsX, wy + 104729 * cellsY, seed);
    }

    QSize tile;
    quint32 seed;
};

// Per-pixel grain in -0.5..0.5.
double grain(int x, int y, quint32 seed)
{
    return hashUnit(x, y, seed) - 0.5;
}

// ---------------------------------------------------------------------------
// Pixel and painter helpers

int channel(double value)
{
    return std::clamp(int(std::lround(value)), 0, 255);
}

// The base colour with amount (0..255 units) added to every channel.
QRgb shaded(QColor base, double amount)
{
    return qRgb(channel(base.red() + amount), channel(base.green() + amount), channel(base.blue() + amount));
}

// Mixes two colours: t = 0 gives a, t = 1 gives b.
QRgb blend(QColor a, QColor b, double t)
{
    return qRgb(channel(std::lerp(a.red(), b.red(), t)), channel(std::lerp(a.green(), b.green(), t)),
                channel(std::lerp(a.blue(), b.blue(), t)));
}

// An opaque tile whose every pixel is computed by colourAt.
QImage pixelTile(QSize size, const std::function<QRgb(int, int)> &colourAt)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = colourAt(x, y);
    }
    return image;
}

// An opaque tile filled with one colour.
QImage plainTile(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// An image of the given size, fully transparent, ready to be painted on.
QImage clearCanvas(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A linear gradient from start at from to end at to.
QLinearGradient linearRamp(QPointF from, QPointF to, QColor start, QColor end)
{
    QLinearGradient ramp(from, to);
    ramp.setColorAt(0, start);
    ramp.setColorAt(1, end);
    return ramp;
}

// A radial glow of colour at centre fading to transparent at radius.
QRadialGradient fadingGlow(QPointF centre, double radius, QColor colour)
{
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0, colour);
    colour.setAlpha(0);
    glow.setColorAt(1, colour);
    return glow;
}

// Draws a motif at its place and shifted by one tile in every direction, so a
// motif crossing an edge continues on the opposite edge.
void drawWrapped(QPainter &p, QSize tile, const std::function<void()> &motif)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            p.save();
            p.translate(dx * tile.width(), dy * tile.height());
            motif();
            p.restore();
        }
}

void beginSmooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
}

// ---------------------------------------------------------------------------
// The default logo: a lark in flight whose body is a pen nib, white on a round
// blue emblem. The same shapes must read at 68 px on a card and large.

constexpr int logoSize = 512;

QPainterPath larkHead()
{
    QPainterPath head;
    head.addEllipse(QPointF(350, 178), 38, 38);
    return head;
}

// A closed outline from start through curves: two points make a quadratic
// curve (control, end), three a cubic one (two controls, end).
QPainterPath closedOutline(QPointF start, std::initializer_list<std::initializer_list<QPointF>> curves)
{
    QPainterPath outline(start);
    for (const auto &curve : curves) {
        const QPointF *p = curve.begin();
        if (curve.size() == 2)
            outline.quadTo(p[0], p[1]);
        else
            outline.cubicTo(p[0], p[1], p[2]);
    }
    outline.closeSubpath();
    return outline;
}

// A short conical beak, as larks have.
QPainterPath larkBeak()
{
    return closedOutline({376, 160}, {{{400, 166}, {418, 180}}, {{400, 190}, {380, 196}}});
}

// The lark's crest: a short swept tuft at the back of the head.
QPainterPath larkCrest()
{
    return closedOutline({322, 160}, {{{316, 136}, {300, 120}}, {{332, 124}, {350, 144}}});
}

// A plump breast tapering to the nib's point at the lower left.
QPainterPath larkBody()
{
    return closedOutline({384, 196}, {{{400, 300}, {300, 372}, {132, 404}}, {{210, 336}, {258, 262}, {318, 206}}});
}

// One flight feather: a vane along +x from a blunt root to a pointed tip,
// wider on its upper side.
QPainterPath feather(QPointF root, double angle, double length, double width)
{
    const QPainterPath vane = closedOutline(
        {0, -0.3 * width},
        {{{0.4 * length, -0.62 * width}, {0.82 * length, -0.45 * width}, {length, 0}},
         {{0.8 * length, 0.28 * width}, {0.4 * length, 0.42 * width}, {0, 0.3 * width}}});
    QTransform place;
    place.translate(root.x(), root.y());
    place.rotate(angle);
    return place.map(vane);
}

// The raised wing: three quill feathers fanning up and back from behind the
// body, each separated from the one behind it by a thin gap.
QPainterPath larkWing(const QPainterPathStroker &gap)
{
    const QPointF shoulder(322, 250);
    const QPainterPath front = feather(shoulder, -120, 236, 90);
    const QPainterPath middle = feather(shoulder, -135, 220, 84);
    const QPainterPath back = feather(shoulder, -150, 190, 76);
    QPainterPath wing = back.subtracted(gap.createStroke(middle)).united(middle);
    return wing.subtracted(gap.createStroke(front)).united(front);
}

// The nib's slit and breather hole, and the lark's eye.
QPainterPath larkCuts()
{
    QPainterPath slit;
    slit.moveTo(132, 404);
    slit.lineTo(256, 330);
    QPainterPathStroker stroker;
    stroker.setWidth(8);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath hole, eye;
    hole.addEllipse(QPointF(260, 327), 12, 12);
    eye.addEllipse(QPointF(360, 170), 7, 7);
    return stroker.createStroke(slit).united(hole).united(eye);
}

QPainterPath larkMark()
{
    QPainterPathStroker gap;
    gap.setWidth(10);
    gap.setJoinStyle(Qt::RoundJoin);
    const QPainterPath body = larkHead().united(larkBeak()).united(larkCrest()).united(larkBody());
    return larkWing(gap).subtracted(gap.createStroke(body)).united(body).subtracted(larkCuts());
}

// Scales a shape so its longer side is extent and centres it in the logo.
QPainterPath centred(const QPainterPath &shape, double extent)
{
    const QRectF box = shape.boundingRect();
    const double scale = extent / std::max(box.width(), box.height());
    QTransform fit;
    fit.translate(logoSize / 2.0, logoSize / 2.0);
    fit.scale(scale, scale);
    fit.translate(-box.center().x(), -box.center().y());
    return fit.map(shape);
}

void drawEmblem(QPainter &p)
{
    const QPointF centre(logoSize / 2.0, logoSize / 2.0);
    const QLinearGradient fill =
        linearRamp(QPointF(96, 40), QPointF(416, 472), QColor(0x2F, 0x6F, 0xA8), QColor(0x1A, 0x2C, 0x5E));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(centre, 244, 244);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 46), 5));
    p.drawEllipse(centre, 222, 222);
}

// The lark filled with brush, 336 pixels across in the logo's frame.
void fillLark(QPainter &p, const QBrush &brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(centred(larkMark(), 336));
}

QImage defaultLogo()
{
    QImage image = clearCanvas(QSize(logoSize, logoSize));
    QPainter p(&image);
    beginSmooth(p);
    drawEmblem(p);
    fillLark(p, Qt::white);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Woven and paper textures

// Linen: horizontal and vertical threads of uneven thickness over fine grain.
QImage linen(QColor base, double strength, quint32 seed)
{
    const QSize size(256, 256);
    const TileNoise noise(size, seed);
    return pixelTile(size, [&](int x, int y) {
        const double weft = noise.at(x, y, 8, 128) - 0.5;
        const double warp = noise.at(x, y, 128, 8) - 0.5;
        const double slub = noise.at(x, y, 16, 64) - 0.5;
        return shaded(base, strength * (weft + warp + 0.5 * slub + 0.35 * grain(x, y, seed + 1)));
    });
}

// Laid paper: close horizontal laid lines, wide-spaced chain lines and a soft cloudy pulp.
QImage laidPaper()
{
    const QSize size(256, 256);
    const TileNoise noise(size, 21);
    const QColor base(0xFA, 0xF7, 0xEF);
    return pixelTile(size, [&](int x, int y) {
        const double laid = 0.5 + 0.5 * std::cos(2 * pi * y / 4.0);
        const double fromChain = std::fmod(x + 32.0, 64.0) - 32.0;
        const double chain = std::exp(-fromChain * fromChain / 3.0);
        const double cloud = noise.fractal(x, y, 4, 5) - 0.5;
        return shaded(base, 8 * cloud - 2.0 * laid - 3.0 * chain + 2.0 * grain(x, y, 22));
    });
}

// One plant fibre in rice paper: a slightly bent stroke in a random direction.
QPainterPath fibre(Dice &dice, QPointF start, double length)
{
    const double angle = dice.between(0, 2 * pi);
    const QPointF step(std::cos(angle) * length, std::sin(angle) * length);
    const QPointF normal(-step.y(), step.x());
    QPainterPath path(start);
    path.cubicTo(start + step / 3 + normal * dice.between(-0.25, 0.25),
                 start + step * 2 / 3 + normal * dice.between(-0.25, 0.25), start + step);
    return path;
}

// Most fibres are a little darker than the pulp, some a little paler.
QPen fibrePen(Dice &dice, double width)
{
    const bool dark = dice.between(0, 1) < 0.7;
    const QColor colour = dark ? QColor(0xC9, 0xB8, 0x98, int(dice.between(50, 110)))
                               : QColor(0xFF, 0xFE, 0xF8, int(dice.between(120, 200)));
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap);
}

// Clouds of fractal noise: cells across at the coarsest octave, the number
// of octaves, and how strongly they shade.
struct Clouds {
    int cells;
    int octaves;
    double strength;
};

// Paper pulp: base shaded by clouds and by fine grain, seeded with seed and seed + 1.
QImage cloudyPulp(QSize size, QColor base, quint32 seed, Clouds clouds, double grainStrength)
{
    const TileNoise noise(size, seed);
    return pixelTile(size, [&](int x, int y) {
        const double cloud = noise.fractal(x, y, clouds.cells, clouds.octaves) - 0.5;
        return shaded(base, clouds.strength * cloud + grainStrength * grain(x, y, seed + 1));
    });
}

// Rice paper: warm, cloudy pulp with short plant fibres and a few long ones.
QImage ricePaper()
{
    const QSize size(256, 256);
    QImage image = cloudyPulp(size, QColor(0xF6, 0xEF, 0xDF), 81, {4, 5, 12}, 2.5);
    QPainter p(&image);
    beginSmooth(p);
    Dice dice(83);
    for (int i = 0; i < 170; ++i) {
        const bool longFibre = i % 10 == 0;
        const QPointF start(dice.between(0, size.width()), dice.between(0, size.height()));
        const double length = longFibre ? dice.between(50, 110) : dice.between(6, 28);
        const double width = longFibre ? dice.between(0.35, 0.6) : dice.between(0.45, 1.0);
        const QPainterPath path = fibre(dice, start, length);
        const QPen pen = fibrePen(dice, width);
        drawWrapped(p, size, [&] { p.strokePath(path, pen); });
    }
    return image;
}

// Soft marble: broad grey veins with soft halos drifting diagonally through
// clouded white stone, crossed by a few hairline veins.
QImage softMarble()
{
    const QSize size(256, 256);
    const TileNoise noise(size, 71);
    const TileNoise fine(size, 72);
    const QColor stone(0xF7, 0xF6, 0xF3), vein(0xA4, 0xA8, 0xB2);
    return pixelTile(size, [&](int x, int y) {
        const double u = double(x) / size.width(), v = double(y) / size.height();
        // Veins follow the crests of warped waves, one crest per tile, and fade in and out along their way.
        const double broad = 1 - std::cos(2 * pi * (u + v) + 5.0 * (noise.fractal(x, y, 2, 5) - 0.5));
        const double thin = 1 - std::cos(2 * pi * (2 * u - v) + 6.0 * (fine.fractal(x, y, 2, 5) - 0.5));
        const double presence = std::clamp(2.2 * (noise.at(x, y, 3, 3) - 0.2), 0.0, 1.0);
        const double veins = presence * (0.32 * std::exp(-broad / 0.003) + 0.12 * std::exp(-broad / 0.04))
                             + (1 - presence) * 0.18 * std::exp(-thin / 0.001) + 0.06 * std::exp(-thin / 0.02);
        const double cloud = noise.fractal(x, y, 8, 4) - 0.5;
        return shaded(QColor(blend(stone, vein, veins)), 9 * cloud + 1.2 * grain(x, y, 73));
    });
}

// ---------------------------------------------------------------------------
// Geometric patterns

// Fine diagonal pinstripes, one every 16 px, on pale blue.
QImage diagonalPinstripes()
{
    const QSize size(64, 64);
    QImage image = plainTile(size, QColor(0xEA, 0xF1, 0xF8));
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(QPen(QColor(0xD0, 0xDE, 0xEC), 1.1));
    for (int c = -64; c <= 128; c += 16)
        p.drawLine(QPointF(c, -8), QPointF(c - size.height() - 16, size.height() + 8));
    return image;
}

// Small dots in a staggered lattice on light grey.
QImage staggeredDots()
{
    const QSize size(64, 64);
    QImage image = plainTile(size, QColor(0xF4, 0xF4, 0xF2));
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xDC, 0xDC, 0xD8));
    const QPointF dots[] = {{16, 16}, {48, 16}, {0, 48}, {32, 48}};
    drawWrapped(p, size, [&] {
        for (QPointF dot : dots)
            p.drawEllipse(dot, 2.6, 2.6);
    });
    return image;
}

// Gentle horizontal waves, two periods across the tile, on pale green.
QImage gentleWaves()
{
    const QSize size(128, 128);
    QImage image = plainTile(size, QColor(0xED, 0xF4, 0xEB));
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(QPen(QColor(0xD2, 0xE3, 0xCE), 1.3));
    for (int row = -16; row <= size.height() + 16; row += 16) {
        QPainterPath wave(QPointF(-4, row + 4 * std::sin(2 * pi * -4 / 64.0)));
        for (int x = -3; x <= size.width() + 4; ++x)
            wave.lineTo(x, row + 4 * std::sin(2 * pi * x / 64.0));
        p.drawPath(wave);
    }
    return image;
}

// Graph paper: faint lines every 16 px and slightly stronger ones every 64 px.
QImage graphPaper()
{
    const QSize size(128, 128);
    QImage image = plainTile(size, QColor(0xF8, 0xF9, 0xFA));
    QPainter p(&image);
    const QColor minor(0xE7, 0xEB, 0xF0), major(0xDA, 0xE0, 0xE8);
    for (int at = 0; at < size.width(); at += 16) {
        p.setPen(QPen(at % 64 == 0 ? major : minor, 1));
        p.drawLine(at, 0, at, size.height() - 1);
        p.drawLine(0, at, size.width() - 1, at);
    }
    return image;
}

// Herringbone: planks four times as long as wide, laid in the classic zigzag,
// each plank a slightly different shade of warm stone.
QImage herringbone()
{
    constexpr int width = 12, length = 4 * width, period = 8 * width;
    const QSize size(period, period);
    const QColor stone(0xF2, 0xEC, 0xE2), joint(0xE4, 0xDB, 0xCD);
    QImage image = plainTile(size, stone);
    QPainter p(&image);
    p.setPen(QPen(joint, 1));
    // Planks sit on the lattice spanned by (width, width) and (length, -length);
    // at each lattice point one plank lies flat and one stands under its left end.
    for (int i = -16; i <= 24; ++i)
        for (int j = -4; j <= 4; ++j) {
            const int x = i * width + j * length, y = i * width - j * length;
            if (x < -2 * length || x > period + length || y < -2 * length || y > period + length)
                continue;
            const int keyX = ((x % period) + period) % period, keyY = ((y % period) + period) % period;
            const QRect flat(x, y, length, width), standing(x, y + width, width, length);
            p.setBrush(QColor(shaded(stone, 5 * (hashUnit(keyX, keyY, 61) - 0.5))));
            p.drawRect(flat);
            p.setBrush(QColor(shaded(stone, 5 * (hashUnit(keyX, keyY, 62) - 0.5))));
            p.drawRect(standing);
        }
    return image;
}

// Seigaiha wave scales: overlapping fans of concentric rings on pale aqua.
// Each scale covers the rows drawn before it, so rows are drawn top to bottom.
void drawScale(QPainter &p, QPointF centre, QColor ground, QColor ring)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    p.drawEllipse(centre, 32, 32);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, 1.4));
    for (double radius = 30.5; radius > 4; radius -= 6.5)
        p.drawEllipse(centre, radius, radius);
}

QImage waveScales()
{
    const QSize size(64, 64);
    const QColor ground(0xEA, 0xF4, 0xF3), ring(0xCF, 0xE4, 0xE2);
    QImage image = plainTile(size, ground);
    QPainter p(&image);
    beginSmooth(p);
    for (int row = -4; row <= 8; ++row)
        for (int column = -1; column <= 2; ++column)
            drawScale(p, QPointF(column * 64 + (row % 2 != 0 ? 32 : 0), row * 16), ground, ring);
    return image;
}

// A diamond lattice of thin lines with a dot in every diamond, on dark navy.
QImage navyDiamonds()
{
    const QSize size(64, 64);
    const QColor navy(0x1C, 0x29, 0x43);
    QImage image = plainTile(size, navy);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(QPen(QColor(0x2A, 0x3B, 0x5E), 1.1));
    for (int c = -64; c <= 128; c += 32) {
        p.drawLine(QPointF(c, -16), QPointF(c + 96, 80));
        p.drawLine(QPointF(c, -16), QPointF(c - 96, 80));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x34, 0x47, 0x6C));
    const QPointF dots[] = {{16, 0}, {48, 0}, {0, 32}, {32, 32}, {64, 32}, {16, 64}, {48, 64}};
    for (QPointF dot : dots)
        p.drawEllipse(dot, 1.6, 1.6);
    return image;
}

// ---------------------------------------------------------------------------
// Chinese-style patterns

// A square spiral ("hui" fret) filling one cell of the given size.
QPainterPath fretSpiral(double cell)
{
    const double unit = cell / 32;
    QPainterPath spiral(QPointF(4, 28) * unit);
    const QPointF turns[] = {{4, 4}, {28, 4}, {28, 28}, {10, 28}, {10, 10}, {22, 10}, {22, 22}, {16, 22}, {16, 16}};
    for (QPointF turn : turns)
        spiral.lineTo(turn * unit);
    return spiral;
}

// Fret spirals in a chequer of mirrored cells on pale jade.
QImage fretLattice()
{
    constexpr int cell = 48;
    const QSize size(2 * cell, 2 * cell);
    QImage image = plainTile(size, QColor(0xED, 0xF4, 0xEE));
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(QPen(QColor(0xDD, 0xEA, 0xE0), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPainterPath spiral = fretSpiral(cell);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column) {
            p.save();
            p.translate((column + 0.5) * cell, (row + 0.5) * cell);
            if ((row + column) % 2 != 0)
                p.scale(-1, 1);
            p.translate(-cell / 2.0, -cell / 2.0);
            p.drawPath(spiral);
            p.restore();
        }
    return image;
}

// An outward spiral around centre, as used in auspicious-cloud curls.
QPainterPath curl(QPointF centre, double innerRadius, double outerRadius, double startAngle, double turns, int direction)
{
    QPainterPath path;
    const int steps = 96;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double angle = startAngle + direction * t * turns * 2 * pi;
        const double radius = std::lerp(innerRadius, outerRadius, t);
        const QPointF point = centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

// One auspicious cloud: three round lobes on a flat base whose tail tapers
// away to the left.
QPainterPath cloudShape()
{
    QPainterPath left, top, right, base;
    left.addEllipse(QPointF(-20, 4), 13, 13);
    top.addEllipse(QPointF(0, -7), 17, 17);
    right.addEllipse(QPointF(21, 5), 12, 12);
    base.addRect(QRectF(-20, 4, 41, 13));
    QPainterPath tail(QPointF(-20, 17));
    tail.cubicTo(-38, 17, -52, 20, -68, 28);
    tail.cubicTo(-54, 16, -40, 8, -24, 8);
    tail.closeSubpath();
    return left.united(top).united(right).united(base).united(tail);
}

// The curls cut into the cloud's lobes.
QPainterPath cloudCurls()
{
    QPainterPath curls;
    curls.addPath(curl(QPointF(-20, 4), 1.5, 8.5, pi, 1.4, 1));
    curls.addPath(curl(QPointF(0, -7), 2, 12, 0, 1.6, -1));
    curls.addPath(curl(QPointF(21, 5), 1.5, 7.5, 0, 1.4, -1));
    return curls;
}

// Auspicious clouds in staggered rows, every other row mirrored, on warm cream.
QImage auspiciousClouds()
{
    const QSize size(256, 256);
    const QColor ground(0xF8, 0xF0, 0xE8);
    QImage image = plainTile(size, ground);
    QPainter p(&image);
    beginSmooth(p);
    const QPainterPath shape = cloudShape(), curls = cloudCurls();
    const QPen cut(ground, 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QColor fill(0xF0, 0xDF, 0xD3);
    struct Placement { QPointF at; bool mirrored; };
    const Placement clouds[] = {{{72, 56}, false}, {{200, 56}, false}, {{8, 184}, true}, {{136, 184}, true}};
    for (const Placement &placement : clouds)
        drawWrapped(p, size, [&] {
            p.save();
            p.translate(placement.at);
            p.scale(placement.mirrored ? -1 : 1, 1);
            p.fillPath(shape, fill);
            p.strokePath(curls, cut);
            p.restore();
        });
    return image;
}

// One plum blossom: five round petals and a darker heart with stamens.
void drawBlossom(QPainter &p, double radius, double turn)
{
    p.rotate(turn);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF0, 0xD9, 0xDC));
    for (int petal = 0; petal < 5; ++petal) {
        const double angle = petal * 2 * pi / 5;
        p.drawEllipse(QPointF(std::cos(angle), std::sin(angle)) * radius * 0.55, radius * 0.5, radius * 0.5);
    }
    p.setBrush(QColor(0xE4, 0xBF, 0xC5));
    p.drawEllipse(QPointF(0, 0), radius * 0.22, radius * 0.22);
    for (int stamen = 0; stamen < 5; ++stamen) {
        const double angle = (stamen + 0.5) * 2 * pi / 5;
        p.drawEllipse(QPointF(std::cos(angle), std::sin(angle)) * radius * 0.42, radius * 0.07, radius * 0.07);
    }
}

// The shortest offset from a to b on a tile that wraps around.
QPointF wrappedOffset(QPointF a, QPointF b, QSize tile)
{
    const auto nearest = [](double d, double period) { return d - period * std::round(d / period); };
    return {nearest(b.x() - a.x(), tile.width()), nearest(b.y() - a.y(), tile.height())};
}

// Plum blossoms of varied sizes scattered at well-spaced places on pale rose.
QImage plumBlossoms()
{
    const QSize size(256, 256);
    QImage image = plainTile(size, QColor(0xF9, 0xEF, 0xEF));
    QPainter p(&image);
    beginSmooth(p);
    struct Blossom { QPointF at; double radius; double turn; };
    std::vector<Blossom> blossoms;
    Dice dice(111);
    for (int attempt = 0; attempt < 2000 && blossoms.size() < 16; ++attempt) {
        const Blossom candidate{{dice.between(0, 256), dice.between(0, 256)}, dice.between(6, 13), dice.between(0, 72)};
        const bool crowded = std::any_of(blossoms.begin(), blossoms.end(), [&](const Blossom &other) {
            const QPointF d = wrappedOffset(candidate.at, other.at, size);
            return std::hypot(d.x(), d.y()) < candidate.radius + other.radius + 34;
        });
        if (!crowded)
            blossoms.push_back(candidate);
    }
    for (const Blossom &blossom : blossoms)
        drawWrapped(p, size, [&] {
            p.save();
            p.translate(blossom.at);
            drawBlossom(p, blossom.radius, blossom.turn);
            p.restore();
        });
    return image;
}

// ---------------------------------------------------------------------------
// Shared drawing for the window's pictures

const QColor brandBlue(0x2F, 0x6F, 0xA8);
const QColor brandIndigo(0x1A, 0x2C, 0x5E);

QFont sansFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont serifFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Noto Serif CJK SC"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont spaced(QFont font, double spacing)
{
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

// Maps the logo's frame onto the painter, its centre at centre, scaled by scale.
void enterLogoFrame(QPainter &p, QPointF centre, double scale)
{
    p.translate(centre);
    p.scale(scale, scale);
    p.translate(-logoSize / 2.0, -logoSize / 2.0);
}

// The lark alone, its longer side extent pixels, centred on centre.
void drawLarkMark(QPainter &p, QPointF centre, double extent, const QBrush &brush)
{
    p.save();
    enterLogoFrame(p, centre, extent / 336);
    fillLark(p, brush);
    p.restore();
}

// The whole default logo, emblem and lark, as a disc of the given diameter.
void drawLogo(QPainter &p, QPointF centre, double diameter)
{
    p.save();
    enterLogoFrame(p, centre, diameter / 488);
    drawEmblem(p);
    fillLark(p, Qt::white);
    p.restore();
}

// One box-blur pass over count pixels that lie stride apart; pixels beyond
// the ends count as transparent.
void boxBlurLine(QRgb *first, int count, int stride, int radius, std::vector<QRgb> &copy)
{
    copy.resize(count);
    for (int i = 0; i < count; ++i)
        copy[i] = first[i * stride];
    int sum[4] = {0, 0, 0, 0};
    const auto add = [&](int i, int sign) {
        if (i < 0 || i >= count)
            return;
        sum[0] += sign * qAlpha(copy[i]);
        sum[1] += sign * qRed(copy[i]);
        sum[2] += sign * qGreen(copy[i]);
        sum[3] += sign * qBlue(copy[i]);
    };
    const int span = 2 * radius + 1;
    for (int i = -radius; i <= radius; ++i)
        add(i, 1);
    for (int i = 0; i < count; ++i) {
        first[i * stride] = qRgba(sum[1] / span, sum[2] / span, sum[3] / span, sum[0] / span);
        add(i + radius + 1, 1);
        add(i - radius, -1);
    }
}

// Three box blurs each way, close to a Gaussian blur of about radius pixels.
QImage blurred(QImage image, int radius)
{
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = image.width(), height = image.height();
    const int stride = int(image.bytesPerLine() / sizeof(QRgb));
    auto *pixels = reinterpret_cast<QRgb *>(image.bits());
    std::vector<QRgb> copy;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            boxBlurLine(pixels + y * stride, width, 1, radius, copy);
        for (int x = 0; x < width; ++x)
            boxBlurLine(pixels + x, height, stride, radius, copy);
    }
    return image;
}

// A soft shadow of shape (in the painter's current coordinates), moved by
// offset device pixels, drawn under whatever is painted next.
void dropShadow(QPainter &p, const QPainterPath &shape, QPointF offset, int blur, QColor colour)
{
    QImage layer = clearCanvas(QSize(p.device()->width(), p.device()->height()));
    QPainter lp(&layer);
    beginSmooth(lp);
    lp.translate(offset);
    lp.setWorldTransform(p.worldTransform(), true);
    lp.fillPath(shape, colour);
    lp.end();
    p.save();
    p.resetTransform();
    p.drawImage(0, 0, blurred(layer, blur));
    p.restore();
}

// A four-pointed sparkle with gently hollowed sides.
QPainterPath sparkle(QPointF centre, double radius)
{
    const double bulge = 0.16 * radius;
    QPainterPath star(centre + QPointF(0, -radius));
    star.quadTo(centre + QPointF(bulge, -bulge), centre + QPointF(radius, 0));
    star.quadTo(centre + QPointF(bulge, bulge), centre + QPointF(0, radius));
    star.quadTo(centre + QPointF(-bulge, bulge), centre + QPointF(-radius, 0));
    star.quadTo(centre + QPointF(-bulge, -bulge), centre + QPointF(0, -radius));
    star.closeSubpath();
    return star;
}

// A glyph's outline, its bounding box centred on centre.
QPainterPath glyphAt(const QString &text, const QFont &font, QPointF centre)
{
    QPainterPath glyph;
    glyph.addText(0, 0, font, text);
    return QTransform::fromTranslate(centre.x() - glyph.boundingRect().center().x(),
                                     centre.y() - glyph.boundingRect().center().y())
        .map(glyph);
}

// A placeholder line of text on a sample card: a short rounded bar.
void drawTextBar(QPainter &p, double x, double y, double length, double thickness, QColor colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(x, y - thickness / 2, length, thickness), thickness / 2, thickness / 2);
}

// ---------------------------------------------------------------------------
// The command bar: eleven commands, each a 64 × 60 picture in three states
// (normal, hovered, pressed) on the bar's own background, so the pictures sit
// seamlessly on the tiled bar. Icons are drawn in a 32 × 32 box in one flat
// style: slate outlines over white, pale blue, blue and amber fills.

constexpr int barHeight = 60;
constexpr int commandWidth = 64;
constexpr double iconLine = 1.5;

const QColor iconInk(0x34, 0x43, 0x58);
const QColor iconBlue(0x2F, 0x76, 0xC4);
const QColor iconPale(0xD8, 0xE7, 0xF7);
const QColor iconBar(0xB7, 0xC5, 0xD6);
const QColor iconAmber(0xF6, 0xC0, 0x4D);
const QColor iconAmberDeep(0xE3, 0x9A, 0x2C);

// The bar: a light grey gradient, top to bottom, over a thin darker bottom edge.
QRgb barColour(int y)
{
    if (y == barHeight - 1)
        return qRgb(0xC2, 0xC2, 0xC2);
    return blend(QColor(217, 217, 217), QColor(235, 235, 235), double(y) / (barHeight - 2));
}

QImage barStrip(int width)
{
    return pixelTile(QSize(width, barHeight), [](int, int y) { return barColour(y); });
}

// Between groups of commands: an etched line, dark with a light line beside
// it, fading out at both ends.
QImage barSeparator()
{
    return pixelTile(QSize(8, barHeight), [](int x, int y) {
        const double fade = std::clamp(std::min(y - 9, 50 - y) / 8.0, 0.0, 1.0);
        const QColor bar(barColour(y));
        if (x == 3)
            return shaded(bar, -44 * fade);
        if (x == 4)
            return shaded(bar, 22 * fade);
        return barColour(y);
    });
}

QPen iconPen(QColor colour = iconInk, double width = iconLine)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath polygonPath(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(corners));
    path.closeSubpath();
    return path;
}

// A round blue badge with a white plus.
void drawPlusBadge(QPainter &p, QPointF centre, double radius)
{
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(iconBlue);
    p.drawEllipse(centre, radius, radius);
    p.setPen(iconPen(Qt::white, 1.8));
    const double arm = radius * 0.48;
    p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    p.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

// 新建: a blank page with a folded corner and a plus badge.
void drawNewIcon(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(Qt::white);
    p.drawPath(polygonPath({{7.5, 3.5}, {19.5, 3.5}, {25.5, 9.5}, {25.5, 28.5}, {7.5, 28.5}}));
    p.setBrush(iconPale);
    p.drawPath(polygonPath({{19.5, 3.5}, {19.5, 9.5}, {25.5, 9.5}}));
    p.setPen(iconPen(iconBar));
    p.drawLine(QPointF(11, 14.5), QPointF(21, 14.5));
    p.drawLine(QPointF(11, 18.5), QPointF(17, 18.5));
    drawPlusBadge(p, QPointF(24, 23.5), 6.5);
}

// 打开: an open folder with a sheet inside.
void drawOpenIcon(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(iconAmberDeep);
    p.drawPath(polygonPath({{3.5, 6.5}, {11, 6.5}, {13.5, 9.5}, {26.5, 9.5}, {26.5, 27.5}, {3.5, 27.5}}));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 12.5, 16, 10));
    p.setBrush(iconAmber);
    p.drawPath(polygonPath({{3.5, 27.5}, {7.5, 17.5}, {29.5, 17.5}, {26.5, 27.5}}));
}

// 保存: a blue floppy disk with its shutter and label.
void drawSaveIcon(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(iconBlue);
    p.drawPath(polygonPath({{4.5, 4.5}, {23.5, 4.5}, {27.5, 8.5}, {27.5, 27.5}, {4.5, 27.5}}));
    p.setBrush(iconPale);
    p.drawRect(QRectF(9.5, 4.5, 12, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(iconInk);
    p.drawRect(QRectF(16.5, 6.5, 2.5, 4));
    p.setPen(iconPen());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 16.5, 15, 11));
    p.setPen(iconPen(iconBar));
    p.drawLine(QPointF(11.5, 20.5), QPointF(20.5, 20.5));
    p.drawLine(QPointF(11.5, 23.5), QPointF(20.5, 23.5));
}

// 打印: a printer with a sheet waiting on top and a printed one coming out.
void drawPrintIcon(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9.5, 3.5, 13, 9));
    p.setBrush(QColor(0xCF, 0xDA, 0xE7));
    p.drawRoundedRect(QRectF(3.5, 11.5, 25, 12), 3, 3);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 18.5, 15, 10));
    p.setPen(iconPen(iconBlue));
    p.drawLine(QPointF(11.5, 22.5), QPointF(20.5, 22.5));
    p.drawLine(QPointF(11.5, 25.5), QPointF(17.5, 25.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3C, 0xB3, 0x71));
    p.drawEllipse(QPointF(24.5, 15.5), 1.4, 1.4);
}

// 页面: a sheet laid out with ten cards, the first one chosen.
void drawPageIcon(QPainter &p)
{
    p.setPen(iconPen());
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 2.5, 19, 27));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 2; ++column) {
            p.setBrush(row == 0 && column == 0 ? iconBlue : QColor(0xAF, 0xCB, 0xEB));
            p.drawRoundedRect(QRectF(9 + 8 * column, 6 + 5.5 * row, 6, 3.5), 0.8, 0.8);
        }
}

// 标志: the program's own emblem, a small copy of the default logo.
void drawLogoIcon(QPainter &p)
{
    drawLogo(p, QPointF(16, 16), 28);
}

// 文字: a text box with a capital T, dashed with handles at its corners.
void drawTextIcon(QPainter &p)
{
    const QRectF frame(4.5, 5.5, 23, 21);
    QPen dashed(iconBlue, 1.2, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({2, 2});
    p.setPen(dashed);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(iconInk);
    p.drawPath(polygonPath({{10, 9.5}, {22, 9.5}, {22, 13.5}, {20.8, 13.5}, {20.2, 12}, {17.7, 12}, {17.7, 21},
                            {19.2, 21.6}, {19.2, 22.5}, {12.8, 22.5}, {12.8, 21.6}, {14.3, 21}, {14.3, 12},
                            {11.8, 12}, {11.2, 13.5}, {10, 13.5}}));
    p.setPen(QPen(iconBlue, 1.2));
    p.setBrush(Qt::white);
    for (QPointF corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
        p.drawRect(QRectF(corner - QPointF(1.75, 1.75), QSizeF(3.5, 3.5)));
}

// 直线: a straight line with a round handle at each end.
void drawLineIcon(QPainter &p)
{
    p.setPen(iconPen(iconInk, 2.5));
    p.drawLine(QPointF(7, 25), QPointF(25, 7));
    p.setPen(iconPen(iconBlue, 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(7, 25), 3.4, 3.4);
    p.drawEllipse(QPointF(25, 7), 3.4, 3.4);
}

// 显示: an open eye.
void drawShowIcon(QPainter &p)
{
    QPainterPath eye(QPointF(2.5, 16));
    eye.cubicTo(8, 5, 24, 5, 29.5, 16);
    eye.cubicTo(24, 27, 8, 27, 2.5, 16);
    p.setPen(iconPen());
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setPen(Qt::NoPen);
    p.setBrush(iconBlue);
    p.drawEllipse(QPointF(16, 16), 6.5, 6.5);
    p.setBrush(brandIndigo);
    p.drawEllipse(QPointF(16, 16), 3, 3);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(18.4, 13.6), 1.5, 1.5);
}

// 帮助: a white question mark on a blue disc.
void drawHelpIcon(QPainter &p)
{
    p.setPen(QPen(QColor(0x23, 0x5E, 0xA2), 1.2));
    p.setBrush(iconBlue);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(glyphAt(QStringLiteral("?"), sansFont(20, true), QPointF(16, 16)));
}

// 关于: a blue "i" in a blue ring.
void drawAboutIcon(QPainter &p)
{
    p.setPen(iconPen(iconBlue, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 12.5, 12.5);
    p.setPen(Qt::NoPen);
    p.setBrush(iconBlue);
    p.drawEllipse(QPointF(16, 10), 2, 2);
    p.drawRoundedRect(QRectF(14.4, 13.5, 3.2, 10.5), 1.5, 1.5);
}

struct Command {
    QString name;
    QString label;
    void (*drawIcon)(QPainter &);
};

const Command commands[] = {
    {"new", QStringLiteral("新建"), drawNewIcon},     {"open", QStringLiteral("打开"), drawOpenIcon},
    {"save", QStringLiteral("保存"), drawSaveIcon},   {"print", QStringLiteral("打印"), drawPrintIcon},
    {"page", QStringLiteral("页面"), drawPageIcon},   {"logo", QStringLiteral("标志"), drawLogoIcon},
    {"text", QStringLiteral("文字"), drawTextIcon},   {"line", QStringLiteral("直线"), drawLineIcon},
    {"show", QStringLiteral("显示"), drawShowIcon},   {"help", QStringLiteral("帮助"), drawHelpIcon},
    {"about", QStringLiteral("关于"), drawAboutIcon},
};

enum class CommandState { Normal, Hovered, Pressed };

const QRectF commandPlate(2.5, 2.5, commandWidth - 5, barHeight - 6);

// The rounded plate under a hovered or pressed command: shaded from top to
// bottom inside a thin border.
void drawPlate(QPainter &p, QColor top, QColor bottom, QColor border)
{
    p.setPen(QPen(border, 1));
    p.setBrush(linearRamp(QPointF(0, commandPlate.top()), QPointF(0, commandPlate.bottom()), top, bottom));
    p.drawRoundedRect(commandPlate, 4, 4);
}

// Under a hovered command: a pale blue rounded plate with a thin blue border
// and a white inner rim.
void drawHoverPlate(QPainter &p)
{
    drawPlate(p, QColor(0xF0, 0xF6, 0xFD), QColor(0xD3, 0xE5, 0xF8), QColor(0x8A, 0xB3, 0xE0));
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(commandPlate.adjusted(1, 1, -1, -1), 3, 3);
}

// Under a pressed command: a deeper blue plate, darker at the top, with a
// shadow inside its upper and left edges, as if pushed in.
void drawPressedPlate(QPainter &p)
{
    drawPlate(p, QColor(0xB2, 0xCA, 0xE6), QColor(0xCC, 0xDD, 0xF1), QColor(0x6A, 0x93, 0xC5));
    p.save();
    QPainterPath inside;
    inside.addRoundedRect(commandPlate.adjusted(0.5, 0.5, -0.5, -0.5), 3.5, 3.5);
    p.setClipPath(inside);
    p.setBrush(Qt::NoBrush);
    for (int depth = 0; depth < 3; ++depth) {
        p.setPen(QPen(QColor(0x1A, 0x2C, 0x5E, 46 - 14 * depth), 1));
        p.drawRoundedRect(commandPlate.adjusted(1 + depth, 1 + depth, 6, 6), 3, 3);
    }
    p.restore();
}

QImage commandPicture(const Command &command, CommandState state)
{
    QImage image = barStrip(commandWidth);
    QPainter p(&image);
    beginSmooth(p);
    if (state == CommandState::Hovered)
        drawHoverPlate(p);
    if (state == CommandState::Pressed) {
        drawPressedPlate(p);
        p.translate(1, 1);
    }
    p.save();
    p.translate(16, 4);
    command.drawIcon(p);
    p.restore();
    p.setFont(sansFont(12));
    p.setPen(QColor(0x26, 0x2C, 0x36));
    p.drawText(QRectF(0, 38, commandWidth, 18), Qt::AlignCenter, command.label);
    return image;
}

// ---------------------------------------------------------------------------
// Sample cards, as they appear fanned out on the start picture. Each is drawn
// around its own centre, 150 × 92 px.

const QRectF sampleCard(-75, -46, 150, 92);

QPainterPath sampleCardShape()
{
    QPainterPath shape;
    shape.addRoundedRect(sampleCard, 3, 3);
    return shape;
}

// Deep indigo with a gold lark, name and rule.
void drawIndigoSample(QPainter &p)
{
    const QLinearGradient fill =
        linearRamp(sampleCard.topLeft(), sampleCard.bottomRight(), QColor(0x27, 0x3A, 0x75), QColor(0x15, 0x1E, 0x45));
    p.fillPath(sampleCardShape(), fill);
    const QColor gold(0xD9, 0xB8, 0x6C);
    p.setPen(QPen(QColor(0xD9, 0xB8, 0x6C, 90), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(sampleCard.adjusted(6, 6, -6, -6));
    drawLarkMark(p, QPointF(0, -14), 30, gold);
    p.setFont(spaced(sansFont(8, true), 3));
    p.setPen(gold);
    p.drawText(QRectF(-60, 6, 123, 12), Qt::AlignCenter, QStringLiteral("PENLARK"));
    drawTextBar(p, -16, 26, 32, 1, QColor(0xD9, 0xB8, 0x6C, 150));
}

// Warm cream with a vermilion rule, a name set in serif and grey lines.
void drawCreamSample(QPainter &p)
{
    p.fillPath(sampleCardShape(), QColor(0xF8, 0xF2, 0xE6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB2, 0x3A, 0x33));
    p.drawRect(QRectF(-64, -30, 3, 30));
    p.setFont(serifFont(14, true));
    p.setPen(QColor(0x2E, 0x2A, 0x26));
    p.drawText(QPointF(-54, -17), QStringLiteral("苏 文 澜"));
    p.setFont(serifFont(7));
    p.setPen(QColor(0x7A, 0x70, 0x64));
    p.drawText(QPointF(-54, -5), QStringLiteral("品牌顾问"));
    const QColor bar(0xCF, 0xC4, 0xB2);
    drawTextBar(p, -54, 18, 70, 2, bar);
    drawTextBar(p, -54, 25, 56, 2, bar);
    drawTextBar(p, -54, 32, 64, 2, bar);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB2, 0x3A, 0x33, 200));
    p.drawRoundedRect(QRectF(50, 22, 12, 12), 1.5, 1.5);
}

// White with the logo, a name, a title, contact lines and a blue foot band.
void drawWhiteSample(QPainter &p)
{
    p.fillPath(sampleCardShape(), Qt::white);
    p.save();
    p.setClipPath(sampleCardShape());
    const QLinearGradient band =
        linearRamp(QPointF(sampleCard.left(), 0), QPointF(sampleCard.right(), 0), brandBlue, brandIndigo);
    p.fillRect(QRectF(sampleCard.left(), 36, sampleCard.width(), 10), band);
    p.restore();
    drawLogo(p, QPointF(-50, -20), 30);
    p.setFont(sansFont(13, true));
    p.setPen(QColor(0x1E, 0x27, 0x3A));
    p.drawText(QPointF(-28, -18), QStringLiteral("林晓舟"));
    p.setFont(sansFont(7));
    p.setPen(QColor(0x5E, 0x6B, 0x80));
    p.drawText(QPointF(-27, -6), QStringLiteral("设计总监"));
    const QColor dot(0x2F, 0x6F, 0xA8), bar(0xC9, 0xD1, 0xDD);
    for (int line = 0; line < 3; ++line) {
        const double y = 10 + 7.5 * line;
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        p.drawEllipse(QPointF(-61, y), 1.6, 1.6);
        drawTextBar(p, -56, y, line == 1 ? 52 : 68, 2, bar);
    }
}

// A sample card placed on the picture: a soft shadow, then the card.
void placeSample(QPainter &p, QPointF centre, double angle, void (*drawSample)(QPainter &))
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    dropShadow(p, sampleCardShape(), QPointF(2, 6), 7, QColor(4, 8, 26, 150));
    drawSample(p);
    p.restore();
}

// ---------------------------------------------------------------------------
// The start picture: deep indigo with soft light, the logo and the product's
// name on the left and three sample cards fanned out on the right. The lower
// left stays plain, for the version and loading lines the program writes there.

constexpr QSize splashSize(504, 275);

void drawSplashBackdrop(QPainter &p)
{
    const QRectF all(QPointF(0, 0), splashSize);
    QLinearGradient base(0, 0, splashSize.width(), splashSize.height());
    base.setColorAt(0, QColor(0x24, 0x44, 0x82));
    base.setColorAt(0.55, QColor(0x1A, 0x2C, 0x5E));
    base.setColorAt(1, QColor(0x11, 0x19, 0x3C));
    p.fillRect(all, base);
    const QRadialGradient glow = fadingGlow(QPointF(410, 70), 280, QColor(0x6F, 0xA8, 0xE8, 100));
    p.fillRect(all, glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 9));
    p.drawEllipse(QPointF(440, -30), 190, 190);
    p.drawEllipse(QPointF(530, 230), 150, 150);
    p.setBrush(Qt::NoBrush);
    QPainterPath sweep(QPointF(-20, 178));
    sweep.cubicTo(140, 150, 260, 230, 524, 96);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1.2));
    p.drawPath(sweep);
    p.setPen(QPen(QColor(255, 255, 255, 16), 1));
    p.drawPath(QTransform::fromTranslate(0, 12).map(sweep));
}

// A faint grain that keeps the long dark gradients from banding.
void addGrain(QImage &image, double strength, quint32 seed)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = shaded(QColor(line[x]), strength * grain(x, y, seed));
    }
}

void drawSplashTitle(QPainter &p)
{
    const QRadialGradient halo = fadingGlow(QPointF(80, 96), 62, QColor(0x9F, 0xC6, 0xF2, 70));
    p.fillRect(QRectF(10, 26, 140, 140), halo);
    drawLogo(p, QPointF(80, 96), 82);
    p.setFont(sansFont(44, true));
    p.setPen(Qt::white);
    p.drawText(QPointF(134, 100), QStringLiteral("Penlark"));
    p.setFont(spaced(sansFont(21), 7));
    p.setPen(QColor(0xCF, 0xE0, 0xF6));
    p.drawText(QPointF(137, 132), QStringLiteral("名片设计"));
    p.setPen(QPen(QColor(0x9F, 0xC6, 0xF2, 120), 1));
    p.drawLine(QPointF(137.5, 146.5), QPointF(186.5, 146.5));
    p.setFont(spaced(sansFont(9), 2.2));
    p.setPen(QColor(255, 255, 255, 130));
    p.drawText(QPointF(137, 163), QStringLiteral("BUSINESS CARD DESIGNER"));
}

QImage splash()
{
    QImage image(splashSize, QImage::Format_RGB32);
    QPainter p(&image);
    beginSmooth(p);
    drawSplashBackdrop(p);
    p.end();
    addGrain(image, 1.6, 401);
    p.begin(&image);
    beginSmooth(p);
    placeSample(p, QPointF(420, 88), -13, drawIndigoSample);
    placeSample(p, QPointF(446, 136), 2, drawCreamSample);
    placeSample(p, QPointF(398, 204), 8, drawWhiteSample);
    drawSplashTitle(p);
    return image;
}

// ---------------------------------------------------------------------------
// The window icon: the white lark on a rounded square in the logo's blues.

QImage appIcon()
{
    QImage image = clearCanvas(QSize(256, 256));
    QPainter p(&image);
    beginSmooth(p);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(12, 10, 232, 232), 52, 52);
    dropShadow(p, tile, QPointF(0, 4), 5, QColor(0, 0, 0, 90));
    QLinearGradient fill(QPointF(40, 10), QPointF(216, 242));
    fill.setColorAt(0, QColor(0x3A, 0x80, 0xC2));
    fill.setColorAt(0.5, brandBlue);
    fill.setColorAt(1, brandIndigo);
    p.fillPath(tile, fill);
    const QRadialGradient sheen = fadingGlow(QPointF(70, 40), 200, QColor(255, 255, 255, 46));
    p.fillPath(tile, sheen);
    p.setPen(QPen(QColor(255, 255, 255, 50), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(13, 11, 230, 230), 51, 51);
    drawLarkMark(p, QPointF(128, 126), 164, Qt::white);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// The help page's background: warm paper under a pale blue header band.

QImage helpBackground()
{
    const QSize size(440, 380);
    QImage image = cloudyPulp(size, QColor(0xFC, 0xFB, 0xF7), 501, {5, 4, 5}, 1.2);
    QPainter p(&image);
    beginSmooth(p);
    drawLarkMark(p, QPointF(356, 290), 150, QColor(0x2F, 0x6F, 0xA8, 13));
    const QLinearGradient band =
        linearRamp(QPointF(0, 0), QPointF(0, 48), QColor(0xEA, 0xF1, 0xFA), QColor(0xD6, 0xE4, 0xF4));
    p.fillRect(QRectF(0, 0, size.width(), 48), band);
    const QLinearGradient rule = linearRamp(QPointF(0, 0), QPointF(size.width(), 0), brandBlue, brandIndigo);
    p.fillRect(QRectF(0, 46, size.width(), 2), rule);
    p.fillRect(QRectF(0, 48, size.width(), 3), QColor(0x1A, 0x2C, 0x5E, 16));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawLine(1, 1, size.width() - 2, 1);
    p.setPen(QColor(0xAE, 0xBE, 0xD2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return image;
}

// ---------------------------------------------------------------------------
// Side panel pictures, on transparent ground.

constexpr QSize panelSize(200, 120);

// The new-card panel: a blank card template with a plus badge and sparkles.
QImage newCardPicture()
{
    QImage image = clearCanvas(panelSize);
    QPainter p(&image);
    beginSmooth(p);
    QPainterPath card;
    card.addRoundedRect(QRectF(-58, -36, 116, 72), 4, 4);
    p.translate(96, 64);
    p.save();
    p.rotate(-9);
    p.translate(-10, -6);
    dropShadow(p, card, QPointF(0, 3), 4, QColor(20, 34, 70, 60));
    p.fillPath(card, QColor(0xD9, 0xE6, 0xF5));
    p.restore();
    p.rotate(-2);
    dropShadow(p, card, QPointF(0, 4), 5, QColor(20, 34, 70, 80));
    p.fillPath(card, Qt::white);
    p.setPen(QPen(QColor(0xC4, 0xD3, 0xE6), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(card);
    QPen dashed(QColor(0x8F, 0xB0, 0xD8), 1.2, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({2.5, 2});
    p.setPen(dashed);
    p.setBrush(QColor(0xEE, 0xF4, 0xFB));
    p.drawEllipse(QPointF(-36, -12), 12, 12);
    const QColor bar(0xD3, 0xDC, 0xE8);
    drawTextBar(p, -16, -18, 48, 5, QColor(0xB9, 0xC8, 0xDB));
    drawTextBar(p, -16, -7, 32, 3, bar);
    drawTextBar(p, -46, 14, 80, 3, bar);
    drawTextBar(p, -46, 21, 64, 3, bar);
    p.setPen(Qt::NoPen);
    p.setBrush(brandBlue);
    p.drawRect(QRectF(-58, 29, 116, 3));
    p.resetTransform();
    p.translate(152, 30);
    dropShadow(p, [] { QPainterPath disc; disc.addEllipse(QPointF(0, 0), 15, 15); return disc; }(),
               QPointF(0, 2), 3, QColor(20, 34, 70, 90));
    const QLinearGradient badge = linearRamp(QPointF(-15, -15), QPointF(15, 15), QColor(0x3C, 0x86, 0xD4), brandBlue);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(badge);
    p.drawEllipse(QPointF(0, 0), 15, 15);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-6.5, 0), QPointF(6.5, 0));
    p.drawLine(QPointF(0, -6.5), QPointF(0, 6.5));
    p.resetTransform();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0xB1, 0x3B));
    p.drawPath(sparkle(QPointF(30, 24), 9));
    p.drawPath(sparkle(QPointF(180, 96), 6));
    p.setBrush(QColor(0x6F, 0xA8, 0xE8));
    p.drawPath(sparkle(QPointF(46, 10), 4.5));
    p.drawPath(sparkle(QPointF(182, 62), 4));
    p.drawPath(sparkle(QPointF(20, 100), 3.5));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The about panel: the logo beside the product's name and version.
QImage aboutPicture()
{
    QImage image = clearCanvas(panelSize);
    QPainter p(&image);
    beginSmooth(p);
    QPainterPath disc;
    disc.addEllipse(QPointF(39, 58), 33, 33);
    dropShadow(p, disc, QPointF(0, 3), 4, QColor(20, 34, 70, 70));
    drawLogo(p, QPointF(39, 58), 66);
    p.setFont(sansFont(29, true));
    p.setPen(brandIndigo);
    p.drawText(QPointF(80, 60), QStringLiteral("Penlark"));
    p.setFont(spaced(sansFont(13), 1));
    p.setPen(QColor(0x55, 0x61, 0x74));
    p.drawText(QPointF(82, 84), QStringLiteral("名片设计"));
    const QRectF pill(144, 71, 34, 17);
    p.setPen(Qt::NoPen);
    p.setBrush(brandBlue);
    p.drawRoundedRect(pill, 8.5, 8.5);
    p.setFont(sansFont(11, true));
    p.setPen(Qt::white);
    p.drawText(pill, Qt::AlignCenter, QStringLiteral("3.0"));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Sample library pictures: three company logos on white, 240 × 240, and three
// card backgrounds, each a whole card at screen size (363 × 227).

constexpr QSize libraryLogoSize(240, 240);
constexpr QSize cardSize(363, 227);

QImage whiteCanvas(QSize size)
{
    return plainTile(size, Qt::white);
}

// A company's name centred under its mark.
void drawCompanyName(QPainter &p, const QString &name, const QFont &font, QColor colour)
{
    p.setFont(spaced(font, 6));
    p.setPen(colour);
    p.drawText(QRectF(0, 178, libraryLogoSize.width() + 6, 48), Qt::AlignCenter, name);
}

// A leaf from base to tip, fuller on its left-hand side (seen from the base).
QPainterPath leaf(QPointF base, QPointF tip, double width)
{
    const QPointF along = tip - base;
    const double length = std::hypot(along.x(), along.y());
    const QPointF across = QPointF(along.y(), -along.x()) / length;
    return closedOutline(base, {{base + along * 0.2 + across * width, base + along * 0.7 + across * width * 0.8, tip},
                                {base + along * 0.75 - across * width * 0.2, base + along * 0.3 - across * width * 0.3, base}});
}

// 青禾: two green leaves and a golden ear of grain on a bending stalk.
QImage greenGrainLogo()
{
    QImage image = whiteCanvas(libraryLogoSize);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(Qt::NoPen);
    const QLinearGradient dark =
        linearRamp(QPointF(60, 70), QPointF(120, 160), QColor(0x2B, 0xA0, 0x6A), QColor(0x13, 0x6E, 0x4A));
    p.setBrush(dark);
    p.drawPath(leaf(QPointF(118, 162), QPointF(48, 84), 26));
    const QLinearGradient light =
        linearRamp(QPointF(184, 96), QPointF(122, 160), QColor(0x9A, 0xD0, 0x5C), QColor(0x4C, 0xB0, 0x5E));
    p.setBrush(light);
    p.drawPath(leaf(QPointF(122, 162), QPointF(190, 100), -22));
    QPainterPath stalk(QPointF(120, 162));
    stalk.cubicTo(118, 120, 120, 70, 150, 34);
    p.strokePath(stalk, QPen(QColor(0x1F, 0x85, 0x55), 5, Qt::SolidLine, Qt::RoundCap));
    const QColor grainColour(0xE4, 0xA8, 0x32);
    for (int i = 0; i < 6; ++i) {
        const double t = 0.42 + 0.1 * i;
        const QPointF at = stalk.pointAtPercent(std::min(t, 0.97));
        const double angle = stalk.angleAtPercent(std::min(t, 0.97));
        for (int side : {-1, 1}) {
            if (i == 5 && side == 1)
                continue;
            p.save();
            p.translate(at);
            p.rotate(-angle + side * 38);
            p.setBrush(grainColour);
            p.drawEllipse(QPointF(8.5, 0), 8, 4.2);
            p.restore();
        }
    }
    p.setBrush(grainColour);
    p.drawEllipse(stalk.pointAtPercent(1) + QPointF(2, -3), 4.2, 4.2);
    drawCompanyName(p, QStringLiteral("青禾"), sansFont(40, true), QColor(0x14, 0x6B, 0x47));
    return image;
}

// 山峰: two two-tone peaks, the taller one snow-capped, before an orange sun.
QImage mountainLogo()
{
    QImage image = whiteCanvas(libraryLogoSize);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(Qt::NoPen);
    const QLinearGradient sun =
        linearRamp(QPointF(150, 46), QPointF(150, 110), QColor(0xF7, 0xA8, 0x40), QColor(0xE8, 0x64, 0x2C));
    p.setBrush(sun);
    p.drawEllipse(QPointF(156, 72), 25, 25);
    const double ground = 160;
    p.setBrush(QColor(0x2E, 0x57, 0x9C));
    p.drawPath(polygonPath({{102, 40}, {28, ground}, {114, ground}}));
    p.setBrush(QColor(0x1A, 0x31, 0x62));
    p.drawPath(polygonPath({{102, 40}, {114, ground}, {178, ground}}));
    p.setBrush(Qt::white);
    p.drawPath(polygonPath({{102, 40}, {87.3, 64}, {94, 60}, {101, 69}, {108, 61}, {116.4, 64}}));
    p.setBrush(QColor(0x5E, 0x98, 0xD6));
    p.drawPath(polygonPath({{162, 86}, {116, ground}, {168, ground}}));
    p.setBrush(QColor(0x3B, 0x72, 0xB4));
    p.drawPath(polygonPath({{162, 86}, {168, ground}, {212, ground}}));
    drawTextBar(p, 28, ground + 8, 184, 4, QColor(0x1A, 0x31, 0x62));
    drawCompanyName(p, QStringLiteral("山峰"), sansFont(40, true), QColor(0x1A, 0x31, 0x62));
    return image;
}

// One page of an open book: spine at x = 120, outer edge at x = 120 + 80 × side.
// top and bottom are its upper and lower edges; between interpolates them.
struct PageEdges {
    QPointF top[4];
    QPointF bottom[4];
};

PageEdges bookPage(int side, double drop)
{
    const auto at = [&](double dx, double y) { return QPointF(120 + side * dx, y + drop); };
    return {{at(0, 84), at(16, 72), at(48, 66), at(80, 74)}, {at(0, 158), at(16, 146), at(48, 140), at(80, 148)}};
}

QPainterPath pageShape(const PageEdges &page)
{
    QPainterPath shape(page.top[0]);
    shape.cubicTo(page.top[1], page.top[2], page.top[3]);
    shape.lineTo(page.bottom[3]);
    shape.cubicTo(page.bottom[2], page.bottom[1], page.bottom[0]);
    shape.closeSubpath();
    return shape;
}

// A line of print across a page, fraction of the way down, kept off the edges.
QPainterPath printLine(const PageEdges &page, double fraction, double start, double end)
{
    QPointF c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = page.top[i] + (page.bottom[i] - page.top[i]) * fraction;
    QPainterPath curve(c[0]);
    curve.cubicTo(c[1], c[2], c[3]);
    QPainterPath line(curve.pointAtPercent(start));
    for (int step = 1; step <= 16; ++step)
        line.lineTo(curve.pointAtPercent(std::lerp(start, end, step / 16.0)));
    return line;
}

// 书卷: an open book on a maroon cover, a gold star of learning above it.
QImage bookLogo()
{
    QImage image = whiteCanvas(libraryLogoSize);
    QPainter p(&image);
    beginSmooth(p);
    const QColor maroon(0x8C, 0x2A, 0x34), gold(0xC9, 0x98, 0x40);
    for (int side : {-1, 1}) {
        PageEdges cover = bookPage(side, 8);
        for (QPointF &point : cover.top)
            point.rx() += side * (point.x() - 120) * 0.07;
        for (QPointF &point : cover.bottom)
            point.rx() += side * (point.x() - 120) * 0.07;
        p.setPen(QPen(maroon, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(maroon);
        p.drawPath(pageShape(cover));
    }
    for (int side : {-1, 1}) {
        const PageEdges page = bookPage(side, 0);
        p.setPen(QPen(maroon, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xFC, 0xF6, 0xE8));
        p.drawPath(pageShape(page));
        p.setPen(QPen(gold, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        for (int line = 1; line <= 4; ++line)
            p.drawPath(printLine(page, 0.16 + 0.17 * line, 0.15, line == 4 ? 0.6 : 0.85));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    p.drawPath(sparkle(QPointF(120, 42), 16));
    p.drawPath(sparkle(QPointF(146, 30), 5));
    drawCompanyName(p, QStringLiteral("书卷"), serifFont(40, true), maroon);
    return image;
}

// 商务/深蓝: dark navy with a soft light at the upper right and fine light
// diagonal lines that fade away towards the lower left.
QImage navyLinesCard()
{
    QImage image = pixelTile(cardSize, [](int x, int y) {
        const double u = double(x) / cardSize.width(), v = double(y) / cardSize.height();
        const double light = std::exp(-(std::pow(u - 0.85, 2) + std::pow(v - 0.1, 2)) / 0.25);
        const QRgb base = blend(QColor(0x17, 0x28, 0x52), QColor(0x0B, 0x15, 0x30), 0.5 * (u + v));
        return shaded(QColor(blend(QColor(base), QColor(0x2A, 0x46, 0x80), 0.45 * light)), 1.4 * grain(x, y, 601));
    });
    QImage lines = clearCanvas(cardSize);
    QPainter lp(&lines);
    beginSmooth(lp);
    lp.setPen(QPen(QColor(255, 255, 255), 0.9));
    for (int c = 0; c < cardSize.width() + cardSize.height(); c += 9)
        lp.drawLine(QPointF(c, 0), QPointF(c - cardSize.height(), cardSize.height()));
    lp.setPen(QPen(QColor(255, 255, 255), 2.2));
    lp.drawLine(QPointF(300, 0), QPointF(73, 227));
    lp.drawLine(QPointF(318, 0), QPointF(91, 227));
    lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QLinearGradient fade(QPointF(363, 0), QPointF(120, 227));
    fade.setColorAt(0, QColor(0, 0, 0, 34));
    fade.setColorAt(0.6, QColor(0, 0, 0, 8));
    fade.setColorAt(1, QColor(0, 0, 0, 0));
    lp.fillRect(lines.rect(), fade);
    lp.end();
    QPainter p(&image);
    p.drawImage(0, 0, lines);
    return image;
}

// 商务/浅灰: light grey with a fine brushed grain.
QImage lightGreyCard()
{
    const TileNoise noise(cardSize, 611);
    const QColor base(0xEC, 0xEC, 0xEA);
    return pixelTile(cardSize, [&](int x, int y) {
        const double brushed = noise.at(x, y, 6, 160) - 0.5;
        const double cloud = noise.fractal(x, y, 3, 4) - 0.5;
        return shaded(base, 5 * brushed + 6 * cloud + 3 * grain(x, y, 612));
    });
}

// One range of hills in the ink-wash picture. The ridge is the highest of a
// few rounded peaks, roughened by noise; ink is darkest along the ridge and
// thins downward into mist.
struct InkRange {
    double foot;                // the ridge's height where no peak rises
    double softness;            // how fast the ink thins below the ridge
    double strength;            // the ink's darkness at the ridge, 0..1
    double mist;                // the line below which the range has faded away
    std::vector<QPointF> peaks; // each peak's x and height
    double peakWidth;
};

double ridgeAt(const InkRange &range, const TileNoise &noise, double x)
{
    double rise = 0;
    for (QPointF peak : range.peaks) {
        const double t = (x - peak.x()) / range.peakWidth;
        rise = std::max(rise, peak.y() / (1 + t * t * (1.2 + 0.5 * std::abs(t))));
    }
    return range.foot - rise - 9 * (noise.at(x, range.foot, 24, 1) - 0.5) - 4 * (noise.at(x, range.foot, 90, 1) - 0.5);
}

double smoothStep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// The ink an ink range leaves at (x, y), 0..1.
double inkAt(const InkRange &range, const TileNoise &noise, double ridge, int x, int y)
{
    const double depth = y - ridge;
    if (depth <= -1)
        return 0;
    const double edge = std::clamp(depth + 1, 0.0, 1.0);
    const double body = 0.3 + 0.7 * std::exp(-depth / range.softness);
    const double fade = 1 - smoothStep(range.mist - 40, range.mist, y);
    const double brush = 0.75 + 0.5 * noise.at(x, y, 40, 12);
    return range.strength * edge * body * fade * brush;
}

// 雅致/水墨: three ranges of hills in pale ink on warm paper, a low sun and
// two birds, all fading to white on the right where the text goes.
QImage inkLandscapeCard()
{
    const TileNoise noise(cardSize, 621);
    const std::vector<InkRange> ranges = {
        {132, 26, 0.20, 176, {{58, 84}, {128, 58}, {206, 26}}, 30},
        {168, 20, 0.34, 206, {{14, 86}, {96, 50}, {168, 24}}, 26},
        {214, 16, 0.52, 252, {{-12, 78}, {62, 40}, {134, 14}}, 30},
    };
    std::vector<std::vector<double>> ridges(ranges.size(), std::vector<double>(cardSize.width()));
    for (size_t r = 0; r < ranges.size(); ++r)
        for (int x = 0; x < cardSize.width(); ++x)
            ridges[r][x] = ridgeAt(ranges[r], noise, x);
    const QColor paper(0xFB, 0xF9, 0xF4), ink(0x2A, 0x31, 0x3A), sunColour(0xE3, 0x8E, 0x7A);
    QImage image = pixelTile(cardSize, [&](int x, int y) {
        const double away = 1 - smoothStep(0.3 * cardSize.width(), 0.8 * cardSize.width(), x);
        const double sunDistance = std::hypot(x - 168.0, y - 62.0);
        QColor colour(blend(paper, sunColour, 0.32 * away * smoothStep(17, 15, sunDistance)));
        double clear = 1;
        for (size_t r = 0; r < ranges.size(); ++r)
            clear *= 1 - inkAt(ranges[r], noise, ridges[r][x], x, y);
        colour = QColor(blend(colour, ink, (1 - clear) * away));
        return shaded(colour, 2.5 * (noise.fractal(x, y, 6, 3) - 0.5) + 1.2 * grain(x, y, 622));
    });
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(QPen(QColor(0x2A, 0x31, 0x3A, 120), 1.1, Qt::SolidLine, Qt::RoundCap));
    for (QPointF bird : {QPointF(206, 44), QPointF(218, 52)}) {
        QPainterPath wings(bird + QPointF(-4, -1.5));
        wings.quadTo(bird + QPointF(-2, -2), bird);
        wings.quadTo(bird + QPointF(2, -2.5), bird + QPointF(4.5, -2));
        p.drawPath(wings);
    }
    return image;
}

// ---------------------------------------------------------------------------
// Gallery pictures: the backgrounds and logos of the sample cards, drawn at
// 300 pixels per inch for the size they are used at, and marked so (the text
// "PenlarkPPI" and the file's own resolution) so that the program draws them
// at their physical size. A background covers a whole 96 × 60 mm card with its
// bleed, across or upright; a logo is 180 px square (15.2 mm) on a transparent
// ground, so that it sits on any background.

constexpr int printPpi = 300;
constexpr QSize printCard(1134, 709);
constexpr QSize printCardUpright(709, 1134);
constexpr QSize printLogoSize(180, 180);
constexpr double pixelsPerMm = printPpi / 25.4;

QImage atPrintResolution(QImage image)
{
    const int dotsPerMeter = qRound(printPpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.setText(QStringLiteral("PenlarkPPI"), QString::number(printPpi));
    return image;
}

// Two colours across the card from one corner to the other, a soft light at
// glow (fractions of the card) and a fine grain that keeps the print from banding.
QImage washCard(QSize size, QColor from, QColor to, QPointF glow, QColor light, quint32 seed)
{
    const double diagonal = std::hypot(size.width(), size.height());
    return pixelTile(size, [=](int x, int y) {
        const double t = (double(x) * size.width() + double(y) * size.height()) / (diagonal * diagonal);
        const double d = std::hypot(double(x) / size.width() - glow.x(), double(y) / size.height() - glow.y());
        const QColor base(blend(from, to, t));
        return shaded(QColor(blend(base, light, 0.5 * std::exp(-d * d / 0.12))), 2.5 * grain(x, y, seed));
    });
}

// A paper or card stock: a cloudy pulp with fine grain.
QImage stockCard(QSize size, QColor base, quint32 seed, double cloud)
{
    const TileNoise noise(size, seed);
    return pixelTile(size, [&](int x, int y) {
        return shaded(base, cloud * (noise.fractal(x, y, 5, 4) - 0.5) + 3 * grain(x, y, seed + 1));
    });
}

// Card stock with fibres, as kraft paper or a school book's page.
QImage fibreCard(QSize size, QColor base, quint32 seed)
{
    QImage image = stockCard(size, base, seed, 14);
    QPainter p(&image);
    beginSmooth(p);
    Dice dice(seed + 2);
    for (int i = 0; i < size.width() * size.height() / 900; ++i) {
        p.setPen(fibrePen(dice, dice.between(0.8, 1.6)));
        p.drawPath(fibre(dice, QPointF(dice.between(0, size.width()), dice.between(0, size.height())),
                         dice.between(8, 30)));
    }
    return image;
}

// A band of colour along one edge (the left, or the top of an upright card)
// with a thin accent line beside it, on pale stock.
QImage bandCard(QSize size, QColor ground, QColor band, QColor accent, double bandMm, quint32 seed)
{
    QImage image = stockCard(size, ground, seed, 6);
    QPainter p(&image);
    beginSmooth(p);
    const bool upright = size.height() > size.width();
    const double depth = bandMm * pixelsPerMm;
    const QRectF bandRect = upright ? QRectF(0, 0, size.width(), depth) : QRectF(0, 0, depth, size.height());
    p.fillRect(bandRect, QLinearGradient(linearRamp(bandRect.topLeft(), bandRect.bottomRight(), band, band.darker(125))));
    const double line = 0.6 * pixelsPerMm, gap = 0.8 * pixelsPerMm;
    p.fillRect(upright ? QRectF(0, depth + gap, size.width(), line) : QRectF(depth + gap, 0, line, size.height()), accent);
    return image;
}

// Thin lines at equal steps, each a sine wave of its own phase: the engraved
// look of a certificate, in a band across the lower part of the card.
QImage guillocheCard(QSize size, QColor ground, QColor ink, quint32 seed)
{
    QImage image = washCard(size, ground, ground.darker(130), QPointF(0.2, 0.1), ground.lighter(150), seed);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(QPen(ink, 1.4));
    const double top = size.height() * 0.7;
    for (int k = 0; k < 18; ++k) {
        QPainterPath wave;
        for (int x = 0; x <= size.width(); x += 4) {
            const double y = top + k * 9 + 30 * std::sin(x / 70.0 + k * 0.35) * std::sin(x / 310.0 + 1.3);
            if (x == 0) wave.moveTo(x, y); else wave.lineTo(x, y);
        }
        p.drawPath(wave);
    }
    return image;
}

// Circuit traces: runs that turn at right angles and end in round pads,
// gathered at the right of a dark card.
QImage circuitCard(QSize size, QColor from, QColor to, QColor trace, quint32 seed)
{
    QImage image = washCard(size, from, to, QPointF(0.9, 0.2), trace.darker(300), seed);
    QPainter p(&image);
    beginSmooth(p);
    Dice dice(seed + 1);
    const double step = 2.5 * pixelsPerMm;
    for (int i = 0; i < 26; ++i) {
        QPointF at(size.width() - dice.between(0, 0.3) * size.width(), dice.between(0.05, 0.95) * size.height());
        at = QPointF(std::round(at.x() / step) * step, std::round(at.y() / step) * step);
        QPainterPath run(at);
        for (int turn = 0; turn < 3; ++turn) {
            const double length = std::round(dice.between(1, 5)) * step;
            at += turn % 2 ? QPointF(0, dice.between(0, 1) < 0.5 ? -length : length) : QPointF(length, 0);
            run.lineTo(at);
        }
        QColor colour = trace;
        colour.setAlphaF(dice.between(0.35, 0.8));
        p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(run);
        p.setBrush(colour);
        p.drawEllipse(run.pointAtPercent(0), 7, 7);
    }
    return image;
}

// Squares on a grid that thin out from one corner: the lower right.
QImage pixelCard(QSize size, QColor ground, const std::vector<QColor> &colours, quint32 seed)
{
    QImage image = stockCard(size, ground, seed, 4);
    QPainter p(&image);
    const double cell = 3.2 * pixelsPerMm;
    for (double y = 0; y < size.height(); y += cell)
        for (double x = 0; x < size.width(); x += cell) {
            const double near = std::hypot(size.width() - x, size.height() - y) / (0.45 * size.width());
            if (near > 1 || hashUnit(int(x), int(y), seed) < near) continue;
            const QColor colour = colours[size_t(hashUnit(int(y), int(x), seed + 1) * colours.size())];
            p.fillRect(QRectF(x + 2, y + 2, cell - 4, cell - 4), colour);
        }
    return image;
}

// Round dots of a few colours scattered along two opposite edges.
QImage confettiCard(QSize size, QColor ground, const std::vector<QColor> &colours, quint32 seed)
{
    QImage image = stockCard(size, ground, seed, 8);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(Qt::NoPen);
    Dice dice(seed + 1);
    const bool upright = size.height() > size.width();
    for (int i = 0; i < 70; ++i) {
        const double along = dice.between(0, 1), across = std::pow(dice.between(0, 1), 2.2) * 0.16;
        const bool far = dice.between(0, 1) < 0.5;
        const double edge = far ? 1 - across : across;
        const QPointF at = upright ? QPointF(along * size.width(), edge * size.height())
                                   : QPointF(edge * size.width(), along * size.height());
        QColor colour = colours[size_t(dice.between(0, colours.size() - 0.001))];
        colour.setAlphaF(dice.between(0.55, 0.9));
        p.setBrush(colour);
        const double r = dice.between(0.6, 2.2) * pixelsPerMm;
        p.drawEllipse(at, r, r);
    }
    return image;
}

// Layered waves along the bottom edge, each a shade lighter than the one below.
QImage wavesCard(QSize size, QColor ground, QColor sea, quint32 seed)
{
    QImage image = stockCard(size, ground, seed, 5);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(Qt::NoPen);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath wave(QPointF(0, size.height()));
        const double base = size.height() * (0.80 + 0.06 * layer);
        for (int x = 0; x <= size.width(); x += 6)
            wave.lineTo(x, base - 18 * std::sin(x / (150.0 + 40 * layer) + layer * 1.7));
        wave.lineTo(size.width(), size.height());
        p.setBrush(QColor(blend(ground, sea, 0.35 + 0.3 * layer)));
        p.drawPath(wave);
    }
    return image;
}

// Hills in ink-wash green over the lower left, fading out to the right.
QImage teaHillsCard(QSize size, quint32 seed)
{
    const TileNoise noise(size, seed);
    const QColor paper(0xF7, 0xF5, 0xEC), ink(0x3C, 0x6E, 0x4E);
    return pixelTile(size, [&](int x, int y) {
        const double u = double(x) / size.width(), v = double(y) / size.height();
        double amount = 0;
        for (int range = 0; range < 3; ++range) {
            const double ridge = 0.62 + 0.1 * range - 0.18 * std::exp(-std::pow((u - 0.12 - 0.15 * range) / 0.16, 2))
                               - 0.04 * (noise.at(x, range * 97, 20, 1) - 0.5);
            if (v > ridge) amount = std::max(amount, (0.22 + 0.14 * range) * std::exp(-(v - ridge) * 6));
        }
        amount *= (1 - smoothStep(0.25, 0.75, u)) * (0.8 + 0.4 * noise.at(x, y, 50, 14));
        return shaded(QColor(blend(paper, ink, amount)), 2 * grain(x, y, seed + 1));
    });
}

// Two bold blocks of colour meeting on a slant, over a pale ground.
QImage blocksCard(QSize size, QColor ground, QColor first, QColor second, quint32 seed)
{
    QImage image = stockCard(size, ground, seed, 4);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(Qt::NoPen);
    const double w = size.width(), h = size.height();
    p.setBrush(first);
    p.drawPolygon(QPolygonF({QPointF(0.70 * w, 0), QPointF(w, 0), QPointF(w, h), QPointF(0.52 * w, h)}));
    p.setBrush(second);
    p.drawPolygon(QPolygonF({QPointF(0.86 * w, 0), QPointF(w, 0), QPointF(w, h), QPointF(0.72 * w, h)}));
    return image;
}

// A large disc of colour rising from beyond the lower edge, on white.
QImage discCard(QSize size, QColor ground, QColor disc, quint32 seed)
{
    QImage image = stockCard(size, ground, seed, 4);
    QPainter p(&image);
    beginSmooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    const double r = 0.55 * size.width();
    p.drawEllipse(QPointF(0.85 * size.width(), 1.02 * size.height()), r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(disc, 3));
    p.drawEllipse(QPointF(0.85 * size.width(), 1.02 * size.height()), r + 24, r + 24);
    return image;
}

// A double rule inside the trim, as a certificate's or an invitation's border.
QImage framedCard(QImage image, QColor rule)
{
    QPainter p(&image);
    beginSmooth(p);
    const double inset = 5.5 * pixelsPerMm;
    const QRectF outer = QRectF(image.rect()).adjusted(inset, inset, -inset, -inset);
    p.setPen(QPen(rule, 3));
    p.drawRect(outer);
    p.setPen(QPen(rule, 1.2));
    p.drawRect(outer.adjusted(9, 9, -9, -9));
    return image;
}

// Fine vertical pinstripes on a deep ground, as a suit's cloth.
QImage pinstripeCard(QSize size, QColor ground, quint32 seed)
{
    const TileNoise noise(size, seed);
    return pixelTile(size, [&](int x, int y) {
        const double stripe = (x % 30) < 2 ? 9 : 0;
        return shaded(ground, stripe + 6 * (noise.at(x, y, 4, 60) - 0.5) + 2 * grain(x, y, seed + 1));
    });
}

// Logos: a mark drawn in a 180-pixel square on transparent ground.
QImage logoCanvas(const std::function<void(QPainter &)> &draw)
{
    QImage image = clearCanvas(printLogoSize);
    QPainter p(&image);
    beginSmooth(p);
    draw(p);
    return image;
}

const QPointF logoCentre(90, 90);

// One character, white, on a disc or a rounded square of colour.
QImage glyphLogo(const QString &glyph, QColor colour, bool disc, bool serif)
{
    return logoCanvas([&](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        if (disc) p.drawEllipse(logoCentre, 86, 86);
        else p.drawRoundedRect(QRectF(4, 4, 172, 172), 30, 30);
        p.setBrush(Qt::white);
        p.drawPath(glyphAt(glyph, serif ? serifFont(104, true) : sansFont(104, true), logoCentre));
    });
}

// 启航: a sail over two waves.
QImage sailLogo()
{
    return logoCanvas([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1F, 0x4E, 0x8C));
        p.drawPolygon(QPolygonF({QPointF(96, 12), QPointF(96, 116), QPointF(28, 116)}));
        p.setBrush(QColor(0xD9, 0x8C, 0x2B));
        p.drawPolygon(QPolygonF({QPointF(106, 34), QPointF(106, 116), QPointF(156, 116)}));
        p.setPen(QPen(QColor(0x1F, 0x4E, 0x8C), 9, Qt::SolidLine, Qt::RoundCap));
        for (double y : {136.0, 158.0}) {
            QPainterPath wave(QPointF(18, y));
            wave.cubicTo(48, y - 14, 72, y + 14, 100, y);
            wave.cubicTo(128, y - 14, 150, y + 14, 166, y);
            p.setBrush(Qt::NoBrush);
            p.drawPath(wave);
        }
    });
}

// 云帆科技: a hexagon of six linked nodes around a centre.
QImage nodesLogo()
{
    return logoCanvas([](QPainter &p) {
        QPolygonF ring;
        for (int i = 0; i < 6; ++i) ring << logoCentre + 62 * QPointF(std::cos(pi / 3 * i - pi / 2), std::sin(pi / 3 * i - pi / 2));
        p.setPen(QPen(QColor(0x12, 0x8C, 0x9E), 8));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(ring);
        for (const QPointF &node : ring) p.drawLine(logoCentre, node);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2B, 0x3F, 0xB8));
        for (const QPointF &node : ring) p.drawEllipse(node, 15, 15);
        p.setBrush(QColor(0x12, 0x8C, 0x9E));
        p.drawEllipse(logoCentre, 24, 24);
    });
}

// 数联: two interlocking rounded squares.
QImage linkedSquaresLogo()
{
    return logoCanvas([](QPainter &p) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x5B, 0x3F, 0xC4), 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawRoundedRect(QRectF(18, 18, 92, 92), 18, 18);
        p.setPen(QPen(QColor(0x1E, 0x9E, 0xD8), 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawRoundedRect(QRectF(70, 70, 92, 92), 18, 18);
    });
}

// 瑞丰: an old round coin with its square hole, in gold.
QImage coinLogo()
{
    return logoCanvas([](QPainter &p) {
        QPainterPath coin;
        coin.addEllipse(logoCentre, 84, 84);
        coin.addRect(QRectF(logoCentre - QPointF(24, 24), QSizeF(48, 48)));
        coin.setFillRule(Qt::OddEvenFill);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xB8, 0x86, 0x1B));
        p.drawPath(coin);
        p.setPen(QPen(QColor(0xF3, 0xD9, 0x8B), 5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(logoCentre, 70, 70);
        p.drawRect(QRectF(logoCentre - QPointF(34, 34), QSizeF(68, 68)));
    });
}

// 康宁: a rounded cross in a ring, in medical teal.
QImage crossLogo()
{
    return logoCanvas([](QPainter &p) {
        p.setPen(QPen(QColor(0x0E, 0x8A, 0x7D), 12));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(logoCentre, 80, 80);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x0E, 0x8A, 0x7D));
        p.drawRoundedRect(QRectF(70, 34, 40, 112), 10, 10);
        p.drawRoundedRect(QRectF(34, 70, 112, 40), 10, 10);
    });
}

// 茶舍 and 麦香: a leaf, or an ear of grain, from leaf() on a stalk.
QImage leafLogo()
{
    return logoCanvas([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3C, 0x7A, 0x3F));
        p.drawPath(leaf(QPointF(60, 160), QPointF(130, 20), 70));
        p.setBrush(QColor(0x8F, 0xB8, 0x4A));
        p.drawPath(leaf(QPointF(70, 160), QPointF(160, 100), 34));
        p.setPen(QPen(QColor(0xF5, 0xF1, 0xE0), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(68, 150), QPointF(122, 40));
    });
}

QImage wheatLogo()
{
    return logoCanvas([](QPainter &p) {
        const QColor gold(0xC2, 0x8A, 0x2E);
        p.setPen(QPen(gold, 7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(90, 172), QPointF(90, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(gold);
        for (int i = 0; i < 5; ++i) {
            const double y = 44 + i * 24;
            p.drawPath(leaf(QPointF(88, y + 20), QPointF(52, y - 4), 22));
            p.drawPath(leaf(QPointF(92, y + 20), QPointF(128, y - 4), 22));
        }
        p.drawPath(leaf(QPointF(90, 40), QPointF(90, 6), 20));
    });
}

// 炭火: a flame of three tongues, red to amber.
QImage flameLogo()
{
    return logoCanvas([](QPainter &p) {
        p.setPen(Qt::NoPen);
        const auto tongue = [&](QColor colour, double width, double height) {
            QPainterPath flame(QPointF(90, 172));
            flame.cubicTo(90 - width, 172, 90 - width, 172 - height * 0.5, 90, 172 - height);
            flame.cubicTo(90 + width * 0.2, 172 - height * 0.6, 90 + width, 172 - height * 0.4, 90, 172);
            p.setBrush(colour);
            p.drawPath(flame);
        };
        tongue(QColor(0xC6, 0x28, 0x28), 78, 166);
        tongue(QColor(0xEF, 0x6C, 0x00), 56, 118);
        tongue(QColor(0xFF, 0xC1, 0x07), 32, 70);
    });
}

// 方圆设计: a square and a disc overlapping, the overlap cut out.
QImage squareCircleLogo()
{
    return logoCanvas([](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE8, 0x4A, 0x3B));
        p.drawRect(QRectF(12, 12, 104, 104));
        p.setBrush(QColor(0x24, 0x24, 0x24));
        QPainterPath disc;
        disc.addEllipse(QPointF(116, 116), 56, 56);
        QPainterPath square;
        square.addRect(QRectF(12, 12, 104, 104));
        p.drawPath(disc.subtracted(square));
    });
}

// 衡正: a balance of two pans hanging from a beam on a post.
QImage scalesLogo()
{
    return logoCanvas([](QPainter &p) {
        const QColor navy(0x1B, 0x2A, 0x4A);
        p.setPen(QPen(navy, 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(90, 24), QPointF(90, 160));
        p.drawLine(QPointF(56, 164), QPointF(124, 164));
        p.drawLine(QPointF(24, 46), QPointF(156, 46));
        p.setPen(QPen(navy, 3));
        for (double x : {36.0, 144.0}) {
            p.drawLine(QPointF(x, 46), QPointF(x - 22, 104));
            p.drawLine(QPointF(x, 46), QPointF(x + 22, 104));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xA8, 0x82, 0x3A));
        for (double x : {36.0, 144.0}) p.drawChord(QRectF(x - 28, 80, 56, 48), 180 * 16, 180 * 16);
        p.drawEllipse(QPointF(90, 24), 10, 10);
    });
}

// ---------------------------------------------------------------------------
// The line panel's size slider, in the command bar's colours: a track whose
// groove is a blue wedge growing from left to right over tick marks, and a
// small black triangle that points up at the track. The thumb's centre runs
// from the track's first to its last column.

constexpr QSize sliderTrackSize(180, 13);
constexpr QSize sliderThumbSize(12, 10);

QImage sliderTrack()
{
    QImage image = clearCanvas(sliderTrackSize);
    QPainter p(&image);
    beginSmooth(p);
    const QRectF groove(0.5, 0.5, sliderTrackSize.width() - 1, 6);
    const QLinearGradient inset = linearRamp(QPointF(0, groove.top()), QPointF(0, groove.bottom()),
                                             QColor(0xA9, 0xB4, 0xC2), QColor(0xF4, 0xF6, 0xF9));
    p.setPen(QPen(QColor(0x8C, 0x99, 0xAA), 1));
    p.setBrush(inset);
    p.drawRoundedRect(groove, 3, 3);
    const QLinearGradient wedgeFill =
        linearRamp(QPointF(groove.left(), 0), QPointF(groove.right(), 0), iconPale, iconBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(wedgeFill);
    p.drawPath(polygonPath({{2, 5.5}, {groove.right() - 2, 1.8}, {groove.right() - 2, 5.5}}));
    p.setRenderHint(QPainter::Antialiasing, false);
    const int ticks = 10;
    for (int i = 0; i <= ticks; ++i) {
        const int x = std::min(i * sliderTrackSize.width() / ticks, sliderTrackSize.width() - 1);
        const bool major = i % 5 == 0;
        p.setPen(major ? iconInk : QColor(0x8C, 0x99, 0xAA));
        p.drawLine(x, 8, x, major ? 12 : 10);
    }
    return image;
}

QImage sliderThumb()
{
    QImage image = clearCanvas(sliderThumbSize);
    QPainter p(&image);
    beginSmooth(p);
    const double w = sliderThumbSize.width(), h = sliderThumbSize.height();
    p.setPen(QPen(QColor(0x10, 0x12, 0x16), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::black);
    p.drawPath(polygonPath({{w / 2, 0.5}, {w - 0.5, h - 0.5}, {0.5, h - 0.5}}));
    // A faint light edge on the left flank, as on the command bar's icons.
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawLine(QPointF(w / 2 - 0.5, 2.5), QPointF(2.5, h - 1.5));
    return image;
}

// ---------------------------------------------------------------------------
// The colour palette of the colour pickers: 198 x 15 pixels, 24 bits. Columns
// 0 to 189 sweep the hues from red through orange, yellow, green, cyan, blue,
// violet and magenta back to red; rows fall from a pale tint (row 0) through
// the full colour (row 7) to a dark shade (row 14). Columns 190 to 197 are a
// grey ramp from white to black. The keys below are the palette's fixed
// pixels; every other pixel is interpolated linearly between its neighbours,
// across between key columns and down between key rows.

constexpr int kPaletteHueColumns = 190;
constexpr int kPaletteKeySpacing = 27; // key columns 0, 27, ..., 189
constexpr int kPaletteRows = 15;

struct PaletteKey {
    QRgb tint, full, shade; // rows 0, 7 and 14
};

constexpr PaletteKey kPaletteKeys[] = {
    {qRgb(251, 222, 209), qRgb(213, 11, 39), qRgb(46, 6, 0)},    // red
    {qRgb(254, 248, 223), qRgb(252, 211, 31), qRgb(51, 45, 10)}, // yellow
    {qRgb(227, 241, 225), qRgb(66, 171, 69), qRgb(8, 39, 15)},   // green
    {qRgb(214, 237, 238), qRgb(0, 154, 155), qRgb(0, 35, 36)},   // cyan
    {qRgb(212, 227, 242), qRgb(0, 103, 172), qRgb(0, 22, 40)},   // blue
    {qRgb(221, 214, 232), qRgb(83, 34, 119), qRgb(21, 0, 28)},   // violet
    {qRgb(250, 224, 231), qRgb(214, 0, 109), qRgb(48, 2, 23)},   // magenta
    {qRgb(251, 222, 209), qRgb(213, 11, 39), qRgb(46, 6, 0)},    // red again
};
constexpr PaletteKey kGreyKey{qRgb(255, 255, 255), qRgb(137, 137, 137), qRgb(0, 0, 0)};

// One channel of a key column in row y: linear from the tint to the full
// colour and on to the shade.
double keyChannel(int (*channel)(QRgb), const PaletteKey &key, int y)
{
    const int middle = kPaletteRows / 2;
    const double tint = channel(key.tint), full = channel(key.full), shade = channel(key.shade);
    if (y <= middle) return tint + (full - tint) * y / middle;
    return full + (shade - full) * (y - middle) / (kPaletteRows - 1 - middle);
}

// Down each key column first, then across between key columns, rounding once
// (half to even) at the end, so the key pixels come out exactly.
QRgb paletteColour(int x, int y)
{
    const bool grey = x >= kPaletteHueColumns;
    const PaletteKey &left = grey ? kGreyKey : kPaletteKeys[x / kPaletteKeySpacing];
    const PaletteKey &right = grey ? kGreyKey : kPaletteKeys[(x + kPaletteKeySpacing - 1) / kPaletteKeySpacing];
    const double t = grey ? 0.0 : double(x % kPaletteKeySpacing) / kPaletteKeySpacing;
    const auto mixed = [&](int (*channel)(QRgb)) {
        const double a = keyChannel(channel, left, y), b = keyChannel(channel, right, y);
        return int(std::nearbyint(a + (b - a) * t));
    };
    return qRgb(mixed(qRed), mixed(qGreen), mixed(qBlue));
}

QImage palette()
{
    QImage image(kPaletteHueColumns + 8, kPaletteRows, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, paletteColour(x, y));
    return image;
}

// ---------------------------------------------------------------------------

// A picture file, named relative to its folder, and the function that draws it.
struct Picture {
    QString fileName;
    std::function<QImage()> draw;
};

// The pictures built into the program: the default logo, the background tiles
// and the pictures of the main window.
std::vector<Picture> pictures()
{
    std::vector<Picture> all = {
        {"default_logo.png", defaultLogo},
        {"background_00.png", [] { return linen(QColor(0xF5, 0xEF, 0xE3), 7, 11); }}, // cream linen
        {"background_01.png", laidPaper},
        {"background_02.png", diagonalPinstripes},
        {"background_03.png", staggeredDots},
        {"background_04.png", gentleWaves},
        {"background_05.png", graphPaper},
        {"background_06.png", herringbone},
        {"background_07.png", softMarble},
        {"background_08.png", ricePaper},
        {"background_09.png", auspiciousClouds},
        {"background_10.png", fretLattice},
        {"background_11.png", plumBlossoms},
        {"background_12.png", waveScales},
        {"background_13.png", navyDiamonds},
        {"background_14.png", [] { return linen(QColor(0x2E, 0x2F, 0x33), 6, 141); }}, // charcoal linen
        {"splash.png", splash},
        {"app_icon.png", appIcon},
        {"help_bg.png", helpBackground},
        {"new_card.png", newCardPicture},
        {"about.png", aboutPicture},
        {"menu/bar.png", [] { return barStrip(8); }},
        {"menu/separator.png", barSeparator},
        {"palette.png", palette},
        {"slider_track.png", sliderTrack},
        {"slider_thumb.png", sliderThumb},
    };
    for (const Command &command : commands)
        for (CommandState state : {CommandState::Normal, CommandState::Hovered, CommandState::Pressed})
            all.push_back({QStringLiteral("menu/%1%2.png").arg(command.name).arg(int(state)),
                           [&command, state] { return commandPicture(command, state); }});
    return all;
}

// The sample pictures the program folder's libraries start with.
std::vector<Picture> libraryPictures()
{
    return {
        {QStringLiteral("logo/企业标志/青禾.jpg"), greenGrainLogo},
        {QStringLiteral("logo/企业标志/山峰.jpg"), mountainLogo},
        {QStringLiteral("logo/企业标志/书卷.jpg"), bookLogo},
        {QStringLiteral("background/商务/深蓝.jpg"), navyLinesCard},
        {QStringLiteral("background/商务/浅灰.jpg"), lightGreyCard},
        {QStringLiteral("background/雅致/水墨.jpg"), inkLandscapeCard},
    };
}

QColor rgb(QRgb value) { return QColor::fromRgb(value); }

// The gallery's pictures, at print resolution (see atPrintResolution).
std::vector<Picture> galleryPictures()
{
    const QSize across = printCard, upright = printCardUpright;
    std::vector<Picture> all = {
        {"background/商务/藏青.jpg", [=] { return washCard(across, rgb(0x1B2A4A), rgb(0x0E1628), {0.85, 0.15}, rgb(0x35508A), 701); }},
        {"background/商务/晨光.jpg", [=] { return bandCard(across, rgb(0xFAFAF7), rgb(0x1F4E8C), rgb(0xD98C2B), 16, 702); }},
        {"background/商务/石墨竖.jpg", [=] { return washCard(upright, rgb(0x3A3D42), rgb(0x1E2024), {0.2, 0.1}, rgb(0x5A5E66), 703); }},
        {"background/科技/电路.jpg", [=] { return circuitCard(across, rgb(0x0B2233), rgb(0x06121C), rgb(0x2EC4B6), 711); }},
        {"background/科技/像素.jpg", [=] {
             return pixelCard(across, rgb(0xFBFCFE), {rgb(0x2B3FB8), rgb(0x1E9ED8), rgb(0x5B3FC4), rgb(0xA9C9F5)}, 712);
         }},
        {"background/科技/极光竖.jpg", [=] { return washCard(upright, rgb(0x2B1A5E), rgb(0x0B4F6C), {0.8, 0.25}, rgb(0x3FA7A0), 713); }},
        {"background/金融/象牙金边.jpg", [=] { return framedCard(stockCard(across, rgb(0xFBF7EC), 721, 8), rgb(0xB8861B)); }},
        {"background/金融/墨绿.jpg", [=] { return guillocheCard(across, rgb(0x0F3D2E), rgb(0x2F6B55), 722); }},
        {"background/教育/书香.jpg", [=] { return fibreCard(across, rgb(0xF6EEDC), 731); }},
        {"background/教育/黑板.jpg", [=] { return stockCard(across, rgb(0x2F4A3A), 732, 18); }},
        {"background/教育/童趣竖.jpg", [=] {
             return confettiCard(upright, rgb(0xFFFDF6), {rgb(0xE8574A), rgb(0xF2B632), rgb(0x3D8FD6), rgb(0x5DB36A)}, 733);
         }},
        {"background/医疗/清波.jpg", [=] { return wavesCard(across, rgb(0xFBFEFE), rgb(0x2A9D8F), 741); }},
        {"background/医疗/晴空.jpg", [=] { return washCard(across, rgb(0xDCEEFA), rgb(0xFFFFFF), {0.1, 0.1}, rgb(0xFFFFFF), 742); }},
        {"background/医疗/薄荷竖.jpg", [=] { return bandCard(upright, rgb(0xFBFEFD), rgb(0x1F7A68), rgb(0x3FB39B), 14, 743); }},
        {"background/餐饮/茶山.jpg", [=] { return teaHillsCard(across, 751); }},
        {"background/餐饮/炭火.jpg", [=] { return washCard(across, rgb(0x2A2522), rgb(0x151210), {0.5, 1.1}, rgb(0x7A3A16), 752); }},
        {"background/餐饮/烘焙.jpg", [=] {
             return confettiCard(across, rgb(0xFFF6E8), {rgb(0xE6A15A), rgb(0xC9743A), rgb(0xF3D0A0), rgb(0x9C5B2E)}, 753);
         }},
        {"background/设计/撞色.jpg", [=] { return blocksCard(across, rgb(0xF7F5F0), rgb(0xE8C547), rgb(0x2C3E75), 761); }},
        {"background/设计/留白竖.jpg", [=] { return discCard(upright, rgb(0xFFFFFF), rgb(0xE84A3B), 762); }},
        {"background/设计/牛皮纸.jpg", [=] { return fibreCard(across, rgb(0xC9A57A), 763); }},
        {"background/法律咨询/深红.jpg", [=] { return pinstripeCard(across, rgb(0x5A1A22), 771); }},
        {"background/法律咨询/藏蓝竖.jpg", [=] { return bandCard(upright, rgb(0xFBFBF9), rgb(0x1B2A4A), rgb(0xA8823A), 22, 772); }},
        {"logo/商务/恒远.png", [] { return glyphLogo(QStringLiteral("恒"), rgb(0x1F4E8C), true, true); }},
        {"logo/商务/启航.png", sailLogo},
        {"logo/科技/云帆.png", nodesLogo},
        {"logo/科技/数联.png", linkedSquaresLogo},
        {"logo/金融/瑞丰.png", coinLogo},
        {"logo/教育/启明.png", [] { return glyphLogo(QStringLiteral("启"), rgb(0xB03A2E), false, true); }},
        {"logo/医疗/康宁.png", crossLogo},
        {"logo/餐饮/茶舍.png", leafLogo},
        {"logo/餐饮/麦香.png", wheatLogo},
        {"logo/餐饮/炭火.png", flameLogo},
        {"logo/设计/方圆.png", squareCircleLogo},
        {"logo/法律咨询/衡正.png", scalesLogo},
    };
    for (Picture &picture : all) picture.draw = [draw = picture.draw] { return atPrintResolution(draw()); };
    return all;
}

// Draws every picture into folder, making subfolders as needed: PNG, or
// JPEG at quality 92 for names ending in .jpg.
bool writePictures(const std::vector<Picture> &list, const QDir &folder, QTextStream &err)
{
    for (const Picture &picture : list) {
        const QString path = folder.filePath(picture.fileName);
        if (!QFileInfo(path).dir().mkpath(QStringLiteral("."))) {
            err << "cannot create the folder of " << path << "\n";
            return false;
        }
        const bool jpeg = picture.fileName.endsWith(QLatin1String(".jpg"));
        if (!picture.draw().save(path, jpeg ? "JPG" : "PNG", jpeg ? 92 : -1)) {
            err << "cannot write " << path << "\n";
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2 && argc != 3) {
        err << "usage: make-pictures PICTURES-FOLDER [LIBRARY-FOLDER]\n"
               "  LIBRARY-FOLDER defaults to PICTURES-FOLDER/../program\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QDir libraries(argc == 3 ? QString::fromLocal8Bit(argv[2])
                                   : QDir::cleanPath(folder.filePath(QStringLiteral("../program"))));
    return writePictures(pictures(), folder, err) && writePictures(libraryPictures(), libraries, err)
                   && writePictures(galleryPictures(), libraries, err)
               ? 0
               : 1;
}
