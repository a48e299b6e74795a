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
        IniStore::write(settingsFile(), QStringLiteral("card"), QStringLiteral("cardName"), QString());
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

private:
    QTemporaryDir m_dir;
};
