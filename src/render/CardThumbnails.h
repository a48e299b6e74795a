#pragma once

#include "model/CardDocument.h"
#include "model/ProgramFolder.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QThreadPool>

// Thumbnails of the card files in the card library, as the template window
// shows them: the front, and beside it the back when the card has one. They
// are drawn on threads of their own, so the window stays responsive while a
// category fills, and kept, so that a category shown again costs nothing.
class CardThumbnails : public QObject
{
    Q_OBJECT
public:
    // Thumbnails whose sides are at most sideSize pixels along their longer side.
    CardThumbnails(ProgramFolder folder, int sideSize, QObject *parent = nullptr);
    ~CardThumbnails() override;

    // The card's thumbnail once drawn. Until then a null image, and the card is
    // drawn (once, however often it is asked for) and ready() follows.
    QImage thumbnail(const QString &path);

    // A card file's front drawn without its bleed, its longer side size pixels,
    // and its back beside it (a tenth of size apart) when it has one; null for a
    // file that cannot be read or is no card.
    static QImage draw(const QString &path, const ProgramFolder &folder, int size);

signals:
    void ready(const QString &path);

private:
    void keep(const QString &path, const QImage &image);

    ProgramFolder m_folder;
    int m_sideSize;
    QHash<QString, QImage> m_drawn;
    QSet<QString> m_drawing;
    QThreadPool m_pool;
};
