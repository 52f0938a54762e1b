#include "velobject.h"

#include "velabstracteventdispatcher.h"
#include "velcoreapplication.h"
#include "velcoreevent.h"
#include "vellogging.h"
#include "velobject_p.h"
#include "velsemaphore.h"
#include "velthread.h"

#include <algorithm>

namespace
{

struct CurrentSender {
    VelObject *receiver = nullptr;
    VelObject *sender = nullptr;
    int signal = -1;
};
thread_local CurrentSender currentSender;

const char *classNameOf(const VelObject *o)
{
    return o ? o->metaObject()->className() : "<null>";
}

void eraseConnection(std::vector<std::shared_ptr<VelConnectionPrivate>> &list,
                     const VelConnectionPrivate *c)
{
    list.erase(std::remove_if(
                   list.begin(), list.end(),
                   [c](const std::shared_ptr<VelConnectionPrivate> &p) { return p.get() == c; }),
               list.end());
}

// Unlinks a connection from both ends; the connection lock must be held.
void unlinkLocked(const std::shared_ptr<VelConnectionPrivate> &c)
{
    c->connected.store(false);
    VelObjectPrivate *sd = VelObjectPrivate::get(c->sender);
    const auto it = sd->outgoing.find(c->signalIndex);
    if (it != sd->outgoing.end()) {
        eraseConnection(it->second, c.get());
        if (it->second.empty())
            sd->outgoing.erase(it);
    }
    if (c->receiver)
        eraseConnection(VelObjectPrivate::get(c->receiver)->incoming, c.get());
}

void queueActivate(VelObject *sender, int signalIndex,
                   const std::shared_ptr<VelConnectionPrivate> &c, void **argv)
{
    std::vector<int> types;
    std::vector<void *> copies;
    for (size_t i = 0; i < c->argumentTypes.size(); ++i) {
        const int id = c->argumentTypes[i];
        void *copy = id ? VelMetaType::create(id, argv[i + 1]) : nullptr;
        if (!copy) {
            velWarning("VelObject: cannot queue arguments of type '%s' (register it with "
                       "velRegisterMetaType)",
                       c->argumentTypeNames[i].constData());
            for (size_t k = 0; k < copies.size(); ++k)
                VelMetaType::destroy(types[k], copies[k]);
            return;
        }
        types.push_back(id);
        copies.push_back(copy);
    }
    // Posting under the connection lock: a receiver being destroyed
    // disconnects under the same lock, so either it sees this event and
    // removes it, or this sees the connection gone.
    auto *event = new VelMetaCallEvent(c, c->methodIndex, c->slot, sender, signalIndex,
                                       std::move(types), std::move(copies));
    std::unique_lock<std::mutex> lock(velConnectionMutex());
    if (!c->connected.load()) {
        lock.unlock();
        delete event;
        return;
    }
    velPostEvent(c->receiver, event);
}

void blockingActivate(VelObject *sender, int signalIndex,
                      const std::shared_ptr<VelConnectionPrivate> &c, void **argv)
{
    VelSemaphore done;
    auto *event =
        new VelMetaCallEvent(c, c->methodIndex, c->slot, sender, signalIndex, argv, &done);
    {
        std::unique_lock<std::mutex> lock(velConnectionMutex());
        if (!c->connected.load()) {
            lock.unlock();
            delete event;
            return;
        }
        velPostEvent(c->receiver, event);
    }
    done.acquire();
}

} // namespace

std::mutex &velConnectionMutex()
{
    // Leaked: objects may be destroyed by other libraries' static destructors.
    static std::mutex *mutex = new std::mutex;
    return *mutex;
}

std::mutex &velAffinityMutex()
{
    static std::mutex *mutex = new std::mutex;
    return *mutex;
}

std::shared_ptr<VelObjectGuard> velObjectGuard(const VelObject *object)
{
    return object ? VelObjectPrivate::get(object)->guard : nullptr;
}

std::shared_ptr<VelThreadData> VelObjectPrivate::threadDataOf(const VelObject *o)
{
    std::lock_guard<std::mutex> lock(velAffinityMutex());
    return o->d->threadData;
}

