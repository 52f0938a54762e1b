#include "velimage.h"
#include "vellogging.h"
#include "velresource.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{

VelImage argbSamples()
{
    // One row: red at alpha 0, 128 and 255, plus odd colour values that
    // stress rounding.
    VelImage image(4, 1, VelImage::Format_ARGB32);
    image.setPixel(0, 0, velRgba(255, 0, 0, 0));
    image.setPixel(1, 0, velRgba(255, 64, 3, 128));
    image.setPixel(2, 0, velRgba(17, 200, 99, 255));
    image.setPixel(3, 0, velRgba(1, 254, 127, 1));
    return image;
}

std::string tempPath(const char *name)
{
    return std::string("/tmp/vel_painting_test_") + std::to_string(getpid()) + "_" + name;
}

} // namespace

TEST(ImageBasics, NullAndAllocatedImages)
{
    VelImage null;
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.format(), VelImage::Format_Invalid);
    EXPECT_EQ(null.scanLine(0), nullptr);
    EXPECT_EQ(null.pixel(0, 0), 0u);

    VelImage image(VelSize(5, 3), VelImage::Format_RGB888);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.depth(), 24);
    EXPECT_EQ(image.bytesPerLine(), 16); // 15 bytes padded to 32 bits
    EXPECT_EQ(image.byteCount(), 48);
    EXPECT_EQ(image.rect(), VelRect(0, 0, 5, 3));
    EXPECT_EQ(VelImage(3, 2, VelImage::Format_Mono).bytesPerLine(), 4);
    EXPECT_EQ(VelImage(3, 2, VelImage::Format_RGB16).bytesPerLine(), 8);
    EXPECT_EQ(VelImage(3, 2, VelImage::Format_Grayscale8).format(), 25);
    EXPECT_TRUE(VelImage(0, 10, VelImage::Format_RGB32).isNull());
    EXPECT_TRUE(VelImage(10, 10, VelImage::Format_Invalid).isNull());
    // Sizes whose byte count overflows are refused rather than wrapped.
    EXPECT_TRUE(VelImage(1 << 16, 1 << 16, VelImage::Format_ARGB32).isNull());
    // Out-of-range access is ignored.
    image.setPixel(5, 0, 0xffffffff);
    image.setPixel(-1, 0, 0xffffffff);
    EXPECT_EQ(image.pixel(5, 0), 0u);
}

TEST(ImageBasics, CopiesShareUntilWritten)
{
    VelImage a(2, 2, VelImage::Format_ARGB32);
    a.fill(0xff112233);
    VelImage b = a;
    EXPECT_TRUE(a.isSharedWith(b));
    b.setPixel(0, 0, 0xff000000);
    EXPECT_FALSE(a.isSharedWith(b));
    EXPECT_EQ(a.pixel(0, 0), 0xff112233u);
    EXPECT_EQ(b.pixel(0, 0), 0xff000000u);
    const VelImage deep = a.copy();
    EXPECT_FALSE(deep.isSharedWith(a));
    EXPECT_EQ(deep, a);
}

TEST(ImageBasics, ExternalBufferIsUsedInPlaceAndReleasedOnce)
{
    static int cleanups;
    cleanups = 0;
    uint buffer[6] = {0xff0000ff, 0xff00ff00, 0xffff0000, 0, 0, 0};
    {
        VelImage image(
            reinterpret_cast<uchar *>(buffer), 3, 2, 12, VelImage::Format_ARGB32,
            [](void *info) { ++*static_cast<int *>(info); }, &cleanups);
        EXPECT_EQ(image.constBits(), reinterpret_cast<uchar *>(buffer));
        EXPECT_EQ(image.pixel(2, 0), 0xffff0000u);
        image.setPixel(1, 1, 0x80808080);
        EXPECT_EQ(buffer[4], 0x80808080u) << "unshared writes go to the caller's buffer";
        VelImage copy = image;
        copy.setPixel(0, 0, 0);
        EXPECT_EQ(buffer[0], 0xff0000ffu) << "a shared copy detaches before writing";
        EXPECT_EQ(cleanups, 0);
    }
    EXPECT_EQ(cleanups, 1);

    // A read-only buffer is never written.
    const uint constant[1] = {0xff445566};
    VelImage readOnly(reinterpret_cast<const uchar *>(constant), 1, 1, 4, VelImage::Format_RGB32);
    readOnly.setPixel(0, 0, 0xff000000);
    EXPECT_EQ(constant[0], 0xff445566u);
    EXPECT_EQ(readOnly.pixel(0, 0), 0xff000000u);

    // A too-short line is refused, but the owner still gets its release call.
    cleanups = 0;
    VelImage bad(
        reinterpret_cast<uchar *>(buffer), 3, 2, 8, VelImage::Format_ARGB32,
        [](void *info) { ++*static_cast<int *>(info); }, &cleanups);
    EXPECT_TRUE(bad.isNull());
    EXPECT_EQ(cleanups, 1);
}

