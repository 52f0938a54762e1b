#ifndef VELGENERICUNIXEVENTDISPATCHER_H
#define VELGENERICUNIXEVENTDISPATCHER_H

class VelAbstractEventDispatcher;

// A new GUI-thread dispatcher without a parent; the caller owns it (the GUI application
// installs it on its thread).
VelAbstractEventDispatcher *createUnixEventDispatcher();

#endif
