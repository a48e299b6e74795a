#include "model/CardLibrary.h"

#include "model/LibraryFiles.h"

#include <QFileInfo>

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

QString nameProblem(const QString &name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    const QString trimmed = name.trimmed();
    const bool badCharacter = std::any_of(trimmed.begin(), trimmed.end(), [](QChar c) {
        return forbidden.contains(c) || c.unicode() < 0x20;
    });
    if (badCharacter)
        return QStringLiteral("名称中不能含有以下字符：\\ / : * ? \" < > |\r请重新确定一个名称！");
    if (trimmed == u"." || trimmed == u".." || trimmed.endsWith(u'.'))
        return QStringLiteral("名称不能是“.”、“..”，也不能以“.”结尾！\r请重新确定一个名称！");
    return {};
}

} // namespace CardLibrary
