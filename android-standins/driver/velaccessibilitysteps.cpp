#include "velaccessibilitysteps.h"

#include "velandroiddriver.h"
#include "velinputscript.h"

#include <cstdio>

namespace
{

const char walkerClass[] = "org/vel/android/accessibility/VelAccessibilityWalker";

bool fail(std::string *error, const std::string &message)
{
    if (error)
        *error = message;
    return false;
}

bool print(const std::string &text)
{
    std::fputs(text.c_str(), stdout);
    if (text.empty() || text.back() != '\n')
        std::fputc('\n', stdout);
    std::fflush(stdout);
    return true;
}

bool dumpStep(VelInputScript::Host &host, const VelInputScript::Step &step, std::string *error)
{
    std::string tree;
    if (!VelInputScript::argumentCount(step, 0, 0, error) ||
        !VelAccessibilitySteps::dump(host.driver(), &tree, error))
        return false;
    return print(tree);
}

bool clickStep(VelInputScript::Host &host, const VelInputScript::Step &step, std::string *error)
{
    std::string line;
    if (!VelAccessibilitySteps::click(host.driver(), step.text, &line, error))
        return false;
    return print(step.verb + ": " + line);
}

} // namespace

namespace VelAccessibilitySteps
{

bool dump(VelAndroidDriver &driver, std::string *out, std::string *error)
{
    if (!driver.callStaticString(walkerClass, "dump", "()Ljava/lang/String;", {}, out))
        return fail(error, "accessibility dump failed: " + driver.lastError());
    return true;
}

bool click(VelAndroidDriver &driver, const std::string &target, std::string *out,
           std::string *error)
{
    if (target.empty())
        return fail(error, "a11y: no node named");
    jstring text = driver.newString(target);
    if (!text)
        return fail(error, "a11y: " + driver.lastError());
    jvalue arg;
    arg.l = text;
    bool notFound = false;
    const bool called = driver.callStaticString(
        walkerClass, "click", "(Ljava/lang/String;)Ljava/lang/String;", {arg}, out, &notFound);
    driver.env()->DeleteLocalRef(text);
    if (!called)
        return fail(error, "accessibility click failed: " + driver.lastError());
    if (notFound)
        return fail(error, "a11y: no node named '" + target + "'");
    return true;
}

void registerVerbs()
{
    VelInputScript::registerVerb("a11y-dump", dumpStep);
    VelInputScript::registerVerb("a11y-click", clickStep);
    VelInputScript::registerVerb("a11y-toggle", clickStep);
}

} // namespace VelAccessibilitySteps
