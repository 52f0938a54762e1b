#ifndef VELABSTRACTFILEENGINEHANDLER_H
#define VELABSTRACTFILEENGINEHANDLER_H

#include "velglobal.h"
#include "velstring.h"

class VelAbstractFileEngine;

// Constructing a handler registers it with the host; destroying it
// unregisters it (waiting for calls of create() in progress on other threads).
// create() is asked for every file name the host opens, except ":/" names, on
// any thread and possibly on several at once; it returns a new engine owned by
// the caller, or null to leave the name to others. The newest handler is asked
// first. create() must not construct or destroy handlers. The base
// unregisters only after a derived destructor ran, so a derived handler whose
// create() uses members must not be destroyed while other threads may still
// open files through it.
class VelAbstractFileEngineHandler
{
public:
    VelAbstractFileEngineHandler();
    virtual ~VelAbstractFileEngineHandler();

    virtual VelAbstractFileEngine *create(const VelString &fileName) const = 0;

    // Asks the registered handlers in turn; null when none claims the name.
    static VelAbstractFileEngine *createFromHandlers(const VelString &fileName);

private:
    VEL_DISABLE_COPY(VelAbstractFileEngineHandler)
};

#endif
