#ifndef VELOBJECT_H
#define VELOBJECT_H

#include "velmetaobject.h"
#include "velstring.h"

#include <memory>
#include <tuple>
#include <vector>

class VelEvent;
class VelTimerEvent;
class VelChildEvent;
class VelThread;
class VelObjectPrivate;
class VelObject;

using VelObjectList = std::vector<VelObject *>;

// The base of every object with a meta-object.
//
// Ownership: an object deletes its children when it is deleted; deleting a
// child removes it from its parent. Thread affinity: an object lives in the
// thread that created it (moveToThread changes that); its events, timers and
// queued calls run there.
//
// A class with a meta-object writes VEL_OBJECT in its declaration and a
// VEL_META_BEGIN ... VEL_META_END table in its .cpp (see velmetaobject.h):
//
//     class VelFoo : public VelObject
//     {
//         VEL_OBJECT
//     public:
//         void valueChanged(int a, int b);        // signal
//         void renderAll();                       // slot
//     };
//
//     VEL_META_BEGIN(VelFoo, VelObject)
//         VEL_META_SIGNAL(valueChanged, int, int)
//         VEL_META_SLOT(renderAll)
//     VEL_META_END
//     void VelFoo::valueChanged(int a, int b) { VEL_EMIT(valueChanged, a, b); }
//
// Connections:
//     VelObject::connect(sender, SIGNAL(valueChanged(int,int)), receiver, SLOT(renderAll()));
//     VelObject::connect(sender, &VelFoo::valueChanged, receiver, &VelBar::onValue);
//     VelObject::connect(sender, &VelFoo::valueChanged, context, [](int a, int b) { ... });
//     VelObject::disconnect(connection);      // an empty handle is harmless
class VelObject
{
public:
    static const VelMetaObject staticMetaObject;
    virtual const VelMetaObject *metaObject() const;
    virtual void *vel_metacast(const char *className);
    virtual int vel_metacall(VelMetaObject::Call call, int id, void **args);

    explicit VelObject(VelObject *parent = nullptr);
    virtual ~VelObject();
    VEL_DISABLE_COPY(VelObject)

    // Events reach an object here; the default handles timers, child events,
    // queued calls and deferred deletion. Returns whether it was recognised.
    virtual bool event(VelEvent *event);
    // For objects installed as event filters: true = the event is taken and
    // not delivered to watched.
    virtual bool eventFilter(VelObject *watched, VelEvent *event);

    VelString objectName() const;
    void setObjectName(const VelString &name);

    VelObject *parent() const;
    void setParent(VelObject *parent);
    const VelObjectList &children() const;
    // The first child (searched recursively) of type T with that name (any
    // name when empty).
    template <typename T> T findChild(const VelString &name = VelString()) const;

    VelThread *thread() const;
    // Moves this object and its children to target; must be called from the
    // object's current thread. Pending posted events and timers follow it.
    void moveToThread(VelThread *target);

    int startTimer(int interval, Vel::TimerType type = Vel::CoarseTimer);
    void killTimer(int timerId);

    bool signalsBlocked() const;
    bool blockSignals(bool block);

    bool inherits(const char *className) const;

    void installEventFilter(VelObject *filter);
    void removeEventFilter(VelObject *filter);

    // Deleted when control returns to the event loop (of the object's thread).
    void deleteLater();

    // Inside a slot called by a signal: the sender (null otherwise).
    VelObject *sender() const;
    int senderSignalIndex() const;

    // signals
    void destroyed(VelObject *object);
    void objectNameChanged(const VelString &objectName);

    using Connection = VelMetaObject::Connection;

    // String form: signal is SIGNAL(sig(args)), member SLOT(...) or SIGNAL(...).
    static Connection connect(const VelObject *sender, const char *signal,
                              const VelObject *receiver, const char *member,
                              Vel::ConnectionType type = Vel::AutoConnection);
    Connection connect(const VelObject *sender, const char *signal, const char *member,
                       Vel::ConnectionType type = Vel::AutoConnection) const
    {
        return connect(sender, signal, this, member, type);
    }
    static Connection connect(const VelObject *sender, const VelMetaMethod &signal,
                              const VelObject *receiver, const VelMetaMethod &method,
                              Vel::ConnectionType type = Vel::AutoConnection);

