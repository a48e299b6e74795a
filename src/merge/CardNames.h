#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// File names for made cards: each made safe with the card library's name rules
// and numbered when taken, "王伟", "王伟(2)", "王伟(3)". Names are compared
// without regard to letter case, as card libraries move between systems. Each
// name keeps the next number to try, so a table of one name is numbered in
// one pass rather than counting from (2) again for every row.
class CardNames
{
public:
    // Names already in the target folder, without their extension.
    void reserve(const QString &name);

    // A free, safe name for a card named after text; empty text gives "名片".
    QString take(const QString &text);

    // text made safe by the card library's rules (CardLibrary::safeName),
    // with room left for a number suffix.
    static QString safeName(const QString &text);

private:
    QSet<QString> m_taken;
    QHash<QString, int> m_nextNumber;  // by base name, from 2
};
