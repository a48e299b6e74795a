#include "model/CardLibrary.h"

#include "model/LibraryFiles.h"

#include <QFileInfo>
#include <algorithm>

namespace CardLibrary {

QStringList categories(const ProgramFolder &folder)
{
    return LibraryFiles::categories(folder.libraryDir(ProgramFolder::Library::Cards));
}

QStringList cardFiles(const QString &categoryDir) { return LibraryFiles::files(categoryDir); }

bool isCardFile(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(u"pnk", Qt::CaseInsensitive) == 0;
}

// A file name may have 255 bytes; the longest extension added is four (".pnk").
constexpr qsizetype kMaxNameBytes = 255 - 4;

namespace {

bool isRefusedCharacter(QChar c)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    return forbidden.contains(c) || c.unicode() < 0x20;
}

// Characters that show nothing, or show other text than the name holds.
bool isHiddenCharacter(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return true;
    default: return false;
    }
}

} // namespace

QString nameProblem(const QString &name)
{
    const QString trimmed = name.trimmed();
    const bool badCharacter = std::any_of(trimmed.begin(), trimmed.end(), isRefusedCharacter);
    if (badCharacter)
        return QStringLiteral("名称中不能含有以下字符：\\ / : * ? \" < > |\r请重新确定一个名称！");
    if (trimmed == u"." || trimmed == u".." || trimmed.endsWith(u'.'))
        return QStringLiteral("名称不能是“.”、“..”，也不能以“.”结尾！\r请重新确定一个名称！");
    if (trimmed.toUtf8().size() > kMaxNameBytes) return QStringLiteral("名称太长了！\r请重新确定一个较短的名称！");
    return {};
}

QString safeName(const QString &name, qsizetype reservedBytes, const QString &fallback)
{
    QString safe = name.trimmed();
    std::replace_if(safe.begin(), safe.end(), [](QChar c) { return isRefusedCharacter(c) || isHiddenCharacter(c); },
                    u'_');
    // Cut whole characters until the name and a four-byte extension fit; a cut
    // may bare a blank or a dot, which go too.
    for (;;) {
        safe = safe.trimmed();
        while (safe.endsWith(u'.')) safe.chop(1);
        if (safe.startsWith(u'.')) safe[0] = u'_';
        if (safe.toUtf8().size() <= kMaxNameBytes - reservedBytes) break;
        safe.chop(safe.size() > 1 && safe.back().isLowSurrogate() ? 2 : 1);
    }
    return safe.isEmpty() ? fallback : safe;
}

} // namespace CardLibrary
