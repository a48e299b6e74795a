#include "model/LibraryFiles.h"

#include "model/CardLibrary.h"
#include "model/FileAccess.h"
#include "model/Numeric.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace LibraryFiles {

namespace {

constexpr QDir::Filters kFiles = QDir::Files | QDir::Hidden | QDir::System;

const QStringList kPicturePatterns{QStringLiteral("*.bmp"), QStringLiteral("*.jpg"), QStringLiteral("*.gif")};

QStringList filesMatching(const QString &dir, const QStringList &patterns)
{
    QDir folder(dir);
    folder.setNameFilters(patterns);
    return folder.entryList(kFiles, QDir::Name | QDir::IgnoreCase);
}

// A name taken from a list of the folder: one entry, never a way out of it.
bool isEntryName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && name != u"." && name != u"..";
}

// Checks a typed name; Done when it may be used.
Result checkName(const QString &name)
{
    if (name.isEmpty()) return {Outcome::EmptyName, {}};
    if (QString problem = CardLibrary::nameProblem(name); !problem.isEmpty()) return {Outcome::BadName, problem};
    return {Outcome::Done, name};
}

Result renameEntry(const QString &dir, const QString &oldName, const QString &newName)
{
    const Result check = checkName(newName);
    if (check.outcome != Outcome::Done) return check;
    if (!isEntryName(oldName)) return {Outcome::Failed, {}};
    if (QFileInfo::exists(dir + u'/' + newName)) return {Outcome::Exists, {}};
    if (!QDir(dir).rename(oldName, newName)) return {Outcome::Failed, {}};
    return {Outcome::Done, newName};
}

} // namespace

QStringList categories(const QString &libraryDir)
{
    return QDir(libraryDir).entryList(QDir::Dirs | kFiles | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList files(const QString &dir)
{
    return filesMatching(dir, kPicturePatterns + QStringList{QStringLiteral("*.pnk")});
}

QStringList pictures(const QString &dir)
{
    return filesMatching(dir, kPicturePatterns);
}

Result createCategory(const QString &libraryDir, const QString &name)
{
    const QString trimmed = name.trimmed();
    const Result check = checkName(trimmed);
    if (check.outcome != Outcome::Done) return check;
    if (QFileInfo::exists(libraryDir + u'/' + trimmed)) return {Outcome::Exists, {}};
    if (!QDir(libraryDir).mkdir(trimmed)) return {Outcome::Failed, {}};
    return {Outcome::Done, trimmed};
}

Result renameCategory(const QString &libraryDir, const QString &oldName, const QString &newName)
{
    return renameEntry(libraryDir, oldName, newName.trimmed());
}

bool deleteCategory(const QString &libraryDir, const QString &name)
{
    if (!isEntryName(name)) return false;
    const QString path = libraryDir + u'/' + name;
    // A category that is a link goes as a link; the folder it leads to stays whole.
    if (QFileInfo(path).isSymLink()) return QFile::remove(path);
    QDir category(path);
    for (const QString &file : category.entryList(kFiles))
        if (!deleteFile(category.filePath(file))) return false;
    return QDir(libraryDir).rmdir(name);
}

Result renameFile(const QString &dir, const QString &fileName, const QString &newBase)
{
    const QString base = newBase.trimmed();
    // The answer is a name of its own too: "..", or one ending in a dot, is refused.
    if (const Result check = checkName(base); check.outcome != Outcome::Done) return check;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString newName = dot < 0 ? base : base + fileName.mid(dot);
    if (newName == fileName) return {Outcome::Exists, {}};
    return renameEntry(dir, fileName, newName);
}

bool deleteFile(const QString &path)
{
    // A link goes as a link: its target keeps its contents and its mode.
    if (!QFileInfo(path).isSymLink())
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    return QFile::remove(path);
}

QString copyTarget(const QString &source, const QString &targetDir)
{
    return targetDir + u'/' + QFileInfo(source).fileName();
}

bool copyFile(const QString &source, const QString &targetDir)
{
    const FileAccess::FileRead in = FileAccess::readRegularFile(source, std::numeric_limits<qint64>::max());
    return in.problem == FileAccess::Problem::None &&
           FileAccess::writeBytesAtomically(copyTarget(source, targetDir), in.bytes);
}

QRect fitPreview(QSize inner, QSize picture)
{
    QSize shown = picture;
    if (picture.width() > inner.width() || picture.height() > inner.height()) {
        const double height = double(inner.width()) * picture.height() / picture.width();
        shown = QSize(inner.width(), Numeric::roundToInt(height));
    }
    const int left = Numeric::roundToInt((inner.width() - shown.width()) / 2.0);
    const int top = Numeric::roundToInt((inner.height() - shown.height()) / 2.0);
    return QRect(QPoint(left, top), shown);
}

bool isBrowsableVolume(const QString &rootPath, const QByteArray &fileSystemType)
{
    static const QList<QByteArray> pseudo = {
        "proc",   "sysfs",     "tmpfs",    "devtmpfs",  "devpts",     "cgroup",  "cgroup2", "securityfs",
        "debugfs", "tracefs",  "pstore",   "bpf",       "autofs",     "mqueue",  "hugetlbfs", "configfs",
        "fusectl", "binfmt_misc", "efivarfs", "nsfs",    "ramfs",      "rpc_pipefs", "squashfs", "overlay",
        "fuse.gvfsd-fuse", "fuse.portal", "fuse.snapfuse", "nfsd",   "selinuxfs", "none"};
    if (pseudo.contains(fileSystemType.toLower())) return false;
    static const QStringList systemRoots = {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"),
                                            QStringLiteral("/run"), QStringLiteral("/snap"), QStringLiteral("/boot")};
    const bool removableMedia = rootPath.startsWith(u"/run/media/");
    return removableMedia || std::none_of(systemRoots.begin(), systemRoots.end(), [&](const QString &root) {
               return rootPath == root || rootPath.startsWith(root + u'/');
           });
}

} // namespace LibraryFiles
