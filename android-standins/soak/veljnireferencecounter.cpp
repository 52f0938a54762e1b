#include "veljnireferencecounter.h"

namespace
{

jint JNICALL countRoot(jvmtiHeapReferenceKind kind, const jvmtiHeapReferenceInfo *, jlong, jlong,
                       jlong, jlong *, jlong *, jint, void *userData)
{
    auto *counts = static_cast<VelJniReferenceCounter::Counts *>(userData);
    if (kind == JVMTI_HEAP_REFERENCE_JNI_GLOBAL)
        ++counts->globals;
    else if (kind == JVMTI_HEAP_REFERENCE_JNI_LOCAL)
        ++counts->locals;
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
    Counts counted;
    counted.globals = 0;
    counted.locals = 0;
    jvmtiHeapCallbacks callbacks = {};
    callbacks.heap_reference_callback = &countRoot;
    if (m_jvmti->FollowReferences(0, nullptr, nullptr, &callbacks, &counted) != JVMTI_ERROR_NONE)
        return Counts();
    return counted;
}
