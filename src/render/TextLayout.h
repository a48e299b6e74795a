#pragma once

#include "model/CardDocument.h"

#include <QFont>
#include <QSizeF>
#include <QStringList>
#include <optional>

// How a text object is laid out, in twips. Every measurement is taken once, at
// 1440 dots per inch (one device unit per twip) in the text's own face, size
// and style, so the lines and sizes found here hold at every resolution the
// page is drawn at: a text that fits on screen fits in every export and print.
namespace TextLayout {

// The face, size and style a text is measured and drawn in.
QFont font(const CardText &text);

// The lines a text is drawn in: one per line of its caption, and for a text in
// a block each of those wrapped at the block's width.
QStringList lines(const CardText &text, const std::optional<QSizeF> &block);

// The box of a self-sizing text: its widest line by its number of lines.
QSizeF naturalSize(const CardText &text);

// The height of one line of the text, and of the part above its baseline.
double lineHeight(const CardText &text);
double lineAscent(const CardText &text);

} // namespace TextLayout
