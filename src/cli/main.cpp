// penlark-card: headless work on card files.
#include "cli/CardTool.h"
#include "cli/MergeCommand.h"
#include "model/Colour.h"
#include "model/Numeric.h"
#include "model/ProgramFolder.h"
#include "render/Fonts.h"
#include "render/QrCode.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <csignal>
#include <unistd.h>

namespace {

const char *kUsage =
    "Usage: penlark-card COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  dump FILE.pnk [--program-folder DIR]\n"
    "                  Print the card as the designer opens it, as JSON: one object\n"
    "                  per section in file order (cPage, cLogo, cLine, cName ... cQQ,\n"
    "                  then cQR when the card has a QR code; then the back's bPage\n"
    "                  (without the page size, which is the card's), bLogo ... bQQ\n"
    "                  and bQR when it has one), with the keys spelled\n"
    "                  as a save writes them, and \"vCard\", the text of its QR code\n"
    "                  (null when the texts are more than a QR code holds).\n"
    "                  Missing or malformed keys show the default card's values, as\n"
    "                  do keys the background kind does not use. Library pictures\n"
    "                  are looked up in DIR as for render; a missing background\n"
    "                  gives a white page.\n"
    "  new FILE.pnk [--back]\n"
    "                  Write the default card to FILE.pnk (an existing file is\n"
    "                  updated key by key; its other lines are kept); --back gives\n"
    "                  it a back with the name, job title and company in English.\n"
    "  render FILE.pnk -o OUT [--side front|back] [--trim] [--marks] [--cmyk] [--dpi N]\n"
    "         [--program-folder DIR] [--no-crop-marks]\n"
    "                  Render the card to OUT, by its extension: .bmp (24-bit) or\n"
    "                  .png at N dots per inch (default 96, the size the designer\n"
    "                  exports), or .pdf, the print-shop PDF: vector text, embedded\n"
    "                  fonts, MediaBox and BleedBox the card page with its 3 mm\n"
    "                  bleed, TrimBox the card as cut. --marks adds a 6 mm slug\n"
    "                  with crop marks outside the bleed (as the designer saves it);\n"
    "                  --trim leaves out the bleed (MediaBox = TrimBox). A PDF never\n"
    "                  carries the page's own crop marks. --cmyk writes the PDF in\n"
    "                  the CMYK of offset printing on coated paper (PDF/X-4: black\n"
    "                  and greys on the black plate alone, colours and pictures\n"
    "                  through the press profile, at most 300 % ink, marks in\n"
    "                  registration colour); without it the PDF is RGB. --trim\n"
    "                  also leaves the bleed out of a picture. Library\n"
    "                  pictures are looked up in DIR (default: the designer's\n"
    "                  program folder, or the installed one before the designer has\n"
    "                  made it); a missing one is reported as a warning and drawn\n"
    "                  as the designer draws it (white page, built-in logo).\n"
    "                  A picture shows the card's front, or the side --side names.\n"
    "                  The PDF of a card with a back has two pages, the front and\n"
    "                  then the back, with the same boxes and marks; --side gives\n"
    "                  a one-page PDF of that side. --side back on a card without\n"
    "                  a back is an error (exit status 1, nothing written).\n"
    "  sheet FILE.pnk -o OUT.pdf [--across N] [--down M] [--trim] [--marks] [--cmyk] [--program-folder DIR]\n"
    "                  Write the page the print window prints as a vector PDF: one\n"
    "                  A4 portrait page with the card at its top-left corner, at the\n"
    "                  card's size in millimetres. --across and --down (1 to 9 each;\n"
    "                  either alone sets the other to 1) lay out a block of copies\n"
    "                  with thin strips between them, as the custom layout does.\n"
    "                  --trim leaves out the 3 mm zone of the crop marks. --marks\n"
    "                  moves the block 6 mm in from the corner and adds short cut\n"
    "                  marks outside it on every cut line, for cutting a stack.\n"
    "                  --cmyk as for render.\n"
    "  thumbnail FILE.pnk OUT.png [--size N] [--program-folder DIR]\n"
    "                  Write the card without its bleed as a PNG whose longer side\n"
    "                  is N pixels (1 to 2048, default 256), for a file manager's\n"
    "                  previews. A file over 1 MB is refused (no card is that large).\n"
    "                  Pictures are decoded only at the size the preview shows them;\n"
    "                  one over 8 megapixels that must be decoded whole (a PNG) is\n"
    "                  left out with a warning, as a missing picture is.\n"
    "  qr FILE.pnk -o OUT.png|OUT.svg [--size MM] [--dpi N] [--program-folder DIR]\n"
    "                  Write the card's QR code alone: a vCard of its visible texts,\n"
    "                  black on white with a quiet zone of four modules. --size is\n"
    "                  the side in millimetres (default: the size of the card's own\n"
    "                  code, or the size a new code takes, 18 mm or more); a size at\n"
    "                  which a module would be smaller than 0.25 mm is refused. A\n"
    "                  .png at N dpi (default 300) has a whole number of pixels a\n"
    "                  module, as many as fit in the size, so it may come out a\n"
    "                  little smaller; fewer than 2 pixels a module is refused with\n"
    "                  the dpi that gives 2. An .svg is vector squares.\n"
    "  merge TEMPLATE.pnk PEOPLE.csv -o OUT [--across N --down M] [--trim] [--marks] [--cmyk]\n"
    "        [--name-column COL] [--ignore-unknown] [--skip-bad] [--strict] [--jobs N]\n"
    "        [--program-folder DIR]\n"
    "                  Make one card per row of a table from a template card. The\n"
    "                  table is CSV (UTF-8 or GBK) whose first line names the columns:\n"
    "                  cName cJob cCmp cADD cPC cTEL cFAX cMob cEmail cUrl cQQ or\n"
    "                  姓名 职位 公司 地址 邮编 电话 传真 手机 E-mail/邮箱 网址 QQ. A cell\n"
    "                  replaces the text after its label (\"电话：\"), an empty cell\n"
    "                  hides the text. OUT ending in .pdf: the print-shop PDF, one\n"
    "                  card a page (front and back for a template with a back), as\n"
    "                  render writes it (--trim, --marks), or with\n"
    "                  --across/--down A4 sheets as sheet lays them out (--trim,\n"
    "                  --marks as for sheet; a block that does not fit the A4 page\n"
    "                  is refused with exit status 2; --cmyk as for render). Otherwise OUT\n"
    "                  is a folder of .pnk files named after the name column (or COL).\n"
    "                  A bad row stops the run before anything is written, unless\n"
    "                  --skip-bad; columns that fill no text are an error, unless\n"
    "                  --ignore-unknown. A merged text that runs past the card's\n"
    "                  trim lines is moved inside them; one that then covers another\n"
    "                  text is set smaller, down to three quarters of its size. Rows\n"
    "                  whose texts still do not fit are listed as warnings, or with\n"
    "                  --strict are bad rows. Cards are made on N threads (default: all\n"
    "                  cores); the output appears whole at the end or not at all.\n"
    "  gradient --size WxH --angle A --color1 C --color2 C -o OUT.bmp\n"
    "                  Draw only a gradient onto a W x H pixel surface that starts\n"
    "                  white. Colours as card files store them: signed decimal\n"
    "                  0x00BBGGRR (white 16777215, black 0). A in degrees.\n"
    "\n"
    "Options:\n"
    "  -h, --help      Show this help.\n"
    "\n"
    "A file that cannot be read or written gives one line on stderr and exit status 1;\n"
    "wrong arguments give exit status 2. A card that shows a QR code whose texts are\n"
    "more than a code holds is written by render and sheet with the code's place left\n"
    "white, one line on stderr and exit status 3.\n";

struct Options {
    QCommandLineOption output{{"o", "output"}, "", "OUT"};
    QCommandLineOption trim{"trim"};
    QCommandLineOption marks{"marks"};
    QCommandLineOption cmyk{"cmyk"};
    QCommandLineOption dpi{"dpi", "", "N", "96"};
    QCommandLineOption programFolder{"program-folder", "", "DIR"};
    QCommandLineOption noCropMarks{"no-crop-marks"};
    QCommandLineOption back{"back"};
    QCommandLineOption side{"side", "", "SIDE"};
    QCommandLineOption size{"size", "", "WxH"};
    QCommandLineOption angle{"angle", "", "A", "0"};
    QCommandLineOption color1{"color1", "", "C"};
    QCommandLineOption color2{"color2", "", "C"};
    QCommandLineOption across{"across", "", "N", "0"};
    QCommandLineOption down{"down", "", "M", "0"};
    QCommandLineOption nameColumn{"name-column", "", "COL"};
    QCommandLineOption ignoreUnknown{"ignore-unknown"};
    QCommandLineOption skipBad{"skip-bad"};
    QCommandLineOption strict{"strict"};
    QCommandLineOption jobs{"jobs", "", "N", "0"};
    QCommandLineOption help{{"h", "help"}};
};

class UsageError
{
public:
    explicit UsageError(QString message) : text(std::move(message)) {}
    QString text;
};

double number(const QCommandLineParser &p, const QCommandLineOption &o, double min, double max)
{
    const auto v = Numeric::parseNumber(p.value(o));
    if (!v || *v < min || *v > max)
        throw UsageError(QStringLiteral("--%1 needs a number from %2 to %3").arg(o.names().last()).arg(min).arg(max));
    return *v;
}

qint32 colour(const QCommandLineParser &p, const QCommandLineOption &o)
{
    const auto v = Colour::parse(p.value(o));
    if (!p.isSet(o) || !v) throw UsageError(QStringLiteral("--%1 needs a colour value").arg(o.names().last()));
    return *v;
}

QString required(const QCommandLineParser &p, const QCommandLineOption &o)
{
    if (!p.isSet(o) || p.value(o).isEmpty()) throw UsageError(QStringLiteral("--%1 is required").arg(o.names().last()));
    return p.value(o);
}

QSize surfaceSize(const QCommandLineParser &p, const QCommandLineOption &o)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto match = pattern.match(required(p, o));
    if (!match.hasMatch()) throw UsageError(QStringLiteral("--size needs WxH in pixels, e.g. 2268x1417"));
    return {match.captured(1).toInt(), match.captured(2).toInt()};
}

