#include "velservicesverbs.h"

#include "velinputscript.h"
#include "vellaunchoptions.h"
#include "velservicescontrol.h"

#include <chrono>
#include <cstdio>

namespace
{

using Step = VelInputScript::Step;
using Host = VelInputScript::Host;

// How long `dialog` waits for the app to show a message dialog.
constexpr std::chrono::milliseconds dialogWait(10000);
constexpr std::chrono::milliseconds pollInterval(50);

bool dialogVerb(Host &host, const Step &step, std::string *error)
{
    if (step.text.empty()) {
        *error = "dialog wants a button";
        return false;
    }
    VelServicesControl::Dialog dialog;
    auto waited = std::chrono::milliseconds(0);
    while (!VelServicesControl::showingDialog(&dialog)) {
        if (waited >= dialogWait) {
            *error = "no message dialog is showing";
            return false;
        }
        if (!host.idle(pollInterval)) {
            *error = "the app ended";
            return false;
        }
        waited += pollInterval;
    }
    if (!VelServicesControl::answerShowingDialog(step.text)) {
        std::string labels;
        for (const std::string &label : dialog.buttonLabels)
            labels += " [" + label + "]";
        *error = "the message dialog has no button \"" + step.text + "\"; it has" + labels;
        return false;
    }
    return true;
}

bool clipboardSetVerb(Host &, const Step &step, std::string *error)
{
    if (!VelServicesControl::setClipboardText(step.text)) {
        *error = "the clipboard did not take the text";
        return false;
    }
    return true;
}

bool clipboardPrintVerb(Host &, const Step &step, std::string *error)
{
    if (!VelInputScript::argumentCount(step, 0, 0, error))
        return false;
    std::string text;
    const bool hasText = VelServicesControl::clipboardText(&text);
    std::printf("clipboard: %s\n", hasText ? text.c_str() : "(empty)");
    std::fflush(stdout);
    return true;
}

bool localeVerb(Host &host, const Step &step, std::string *error)
{
    if (!VelInputScript::argumentCount(step, 1, 1, error))
        return false;
    if (!VelLaunchOptions::validLocaleTag(step.words[0])) {
        *error = "locale wants a tag like de_CH, de-CH or de, not '" + step.words[0] + "'";
        return false;
    }
    return VelServicesControl::changeLocale(host.driver(), step.words[0], error);
}

} // namespace

void velRegisterServicesVerbs()
{
    VelInputScript::registerVerb("dialog", dialogVerb);
    VelInputScript::registerVerb("clipboard-set", clipboardSetVerb);
    VelInputScript::registerVerb("clipboard-print", clipboardPrintVerb);
    VelInputScript::registerVerb("locale", localeVerb);
}
