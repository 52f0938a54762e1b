#ifndef VELABSTRACTFILEENGINEHANDLER_H
#define VELABSTRACTFILEENGINEHANDLER_H

#include "velglobal.h"
#include "velstring.h"

class VelAbstractFileEngine;

// A handler is asked for every file name the host opens, except ":/" names,
// on any thread and possibly on several at once; create() returns a new
// engine owned by the caller, or null to leave the name to others. The newest
// handler is asked first. create() must not construct or destroy handlers.
//
// A handler is installed for exactly as long as it is fully built: a derived
// class calls registerHandler() last in its constructor and unregisterHandler()
// first in its destructor. Registering from the base constructor would let
// another thread call create() on an object whose derived part does not exist
// yet (or no longer exists), which ends in a pure virtual call. So
// constructing a derived handler installs it and destroying it removes it.
class VelAbstractFileEngineHandler
{
public:
    VelAbstractFileEngineHandler();
    virtual ~VelAbstractFileEngineHandler();

    virtual VelAbstractFileEngine *create(const VelString &fileName) const = 0;

    // Asks the registered handlers in turn; null when none claims the name.
    static VelAbstractFileEngine *createFromHandlers(const VelString &fileName);

protected:
    // Installs the handler; harmless when called again.
    void registerHandler();
    // Takes the handler out of the registry, waiting for calls of create() in
    // progress; no call starts afterwards. Harmless when called again.
    void unregisterHandler();

private:
    VEL_DISABLE_COPY(VelAbstractFileEngineHandler)
};

#endif
