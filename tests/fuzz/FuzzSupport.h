#pragma once

#include "model/ProgramFolder.h"

#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Helpers shared by the fuzz targets.
namespace FuzzSupport {

// A broken property is a finding: say which, and abort so libFuzzer keeps the input.
inline void check(bool holds, const char *property)
{
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline QByteArray bytesOf(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Codecs, fonts and painting need an application object; no screen is used.
inline void startGuiApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

// A program folder for the run with one picture in each picture library, so
// that card references can resolve: background "商务\蓝.png", logo "标志\圆.png".
inline const ProgramFolder &programFolder()
{
    static QTemporaryDir root;
    static const ProgramFolder folder = [] {
        ProgramFolder f(root.path());
        const auto writePicture = [](const QString &dir, const QString &name, Qt::GlobalColor colour) {
            QDir().mkpath(dir);
            QImage image(8, 6, QImage::Format_RGB32);
            image.fill(colour);
            image.save(dir + u'/' + name);
        };
        writePicture(f.libraryDir(ProgramFolder::Library::Backgrounds) + QStringLiteral("/商务"),
                     QStringLiteral("蓝.png"), Qt::blue);
        writePicture(f.libraryDir(ProgramFolder::Library::Logos) + QStringLiteral("/标志"),
                     QStringLiteral("圆.png"), Qt::red);
        QDir().mkpath(f.libraryDir(ProgramFolder::Library::Cards));
        return f;
    }();
    return folder;
}

} // namespace FuzzSupport
