#ifndef VELPROCESSFIGURES_H
#define VELPROCESSFIGURES_H

#include <string>

// What the kernel says about this process: resident memory, threads and open
// file descriptors. Figures that cannot be read are -1.
struct VelProcessFigures {
    long residentKib = -1;
    long threads = -1;
    long openFiles = -1;

    static VelProcessFigures current();

    // The parsers behind current(), for the text of /proc/self/statm and
    // /proc/self/status; -1 for text that does not hold the figure.
    static long residentKibFromStatm(const std::string &statm, long pageSize);
    static long threadsFromStatus(const std::string &status);
};

#endif
