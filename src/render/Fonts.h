#pragma once

#include <QFont>
#include <QString>

class QPaintDevice;

// Card files name Windows faces ("宋体", "黑体", "Arial" …). Each is mapped once,
// at start-up, to installed faces that look alike, so cards keep their face
// names when saved again and still draw real glyphs.
namespace Fonts {

void installSubstitutions();

// The faces a text can be given: every family the system has, in the system's
// order, then the face names of cards that the system lacks and that are drawn
// through their substitutes ("宋体", "黑体" …), so a text can always go back
// to the face its card was made with.
QStringList cardFaces();

// The font of the program's own windows: a clean Chinese sans serif.
QFont interfaceFont();

// The font a text object is drawn in.
QFont cardFont(const QString &face, double pointSize, bool bold, bool italic);

// Height of a text line above its baseline, and of the whole line, in units of
// the device drawn on. The Chinese
// Windows faces put the baseline 220/256 of the em below the top of the line and
// make a line one em high; their substitutes have taller metrics, so those faces
// keep the Windows figures and texts stay where cards placed them.
qreal lineAscent(const QFont &font, const QPaintDevice *device);
qreal lineHeight(const QFont &font, const QPaintDevice *device);

} // namespace Fonts
