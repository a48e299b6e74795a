#pragma once

#include "model/PageView.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <array>
#include <optional>

// The objects on a page, numbered as the show/hide boxes number them: the
// eleven texts 0..10, the logo 11 and the line 12; then the QR code 13, which
// only a card with a code has and its own panel shows or hides. Pure geometry
// in twips.
namespace PageObjects {

inline constexpr int kLogo = 11;
inline constexpr int kLine = 12;
inline constexpr int kCount = 13;  // the objects of the show/hide boxes
inline constexpr int kQrCode = 13;
inline constexpr int kObjectCount = 14;

// The box object id covers on the page; empty for a card without a QR code.
QRectF box(const CardDocument &card, const PageView &view, int id);
void moveTo(CardDocument &card, int id, QPointF topLeft);
bool isVisible(const CardDocument &card, int id);
void setVisible(CardDocument &card, int id, bool visible);

// An object held inside the trim area: its new top-left and which trim guides
// (left, right, top, bottom) it rests against. Left before right and top before
// bottom, so an object larger than the trim area ends on the right and bottom lines.
struct Kept {
    QPointF topLeft;
    std::array<bool, 4> guides{};
};
Kept keepInTrim(const QRectF &object, QSizeF page);

enum class Alignment { Left, Centre, Right };

// The left edge of an object of width w at left x snapped to the alignment guide
// at left guideLeft with width guideWidth, or nothing outside the snap zone
// (guideLeft - w/2 < x < guideLeft + w/2, both strict).
std::optional<double> snapToGuide(double x, double w, double guideLeft, double guideWidth, Alignment alignment);

// The guide's left edge held between the trim lines (its width not counted).
double keepGuideInTrim(double left, double pageWidth);

// Where a text object goes after the page changed its size: a text whose left
// edge lies right of a sixth of the page width ends 250 twips (trim inset and
// 80) inside the right edge; a text whose top lies below the page ends on the
// bottom edge. Texts near the left edge keep their left edge.
QPointF fittedTextPosition(const QRectF &text, QSizeF page);

} // namespace PageObjects
