#ifndef VELNAMESPACE_H
#define VELNAMESPACE_H

#include "velglobal.h"

namespace Vel
{
// How a signal reaches its receiver. Automatic is direct when the receiver
// lives in the emitting thread and queued otherwise. Unique may be or-ed in:
// connect() then refuses a second identical connection.
enum ConnectionType {
    AutoConnection = 0,
    DirectConnection = 1,
    QueuedConnection = 2,
    BlockingQueuedConnection = 3,
    UniqueConnection = 0x80
};

enum TimerType { PreciseTimer = 0, CoarseTimer = 1, VeryCoarseTimer = 2 };

// Posted-event priorities: higher runs first, equal priorities keep their order.
enum EventPriority { HighEventPriority = 1, NormalEventPriority = 0, LowEventPriority = -1 };
} // namespace Vel

#endif
