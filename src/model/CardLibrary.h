#pragma once

#include "model/ProgramFolder.h"

#include <QString>
#include <QStringList>

// The card library as the open and save panels see it: category folders under
// "mycard" and the files in them.
namespace CardLibrary {

// The entries of the card library folder, folders and plain files alike, by name.
QStringList categories(const ProgramFolder &folder);

// Card and picture files of a category: *.pnk, *.bmp, *.jpg, *.gif, *.png in any letter case.
QStringList cardFiles(const QString &categoryDir);

// A card file by its extension (the text after the last dot), in any letter case.
bool isCardFile(const QString &fileName);

// Why a category or file name cannot be used, or an empty text when it can. A
// name must stay inside its folder, be one that Windows folders accept too, and
// leave room for its extension within a file name's 255 bytes.
QString nameProblem(const QString &name);

// The name with every character a folder refuses made "_", as are control and
// format characters (DEL, a right-to-left override that shows a name
// reversed) and a leading dot (a hidden file); blanks around it
// and trailing dots dropped, cut between characters to fit with reservedBytes
// to spare (a suffix the caller adds); nameProblem() finds nothing in it.
// fallback when nothing is left.
QString safeName(const QString &name, qsizetype reservedBytes = 0, const QString &fallback = QStringLiteral("_"));

} // namespace CardLibrary
