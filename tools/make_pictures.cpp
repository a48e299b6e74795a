// make-pictures: draws Penlark's built-in pictures, the default logo and the
// fifteen background tiles, and writes them as PNG files into one folder.
//
// Every picture is drawn here from shapes and seeded noise, so running the tool
// again gives the same files. Background tiles repeat without seams: noise
// lattices wrap around the tile, and a motif that crosses an edge is drawn once
// more on the opposite side.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
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

// A short conical beak, as larks have.
QPainterPath larkBeak()
{
    QPainterPath beak;
    beak.moveTo(376, 160);
    beak.quadTo(400, 166, 418, 180);
    beak.quadTo(400, 190, 380, 196);
    beak.closeSubpath();
    return beak;
}

// The lark's crest: a short swept tuft at the back of the head.
QPainterPath larkCrest()
{
    QPainterPath crest;
    crest.moveTo(322, 160);
    crest.quadTo(316, 136, 300, 120);
    crest.quadTo(332, 124, 350, 144);
    crest.closeSubpath();
    return crest;
}

// A plump breast tapering to the nib's point at the lower left.
QPainterPath larkBody()
{
    QPainterPath body;
    body.moveTo(384, 196);
    body.cubicTo(400, 300, 300, 372, 132, 404);
    body.cubicTo(210, 336, 258, 262, 318, 206);
    body.closeSubpath();
    return body;
}

// One flight feather: a vane along +x from a blunt root to a pointed tip,
// wider on its upper side.
QPainterPath feather(QPointF root, double angle, double length, double width)
{
    QPainterPath vane;
    vane.moveTo(0, -0.3 * width);
    vane.cubicTo(0.4 * length, -0.62 * width, 0.82 * length, -0.45 * width, length, 0);
    vane.cubicTo(0.8 * length, 0.28 * width, 0.4 * length, 0.42 * width, 0, 0.3 * width);
    vane.closeSubpath();
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
    QLinearGradient fill(QPointF(96, 40), QPointF(416, 472));
    fill.setColorAt(0, QColor(0x2F, 0x6F, 0xA8));
    fill.setColorAt(1, QColor(0x1A, 0x2C, 0x5E));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(centre, 244, 244);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 46), 5));
    p.drawEllipse(centre, 222, 222);
}

QImage defaultLogo()
{
    QImage image(logoSize, logoSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    beginSmooth(p);
    drawEmblem(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(centred(larkMark(), 336));
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

// Rice paper: warm, cloudy pulp with short plant fibres and a few long ones.
QImage ricePaper()
{
    const QSize size(256, 256);
    const TileNoise noise(size, 81);
    const QColor base(0xF6, 0xEF, 0xDF);
    QImage image = pixelTile(size, [&](int x, int y) {
        const double cloud = noise.fractal(x, y, 4, 5) - 0.5;
        return shaded(base, 12 * cloud + 2.5 * grain(x, y, 82));
    });
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

// A picture file and the function that draws it.
struct Picture {
    QString fileName;
    std::function<QImage()> draw;
};

std::vector<Picture> pictures()
{
    return {
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
    };
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: make-pictures OUTPUT-FOLDER\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot create " << folder.path() << "\n";
        return 1;
    }
    for (const Picture &picture : pictures()) {
        const QString path = folder.filePath(picture.fileName);
        if (!picture.draw().save(path, "PNG")) {
            err << "cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
