#pragma once

// What the benchmarks of the page widget share: a card session and the page
// widget that shows it.
#include "model/CardSession.h"
#include "ui/page/PageWidget.h"

struct PageBench {
    CardSession session;
    PageWidget page{session};

    // Puts the default card on the page and shows the page.
    void showDefaultCard()
    {
        session.card = CardDocument::defaultCard();
        session.notifyPageChanged();
        page.show();
    }
};
