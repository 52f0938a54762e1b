#include "velimage.h"

#include "velfile.h"
#include "vellogging.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
#define VEL_PNG_NATIVE_ARGB PNG_FORMAT_ARGB
#else
#define VEL_PNG_NATIVE_ARGB PNG_FORMAT_BGRA
#endif

struct VelImage::Data {
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;
    Format format = Format_Invalid;
    uchar *pixels = nullptr;
    bool ownsPixels = true;
    bool readOnly = false;
    VelImageCleanupFunction cleanup = nullptr;
    void *cleanupInfo = nullptr;
    std::vector<VelRgb> colorTable;

    Data() = default;
    Data(const Data &) = delete;
    Data &operator=(const Data &) = delete;
    ~Data()
    {
        if (ownsPixels)
            delete[] pixels;
        else if (cleanup)
            cleanup(cleanupInfo);
    }
};

namespace
{

// 64 megapixels (256 MB as 32-bit pixels).
constexpr velint64 MaxDecodedPixels = velint64(1) << 26;

bool isIndexedFormat(VelImage::Format f)
{
    return f == VelImage::Format_Mono || f == VelImage::Format_MonoLSB ||
           f == VelImage::Format_Indexed8;
}

bool isKnownFormat(VelImage::Format f)
{
    return VelImage::depthForFormat(f) > 0;
}

std::shared_ptr<VelImage::Data> allocate(int width, int height, VelImage::Format format)
{
    if (width <= 0 || height <= 0 || !isKnownFormat(format))
        return nullptr;
    const int depth = VelImage::depthForFormat(format);
    const long long bpl = ((long long)width * depth + 31) / 32 * 4;
    // Keep byte counts within int so that scan-line arithmetic never overflows.
    if (bpl > 0x7fffffffLL / height)
        return nullptr;
    auto d = std::make_shared<VelImage::Data>();
    d->width = width;
    d->height = height;
    d->bytesPerLine = int(bpl);
    d->format = format;
    d->pixels = new (std::nothrow) uchar[size_t(bpl * height)];
    if (!d->pixels)
        return nullptr;
    std::memset(d->pixels, 0, size_t(bpl * height));
    if (format == VelImage::Format_Mono || format == VelImage::Format_MonoLSB)
        d->colorTable = {0xffffffffu, 0xff000000u};
    return d;
}

// The colour-table index of a pixel of an indexed (mono or 8-bit) format.
int readIndex(const VelImage::Data &d, int x, int y)
{
    const uchar *line = d.pixels + (long long)y * d.bytesPerLine;
    switch (d.format) {
    case VelImage::Format_Mono:
        return (line[x >> 3] >> (7 - (x & 7))) & 1;
    case VelImage::Format_MonoLSB:
        return (line[x >> 3] >> (x & 7)) & 1;
    default:
        return line[x];
    }
}

// Reading a pixel of any format as non-premultiplied 0xAARRGGBB.
VelRgb readArgb(const VelImage::Data &d, int x, int y)
{
    const uchar *line = d.pixels + (long long)y * d.bytesPerLine;
    auto fromTable = [&d](int index) -> VelRgb {
        if (index < int(d.colorTable.size()))
            return d.colorTable[size_t(index)];
        // A missing entry reads as a gray ramp rather than out-of-range memory.
        return index == 0 && d.format != VelImage::Format_Indexed8 ? 0xffffffffu
                                                                   : velRgb(index, index, index);
    };
    switch (d.format) {
    case VelImage::Format_Mono:
    case VelImage::Format_MonoLSB:
    case VelImage::Format_Indexed8:
        return fromTable(readIndex(d, x, y));
    case VelImage::Format_RGB32:
        return 0xff000000u | reinterpret_cast<const uint *>(line)[x];
    case VelImage::Format_ARGB32:
        return reinterpret_cast<const uint *>(line)[x];
    case VelImage::Format_ARGB32_Premultiplied:
        return velUnpremultiply(reinterpret_cast<const uint *>(line)[x]);
    case VelImage::Format_RGB16:
        return velConvertRgb16To32(reinterpret_cast<const ushort *>(line)[x]);
    case VelImage::Format_RGB888:
        return velRgb(line[3 * x], line[3 * x + 1], line[3 * x + 2]);
    case VelImage::Format_Alpha8:
        return uint(line[x]) << 24;
    case VelImage::Format_Grayscale8:
        return velRgb(line[x], line[x], line[x]);
    default:
        return 0;
    }
}

void writeIndex(VelImage::Data &d, int x, int y, uint index)
{
    uchar *line = d.pixels + (long long)y * d.bytesPerLine;
    switch (d.format) {
    case VelImage::Format_Mono:
        if (index & 1)
            line[x >> 3] |= uchar(0x80 >> (x & 7));
        else
            line[x >> 3] &= uchar(~(0x80 >> (x & 7)));
        break;
    case VelImage::Format_MonoLSB:
        if (index & 1)
            line[x >> 3] |= uchar(1 << (x & 7));
        else
            line[x >> 3] &= uchar(~(1 << (x & 7)));
        break;
    default:
        line[x] = uchar(index);
        break;
    }
}

// Writing a non-premultiplied colour into a direct (non-indexed) format.
void writeArgb(VelImage::Data &d, int x, int y, VelRgb c)
{
    uchar *line = d.pixels + (long long)y * d.bytesPerLine;
    switch (d.format) {
    case VelImage::Format_RGB32:
        reinterpret_cast<uint *>(line)[x] = 0xff000000u | c;
        break;
    case VelImage::Format_ARGB32:
        reinterpret_cast<uint *>(line)[x] = c;
        break;
    case VelImage::Format_ARGB32_Premultiplied:
        reinterpret_cast<uint *>(line)[x] = velPremultiply(c);
        break;
    case VelImage::Format_RGB16:
        reinterpret_cast<ushort *>(line)[x] = velConvertRgb32To16(c);
        break;
    case VelImage::Format_RGB888:
        line[3 * x] = uchar(velRed(c));
        line[3 * x + 1] = uchar(velGreen(c));
        line[3 * x + 2] = uchar(velBlue(c));
        break;
    case VelImage::Format_Alpha8:
        line[x] = uchar(velAlpha(c));
        break;
    case VelImage::Format_Grayscale8:
        line[x] = uchar(velGray(c));
        break;
    default:
        break;
    }
}

int nearestTableIndex(const std::vector<VelRgb> &table, VelRgb c)
{
    int best = 0;
    long long bestDistance = -1;
    for (size_t i = 0; i < table.size(); ++i) {
        const VelRgb t = table[i];
        const long long dr = velRed(t) - velRed(c), dg = velGreen(t) - velGreen(c);
        const long long db = velBlue(t) - velBlue(c), da = velAlpha(t) - velAlpha(c);
        const long long distance = dr * dr + dg * dg + db * db + da * da;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return best;
}

// The exact colours when there are at most 256 of them, else a 6x6x6 cube.
std::vector<VelRgb> buildColorTable(const VelImage::Data &src)
{
    if (src.format == VelImage::Format_Indexed8)
        return src.colorTable;
    std::vector<VelRgb> table;
    std::unordered_map<VelRgb, int> seen;
    for (int y = 0; y < src.height; ++y) {
        for (int x = 0; x < src.width; ++x) {
            const VelRgb c = readArgb(src, x, y);
            if (seen.count(c))
                continue;
            if (table.size() == 256) {
                table.clear();
                for (int r = 0; r < 6; ++r)
                    for (int g = 0; g < 6; ++g)
                        for (int b = 0; b < 6; ++b)
                            table.push_back(velRgb(r * 51, g * 51, b * 51));
                table.push_back(0);
                return table;
            }
            seen.emplace(c, int(table.size()));
            table.push_back(c);
        }
    }
    return table;
}

int monoIndexFor(VelRgb c)
{
    // Index 1 is black in the default table: dark, visible pixels set the bit.
    return velAlpha(c) >= 128 && velGray(c) < 128 ? 1 : 0;
}

void convertInto(const VelImage::Data &src, VelImage::Data &dst)
{
    const bool srcIndexed = isIndexedFormat(src.format);
    const bool dstMono =
        dst.format == VelImage::Format_Mono || dst.format == VelImage::Format_MonoLSB;
    const bool srcMono =
        src.format == VelImage::Format_Mono || src.format == VelImage::Format_MonoLSB;

    if (src.format == dst.format) {
        for (int y = 0; y < src.height; ++y)
            std::memcpy(dst.pixels + (long long)y * dst.bytesPerLine,
                        src.pixels + (long long)y * src.bytesPerLine,
                        size_t(std::min(src.bytesPerLine, dst.bytesPerLine)));
        dst.colorTable = src.colorTable;
        return;
    }
    if (dstMono) {
        if (srcMono) {
            dst.colorTable = src.colorTable;
            for (int y = 0; y < src.height; ++y)
                for (int x = 0; x < src.width; ++x)
                    writeIndex(dst, x, y, uint(readIndex(src, x, y)));
            return;
        }
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x)
                writeIndex(dst, x, y, uint(monoIndexFor(readArgb(src, x, y))));
        return;
    }
    if (dst.format == VelImage::Format_Indexed8) {
        if (srcIndexed) {
            dst.colorTable = src.colorTable;
            for (int y = 0; y < src.height; ++y)
                for (int x = 0; x < src.width; ++x)
                    writeIndex(dst, x, y, uint(readIndex(src, x, y)));
            return;
        }
        dst.colorTable = buildColorTable(src);
        std::unordered_map<VelRgb, int> lookup;
        for (size_t i = 0; i < dst.colorTable.size(); ++i)
            lookup.emplace(dst.colorTable[i], int(i));
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x) {
                const VelRgb c = readArgb(src, x, y);
                const auto it = lookup.find(c);
                const int index =
                    it != lookup.end() ? it->second : nearestTableIndex(dst.colorTable, c);
                writeIndex(dst, x, y, uint(index));
            }
        return;
    }
    // Premultiplied 32-bit words convert between themselves without the lossy
    // round trip through non-premultiplied colour.
    if (src.format == VelImage::Format_ARGB32_Premultiplied &&
        dst.format == VelImage::Format_RGB32) {
        for (int y = 0; y < src.height; ++y) {
            const uint *s =
                reinterpret_cast<const uint *>(src.pixels + (long long)y * src.bytesPerLine);
            uint *t = reinterpret_cast<uint *>(dst.pixels + (long long)y * dst.bytesPerLine);
            for (int x = 0; x < src.width; ++x)
                t[x] = 0xff000000u | velUnpremultiply(s[x]);
        }
        return;
    }
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            writeArgb(dst, x, y, readArgb(src, x, y));
}

} // namespace

