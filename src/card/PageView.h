#pragma once

#include "card/CardDocument.h"

#include <QImage>
#include <QSizeF>
#include <array>
#include <optional>

// What the page shows besides the card document: the pictures it holds and the
// display options that are not stored in card files.
struct PageView {
    QImage background;  // for the picture kinds: the picture tiled over the page
    QImage logo;        // the logo's picture; a null image draws the built-in logo
    bool cropMarks = true;
    bool logoInFront = false;
    // A text too wide for the page is a block of this size (twips) in which it
    // wraps; without one the text is a single line measured in its own font.
    std::array<std::optional<QSizeF>, kTextCount> textBlocks;
};
