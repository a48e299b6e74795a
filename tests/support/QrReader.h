#pragma once

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

// Reads the QR code in a picture with zbarimg, as a phone's scanner would: the
// code's text, or an empty string when no code can be read.
inline QString readQrCode(const QString &pictureFile)
{
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {"--quiet", "--raw", "-Sdisable", "-Sqrcode.enable", pictureFile});
    zbar.waitForFinished(30000);
    QByteArray text = zbar.readAllStandardOutput();
    if (text.endsWith('\n')) text.chop(1); // zbarimg ends each code with a line feed of its own
    return QString::fromUtf8(text);
}

inline QString readQrCode(const QImage &picture)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("code.png"));
    picture.save(file);
    return readQrCode(file);
}
