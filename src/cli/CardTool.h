#pragma once

#include <QString>
#include <QTextStream>

class IniFile;

// The commands of penlark-card. Each returns the process exit status and
// writes its output and errors to the given streams.
namespace CardTool {

// Prints the card file as read, as JSON: one member per section in file order,
// each with the section's keys as a save spells them.
int dump(const QString &path, QTextStream &out, QTextStream &err);

// Writes the default card to path (an existing file is updated key by key).
int writeNew(const QString &path, QTextStream &err);

// The card as JSON text.
QString cardJson(const IniFile &ini);

} // namespace CardTool
