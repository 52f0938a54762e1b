#include "velcoreapplication.h"

#include "velabstracteventdispatcher.h"
#include "velcoreevent.h"
#include "vellogging.h"
#include "velobject_p.h"
#include "velthread.h"
#include "velthread_p.h"

#include <atomic>
#include <climits>
#include <mutex>
#include <unistd.h>
#include <vector>

VEL_META_BEGIN(VelCoreApplication, VelObject)
VEL_META_SIGNAL(aboutToQuit)
VEL_META_SLOT(quit)
VEL_META_END

namespace
{

std::atomic<VelCoreApplication *> appInstance{nullptr};

// The main thread: the application object's, or the first thread that
// asked before one existed.
std::shared_ptr<VelThreadData> &mainThreadData()
{
    static std::shared_ptr<VelThreadData> *data = new std::shared_ptr<VelThreadData>;
    return *data;
}

// Guards mainThreadData() and the translator list; a leaf lock.
std::mutex &appMutex()
{
    static std::mutex *mutex = new std::mutex;
    return *mutex;
}

std::vector<VelTranslateFunction> &translators()
{
    static std::vector<VelTranslateFunction> *list = new std::vector<VelTranslateFunction>;
    return *list;
}

VelString applicationName_;

std::shared_ptr<VelThreadData> mainData()
{
    std::lock_guard<std::mutex> lock(appMutex());
    if (!mainThreadData())
        mainThreadData() = VelThreadData::currentShared();
    return mainThreadData();
}

// Keeps the depth of event delivery of the thread for deferred deletion.
struct ScopeLevel {
    explicit ScopeLevel(VelThreadData *data) : data(data) { ++data->scopeLevel; }
    ~ScopeLevel() { --data->scopeLevel; }
    VelThreadData *data;
};

} // namespace

void velPostEvent(VelObject *receiver, VelEvent *event, int priority)
{
    VelCoreApplication::postEvent(receiver, event, priority);
}

int velGlobalPostedEventsCount()
{
    return VelThreadData::current()->postedEventCount();
}

VelCoreApplication::VelCoreApplication(int &argc, char **argv)
    : VelObject(nullptr), m_argc(argc), m_argv(argv)
{
    VelCoreApplication *expected = nullptr;
    if (!appInstance.compare_exchange_strong(expected, this))
        velWarning("VelCoreApplication: there should be only one application object");
    std::lock_guard<std::mutex> lock(appMutex());
    mainThreadData() = VelObjectPrivate::threadDataOf(this);
}

VelCoreApplication::~VelCoreApplication()
{
    // Objects handed to deleteLater go before the dispatcher does.
    VelThreadData *data = VelObjectPrivate::threadDataOf(this).get();
    data->sendPostedEvents(nullptr, VelEvent::DeferredDelete);
    VelCoreApplication *self = this;
    appInstance.compare_exchange_strong(self, nullptr);
    data->destroyDispatcher();
}

VelCoreApplication *VelCoreApplication::instance()
{
    return appInstance.load();
}

bool VelCoreApplication::sendEvent(VelObject *receiver, VelEvent *event)
{
    if (!event)
        return false;
    event->m_spontaneous = false;
    return notifyInternal(receiver, event);
}

bool VelCoreApplication::sendSpontaneousEvent(VelObject *receiver, VelEvent *event)
{
    if (!event)
        return false;
    event->m_spontaneous = true;
    return notifyInternal(receiver, event);
}

bool VelCoreApplication::notifyInternal(VelObject *receiver, VelEvent *event)
{
    if (!receiver) {
        velWarning("VelCoreApplication::sendEvent: unexpected null receiver");
        return false;
    }
    VelThreadData *current = VelThreadData::current();
    if (VelObjectPrivate::threadDataOf(receiver).get() != current) {
        velWarning("VelCoreApplication::sendEvent: cannot send events to objects owned by a "
                   "different thread "
                   "(receiver %s(%p), event type %d)",
                   receiver->metaObject()->className(), static_cast<void *>(receiver),
                   int(event->type()));
        return false;
    }
    ScopeLevel scope(current);
    if (VelCoreApplication *app = instance())
        return app->notify(receiver, event);
    return deliverThroughFilters(receiver, event);
}

bool VelCoreApplication::notify(VelObject *receiver, VelEvent *event)
{
    return deliverThroughFilters(receiver, event);
}

bool VelCoreApplication::deliverThroughFilters(VelObject *receiver, VelEvent *event)
{
    // Filters run on copies of the lists: a filter may remove itself or
    // others while it runs.
    VelCoreApplication *app = instance();
    if (app && receiver != app &&
        VelObjectPrivate::get(receiver)->threadData == VelObjectPrivate::get(app)->threadData) {
        const std::vector<VelPointer<VelObject>> filters = VelObjectPrivate::get(app)->eventFilters;
        for (const VelPointer<VelObject> &f : filters) {
            if (VelObject *filter = f.data()) {
                if (filter->eventFilter(receiver, event))
                    return true;
            }
        }
    }
    const std::vector<VelPointer<VelObject>> filters =
        VelObjectPrivate::get(receiver)->eventFilters;
    for (const VelPointer<VelObject> &f : filters) {
        if (VelObject *filter = f.data()) {
            if (filter->eventFilter(receiver, event))
                return true;
        }
    }
    return receiver->event(event);
}

