// penlark-card: headless work on card files.
#include "CardTool.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {

const char *kUsage =
    "Usage: penlark-card COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  dump FILE.pnk   Print the card file as read, as JSON: one object per section\n"
    "                  in file order (cPage, cLogo, cLine, cName ... cQQ), with the\n"
    "                  keys spelled as a save writes them. Missing or malformed keys\n"
    "                  show the default card's values.\n"
    "  new FILE.pnk    Write the default card to FILE.pnk (an existing file is\n"
    "                  updated key by key; its other lines are kept).\n"
    "\n"
    "Options:\n"
    "  -h, --help      Show this help.\n"
    "\n"
    "A file that cannot be read or written gives one line on stderr and exit status 1.\n";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);

    if (args.isEmpty() || args.contains(QStringLiteral("-h")) || args.contains(QStringLiteral("--help"))) {
        out << kUsage;
        return args.isEmpty() ? 1 : 0;
    }
    const QString command = args.first();
    if ((command == QStringLiteral("dump") || command == QStringLiteral("new")) && args.size() == 2) {
        return command == QStringLiteral("dump") ? CardTool::dump(args[1], out, err)
                                                 : CardTool::writeNew(args[1], err);
    }
    err << "penlark-card: unknown command or wrong arguments: " << args.join(u' ')
        << " (see penlark-card --help)" << Qt::endl;
    return 2;
}
