#ifndef VELPROCESS_H
#define VELPROCESS_H

#include "velstring.h"

#include <sys/types.h>

class VelProcess
{
public:
    // Starts the program detached from this process (a new session, not a
    // child of ours, never waited for). Returns true only when the program
    // really started: a program that cannot be found or executed gives false.
    // A program name without '/' is looked up on PATH. On success *pid (when
    // given) receives the new process id.
    static bool startDetached(const VelString &program, const VelStringList &arguments,
                              velint64 *pid = nullptr);
    // Splits the command line (see splitCommand) into the program and its
    // arguments and starts it detached.
    static bool startDetached(const VelString &commandLine);

    // Blanks (spaces, tabs) separate arguments. A double quote starts or ends
    // a quoted part, in which blanks are kept; the quotes themselves are
    // removed, and "" inside a quoted part stands for one literal quote.
    static VelStringList splitCommand(const VelString &commandLine);
};

#endif
