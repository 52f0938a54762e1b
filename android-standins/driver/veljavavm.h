#ifndef VELJAVAVM_H
#define VELJAVAVM_H

#include <jni.h>

#include <string>
#include <vector>

// The process's one Java VM. A VM can be created only once per process (even
// after it was destroyed), so this is a process-wide singleton.
class VelJavaVm
{
public:
    struct Options {
        std::vector<std::string> classPath;
        std::string libraryPath;
        std::vector<std::string> extraOptions; // e.g. "-Dvel.android.sdk=15"
    };

    // Creates the VM; false (with error set) when one exists already or the
    // VM refuses the options.
    static bool create(const Options &options, std::string *error);
    static bool exists();
    static JavaVM *vm();

    // The calling thread's environment; threads the VM does not know yet are
    // attached as daemons for the rest of their life. Null without a VM.
    static JNIEnv *env();

    // Detaches the calling thread if it is attached; native threads that
    // used env() call this before they end.
    static void detachCurrentThread();

    // Waits for the VM's non-daemon threads and destroys it.
    static bool destroy();
};

#endif
