#pragma once

#include "model/CardDocument.h"
#include "model/PageView.h"

#include <QObject>
#include <QPointF>

// The card being edited and the program-wide state around it. There is one
// session for the life of the main window; opening, new and start-up cards
// overwrite it field by field.
class CardSession : public QObject
{
    Q_OBJECT
public:
    CardDocument card;
    PageView view;

    // The drag anchor: where the pointer pressed, relative to the pressed object
    // (twips). One anchor serves objects, the line slider and the alignment guide.
    QPointF dragAnchor;

    // True while the page shows exactly what was last loaded, started or saved.
    // The edit history keeps it in step with its clean state.
    bool cardSaved = true;
    CardSource cardSource = CardSource::StartupCard;
    // A successful save ends the program (the user chose to save on closing).
    bool exitAfterSave = false;

    // Tells the page and the panels that something they show has changed.
    void notifyPageChanged() { emit pageChanged(); }

    // The card was edited: it counts as changed, and the edit history takes what
    // changed as one step once the event that made the edit has been handled.
    void markEdited()
    {
        cardSaved = false;
        emit edited();
    }
    // The card was saved as it stands.
    void markSaved()
    {
        cardSaved = true;
        emit saved();
    }
    // A card was opened, started or put on the page anew: its history begins here.
    void markLoaded()
    {
        cardSaved = true;
        emit loaded();
    }

signals:
    void pageChanged();
    void edited();
    void saved();
    void loaded();
};
