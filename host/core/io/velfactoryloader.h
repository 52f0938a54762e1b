#ifndef VELFACTORYLOADER_H
#define VELFACTORYLOADER_H

#include "velbytearray.h"
#include "veljsonobject.h"
#include "velplugin.h"
#include "velstring.h"

#include <vector>

class VelObject;

// Finds the static plugins whose metadata names the interface id iid and
// looks them up by the keys of their metadata ("MetaData"/"Keys").
class VelFactoryLoader
{
public:
    explicit VelFactoryLoader(const char *iid);

    // Rereads the registered plugins (the constructor reads them once).
    void update();
    // Index of the first plugin with that key, letter case ignored; -1 if none.
    int indexOf(const VelString &key) const;
    // The plugin's factory object (owned by the plugin), or null.
    VelObject *instance(int index) const;
    // All keys, lower case, in plugin order.
    VelStringList keys() const;
    // Metadata objects of the matching plugins.
    std::vector<VelJsonObject> metaData() const;
    // The same as compact JSON text, members in the order the block has them.
    std::vector<VelByteArray> metaDataText() const;
    int count() const { return int(m_plugins.size()); }

private:
    struct Plugin {
        VelStaticPlugin plugin;
        VelByteArray metaData;
        VelStringList keys;
        VelString className;
    };

    VelByteArray m_iid;
    std::vector<Plugin> m_plugins;
};

#endif
