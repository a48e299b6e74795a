#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

class CardSession;

// A library picture put on the card, by the logo panel, the library manager's
// apply button and a picture dropped on the main window. All mark the card
// unsaved and tell the page.
namespace AppliedPictures {

// The page background becomes the picture of a library reference (category\file).
void applyBackground(CardSession &session, const QString &reference, const QImage &picture);

// The logo becomes the picture at its natural size (15 twips a pixel), where
// it stands: as the logo panel and the library manager apply it.
void applyLogo(CardSession &session, const QString &reference, const QImage &picture);

// The same for a picture dropped on the window, which may be of any size: one
// wider or taller than the trim area is fitted inside it with its proportions
// kept and moved inside it.
void applyFittedLogo(CardSession &session, const QString &reference, const QImage &picture);

// The logo's size in twips for a picture of the given natural size (15 twips a
// pixel) on a page of the given twips.
QSizeF logoSize(QSizeF natural, QSizeF pageTwips);

} // namespace AppliedPictures
