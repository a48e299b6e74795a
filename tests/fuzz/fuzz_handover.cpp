// The message a later start sends to the running designer: any bytes a
// program may write to its socket. What is taken is a path the designer can
// open as it is, and it travels unchanged when sent again.
#include "FuzzSupport.h"
#include "model/HandOverMessage.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray line = FuzzSupport::bytesOf(data, size);
    const std::optional<QString> path = HandOverMessage::pathFrom(line);
    if (!path) return 0;
    check(path->startsWith(u'/'), "a path taken is absolute");
    check(!path->contains(QChar(0)) && !path->contains(u'\n'), "a path taken holds no NUL or line end");
    check(path->toUtf8().size() <= HandOverMessage::kLongestPath, "a path taken is within the length a path can be");
    check(HandOverMessage::pathFrom(HandOverMessage::lineFor(*path)) == path, "a path taken is sent again unchanged");
    return 0;
}