// The side --side names, or none when it is not given.
std::optional<CardSide> side(const QCommandLineParser &p, const QCommandLineOption &o)
{
    if (!p.isSet(o)) return std::nullopt;
    if (p.value(o) == u"front") return CardSide::Front;
    if (p.value(o) == u"back") return CardSide::Back;
    throw UsageError(QStringLiteral("--side needs front or back"));
}

std::atomic_bool interrupted = false;

void interrupt(int) { interrupted = true; }

int merge(const QCommandLineParser &p, const Options &o, const QStringList &args, const QString &programFolder,
          QTextStream &out, QTextStream &err)
{
    MergeCommand::Request r;
    r.templateCard = args[1];
    r.table = args[2];
    r.output = required(p, o.output);
    const bool pdf = CardTool::isPdf(r.output);
    if (p.isSet(o.across) || p.isSet(o.down)) {
        if (!pdf) throw UsageError(QStringLiteral("--across and --down lay out sheets in a .pdf file"));
        r.sheets = SheetCopies{p.isSet(o.across) ? int(number(p, o.across, 1, 9)) : 1,
                               p.isSet(o.down) ? int(number(p, o.down, 1, 9)) : 1};
    }
    r.trim = p.isSet(o.trim);
    r.marks = p.isSet(o.marks);
    r.cmyk = p.isSet(o.cmyk);
    if ((r.trim || r.marks) && !pdf) throw UsageError(QStringLiteral("--trim and --marks apply to a .pdf file"));
    if (r.cmyk && !pdf) throw UsageError(QStringLiteral("--cmyk is for a .pdf output"));
    // One card a page is the print-shop PDF of render, whose forms exclude each other.
    if (r.trim && r.marks && !r.sheets) throw UsageError(QStringLiteral("--trim and --marks exclude each other"));
    r.nameColumn = p.value(o.nameColumn);
    r.ignoreUnknown = p.isSet(o.ignoreUnknown);
    r.skipBad = p.isSet(o.skipBad);
    r.strict = p.isSet(o.strict);
    r.jobs = p.isSet(o.jobs) ? int(number(p, o.jobs, 1, 256)) : 0;
    r.programFolder = programFolder;
    r.showProgress = isatty(STDERR_FILENO);
    // An interrupted run, or one whose terminal was closed, drops its output
    // instead of leaving part of it.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, interrupt);
    return MergeCommand::run(r, interrupted, out, err);
}

