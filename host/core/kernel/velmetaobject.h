#ifndef VELMETAOBJECT_H
#define VELMETAOBJECT_H

#include "velbytearray.h"
#include "velmetatype.h"
#include "velnamespace.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

class VelObject;
class VelMetaObject;
struct VelMetaObjectData;
struct VelMetaMethodData;
struct VelConnectionPrivate;

// An argument of invokeMethod: the type name (as written in VEL_ARG) and the
// address of the value. The value must outlive the call; queued calls copy it.
class VelGenericArgument
{
public:
    VelGenericArgument(const char *name = nullptr, const void *data = nullptr)
        : m_name(name), m_data(const_cast<void *>(data))
    {
    }
    const char *name() const { return m_name; }
    void *data() const { return m_data; }

private:
    const char *m_name;
    void *m_data;
};

class VelGenericReturnArgument : public VelGenericArgument
{
public:
    VelGenericReturnArgument(const char *name = nullptr, void *data = nullptr)
        : VelGenericArgument(name, data)
    {
    }
};

template <typename T> class VelArgument : public VelGenericArgument
{
public:
    VelArgument(const char *name, const T &data) : VelGenericArgument(name, &data) {}
};

template <typename T> class VelReturnArgument : public VelGenericReturnArgument
{
public:
    VelReturnArgument(const char *name, T &data) : VelGenericReturnArgument(name, &data) {}
};

#define VEL_ARG(type, data) VelArgument<type>(#type, data)
#define VEL_RETURN_ARG(type, data) VelReturnArgument<type>(#type, data)

// One method of a meta-object: a signal, a slot or an invokable.
class VelMetaMethod
{
public:
    enum MethodType { Method = 0, Signal = 1, Slot = 2 };

    VelMetaMethod() = default;

    bool isValid() const { return m_data != nullptr; }
    // "valueChanged(int,int)"
    VelByteArray methodSignature() const;
    // "valueChanged"
    VelByteArray name() const;
    // The return type's name ("void", "int", ...).
    const char *typeName() const;
    int returnType() const;
    int parameterCount() const;
    // The meta-type id of a parameter (UnknownType if its type is only named).
    int parameterType(int index) const;
    VelByteArrayList parameterTypes() const;
    MethodType methodType() const;
    // The absolute index in the enclosing class (super classes included).
    int methodIndex() const { return m_index; }
    const VelMetaObject *enclosingMetaObject() const { return m_owner; }

    bool invoke(VelObject *object, Vel::ConnectionType type, VelGenericReturnArgument returnValue,
                VelGenericArgument val0 = VelGenericArgument(),
                VelGenericArgument val1 = VelGenericArgument(),
                VelGenericArgument val2 = VelGenericArgument(),
                VelGenericArgument val3 = VelGenericArgument(),
                VelGenericArgument val4 = VelGenericArgument(),
                VelGenericArgument val5 = VelGenericArgument(),
                VelGenericArgument val6 = VelGenericArgument(),
                VelGenericArgument val7 = VelGenericArgument(),
                VelGenericArgument val8 = VelGenericArgument(),
                VelGenericArgument val9 = VelGenericArgument()) const;

    friend bool operator==(const VelMetaMethod &a, const VelMetaMethod &b)
    {
        return a.m_data == b.m_data;
    }
    friend bool operator!=(const VelMetaMethod &a, const VelMetaMethod &b)
    {
        return a.m_data != b.m_data;
    }

private:
    friend class VelMetaObject;
    friend struct VelMetaObjectPrivate;
    const VelMetaObject *m_owner = nullptr;
    const VelMetaMethodData *m_data = nullptr;
    int m_index = -1;
};

// Builds a class's method table; used only through the VEL_META_* macros.
class VelMetaObjectBuilder
{
public:
    using Invoker = std::function<void(VelObject *, void **)>;

    template <typename... A> struct Types {
    };

    // Adds a method of class C taking A...; call(obj, args...) performs it.
    template <typename C, typename... A, typename F>
    void add(VelMetaMethod::MethodType type, const char *name, Types<A...>, F call)
    {
        using R = decltype(call(std::declval<C &>(), std::declval<VelSignatureType<A> &>()...));
        std::vector<const char *> names{VelMetaTypeId<VelSignatureType<A>>::name()...};
        std::vector<int (*)()> ids{&VelMetaTypeId<VelSignatureType<A>>::id...};
        Invoker invoker = [call](VelObject *object, void **args) {
            invokeWith<C, R, A...>(call, static_cast<C *>(object), args,
                                   std::index_sequence_for<A...>());
        };
        addMethod(type, name, VelMetaTypeId<VelSignatureType<R>>::name(),
                  &VelMetaTypeId<VelSignatureType<R>>::id, names, ids, std::move(invoker));
    }