VelByteArray velReadImageSource(const VelString &fileName, bool *ok)
{
    // Through the file engines, so that resources (":/") and names claimed
    // by a handler (such as packaged assets) load like local files.
    VelFile file(fileName);
    *ok = file.open(VelIODevice::ReadOnly);
    return *ok ? file.readAll() : VelByteArray();
}

int VelImage::depthForFormat(Format format)
{
    switch (format) {
    case Format_Mono:
    case Format_MonoLSB:
        return 1;
    case Format_Indexed8:
    case Format_Alpha8:
    case Format_Grayscale8:
        return 8;
    case Format_RGB16:
        return 16;
    case Format_RGB888:
        return 24;
    case Format_RGB32:
    case Format_ARGB32:
    case Format_ARGB32_Premultiplied:
        return 32;
    default:
        return 0;
    }
}

VelImage::VelImage() = default;

VelImage::VelImage(const VelSize &size, Format format)
    : d(allocate(size.width(), size.height(), format))
{
}

VelImage::VelImage(int width, int height, Format format) : d(allocate(width, height, format)) {}

VelImage::VelImage(uchar *data, int width, int height, int bytesPerLine, Format format,
                   VelImageCleanupFunction cleanup, void *cleanupInfo)
{
    const int depth = depthForFormat(format);
    if (!data || width <= 0 || height <= 0 || depth == 0 ||
        bytesPerLine < (width * depth + 7) / 8) {
        // The buffer is not used, but its owner still expects the release call.
        if (cleanup)
            cleanup(cleanupInfo);
        return;
    }
    d = std::make_shared<Data>();
    d->width = width;
    d->height = height;
    d->bytesPerLine = bytesPerLine;
    d->format = format;
    d->pixels = data;
    d->ownsPixels = false;
    d->cleanup = cleanup;
    d->cleanupInfo = cleanupInfo;
    if (format == Format_Mono || format == Format_MonoLSB)
        d->colorTable = {0xffffffffu, 0xff000000u};
}

