#ifndef VELFONTLENDING_H
#define VELFONTLENDING_H

#include <string>

// Lends the device font directory /system/fonts to this process when the
// machine has none, without changing the machine: the process moves into a
// private mount namespace whose root is a fresh tmpfs holding the real root's
// entries (bound, recursively) plus system/fonts (bound read-only from the
// source directory). As root a mount namespace suffices; an ordinary user
// gets one inside an unprivileged user namespace that maps only their own
// user and group, where the system allows it.
//
// The namespace needs a single-threaded process, so this is the first thing
// the launcher does. The process forks: the parent stays outside, waits for
// the child, removes the empty directory the new root was mounted on and
// exits with the child's status; the child returns and goes on as the
// launcher.
namespace VelFontLending
{

inline const char deviceFontDirectory[] = "/system/fonts";

enum class Outcome {
    NotNeeded, // the directory exists with fonts in it
    Lent,      // this process (the child) now sees the fonts
    Failed     // nothing changed; the message says what to do
};

// True when `directory` holds at least one "*.ttf" file.
bool hasFonts(const std::string &directory);

Outcome lendIfMissing(const std::string &source, std::string *message);

} // namespace VelFontLending

#endif
