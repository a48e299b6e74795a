#pragma once

#include "model/ProgramFolder.h"

#include <QObject>
#include <optional>

class CardSession;
class Dialogs;
class QWidget;

// Files dropped on the main window: a card file is opened, a picture becomes
// the logo or the page background. The first file of a drop that is either counts.
class CardDrop : public QObject
{
    Q_OBJECT
public:
    // The category of the logo and background libraries that dropped pictures are copied into.
    static const QString kImportCategory;

    // Watches window for drops.
    CardDrop(ProgramFolder folder, CardSession &session, Dialogs &dialogs, QWidget &window);

    enum class Kind { Other, Card, Picture };
    // By the file's extension, in any letter case.
    static Kind kindOf(const QString &path);

    // Handles a dropped file as a drop on the window does.
    void takeFile(const QString &path);

    // Asks whether the picture becomes the logo or the page background, copies it
    // into that library's category kImportCategory under a name the folder accepts
    // (asking before replacing a file) and applies it. The library it went to;
    // nothing when it was cancelled or could not be read or copied (after a message).
    std::optional<ProgramFolder::Library> importPicture(const QString &path);

signals:
    void cardDropped(const QString &path);
    void logoApplied();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::optional<QString> copyIntoLibrary(const QString &path, ProgramFolder::Library library);

    ProgramFolder m_folder;
    CardSession &m_session;
    Dialogs &m_dialogs;
    bool m_usableDrag = false;  // the drag under way carries a file this window takes
};