VelImage::VelImage(const uchar *data, int width, int height, int bytesPerLine, Format format,
                   VelImageCleanupFunction cleanup, void *cleanupInfo)
    : VelImage(const_cast<uchar *>(data), width, height, bytesPerLine, format, cleanup, cleanupInfo)
{
    if (d)
        d->readOnly = true;
}

VelImage::VelImage(const VelString &fileName)
{
    load(fileName);
}
VelImage::VelImage(const VelImage &other) = default;
VelImage::VelImage(VelImage &&other) noexcept = default;
VelImage &VelImage::operator=(const VelImage &other) = default;
VelImage &VelImage::operator=(VelImage &&other) noexcept = default;
VelImage::~VelImage() = default;

VelImage::Format VelImage::format() const
{
    return d ? d->format : Format_Invalid;
}
int VelImage::width() const
{
    return d ? d->width : 0;
}
int VelImage::height() const
{
    return d ? d->height : 0;
}
int VelImage::depth() const
{
    return d ? depthForFormat(d->format) : 0;
}
int VelImage::bytesPerLine() const
{
    return d ? d->bytesPerLine : 0;
}

bool VelImage::hasAlphaChannel() const
{
    if (!d)
        return false;
    switch (d->format) {
    case Format_ARGB32:
    case Format_ARGB32_Premultiplied:
    case Format_Alpha8:
        return true;
    case Format_Mono:
    case Format_MonoLSB:
    case Format_Indexed8:
        return std::any_of(d->colorTable.begin(), d->colorTable.end(),
                           [](VelRgb c) { return velAlpha(c) != 255; });
    default:
        return false;
    }
}

