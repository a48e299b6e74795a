#include "merge/CardNames.h"

#include "model/CardLibrary.h"

namespace {

const QString kFallback = QStringLiteral("名片");
// Room for the number suffix "(999999)" within the library's name length.
constexpr qsizetype kSuffixBytes = 8;

QString key(const QString &name) { return name.toCaseFolded(); }

} // namespace

QString CardNames::safeName(const QString &text)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QString name;
    for (const QChar c : text) name += forbidden.contains(c) || c.unicode() < 0x20 ? QChar(u'_') : c;
    name = name.trimmed();
    while (name.endsWith(u'.')) name.chop(1);
    while (!CardLibrary::nameProblem(name + QString(kSuffixBytes, u'0')).isEmpty() && !name.isEmpty()) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
        name = name.trimmed();
        while (name.endsWith(u'.')) name.chop(1);
    }
    return name.isEmpty() ? kFallback : name;
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
