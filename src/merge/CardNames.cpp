#include "merge/CardNames.h"

#include "model/CardLibrary.h"

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
    for (int n = 2; m_taken.contains(key(name)); ++n) name = QStringLiteral("%1(%2)").arg(base).arg(n);
    m_taken.insert(key(name));
    return name;
}
