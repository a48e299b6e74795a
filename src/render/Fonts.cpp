#include "render/Fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QStringList>

namespace Fonts {

namespace {

const QStringList kSerifCjk{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
const QStringList kSansCjk{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC")};
const QStringList kKaiCjk{QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC")};

const QStringList kSans{QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK SC")};
const QStringList kSerif{QStringLiteral("Liberation Serif"), QStringLiteral("Noto Serif CJK SC")};
const QStringList kMono{QStringLiteral("Liberation Mono"), QStringLiteral("Noto Sans Mono CJK SC")};

struct Substitution {
    const char16_t *face;
    const QStringList &faces;
};

const Substitution kSubstitutions[] = {
    {u"宋体", kSerifCjk},        {u"新宋体", kSerifCjk},   {u"SimSun", kSerifCjk},
    {u"NSimSun", kSerifCjk},     {u"仿宋_GB2312", kSerifCjk}, {u"仿宋", kSerifCjk},
    {u"FangSong", kSerifCjk},    {u"隶书", kSerifCjk},      {u"LiSu", kSerifCjk},
    {u"黑体", kSansCjk},         {u"SimHei", kSansCjk},    {u"微软雅黑", kSansCjk},
    {u"Microsoft YaHei", kSansCjk}, {u"幼圆", kSansCjk},   {u"YouYuan", kSansCjk},
    {u"楷体_GB2312", kKaiCjk},   {u"楷体", kKaiCjk},       {u"KaiTi", kKaiCjk},
    {u"Arial", kSans},           {u"Tahoma", kSans},       {u"Verdana", kSans},
    {u"Times New Roman", kSerif}, {u"Courier New", kMono},
};

// Faces with the Windows Chinese metrics: ascent 220/256 em, one em per line.
constexpr qreal kGbAscent = 220.0 / 256.0;
const QStringList kGbMetricFaces{
    QStringLiteral("宋体"), QStringLiteral("新宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
    QStringLiteral("仿宋_GB2312"), QStringLiteral("仿宋"), QStringLiteral("FangSong"),
    QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("楷体_GB2312"), QStringLiteral("楷体"),
    QStringLiteral("KaiTi"), QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("幼圆"),
    QStringLiteral("YouYuan"),
};

bool hasGbMetrics(const QFont &font)
{
    return kGbMetricFaces.contains(font.family(), Qt::CaseInsensitive);
}

qreal emPixels(const QFont &font, const QPaintDevice *device)
{
    if (font.pixelSize() > 0) return font.pixelSize();
    return font.pointSizeF() * device->logicalDpiY() / 72.0;
}

} // namespace

QStringList cardFaces()
{
    QStringList faces = QFontDatabase::families();
    for (const Substitution &s : kSubstitutions) {
        const QString face = QString::fromUtf16(s.face);
        if (!faces.contains(face, Qt::CaseInsensitive)) faces << face;
    }
    return faces;
}

void installSubstitutions()
{
    for (const Substitution &s : kSubstitutions)
        QFont::insertSubstitutions(QString::fromUtf16(s.face), s.faces);
}

QFont interfaceFont()
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(9);
    return font;
}

QFont cardFont(const QString &face, double pointSize, bool bold, bool italic)
{
    QFont font(face);
    if (pointSize > 0) font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

qreal lineAscent(const QFont &font, const QPaintDevice *device)
{
    if (hasGbMetrics(font)) return emPixels(font, device) * kGbAscent;
    return QFontMetricsF(font, device).ascent();
}

qreal lineHeight(const QFont &font, const QPaintDevice *device)
{
    if (hasGbMetrics(font)) return emPixels(font, device);
    return QFontMetricsF(font, device).height();
}

} // namespace Fonts
