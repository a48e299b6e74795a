#pragma once

#include "model/FileAccess.h"
#include "render/PagePictures.h"

#include <QString>

class Dialogs;

// The messages and the question that bringing a picture into a library gives,
// wherever it comes from (the library manager's add area, a drop on the main
// window).
namespace LibraryMessages {

// Why a file a window was to read could not be read, in a few words.
QString readProblem(const FileAccess::FileRead &read);

// Why a picture file could not be read (damaged, no picture, or too large); the
// name is the file's name without its folder.
void showUnreadablePicture(Dialogs &dialogs, const QString &name, PagePictures::ReadPicture::Problem problem);

// Asks whether the category's file of that name is to be replaced; true for Yes.
bool mayReplace(Dialogs &dialogs, const QString &name);

// The copy into the category failed.
void showCopyFailed(Dialogs &dialogs, const QString &name);

} // namespace LibraryMessages
