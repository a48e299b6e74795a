#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

class CardSession;

// A library picture put on the card, by the library manager's apply button and
// by a picture dropped on the main window alike. Both mark the card unsaved and
// tell the page.
namespace AppliedPictures {

// The page background becomes the picture of a library reference (category\file).
void applyBackground(CardSession &session, const QString &reference, const QImage &picture);

// The logo becomes the picture: at its own size (15 twips a pixel), or, when
// that is wider or taller than the trim area, fitted inside the trim area with
// its proportions kept and moved inside it.
void applyLogo(CardSession &session, const QString &reference, const QImage &picture);

// The logo's size in twips for a picture of the given natural size (15 twips a
// pixel) on a page of the given twips.
QSizeF logoSize(QSizeF natural, QSizeF pageTwips);

} // namespace AppliedPictures
