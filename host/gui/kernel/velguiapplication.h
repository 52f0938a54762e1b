#ifndef VELGUIAPPLICATION_H
#define VELGUIAPPLICATION_H

#include "velcoreapplication.h"
#include "velguinamespace.h"
#include "velplatformscreen.h"
#include "velpoint.h"

#include <memory>
#include <vector>

class VelGuiApplicationPrivate;
class VelFont;
class VelInputMethod;
class VelPalette;
class VelPlatformIntegration;
class VelPlatformTheme;
class VelScreen;
class VelWindow;

// The application object of a GUI program, created by main on the thread that becomes
// the GUI thread. It loads the platform plugin (the -platform argument, else the
// VEL_VELPA_PLATFORM environment variable, else the constructor argument, else the first
// registered platform plugin), calls the integration's initialize() before any window
// exists, installs the integration's event dispatcher on the GUI thread, and owns the
// integration, the theme, the screens and every window's platform window. When it ends it
// destroys the platform windows, then the theme, then the integration.
class VelGuiApplication : public VelCoreApplication
{
    VEL_OBJECT
public:
    VelGuiApplication(int &argc, char **argv, const VelString &platformName = VelString());
    ~VelGuiApplication() override;

    static VelGuiApplication *instance();
    static VelPlatformIntegration *platformIntegration();
    static VelString platformName();
    static VelPlatformTheme *platformTheme();

    static std::vector<VelWindow *> allWindows();
    static std::vector<VelWindow *> topLevelWindows();
    static VelWindow *topLevelAt(const VelPoint &pos);
    // Any thread: the window (when it is still registered) with its current geometry,
    // read under the window lock; an empty hit once the window's destruction has begun.
    static VelWindowHit windowHit(const VelPointer<VelWindow> &window);

    static VelScreen *primaryScreen();
    static std::vector<VelScreen *> screens();

    // The object that receives input-method traffic: the one set with setFocusObject while
    // it lives, else the focus window.
    static VelObject *focusObject();
    static void setFocusObject(VelObject *object);
    static VelWindow *focusWindow();
    static VelInputMethod *inputMethod();

    // The application's palette and font: what was set, else the theme's system palette
    // and font, else the defaults of VelPalette and VelFont.
    static VelPalette palette();
    static void setPalette(const VelPalette &palette);
    static VelFont font();
    static void setFont(const VelFont &font);

    static Vel::ApplicationState applicationState();
    static Vel::MouseButtons mouseButtons();
    static Vel::KeyboardModifiers queryKeyboardModifiers();

    static int exec();

    bool event(VelEvent *event) override;

    // Signals.
    void applicationStateChanged(int state);
    void focusObjectChanged(VelObject *object);
    void focusWindowChanged(VelWindow *window);
    void screenAdded(VelScreen *screen);
    void lastWindowClosed();

private:
    friend class VelGuiApplicationPrivate;
    void loadPlatform(int &argc, char **argv, const VelString &requested);
    std::unique_ptr<VelGuiApplicationPrivate> d;
};

#endif
