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

// Prints one A4 portrait page on printer, no dialog: the picture or the block of
// copies at the top-left corner of the printable area, at the picture's size,
// drawn at the printer's resolution. False when the page could not be handed
// to the printer.
bool print(QPrinter &printer, const SheetPicture &picture, std::optional<SheetCopies> copies);

} // namespace SheetPrinting
