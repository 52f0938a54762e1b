// Proves that a sanitizer build still reports faults with the run-time options
// the Java VM needs: it starts a VM, makes it run Java code (so that the VM's
// own signal handlers are installed and used), then commits the fault named
// by its argument. CTest expects the sanitizer's report; the run passing
// without one means the options have switched the sanitizer off.

#include "veljavavm.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{

bool runSomeJava()
{
    std::string error;
    if (!VelJavaVm::create(VelJavaVm::Options(), &error)) {
        std::fprintf(stderr, "sanitizerlive: %s\n", error.c_str());
        return false;
    }
    JNIEnv *env = VelJavaVm::env();
    jclass system = env->FindClass("java/lang/System");
    jmethodID gc = system ? env->GetStaticMethodID(system, "gc", "()V") : nullptr;
    if (!gc)
        return false;
    env->CallStaticVoidMethod(system, gc);
    // A Java NullPointerException that the VM finds through its own SIGSEGV
    // handler (a call on a null receiver faults on purpose), which the
    // sanitizer must leave to it.
    jclass string = env->FindClass("java/lang/String");
    jmethodID concat =
        string ? env->GetMethodID(string, "concat", "(Ljava/lang/String;)Ljava/lang/String;")
               : nullptr;
    jstring empty = env->NewStringUTF("");
    if (!concat || !empty)
        return false;
    env->CallObjectMethod(empty, concat, nullptr);
    jthrowable thrown = env->ExceptionOccurred();
    env->ExceptionClear();
    jclass npe = env->FindClass("java/lang/NullPointerException");
    return thrown && npe && env->IsInstanceOf(thrown, npe);
}

// Out of the optimiser's sight, so that the faults below are committed.
volatile int outOfBounds = 16;
volatile int large = INT_MAX;

// Written by two threads that the VM knows, with nothing ordering them.
int unguarded = 0;

void writeFromAJavaThread()
{
    JNIEnv *env = nullptr;
    JavaVM *vm = VelJavaVm::vm();
    if (vm->AttachCurrentThread(reinterpret_cast<void **>(&env), nullptr) != JNI_OK)
        return;
    ++unguarded;
    vm->DetachCurrentThread();
}

} // namespace

int main(int argc, char **argv)
{
    const std::string fault = argc > 1 ? argv[1] : "";
    if (!runSomeJava())
        return 2;
    if (fault == "heap-overflow") {
        // Through memcpy, so that AddressSanitizer and not the object-size
        // check of UndefinedBehaviorSanitizer sees the read first.
        char *block = static_cast<char *>(std::malloc(16));
        std::memset(block, 0, 16);
        char copy[32];
        std::memcpy(copy, block, static_cast<size_t>(outOfBounds) + 1);
        std::free(block);
        return copy[0];
    }
    if (fault == "signed-overflow") {
        const int sum = large + 1;
        return sum == 0 ? 0 : 1;
    }
    if (fault == "data-race") {
        // The two writes race whatever order they run in: ThreadSanitizer
        // judges by the missing ordering, not by the timing.
        std::thread writer(writeFromAJavaThread);
        ++unguarded;
        writer.join();
        return unguarded == 2 ? 0 : 1;
    }
    std::puts("sanitizerlive: ran Java code without a fault");
    return 0;
}
