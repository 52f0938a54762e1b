#ifndef VELOBJECT_P_H
#define VELOBJECT_P_H

// Kernel-internal: object state, connections and queued calls.

#include "velcoreevent.h"
#include "velobject.h"
#include "velpointer.h"
#include "velthread_p.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

class VelSemaphore;

struct VelConnectionPrivate {
    VelObject *sender = nullptr;
    int signalIndex = -1;
    // Null for functor connections without a context object.
    VelObject *receiver = nullptr;
    // The receiver's method (string and meta-method connections) or -1.
    int methodIndex = -1;
    // Pointer-to-member and functor connections; shared with queued calls
    // in flight so that a disconnect does not free it under them.
    std::shared_ptr<VelSlotObjectBase> slot;
    int type = Vel::AutoConnection;
    // The signal's parameter types, for copying queued arguments.
    std::vector<int> argumentTypes;
    std::vector<VelByteArray> argumentTypeNames;
    std::atomic<bool> connected{true};
};

class VelObjectPrivate
{
public:
    VelObject *q = nullptr;
    VelObject *parent = nullptr;
    VelObjectList children;
    VelString objectName;
    // Written only on the object's thread under the affinity lock; other
    // threads read it under that lock (see VelObjectPrivate::threadDataOf).
    std::shared_ptr<VelThreadData> threadData;
    std::shared_ptr<VelObjectGuard> guard;
    std::vector<VelPointer<VelObject>> eventFilters;
    std::vector<int> timerIds;
    bool blockSignals = false;
    bool deleting = false;
    bool deleteLaterPosted = false;

    // Guarded by the connection lock.
    std::map<int, std::vector<std::shared_ptr<VelConnectionPrivate>>> outgoing;
    std::vector<std::shared_ptr<VelConnectionPrivate>> incoming;

    static VelObjectPrivate *get(const VelObject *o) { return o->d.get(); }
    // The thread data of any object, from any thread.
    static std::shared_ptr<VelThreadData> threadDataOf(const VelObject *o);
    // True when o lives in the calling thread.
    static bool livesInCurrentThread(const VelObject *o);
    static void setThreadDataRecursive(VelObject *o, const std::shared_ptr<VelThreadData> &data);
};

// The lock of every connection list. Lock order: first (before the
// affinity lock and any thread's posted-event lock).
std::mutex &velConnectionMutex();
// The lock that guards every object's thread data pointer. Lock order:
// after the connection lock, before a thread's posted-event lock.
std::mutex &velAffinityMutex();

// Posts to receiver's thread (VelCoreApplication::postEvent without the
// public header's dependencies).
void velPostEvent(VelObject *receiver, VelEvent *event, int priority = 0);

// A queued call: a slot, method or functor to run in the receiver's thread.
// For blocking calls the arguments belong to the waiting caller and the
// semaphore is released when the event is done with, delivered or not, so
// that a receiver deleted before the call ran cannot leave the caller waiting.
class VelMetaCallEvent : public VelEvent
{
public:
    // Queued: takes ownership of the copied arguments.
    VelMetaCallEvent(std::shared_ptr<VelConnectionPrivate> connection, int methodIndex,
                     std::shared_ptr<VelSlotObjectBase> slot, VelObject *sender, int signalIndex,
                     std::vector<int> types, std::vector<void *> args);
    // Blocking: the arguments are the caller's, semaphore is released at the
    // end and *ran (if given) tells the caller whether the call happened.
    VelMetaCallEvent(std::shared_ptr<VelConnectionPrivate> connection, int methodIndex,
                     std::shared_ptr<VelSlotObjectBase> slot, VelObject *sender, int signalIndex,
                     void **args, VelSemaphore *semaphore, bool *ran = nullptr);
    ~VelMetaCallEvent() override;

    void placeMetaCall(VelObject *receiver);
    bool isBlocking() const { return m_semaphore != nullptr; }

private:
    std::shared_ptr<VelConnectionPrivate> m_connection;
    int m_methodIndex;
    std::shared_ptr<VelSlotObjectBase> m_slot;
    VelObject *m_sender;
    int m_signalIndex;
    std::vector<int> m_types;
    std::vector<void *> m_ownedArgs;
    void **m_args = nullptr;
    VelSemaphore *m_semaphore = nullptr;
    bool *m_ran = nullptr;
};

// The sender seen by VelObject::sender() while a slot runs.
struct VelSenderScope {
    VelSenderScope(VelObject *receiver, VelObject *sender, int signalIndex);
    ~VelSenderScope();
    VelObject *previousReceiver;
    VelObject *previousSender;
    int previousSignal;
};

#endif
