#include "model/HandOverMessage.h"

#include <QStringDecoder>
#include <algorithm>

namespace HandOverMessage {

QByteArray lineFor(const QString &path) { return path.toUtf8() + '\n'; }

std::optional<QString> pathFrom(const QByteArray &line)
{
    const QByteArray bytes = line.endsWith('\n') ? line.chopped(1) : line;
    if (bytes.size() > kLongestPath) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString path = decoder(bytes);
    const bool control = std::any_of(path.begin(), path.end(),
                                     [](QChar c) { return c.category() == QChar::Other_Control; });
    if (decoder.hasError() || control || !path.startsWith(u'/')) return std::nullopt;
    return path;
}

} // namespace HandOverMessage
