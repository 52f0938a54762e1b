#include "velandroidplatformservices.h"

#include "androidjnimain.h"

#include "veljniobject.h"
#include "velurl.h"

VelAndroidPlatformServices::VelAndroidPlatformServices()
{
    ScopedJniEnv env;
    if (!env || !VelAndroid::applicationClass())
        return;
    m_openURIMethodID =
        env->GetStaticMethodID(VelAndroid::applicationClass(), "openURL", "(Ljava/lang/String;)V");
    if (env->ExceptionCheck())
        env->ExceptionClear();
}

bool VelAndroidPlatformServices::openUrl(const VelUrl &url)
{
    ScopedJniEnv env;
    // Without the method there is nothing that could open it: that is a failure.
    if (!env || !m_openURIMethodID)
        return false;
    jstring string = VelJNIObjectPrivate::toJString(env.jniEnv(), url.toString());
    env->CallStaticVoidMethod(VelAndroid::applicationClass(), m_openURIMethodID, string);
    if (env->ExceptionCheck())
        env->ExceptionClear();
    env->DeleteLocalRef(string);
    return true;
}

bool VelAndroidPlatformServices::openDocument(const VelUrl &url)
{
    return openUrl(url);
}

VelByteArray VelAndroidPlatformServices::desktopEnvironment() const
{
    return VelByteArray("Android");
}
