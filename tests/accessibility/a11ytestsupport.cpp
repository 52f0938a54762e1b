#include "a11ytestsupport.h"

#include "velguiapplication.h"
#include "velmetaobject.h"
#include "velwindow.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{

bool fail(std::string *error, const std::string &message)
{
    *error = message;
    return false;
}

} // namespace

bool SystemFonts::lend(std::string *error)
{
    const char *source = "/usr/share/fonts/truetype/dejavu";
    struct stat st;
    if (::stat("/system/fonts/DejaVuSans.ttf", &st) == 0)
        return true;
    for (const char *dir : {"/system", "/system/fonts"}) {
        if (::stat(dir, &st) != 0) {
            if (::mkdir(dir, 0755) != 0)
                return fail(error, std::string("mkdir ") + dir);
            m_created.insert(m_created.begin(), dir);
        }
    }
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(source, "/system/fonts", nullptr, MS_BIND, nullptr) != 0)
        return fail(error, std::string("mount namespace: ") + std::strerror(errno));
    m_mounted = true;
    return true;
}

void SystemFonts::giveBack()
{
    if (m_mounted)
        ::umount2("/system/fonts", MNT_DETACH);
    m_mounted = false;
    for (const std::string &dir : m_created)
        ::rmdir(dir.c_str());
    m_created.clear();
}

bool A11yFormRun::start(const VelAndroidDriver::VmOptions &vmOptions, const BeforeApp &beforeApp,
                        std::string *error)
{
    // Before any thread starts: later threads share the namespace.
    if (!m_fonts.lend(error))
        return false;
    // The window's X connection is opened before the app's: Xlib's
    // connection set-up is not safe on two threads at once.
    if (!m_window.create(nullptr, a11yScreenWidth, a11yScreenHeight, "a11y test", error))
        return false;
    if (!m_driver.startJavaVm(vmOptions))
        return fail(error, "Java VM: " + m_driver.lastError());
    char pattern[] = "/tmp/vela11yXXXXXX";
    if (!::mkdtemp(pattern))
        return fail(error, "mkdtemp failed");
    m_dir = pattern;
    if (!m_driver.createActivity(m_dir) || !m_driver.loadLibrary(VEL_TEST_PLUGIN))
        return fail(error, "plugin: " + m_driver.lastError());
    m_natives.reset(new Natives(m_driver.env()));
    if (beforeApp)
        beforeApp(*m_natives);

    if (!m_driver.startVelAndroidPlugin() ||
        !m_driver.setDisplayMetrics(a11yScreenWidth, a11yScreenHeight, a11yScreenWidth,
                                    a11yScreenHeight, 160, 160, 1) ||
        !m_driver.startVelApplication({VEL_TEST_APP}, {}))
        return fail(error, "start-up: " + m_driver.lastError());
    m_surface = m_driver.newSurface(m_window.windowId(), a11yScreenWidth, a11yScreenHeight);
    if (!m_surface || !m_driver.setSurface(m_surface))
        return fail(error, "surface: " + m_driver.lastError());
    // The form is ready once its window has focus and its items. Polled:
    // nothing tells Java when an app has built its tree.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (m_natives->childIds(-1).size() != size_t(FormItemCount)) {
        if (std::chrono::steady_clock::now() > deadline)
            return fail(error, "the form's tree never appeared");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void A11yFormRun::stop()
{
    // main keeps running; the process ends with the test program.
    m_natives.reset();
    if (!m_dir.empty())
        std::system(("rm -rf '" + m_dir + "'").c_str());
    m_fonts.giveBack();
}

void onGui(const std::function<void()> &work)
{
    ASSERT_TRUE(VelMetaObject::invokeMethod(VelGuiApplication::instance(), work,
                                            Vel::BlockingQueuedConnection));
}

VelWindow *formWindow()
{
    const auto windows = VelGuiApplication::topLevelWindows();
    return windows.empty() ? nullptr : windows.front();
}

std::string roleName(VelAccessible::Role role)
{
    return velAccessibleRoleString(role).constData();
}
