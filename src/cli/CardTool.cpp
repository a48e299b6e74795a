#include "cli/CardTool.h"

#include "model/CardFile.h"
#include "model/CardReader.h"
#include "model/FileAccess.h"
#include "model/IniFile.h"
#include "model/Numeric.h"
#include "model/ProgramFolder.h"
#include "model/VCard.h"
#include "render/Gradient.h"
#include "render/PageGeometry.h"
#include "render/PageExport.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"
#include "render/PrintSheet.h"
#include "render/QrCode.h"
#include "render/SheetPicture.h"
#include "render/TextFit.h"
#include "pdf/PrintShopPdf.h"

#include <QFileInfo>

namespace CardTool {

namespace {

QString jsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    out.reserve(text.size() + 2);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString jsonValue(const CardFile::FieldRef &field)
{
    if (const auto text = std::get_if<QString *>(&field)) return jsonString(**text);
    // Numbers, colours, kinds and booleans are written in the file as valid JSON.
    const QString v = CardFile::formatField(field);
    if (std::holds_alternative<bool *>(field)) return v.toLower();
    return v;
}

// Reads a card file whole; an unreadable file is reported on err.
std::optional<IniFile> readCardFile(const QString &path, QTextStream &err)
{
    const auto bytes = readFile(path, FileAccess::kLargestIniFile, err);
    return bytes ? std::optional(IniFile::fromBytes(*bytes)) : std::nullopt;
}

// A PDF's title: the card file's name without its extension.
QString documentTitle(const QString &cardPath, const CardDocument &card)
{
    const QString name = QFileInfo(cardPath).completeBaseName();
    return name.isEmpty() ? card.texts[0].caption : name;
}

PrintShopPdf::Colours colours(bool cmyk)
{
    return cmyk ? PrintShopPdf::Colours::Cmyk : PrintShopPdf::Colours::Rgb;
}

PrintShopPdf::Options pdfOptions(const CardDocument &card, const RenderRequest &r)
{
    return {PrintShopPdf::formFor(r.trim, r.marks), documentTitle(r.card, card), colours(r.cmyk), r.side};
}

// The sides render draws of the card: the one asked for, else a PDF's pages or a picture's front.
QList<CardSide> renderedSides(const CardDocument &card, const RenderRequest &r)
{
    if (isPdf(r.output)) return PrintShopPdf::printedSides(card, pdfOptions(card, r));
    return {r.side.value_or(CardSide::Front)};
}

bool writeRendered(const CardDocument &card, const PageView &view, const RenderRequest &r, QString *error)
{
    if (isPdf(r.output)) return PrintShopPdf::writeCard(card, view, r.output, pdfOptions(card, r), error);
    CardDocument shown = card;
    PageView shownView = view;
    showSide(shown, shownView, r.side.value_or(CardSide::Front));
    const double twipsPerPixel = 1440.0 / r.dpi;
    const QImage image = r.trim ? PageRenderer::renderTrimmedBitmap(shown, shownView, twipsPerPixel)
                                : PageRenderer::renderBitmap(shown, shownView, twipsPerPixel);
    if (image.isNull()) {
        if (error) *error = QStringLiteral("the page is too large at %1 dpi").arg(r.dpi);
        return false;
    }
    return PageExport::writeImage(image, r.output, error);
}

QString problemText(const CardReader::Problem &problem)
{
    using Kind = CardReader::Problem::Kind;
    if (problem.kind == Kind::OutOfRange)
        return QStringLiteral("value out of range, default used: ") + problem.reference;
    const QString picture = problem.kind == Kind::MissingLogo ? QStringLiteral("logo") : QStringLiteral("background");
    using Fault = CardReader::PictureFault;
    const QString reason = problem.fault == Fault::TooLarge   ? QStringLiteral(" picture too large to load: ")
                           : problem.fault == Fault::DeadLink ? QStringLiteral(" picture is a link that leads nowhere: ")
                                                              : QStringLiteral(" picture not found: ");
    return picture + reason + problem.reference;
}

// The exit status of a command that has written those sides of the card: a
// code one of them shows but whose place stayed white is said in one line and
// is no success.
int writtenWithoutCode(const CardDocument &card, const QList<CardSide> &sides, const QString &output,
                       QTextStream &err)
{
    if (std::none_of(sides.begin(), sides.end(), [&](CardSide side) { return QrCode::isBlank(card.showing(side)); }))
        return 0;
    err << "penlark-card: the card's texts are more than a QR code holds; " << output
        << " was written without its code" << Qt::endl;
    return kWrittenWithoutCode;
}

// Reads the card held in ini with its pictures from pictures, as the designer
// opens it; each problem is a warning on err.
OpenedCard readCard(const IniFile &ini, const CardReader::PictureSource &pictures, QTextStream &err)
{
    OpenedCard opened;
    const auto problems = CardReader::read(ini, pictures, opened.card, opened.view);
    TextFit::restoreBlocks(opened.card, opened.view);
    for (const CardReader::Problem &problem : problems) err << "penlark-card: warning: " << problemText(problem) << Qt::endl;
    return opened;
}

} // namespace

std::optional<OpenedCard> openCard(const QString &path, const QString &programFolder, QTextStream &err)
{
    const auto ini = readCardFile(path, err);
    if (!ini) return std::nullopt;
    return readCard(*ini, PagePictures::sourceFor(ProgramFolder(programFolder)), err);
}

int cannotWrite(const QString &path, const QString &reason, QTextStream &err)
{
    err << "penlark-card: cannot write " << path << ": " << reason << Qt::endl;
    return 1;
}

namespace {

// The card's sections as JSON text, up to the member that follows them.
// The sections of the card file in the order a save writes them, the back's
// after the front's.
QString cardJson(const CardDocument &card)
{
    QString out = QStringLiteral("{");
    QString section;
    const auto addKeys = [&](CardDocument &doc, const std::vector<CardFile::Key> &keys, bool back) {
        for (const CardFile::Key &key : keys) {
            if (back && CardFile::isPageSize(key)) continue;
            const QString keySection = back ? CardFile::backSection(key.section) : key.section;
            if (keySection != section) {
                out += section.isEmpty() ? QStringLiteral("\n") : QStringLiteral("\n  },\n");
                out += QStringLiteral("  %1: {\n").arg(jsonString(keySection));
                section = keySection;
            } else {
                out += QStringLiteral(",\n");
            }
            out += QStringLiteral("    %1: %2").arg(jsonString(key.name), jsonValue(key.field(doc)));
        }
    };
    for (const CardSide side : {CardSide::Front, CardSide::Back}) {
        if (side == CardSide::Back && !card.hasBack()) break;
        CardDocument doc = card.showing(side);
        addKeys(doc, CardFile::keys(), side == CardSide::Back);
        if (doc.qrCode) addKeys(doc, CardFile::qrCodeKeys(), side == CardSide::Back);
    }
    return out + QStringLiteral("\n  },\n");
}

bool isSvg(const QString &path) { return QFileInfo(path).suffix().compare(u"svg", Qt::CaseInsensitive) == 0; }

bool writeQrCode(const QrCode::Symbol &symbol, double sizeMm, const QrRequest &r, QString *error)
{
    if (isSvg(r.output)) {
        return FileAccess::writeBytesAtomically(r.output, QrCode::toSvg(symbol, sizeMm), error);
    }
    const QImage image = QrCode::toImage(symbol, sizeMm * Numeric::kTwipsPerMm, r.dpi);
    if (image.isNull()) {
        if (error) *error = QStringLiteral("the code is too large at %1 dpi").arg(r.dpi);
        return false;
    }
    return PageExport::writeImage(image, r.output, error);
}

} // namespace

std::optional<QByteArray> readFile(const QString &path, qint64 maxSize, QTextStream &err)
{
    const FileAccess::FileRead read = FileAccess::readRegularFile(path, maxSize);
    if (read.problem == FileAccess::Problem::None) return read.bytes;
    err << "penlark-card: cannot read " << path << ": " << FileAccess::describe(read) << Qt::endl;
    return std::nullopt;
}

bool isPdf(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0;
}

int dump(const QString &path, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    const auto opened = openCard(path, programFolder, err);
    if (!opened) return 1;
    // Written one after the other, so a card with huge texts is not held twice;
    // texts beyond what a code holds have no vCard to show.
    out << cardJson(opened->card);
    const QString vCard = VCard::fromCard(opened->card);
    out << "  \"vCard\": " << (QrCode::encode(vCard.toUtf8()) ? jsonString(vCard) : QStringLiteral("null")) << "\n}\n";
    out.flush();
    return 0;
}

int qr(const QrRequest &request, QTextStream &err)
{
    const auto opened = openCard(request.card, request.programFolder, err);
    if (!opened) return 1;
    const auto symbol = QrCode::forCard(opened->card);
    if (!symbol) {
        err << "penlark-card: the card's texts are more than a QR code holds" << Qt::endl;
        return 1;
    }
    const int modules = symbol->modules();
    double sizeMm = request.sizeMm;
    if (sizeMm <= 0)
        sizeMm = opened->card.qrCode ? opened->card.qrCode->size / Numeric::kTwipsPerMm
                                     : QrCode::initialSizeMm(modules, opened->card.page);
    const double moduleMm = sizeMm / modules;
    if (moduleMm < QrCode::kMinModuleMm) {
        err << "penlark-card: a " << sizeMm << " mm code of " << modules << " modules has modules of "
            << QString::number(moduleMm, 'f', 3) << " mm, less than " << QrCode::kMinModuleMm
            << " mm; use --size " << QrCode::smallestSizeMm(modules) << " or more" << Qt::endl;
        return 1;
    }
    const double sizeTwips = sizeMm * Numeric::kTwipsPerMm;
    if (!isSvg(request.output) && QrCode::modulePixels(sizeTwips, request.dpi, modules) < QrCode::kMinModulePixels) {
        err << "penlark-card: a " << sizeMm << " mm code of " << modules << " modules at " << request.dpi
            << " dpi has modules of less than " << QrCode::kMinModulePixels << " pixels; use --dpi "
            << QrCode::smallestDpi(sizeTwips, modules) << " or more" << Qt::endl;
        return 1;
    }
    QString error;
    if (!writeQrCode(*symbol, sizeMm, request, &error)) return cannotWrite(request.output, error, err);
    return 0;
}

int writeNew(const QString &path, bool withBack, QTextStream &err)
{
    CardDocument doc = CardDocument::defaultCard();
    if (withBack) doc.addBack();
    QString error;
    if (!IniStore::update(path, [&doc](IniFile &ini) { CardFile::write(doc, ini); }, &error))
        return cannotWrite(path, error, err);
    return 0;
}

int render(const RenderRequest &request, QTextStream &err)
{
    auto opened = openCard(request.card, request.programFolder, err);
    if (!opened) return 1;
    if (request.side == CardSide::Back && !opened->card.hasBack()) {
        err << "penlark-card: " << request.card << " has no back; --side back needs a two-sided card" << Qt::endl;
        return 1;
    }
    opened->view.cropMarks = request.cropMarks;
    QString error;
    if (!writeRendered(opened->card, opened->view, request, &error)) return cannotWrite(request.output, error, err);
    return writtenWithoutCode(opened->card, renderedSides(opened->card, request), request.output, err);
}

int thumbnail(const QString &card, const QString &output, int size, const QString &programFolder, QTextStream &err)
{
    const FileAccess::FileRead read = FileAccess::readRegularFile(card, kLargestThumbnailCard);
    if (read.problem != FileAccess::Problem::None) {
        const QString reason = read.problem == FileAccess::Problem::TooLarge
                                   ? QStringLiteral("is over 1 MB, larger than a card can be")
                                   : FileAccess::describe(read);
        err << "penlark-card: cannot read " << card << ": " << reason << Qt::endl;
        return 1;
    }
    const IniFile ini = IniFile::fromBytes(read.bytes);
    // A file manager asks for every file it takes for a card: one that holds
    // none of a card's keys gets no picture of the default card.
    if (!CardReader::isCard(CardReader::valuesOf(ini))) {
        err << "penlark-card: " << card << " is not a card file (it holds none of a card's keys)" << Qt::endl;
        return 1;
    }
    // The page and the logo's box first, so that each picture is decoded only
    // at the size the thumbnail shows it.
    OpenedCard layout;
    const auto noPicture = [](const QString &) { return CardReader::Picture(); };
    CardReader::read(CardReader::valuesOf(ini), {noPicture, noPicture, noPicture}, layout.card, layout.view);
    const double twipsPerPixel = PageRenderer::thumbnailTwipsPerPixel(layout.card, size);
    const auto opened = readCard(ini, PagePictures::reducedSourceFor(ProgramFolder(programFolder), layout.card,
                                                                     twipsPerPixel), err);
    const QImage picture = PageRenderer::renderThumbnail(opened.card, opened.view, size);
    QString error;
    if (!PageExport::writeImage(picture, output, "png", &error)) return cannotWrite(output, error, err);
    return 0;
}

int sheet(const SheetRequest &request, QTextStream &err)
{
    auto opened = openCard(request.card, request.programFolder, err);
    if (!opened) return 1;
    std::optional<SheetCopies> copies;
    if (request.across > 0 || request.down > 0)
        copies = SheetCopies{std::max(request.across, 1), std::max(request.down, 1)};
    const SheetPicture picture = SheetPicture::fromCard(opened->card, opened->view, request.trim);
    const QSize printed = SheetPrint::pageSize(picture, copies);
    if (printed.width() > PrintSheet::kSheet.width() || printed.height() > PrintSheet::kSheet.height())
        err << "penlark-card: warning: the " << (copies ? "block" : "card") << " is "
            << Numeric::twipsToMm(printed.width()) << " x " << Numeric::twipsToMm(printed.height())
            << " mm and runs off the A4 page" << Qt::endl;
    QString error;
    const PrintShopPdf::SheetOptions options{request.marks, documentTitle(request.card, opened->card),
                                             colours(request.cmyk)};
    if (!PrintShopPdf::writeSheet(picture, copies, request.output, options, &error))
        return cannotWrite(request.output, error, err);
    // The sheets show every side the card has: a code left white on the back counts too.
    return writtenWithoutCode(opened->card, PrintShopPdf::printedSides(opened->card, {}), request.output, err);
}

int gradient(const GradientRequest &request, QTextStream &err)
{
    if (qint64(request.size.width()) * request.size.height() > PageGeometry::kMaxBitmapPixels)
        return cannotWrite(request.output,
                           QStringLiteral("a surface of %1 x %2 pixels is over the limit of %3 pixels")
                               .arg(request.size.width()).arg(request.size.height())
                               .arg(PageGeometry::kMaxBitmapPixels),
                           err);
    QImage image(request.size, QImage::Format_RGB32);
    if (image.isNull()) return cannotWrite(request.output, QStringLiteral("out of memory for the surface"), err);
    image.fill(Qt::white);
    GradientPainter g;
    g.setColor1(request.color1);
    g.setColor2(request.color2);
    g.setAngle(request.angle);
    g.draw(image);
    QString error;
    if (!PageExport::writeBmp(image, request.output, &error)) return cannotWrite(request.output, error, err);
    return 0;
}

} // namespace CardTool
