#include "velfont.h"

VelFont::VelFont(const VelString &family, int pointSize, int weight, bool italic)
{
    m_def.family = family;
    m_def.pointSize = pointSize > 0 ? double(pointSize) : defaultPointSize;
    if (weight >= 0)
        setWeight(weight);
    setItalic(italic);
}

void VelFont::setPointSizeF(double size)
{
    if (size <= 0)
        return;
    m_def.pointSize = size;
    m_def.pixelSize = -1;
}

void VelFont::setPixelSize(int size)
{
    if (size <= 0)
        return;
    m_def.pixelSize = size;
    m_def.pointSize = -1;
}

void VelFont::setWeight(int weight)
{
    m_def.weight = velBound(0, weight, 99);
}

void VelFont::setStretch(int stretch)
{
    m_def.stretch = velBound(1, stretch, 4000);
}

void VelFont::setStyleHint(StyleHint hint, uint strategy)
{
    m_def.styleHint = hint;
    m_def.styleStrategy = strategy;
}

void VelFont::setFixedPitch(bool fixed)
{
    m_def.fixedPitch = fixed;
    m_def.ignorePitch = false;
}

VelFontDef VelFont::fontDef(int dpi) const
{
    VelFontDef def = m_def;
    if (def.pixelSize < 0) {
        const double points = def.pointSize > 0 ? def.pointSize : defaultPointSize;
        def.pixelSize = points * dpi / 72.0;
        def.pointSize = points;
    } else if (def.pointSize < 0) {
        def.pointSize = def.pixelSize * 72.0 / dpi;
    }
    return def;
}

uint velHash(const VelFont &font, uint seed)
{
    return velHash(font.rawDef(), seed);
}