    // Pointer to member signal and slot.
    template <typename S, typename SC, typename... SA, typename R, typename RC, typename RR,
              typename... RA>
    static Connection connect(const S *sender, void (SC::*signal)(SA...), const R *receiver,
                              RR (RC::*slot)(RA...),
                              Vel::ConnectionType type = Vel::AutoConnection);
    // Pointer to member signal and a functor run in context's thread.
    template <typename S, typename SC, typename... SA, typename F>
    static Connection connect(const S *sender, void (SC::*signal)(SA...), const VelObject *context,
                              F functor, Vel::ConnectionType type = Vel::AutoConnection);
    // Functor without context: always direct, in the emitting thread.
    template <typename S, typename SC, typename... SA, typename F>
    static Connection connect(const S *sender, void (SC::*signal)(SA...), F functor);

    static bool disconnect(const VelObject *sender, const char *signal, const VelObject *receiver,
                           const char *member);
    static bool disconnect(const Connection &connection);

protected:
    virtual void timerEvent(VelTimerEvent *event);
    virtual void childEvent(VelChildEvent *event);
    virtual void customEvent(VelEvent *event);
    virtual void connectNotify(const VelMetaMethod &signal);
    virtual void disconnectNotify(const VelMetaMethod &signal);

private:
    friend class VelObjectPrivate;
    friend class VelCoreApplication;
    friend class VelThread;
    friend class VelMetaObject;
    friend struct VelMetaObjectPrivate;
    friend struct VelObjectConnections;
    static void vel_buildMetaObject(VelMetaObjectBuilder &velBuilder);

    static Connection connectImpl(const VelObject *sender, int signalIndex,
                                  const VelObject *receiver,
                                  std::unique_ptr<VelSlotObjectBase> slot,
                                  Vel::ConnectionType type);
    static int signalIndexFor(const VelMetaObject *metaObject,
                              const VelMetaObjectBuilder::MemberPointerBytes &bytes);
    VelObject *findChildImpl(const VelMetaObject *metaObject, const VelString &name) const;

    std::unique_ptr<VelObjectPrivate> d;
};

namespace VelPrivate
{

template <typename Tuple, typename Seq> struct ArgPointers;
template <typename Tuple, std::size_t... I> struct ArgPointers<Tuple, std::index_sequence<I...>> {
    template <typename F> static void apply(F &f, void **args)
    {
        f(*static_cast<std::tuple_element_t<I, Tuple> *>(args[I + 1])...);
    }
};

template <typename RC, typename RR, typename... RA> class MemberSlot : public VelSlotObjectBase
{
public:
    using Method = RR (RC::*)(RA...);
    explicit MemberSlot(Method m) : m_method(m) {}
    void call(VelObject *receiver, void **args) override
    {
        callWith(static_cast<RC *>(receiver), args, std::index_sequence_for<RA...>());
    }

private:
    template <std::size_t... I> void callWith(RC *receiver, void **args, std::index_sequence<I...>)
    {
        (receiver->*m_method)(*static_cast<VelSignatureType<RA> *>(args[I + 1])...);
    }
    Method m_method;
};

template <typename F, typename Tuple, typename Seq> struct InvocablePrefix;
template <typename F, typename Tuple, std::size_t... I>
struct InvocablePrefix<F, Tuple, std::index_sequence<I...>>
    : std::is_invocable<F &, std::tuple_element_t<I, Tuple> &...> {
};

// The largest number of leading signal arguments the functor accepts.
template <typename F, typename Tuple, std::size_t K> constexpr std::size_t functorArity()
{
    if constexpr (InvocablePrefix<F, Tuple, std::make_index_sequence<K>>::value)
        return K;
    else if constexpr (K == 0)
        return std::size_t(-1);
    else
        return functorArity<F, Tuple, K - 1>();
}

template <typename F, typename Tuple, std::size_t N> class FunctorSlot : public VelSlotObjectBase
{
public:
    explicit FunctorSlot(F f) : m_f(std::move(f)) {}
    void call(VelObject *, void **args) override
    {
        using Prefix = decltype(prefixTuple(std::make_index_sequence<N>()));
        ArgPointers<Prefix, std::make_index_sequence<N>>::apply(m_f, args);
    }

private:
    template <std::size_t... I>
    static auto prefixTuple(std::index_sequence<I...>)
        -> std::tuple<std::tuple_element_t<I, Tuple>...>;
    F m_f;
};

template <typename C, typename... A>
VelMetaObjectBuilder::MemberPointerBytes memberPointerBytes(void (C::*signal)(A...))
{
    VelMetaObjectBuilder::MemberPointerBytes bytes{};
    std::memcpy(bytes.data, &signal, sizeof(signal));
    return bytes;
}

} // namespace VelPrivate

