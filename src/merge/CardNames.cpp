#include "merge/CardNames.h"

#include "model/CardLibrary.h"

#include <algorithm>

namespace {

// Room for the number suffix "(999999)" within the library's name length.
constexpr qsizetype kSuffixBytes = 8;

QString key(const QString &name) { return name.toCaseFolded(); }

} // namespace

QString CardNames::safeName(const QString &text)
{
    return CardLibrary::safeName(text, kSuffixBytes, QStringLiteral("名片"));
}

void CardNames::reserve(const QString &name) { m_taken.insert(key(name)); }

QString CardNames::take(const QString &text)
{
    const QString base = safeName(text);
    const QString baseKey = key(base);
    QString name = base;
    QString nameKey = baseKey;
    if (m_taken.contains(baseKey)) {
        int &next = m_nextNumber[baseKey];
        next = std::max(next, 2);
        do {
            name = base + u'(' + QString::number(next++) + u')';
            nameKey = key(name);
        } while (m_taken.contains(nameKey));
    }
    m_taken.insert(nameKey);
    return name;
}
