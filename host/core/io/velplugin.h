#ifndef VELPLUGIN_H
#define VELPLUGIN_H

#include "velglobal.h"

#include <cstddef>
#include <initializer_list>

class VelObject;

// Interface id of platform-integration factories (host version 5.2).
#define VEL_PLATFORM_INTEGRATION_FACTORY_IID "org.vel.VelPlatformIntegrationFactoryInterface.5.2"
// The host version plugins are built against: 5.2.0.
#define VEL_PLUGIN_HOST_VERSION 0x050200

// A plugin linked into the program: its factory object (made on first call,
// owned by the plugin) and the address of its metadata block.
struct VelStaticPlugin {
    VelObject *(*instance)();
    const char *(*rawMetaData)();
};

// Called by a plugin's static initialiser, possibly before main() and before
// any other host object exists; safe at that time and from any thread.
// Registering the same record twice keeps one entry.
void velRegisterStaticPluginFunction(VelStaticPlugin plugin);

// The plugin metadata block, exactly 280 bytes:
//   offset  0  12 bytes  marker "VELMETADATA " (11 letters and one blank)
//   offset 12   4 bytes  tag "vbjs" of the host's binary JSON (velbinaryjson.h)
//   offset 16   4 bytes  binary JSON version 1, 32-bit little-endian
//   offset 20 260 bytes  the metadata object in binary JSON, 0x00-padded
// The object's members, in this order: "IID" (string, the factory interface
// id), "className" (string), "version" (number, VEL_PLUGIN_HOST_VERSION),
// "debug" (bool), "MetaData" (object with "Keys": array of key strings).
namespace VelPluginMetaData
{
enum : int { BlockSize = 280, HeaderSize = 20, ObjectSize = BlockSize - HeaderSize };
constexpr char Marker[] = "VELMETADATA ";
constexpr int MarkerSize = 12;
} // namespace VelPluginMetaData

struct VelPluginMetaDataBlock {
    char bytes[VelPluginMetaData::BlockSize];
};

namespace VelPluginMetaDataDetail
{

// Writes binary JSON at compile time; overflowing the block is an error
// that stops compilation (the throw is not allowed in constant evaluation).
struct Writer {
    VelPluginMetaDataBlock block{};
    int pos = 0;

    constexpr void byte(unsigned value)
    {
        if (pos >= VelPluginMetaData::BlockSize)
            throw "plugin metadata does not fit in its 280-byte block";
        block.bytes[pos++] = char(value & 0xFF);
    }
    constexpr void u32(veluint32 value)
    {
        for (int i = 0; i < 4; ++i)
            byte(value >> (8 * i));
    }
    static constexpr veluint32 length(const char *s)
    {
        veluint32 n = 0;
        while (s[n])
            ++n;
        return n;
    }
    constexpr void text(const char *s)
    {
        u32(length(s));
        for (veluint32 i = 0; s[i]; ++i)
            byte(static_cast<unsigned char>(s[i]));
    }
    constexpr void string(const char *s)
    {
        byte(0x05);
        text(s);
    }
};

} // namespace VelPluginMetaDataDetail

// The metadata block of a platform-integration plugin, built at compile time
// (a block that would not fit in 280 bytes does not compile), in a read-only
// section of its own:
//   __attribute__((section(".velmetadata"), used))
//   static constexpr VelPluginMetaDataBlock metaData =
//       velPluginMetaData("MyIntegrationPlugin", {"mykey"});
//   const char *myQueryMetaData() { return metaData.bytes; }
constexpr VelPluginMetaDataBlock
velPluginMetaData(const char *className, std::initializer_list<const char *> keys,
                  const char *iid = VEL_PLATFORM_INTEGRATION_FACTORY_IID,
                  int version = VEL_PLUGIN_HOST_VERSION, bool debug = false)
{
    VelPluginMetaDataDetail::Writer w;
    for (int i = 0; i < VelPluginMetaData::MarkerSize; ++i)
        w.byte(static_cast<unsigned char>(VelPluginMetaData::Marker[i]));
    w.byte('v');
    w.byte('b');
    w.byte('j');
    w.byte('s');
    w.u32(1);
    w.byte(0x07); // object with five members
    w.u32(5);
    w.text("IID");
    w.string(iid);
    w.text("className");
    w.string(className);
    w.text("version");
    w.byte(0x03);
    w.u32(veluint32(version));
    w.text("debug");
    w.byte(debug ? 0x02 : 0x01);
    w.text("MetaData");
    w.byte(0x07);
    w.u32(1);
    w.text("Keys");
    w.byte(0x06);
    w.u32(veluint32(keys.size()));
    for (const char *key : keys)
        w.string(key);
    return w.block; // the rest stays 0x00: the padding
}

#endif
