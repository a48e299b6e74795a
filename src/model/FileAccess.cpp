#include "model/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileAccess {

namespace {

// A temporary is the target's name, this marker and six letters or digits: a
// name no user gives a file, so only this program's leftovers are removed.
const QString kTemporaryMarker = QStringLiteral(".penlark-tmp-");
constexpr int kSuffixLength = 6;

bool fail(QString *error, const QString &reason)
{
    if (error) *error = reason;
    return false;
}

QString systemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

Problem problemOf(const struct stat &st, qint64 maxSize)
{
    if (S_ISDIR(st.st_mode)) return Problem::Folder;
    if (!S_ISREG(st.st_mode)) return Problem::NotRegular;
    if (st.st_size > maxSize) return Problem::TooLarge;
    return Problem::None;
}

QString randomSuffix()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < kSuffixLength; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]);
    return suffix;
}

void removeStaleTemporaries(const QFileInfo &target)
{
    const QRegularExpression pattern(u'^' + QRegularExpression::escape(target.fileName() + kTemporaryMarker) +
                                     QStringLiteral("[A-Za-z0-9]{%1}$").arg(kSuffixLength));
    QDir dir = target.absoluteDir();
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (pattern.match(entry).hasMatch()) dir.remove(entry);
}

// Creates a temporary of a name nobody else uses beside the target.
bool createTemporary(const QFileInfo &target, QFile &temporary, QString &reason)
{
    const QString stem = target.absolutePath() + u'/' + target.fileName() + kTemporaryMarker;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary.setFileName(stem + randomSuffix());
        if (temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return true;
        if (!QFileInfo(temporary.fileName()).exists()) break;
    }
    reason = temporary.errorString();
    return false;
}

// Gives the temporary the mode of the regular file it replaces; a new file
// keeps what the umask left of read and write for all.
void keepMode(const QString &path, const QFile &temporary)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(temporary.handle(), st.st_mode & 07777);
}

// Pushes the buffered bytes to the disk: a full disk or a file-size limit
// shows only here for a small file.
bool reachDisk(QFile &temporary, QString &reason)
{
    if (!temporary.flush() || temporary.error() != QFileDevice::NoError) {
        reason = temporary.errorString();
        return false;
    }
    if (::fsync(temporary.handle()) != 0 && errno != EINVAL) {
        reason = systemReason(errno);
        return false;
    }
    return true;
}

} // namespace

Problem regularFileProblem(const QString &path, qint64 maxSize)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Problem::Missing : Problem::Unreadable;
    return problemOf(st, maxSize);
}

FileRead readRegularFile(const QString &path, qint64 maxSize)
{
    FileRead read;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        read.problem = errno == ENOENT || errno == ENOTDIR ? Problem::Missing : Problem::Unreadable;
        read.reason = systemReason(errno);
        return read;
    }
    struct stat st {};
    read.problem = ::fstat(fd, &st) == 0 ? problemOf(st, maxSize) : Problem::Unreadable;
    if (read.problem != Problem::None) {
        if (read.problem == Problem::Unreadable) read.reason = systemReason(errno);
        ::close(fd);
        return read;
    }
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    read.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {{}, Problem::Unreadable, file.errorString()};
    // A file that grew past the limit after the check is refused all the same.
    if (read.bytes.size() > maxSize) return {{}, Problem::TooLarge, {}};
    return read;
}

QString describe(const FileRead &read)
{
    switch (read.problem) {
    case Problem::Folder: return QStringLiteral("is a folder");
    case Problem::NotRegular: return QStringLiteral("is not a regular file");
    case Problem::TooLarge: return QStringLiteral("is too large");
    case Problem::None:
    case Problem::Missing:
    case Problem::Unreadable: break;
    }
    return read.reason;
}

bool writeAtomically(const QString &path, QString *error, const DeviceWriter &write)
{
    const QFileInfo target(path);
    removeStaleTemporaries(target);
    QFile temporary;
    QString reason;
    if (!createTemporary(target, temporary, reason)) return fail(error, reason);
    keepMode(path, temporary);
    if (!write(temporary, reason) || !reachDisk(temporary, reason)) {
        temporary.remove();
        return fail(error, reason);
    }
    temporary.close();
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        reason = systemReason(errno);
        temporary.remove();
        return fail(error, reason);
    }
    return true;
}

bool writeBytesAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeAtomically(path, error, [&bytes](QIODevice &device, QString &reason) {
        if (device.write(bytes) == bytes.size()) return true;
        reason = device.errorString();
        return false;
    });
}

} // namespace FileAccess
