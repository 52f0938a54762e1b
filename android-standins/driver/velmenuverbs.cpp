#include "velmenuverbs.h"

#include "velinputscript.h"
#include "velmenupresenterclient.h"

#include <chrono>

namespace
{

using Host = VelInputScript::Host;
using Step = VelInputScript::Step;
using Clock = std::chrono::steady_clock;

// How long choose waits for a menu holding the title: the app pops its menus
// up on its own thread, after the input that asked for them.
constexpr std::chrono::milliseconds chooseWait(10000);
constexpr std::chrono::milliseconds pollInterval(50);

void printShown(VelMenuPresenterClient &menus)
{
    for (const std::string &shown : menus.processRequests())
        velPrintMenuReport(shown);
}

bool menuVerb(Host &host, const Step &step, std::string *error)
{
    if (!VelInputScript::argumentCount(step, 0, 0, error))
        return false;
    VelMenuPresenterClient menus(&host.driver());
    printShown(menus);
    std::string description;
    if (!menus.openOptionsMenu(&description)) {
        *error = menus.lastError().empty() ? "the app has no options menu" : menus.lastError();
        return false;
    }
    velPrintMenuReport(description);
    return true;
}

bool chooseVerb(Host &host, const Step &step, std::string *error)
{
    if (step.text.empty()) {
        *error = "choose needs the title of an item";
        return false;
    }
    VelMenuPresenterClient menus(&host.driver());
    const Clock::time_point until = Clock::now() + chooseWait;
    for (;;) {
        printShown(menus);
        std::string outcome;
        if (menus.choose(step.text, &outcome)) {
            velPrintMenuReport(outcome);
            // The choice may have asked for another menu (a submenu).
            printShown(menus);
            return true;
        }
        if (!menus.lastError().empty()) {
            *error = menus.lastError();
            return false;
        }
        if (Clock::now() >= until) {
            *error = "no shown menu has an item \"" + step.text + "\"";
            return false;
        }
        if (!host.idle(pollInterval)) {
            *error = "the app ended";
            return false;
        }
    }
}

} // namespace

void velRegisterMenuVerbs()
{
    VelInputScript::registerVerb("menu", menuVerb);
    VelInputScript::registerVerb("choose", chooseVerb);
}
