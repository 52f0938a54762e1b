#include "androidjnimodules.h"

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
    VelAndroidInput::registerNatives,
    VelAndroidClipboard::registerNatives,
    VelAndroidMenu::registerNatives,
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

bool registerAccessibilityAgain(JNIEnv *)
{
    // No accessibility bridge is part of the plugin yet, so there is nothing
    // to register a second time.
    return true;
}

} // namespace VelAndroidBridgeModules
