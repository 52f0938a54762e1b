#include "veldbusmetatype.h"

#include "vellogging.h"

#include <dbus/dbus.h>

#include <map>
#include <mutex>
#include <string>

namespace
{

struct Marshaller {
    VelByteArray signature;
    VelDBusMetaType::MarshallFunction marshall = nullptr;
    VelDBusMetaType::DemarshallFunction demarshall = nullptr;
};

struct Registry {
    // Guards both maps; a leaf lock: marshallers run after it is released.
    std::mutex mutex;
    std::map<int, Marshaller> byType;
    std::map<std::string, int> bySignature;
};

Registry &registry()
{
    static Registry r;
    return r;
}

const char *builtinSignature(int typeId)
{
    switch (typeId) {
    case VelMetaType::Bool:
        return "b";
    case VelMetaType::UChar:
        return "y";
    case VelMetaType::Short:
        return "n";
    case VelMetaType::UShort:
        return "q";
    case VelMetaType::Int:
        return "i";
    case VelMetaType::UInt:
        return "u";
    case VelMetaType::LongLong:
        return "x";
    case VelMetaType::ULongLong:
        return "t";
    case VelMetaType::Double:
        return "d";
    case VelMetaType::VelStringType:
        return "s";
    case VelMetaType::VelStringListType:
        return "as";
    case VelMetaType::VelByteArrayType:
        return "ay";
    default:
        return nullptr;
    }
}

bool find(int typeId, Marshaller &out)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.byType.find(typeId);
    if (it == r.byType.end())
        return false;
    out = it->second;
    return true;
}

} // namespace

bool VelDBusMetaType::registerMarshallOperators(int typeId, const char *signature,
                                                MarshallFunction marshall,
                                                DemarshallFunction demarshall)
{
    if (!signature || !dbus_signature_validate_single(signature, nullptr) || !marshall ||
        !demarshall || typeId < VelMetaType::User) {
        velWarning("VelDBusMetaType: cannot register type %d with signature \"%s\"", typeId,
                   signature ? signature : "");
        return false;
    }
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto old = r.byType.find(typeId);
    if (old != r.byType.end())
        r.bySignature.erase(old->second.signature.toStdString());
    r.byType[typeId] = Marshaller{VelByteArray(signature), marshall, demarshall};
    r.bySignature[signature] = typeId;
    return true;
}

VelByteArray VelDBusMetaType::typeToSignature(int typeId)
{
    if (const char *builtin = builtinSignature(typeId))
        return VelByteArray(builtin);
    Marshaller m;
    return find(typeId, m) ? m.signature : VelByteArray();
}

int VelDBusMetaType::signatureToType(const char *signature)
{
    if (!signature)
        return 0;
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.bySignature.find(signature);
    return it == r.bySignature.end() ? 0 : it->second;
}

bool VelDBusMetaType::marshall(VelDBusArgument &argument, int typeId, const void *data)
{
    Marshaller m;
    if (!data || !find(typeId, m))
        return false;
    m.marshall(argument, data);
    return !argument.hasFailed();
}

bool VelDBusMetaType::demarshall(const VelDBusArgument &argument, int typeId, void *data)
{
    Marshaller m;
    if (!data || !find(typeId, m))
        return false;
    m.demarshall(argument, data);
    return !argument.hasFailed();
}
