#ifndef VELDBUSMETATYPE_H
#define VELDBUSMETATYPE_H

#include "veldbusargument.h"
#include "velmetatype.h"

// The D-Bus forms of types that travel in variants: built-in types have
// theirs ("b", "i", "s", "as", ...); a structure or other compound type gets
// one when its marshaller is registered, with the signature it writes.
// Registration may happen on any thread; registering a type again replaces
// its marshaller.
class VelDBusMetaType
{
public:
    using MarshallFunction = void (*)(VelDBusArgument &, const void *);
    using DemarshallFunction = void (*)(const VelDBusArgument &, void *);

    // False (with a warning) when the signature is not one complete D-Bus type.
    static bool registerMarshallOperators(int typeId, const char *signature,
                                          MarshallFunction marshall, DemarshallFunction demarshall);
    // Empty when the type has no D-Bus form.
    static VelByteArray typeToSignature(int typeId);
    // The registered type written with this signature; 0 when there is none.
    static int signatureToType(const char *signature);
    static bool marshall(VelDBusArgument &argument, int typeId, const void *data);
    static bool demarshall(const VelDBusArgument &argument, int typeId, void *data);
};

// Registers T (declared with VEL_DECLARE_METATYPE) with its D-Bus form; T
// needs the operators << (VelDBusArgument &, const T &) and
// >> (const VelDBusArgument &, T &). Returns T's meta-type id.
template <typename T> int velDBusRegisterMetaType(const char *signature)
{
    const int id = velMetaTypeId<T>();
    VelDBusMetaType::registerMarshallOperators(
        id, signature,
        [](VelDBusArgument &arg, const void *data) { arg << *static_cast<const T *>(data); },
        [](const VelDBusArgument &arg, void *data) { arg >> *static_cast<T *>(data); });
    return id;
}

#endif
