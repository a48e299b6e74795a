#pragma once

#include "render/SheetPicture.h"

#include <QString>
#include <QTextStream>
#include <atomic>
#include <optional>

// penlark-card merge: one card per row of a table, from a template card.
namespace MergeCommand {

struct Request {
    QString templateCard;
    QString table;
    QString output;                     // ending in .pdf: a PDF; otherwise a folder of card files
    QString programFolder;
    std::optional<SheetCopies> sheets;  // A4 sheets of across x down cards instead of one card a page
    bool trim = false;
    bool marks = false;
    bool cmyk = false;                  // the PDF in the press's CMYK
    QString nameColumn;
    bool ignoreUnknown = false;
    bool skipBad = false;
    bool strict = false;                // a row whose texts do not fit the card is a bad row
    int jobs = 0;
    bool showProgress = false;          // a progress bar on err
};

// Runs the merge; cancel (set by a signal) drops the output. Returns the exit status.
int run(const Request &request, const std::atomic_bool &cancel, QTextStream &out, QTextStream &err);

} // namespace MergeCommand
