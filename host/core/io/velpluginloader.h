#ifndef VELPLUGINLOADER_H
#define VELPLUGINLOADER_H

#include "velbytearray.h"
#include "veljsonobject.h"
#include "velplugin.h"

#include <vector>

class VelObject;

class VelPluginLoader
{
public:
    // Registered static plugins, in registration order.
    static std::vector<VelStaticPlugin> staticPlugins();
    // The factory object of every static plugin.
    static std::vector<VelObject *> staticInstances();

    // Reads a 280-byte metadata block (see velplugin.h) into compact JSON
    // text of its object; false when the marker, tag, version or binary JSON
    // is wrong or the object does not fill its area up to 0x00 padding.
    static bool readMetaDataBlock(const char *block, VelByteArray *jsonText);
    // The metadata object of a plugin; empty when its block is invalid.
    static VelJsonObject metaData(const VelStaticPlugin &plugin);
};

#endif