bool VelObjectPrivate::livesInCurrentThread(const VelObject *o)
{
    return threadDataOf(o).get() == VelThreadData::current();
}

void VelObjectPrivate::setThreadDataRecursive(VelObject *o,
                                              const std::shared_ptr<VelThreadData> &data)
{
    o->d->threadData = data;
    for (VelObject *child : o->d->children)
        setThreadDataRecursive(child, data);
}

VelSenderScope::VelSenderScope(VelObject *receiver, VelObject *sender, int signalIndex)
    : previousReceiver(currentSender.receiver), previousSender(currentSender.sender),
      previousSignal(currentSender.signal)
{
    currentSender.receiver = receiver;
    currentSender.sender = sender;
    currentSender.signal = signalIndex;
}

VelSenderScope::~VelSenderScope()
{
    currentSender.receiver = previousReceiver;
    currentSender.sender = previousSender;
    currentSender.signal = previousSignal;
}

// ---- VelMetaCallEvent ----------------------------------------------------------

VelMetaCallEvent::VelMetaCallEvent(std::shared_ptr<VelConnectionPrivate> connection,
                                   int methodIndex, std::shared_ptr<VelSlotObjectBase> slot,
                                   VelObject *sender, int signalIndex, std::vector<int> types,
                                   std::vector<void *> args)
    : VelEvent(MetaCall), m_connection(std::move(connection)), m_methodIndex(methodIndex),
      m_slot(std::move(slot)), m_sender(sender), m_signalIndex(signalIndex),
      m_types(std::move(types)), m_ownedArgs(std::move(args))
{
}

VelMetaCallEvent::VelMetaCallEvent(std::shared_ptr<VelConnectionPrivate> connection,
                                   int methodIndex, std::shared_ptr<VelSlotObjectBase> slot,
                                   VelObject *sender, int signalIndex, void **args,
                                   VelSemaphore *semaphore, bool *ran)
    : VelEvent(MetaCall), m_connection(std::move(connection)), m_methodIndex(methodIndex),
      m_slot(std::move(slot)), m_sender(sender), m_signalIndex(signalIndex), m_args(args),
      m_semaphore(semaphore), m_ran(ran)
{
    if (m_ran)
        *m_ran = false;
}

VelMetaCallEvent::~VelMetaCallEvent()
{
    for (size_t i = 0; i < m_ownedArgs.size(); ++i)
        VelMetaType::destroy(m_types[i], m_ownedArgs[i]);
    if (m_semaphore)
        m_semaphore->release();
}

void VelMetaCallEvent::placeMetaCall(VelObject *receiver)
{
    if (m_connection && !m_connection->connected.load())
        return;
    std::vector<void *> argv;
    void **args = m_args;
    if (!args) {
        argv.push_back(nullptr);
        argv.insert(argv.end(), m_ownedArgs.begin(), m_ownedArgs.end());
        args = argv.data();
    }
    VelSenderScope scope(receiver, m_sender, m_signalIndex);
    if (m_slot)
        m_slot->call(receiver, args);
    else
        receiver->vel_metacall(VelMetaObject::InvokeMetaMethod, m_methodIndex, args);
    if (m_ran)
        *m_ran = true;
}

// ---- VelObject --------------------------------------------------------------------

const VelMetaObject VelObject::staticMetaObject{"VelObject", nullptr,
                                                &VelObject::vel_buildMetaObject};

void VelObject::vel_buildMetaObject(VelMetaObjectBuilder &velBuilder)
{
    using VelThisClass = VelObject;
    VEL_META_SIGNAL(destroyed, VelObject *)
    VEL_META_SIGNAL(objectNameChanged, const VelString &)
    VEL_META_SLOT(deleteLater)
}

const VelMetaObject *VelObject::metaObject() const
{
    return &staticMetaObject;
}

void *VelObject::vel_metacast(const char *className)
{
    if (className && std::strcmp(className, "VelObject") == 0)
        return static_cast<void *>(this);
    return nullptr;
}

int VelObject::vel_metacall(VelMetaObject::Call call, int id, void **args)
{
    return staticMetaObject.metacall(this, call, id, args);
}

