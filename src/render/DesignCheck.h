#pragma once

#include "model/PageView.h"

#include <QRgb>
#include <QStringList>

// The rules a finished card's design keeps so that it holds up in print: faces
// that are installed, no text under 6.5 pt, every text at least 4.5:1 against
// the pixels behind it (the WCAG contrast ratio, from the side rendered at
// 300 dpi), every text, the logo, the line and the QR code 1 mm or more inside
// the trim line, and no text crossing another or the QR code. The sample cards are held to them.
namespace DesignCheck {

inline constexpr double kSmallestPoints = 6.5;
inline constexpr double kLeastContrast = 4.5;
inline constexpr double kTrimMarginTwips = 1440 / 25.4; // 1 mm
inline constexpr double kCheckDpi = 300;

// The WCAG contrast ratio of two opaque colours, 1 to 21.
double contrastRatio(QRgb a, QRgb b);

// A text's contrast is the one all but the 1% least contrasting of its pixels
// reach against the side rendered without any text, so that the grain of a
// picture does not count but a motif behind part of the text does.
// What breaks the rules on both sides of the card, one line each, naming the
// card, the text's section (cName on the front, bName on the back) and its caption.
// The card's face names resolve as the designer resolves them
// (Fonts::installSubstitutions must have run).
QStringList check(const QString &cardName, const CardDocument &card, const PageView &view);

} // namespace DesignCheck
