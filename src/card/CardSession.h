#pragma once

#include "CardDocument.h"
#include "PageView.h"

#include <QObject>

// The card being edited and the program-wide state around it. There is one
// session for the life of the main window; opening, new and start-up cards
// overwrite it field by field.
class CardSession : public QObject
{
    Q_OBJECT
public:
    CardDocument card;
    PageView view;

    // The page panel's colour option (solid or gradient), which stays chosen
    // under a picture background, and its option that removes the picture:
    // available only while a picture covers the page.
    BackgroundKind colourOption = BackgroundKind::SolidColour;
    bool removePictureAvailable = false;
    bool removePictureTicked = false;

    // True while the page shows exactly what was last loaded, started or saved.
    bool cardSaved = true;
    CardSource cardSource = CardSource::StartupCard;
    // A successful save ends the program (the user chose to save on closing).
    bool exitAfterSave = false;

    // Tells the page and the panels that something they show has changed.
    void notifyPageChanged() { emit pageChanged(); }

signals:
    void pageChanged();
};