VelObject::VelObject(VelObject *parent) : d(new VelObjectPrivate)
{
    d->q = this;
    d->guard = std::make_shared<VelObjectGuard>();
    d->guard->object.store(this, std::memory_order_release);
    d->threadData = VelThreadData::currentShared();
    if (parent) {
        if (VelObjectPrivate::threadDataOf(parent) != d->threadData)
            velWarning(
                "VelObject: cannot create children for a parent that is in a different thread "
                "(parent is %s(%p))",
                classNameOf(parent), static_cast<void *>(parent));
        else
            setParent(parent);
    }
}

VelObject::~VelObject()
{
    d->deleting = true;
    d->guard->object.store(nullptr, std::memory_order_release);
    destroyed(this);

    // Connections, both ways.
    std::vector<std::shared_ptr<VelConnectionPrivate>> dropped;
    {
        std::lock_guard<std::mutex> lock(velConnectionMutex());
        for (auto &entry : d->outgoing)
            dropped.insert(dropped.end(), entry.second.begin(), entry.second.end());
        dropped.insert(dropped.end(), d->incoming.begin(), d->incoming.end());
        for (const auto &c : dropped)
            unlinkLocked(c);
    }
    dropped.clear();

    if (!d->timerIds.empty()) {
        if (VelAbstractEventDispatcher *dispatcher = d->threadData->dispatcher())
            dispatcher->unregisterTimers(this);
        d->timerIds.clear();
    }
    d->threadData->removePostedEvents(this);

    while (!d->children.empty()) {
        VelObject *child = d->children.front();
        d->children.erase(d->children.begin());
        child->d->parent = nullptr;
        delete child;
    }
    if (d->parent)
        setParent(nullptr);
}

bool VelObject::event(VelEvent *e)
{
    switch (e->type()) {
    case VelEvent::Timer:
        timerEvent(static_cast<VelTimerEvent *>(e));
        return true;
    case VelEvent::ChildAdded:
    case VelEvent::ChildRemoved:
        childEvent(static_cast<VelChildEvent *>(e));
        return true;
    case VelEvent::MetaCall:
        static_cast<VelMetaCallEvent *>(e)->placeMetaCall(this);
        return true;
    case VelEvent::DeferredDelete:
        delete this;
        return true;
    default:
        if (e->type() >= VelEvent::User) {
            customEvent(e);
            return true;
        }
        return false;
    }
}

bool VelObject::eventFilter(VelObject *, VelEvent *)
{
    return false;
}

void VelObject::timerEvent(VelTimerEvent *) {}
void VelObject::childEvent(VelChildEvent *) {}
void VelObject::customEvent(VelEvent *) {}
void VelObject::connectNotify(const VelMetaMethod &) {}
void VelObject::disconnectNotify(const VelMetaMethod &) {}

VelString VelObject::objectName() const
{
    return d->objectName;
}

void VelObject::setObjectName(const VelString &name)
{
    if (d->objectName == name)
        return;
    d->objectName = name;
    objectNameChanged(name);
}

VelObject *VelObject::parent() const
{
    return d->parent;
}

const VelObjectList &VelObject::children() const
{
    return d->children;
}

void VelObject::setParent(VelObject *parent)
{
    if (parent == d->parent)
        return;
    if (parent && VelObjectPrivate::threadDataOf(parent) != d->threadData) {
        velWarning("VelObject::setParent: cannot set a parent that is in a different thread");
        return;
    }
    if (VelObject *old = d->parent) {
        VelObjectList &siblings = old->d->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        d->parent = nullptr;
        if (!old->d->deleting) {
            VelChildEvent removed(VelEvent::ChildRemoved, this);
            VelCoreApplication::sendEvent(old, &removed);
        }
    }
    d->parent = parent;
    if (parent) {
        parent->d->children.push_back(this);
        VelChildEvent added(VelEvent::ChildAdded, this);
        VelCoreApplication::sendEvent(parent, &added);
    }
}

VelObject *VelObject::findChildImpl(const VelMetaObject *metaObject, const VelString &name) const
{
    for (VelObject *child : d->children) {
        if (metaObject->cast(child) && (name.isEmpty() || child->objectName() == name))
            return child;
    }
    for (VelObject *child : d->children) {
        if (VelObject *found = child->findChildImpl(metaObject, name))
            return found;
    }
    return nullptr;
}