    // Records the member pointer of the signal just added, so that
    // connect(sender, &Class::signal, ...) can find it.
    template <typename C, typename... A> void setSignalPointer(void (C::*signal)(A...))
    {
        static_assert(sizeof(signal) <= sizeof(MemberPointerBytes),
                      "unexpected member pointer size");
        MemberPointerBytes bytes{};
        std::memcpy(bytes.data, &signal, sizeof(signal));
        setLastSignalPointer(bytes);
    }

    struct MemberPointerBytes {
        unsigned char data[2 * sizeof(void *)];
    };

private:
    friend class VelMetaObject;
    explicit VelMetaObjectBuilder(VelMetaObjectData *data) : m_data(data) {}

    template <typename C, typename R, typename... A, typename F, std::size_t... I>
    static void invokeWith(const F &call, C *object, void **args, std::index_sequence<I...>)
    {
        if constexpr (std::is_void_v<R>) {
            call(*object, *static_cast<VelSignatureType<A> *>(args[I + 1])...);
        } else {
            if (args[0])
                *static_cast<VelSignatureType<R> *>(args[0]) =
                    call(*object, *static_cast<VelSignatureType<A> *>(args[I + 1])...);
            else
                call(*object, *static_cast<VelSignatureType<A> *>(args[I + 1])...);
        }
    }

    void addMethod(VelMetaMethod::MethodType type, const char *name, const char *returnTypeName,
                   int (*returnTypeId)(), const std::vector<const char *> &parameterNames,
                   const std::vector<int (*)()> &parameterIds, Invoker invoker);
    void setLastSignalPointer(const MemberPointerBytes &bytes);

    VelMetaObjectData *m_data;
};

// The meta-object of a class: its name, its super class and its methods.
// Constant-initialised (so usable from any static initialiser); the method
// table is built on first use.
class VelMetaObject
{
public:
    using BuildFunction = void (*)(VelMetaObjectBuilder &);
    enum Call { InvokeMetaMethod = 0 };

    constexpr VelMetaObject(const char *className, const VelMetaObject *superClass,
                            BuildFunction build)
        : m_className(className), m_superClass(superClass), m_build(build), m_data(nullptr)
    {
    }
    VelMetaObject(const VelMetaObject &) = delete;
    VelMetaObject &operator=(const VelMetaObject &) = delete;

    const char *className() const { return m_className; }
    const VelMetaObject *superClass() const { return m_superClass; }
    bool inherits(const VelMetaObject *metaObject) const;
    // object if it is an instance of this class (or a subclass), else null.
    VelObject *cast(VelObject *object) const;
    const VelObject *cast(const VelObject *object) const;

    // Methods are numbered across the hierarchy: the super classes' first.
    int methodOffset() const;
    int methodCount() const;
    VelMetaMethod method(int index) const;
    // Indices of normalised signatures; -1 when absent. The lookups run from
    // the most derived class up.
    int indexOfMethod(const char *signature) const;
    int indexOfSignal(const char *signature) const;
    int indexOfSlot(const char *signature) const;
    // Index of the signal whose member pointer was recorded (pointer-to-member connects).
    int indexOfSignalPointer(const VelMetaObjectBuilder::MemberPointerBytes &bytes) const;

    // "valueChanged ( int , int )" -> "valueChanged(int,int)". Blanks go, except
    // one between two words ("unsigned long long"); "const T &" becomes "T".
    static VelByteArray normalizedSignature(const char *method);
    static VelByteArray normalizedType(const char *type)
    {
        return VelMetaType::normalizedType(type);
    }
    // Whether a slot with signature method can receive signal's arguments:
    // its parameters must be a prefix of the signal's.
    static bool checkConnectArgs(const char *signal, const char *method);