int run(const QCommandLineParser &p, const Options &o, QTextStream &out, QTextStream &err)
{
    const QStringList args = p.positionalArguments();
    const QString command = args.value(0);
    if (command == u"gradient" && args.size() == 1) {
        return CardTool::gradient({surfaceSize(p, o.size), float(number(p, o.angle, -1e9, 1e9)),
                                   colour(p, o.color1), colour(p, o.color2), required(p, o.output)},
                                  err);
    }
    const QString programFolder =
        p.isSet(o.programFolder) ? p.value(o.programFolder)
                                 : ProgramFolder::forReading(QCoreApplication::applicationDirPath()).root();
    if (command == u"merge" && args.size() == 3) return merge(p, o, args, programFolder, out, err);
    if (command == u"thumbnail" && args.size() == 3) {
        const int size = p.isSet(o.size) ? int(number(p, o.size, 1, 2048)) : 256;
        return CardTool::thumbnail(args[1], args[2], size, programFolder, err);
    }
    if (args.size() != 2) throw UsageError(QStringLiteral("unknown command or wrong arguments"));
    if (command == u"dump") return CardTool::dump(args[1], programFolder, out, err);
    if (command == u"new") return CardTool::writeNew(args[1], p.isSet(o.back), err);
    if (command == u"render") {
        CardTool::RenderRequest r;
        r.card = args[1];
        r.output = required(p, o.output);
        r.dpi = number(p, o.dpi, 1, 2400);
        r.trim = p.isSet(o.trim);
        r.marks = p.isSet(o.marks);
        if (r.trim && r.marks) throw UsageError(QStringLiteral("--trim and --marks exclude each other"));
        if (r.marks && !CardTool::isPdf(r.output))
            throw UsageError(QStringLiteral("--marks is for a .pdf output"));
        r.cmyk = p.isSet(o.cmyk);
        if (r.cmyk && !CardTool::isPdf(r.output)) throw UsageError(QStringLiteral("--cmyk is for a .pdf output"));
        r.cropMarks = !p.isSet(o.noCropMarks);
        r.side = side(p, o.side);
        r.programFolder = programFolder;
        return CardTool::render(r, err);
    }
    if (command == u"sheet") {
        CardTool::SheetRequest r;
        r.card = args[1];
        r.output = required(p, o.output);
        if (!CardTool::isPdf(r.output)) throw UsageError(QStringLiteral("sheet writes a .pdf file"));
        r.across = p.isSet(o.across) ? int(number(p, o.across, 1, 9)) : 0;
        r.down = p.isSet(o.down) ? int(number(p, o.down, 1, 9)) : 0;
        r.trim = p.isSet(o.trim);
        r.marks = p.isSet(o.marks);
        r.cmyk = p.isSet(o.cmyk);
        r.programFolder = programFolder;
        return CardTool::sheet(r, err);
    }
    if (command == u"qr") {
        CardTool::QrRequest r;
        r.card = args[1];
        r.output = required(p, o.output);
        r.sizeMm = p.isSet(o.size) ? number(p, o.size, QrCode::kMinSizeMm, 1000) : 0;
        r.dpi = p.isSet(o.dpi) ? number(p, o.dpi, 1, 2400) : 300;
        r.programFolder = programFolder;
        return CardTool::qr(r, err);
    }
    throw UsageError(QStringLiteral("unknown command \"%1\"").arg(command));
}

