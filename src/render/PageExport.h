#pragma once

#include "model/FileAccess.h"
#include "model/PageView.h"

#include <QImage>
#include <QString>

// Writing rendered pages to files. Every writer replaces its target atomically
// and reports failure with a reason instead of leaving a partial file.
namespace PageExport {

// Writes path through write, which fills the device or sets its reason and
// returns false; the file is replaced only when everything reached the disk.
using FileAccess::writeAtomically;

// A 24-bit Windows bitmap. A null image (one that could not be made) is an
// error for every bitmap writer, never an empty file.
bool writeBmp(const QImage &image, const QString &path, QString *error = nullptr);

// A bitmap in the format named by the file's extension (".bmp" is 24-bit).
bool writeImage(const QImage &image, const QString &path, QString *error = nullptr);
// A bitmap in the given format whatever the file's name (a file manager's
// thumbnail path has none), encoded whole before the file is written.
bool writeImage(const QImage &image, const QString &path, const QByteArray &format, QString *error = nullptr);

} // namespace PageExport
