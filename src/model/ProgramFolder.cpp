#include "model/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

ProgramFolder::ProgramFolder(QString root) : m_root(QDir::cleanPath(std::move(root))) {}

ProgramFolder ProgramFolder::ofExecutable()
{
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::settingsFile() const { return m_root + QStringLiteral("/penlark.dll"); }

QString ProgramFolder::libraryFolderName(Library library)
{
    switch (library) {
    case Library::Cards: return QStringLiteral("mycard");
    case Library::Backgrounds: return QStringLiteral("background");
    case Library::Logos: return QStringLiteral("logo");
    }
    return {};
}

QString ProgramFolder::libraryDir(Library library) const
{
    return m_root + u'/' + libraryFolderName(library);
}

std::optional<QString> ProgramFolder::libraryFile(Library library, const QString &reference) const
{
    return resolveReference(libraryDir(library), reference);
}

std::optional<QString> ProgramFolder::resolveReference(const QString &dir, const QString &reference)
{
    QString relative = reference.trimmed();
    relative.replace(u'\\', u'/');
    if (relative.isEmpty() || relative.startsWith(u'/') || relative.contains(u':'))
        return std::nullopt;
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.contains(QStringLiteral("..")))
        return std::nullopt;
    return dir + u'/' + parts.join(u'/');
}

QString ProgramFolder::fileNamePart(const QString &reference)
{
    return reference.section(u'\\', 1, 1);
}
