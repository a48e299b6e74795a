#pragma once

#include "model/CardDocument.h"

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
    // The page panel's colour option (solid or gradient). It stays chosen under a
    // picture background and decides the page's fill when the picture is removed.
    BackgroundKind colourOption = BackgroundKind::SolidColour;
    // The option that removes a picture background from the page is ticked.
    bool pictureRemoved = false;
    // A text too wide for the page is a block of this size (twips) in which it
    // wraps; without one the text is a single line measured in its own font.
    std::array<std::optional<QSizeF>, kTextCount> textBlocks;

    // The background the page shows: the card's picture unless it is removed or
    // could not be loaded, in which case the colour option's fill.
    BackgroundKind shownBackground(const CardPage &page) const
    {
        if (!isPictureKind(page.isBg)) return page.isBg;
        return pictureRemoved || background.isNull() ? colourOption : page.isBg;
    }

    // The option that removes the picture can be used while a picture kind is current.
    static bool canRemovePicture(const CardPage &page) { return isPictureKind(page.isBg); }
};
