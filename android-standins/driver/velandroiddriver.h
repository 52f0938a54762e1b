#ifndef VELANDROIDDRIVER_H
#define VELANDROIDDRIVER_H

#include <jni.h>

#include <string>
#include <vector>

// Plays the Java half of an app from native code: the Java VM with the
// companion jar, the activity, loading the plugin through System.load (so
// that its JNI_OnLoad runs as on a device), the natives of the companion
// classes called through JNI, and the record of the plugin's calls back into
// Java. Every operation answers false (and sets lastError) when the VM is
// missing or Java raised an exception, which is then cleared.
class VelAndroidDriver
{
public:
    struct VmOptions {
        std::string jarPath = defaultJarPath();
        std::string libraryDir = defaultLibraryDir();
        // Searched before the jar: classes here replace the jar's own (a
        // test's variant of a companion class, for example).
        std::vector<std::string> classPathFirst;
        // Searched after the jar.
        std::vector<std::string> extraClassPath;
        std::vector<std::string> jvmOptions;
    };

    static std::string defaultJarPath();
    static std::string defaultLibraryDir();
    static std::string defaultPluginPath();

    // Creates the process's Java VM (once per process).
    bool startJavaVm(const VmOptions &options);
    JNIEnv *env() const;

    // VelNative.setActivity(new android.app.Activity(assetsDir)).
    bool createActivity(const std::string &assetsDir);
    // VelLauncher.load(path): System.load on behalf of the companion classes.
    bool loadLibrary(const std::string &path);

    // ---- natives of VelNative ----
    bool startVelAndroidPlugin(bool *result = nullptr);
    // Arguments and environment entries are joined with tabs; the first
    // argument is the app library's path.
    bool startVelApplication(const std::vector<std::string> &arguments,
                             const std::vector<std::string> &environment);
    bool startVelApplicationRaw(const std::string &parameters, const std::string &environment);
    bool pauseVelApp();
    bool resumeVelApp();
    bool quitVelAndroidPlugin();
    bool terminateVel();
    bool setDisplayMetrics(int screenWidth, int screenHeight, int desktopWidth, int desktopHeight,
                           double xdpi, double ydpi, double scaledDensity);
    bool setSurface(jobject surface);
    bool destroySurface();
    bool lockSurface();
    bool unlockSurface();
    bool updateWindow();
    bool updateApplicationState(int state);
    bool handleOrientationChanged(int newRotation, int nativeOrientation);
    bool mouseDown(int x, int y);
    bool mouseUp(int x, int y);
    bool mouseMove(int x, int y);
    bool keyDown(int androidKey, int unicode, int meta);
    bool keyUp(int androidKey, int unicode, int meta);

    // Any static void method, e.g. a native of another companion class.
    // className in JNI form ("org/vel/android/VelNative").
    bool callStaticVoid(const char *className, const char *name, const char *signature,
                        const std::vector<jvalue> &args);
    bool callStaticBoolean(const char *className, const char *name, const char *signature,
                           const std::vector<jvalue> &args, bool *result);
    // A static method returning a String; a null result reads as isNull.
    bool callStaticString(const char *className, const char *name, const char *signature,
                          const std::vector<jvalue> &args, std::string *result,
                          bool *isNull = nullptr);
    // A new Java string (local reference of the calling thread), for arguments.
    jstring newString(const std::string &utf8);

    // A new android.view.Surface over an X11 window, as a global reference.
    jobject newSurface(unsigned long x11Window, int width, int height);
    // Surface.release(): the surface then yields no native window.
    bool releaseSurface(jobject surface);
    void deleteGlobalRef(jobject ref);

    // ---- the record of calls into Java (VelCallLog) ----
    std::vector<std::string> javaCalls();
    bool clearJavaCalls();
    int javaCallCount(const std::string &name);
    // The Java name of the thread that made the last call of that name
    // ("main" for the thread that created the VM); empty when none.
    std::string javaCallThread(const std::string &name);
    bool waitForJavaCall(const std::string &name, long timeoutMs);
    bool waitForQuit(long timeoutMs);
    bool quitRequested();

    const std::string &lastError() const { return m_lastError; }

private:
    jclass findClass(JNIEnv *env, const char *className);
    // Looks up a static method and runs call(env, class, method) on it; a
    // missing class or method, or an exception the call raised, fails.
    template <typename Call>
    bool callStaticWith(const char *className, const char *name, const char *signature, Call call);
    bool failed(JNIEnv *env, const std::string &what);
    bool callVelNative(const char *name, const char *signature, const std::vector<jvalue> &args);

    std::string m_lastError;
};

#endif
