// Decodes arbitrary bytes as an image, then puts what decoded through the
// conversions, scaling and PNG writing that loaded images meet in the product.
#include "velimage.h"

#include "vellogging.h"

#include <cstdint>

static void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    VelImage image;
    if (!image.loadFromData(data, int(size)))
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

    // What was read must be written and read back unchanged.
    const VelByteArray png = image.saveToPng();
    VelImage again;
    if (!again.loadFromData(png) || again.size() != image.size())
        __builtin_trap();
    return 0;
}
