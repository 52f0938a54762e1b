#ifndef VELPIXMAP_H
#define VELPIXMAP_H

#include "velimage.h"

// An off-screen picture. On this host it is backed by an image kept in the
// format it was given; toImage() hands that image back unchanged.
class VelPixmap : public VelPaintDevice
{
public:
    VelPixmap() = default;
    VelPixmap(int width, int height);
    explicit VelPixmap(const VelSize &size) : VelPixmap(size.width(), size.height()) {}
    explicit VelPixmap(const VelString &fileName);

    static VelPixmap fromImage(const VelImage &image);

    bool isNull() const { return m_image.isNull(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    VelSize size() const { return m_image.size(); }
    VelRect rect() const { return m_image.rect(); }
    int depth() const { return m_image.depth(); }
    bool hasAlphaChannel() const { return m_image.hasAlphaChannel(); }
    void fill(const VelRgb &color);
    bool load(const VelString &fileName);
    bool save(const VelString &fileName) const { return m_image.save(fileName); }
    VelPixmap scaled(int width, int height) const;
    VelImage toImage() const { return m_image; }
    // The image painters draw into.
    VelImage *imageForPainting() { return &m_image; }

    bool operator==(const VelPixmap &o) const { return m_image == o.m_image; }

    int devType() const override { return VelPaintDevice::Pixmap; }
    int metric(PaintDeviceMetric metric) const override { return m_image.metric(metric); }

private:
    VelImage m_image;
};

#endif