void VelCoreApplication::postEvent(VelObject *receiver, VelEvent *event, int priority)
{
    if (!event)
        return;
    if (!receiver) {
        velWarning("VelCoreApplication::postEvent: unexpected null receiver");
        delete event;
        return;
    }
    event->m_spontaneous = false;
    event->m_posted = true;
    // Held while posting so that the receiver cannot change threads between
    // the look-up and the queueing.
    std::lock_guard<std::mutex> lock(velAffinityMutex());
    VelObjectPrivate::get(receiver)->threadData->post(receiver, event, priority);
}

void VelCoreApplication::sendPostedEvents(VelObject *receiver, int eventType)
{
    VelThreadData *current = VelThreadData::current();
    if (receiver && VelObjectPrivate::threadDataOf(receiver).get() != current) {
        velWarning("VelCoreApplication::sendPostedEvents: cannot send posted events for objects in "
                   "another "
                   "thread");
        return;
    }
    current->sendPostedEvents(receiver, eventType);
}

void VelCoreApplication::removePostedEvents(VelObject *receiver, int eventType)
{
    if (receiver)
        VelObjectPrivate::threadDataOf(receiver)->removePostedEvents(receiver, eventType);
}

bool VelCoreApplication::hasPendingEvents()
{
    return VelThreadData::current()->hasDeliverablePostedEvents();
}

void VelCoreApplication::processEvents(VelEventLoop::ProcessEventsFlags flags)
{
    VelThreadData::current()->ensureDispatcher()->processEvents(flags);
}

int VelCoreApplication::exec()
{
    VelCoreApplication *app = instance();
    if (!app) {
        velWarning(
            "VelCoreApplication::exec: please instantiate the VelCoreApplication object first");
        return -1;
    }
    VelThreadData *data = VelObjectPrivate::threadDataOf(app).get();
    if (data != VelThreadData::current()) {
        velWarning("VelCoreApplication::exec: must be called from the main thread");
        return -1;
    }
    data->quitNow.store(false);
    VelEventLoop loop;
    const int code = loop.exec();
    data->quitNow.store(false);
    if (instance())
        instance()->aboutToQuit();
    return code;
}

void VelCoreApplication::exit(int returnCode)
{
    VelCoreApplication *app = instance();
    if (!app)
        return;
    VelObjectPrivate::threadDataOf(app)->exitAllLoops(returnCode);
}

VelStringList VelCoreApplication::arguments()
{
    VelStringList list;
    VelCoreApplication *app = instance();
    if (!app)
        return list;
    for (int i = 0; i < app->m_argc; ++i)
        list << VelString::fromLocal8Bit(app->m_argv[i] ? app->m_argv[i] : "");
    return list;
}

VelString VelCoreApplication::applicationFilePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return VelString();
    return VelString::fromLocal8Bit(buffer, int(n));
}

VelString VelCoreApplication::applicationDirPath()
{
    const VelString file = applicationFilePath();
    const int slash = file.lastIndexOf(VelChar(u'/'));
    if (slash < 0)
        return VelString();
    return slash == 0 ? VelString("/") : file.left(slash);
}

VelString VelCoreApplication::applicationName()
{
    std::lock_guard<std::mutex> lock(appMutex());
    if (!applicationName_.isEmpty())
        return applicationName_;
    VelCoreApplication *app = instance();
    if (app && app->m_argc > 0 && app->m_argv[0]) {
        const VelString first = VelString::fromLocal8Bit(app->m_argv[0]);
        return first.mid(first.lastIndexOf(VelChar(u'/')) + 1);
    }
    return VelString();
}

void VelCoreApplication::setApplicationName(const VelString &name)
{
    std::lock_guard<std::mutex> lock(appMutex());
    applicationName_ = name;
}

VelString VelCoreApplication::translate(const char *context, const char *sourceText,
                                        const char *disambiguation, int n)
{
    if (!sourceText)
        return VelString();
    std::vector<VelTranslateFunction> list;
    {
        std::lock_guard<std::mutex> lock(appMutex());
        list = translators();
    }
    VelString result;
    // The most recently installed translator is asked first.
    for (auto it = list.rbegin(); it != list.rend() && result.isEmpty(); ++it)
        result = (*it)(context, sourceText, disambiguation, n);
    if (result.isEmpty())
        result = VelString::fromUtf8(sourceText);
    if (n >= 0)
        result.replace(VelString("%n"), VelString::number((long long)n));
    return result;
}

void VelCoreApplication::installTranslator(VelTranslateFunction translator)
{
    if (!translator)
        return;
    std::lock_guard<std::mutex> lock(appMutex());
    translators().push_back(std::move(translator));
}

void VelCoreApplication::removeTranslators()
{
    std::lock_guard<std::mutex> lock(appMutex());
    translators().clear();
}

VelAbstractEventDispatcher *VelCoreApplication::eventDispatcher()
{
    return mainData()->dispatcher();
}

void VelCoreApplication::setEventDispatcher(VelAbstractEventDispatcher *dispatcher)
{
    mainData()->setDispatcher(dispatcher);
}

bool VelCoreApplication::event(VelEvent *e)
{
    if (e->type() == VelEvent::Quit) {
        quit();
        return true;
    }
    return VelObject::event(e);
}

void VelCoreApplication::aboutToQuit()
{
    VEL_EMIT(aboutToQuit);
}