VelThread *VelObject::thread() const
{
    return VelObjectPrivate::threadDataOf(this)->thread.load();
}

void VelObject::moveToThread(VelThread *target)
{
    std::shared_ptr<VelThreadData> targetData = target ? VelThread::dataOf(target) : nullptr;
    if (!targetData) {
        velWarning("VelObject::moveToThread: cannot move %s to no thread", classNameOf(this));
        return;
    }
    if (targetData == d->threadData)
        return;
    if (d->parent) {
        velWarning("VelObject::moveToThread: cannot move objects with a parent");
        return;
    }
    const std::shared_ptr<VelThreadData> currentData = d->threadData;
    if (currentData.get() != VelThreadData::current()) {
        velWarning(
            "VelObject::moveToThread: the current thread is not the object's thread; cannot move "
            "%s to the target thread",
            classNameOf(this));
        return;
    }

    // Timers of the whole tree leave the old dispatcher now and join the new
    // one after the move.
    struct MovedTimers {
        VelObject *object;
        std::vector<VelAbstractEventDispatcher::TimerInfo> timers;
    };
    std::vector<MovedTimers> moved;
    std::vector<VelObject *> tree{this};
    for (size_t i = 0; i < tree.size(); ++i)
        tree.insert(tree.end(), tree[i]->d->children.begin(), tree[i]->d->children.end());
    VelAbstractEventDispatcher *oldDispatcher = currentData->dispatcher();
    for (VelObject *o : tree) {
        if (o->d->timerIds.empty() || !oldDispatcher)
            continue;
        moved.push_back({o, oldDispatcher->registeredTimers(o)});
        oldDispatcher->unregisterTimers(o);
    }

    {
        // Under the affinity lock, so that no event is posted to the old
        // thread for an object that already belongs to the new one.
        std::lock_guard<std::mutex> lock(velAffinityMutex());
        for (VelObject *o : tree)
            currentData->movePostedEvents(o, targetData.get());
        VelObjectPrivate::setThreadDataRecursive(this, targetData);
    }

    if (!moved.empty()) {
        VelAbstractEventDispatcher *newDispatcher = targetData->ensureDispatcher();
        for (const MovedTimers &m : moved) {
            for (const auto &t : m.timers)
                newDispatcher->registerTimer(t.timerId, t.interval, t.timerType, m.object);
        }
        newDispatcher->wakeUp();
    }
}

int VelObject::startTimer(int interval, Vel::TimerType type)
{
    if (interval < 0) {
        velWarning("VelObject::startTimer: timers cannot have a negative interval");
        return 0;
    }
    if (!VelObjectPrivate::livesInCurrentThread(this)) {
        velWarning("VelObject::startTimer: timers cannot be started from another thread");
        return 0;
    }
    VelAbstractEventDispatcher *dispatcher = d->threadData->ensureDispatcher();
    const int id = dispatcher->registerTimer(interval, type, this);
    d->timerIds.push_back(id);
    return id;
}

void VelObject::killTimer(int timerId)
{
    const auto it = std::find(d->timerIds.begin(), d->timerIds.end(), timerId);
    if (it == d->timerIds.end()) {
        if (timerId > 0)
            velWarning("VelObject::killTimer: timer %d does not belong to %s", timerId,
                       classNameOf(this));
        return;
    }
    if (!VelObjectPrivate::livesInCurrentThread(this)) {
        velWarning("VelObject::killTimer: timers cannot be stopped from another thread");
        return;
    }
    d->timerIds.erase(it);
    if (VelAbstractEventDispatcher *dispatcher = d->threadData->dispatcher())
        dispatcher->unregisterTimer(timerId);
}

bool VelObject::signalsBlocked() const
{
    return d->blockSignals;
}

bool VelObject::blockSignals(bool block)
{
    const bool previous = d->blockSignals;
    d->blockSignals = block;
    return previous;
}

