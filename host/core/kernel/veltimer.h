#ifndef VELTIMER_H
#define VELTIMER_H

#include "velobject.h"

#include <memory>

// A timer of the thread the VelTimer lives in. start() on an active timer
// restarts it (so repeated starts of a single-shot timer give one timeout);
// a zero interval fires on the next pass of the thread's event loop.
class VelTimer : public VelObject
{
    VEL_OBJECT
public:
    explicit VelTimer(VelObject *parent = nullptr);
    ~VelTimer() override;

    void setInterval(int msec);
    int interval() const { return m_interval; }
    void setSingleShot(bool singleShot) { m_singleShot = singleShot; }
    bool isSingleShot() const { return m_singleShot; }
    void setTimerType(Vel::TimerType type) { m_type = type; }
    Vel::TimerType timerType() const { return m_type; }
    bool isActive() const { return m_id > 0; }
    int timerId() const { return m_id; }
    int remainingTime() const;

    // slots
    void start();
    void start(int msec);
    void stop();

    // signal
    void timeout();

    // Calls functor once, after msec, in receiver's thread (no call if
    // receiver is destroyed first).
    template <typename F> static void singleShot(int msec, const VelObject *receiver, F functor);
    static void singleShot(int msec, const VelObject *receiver, const char *member);

protected:
    void timerEvent(VelTimerEvent *event) override;

private:
    static void singleShotImpl(int msec, const VelObject *receiver,
                               std::unique_ptr<VelSlotObjectBase> slot);

    int m_id = 0;
    int m_interval = 0;
    bool m_singleShot = false;
    Vel::TimerType m_type = Vel::CoarseTimer;
};

template <typename F> void VelTimer::singleShot(int msec, const VelObject *receiver, F functor)
{
    singleShotImpl(msec, receiver,
                   std::make_unique<VelPrivate::FunctorCall0<F>>(std::move(functor)));
}

#endif