    // Calls a method by name ("dialogResult"), the signature being made of
    // the arguments' type names. Auto means direct in the object's thread and
    // queued elsewhere. Queued calls copy their arguments through the
    // meta-type registry (the types must be registered) and cannot return a
    // value. A blocking queued call waits for the object's thread to run it;
    // towards an object of the calling thread it fails with a warning.
    static bool invokeMethod(VelObject *object, const char *member, Vel::ConnectionType type,
                             VelGenericReturnArgument ret,
                             VelGenericArgument val0 = VelGenericArgument(),
                             VelGenericArgument val1 = VelGenericArgument(),
                             VelGenericArgument val2 = VelGenericArgument(),
                             VelGenericArgument val3 = VelGenericArgument(),
                             VelGenericArgument val4 = VelGenericArgument(),
                             VelGenericArgument val5 = VelGenericArgument(),
                             VelGenericArgument val6 = VelGenericArgument(),
                             VelGenericArgument val7 = VelGenericArgument(),
                             VelGenericArgument val8 = VelGenericArgument(),
                             VelGenericArgument val9 = VelGenericArgument());
    static bool invokeMethod(VelObject *object, const char *member, Vel::ConnectionType type,
                             VelGenericArgument val0 = VelGenericArgument(),
                             VelGenericArgument val1 = VelGenericArgument(),
                             VelGenericArgument val2 = VelGenericArgument(),
                             VelGenericArgument val3 = VelGenericArgument(),
                             VelGenericArgument val4 = VelGenericArgument(),
                             VelGenericArgument val5 = VelGenericArgument(),
                             VelGenericArgument val6 = VelGenericArgument(),
                             VelGenericArgument val7 = VelGenericArgument(),
                             VelGenericArgument val8 = VelGenericArgument(),
                             VelGenericArgument val9 = VelGenericArgument())
    {
        return invokeMethod(object, member, type, VelGenericReturnArgument(), val0, val1, val2,
                            val3, val4, val5, val6, val7, val8, val9);
    }
    static bool invokeMethod(VelObject *object, const char *member, VelGenericReturnArgument ret,
                             VelGenericArgument val0 = VelGenericArgument(),
                             VelGenericArgument val1 = VelGenericArgument(),
                             VelGenericArgument val2 = VelGenericArgument(),
                             VelGenericArgument val3 = VelGenericArgument(),
                             VelGenericArgument val4 = VelGenericArgument(),
                             VelGenericArgument val5 = VelGenericArgument(),
                             VelGenericArgument val6 = VelGenericArgument(),
                             VelGenericArgument val7 = VelGenericArgument(),
                             VelGenericArgument val8 = VelGenericArgument(),
                             VelGenericArgument val9 = VelGenericArgument())
    {
        return invokeMethod(object, member, Vel::AutoConnection, ret, val0, val1, val2, val3, val4,
                            val5, val6, val7, val8, val9);
    }
    // Runs a functor in context's thread (same rules for the connection type).
    template <typename F>
    static bool invokeMethod(VelObject *context, F functor,
                             Vel::ConnectionType type = Vel::AutoConnection);

    // The handle of one connection; empty when connect failed.
    class Connection
    {
    public:
        Connection() = default;
        bool isValid() const { return d != nullptr; }
        operator bool() const { return isValid(); }

    private:
        friend class VelObject;
        friend class VelMetaObject;
        friend struct VelObjectConnections;
        explicit Connection(std::shared_ptr<VelConnectionPrivate> p) : d(std::move(p)) {}
        std::shared_ptr<VelConnectionPrivate> d;
    };

    // Emits signal signalIndex of sender; args[0] is the (unused) return
    // slot, args[1..] point to the arguments. Used by VEL_EMIT.
    static void activate(VelObject *sender, int signalIndex, void **args);
    // Runs method id (absolute index) of object with args.
    int metacall(VelObject *object, Call call, int id, void **args) const;

private:
    friend class VelMetaMethod;
    friend struct VelMetaObjectPrivate;
    const VelMetaObjectData &data() const;
    static bool invokeFunctor(VelObject *context, std::unique_ptr<class VelSlotObjectBase> slot,
                              Vel::ConnectionType type);

    const char *m_className;
    const VelMetaObject *m_superClass;
    BuildFunction m_build;
    mutable std::atomic<VelMetaObjectData *> m_data;
};

// A callable stored by a pointer-to-member or functor connection: call()
// receives the receiver and the signal's argument array.
class VelSlotObjectBase
{
public:
    virtual ~VelSlotObjectBase() = default;
    virtual void call(VelObject *receiver, void **args) = 0;
};

namespace VelPrivate
{
template <typename F> class FunctorCall0 : public VelSlotObjectBase
{
public:
    explicit FunctorCall0(F f) : m_f(std::move(f)) {}
    void call(VelObject *, void **) override { m_f(); }

private:
    F m_f;
};
} // namespace VelPrivate

template <typename F>
bool VelMetaObject::invokeMethod(VelObject *context, F functor, Vel::ConnectionType type)
{
    return invokeFunctor(context, std::make_unique<VelPrivate::FunctorCall0<F>>(std::move(functor)),
                         type);
}

