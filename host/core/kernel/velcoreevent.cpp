#include "velcoreevent.h"

#include <atomic>

VelEvent::VelEvent(Type type) : m_type(type) {}

VelEvent::~VelEvent() = default;

int VelEvent::registerEventType()
{
    // Handed out downwards from the top of the user range, as numbers just
    // above User are commonly used by hand.
    static std::atomic<int> next{MaxUser};
    const int type = next.fetch_sub(1);
    return type > User ? type : -1;
}
