#include "model/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>

ProgramFolder::ProgramFolder(QString root) : m_root(QDir::cleanPath(std::move(root))) {}

namespace {

// Installed files are read-only; the user's copy is theirs to change.
void copyWritable(const std::filesystem::path &from, const std::filesystem::path &to, std::error_code &error)
{
    namespace fs = std::filesystem;
    if (fs::copy_file(from, to, error))
        fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
}

} // namespace

ProgramFolder ProgramFolder::locate(const QString &executableDir)
{
    const ProgramFolder own(executableDir);
    const QFileInfo dir(own.root());
    if (QFileInfo(own.settingsFile()).isFile() && dir.isWritable()) return own;
    return ProgramFolder(userFolder());
}

QString ProgramFolder::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/penlark");
}

QString ProgramFolder::templateFolder(const QString &executableDir)
{
    return QDir::cleanPath(executableDir + QStringLiteral("/../share/penlark"));
}

ProgramFolder ProgramFolder::forReading(const QString &executableDir)
{
    const ProgramFolder located = locate(executableDir);
    if (QFileInfo(located.root()).isDir()) return located;
    const QString installed = templateFolder(executableDir);
    return ProgramFolder(QFileInfo(installed).isDir() ? installed : executableDir);
}

ProgramFolder::Prepared ProgramFolder::prepare(const QString &executableDir)
{
    Prepared prepared{locate(executableDir), {}};
    if (prepared.folder.root() == QDir::cleanPath(executableDir)) return prepared;
    prepared.error = fillFromTemplate(templateFolder(executableDir), prepared.folder.root());
    return prepared;
}

QString ProgramFolder::fillFromTemplate(const QString &templateDir, const QString &target)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const auto reason = [&error](const fs::path &path) {
        return QString::fromStdString(path.string()) + QStringLiteral(": ") + QString::fromStdString(error.message());
    };
    const fs::path to = target.toStdString();
    fs::create_directories(to, error);
    if (error) return reason(to);
    const fs::path from = templateDir.toStdString();
    if (!fs::is_directory(from, error)) return {};
    for (auto it = fs::recursive_directory_iterator(from, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        const fs::path destination = to / fs::relative(it->path(), from);
        if (it->is_directory())
            fs::create_directories(destination, error);
        else if (!fs::exists(fs::symlink_status(destination)))
            copyWritable(it->path(), destination, error);
        if (error) return reason(destination);
    }
    return error ? reason(from) : QString();
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