// --- Declaration macros ----------------------------------------------------
//
// In the class:    VEL_OBJECT
// In the .cpp:     VEL_META_BEGIN(VelFoo, VelObject)
//                      VEL_META_SIGNAL(valueChanged, int, int)
//                      VEL_META_SLOT(renderAll)
//                      VEL_META_INVOKABLE(dialogResult, int)
//                  VEL_META_END
// A signal body:   void VelFoo::valueChanged(int a, int b) { VEL_EMIT(valueChanged, a, b); }
//
// The types listed in VEL_META_* are the parameter types as declared
// (const VelString & included); signatures drop const and references. Every
// parameter and return type needs a meta-type (built-in or declared with
// VEL_DECLARE_METATYPE where the table is compiled). Signals return void.
// The table goes in the namespace of the class (inside the anonymous
// namespace for a class declared in one); private slots are fine.

#define VEL_OBJECT                                                                                 \
public:                                                                                            \
    static const VelMetaObject staticMetaObject;                                                   \
    const VelMetaObject *metaObject() const override;                                              \
    void *vel_metacast(const char *className) override;                                            \
    int vel_metacall(VelMetaObject::Call call, int id, void **args) override;                      \
                                                                                                   \
private:                                                                                           \
    static void vel_buildMetaObject(VelMetaObjectBuilder &velBuilder);

#define VEL_META_BEGIN_NAMED(Class, Super, Name)                                                   \
    const VelMetaObject Class::staticMetaObject{Name, &Super::staticMetaObject,                    \
                                                &Class::vel_buildMetaObject};                      \
    const VelMetaObject *Class::metaObject() const                                                 \
    {                                                                                              \
        return &staticMetaObject;                                                                  \
    }                                                                                              \
    void *Class::vel_metacast(const char *className)                                               \
    {                                                                                              \
        if (className && std::strcmp(className, Name) == 0)                                        \
            return static_cast<void *>(this);                                                      \
        return Super::vel_metacast(className);                                                     \
    }                                                                                              \
    int Class::vel_metacall(VelMetaObject::Call call, int id, void **args)                         \
    {                                                                                              \
        return staticMetaObject.metacall(this, call, id, args);                                    \
    }                                                                                              \
    void Class::vel_buildMetaObject(VelMetaObjectBuilder &velBuilder)                              \
    {                                                                                              \
        using VelThisClass = Class;                                                                \
        (void)static_cast<VelThisClass *>(nullptr);                                                \
        (void)velBuilder;

#define VEL_META_BEGIN(Class, Super) VEL_META_BEGIN_NAMED(Class, Super, #Class)

#define VEL_META_METHOD_(kind, method, ...)                                                        \
    velBuilder.add<VelThisClass>(                                                                  \
        kind, #method, VelMetaObjectBuilder::Types<__VA_ARGS__>(),                                 \
        [](auto &velObj, auto &...velArgs) -> decltype(velObj.method(velArgs...)) {                \
            return velObj.method(velArgs...);                                                      \
        });

#define VEL_META_SIGNAL(signal, ...)                                                               \
    VEL_META_METHOD_(VelMetaMethod::Signal, signal, __VA_ARGS__)                                   \
    velBuilder.setSignalPointer(                                                                   \
        static_cast<void (VelThisClass::*)(__VA_ARGS__)>(&VelThisClass::signal));
#define VEL_META_SLOT(slot, ...) VEL_META_METHOD_(VelMetaMethod::Slot, slot, __VA_ARGS__)
#define VEL_META_INVOKABLE(method, ...) VEL_META_METHOD_(VelMetaMethod::Method, method, __VA_ARGS__)

#define VEL_META_END }

// The signal's signature from its arguments' types: the body of a signal
// passes its own parameters, whose declared types match the table.
template <typename... A> VelByteArray velSignalSignature(const char *name, const A &...)
{
    VelByteArray sig(name);
    sig += '(';
    const char *names[] = {"", VelMetaTypeId<A>::name()...};
    for (std::size_t i = 1; i < sizeof...(A) + 1; ++i) {
        if (i > 1)
            sig += ',';
        sig += names[i];
    }
    sig += ')';
    return sig;
}

int velSignalIndex(const VelMetaObject *metaObject, const VelByteArray &signature);

template <typename... A>
void velActivateSignal(VelObject *sender, int signalIndex, const A &...args)
{
    void *argv[] = {nullptr, const_cast<void *>(static_cast<const void *>(&args))...};
    VelMetaObject::activate(sender, signalIndex, argv);
}

#define VEL_EMIT(signal, ...)                                                                      \
    do {                                                                                           \
        static const int velSignalIndex_ =                                                         \
            velSignalIndex(&staticMetaObject, velSignalSignature(#signal, ##__VA_ARGS__));         \
        velActivateSignal(this, velSignalIndex_, ##__VA_ARGS__);                                   \
    } while (false)

#endif
