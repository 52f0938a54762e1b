#ifndef VELJNIREFERENCECOUNTER_H
#define VELJNIREFERENCECOUNTER_H

#include <jni.h>
#include <jvmti.h>

// Counts the JNI references alive in the Java VM, as its garbage collector
// sees them: the heap walk of the VM's tool interface (JVMTI) reports every
// strong JNI global reference and every JNI local reference of every thread
// as a root of its own. Whoever made them (the plugin, the driver, the VM's
// own native code) is counted, so a figure that grows run after run is a
// reference that nobody deletes. Weak global references are not counted.
class VelJniReferenceCounter
{
public:
    struct Counts {
        long globals = -1; // -1: not available
        long locals = -1;
    };

    VelJniReferenceCounter() = default;
    ~VelJniReferenceCounter();
    VelJniReferenceCounter(const VelJniReferenceCounter &) = delete;
    VelJniReferenceCounter &operator=(const VelJniReferenceCounter &) = delete;

    // Obtains a tool-interface environment from the VM with the one
    // capability the heap walk needs. False (with the reason) when the VM
    // offers neither.
    bool attach(JavaVM *vm, const char **error);
    bool attached() const { return m_jvmti != nullptr; }

    // Walks the roots (not the heap behind them); both -1 when not attached
    // or the walk failed. One thread at a time: the walk's tally is
    // process-wide.
    Counts count() const;

private:
    jvmtiEnv *m_jvmti = nullptr;
};

#endif
