#pragma once

#include "model/IniFile.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A throw-away program folder with a settings file and the three library folders.
class ProgramFolderFixture
{
public:
    ProgramFolderFixture()
    {
        setStartupCard(QString());
        for (const char *dir : {"mycard", "background", "logo"}) QDir(root()).mkdir(QString::fromLatin1(dir));
    }

    QString root() const { return m_dir.path(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    QString settingsFile() const { return path(QStringLiteral("penlark.dll")); }

    void setStartupCard(const QString &reference)
    {
        IniStore::write(settingsFile(), QStringLiteral("card"), QStringLiteral("cardName"), reference);
    }

    QString startupCard() const
    {
        return IniStore::read(settingsFile(), QStringLiteral("card"), QStringLiteral("cardName"));
    }

    // Writes a picture file of one colour.
    void writePicture(const QString &relative, const QColor &colour, QSize size = {20, 20}) const
    {
        QDir(root()).mkpath(QFileInfo(path(relative)).path());
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.save(path(relative));
    }

    // Writes only the header of a 24-bit bitmap of the given size: a picture
    // that announces itself far larger than any test would want to decode.
    void writeBitmapHeader(const QString &relative, QSize size) const
    {
        QByteArray header(54, '\0');
        auto put = [&header](int at, qint32 value, int bytes) {
            for (int i = 0; i < bytes; ++i) header[at + i] = char((value >> (8 * i)) & 0xFF);
        };
        header[0] = 'B';
        header[1] = 'M';
        put(2, 54, 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, size.width(), 4);
        put(22, size.height(), 4);
        put(26, 1, 2);
        put(28, 24, 2);
        QDir(root()).mkpath(QFileInfo(path(relative)).path());
        QFile out(path(relative));
        if (out.open(QIODevice::WriteOnly)) out.write(header);
    }

private:
    QTemporaryDir m_dir;
};
