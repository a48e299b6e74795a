#include "render/TextFit.h"

#include "render/PageRenderer.h"
#include "render/TextLayout.h"

namespace TextFit {

Fit fit(QSizeF natural, double currentHeight, double pageWidth)
{
    const double printable = pageWidth - 2 * kMargin;
    const double r = natural.width() / printable;
    if (r < 1) return {};
    const double h = natural.height();
    double height = currentHeight;
    if (r > 1 && r <= 2)
        height = 2 * h;
    else if (r > 2 && r <= 3)
        height = 3 * h;
    else if (r > 3 && r <= 4)
        height = 4 * h;
    return {QSizeF(printable, height), float(kMargin)};
}

void fitText(CardDocument &card, PageView &view, std::size_t index)
{
    CardText &text = card.texts.at(index);
    const QSizeF natural = TextLayout::naturalSize(text);
    const auto &block = view.textBlocks[index];
    const double height = block ? block->height() : natural.height();
    const Fit f = fit(natural, height, PageRenderer::pageTwips(card).width());
    view.textBlocks[index] = f.block;
    if (f.left) text.Left = *f.left;
}

namespace {

void restoreShownBlocks(const CardDocument &card, PageView &view)
{
    const double pageWidth = PageRenderer::pageTwips(card).width();
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const QSizeF natural = TextLayout::naturalSize(card.texts[i]);
        view.textBlocks[i] = fit(natural, natural.height(), pageWidth).block;
    }
}

} // namespace

void restoreBlocks(const CardDocument &card, PageView &view)
{
    restoreShownBlocks(card, view);
    if (!card.hasBack()) return;
    // The other side's blocks, with that side shown for the time being.
    const CardSide shown = card.shownSide;
    CardDocument other = card;
    showSide(other, view, shown == CardSide::Front ? CardSide::Back : CardSide::Front);
    restoreShownBlocks(other, view);
    showSide(other, view, shown);
}

} // namespace TextFit
