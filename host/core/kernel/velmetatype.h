#ifndef VELMETATYPE_H
#define VELMETATYPE_H

#include "velbytearray.h"
#include "velglobal.h"
#include "velstring.h"

#include <new>
#include <type_traits>

class VelObject;

// The run-time type registry. Every type that travels through a queued call
// or a variant has an id, a normalised name and the operations needed to
// copy it without knowing its C++ type.
//
//   VEL_DECLARE_METATYPE(VelFoo *)        // in a header, at global scope
//   velRegisterMetaType<VelFoo *>("VelFoo*");   // at run time, optional
//
// A declared type registers itself on first use (its name is the macro
// argument, normalised); velRegisterMetaType does the same eagerly and can add
// an alias name.
class VelMetaType
{
public:
    enum Type {
        UnknownType = 0,
        Bool = 1,
        Int = 2,
        UInt = 3,
        LongLong = 4,
        ULongLong = 5,
        Double = 6,
        VelCharType = 7,
        VelStringType = 10,
        VelStringListType = 11,
        VelByteArrayType = 12,
        Long = 32,
        Short = 33,
        Char = 34,
        ULong = 35,
        UShort = 36,
        UChar = 37,
        Float = 38,
        VelObjectStar = 39,
        SChar = 40,
        Void = 43,
        VoidStar = 44,
        LastBuiltinType = 44,
        User = 1024
    };

    // The operations of a type. create/destroy allocate on the heap;
    // construct/destruct work in place (size bytes at where). A null copy
    // means "default constructed".
    struct Operations {
        void *(*create)(const void *copy) = nullptr;
        void (*destroy)(void *data) = nullptr;
        void *(*construct)(void *where, const void *copy) = nullptr;
        void (*destruct)(void *data) = nullptr;
        int size = 0;
    };

    VelMetaType() = default;
    explicit VelMetaType(int typeId) : m_id(typeId) {}

    int id() const { return m_id; }
    bool isValid() const { return isRegistered(m_id); }
    const char *name() const { return typeName(m_id); }
    int sizeOf() const { return sizeOf(m_id); }
    void *create(const void *copy = nullptr) const { return create(m_id, copy); }
    void destroy(void *data) const { destroy(m_id, data); }
    void *construct(void *where, const void *copy = nullptr) const
    {
        return construct(m_id, where, copy);
    }
    void destruct(void *data) const { destruct(m_id, data); }

    // Registers a type under a name (normalised). Registering a name that is
    // already known returns the existing id, so repeated registration is
    // harmless.
    static int registerType(const char *typeName, const Operations &operations);
    // Makes alias a second name of an existing type; returns the type's id.
    static int registerTypedef(const char *alias, int typeId);

    // 0 (UnknownType) if the name is not known. The name is normalised first,
    // so "VelInputMethodEvent *" finds "VelInputMethodEvent*".
    static int type(const char *typeName);
    static int type(const VelByteArray &typeName) { return type(typeName.constData()); }
    static VelMetaType fromName(const char *typeName) { return VelMetaType(type(typeName)); }
    static const char *typeName(int typeId);
    static bool isRegistered(int typeId);
    static int sizeOf(int typeId);
    static void *create(int typeId, const void *copy = nullptr);
    static void destroy(int typeId, void *data);
    static void *construct(int typeId, void *where, const void *copy = nullptr);
    static void destruct(int typeId, void *data);

    // The canonical spelling of a type name: blanks only between two
    // identifier characters, "const T &" reduced to "T", "unsigned int" to
    // "uint".
    static VelByteArray normalizedType(const char *typeName);

private:
    int m_id = UnknownType;
};

namespace VelMetaTypePrivate
{
template <typename T> struct Ops {
    static void *create(const void *copy)
    {
        if (copy)
            return new T(*static_cast<const T *>(copy));
        if constexpr (std::is_default_constructible_v<T>)
            return new T();
        return nullptr;
    }
    static void destroy(void *data) { delete static_cast<T *>(data); }
    static void *construct(void *where, const void *copy)
    {
        if (copy)
            return new (where) T(*static_cast<const T *>(copy));
        if constexpr (std::is_default_constructible_v<T>)
            return new (where) T();
        return nullptr;
    }
    static void destruct(void *data) { static_cast<T *>(data)->~T(); }
    static VelMetaType::Operations operations()
    {
        VelMetaType::Operations ops;
        ops.create = &create;
        ops.destroy = &destroy;
        ops.construct = &construct;
        ops.destruct = &destruct;
        ops.size = int(sizeof(T));
        return ops;
    }
};
} // namespace VelMetaTypePrivate

