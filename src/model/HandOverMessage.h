#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The one message a second start of the designer sends to the running copy:
// the absolute path of the file to open, in UTF-8, ended by a line feed.
namespace HandOverMessage {

// The longest path a message may carry, in bytes (the system's own limit).
inline constexpr qsizetype kLongestPath = 4096;

QByteArray lineFor(const QString &path);

// The path a received line names (with or without its line feed): an absolute
// path of at most kLongestPath bytes of valid UTF-8 without control
// characters; nothing for anything else.
std::optional<QString> pathFrom(const QByteArray &line);

} // namespace HandOverMessage
