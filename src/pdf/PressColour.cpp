#include "pdf/PressColour.h"

#include <QFile>

#include <lcms2.h>

#include <algorithm>
#include <stdexcept>

namespace PressColour {

namespace {

// The two transforms from sRGB into the press profile, made once.
class Transforms
{
public:
    Transforms()
    {
        QFile file(QStringLiteral(":/color/coated-fogra39.icc"));
        if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("the press profile is missing");
        m_profile = file.readAll();
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHPROFILE press = cmsOpenProfileFromMem(m_profile.constData(), cmsUInt32Number(m_profile.size()));
        if (!press || cmsGetColorSpace(press) != cmsSigCmykData) throw std::runtime_error("the press profile is not CMYK");
        // No cache of the last pixel, so that threads may share the transforms.
        const cmsUInt32Number flags = cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE;
        m_flat = cmsCreateTransform(srgb, TYPE_RGB_DBL, press, TYPE_CMYK_DBL, INTENT_RELATIVE_COLORIMETRIC, flags);
        m_pixels = cmsCreateTransform(srgb, TYPE_RGB_8, press, TYPE_CMYK_8, INTENT_RELATIVE_COLORIMETRIC, flags);
        cmsCloseProfile(srgb);
        cmsCloseProfile(press);
        if (!m_flat || !m_pixels) throw std::runtime_error("cannot convert into the press profile");
    }

    ~Transforms()
    {
        cmsDeleteTransform(m_flat);
        cmsDeleteTransform(m_pixels);
    }

    Transforms(const Transforms &) = delete;
    Transforms &operator=(const Transforms &) = delete;

    cmsHTRANSFORM flat() const { return m_flat; }
    cmsHTRANSFORM pixels() const { return m_pixels; }
    const QByteArray &profile() const { return m_profile; }

private:
    QByteArray m_profile;
    cmsHTRANSFORM m_flat = nullptr;
    cmsHTRANSFORM m_pixels = nullptr;
};

const Transforms &transforms()
{
    static const Transforms instance;
    return instance;
}

} // namespace

Cmyk flatColour(int red, int green, int blue)
{
    if (red == green && green == blue) return {0, 0, 0, 1.0 - red / 255.0};
    const double rgb[3] = {red / 255.0, green / 255.0, blue / 255.0};
    double ink[4] = {};
    cmsDoTransform(transforms().flat(), rgb, ink, 1);
    // LittleCMS gives ink in per cent.
    return {std::clamp(ink[0] / 100, 0.0, 1.0), std::clamp(ink[1] / 100, 0.0, 1.0), std::clamp(ink[2] / 100, 0.0, 1.0),
            std::clamp(ink[3] / 100, 0.0, 1.0)};
}

void convertPixels(const uchar *rgb, uchar *cmyk, std::size_t count)
{
    cmsDoTransform(transforms().pixels(), rgb, cmyk, cmsUInt32Number(count));
}

QByteArray profileData()
{
    return transforms().profile();
}

} // namespace PressColour
