#pragma once

#include "model/PageView.h"
#include "render/PageGeometry.h"

#include <QSizeF>
#include <optional>

// The rule that keeps a long text inside the page: a text wider than the
// printable width (the page less a 170-twip margin on each side) becomes a
// block of that width at the left margin, two, three or four lines high, in
// which it wraps. Lengths are twips.
namespace TextFit {

inline constexpr int kMargin = PageGeometry::kTrimInset;

struct Fit {
    std::optional<QSizeF> block; // none: the text sizes itself on its own lines
    std::optional<float> left;   // the new left edge, when the text moves
};

// natural is the text's self-sizing size (its height h is one line of it),
// currentHeight the height its box has now. With r = natural width / printable
// width: r < 1 sizes itself where it is; otherwise a block at the margin,
// 2h high for 1 < r <= 2, 3h for r <= 3, 4h for r <= 4, and as high as now for
// r exactly 1 or beyond 4.
Fit fit(QSizeF natural, double currentHeight, double pageWidth);

// Fits text index of the card: its block in view, its left edge in card.
void fitText(CardDocument &card, PageView &view, std::size_t index);

// The blocks of texts read from a card file, which keeps no block sizes: each
// text of either side fitted as it stands, without moving it.
void restoreBlocks(const CardDocument &card, PageView &view);

} // namespace TextFit
