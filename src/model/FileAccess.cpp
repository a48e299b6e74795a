#include "model/FileAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace FileAccess {

namespace {

// A temporary is a hidden file beside the target: a marker, eight hex digits
// of the SHA-1 of the target's name, a dash and six random letters or digits.
// No user names a file so, so only this program's leftovers are removed, and
// the name stays short whatever the target's length.
const QString kTemporaryMarker = QStringLiteral(".penlark-tmp-");
constexpr int kSuffixLength = 6;

QString temporaryStem(const QFileInfo &target)
{
    const QByteArray digest = QCryptographicHash::hash(target.fileName().toUtf8(), QCryptographicHash::Sha1);
    return kTemporaryMarker + QString::fromLatin1(digest.left(4).toHex()) + u'-';
}

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

} // namespace

void removeLeftoverTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QRegularExpression pattern(u'^' + QRegularExpression::escape(temporaryStem(target)) +
                                     QStringLiteral("[A-Za-z0-9]{%1}$").arg(kSuffixLength));
    QDir dir = target.absoluteDir();
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (pattern.match(entry).hasMatch()) dir.remove(entry);
}

namespace {

// The temporary as a device. Every write goes straight to the file and must
// take all its bytes: the first failure (a full disk, a file-size limit, a
// short write) is kept with its reason, since writers such as QPdfWriter do
// not look at what a write returns.
class TemporaryFile : public QIODevice
{
public:
    ~TemporaryFile() override { closeFile(); }

    // Creates a file of a name nobody else uses beside the target.
    bool create(const QFileInfo &target)
    {
        const QString stem = target.absolutePath() + u'/' + temporaryStem(target);
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_name = QFile::encodeName(stem + randomSuffix());
            m_fd = ::open(m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0) return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            if (errno != EEXIST) break;
        }
        setErrorString(systemReason(errno));
        return false;
    }

    // Gives the file the mode of the regular file it replaces; a new file
    // keeps what the umask left of read and write for all.
    void keepModeOf(const QString &path)
    {
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
            ::fchmod(m_fd, st.st_mode & 07777);
    }

    bool failed() const { return m_failed; }

    // Makes the bytes durable and closes the file, so that a crash after the
    // rename never leaves an empty file in the target's place.
    bool finish()
    {
        if (::fsync(m_fd) != 0 && errno != EINVAL) fail(errno);
        if (!closeFile()) fail(errno);
        return !m_failed;
    }

    bool rename(const QString &path)
    {
        if (std::rename(m_name.constData(), QFile::encodeName(path).constData()) == 0) return true;
        fail(errno);
        return false;
    }

    void remove() { ::unlink(m_name.constData()); }

    bool seek(qint64 pos) override { return QIODevice::seek(pos) && ::lseek(m_fd, pos, SEEK_SET) == pos; }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_failed) return -1;
        for (qint64 done = 0; done < length;) {
            const ssize_t n = ::write(m_fd, data + done, std::size_t(length - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                fail(n < 0 ? errno : EIO);
                return -1;
            }
            done += n;
        }
        // Start writing the bytes out a megabyte at a time, so that the flush
        // at the end has little left to wait for.
        const qint64 end = pos() + length;
        if (end - m_writtenOut >= kWriteOutBytes) {
            ::sync_file_range(m_fd, m_writtenOut, end - m_writtenOut, SYNC_FILE_RANGE_WRITE);
            m_writtenOut = end;
        }
        return length;
    }

private:
    void fail(int code)
    {
        if (m_failed) return;
        m_failed = true;
        setErrorString(systemReason(code));
    }

    bool closeFile()
    {
        if (m_fd < 0) return true;
        return ::close(std::exchange(m_fd, -1)) == 0;
    }

    static constexpr qint64 kWriteOutBytes = 1 << 20;

    QByteArray m_name;
    int m_fd = -1;
    qint64 m_writtenOut = 0; // bytes before this are on their way to the disk
    bool m_failed = false;
};

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
        const int openError = errno;
        // Some things that are no regular file cannot even be opened (a socket).
        struct stat st {};
        if (openError != ENOENT && ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return {{}, problemOf(st, maxSize), {}};
        read.problem = openError == ENOENT || openError == ENOTDIR ? Problem::Missing : Problem::Unreadable;
        read.reason = systemReason(openError);
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
    removeLeftoverTemporaries(path);
    TemporaryFile temporary;
    if (!temporary.create(target)) return fail(error, temporary.errorString());
    temporary.keepModeOf(path);
    QString reason;
    const bool written = write(temporary, reason);
    if (written && !temporary.failed() && temporary.finish() && temporary.rename(path)) return true;
    // The device's own failure comes first: a writer that noticed it says less.
    if (temporary.failed()) reason = temporary.errorString();
    temporary.remove();
    return fail(error, reason);
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
