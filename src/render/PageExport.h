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

// A one-page PDF of the card's size in millimetres: texts as text, crop marks as
// lines. trimmed leaves out the 3 mm bleed.
bool writePdf(const CardDocument &card, const PageView &view, bool trimmed, const QString &path,
              QString *error = nullptr);

} // namespace PageExport
