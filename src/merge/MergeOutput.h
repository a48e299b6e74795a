#pragma once

#include "model/PageView.h"
#include "pdf/PrintShopPdf.h"
#include "render/SheetPicture.h"

#include <QString>
#include <memory>

// A card made from one row of a table.
struct MergedCard {
    CardDocument card;
    PageView view;
    QString name;   // the file name without extension, for card files
    int line = 0;   // the table's line the row starts on
    PrintShopPdf::PageText text;  // for PDF pages: the text map of its front's lines
    PrintShopPdf::PageText backText{};  // and of its back's, when it has one
};

// Where made cards go. An output is written whole or not at all: until commit
// succeeds nothing appears under the target's name, and an output destroyed
// without commit leaves nothing behind.
class MergeOutput
{
public:
    virtual ~MergeOutput() = default;
    // Work on one card that may run on any thread, for cards in any order.
    virtual bool prepare(MergedCard &card, QString *error);
    // Takes the cards in row order, on one thread.
    virtual bool add(const MergedCard &card, QString *error) = 0;
    // Completes the output after the last card, on the thread that added them
    // (the fonts a PDF embeds belong to it).
    virtual bool finish(QString *) { return true; }
    // Drops what was added, on the thread that added it, after a run that is
    // not to be finished; the output can then only be destroyed.
    virtual void abandon() {}
    // Puts the finished output in place, on any thread.
    virtual bool commit(QString *error) = 0;
    // File names (without extension) the made cards must keep clear of.
    virtual QStringList takenNames() const { return {}; }
};

namespace MergeOutputs {

// One .pnk per card in folder, named after the card. An existing folder keeps
// its files; the made ones are added to it at commit, named apart from them.
std::unique_ptr<MergeOutput> cardFolder(const QString &folder, QString *error);

// The print-shop PDF in one of its forms, in RGB or the press's CMYK: one card
// per page, or two (front, then back) for a card with a back.
std::unique_ptr<MergeOutput> cardPdf(const QString &path, PrintShopPdf::Form form, const QString &title,
                                     QString *error, PrintShopPdf::Colours colours = PrintShopPdf::Colours::Rgb);

// A4 portrait sheets, copies.across x copies.down cards each, laid out as the
// print window lays out copies of one card, filled column by column in row
// order; the last sheet may be partly empty. Cards with a back have each sheet
// followed by a sheet of their backs, each behind its front when the paper is
// turned over on its long edge. trim leaves out each card's
// crop-mark zone; marks moves the block in from the corner and puts cut marks
// outside it on every cut line.
// The most cards across and down of a sheet of copies of card (trim and marks
// as sheetPdf takes them) that stay on the A4 page; 0 where not even one does.
SheetCopies largestSheet(const CardDocument &card, bool trim, bool marks);

std::unique_ptr<MergeOutput> sheetPdf(const QString &path, SheetCopies copies, bool trim, bool marks,
                                      const QString &title, QString *error,
                                      PrintShopPdf::Colours colours = PrintShopPdf::Colours::Rgb);

} // namespace MergeOutputs
