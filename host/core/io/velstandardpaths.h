#ifndef VELSTANDARDPATHS_H
#define VELSTANDARDPATHS_H

#include "velstring.h"

class VelStandardPaths
{
public:
    // The full path of an executable file called executableName in the
    // directories of paths (default: the PATH environment variable, split at
    // ':'), searched in order; empty when none is found. A name holding a '/'
    // is checked as it is (relative to the current directory when relative).
    static VelString findExecutable(const VelString &executableName,
                                    const VelStringList &paths = VelStringList());
    static VelString homeLocation();
};

#endif