bool VelObject::inherits(const char *className) const
{
    if (!className)
        return false;
    for (const VelMetaObject *m = metaObject(); m; m = m->superClass()) {
        if (std::strcmp(m->className(), className) == 0)
            return true;
    }
    return false;
}

void VelObject::installEventFilter(VelObject *filter)
{
    if (!filter)
        return;
    if (VelObjectPrivate::threadDataOf(filter) != VelObjectPrivate::threadDataOf(this)) {
        velWarning("VelObject::installEventFilter: cannot filter events for objects in a different "
                   "thread");
        return;
    }
    removeEventFilter(filter);
    // The most recently installed filter sees events first.
    d->eventFilters.insert(d->eventFilters.begin(), VelPointer<VelObject>(filter));
}

void VelObject::removeEventFilter(VelObject *filter)
{
    auto &filters = d->eventFilters;
    filters.erase(std::remove_if(filters.begin(), filters.end(),
                                 [filter](const VelPointer<VelObject> &p) {
                                     return p.isNull() || p.data() == filter;
                                 }),
                  filters.end());
}

void VelObject::deleteLater()
{
    if (d->deleteLaterPosted)
        return;
    d->deleteLaterPosted = true;
    const std::shared_ptr<VelThreadData> data = VelObjectPrivate::threadDataOf(this);
    // The loop depth only means something in the object's own thread; from
    // elsewhere the object goes at the next loop pass of its thread.
    int level = 0;
    if (data.get() == VelThreadData::current())
        level = data->loopLevel() + data->scopeLevel;
    VelCoreApplication::postEvent(this, new VelDeferredDeleteEvent(level));
}

VelObject *VelObject::sender() const
{
    return currentSender.receiver == this ? currentSender.sender : nullptr;
}

int VelObject::senderSignalIndex() const
{
    return currentSender.receiver == this ? currentSender.signal : -1;
}

void VelObject::destroyed(VelObject *object)
{
    VEL_EMIT(destroyed, object);
}

void VelObject::objectNameChanged(const VelString &objectName)
{
    VEL_EMIT(objectNameChanged, objectName);
}

// ---- connections --------------------------------------------------------------------

namespace
{

std::shared_ptr<VelConnectionPrivate> makeConnection(const VelObject *sender, int signalIndex,
                                                     const VelObject *receiver,
                                                     Vel::ConnectionType type)
{
    auto c = std::make_shared<VelConnectionPrivate>();
    c->sender = const_cast<VelObject *>(sender);
    c->signalIndex = signalIndex;
    c->receiver = const_cast<VelObject *>(receiver);
    c->type = type;
    const VelMetaMethod signal = sender->metaObject()->method(signalIndex);
    const VelByteArrayList names = signal.parameterTypes();
    for (int i = 0; i < signal.parameterCount(); ++i) {
        c->argumentTypes.push_back(signal.parameterType(i));
        c->argumentTypeNames.push_back(names[size_t(i)]);
    }
    return c;
}

bool checkQueuedTypes(const VelConnectionPrivate &c)
{
    if ((c.type & ~Vel::UniqueConnection) != Vel::QueuedConnection)
        return true;
    for (size_t i = 0; i < c.argumentTypes.size(); ++i) {
        if (c.argumentTypes[i] == VelMetaType::UnknownType) {
            velWarning("VelObject::connect: cannot queue arguments of type '%s' (register it with "
                       "velRegisterMetaType)",
                       c.argumentTypeNames[i].constData());
            return false;
        }
    }
    return true;
}

} // namespace

struct VelObjectConnections {
    static VelObject::Connection add(const std::shared_ptr<VelConnectionPrivate> &c, bool unique)
    {
        {
            std::lock_guard<std::mutex> lock(velConnectionMutex());
            auto &list = VelObjectPrivate::get(c->sender)->outgoing[c->signalIndex];
            if (unique && c->methodIndex >= 0) {
                for (const auto &existing : list) {
                    if (existing->receiver == c->receiver &&
                        existing->methodIndex == c->methodIndex)
                        return VelObject::Connection();
                }
            }
            list.push_back(c);
            if (c->receiver)
                VelObjectPrivate::get(c->receiver)->incoming.push_back(c);
        }
        c->sender->connectNotify(c->sender->metaObject()->method(c->signalIndex));
        return VelObject::Connection(c);
    }
};