QtMessageHandler defaultHandler = nullptr;

// Picture decoders say why a picture cannot be loaded; the tool reports such a
// picture itself, in one line, as the designer does.
bool isDecoderMessage(const QMessageLogContext &context, const QString &message)
{
    return (context.category && QByteArrayView(context.category).startsWith("qt.gui.imageio")) ||
           message.startsWith(QLatin1String("libpng "));
}

// The offscreen platform warns about a missing runtime folder that this tool
// never uses; keep stderr for the tool's own lines.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (type != QtFatalMsg && isDecoderMessage(context, message)) return;
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    defaultHandler = qInstallMessageHandler(quietHandler);
    // Rendering needs fonts but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Fonts::installSubstitutions();
    QTextStream out(stdout);
    QTextStream err(stderr);

    Options o;
    QCommandLineParser p;
    p.addOptions({o.output, o.trim, o.marks, o.cmyk, o.dpi, o.programFolder, o.noCropMarks, o.back, o.side, o.size, o.angle, o.color1, o.color2,
                  o.across, o.down, o.nameColumn, o.ignoreUnknown, o.skipBad, o.strict, o.jobs, o.help});
    if (!p.parse(app.arguments())) {
        err << "penlark-card: " << p.errorText() << " (see penlark-card --help)" << Qt::endl;
        return 2;
    }
    if (p.isSet(o.help) || p.positionalArguments().isEmpty()) {
        out << QString::fromUtf8(kUsage);
        return p.isSet(o.help) ? 0 : 2;
    }
    try {
        return run(p, o, out, err);
    } catch (const UsageError &e) {
        err << "penlark-card: " << e.text << " (see penlark-card --help)" << Qt::endl;
        return 2;
    }
}
