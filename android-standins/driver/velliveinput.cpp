#include "velliveinput.h"

#include "velinputmapping.h"

#include <X11/X.h>

#include <cstdlib>

constexpr std::chrono::milliseconds VelLiveInput::longPressTimeout;
constexpr int VelLiveInput::slop;

namespace
{

// The character a key types: XLookupString's Latin-1 byte, else the keysym's
// own code point (keysyms above 0x1000100 are Unicode characters).
unsigned int characterOf(const VelX11Window::Event &event)
{
    // X types a carriage return where Android's Enter types a line feed.
    if (event.unicode == '\r')
        return '\n';
    if (event.unicode != 0)
        return event.unicode;
    if (event.keysym >= 0x1000100 && event.keysym <= 0x110ffff)
        return static_cast<unsigned int>(event.keysym - 0x1000000);
    return 0;
}

} // namespace

std::vector<VelInputDevice::Point> VelLiveInput::fingers(int x, int y) const
{
    std::vector<VelInputDevice::Point> points{{x, y}};
    if (m_twoFingers)
        points.push_back({m_width - 1 - x, m_height - 1 - y});
    return points;
}

void VelLiveInput::resize(int width, int height)
{
    m_width = width;
    m_height = height;
}

void VelLiveInput::handle(const VelX11Window::Event &event, Clock::time_point now)
{
    switch (event.type) {
    case VelX11Window::Event::ButtonDown:
        if (event.button != 1 || m_pressed)
            break;
        m_pressed = true;
        m_twoFingers = (event.state & ControlMask) != 0;
        m_pressPoint = m_lastPoint = {event.x, event.y};
        m_pressTime = now;
        m_longPressArmed = true;
        m_device->press(fingers(event.x, event.y));
        break;
    case VelX11Window::Event::Motion:
        if (!m_pressed || !(event.state & Button1Mask))
            break;
        m_lastPoint = {event.x, event.y};
        if (std::abs(event.x - m_pressPoint.x) > slop || std::abs(event.y - m_pressPoint.y) > slop)
            m_longPressArmed = false;
        m_device->move(fingers(event.x, event.y));
        break;
    case VelX11Window::Event::ButtonUp:
        if (event.button != 1 || !m_pressed)
            break;
        m_pressed = false;
        m_longPressArmed = false;
        m_device->release(fingers(event.x, event.y));
        break;
    case VelX11Window::Event::KeyDown:
    case VelX11Window::Event::KeyUp: {
        const int key = velAndroidKeyCodeForKeysym(event.keysym);
        const int meta = velAndroidMetaForXState(event.state);
        m_device->key(event.type == VelX11Window::Event::KeyDown, key,
                      static_cast<int>(characterOf(event)), meta);
        break;
    }
    case VelX11Window::Event::Resized:
        resize(event.x, event.y);
        break;
    default:
        break;
    }
}

void VelLiveInput::tick(Clock::time_point now)
{
    if (!m_pressed || !m_longPressArmed || now - m_pressTime < longPressTimeout)
        return;
    m_longPressArmed = false;
    m_device->longPress(m_lastPoint);
}
