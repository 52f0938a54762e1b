#ifndef VELPAINTDEVICE_H
#define VELPAINTDEVICE_H

// Something a painter can draw on.
class VelPaintDevice
{
public:
    enum PaintDeviceMetric {
        PdmWidth = 1,
        PdmHeight,
        PdmWidthMM,
        PdmHeightMM,
        PdmNumColors,
        PdmDepth,
        PdmDpiX,
        PdmDpiY,
        PdmPhysicalDpiX,
        PdmPhysicalDpiY,
        PdmDevicePixelRatio
    };
    enum DeviceType { Image = 3, Pixmap = 2 };

    virtual ~VelPaintDevice();
    virtual int devType() const = 0;
    virtual int metric(PaintDeviceMetric metric) const = 0;

    int widthMM() const { return metric(PdmWidthMM); }
    int heightMM() const { return metric(PdmHeightMM); }
    int logicalDpiX() const { return metric(PdmDpiX); }
    int logicalDpiY() const { return metric(PdmDpiY); }

protected:
    VelPaintDevice() = default;
    VelPaintDevice(const VelPaintDevice &) = default;
    VelPaintDevice &operator=(const VelPaintDevice &) = default;
};

#endif