TEST(ImageConversion, PremultiplyRoundTripsAtAlphaZeroHalfAndFull)
{
    const VelImage source = argbSamples();
    const VelImage pre = source.convertToFormat(VelImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(pre.format(), VelImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(pre.pixel(0, 0), 0u) << "alpha 0 premultiplies to all zero";
    EXPECT_EQ(pre.pixel(1, 0),
              velRgba(128, 32, 2, 128)); // 255*128/255, 64*128/255 = 32.1, 3*128/255 = 1.5
    EXPECT_EQ(pre.pixel(2, 0), velRgba(17, 200, 99, 255));
    const VelImage back = pre.convertToFormat(VelImage::Format_ARGB32);
    EXPECT_EQ(back.pixel(0, 0), 0u);
    const VelRgb half = back.pixel(1, 0);
    EXPECT_EQ(velAlpha(half), 128);
    EXPECT_EQ(velRed(half), 255);
    EXPECT_NEAR(velGreen(half), 64, 1);
    EXPECT_NEAR(velBlue(half), 3, 1);
    EXPECT_EQ(back.pixel(2, 0), velRgba(17, 200, 99, 255));
    // Premultiplied values never exceed their alpha, even after rounding.
    const VelRgb tiny = pre.pixel(3, 0);
    EXPECT_LE(velRed(tiny), velAlpha(tiny));
    EXPECT_LE(velGreen(tiny), velAlpha(tiny));
    EXPECT_LE(velBlue(tiny), velAlpha(tiny));
}

TEST(ImageConversion, Rgb16RoundsToNearestAndExpandsFullRange)
{
    VelImage image(4, 1, VelImage::Format_RGB32);
    image.setPixel(0, 0, velRgb(255, 255, 255));
    image.setPixel(1, 0, velRgb(0, 0, 0));
    image.setPixel(
        2, 0, velRgb(4, 2, 3)); // 4 -> 0.49 of a 5-bit step rounds to 0; 2 -> 0.49 of a 6-bit step
    image.setPixel(3, 0, velRgb(5, 3, 140));
    const VelImage rgb16 = image.convertToFormat(VelImage::Format_RGB16);
    const ushort *words = reinterpret_cast<const ushort *>(rgb16.constScanLine(0));
    EXPECT_EQ(words[0], 0xffff);
    EXPECT_EQ(words[1], 0x0000);
    EXPECT_EQ(words[2], 0x0000);
    EXPECT_EQ(words[3],
              (1 << 11) | (1 << 5) | 17); // 5*31/255=0.61, 3*63/255=0.74, 140*31/255=17.02
    const VelImage back = rgb16.convertToFormat(VelImage::Format_RGB32);
    EXPECT_EQ(back.pixel(0, 0), 0xffffffffu);
    EXPECT_EQ(back.pixel(1, 0), 0xff000000u);
    // Every 565 value survives 16 -> 32 -> 16 unchanged.
    VelImage all(65536 / 256, 256, VelImage::Format_RGB16);
    for (int i = 0; i < 65536; ++i)
        reinterpret_cast<ushort *>(all.scanLine(i / 256))[i % 256] = ushort(i);
    const VelImage again =
        all.convertToFormat(VelImage::Format_ARGB32).convertToFormat(VelImage::Format_RGB16);
    EXPECT_EQ(std::memcmp(again.constBits(), all.constBits(), size_t(all.byteCount())), 0);
}

TEST(ImageConversion, IndexedUsesAndBuildsColourTables)
{
    VelImage indexed(3, 1, VelImage::Format_Indexed8);
    std::vector<VelRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[size_t(i)] = uint(i) << 24; // black with alpha i
    indexed.setColorTable(table);
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 128);
    indexed.setPixel(2, 0, 255);
    EXPECT_EQ(indexed.pixelIndex(1, 0), 128);
    EXPECT_EQ(indexed.pixel(1, 0), 0x80000000u);
    const VelImage argb = indexed.convertToFormat(VelImage::Format_ARGB32);
    EXPECT_EQ(argb.pixel(0, 0), 0x00000000u);
    EXPECT_EQ(argb.pixel(1, 0), 0x80000000u);
    EXPECT_EQ(argb.pixel(2, 0), 0xff000000u);

    // Few colours convert to an exact table and back losslessly.
    const VelImage source = argbSamples();
    const VelImage eight = source.convertToFormat(VelImage::Format_Indexed8);
    EXPECT_EQ(eight.colorCount(), 4);
    EXPECT_EQ(eight.convertToFormat(VelImage::Format_ARGB32), source);

    // Alpha8 carries alpha only.
    const VelImage alpha = source.convertToFormat(VelImage::Format_Alpha8);
    EXPECT_EQ(alpha.constScanLine(0)[1], 128);
    EXPECT_EQ(alpha.pixel(1, 0), 0x80000000u);
}

TEST(ImageConversion, MonoBitsAndTable)
{
    VelImage mono(10, 2, VelImage::Format_Mono);
    EXPECT_EQ(mono.colorCount(), 2);
    mono.setColorTable({0x00000000u, 0xff000000u}); // transparent black, opaque black
    mono.setPixel(0, 0, 1);
    mono.setPixel(9, 1, 1);
    EXPECT_EQ(mono.constScanLine(0)[0], 0x80) << "most significant bit first";
    EXPECT_EQ(mono.constScanLine(1)[1], 0x40);
    const VelImage argb = mono.convertToFormat(VelImage::Format_ARGB32);
    EXPECT_EQ(argb.pixel(0, 0), 0xff000000u);
    EXPECT_EQ(argb.pixel(1, 0), 0x00000000u);
    EXPECT_EQ(argb.pixel(9, 1), 0xff000000u);
    const VelImage lsb = mono.convertToFormat(VelImage::Format_MonoLSB);
    EXPECT_EQ(lsb.constScanLine(0)[0], 0x01);
    EXPECT_EQ(lsb.pixel(9, 1), 0xff000000u);
    // Dark visible pixels become set bits.
    VelImage rgb(2, 1, VelImage::Format_RGB32);
    rgb.setPixel(0, 0, velRgb(10, 10, 10));
    rgb.setPixel(1, 0, velRgb(250, 250, 250));
    const VelImage toMono = rgb.convertToFormat(VelImage::Format_Mono);
    EXPECT_EQ(toMono.pixelIndex(0, 0), 1);
    EXPECT_EQ(toMono.pixelIndex(1, 0), 0);
}

TEST(ImageGeometry, CopyRectMirrorAndRgb888Layout)
{
    VelImage image(3, 2, VelImage::Format_RGB888);
    image.setPixel(0, 0, velRgb(1, 2, 3));
    image.setPixel(2, 1, velRgb(7, 8, 9));
    EXPECT_EQ(image.constScanLine(0)[0], 1); // bytes in R, G, B order
    EXPECT_EQ(image.constScanLine(0)[2], 3);
    const VelImage part = image.copy(VelRect(2, 1, 2, 2));
    ASSERT_EQ(part.size(), VelSize(2, 2));
    EXPECT_EQ(part.pixel(0, 0), velRgb(7, 8, 9));
    EXPECT_EQ(part.pixel(1, 1), velRgb(0, 0, 0)) << "outside the source stays zero";
    const VelImage flipped = image.mirrored(true, true);
    EXPECT_EQ(flipped.pixel(2, 1), velRgb(1, 2, 3));
    EXPECT_EQ(flipped.pixel(0, 0), velRgb(7, 8, 9));
    const VelImage vertical = image.mirrored();
    EXPECT_EQ(vertical.pixel(0, 1), velRgb(1, 2, 3));
}

TEST(ImagePng, SaveAndLoadRoundTrip)
{
    VelImage image(7, 5, VelImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            image.setPixel(x, y, velRgba(x * 30, y * 50, 200, 40 + x * 30));
    const std::string path = tempPath("roundtrip.png");
    ASSERT_TRUE(image.save(VelString(path.c_str())));
    VelImage loaded;
    ASSERT_TRUE(loaded.load(VelString(path.c_str())));
    std::remove(path.c_str());
    EXPECT_EQ(loaded.format(), VelImage::Format_ARGB32);
    EXPECT_EQ(loaded, image);

    // Opaque images load without an alpha channel.
    VelImage opaque(2, 2, VelImage::Format_RGB16);
    opaque.fill(0xf800);
    const VelImage decoded = VelImage::fromData(opaque.saveToPng());
    EXPECT_EQ(decoded.format(), VelImage::Format_RGB32);
    EXPECT_EQ(decoded.pixel(1, 1), 0xffff0000u);
}

TEST(ImagePng, CorruptOrMissingDataFailsCleanly)
{
    VelImage good(4, 4, VelImage::Format_RGB32);
    good.fill(0xff00ff00);
    VelByteArray png = good.saveToPng();
    ASSERT_GT(png.size(), 40);
    VelImage image(1, 1, VelImage::Format_RGB32);
    // Truncated stream.
    EXPECT_FALSE(image.loadFromData(png.left(png.size() / 2)));
    EXPECT_TRUE(image.isNull());
    // Damaged image data (checksums wrong) and garbage.
    VelByteArray damaged = png;
    for (int i = 40; i < damaged.size() - 12; ++i)
        damaged[i] = char(damaged[i] ^ 0x5a);
    EXPECT_FALSE(image.loadFromData(damaged));
    EXPECT_FALSE(image.loadFromData(VelByteArray("not a png at all")));
    EXPECT_FALSE(image.loadFromData(VelByteArray()));
    EXPECT_FALSE(image.load(VelString("/nonexistent/file.png")));
    EXPECT_FALSE(image.load(VelString(":/no/such/resource.png")));
    EXPECT_TRUE(image.isNull());
}

namespace
{

void putLe(std::vector<unsigned char> &b, veluint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.push_back((unsigned char)(v >> (8 * i)));
}

} // namespace

TEST(ImagePng, LoadsFromCompiledResources)
{
    VelImage image(3, 2, VelImage::Format_ARGB32);
    image.fill(0x80123456);
    const VelByteArray png = image.saveToPng();
    // One directory (the root) holding one file "pic.png".
    std::vector<unsigned char> tree, names, data;
    putLe(tree, 0, 4), putLe(tree, 0x1, 2), putLe(tree, 0, 2), putLe(tree, 1, 4), putLe(tree, 1, 4);
    putLe(tree, 0, 4), putLe(tree, 0, 2), putLe(tree, 0, 2), putLe(tree, 0, 4), putLe(tree, 0, 4);
    const char *name = "pic.png";
    putLe(names, veluint32(std::strlen(name)), 2);
    for (const char *c = name; *c; ++c)
        putLe(names, veluint32(*c), 2);
    putLe(data, veluint32(png.size()), 4);
    data.insert(data.end(), png.begin(), png.end());
    ASSERT_TRUE(velRegisterResourceData(1, tree.data(), names.data(), data.data()));
    VelImage loaded(VelString(":/pic.png"));
    EXPECT_EQ(loaded, image);
    EXPECT_TRUE(VelImage(VelString(":/other.png")).isNull());
    velUnregisterResourceData(1, tree.data(), names.data(), data.data());
    EXPECT_TRUE(VelImage(VelString(":/pic.png")).isNull()) << "gone once unregistered";
}

TEST(ImagePng, HugeDeclaredSizeIsRefusedBeforeAllocating)
{
    VelImage small(2, 2, VelImage::Format_RGB32);
    VelByteArray png = small.saveToPng();
    // IHDR data starts at byte 16 (8 signature + 4 length + 4 type); its CRC
    // follows the 13 data bytes.
    auto put32 = [&png](int at, veluint32 v) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = char(v >> (24 - 8 * i));
    };
    // 9000 x 9000 still fits an int byte count, so only the size check stops
    // a 324 MB allocation here.
    put32(16, 9000); // width
    put32(20, 9000); // height
    const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(png.constData()) + 12, 17);
    put32(29, veluint32(crc));
    static VelString lastMessage;
    const VelMessageHandler previous =
        velInstallMessageHandler([](VelMsgType, const VelMessageLogContext &,
                                    const VelString &text) { lastMessage = text; });
    VelImage image;
    EXPECT_FALSE(image.loadFromData(png));
    velInstallMessageHandler(previous);
    EXPECT_TRUE(image.isNull());
    EXPECT_TRUE(lastMessage.contains(VelString("too large"))) << lastMessage.toStdString();
}