template <typename S, typename SC, typename... SA, typename R, typename RC, typename RR,
          typename... RA>
VelObject::Connection VelObject::connect(const S *sender, void (SC::*signal)(SA...),
                                         const R *receiver, RR (RC::*slot)(RA...),
                                         Vel::ConnectionType type)
{
    static_assert(std::is_base_of_v<SC, S>, "the signal is not a member of the sender's class");
    static_assert(std::is_base_of_v<RC, R>, "the slot is not a member of the receiver's class");
    static_assert(sizeof...(RA) <= sizeof...(SA), "the slot takes more arguments than the signal");
    const int index = signalIndexFor(&SC::staticMetaObject, VelPrivate::memberPointerBytes(signal));
    return connectImpl(sender, index, receiver,
                       std::make_unique<VelPrivate::MemberSlot<RC, RR, RA...>>(slot), type);
}

template <typename S, typename SC, typename... SA, typename F>
VelObject::Connection VelObject::connect(const S *sender, void (SC::*signal)(SA...),
                                         const VelObject *context, F functor,
                                         Vel::ConnectionType type)
{
    static_assert(std::is_base_of_v<SC, S>, "the signal is not a member of the sender's class");
    using Args = std::tuple<VelSignatureType<SA>...>;
    constexpr std::size_t arity = VelPrivate::functorArity<F, Args, sizeof...(SA)>();
    static_assert(arity != std::size_t(-1), "the functor cannot take the signal's arguments");
    const int index = signalIndexFor(&SC::staticMetaObject, VelPrivate::memberPointerBytes(signal));
    return connectImpl(
        sender, index, context,
        std::make_unique<VelPrivate::FunctorSlot<F, Args, arity>>(std::move(functor)), type);
}

template <typename S, typename SC, typename... SA, typename F>
VelObject::Connection VelObject::connect(const S *sender, void (SC::*signal)(SA...), F functor)
{
    static_assert(std::is_base_of_v<SC, S>, "the signal is not a member of the sender's class");
    using Args = std::tuple<VelSignatureType<SA>...>;
    constexpr std::size_t arity = VelPrivate::functorArity<F, Args, sizeof...(SA)>();
    static_assert(arity != std::size_t(-1), "the functor cannot take the signal's arguments");
    const int index = signalIndexFor(&SC::staticMetaObject, VelPrivate::memberPointerBytes(signal));
    return connectImpl(
        sender, index, nullptr,
        std::make_unique<VelPrivate::FunctorSlot<F, Args, arity>>(std::move(functor)),
        Vel::DirectConnection);
}

template <typename T> T VelObject::findChild(const VelString &name) const
{
    using ObjectType = std::remove_cv_t<std::remove_pointer_t<T>>;
    return static_cast<T>(findChildImpl(&ObjectType::staticMetaObject, name));
}

// Casts by meta-object (class name), across shared-library boundaries.
template <typename T> T vel_object_cast(VelObject *object)
{
    using ObjectType = std::remove_cv_t<std::remove_pointer_t<T>>;
    return static_cast<T>(ObjectType::staticMetaObject.cast(object));
}
template <typename T> T vel_object_cast(const VelObject *object)
{
    using ObjectType = std::remove_cv_t<std::remove_pointer_t<T>>;
    return static_cast<T>(ObjectType::staticMetaObject.cast(object));
}

#define SLOT(a) "1" #a
#define SIGNAL(a) "2" #a

#endif
