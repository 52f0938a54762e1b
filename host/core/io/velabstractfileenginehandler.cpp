#include "velabstractfileenginehandler.h"

#include <algorithm>
#include <mutex>
#include <shared_mutex>
#include <vector>

namespace
{

// Never destroyed: handlers may be made and destroyed by static objects.
struct HandlerRegistry {
    // Guards handlers. Readers hold it while calling create(), so that a
    // destroyed handler is never called. Taken alone; engines must not make
    // or destroy handlers inside create().
    std::shared_mutex lock;
    std::vector<const VelAbstractFileEngineHandler *> handlers; // oldest first
};

HandlerRegistry &registry()
{
    static HandlerRegistry *instance = new HandlerRegistry;
    return *instance;
}

} // namespace

VelAbstractFileEngineHandler::VelAbstractFileEngineHandler() = default;

void VelAbstractFileEngineHandler::registerHandler()
{
    HandlerRegistry &r = registry();
    std::unique_lock<std::shared_mutex> locker(r.lock);
    if (std::find(r.handlers.begin(), r.handlers.end(), this) == r.handlers.end())
        r.handlers.push_back(this);
}

VelAbstractFileEngineHandler::~VelAbstractFileEngineHandler()
{
    unregisterHandler();
}

void VelAbstractFileEngineHandler::unregisterHandler()
{
    HandlerRegistry &r = registry();
    std::unique_lock<std::shared_mutex> locker(r.lock);
    r.handlers.erase(std::remove(r.handlers.begin(), r.handlers.end(), this), r.handlers.end());
}

VelAbstractFileEngine *VelAbstractFileEngineHandler::createFromHandlers(const VelString &fileName)
{
    HandlerRegistry &r = registry();
    std::shared_lock<std::shared_mutex> locker(r.lock);
    for (auto it = r.handlers.rbegin(); it != r.handlers.rend(); ++it) {
        if (VelAbstractFileEngine *engine = (*it)->create(fileName))
            return engine;
    }
    return nullptr;
}
