#include "androidjnimodules.h"

#include "androidjniaccessibility.h"

namespace
{

using ModuleRegistration = bool (*)(JNIEnv *);

// Each bridge module adds its registerNatives here, in load order, as it joins
// the plugin.
constexpr ModuleRegistration moduleRegistrations[] = {
    VelAndroidAccessibility::registerNatives,
};

} // namespace

namespace VelAndroidBridgeModules
{

bool registerAll(JNIEnv *env)
{
    for (ModuleRegistration registerModule : moduleRegistrations) {
        if (registerModule && !registerModule(env))
            return false;
    }
    return true;
}

bool registerAccessibilityAgain(JNIEnv *env)
{
    return VelAndroidAccessibility::registerNatives(env);
}

} // namespace VelAndroidBridgeModules
