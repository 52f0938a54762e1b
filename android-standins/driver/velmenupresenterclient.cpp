#include "velmenupresenterclient.h"

#include "velandroiddriver.h"

#include <jni.h>

#include <cstdio>
#include <sstream>

namespace
{

constexpr const char *presenterClass = "org/vel/android/VelMenuPresenter";

std::string fromJava(JNIEnv *env, jstring text)
{
    if (!text)
        return std::string();
    const char *chars = env->GetStringUTFChars(text, nullptr);
    std::string result = chars ? chars : "";
    if (chars)
        env->ReleaseStringUTFChars(text, chars);
    return result;
}

// Describes and clears a pending Java exception.
bool raised(JNIEnv *env, std::string *error)
{
    if (!env->ExceptionCheck())
        return false;
    jthrowable thrown = env->ExceptionOccurred();
    env->ExceptionClear();
    jclass cls = env->GetObjectClass(thrown);
    jmethodID toString = env->GetMethodID(cls, "toString", "()Ljava/lang/String;");
    auto text = toString ? static_cast<jstring>(env->CallObjectMethod(thrown, toString)) : nullptr;
    env->ExceptionClear();
    *error = text ? fromJava(env, text) : "a Java exception";
    if (text)
        env->DeleteLocalRef(text);
    env->DeleteLocalRef(cls);
    env->DeleteLocalRef(thrown);
    return true;
}

} // namespace

bool VelMenuPresenterClient::callString(const char *name, const char *signature,
                                        const std::string *argument, std::string *result)
{
    m_lastError.clear();
    JNIEnv *env = m_driver->env();
    if (!env) {
        m_lastError = "no Java VM";
        return false;
    }
    jclass cls = env->FindClass(presenterClass);
    if (!cls) {
        raised(env, &m_lastError);
        return false;
    }
    jmethodID method = env->GetStaticMethodID(cls, name, signature);
    jstring text = nullptr;
    jstring arg = argument ? env->NewStringUTF(argument->c_str()) : nullptr;
    if (method)
        text = static_cast<jstring>(argument ? env->CallStaticObjectMethod(cls, method, arg)
                                             : env->CallStaticObjectMethod(cls, method));
    const bool failed = raised(env, &m_lastError) || !method;
    if (!method && m_lastError.empty())
        m_lastError = std::string("no method ") + name;
    *result = fromJava(env, text);
    const bool present = text != nullptr;
    if (text)
        env->DeleteLocalRef(text);
    if (arg)
        env->DeleteLocalRef(arg);
    env->DeleteLocalRef(cls);
    return !failed && present;
}

std::vector<std::string> VelMenuPresenterClient::processRequests()
{
    std::vector<std::string> shown;
    m_lastError.clear();
    JNIEnv *env = m_driver->env();
    if (!env)
        return shown;
    jclass cls = env->FindClass(presenterClass);
    if (!cls) {
        raised(env, &m_lastError);
        return shown;
    }
    jmethodID method = env->GetStaticMethodID(cls, "processRequests", "()[Ljava/lang/String;");
    auto array =
        method ? static_cast<jobjectArray>(env->CallStaticObjectMethod(cls, method)) : nullptr;
    if (!raised(env, &m_lastError) && array) {
        for (jsize i = 0; i < env->GetArrayLength(array); ++i) {
            auto text = static_cast<jstring>(env->GetObjectArrayElement(array, i));
            shown.push_back(fromJava(env, text));
            env->DeleteLocalRef(text);
        }
    }
    if (array)
        env->DeleteLocalRef(array);
    env->DeleteLocalRef(cls);
    return shown;
}

bool VelMenuPresenterClient::openOptionsMenu(std::string *description)
{
    return callString("openOptionsMenu", "()Ljava/lang/String;", nullptr, description);
}

bool VelMenuPresenterClient::choose(const std::string &title, std::string *outcome)
{
    return callString("choose", "(Ljava/lang/String;)Ljava/lang/String;", &title, outcome);
}

bool VelMenuPresenterClient::dismiss(std::string *outcome)
{
    return callString("dismiss", "()Ljava/lang/String;", nullptr, outcome);
}

std::vector<std::string> VelMenuPresenterClient::shownLines(const char *method)
{
    std::string joined;
    std::vector<std::string> lines;
    if (!callString(method, "()Ljava/lang/String;", nullptr, &joined))
        return lines;
    std::istringstream stream(joined);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> VelMenuPresenterClient::shownTitles()
{
    return shownLines("shownTitles");
}

std::vector<std::string> VelMenuPresenterClient::shownLabels()
{
    return shownLines("shownLabels");
}

void velPrintMenuReport(const std::string &text)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        std::printf("vel-android-run: %s\n", line.c_str());
    std::fflush(stdout);
}
