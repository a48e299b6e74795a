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
    QString name = base;
    if (m_taken.contains(key(base))) {
        int &next = m_nextNumber[key(base)];
        next = std::max(next, 2);
        do
            name = QStringLiteral("%1(%2)").arg(base).arg(next++);
        while (m_taken.contains(key(name)));
    }
    m_taken.insert(key(name));
    return name;
}
