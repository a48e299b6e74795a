#pragma once

#include "model/PageView.h"

#include <QImage>
#include <QString>
#include <functional>

class QIODevice;

// Writing rendered pages to files. Every writer replaces its target atomically
// and reports failure with a reason instead of leaving a partial file.
namespace PageExport {

// Writes path through write, which fills the device or sets its reason and
// returns false; the file is replaced only when everything was written.
bool writeAtomically(const QString &path, QString *error,
                     const std::function<bool(QIODevice &, QString &)> &write);

// A 24-bit Windows bitmap.
bool writeBmp(const QImage &image, const QString &path, QString *error = nullptr);

// A bitmap in the format named by the file's extension (".bmp" is 24-bit).
bool writeImage(const QImage &image, const QString &path, QString *error = nullptr);

} // namespace PageExport
