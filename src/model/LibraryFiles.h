#pragma once

#include "model/ProgramFolder.h"

#include <QRect>
#include <QString>
#include <QStringList>

// The three libraries as the library manager works on them: categories (the
// entries of a library folder), the files in a category, and the operations on
// both. Names typed by the user are checked here, so that nothing is created,
// moved or replaced outside its folder or under a name a folder refuses.
namespace LibraryFiles {

// The entries of a library folder, folders and plain files alike, by name.
QStringList categories(const QString &libraryDir);
// Card and picture files of a folder: *.pnk, *.bmp, *.jpg, *.gif in any letter case.
QStringList files(const QString &dir);
// Picture files of a folder: *.bmp, *.jpg, *.gif in any letter case.
QStringList pictures(const QString &dir);

enum class Outcome {
    Done,
    EmptyName,  // the trimmed name is empty: nothing happens
    BadName,    // a separator, "..", a control character or a character Windows refuses
    Exists,     // an entry of that name is already there
    Failed,     // the file system refused
};

struct Result {
    Outcome outcome;
    // The reason for BadName; the new entry's name for Done.
    QString detail;
};

// A new category folder; the name is trimmed first.
Result createCategory(const QString &libraryDir, const QString &name);
// Gives a category another name; the new name is trimmed first.
Result renameCategory(const QString &libraryDir, const QString &oldName, const QString &newName);
// Deletes every file of a category, then the folder. Stops at the first failure
// (a sub-folder left in the category is one); files deleted before it stay deleted.
// A category that is a link is removed as a link; nothing it leads to is touched.
bool deleteCategory(const QString &libraryDir, const QString &name);

// Renames dir/fileName to the trimmed new base name plus the old extension
// (the text after the last dot); detail of a Done result is the new file name.
Result renameFile(const QString &dir, const QString &fileName, const QString &newBase);
// Deletes a file, read-only ones included; a link is removed as a link.
bool deleteFile(const QString &path);
// The name a copy of source takes in targetDir.
QString copyTarget(const QString &source, const QString &targetDir);
// Copies source into targetDir under its own name, replacing a file of that
// name in one step; a failed copy leaves the old file as it was, and a link
// in the target's place is replaced, not written through.
bool copyFile(const QString &source, const QString &targetDir);

// Where the preview puts a picture in a box of the given inner size: a picture
// larger than the box either way takes the box's width and keeps its
// proportions, a smaller one its own size; either is centred.
QRect fitPreview(QSize inner, QSize picture);

// Whether a mounted volume is one a person browses for pictures: not a pseudo
// or system file system (proc, sysfs, tmpfs, snap images ...).
bool isBrowsableVolume(const QString &rootPath, const QByteArray &fileSystemType);

} // namespace LibraryFiles
