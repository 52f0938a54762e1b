#include "veljavavm.h"

#include <mutex>

namespace
{

// Guards javaVm and vmCreatedOnce. Taken alone.
std::mutex vmMutex;
JavaVM *javaVm = nullptr;
bool vmCreatedOnce = false;

std::string joinClassPath(const std::vector<std::string> &entries)
{
    std::string result;
    for (const std::string &entry : entries) {
        if (entry.empty())
            continue;
        if (!result.empty())
            result += ':';
        result += entry;
    }
    return result;
}

} // namespace

bool VelJavaVm::create(const Options &options, std::string *error)
{
    std::lock_guard<std::mutex> lock(vmMutex);
    if (vmCreatedOnce) {
        if (error)
            *error = "a Java VM was already created in this process";
        return false;
    }
    std::vector<std::string> texts;
    texts.push_back("-Djava.class.path=" + joinClassPath(options.classPath));
    if (!options.libraryPath.empty())
        texts.push_back("-Djava.library.path=" + options.libraryPath);
    // The VM must not take over the signals of the process it is embedded
    // in, and a small serial collector suits a two-core machine.
    texts.push_back("-Xrs");
    texts.push_back("-XX:+UseSerialGC");
    texts.push_back("-XX:TieredStopAtLevel=1");
    for (const std::string &extra : options.extraOptions)
        texts.push_back(extra);

    std::vector<JavaVMOption> vmOptions(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        vmOptions[i].optionString = const_cast<char *>(texts[i].c_str());
        vmOptions[i].extraInfo = nullptr;
    }
    JavaVMInitArgs args;
    args.version = JNI_VERSION_1_8;
    args.nOptions = static_cast<jint>(vmOptions.size());
    args.options = vmOptions.data();
    args.ignoreUnrecognized = JNI_FALSE;

    JavaVM *vm = nullptr;
    JNIEnv *env = nullptr;
    vmCreatedOnce = true;
    const jint result = JNI_CreateJavaVM(&vm, reinterpret_cast<void **>(&env), &args);
    if (result != JNI_OK) {
        if (error)
            *error = "JNI_CreateJavaVM failed with " + std::to_string(result);
        return false;
    }
    javaVm = vm;
    return true;
}

bool VelJavaVm::exists()
{
    std::lock_guard<std::mutex> lock(vmMutex);
    return javaVm != nullptr;
}

JavaVM *VelJavaVm::vm()
{
    std::lock_guard<std::mutex> lock(vmMutex);
    return javaVm;
}

JNIEnv *VelJavaVm::env()
{
    JavaVM *vm = VelJavaVm::vm();
    if (!vm)
        return nullptr;
    JNIEnv *env = nullptr;
    if (vm->GetEnv(reinterpret_cast<void **>(&env), JNI_VERSION_1_6) == JNI_OK)
        return env;
    if (vm->AttachCurrentThreadAsDaemon(reinterpret_cast<void **>(&env), nullptr) != JNI_OK)
        return nullptr;
    return env;
}

void VelJavaVm::detachCurrentThread()
{
    JavaVM *vm = VelJavaVm::vm();
    JNIEnv *env = nullptr;
    if (vm && vm->GetEnv(reinterpret_cast<void **>(&env), JNI_VERSION_1_6) == JNI_OK)
        vm->DetachCurrentThread();
}

bool VelJavaVm::destroy()
{
    JavaVM *vm = nullptr;
    {
        std::lock_guard<std::mutex> lock(vmMutex);
        vm = javaVm;
        javaVm = nullptr;
    }
    return vm && vm->DestroyJavaVM() == JNI_OK;
}
