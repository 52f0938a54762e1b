#ifndef VELCOREEVENT_H
#define VELCOREEVENT_H

#include "velglobal.h"

class VelObject;

// An event: a type number, an accepted flag and whether it came from the
// window system (spontaneous) rather than from the program.
class VelEvent
{
public:
    enum Type {
        None = 0,
        Timer = 1,
        MouseButtonPress = 2,
        MouseButtonRelease = 3,
        MouseButtonDblClick = 4,
        MouseMove = 5,
        KeyPress = 6,
        KeyRelease = 7,
        FocusIn = 8,
        FocusOut = 9,
        Enter = 10,
        Leave = 11,
        Paint = 12,
        Move = 13,
        Resize = 14,
        Show = 17,
        Hide = 18,
        Close = 19,
        Quit = 20,
        WindowActivate = 24,
        WindowDeactivate = 25,
        Wheel = 31,
        SockAct = 50,
        MetaCall = 43,
        DeferredDelete = 52,
        ChildAdded = 68,
        ChildRemoved = 71,
        UpdateRequest = 77,
        InputMethod = 83,
        // The system locale changed; sent to the application object.
        LocaleChange = 88,
        ThreadChange = 22,
        TouchBegin = 194,
        TouchUpdate = 195,
        TouchEnd = 196,
        TouchCancel = 209,
        Expose = 206,
        InputMethodQuery = 207,
        PlatformSurface = 217,
        User = 1000,
        MaxUser = 65535
    };

    explicit VelEvent(Type type);
    VelEvent(const VelEvent &other) = default;
    VelEvent &operator=(const VelEvent &other) = default;
    virtual ~VelEvent();

    Type type() const { return m_type; }
    // True only for input that came from the window system; sendEvent and
    // postEvent deliver events as not spontaneous.
    bool spontaneous() const { return m_spontaneous; }

    void accept() { m_accepted = true; }
    void ignore() { m_accepted = false; }
    bool isAccepted() const { return m_accepted; }
    void setAccepted(bool accepted) { m_accepted = accepted; }

    // A fresh type number above User (each call returns another one).
    static int registerEventType();

private:
    friend class VelCoreApplication;
    Type m_type;
    bool m_accepted = true;
    bool m_spontaneous = false;
    bool m_posted = false;
};

class VelTimerEvent : public VelEvent
{
public:
    explicit VelTimerEvent(int timerId) : VelEvent(Timer), m_timerId(timerId) {}
    int timerId() const { return m_timerId; }

private:
    int m_timerId;
};

class VelChildEvent : public VelEvent
{
public:
    VelChildEvent(Type type, VelObject *child) : VelEvent(type), m_child(child) {}
    VelObject *child() const { return m_child; }
    bool added() const { return type() == ChildAdded; }
    bool removed() const { return type() == ChildRemoved; }

private:
    VelObject *m_child;
};

// Posted by deleteLater(); carries the loop depth it was posted from so that
// a nested loop does not delete an object its outer loop still uses.
class VelDeferredDeleteEvent : public VelEvent
{
public:
    explicit VelDeferredDeleteEvent(int loopLevel)
        : VelEvent(DeferredDelete), m_loopLevel(loopLevel)
    {
    }
    int loopLevel() const { return m_loopLevel; }

private:
    int m_loopLevel;
};

#endif
