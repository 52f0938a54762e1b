#include "velpixmap.h"

VelPixmap::VelPixmap(int width, int height)
    : m_image(width, height, VelImage::Format_ARGB32_Premultiplied)
{
}

VelPixmap::VelPixmap(const VelString &fileName)
{
    load(fileName);
}

VelPixmap VelPixmap::fromImage(const VelImage &image)
{
    VelPixmap pixmap;
    pixmap.m_image = image;
    return pixmap;
}

void VelPixmap::fill(const VelRgb &color)
{
    if (m_image.isNull())
        return;
    if (m_image.format() != VelImage::Format_ARGB32_Premultiplied &&
        m_image.format() != VelImage::Format_ARGB32 && m_image.format() != VelImage::Format_RGB32)
        m_image = m_image.convertToFormat(VelImage::Format_ARGB32_Premultiplied);
    m_image.fill(m_image.format() == VelImage::Format_ARGB32_Premultiplied ? velPremultiply(color)
                                                                           : color);
}

bool VelPixmap::load(const VelString &fileName)
{
    return m_image.load(fileName);
}

VelPixmap VelPixmap::scaled(int width, int height) const
{
    return fromImage(m_image.scaled(width, height));
}
