#include "velaccessibilitysteps.h"

#include "velandroiddriver.h"

namespace
{

const char walkerClass[] = "org/vel/android/accessibility/VelAccessibilityWalker";

bool fail(std::string *error, const std::string &message)
{
    if (error)
        *error = message;
    return false;
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

} // namespace VelAccessibilitySteps
