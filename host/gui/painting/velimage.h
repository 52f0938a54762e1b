#ifndef VELIMAGE_H
#define VELIMAGE_H

#include "velbytearray.h"
#include "velpaintdevice.h"
#include "velpoint.h"
#include "velrect.h"
#include "velrgb.h"
#include "velsize.h"
#include "velstring.h"

#include <memory>
#include <vector>

using VelImageCleanupFunction = void (*)(void *info);

// A raster image. Copies share their pixels until one of them is written to
// (bits(), scanLine(), setPixel(), fill(), setColorTable() detach first), so
// passing images by value is cheap. An image made over an external buffer
// writes straight into that buffer while it is not shared; the optional
// cleanup function runs when the last copy referring to the buffer goes away.
class VelImage : public VelPaintDevice
{
public:
    enum Format {
        Format_Invalid = 0,
        Format_Mono = 1,
        Format_MonoLSB = 2,
        Format_Indexed8 = 3,
        Format_RGB32 = 4,
        Format_ARGB32 = 5,
        Format_ARGB32_Premultiplied = 6,
        Format_RGB16 = 7,
        Format_RGB888 = 13,
        Format_Alpha8 = 24,
        Format_Grayscale8 = 25
    };

    VelImage();
    VelImage(const VelSize &size, Format format);
    VelImage(int width, int height, Format format);
    VelImage(uchar *data, int width, int height, int bytesPerLine, Format format,
             VelImageCleanupFunction cleanup = nullptr, void *cleanupInfo = nullptr);
    VelImage(const uchar *data, int width, int height, int bytesPerLine, Format format,
             VelImageCleanupFunction cleanup = nullptr, void *cleanupInfo = nullptr);
    explicit VelImage(const VelString &fileName);
    VelImage(const VelImage &other);
    VelImage(VelImage &&other) noexcept;
    VelImage &operator=(const VelImage &other);
    VelImage &operator=(VelImage &&other) noexcept;
    ~VelImage() override;

    bool isNull() const { return !d; }
    Format format() const;
    int width() const;
    int height() const;
    VelSize size() const { return VelSize(width(), height()); }
    VelRect rect() const { return VelRect(0, 0, width(), height()); }
    int depth() const;
    int bytesPerLine() const;
    long long byteCount() const { return (long long)bytesPerLine() * height(); }
    bool hasAlphaChannel() const;
    bool isDetached() const;
    // Two images that share pixel storage.
    bool isSharedWith(const VelImage &other) const { return d && d == other.d; }

    uchar *bits();
    const uchar *bits() const { return constBits(); }
    const uchar *constBits() const;
    uchar *scanLine(int y);
    const uchar *scanLine(int y) const { return constScanLine(y); }
    const uchar *constScanLine(int y) const;

    bool valid(int x, int y) const { return d && x >= 0 && y >= 0 && x < width() && y < height(); }
    bool valid(const VelPoint &p) const { return valid(p.x(), p.y()); }
    // The colour at (x, y) as 0xAARRGGBB: 32-bit formats give the stored word
    // (premultiplied for the premultiplied format), the others their colour.
    VelRgb pixel(int x, int y) const;
    VelRgb pixel(const VelPoint &p) const { return pixel(p.x(), p.y()); }
    int pixelIndex(int x, int y) const;
    // For indexed and mono formats the value is a colour-table index.
    void setPixel(int x, int y, uint indexOrRgb);
    void setPixel(const VelPoint &p, uint indexOrRgb) { setPixel(p.x(), p.y(), indexOrRgb); }
    // Fills with a pixel value in the image's format (index, 565 word, ...).
    void fill(uint pixelValue);

    std::vector<VelRgb> colorTable() const;
    void setColorTable(const std::vector<VelRgb> &colors);
    int colorCount() const;
    VelRgb color(int i) const;
    void setColor(int i, VelRgb c);

    VelImage copy() const;
    VelImage copy(const VelRect &rect) const;
    VelImage copy(int x, int y, int w, int h) const { return copy(VelRect(x, y, w, h)); }
    VelImage convertToFormat(Format format) const;
    VelImage mirrored(bool horizontal = false, bool vertical = true) const;
    VelImage scaled(int width, int height) const;

    bool load(const VelString &fileName);
    bool loadFromData(const uchar *data, int size);
    bool loadFromData(const VelByteArray &data)
    {
        return loadFromData(reinterpret_cast<const uchar *>(data.constData()), data.size());
    }
    static VelImage fromData(const VelByteArray &data);
    bool save(const VelString &fileName) const;
    VelByteArray saveToPng() const;

    static int depthForFormat(Format format);

    bool operator==(const VelImage &other) const;
    bool operator!=(const VelImage &other) const { return !(*this == other); }

    int devType() const override { return VelPaintDevice::Image; }
    int metric(PaintDeviceMetric metric) const override;

    struct Data;

private:
    void detach();
    std::shared_ptr<Data> d;
};

// The bytes of an image file or ":/" resource; ok tells whether it could be read.
VelByteArray velReadImageSource(const VelString &fileName, bool *ok);

#endif
