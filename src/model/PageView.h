#pragma once

#include "model/CardDocument.h"

#include <QImage>
#include <QSizeF>
#include <array>
#include <optional>

// What the page shows of one side besides its part of the card document: its
// pictures and the options of its background and texts not stored in card files.
struct FaceView {
    QImage background;  // for the picture kinds: the picture tiled over the page
    QImage logo;        // the logo's picture; a null image draws the built-in logo
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

// What the page shows besides the card document: the shown side's view in its
// own fields, the other side's apart (as the document keeps its sides), and the
// display options of the whole card.
struct PageView : FaceView {
    bool cropMarks = true;
    bool logoInFront = false;
    std::optional<FaceView> otherSide;

    // The view that goes with a side the document shows (see CardDocument::showSide).
    void showSide(const CardDocument &card, CardSide side)
    {
        if (side == card.shownSide) return;
        if (!otherSide) otherSide.emplace();
        std::swap(static_cast<FaceView &>(*this), *otherSide);
    }
};

// Shows that side of the card and of its view together.
inline void showSide(CardDocument &card, PageView &view, CardSide side)
{
    if (!card.hasBack()) return;
    view.showSide(card, side);
    card.showSide(side);
}

// Gives the card a new back (see CardDocument::addBack), which shows the
// front's background as the front's view holds it.
inline void addBack(CardDocument &card, PageView &view)
{
    if (card.hasBack()) return;
    showSide(card, view, CardSide::Front);
    card.addBack();
    FaceView back;
    back.background = view.background;
    back.colourOption = view.colourOption;
    back.pictureRemoved = view.pictureRemoved;
    view.otherSide = back;
}

// Drops the card's back and its view; the front is shown.
inline void removeBack(CardDocument &card, PageView &view)
{
    showSide(card, view, CardSide::Front);
    card.removeBack();
    view.otherSide.reset();
}
