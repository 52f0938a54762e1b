#include "veljnireferencecounter.h"

#include <atomic>

namespace
{

// The walk runs on the VM's own thread while the caller waits for it. The
// VM's hand-over between the two is invisible to a race detector, so the
// tally lives in static storage and is only ever touched atomically (a tally
// on the caller's stack would be written by its constructor and reused after
// the walk, outside that hand-over). One walk at a time.
std::atomic<long> walkGlobals{0};
std::atomic<long> walkLocals{0};

jint JNICALL countRoot(jvmtiHeapReferenceKind kind, const jvmtiHeapReferenceInfo *, jlong, jlong,
                       jlong, jlong *, jlong *, jint, void *)
{
    if (kind == JVMTI_HEAP_REFERENCE_JNI_GLOBAL)
        walkGlobals.fetch_add(1);
    else if (kind == JVMTI_HEAP_REFERENCE_JNI_LOCAL)
        walkLocals.fetch_add(1);
    // Roots are all that is wanted: the objects behind them are not visited,
    // which keeps a walk short whatever the size of the heap.
    return 0;
}

} // namespace

VelJniReferenceCounter::~VelJniReferenceCounter()
{
    if (m_jvmti)
        m_jvmti->DisposeEnvironment();
}

bool VelJniReferenceCounter::attach(JavaVM *vm, const char **error)
{
    if (m_jvmti)
        return true;
    if (!vm) {
        *error = "no Java VM";
        return false;
    }
    jvmtiEnv *jvmti = nullptr;
    if (vm->GetEnv(reinterpret_cast<void **>(&jvmti), JVMTI_VERSION_1_2) != JNI_OK || !jvmti) {
        *error = "the Java VM offers no tool interface";
        return false;
    }
    jvmtiCapabilities wanted = {};
    wanted.can_tag_objects = 1; // FollowReferences needs it
    if (jvmti->AddCapabilities(&wanted) != JVMTI_ERROR_NONE) {
        jvmti->DisposeEnvironment();
        *error = "the Java VM refuses the heap-walk capability";
        return false;
    }
    m_jvmti = jvmti;
    return true;
}

VelJniReferenceCounter::Counts VelJniReferenceCounter::count() const
{
    if (!m_jvmti)
        return Counts();
    walkGlobals.store(0);
    walkLocals.store(0);
    static const jvmtiHeapCallbacks callbacks = [] {
        jvmtiHeapCallbacks c = {};
        c.heap_reference_callback = &countRoot;
        return c;
    }();
    if (m_jvmti->FollowReferences(0, nullptr, nullptr, &callbacks, nullptr) != JVMTI_ERROR_NONE)
        return Counts();
    Counts counted;
    counted.globals = walkGlobals.load();
    counted.locals = walkLocals.load();
    return counted;
}