VelObject::Connection VelObject::connect(const VelObject *sender, const char *signal,
                                         const VelObject *receiver, const char *member,
                                         Vel::ConnectionType type)
{
    if (!sender || !receiver || !signal || !member) {
        velWarning("VelObject::connect: cannot connect %s::%s to %s::%s", classNameOf(sender),
                   signal ? signal + 1 : "(null)", classNameOf(receiver),
                   member ? member + 1 : "(null)");
        return Connection();
    }
    if (signal[0] != '2') {
        velWarning("VelObject::connect: use the SIGNAL macro to bind %s::%s", classNameOf(sender),
                   signal);
        return Connection();
    }
    const VelByteArray signalSignature = VelMetaObject::normalizedSignature(signal + 1);
    const int signalIndex = sender->metaObject()->indexOfSignal(signalSignature.constData());
    if (signalIndex < 0) {
        velWarning("VelObject::connect: no such signal %s::%s", classNameOf(sender),
                   signalSignature.constData());
        return Connection();
    }
    const VelByteArray memberSignature = VelMetaObject::normalizedSignature(member + 1);
    int methodIndex = -1;
    if (member[0] == '1')
        methodIndex = receiver->metaObject()->indexOfMethod(memberSignature.constData());
    else if (member[0] == '2')
        methodIndex = receiver->metaObject()->indexOfSignal(memberSignature.constData());
    else {
        velWarning("VelObject::connect: use the SLOT or SIGNAL macro to connect %s::%s",
                   classNameOf(receiver), member);
        return Connection();
    }
    if (methodIndex < 0) {
        velWarning("VelObject::connect: no such %s %s::%s", member[0] == '1' ? "slot" : "signal",
                   classNameOf(receiver), memberSignature.constData());
        return Connection();
    }
    if (!VelMetaObject::checkConnectArgs(signalSignature.constData(),
                                         memberSignature.constData())) {
        velWarning("VelObject::connect: incompatible sender/receiver arguments %s::%s --> %s::%s",
                   classNameOf(sender), signalSignature.constData(), classNameOf(receiver),
                   memberSignature.constData());
        return Connection();
    }
    return connect(sender, sender->metaObject()->method(signalIndex), receiver,
                   receiver->metaObject()->method(methodIndex), type);
}

VelObject::Connection VelObject::connect(const VelObject *sender, const VelMetaMethod &signal,
                                         const VelObject *receiver, const VelMetaMethod &method,
                                         Vel::ConnectionType type)
{
    if (!sender || !receiver || !signal.isValid() || !method.isValid() ||
        signal.methodType() != VelMetaMethod::Signal) {
        velWarning("VelObject::connect: invalid sender, receiver, signal or method");
        return Connection();
    }
    auto c = makeConnection(sender, signal.methodIndex(), receiver, type);
    c->methodIndex = method.methodIndex();
    if (!checkQueuedTypes(*c))
        return Connection();
    return VelObjectConnections::add(c, (type & Vel::UniqueConnection) != 0);
}

VelObject::Connection VelObject::connectImpl(const VelObject *sender, int signalIndex,
                                             const VelObject *receiver,
                                             std::unique_ptr<VelSlotObjectBase> slot,
                                             Vel::ConnectionType type)
{
    if (!sender) {
        velWarning("VelObject::connect: no sender");
        return Connection();
    }
    if (signalIndex < 0) {
        velWarning("VelObject::connect: the signal is not declared in %s's meta-object",
                   classNameOf(sender));
        return Connection();
    }
    auto c = makeConnection(sender, signalIndex, receiver, type);
    c->slot = std::shared_ptr<VelSlotObjectBase>(std::move(slot));
    if (!checkQueuedTypes(*c))
        return Connection();
    return VelObjectConnections::add(c, false);
}

int VelObject::signalIndexFor(const VelMetaObject *metaObject,
                              const VelMetaObjectBuilder::MemberPointerBytes &bytes)
{
    return metaObject->indexOfSignalPointer(bytes);
}

