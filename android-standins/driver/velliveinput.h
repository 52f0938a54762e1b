#ifndef VELLIVEINPUT_H
#define VELLIVEINPUT_H

#include "velinputdevice.h"
#include "velx11window.h"

#include <chrono>

// The launcher window's mouse and keyboard as the input of a phone: the left
// button is a finger (with Control held, a second finger mirrored through
// the window's centre joins it, for pinches), a finger held still is a long
// press, and keys go through the soft keyboard. Runs on the launcher's UI
// thread; tick() lets time pass for the long press.
class VelLiveInput
{
public:
    using Clock = std::chrono::steady_clock;

    // How long a finger stays within `slop` pixels before it is a long press.
    static constexpr std::chrono::milliseconds longPressTimeout{500};
    static constexpr int slop = 8;

    VelLiveInput(VelInputDevice *device, int width, int height)
        : m_device(device), m_width(width), m_height(height)
    {
    }

    void handle(const VelX11Window::Event &event, Clock::time_point now);
    void tick(Clock::time_point now);
    void resize(int width, int height);

private:
    std::vector<VelInputDevice::Point> fingers(int x, int y) const;

    VelInputDevice *m_device;
    int m_width;
    int m_height;
    bool m_pressed = false;
    bool m_twoFingers = false;
    bool m_longPressArmed = false;
    VelInputDevice::Point m_pressPoint;
    VelInputDevice::Point m_lastPoint;
    Clock::time_point m_pressTime{};
};

#endif
