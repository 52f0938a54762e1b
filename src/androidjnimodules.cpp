#include "androidjnimodules.h"

#include "androidjniaccessibility.h"
#include "androidjniclipboard.h"
#include "androidjniinput.h"
#include "androidjnimenu.h"
#include "velandroidplatformdialoghelpers.h"

namespace
{

using ModuleRegistration = bool (*)(JNIEnv *);

// Each bridge module adds its registerNatives here, in load order, as it joins
// the plugin: input, clipboard, menus, accessibility, message dialogs.
constexpr ModuleRegistration moduleRegistrations[] = {
    VelAndroidInput::registerNatives,         VelAndroidClipboard::registerNatives,
    VelAndroidMenu::registerNatives,          VelAndroidAccessibility::registerNatives,
    VelAndroidDialogHelpers::registerNatives,
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
