#pragma once

#include "model/Colour.h"

#include <vector>

class QImage;

// Fills a whole image with a linear two-colour gradient at any angle. The image is
// swept by parallel one-pixel lines, one ramp colour per line, so that gradient
// backgrounds come out pixel for pixel as the card designer has always drawn them.
class GradientPainter
{
public:
    // A point in single precision, the precision the sweep segment is computed in.
    struct SinglePoint {
        float x = 0;
        float y = 0;
    };

    // Draws the gradient over the whole image, whose size is the area to fill. True
    // when at least one line was drawn; a null image, or one of a single pixel or
    // less in either direction, is left alone and gives false. 32-bit RGB images are
    // written in place; other formats are converted to 32 bits and back.
    bool draw(QImage &target) const;

    // Fills colours with a ramp of steps colours (at least 2) from c1 to c2 and
    // returns their number. The ends are c1 and c2 exactly; the colours between
    // advance by 1/steps of the way each, so the last step is about twice as large.
    static int blendColours(Colour::Value c1, Colour::Value c2, int steps,
                           std::vector<Colour::Value> &colours);

    // Colour values with the top bit set and 0 to 24 in the low 31 bits name a
    // Windows system colour; the setters resolve them at once through the
    // application palette and store the result.
    void setColor1(Colour::Value value);
    Colour::Value color1() const { return m_color1; }
    void setColor2(Colour::Value value);
    Colour::Value color2() const { return m_color2; }

    // Degrees counter-clockwise from the positive x axis as seen on screen, in which
    // the gradient runs from color1 to color2 (0 left to right, 90 bottom to top);
    // stored as v - 360 * floor(v / 360).
    void setAngle(float degrees);
    float angle() const { return m_angle; }

private:
    // Draws the sweep of lines on a w x h image; returns twice the number of lines.
    int paintSweep(QImage &target, int w, int h) const;
    // Turns p about centre by degrees, counter-clockwise on screen.
    static void rotatePoint(SinglePoint centre, SinglePoint &p, float degrees);
    // a / b, or 0 when b is 0.
    static double safeDivide(double a, double b);

    Colour::Value m_color1 = 0x00FFFFD0;
    Colour::Value m_color2 = 0x00400000;
    float m_angle = 315;
};