// The compile-time side: a type's name and id. Unspecialised types are not
// usable in signatures; VEL_DECLARE_METATYPE or the built-in specialisations
// below make them so.
template <typename T> struct VelMetaTypeId {
    enum { Defined = 0 };
};

template <typename T> int velRegisterMetaType(const char *typeName)
{
    static_assert(std::is_copy_constructible_v<T>, "meta-types must be copyable");
    return VelMetaType::registerType(typeName, VelMetaTypePrivate::Ops<T>::operations());
}

#define VEL_DECLARE_BUILTIN_METATYPE(TYPE, ID, NAME)                                               \
    template <> struct VelMetaTypeId<TYPE> {                                                       \
        enum { Defined = 1 };                                                                      \
        static const char *name() { return NAME; }                                                 \
        static int id() { return ID; }                                                             \
    };

VEL_DECLARE_BUILTIN_METATYPE(bool, VelMetaType::Bool, "bool")
VEL_DECLARE_BUILTIN_METATYPE(int, VelMetaType::Int, "int")
VEL_DECLARE_BUILTIN_METATYPE(uint, VelMetaType::UInt, "uint")
VEL_DECLARE_BUILTIN_METATYPE(long long, VelMetaType::LongLong, "long long")
VEL_DECLARE_BUILTIN_METATYPE(unsigned long long, VelMetaType::ULongLong, "unsigned long long")
VEL_DECLARE_BUILTIN_METATYPE(double, VelMetaType::Double, "double")
VEL_DECLARE_BUILTIN_METATYPE(float, VelMetaType::Float, "float")
VEL_DECLARE_BUILTIN_METATYPE(long, VelMetaType::Long, "long")
VEL_DECLARE_BUILTIN_METATYPE(ulong, VelMetaType::ULong, "ulong")
VEL_DECLARE_BUILTIN_METATYPE(short, VelMetaType::Short, "short")
VEL_DECLARE_BUILTIN_METATYPE(ushort, VelMetaType::UShort, "ushort")
VEL_DECLARE_BUILTIN_METATYPE(char, VelMetaType::Char, "char")
VEL_DECLARE_BUILTIN_METATYPE(signed char, VelMetaType::SChar, "signed char")
VEL_DECLARE_BUILTIN_METATYPE(uchar, VelMetaType::UChar, "uchar")
VEL_DECLARE_BUILTIN_METATYPE(VelChar, VelMetaType::VelCharType, "VelChar")
VEL_DECLARE_BUILTIN_METATYPE(VelString, VelMetaType::VelStringType, "VelString")
VEL_DECLARE_BUILTIN_METATYPE(VelStringList, VelMetaType::VelStringListType, "VelStringList")
VEL_DECLARE_BUILTIN_METATYPE(VelByteArray, VelMetaType::VelByteArrayType, "VelByteArray")
VEL_DECLARE_BUILTIN_METATYPE(VelObject *, VelMetaType::VelObjectStar, "VelObject*")
VEL_DECLARE_BUILTIN_METATYPE(void *, VelMetaType::VoidStar, "void*")
VEL_DECLARE_BUILTIN_METATYPE(void, VelMetaType::Void, "void")

// Declares a type for signatures and queued calls; use once, in a header, at
// global scope. The id is registered on first use.
#define VEL_DECLARE_METATYPE(TYPE)                                                                 \
    template <> struct VelMetaTypeId<TYPE> {                                                       \
        enum { Defined = 1 };                                                                      \
        static const char *name() { return #TYPE; }                                                \
        static int id()                                                                            \
        {                                                                                          \
            static const int typeId = velRegisterMetaType<TYPE>(#TYPE);                            \
            return typeId;                                                                         \
        }                                                                                          \
    };

// The id of a declared type (registering it if needed).
template <typename T> int velMetaTypeId()
{
    static_assert(VelMetaTypeId<T>::Defined,
                  "type has no meta-type: add VEL_DECLARE_METATYPE(Type) to a header");
    return VelMetaTypeId<T>::id();
}

// The type as it appears in a signature: references and top-level const
// dropped ("const VelString &" is "VelString").
template <typename T> using VelSignatureType = std::remove_cv_t<std::remove_reference_t<T>>;

#endif
