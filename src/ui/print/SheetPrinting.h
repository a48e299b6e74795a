#pragma once

#include "render/SheetPicture.h"

#include <functional>
#include <memory>
#include <optional>

#include <QPrinter>

// Printing the print window's page.
namespace SheetPrinting {

// Where a page goes: a printer, or nothing when there is none.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

// The system's default printer at its own resolution; nothing when no printer is set up.
std::unique_ptr<QPrinter> defaultPrinter();

// Which sheets of a card one job holds: the fronts (all a one-sided card
// has), the backs alone, or both on the two sides of one sheet of paper.
enum class Sheets { Fronts, Backs, TwoSided };

// Whether the printer takes a two-sided job turned on the long edge; it is
// then set up for one.
bool printsTwoSided(QPrinter &printer);

// Prints one A4 portrait page on printer, no dialog: the picture or the block of
// copies at the top-left corner of the printable area, at the picture's size,
// drawn at the printer's resolution. False when the page could not be handed
// to the printer. The backs stand behind the fronts when the paper is turned
// over on its long edge; TwoSided prints the fronts' page, then the backs'.
bool print(QPrinter &printer, const SheetPicture &picture, std::optional<SheetCopies> copies,
           Sheets sheets = Sheets::Fronts);

} // namespace SheetPrinting
