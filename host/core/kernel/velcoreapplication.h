#ifndef VELCOREAPPLICATION_H
#define VELCOREAPPLICATION_H

#include "veleventloop.h"
#include "velnamespace.h"
#include "velobject.h"
#include "velstring.h"

#include <functional>

class VelAbstractEventDispatcher;
class VelEvent;

// Translates (context, source text, disambiguation, n); returns an empty
// string when it has no translation.
using VelTranslateFunction = std::function<VelString(const char *context, const char *sourceText,
                                                     const char *disambiguation, int n)>;

// The application object: the main thread's event loop and the event
// delivery of the whole process.
class VelCoreApplication : public VelObject
{
    VEL_OBJECT
public:
    VelCoreApplication(int &argc, char **argv);
    ~VelCoreApplication() override;

    static VelCoreApplication *instance();

    // Synchronous delivery through the filters; the event is not spontaneous.
    static bool sendEvent(VelObject *receiver, VelEvent *event);
    // Synchronous delivery of window-system input: marks the event spontaneous.
    static bool sendSpontaneousEvent(VelObject *receiver, VelEvent *event);
    // Queues the event (taking ownership) for receiver's thread.
    static void postEvent(VelObject *receiver, VelEvent *event,
                          int priority = Vel::NormalEventPriority);
    // Delivers the calling thread's posted events now: for receiver (all when
    // null) and of type (all when 0).
    static void sendPostedEvents(VelObject *receiver = nullptr, int eventType = 0);
    static void removePostedEvents(VelObject *receiver, int eventType = 0);
    static bool hasPendingEvents();

    static void processEvents(VelEventLoop::ProcessEventsFlags flags = VelEventLoop::AllEvents);
    // Runs the main loop; returns exit()'s code.
    static int exec();
    // Makes every running loop of the main thread return.
    static void exit(int returnCode = 0);
    static void quit() { exit(0); }

    static VelStringList arguments();
    static VelString applicationFilePath();
    static VelString applicationDirPath();
    static VelString applicationName();
    static void setApplicationName(const VelString &name);

    // The source text unless an installed translator answers.
    static VelString translate(const char *context, const char *sourceText,
                               const char *disambiguation = nullptr, int n = -1);
    static void installTranslator(VelTranslateFunction translator);
    static void removeTranslators();

    // The main thread's dispatcher; install before exec() runs.
    static VelAbstractEventDispatcher *eventDispatcher();
    static void setEventDispatcher(VelAbstractEventDispatcher *dispatcher);

    // Runs the application and receiver event filters, then receiver->event().
    virtual bool notify(VelObject *receiver, VelEvent *event);

    // signal
    void aboutToQuit();

protected:
    bool event(VelEvent *event) override;

private:
    friend class VelThreadData;
    // Delivery used with or without an application object.
    static bool notifyInternal(VelObject *receiver, VelEvent *event);
    static bool deliverThroughFilters(VelObject *receiver, VelEvent *event);

    int &m_argc;
    char **m_argv;
};

// The number of posted events waiting in the calling thread's queue.
int velGlobalPostedEventsCount();

#endif
