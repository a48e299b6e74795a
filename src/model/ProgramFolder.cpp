#include "model/ProgramFolder.h"

#include "model/FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <set>

ProgramFolder::ProgramFolder(QString root) : m_root(QDir::cleanPath(std::move(root))) {}

const QString ProgramFolder::kTemplateRecord = QStringLiteral(".penlark-template");

namespace {

namespace fs = std::filesystem;
using Entries = std::set<std::string>; // paths relative to the folder, '/'-separated

QString describeFailure(const fs::path &path, const std::error_code &error)
{
    return QString::fromStdString(path.string()) + QStringLiteral(": ") + QString::fromStdString(error.message());
}

// Installed files are read-only; the user's copy is theirs to change.
void copyWritable(const fs::path &from, const fs::path &to, std::error_code &error)
{
    if (fs::copy_file(from, to, error))
        fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
}

// What a program folder takes from its template: the settings file and the
// three libraries with everything in them, parents before their contents.
std::vector<fs::path> templateEntries(const fs::path &from)
{
    std::vector<fs::path> entries;
    std::error_code error;
    if (fs::is_regular_file(from / "penlark.dll", error)) entries.emplace_back("penlark.dll");
    using L = ProgramFolder::Library;
    for (L library : {L::Cards, L::Backgrounds, L::Logos}) {
        const fs::path root = from / ProgramFolder::libraryFolderName(library).toStdString();
        if (!fs::is_directory(root, error)) continue;
        entries.push_back(root.filename());
        for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
             it.increment(error))
            entries.push_back(it->path().lexically_relative(from));
    }
    return entries;
}

// The entries a folder has been given; nothing when it keeps no record.
std::optional<Entries> readRecord(const QString &file)
{
    const FileAccess::FileRead read = FileAccess::readRegularFile(file, FileAccess::kLargestIniFile);
    if (read.problem != FileAccess::Problem::None) return std::nullopt;
    Entries entries;
    for (const QByteArray &line : read.bytes.split('\n'))
        if (!line.isEmpty()) entries.insert(line.toStdString());
    return entries;
}

bool writeRecord(const QString &file, const Entries &entries, QString *error)
{
    QByteArray bytes;
    for (const std::string &entry : entries) bytes += QByteArray::fromStdString(entry) + '\n';
    return FileAccess::writeBytesAtomically(file, bytes, error);
}

// Copies one template entry that target lacks, with the folders above it.
void copyEntry(const fs::path &from, const fs::path &to, std::error_code &error)
{
    if (fs::is_directory(from, error)) {
        fs::create_directories(to, error);
        return;
    }
    fs::create_directories(to.parent_path(), error);
    if (!error && !fs::exists(fs::symlink_status(to))) copyWritable(from, to, error);
}

// Copies the entries not yet given, adding each copied one to given; the reason
// of the first failure, or empty.
QString copyNewEntries(const fs::path &from, const fs::path &to, const std::vector<fs::path> &entries, Entries &given)
{
    for (const fs::path &entry : entries) {
        if (given.contains(entry.generic_string())) continue;
        std::error_code error;
        copyEntry(from / entry, to / entry, error);
        if (error) return describeFailure(to / entry, error);
        given.insert(entry.generic_string());
    }
    return {};
}

bool isNewFolder(const fs::path &folder)
{
    std::error_code error;
    return !fs::exists(folder, error) || fs::is_empty(folder, error);
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

QString ProgramFolder::templateFor(const QString &executableDir)
{
    const QString installed = templateFolder(executableDir);
    if (QFileInfo(installed).isDir() || !QFileInfo(ProgramFolder(executableDir).settingsFile()).isFile()) return installed;
    return QDir::cleanPath(executableDir);
}

ProgramFolder ProgramFolder::forReading(const QString &executableDir)
{
    const ProgramFolder located = locate(executableDir);
    if (QFileInfo(located.root()).isDir()) return located;
    return ProgramFolder(templateFor(executableDir));
}

ProgramFolder::Prepared ProgramFolder::prepare(const QString &executableDir)
{
    Prepared prepared{locate(executableDir), {}};
    if (prepared.folder.root() == QDir::cleanPath(executableDir)) return prepared;
    prepared.error = fillFromTemplate(templateFor(executableDir), prepared.folder.root());
    return prepared;
}

QString ProgramFolder::fillFromTemplate(const QString &templateDir, const QString &target)
{
    const fs::path from = templateDir.toStdString();
    const fs::path to = target.toStdString();
    const QString recordFile = target + u'/' + kTemplateRecord;
    const bool fresh = isNewFolder(to);
    std::error_code error;
    fs::create_directories(to, error);
    if (error) return describeFailure(to, error);
    std::optional<Entries> given = fresh ? Entries() : readRecord(recordFile);
    const std::vector<fs::path> entries = templateEntries(from);
    QString failure;
    if (given) {
        failure = copyNewEntries(from, to, entries, *given);
    } else {
        // A folder made before the record was kept had the whole template put
        // back at every start: what it lacks now, its user removed.
        given.emplace();
        for (const fs::path &entry : entries) given->insert(entry.generic_string());
    }
    QString recordError;
    if (!writeRecord(recordFile, *given, &recordError) && failure.isEmpty())
        failure = QDir::toNativeSeparators(recordFile) + QStringLiteral(": ") + recordError;
    return failure;
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
