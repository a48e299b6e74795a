#include "ui/print/SheetPrinting.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

namespace SheetPrinting {

std::unique_ptr<QPrinter> defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

bool print(QPrinter &printer, const SheetPicture &picture, std::optional<SheetCopies> copies)
{
    printer.setDocName(QStringLiteral("Penlark 名片"));
    printer.setCopyCount(1);
    // A queue may default to grey; the card is printed in its colours.
    printer.setColorMode(QPrinter::Color);
    printer.setFullPage(false);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    // The painter's origin is then the top-left corner of the printable area.
    printer.setPageMargins(printer.pageLayout().minimumMargins(), printer.pageLayout().units());
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const double dpi = printer.resolution();
    SheetPrint::paintPage(painter, picture, copies, dpi / 1440.0, std::min(dpi, SheetPrint::kMaxBackgroundDpi));
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace SheetPrinting