bool VelObject::disconnect(const Connection &connection)
{
    const std::shared_ptr<VelConnectionPrivate> c = connection.d;
    if (!c)
        return false;
    {
        std::lock_guard<std::mutex> lock(velConnectionMutex());
        if (!c->connected.load())
            return false;
        unlinkLocked(c);
    }
    c->sender->disconnectNotify(c->sender->metaObject()->method(c->signalIndex));
    return true;
}

bool VelObject::disconnect(const VelObject *sender, const char *signal, const VelObject *receiver,
                           const char *member)
{
    if (!sender)
        return false;
    int signalIndex = -1;
    if (signal) {
        signalIndex = sender->metaObject()->indexOfSignal(
            VelMetaObject::normalizedSignature(signal + 1).constData());
        if (signalIndex < 0) {
            velWarning("VelObject::disconnect: no such signal %s::%s", classNameOf(sender),
                       signal + 1);
            return false;
        }
    }
    int methodIndex = -1;
    if (member) {
        if (!receiver)
            return false;
        methodIndex = receiver->metaObject()->indexOfMethod(
            VelMetaObject::normalizedSignature(member + 1).constData());
        if (methodIndex < 0) {
            velWarning("VelObject::disconnect: no such method %s::%s", classNameOf(receiver),
                       member + 1);
            return false;
        }
    }
    std::vector<std::shared_ptr<VelConnectionPrivate>> matched;
    {
        std::lock_guard<std::mutex> lock(velConnectionMutex());
        for (const auto &entry : sender->d->outgoing) {
            if (signalIndex >= 0 && entry.first != signalIndex)
                continue;
            for (const auto &c : entry.second) {
                if (receiver && c->receiver != receiver)
                    continue;
                if (methodIndex >= 0 && c->methodIndex != methodIndex)
                    continue;
                matched.push_back(c);
            }
        }
        for (const auto &c : matched)
            unlinkLocked(c);
    }
    for (const auto &c : matched)
        c->sender->disconnectNotify(c->sender->metaObject()->method(c->signalIndex));
    return !matched.empty();
}

void VelMetaObject::activate(VelObject *sender, int signalIndex, void **argv)
{
    if (!sender || signalIndex < 0)
        return;
    VelObjectPrivate *sd = VelObjectPrivate::get(sender);
    if (sd->blockSignals)
        return;
    std::vector<std::shared_ptr<VelConnectionPrivate>> list;
    {
        std::lock_guard<std::mutex> lock(velConnectionMutex());
        const auto it = sd->outgoing.find(signalIndex);
        if (it == sd->outgoing.end())
            return;
        list = it->second;
    }
    VelThreadData *current = VelThreadData::current();
    for (const auto &c : list) {
        bool sameThread = true;
        {
            // The receiver cannot finish its destruction while the lock is
            // held: it disconnects under the same lock.
            std::lock_guard<std::mutex> lock(velConnectionMutex());
            if (!c->connected.load())
                continue;
            if (c->receiver) {
                std::lock_guard<std::mutex> affinity(velAffinityMutex());
                sameThread = VelObjectPrivate::get(c->receiver)->threadData.get() == current;
            }
        }
        int type = c->type & ~Vel::UniqueConnection;
        if (type == Vel::AutoConnection)
            type = sameThread ? Vel::DirectConnection : Vel::QueuedConnection;
        if (type == Vel::QueuedConnection) {
            queueActivate(sender, signalIndex, c, argv);
            continue;
        }
        if (type == Vel::BlockingQueuedConnection) {
            if (sameThread) {
                velWarning(
                    "VelObject: dead lock detected while activating a blocking queued connection: "
                    "sender is %s(%p), receiver is %s(%p)",
                    classNameOf(sender), static_cast<void *>(sender), classNameOf(c->receiver),
                    static_cast<void *>(c->receiver));
                continue;
            }
            blockingActivate(sender, signalIndex, c, argv);
            continue;
        }
        VelSenderScope scope(c->receiver, sender, signalIndex);
        if (c->slot)
            c->slot->call(c->receiver, argv);
        else
            c->receiver->vel_metacall(VelMetaObject::InvokeMetaMethod, c->methodIndex, argv);
    }
}
