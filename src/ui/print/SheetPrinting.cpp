#include "ui/print/SheetPrinting.h"

#include "model/Numeric.h"

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

bool printsTwoSided(QPrinter &printer)
{
    // Qt keeps a duplex mode only when the printer's driver offers it.
    printer.setDuplex(QPrinter::DuplexLongSide);
    return printer.duplex() == QPrinter::DuplexLongSide;
}

namespace {

// The width within which a place on the back mirrors (see SheetPrint::paintBackPage):
// the paper's less twice the printable area's left margin, in twips.
int turnWidth(const QPrinter &printer)
{
    const QPageLayout layout = printer.pageLayout();
    const double points = layout.fullRect(QPageLayout::Point).width() - 2 * layout.paintRect(QPageLayout::Point).left();
    return Numeric::roundToInt(points * 20);
}

} // namespace

bool print(QPrinter &printer, const SheetPicture &picture, std::optional<SheetCopies> copies, Sheets sheets)
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
    const double backgroundDpi = std::min(dpi, SheetPrint::kMaxBackgroundDpi);
    if (sheets != Sheets::Backs) SheetPrint::paintPage(painter, picture, copies, dpi / 1440.0, backgroundDpi);
    const std::optional<SheetPicture> back = sheets == Sheets::Fronts ? std::nullopt : picture.back();
    if (back && sheets == Sheets::TwoSided && !printer.newPage()) return false;
    if (back) SheetPrint::paintBackPage(painter, *back, copies, dpi / 1440.0, backgroundDpi, turnWidth(printer));
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace SheetPrinting
