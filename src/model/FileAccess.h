#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Reading and replacing files without trusting what a path names: a read
// opens only regular files of a bounded size (a named pipe would wait for a
// writer, a device could be endless), and a write fills a temporary file
// beside the target, checks that every byte reached it and only then renames
// it over the target. A failed write leaves the old file byte for byte and no
// temporary behind; a link in the target's place is replaced, never followed.
namespace FileAccess {

// Card and settings files are a few kilobytes; anything over this is no such file.
inline constexpr qint64 kLargestIniFile = 64 << 20;

enum class Problem {
    None,
    Missing,
    Folder,
    NotRegular, // a named pipe, device or socket
    TooLarge,
    Unreadable, // the system refused to open or read it; see the reason
};

// What is wrong with reading path as a regular file of at most maxSize bytes,
// judged from its entry without opening it.
Problem regularFileProblem(const QString &path, qint64 maxSize);

struct FileRead {
    QByteArray bytes;
    Problem problem = Problem::None;
    QString reason; // the system's words for Unreadable
};

// Reads a regular file of at most maxSize bytes whole. The file is opened
// without waiting and checked once open, so a pipe put in its place between
// a check and the read cannot block.
FileRead readRegularFile(const QString &path, qint64 maxSize);

// Why a read failed, in a few words after the file's name: "is a folder",
// "is not a regular file", "is too large", or the system's reason.
QString describe(const FileRead &read);

// Fills the device or sets its reason and returns false.
using DeviceWriter = std::function<bool(QIODevice &, QString &)>;

// Writes path through write. The file is replaced only when write succeeded
// and every byte reached the disk; otherwise false with the reason in *error.
// The new file keeps the permissions of the regular file it replaces.
// The temporary is ".penlark-tmp-" followed by the first eight hex digits of
// the SHA-1 of the target's file name (UTF-8), "-" and six letters or digits.
// Leftover temporaries of an earlier write of the same path that was killed
// are removed first; nothing else in the folder is touched.
bool writeAtomically(const QString &path, QString *error, const DeviceWriter &write);

// Removes the temporaries that writes of path left when they were killed.
void removeLeftoverTemporaries(const QString &path);

bool writeBytesAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace FileAccess
