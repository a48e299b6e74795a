#pragma once

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRectF>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

// Reads back a PDF with the poppler tools: its pages and page size, its text,
// and where ink lies on its first page.
namespace PdfProbe {

inline bool available()
{
    for (const char *tool : {"pdfinfo", "pdftotext", "pdftoppm"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return false;
    return true;
}

inline QString run(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The value of one "Key: value" line of pdfinfo.
inline QString info(const QString &pdf, const QString &key)
{
    for (const QString &line : run(QStringLiteral("pdfinfo"), {pdf}).split(u'\n'))
        if (line.startsWith(key + u':')) return line.mid(key.size() + 1).trimmed();
    return {};
}

inline QString text(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
}

// The text in the order it is drawn (pdftotext -raw).
inline QString drawnText(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
}

// One box of the first page ("MediaBox", "BleedBox", "TrimBox") as pdfinfo
// gives it: left, bottom, right, top in points.
inline QRectF box(const QString &pdf, const QString &name)
{
    for (const QString &line : run(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), pdf}).split(u'\n')) {
        if (!line.startsWith(name + u':')) continue;
        const QStringList v = line.mid(name.size() + 1).split(u' ', Qt::SkipEmptyParts);
        if (v.size() == 4) return QRectF(QPointF(v[0].toDouble(), v[1].toDouble()), QPointF(v[2].toDouble(), v[3].toDouble()));
    }
    return {};
}

// The area pixels of a page (the first unless told) rendered at dpi, in grey levels when grey is set.
inline QImage renderArea(const QString &pdf, double dpi, QRect pixels, bool grey, int page = 1)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("area"));
    QStringList arguments{QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page)};
    if (grey) arguments << QStringLiteral("-gray");
    arguments << QStringLiteral("-singlefile") << QStringLiteral("-r") << QString::number(dpi) << QStringLiteral("-x")
              << QString::number(pixels.x()) << QStringLiteral("-y") << QString::number(pixels.y())
              << QStringLiteral("-W") << QString::number(pixels.width()) << QStringLiteral("-H")
              << QString::number(pixels.height()) << pdf << stem;
    run(QStringLiteral("pdftoppm"), arguments);
    return QImage(stem + (grey ? QStringLiteral(".pgm") : QStringLiteral(".ppm")));
}

// The colour of the first page at a point, in millimetres from its top-left corner.
inline QColor colourAtMm(const QString &pdf, QPointF at)
{
    constexpr double kDpi = 72;
    const QRect pixel(int(at.x() / 25.4 * kDpi), int(at.y() / 25.4 * kDpi), 1, 1);
    return renderArea(pdf, kDpi, pixel, false).pixelColor(0, 0);
}

// The bounds, in millimetres from the page's top-left corner, of every pixel
// darker than near-white within the top-left area of a page (the first unless
// told), rendered at 600 dpi.
inline QRectF inkBoundsMm(const QString &pdf, QSizeF areaMm, int pageNumber = 1)
{
    constexpr double kDpi = 600;
    constexpr double kMmPerPixel = 25.4 / kDpi;
    const QRect area(0, 0, int(areaMm.width() / kMmPerPixel), int(areaMm.height() / kMmPerPixel));
    const QImage page = renderArea(pdf, kDpi, area, true, pageNumber).convertToFormat(QImage::Format_Grayscale8);
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const uchar *row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] >= 245) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    return {left * kMmPerPixel, top * kMmPerPixel, (right - left + 1) * kMmPerPixel,
            (bottom - top + 1) * kMmPerPixel};
}

} // namespace PdfProbe
