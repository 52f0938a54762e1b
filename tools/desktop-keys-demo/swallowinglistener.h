#ifndef SWALLOWINGLISTENER_H
#define SWALLOWINGLISTENER_H

#include <string>

// A keystroke listener, the part an assistive technology plays: it registers
// with the accessibility registry on the bus at address, prints every key
// it is told about and consumes those whose text is one of swallow. Runs
// until the connection ends; returns the process exit code.
int runSwallowingListener(const std::string &address, const std::string &swallow);

#endif
