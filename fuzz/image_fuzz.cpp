// Decodes arbitrary bytes as an image, then puts what decoded through the
// conversions, scaling and PNG writing that loaded images meet in the product.
#include "velimage.h"

#include "vellogging.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace
{

veluint32 readU32(const unsigned char *p)
{
    return veluint32(p[0]) << 24 | veluint32(p[1]) << 16 | veluint32(p[2]) << 8 | p[3];
}

// Mutations almost always break a chunk's CRC, and the decoder stops at the
// first bad one; rewriting the CRCs lets mutated headers and chunk contents
// reach the code that acts on them.
std::vector<unsigned char> withValidCrcs(const uint8_t *data, size_t size)
{
    std::vector<unsigned char> png(data, data + size);
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const veluint32 length = readU32(&png[at]);
        if (length > png.size() - at - 12)
            break;
        const veluint32 crc = veluint32(crc32(0, &png[at + 4], uInt(length + 4)));
        for (int i = 0; i < 4; ++i)
            png[at + 8 + length + size_t(i)] = static_cast<unsigned char>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
    return png;
}

} // namespace

static void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<unsigned char> png = withValidCrcs(data, size);
    VelImage image;
    if (!image.loadFromData(png.data(), int(png.size())))
        return 0;
    // Large images only cost time in the pixel loops, which do not depend on
    // the input's bytes; the decoder has already seen all of them.
    if (image.width() > 256 || image.height() > 256)
        return 0;
    const VelImage::Format formats[] = {VelImage::Format_Mono,
                                        VelImage::Format_Indexed8,
                                        VelImage::Format_ARGB32_Premultiplied,
                                        VelImage::Format_RGB16,
                                        VelImage::Format_RGB888,
                                        VelImage::Format_Alpha8,
                                        VelImage::Format_Grayscale8};
    for (const VelImage::Format format : formats) {
        const VelImage converted = image.convertToFormat(format);
        if (converted.isNull() || converted.size() != image.size())
            __builtin_trap();
        converted.convertToFormat(VelImage::Format_ARGB32);
    }
    image.scaled(image.width() * 2 + 1, 3);
    image.mirrored(true, true);
    image.copy(-1, -1, image.width() / 2 + 2, image.height() / 2 + 2);

    // What was read must be written and read back at its size.
    const VelByteArray written = image.saveToPng();
    VelImage again;
    if (!again.loadFromData(written) || again.size() != image.size())
        __builtin_trap();
    return 0;
}