bool VelImage::isDetached() const
{
    return d && d.use_count() == 1;
}

void VelImage::detach()
{
    if (!d)
        return;
    if (d.use_count() == 1 && !d->readOnly)
        return;
    auto copyData = allocate(d->width, d->height, d->format);
    if (!copyData) {
        d.reset();
        return;
    }
    convertInto(*d, *copyData);
    d = copyData;
}

uchar *VelImage::bits()
{
    detach();
    return d ? d->pixels : nullptr;
}

const uchar *VelImage::constBits() const
{
    return d ? d->pixels : nullptr;
}

uchar *VelImage::scanLine(int y)
{
    if (!d || y < 0 || y >= d->height)
        return nullptr;
    detach();
    return d->pixels + (long long)y * d->bytesPerLine;
}

const uchar *VelImage::constScanLine(int y) const
{
    if (!d || y < 0 || y >= d->height)
        return nullptr;
    return d->pixels + (long long)y * d->bytesPerLine;
}

VelRgb VelImage::pixel(int x, int y) const
{
    if (!valid(x, y))
        return 0;
    if (d->format == Format_ARGB32_Premultiplied)
        return reinterpret_cast<const uint *>(constScanLine(y))[x];
    return readArgb(*d, x, y);
}

int VelImage::pixelIndex(int x, int y) const
{
    if (!valid(x, y) || !isIndexedFormat(d->format))
        return -1;
    return readIndex(*d, x, y);
}

void VelImage::setPixel(int x, int y, uint indexOrRgb)
{
    if (!valid(x, y))
        return;
    detach();
    if (!d)
        return;
    if (isIndexedFormat(d->format)) {
        writeIndex(*d, x, y, indexOrRgb);
        return;
    }
    if (d->format == Format_ARGB32_Premultiplied) {
        reinterpret_cast<uint *>(scanLine(y))[x] = indexOrRgb;
        return;
    }
    writeArgb(*d, x, y, indexOrRgb);
}

