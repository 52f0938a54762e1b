#ifndef STANDINWINDOWS_H
#define STANDINWINDOWS_H

// Inside the stand-in library only.

// The X window id of a native window that is alive, or 0 for anything else:
// the pointer is compared against the live windows and never read unless it
// is one of them, so any value (an X id passed as a window, a freed window)
// is safe to ask about.
extern "C" __attribute__((visibility("hidden"))) unsigned long
velStandinLiveWindowId(const void *window);

#endif