void VelImage::fill(uint pixelValue)
{
    detach();
    if (!d)
        return;
    for (int y = 0; y < d->height; ++y) {
        uchar *line = d->pixels + (long long)y * d->bytesPerLine;
        switch (d->format) {
        case Format_Mono:
        case Format_MonoLSB:
            std::memset(line, (pixelValue & 1) ? 0xff : 0, size_t(d->bytesPerLine));
            break;
        case Format_Indexed8:
        case Format_Alpha8:
        case Format_Grayscale8:
            std::memset(line, int(pixelValue & 0xff), size_t(d->width));
            break;
        case Format_RGB16:
            std::fill_n(reinterpret_cast<ushort *>(line), d->width, ushort(pixelValue));
            break;
        case Format_RGB888:
            for (int x = 0; x < d->width; ++x) {
                line[3 * x] = uchar(pixelValue >> 16);
                line[3 * x + 1] = uchar(pixelValue >> 8);
                line[3 * x + 2] = uchar(pixelValue);
            }
            break;
        default:
            std::fill_n(reinterpret_cast<uint *>(line), d->width, pixelValue);
            break;
        }
    }
}

std::vector<VelRgb> VelImage::colorTable() const
{
    return d ? d->colorTable : std::vector<VelRgb>();
}

void VelImage::setColorTable(const std::vector<VelRgb> &colors)
{
    detach();
    if (d)
        d->colorTable = colors;
}

int VelImage::colorCount() const
{
    return d ? int(d->colorTable.size()) : 0;
}

VelRgb VelImage::color(int i) const
{
    return d && i >= 0 && i < int(d->colorTable.size()) ? d->colorTable[size_t(i)] : 0;
}

void VelImage::setColor(int i, VelRgb c)
{
    if (i < 0 || i > 255)
        return;
    detach();
    if (!d)
        return;
    if (i >= int(d->colorTable.size()))
        d->colorTable.resize(size_t(i + 1), 0);
    d->colorTable[size_t(i)] = c;
}

VelImage VelImage::copy() const
{
    VelImage result;
    if (!d)
        return result;
    result.d = allocate(d->width, d->height, d->format);
    if (result.d)
        convertInto(*d, *result.d);
    return result;
}

VelImage VelImage::copy(const VelRect &rect) const
{
    VelImage result;
    if (!d || rect.width() <= 0 || rect.height() <= 0)
        return result;
    result.d = allocate(rect.width(), rect.height(), d->format);
    if (!result.d)
        return result;
    result.d->colorTable = d->colorTable;
    // Parts of the rectangle outside this image stay zero (transparent/index 0).
    const VelRect area = rect.intersected(this->rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int tx = x - rect.x(), ty = y - rect.y();
            if (isIndexedFormat(d->format))
                writeIndex(*result.d, tx, ty, uint(pixelIndex(x, y)));
            else if (d->format == Format_ARGB32_Premultiplied)
                reinterpret_cast<uint *>(result.d->pixels +
                                         (long long)ty * result.d->bytesPerLine)[tx] =
                    reinterpret_cast<const uint *>(constScanLine(y))[x];
            else
                writeArgb(*result.d, tx, ty, readArgb(*d, x, y));
        }
    return result;
}

VelImage VelImage::convertToFormat(Format format) const
{
    if (!d || !isKnownFormat(format))
        return VelImage();
    if (format == d->format)
        return *this;
    VelImage result;
    result.d = allocate(d->width, d->height, format);
    if (result.d)
        convertInto(*d, *result.d);
    return result;
}

VelImage VelImage::mirrored(bool horizontal, bool vertical) const
{
    if (!d)
        return VelImage();
    VelImage result = copy();
    if (!result.d)
        return result;
    for (int y = 0; y < d->height; ++y) {
        const int sy = vertical ? d->height - 1 - y : y;
        for (int x = 0; x < d->width; ++x) {
            const int sx = horizontal ? d->width - 1 - x : x;
            if (isIndexedFormat(d->format))
                writeIndex(*result.d, x, y, uint(pixelIndex(sx, sy)));
            else if (d->format == Format_ARGB32_Premultiplied)
                reinterpret_cast<uint *>(result.d->pixels +
                                         (long long)y * result.d->bytesPerLine)[x] =
                    reinterpret_cast<const uint *>(constScanLine(sy))[sx];
            else
                writeArgb(*result.d, x, y, readArgb(*d, sx, sy));
        }
    }
    return result;
}

VelImage VelImage::scaled(int width, int height) const
{
    if (!d || width <= 0 || height <= 0)
        return VelImage();
    const VelImage src = convertToFormat(Format_ARGB32_Premultiplied);
    VelImage result(width, height, Format_ARGB32_Premultiplied);
    if (result.isNull() || src.isNull())
        return VelImage();
    for (int y = 0; y < height; ++y) {
        const uint *s = reinterpret_cast<const uint *>(
            src.constScanLine(int((long long)y * d->height / height)));
        uint *t = reinterpret_cast<uint *>(result.scanLine(y));
        for (int x = 0; x < width; ++x)
            t[x] = s[(long long)x * d->width / width];
    }
    return d->format == Format_ARGB32_Premultiplied ? result : result.convertToFormat(d->format);
}

bool VelImage::loadFromData(const uchar *data, int size)
{
    d.reset();
    if (!data || size <= 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size_t(size))) {
        velWarning("VelImage: cannot read PNG data: %s", image.message);
        return false;
    }
    // The header's size is untrusted: refuse what no device could show
    // instead of allocating (and zero-filling) gigabytes for a few bytes of input.
    if (velint64(image.width) * image.height > MaxDecodedPixels) {
        velWarning("VelImage: PNG of %ux%u pixels is too large", image.width, image.height);
        png_image_free(&image);
        return false;
    }
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    // 32-bit pixels are native-endian 0xAARRGGBB words.
    image.format = VEL_PNG_NATIVE_ARGB;
    auto data32 =
        allocate(int(image.width), int(image.height), alpha ? Format_ARGB32 : Format_RGB32);
    if (!data32) {
        png_image_free(&image);
        return false;
    }
    if (!png_image_finish_read(&image, nullptr, data32->pixels, data32->bytesPerLine, nullptr)) {
        velWarning("VelImage: cannot decode PNG data: %s", image.message);
        png_image_free(&image);
        return false;
    }
    d = data32;
    return true;
}

bool VelImage::load(const VelString &fileName)
{
    bool ok = false;
    const VelByteArray bytes = velReadImageSource(fileName, &ok);
    if (!ok) {
        d.reset();
        return false;
    }
    return loadFromData(bytes);
}

VelImage VelImage::fromData(const VelByteArray &data)
{
    VelImage image;
    image.loadFromData(data);
    return image;
}

VelByteArray VelImage::saveToPng() const
{
    if (!d)
        return VelByteArray();
    // Opaque images are written without an alpha channel (smaller, and they
    // load back as RGB32).
    const bool alpha = hasAlphaChannel();
    const VelImage pixels = convertToFormat(alpha ? Format_ARGB32 : Format_RGB888);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(d->width);
    image.height = png_uint_32(d->height);
    image.format = alpha ? VEL_PNG_NATIVE_ARGB : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.constBits(),
                                   pixels.bytesPerLine(), nullptr))
        return VelByteArray();
    VelByteArray out(int(size), '\0');
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.constBits(),
                                   pixels.bytesPerLine(), nullptr)) {
        velWarning("VelImage: cannot encode PNG: %s", image.message);
        return VelByteArray();
    }
    out.resize(int(size));
    return out;
}

bool VelImage::save(const VelString &fileName) const
{
    const VelByteArray png = saveToPng();
    if (png.isEmpty())
        return false;
    VelFile file(fileName);
    if (!file.open(VelIODevice::WriteOnly))
        return false;
    const bool written = file.write(png) == png.size();
    file.close();
    return written;
}

bool VelImage::operator==(const VelImage &other) const
{
    if (d == other.d)
        return true;
    if (!d || !other.d || d->width != other.d->width || d->height != other.d->height ||
        d->format != other.d->format)
        return false;
    for (int y = 0; y < d->height; ++y)
        for (int x = 0; x < d->width; ++x)
            if (pixel(x, y) != other.pixel(x, y))
                return false;
    return true;
}

int VelImage::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return width();
    case PdmHeight:
        return height();
    case PdmWidthMM:
        return width() * 254 / 960;
    case PdmHeightMM:
        return height() * 254 / 960;
    case PdmNumColors:
        return colorCount();
    case PdmDepth:
        return depth();
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    }
    return 0;
}
