#ifndef VELPLATFORMINTEGRATION_H
#define VELPLATFORMINTEGRATION_H

#include "velguinamespace.h"
#include "velstring.h"

#include <vector>

class VelAbstractEventDispatcher;
class VelVariant;
class VelKeyEvent;
class VelOffscreenSurface;
class VelOpenGLContext;
class VelPaintDevice;
class VelPaintEngine;
class VelPlatformAccessibility;
class VelPlatformBackingStore;
class VelPlatformClipboard;
class VelPlatformDrag;
class VelPlatformFontDatabase;
class VelPlatformInputContext;
class VelPlatformNativeInterface;
class VelPlatformOffscreenSurface;
class VelPlatformOpenGLContext;
class VelPlatformPixmap;
class VelPlatformScreen;
class VelPlatformServices;
class VelPlatformSessionManager;
class VelPlatformSharedGraphicsCache;
class VelPlatformTheme;
class VelPlatformWindow;
class VelWindow;

// Everything platform-specific the GUI library asks for. A platform plugin returns one from
// its factory; the GUI application owns it, calls initialize() once before any window
// exists and deletes it when the application ends. The virtual operations keep this
// order: plugins are built against it.
class VelPlatformIntegration
{
public:
    enum Capability {
        ThreadedPixmaps = 1,
        OpenGL = 2,
        ThreadedOpenGL = 3,
        SharedGraphicsCache = 4,
        BufferQueueingOpenGL = 5,
        WindowMasks = 6,
        MultipleWindows = 7,
        ApplicationState = 8,
        ForeignWindows = 9,
        NonFullScreenWindows = 10,
        NativeWidgets = 11,
        WindowManagement = 12,
    };

    enum StyleHint {
        CursorFlashTime = 0,
        KeyboardInputInterval = 1,
        MouseDoubleClickInterval = 2,
        StartDragDistance = 3,
        StartDragTime = 4,
        KeyboardAutoRepeatRate = 5,
        ShowIsFullScreen = 6,
        PasswordMaskDelay = 7,
        FontSmoothingGamma = 8,
        StartDragVelocity = 9,
        UseRtlExtensions = 10,
        SynthesizeMouseFromTouchEvents = 11,
        PasswordMaskCharacter = 12,
        SetFocusOnTouchRelease = 13,
        ShowIsMaximized = 14,
        MousePressAndHoldInterval = 15,
    };

    VelPlatformIntegration();
    virtual ~VelPlatformIntegration();
    VEL_DISABLE_COPY(VelPlatformIntegration)

    // Defaults: false for every capability but ThreadedPixmaps (the host's images are
    // plain memory and safe to use on any thread).
    virtual bool hasCapability(Capability capability) const;
    // Defaults: null; a platform without raster pixmaps of its own uses images.
    virtual VelPlatformPixmap *createPlatformPixmap(int pixelType) const;
    virtual VelPlatformWindow *createPlatformWindow(VelWindow *window) const = 0;
    virtual VelPlatformBackingStore *createPlatformBackingStore(VelWindow *window) const = 0;
    // Default: null with a warning (no OpenGL).
    virtual VelPlatformOpenGLContext *createPlatformOpenGLContext(VelOpenGLContext *context) const;
    virtual VelPlatformSharedGraphicsCache *
    createPlatformSharedGraphicsCache(const char *cacheId) const;
    virtual VelPaintEngine *createImagePaintEngine(VelPaintDevice *paintDevice) const;
    // The GUI thread's dispatcher; the application takes ownership. Null keeps the
    // application's own dispatcher.
    virtual VelAbstractEventDispatcher *createEventDispatcher() const;
    virtual void initialize();
    // Defaults of the service accessors below: null (the platform offers none).
    virtual VelPlatformFontDatabase *fontDatabase() const;
    virtual VelPlatformClipboard *clipboard() const;
    virtual VelPlatformDrag *drag() const;
    virtual VelPlatformInputContext *inputContext() const;
    virtual VelPlatformAccessibility *accessibility() const;
    virtual VelPlatformNativeInterface *nativeInterface() const;
    virtual VelPlatformServices *services() const;
    virtual VelVariant styleHint(StyleHint hint) const;
    // Default: maximized for windows that ask for it through ShowIsMaximized, full screen
    // through ShowIsFullScreen, else no state; pop-ups, tool tips and sub-windows never
    // get a state.
    virtual Vel::WindowState defaultWindowState(Vel::WindowFlags flags) const;
    virtual Vel::KeyboardModifiers queryKeyboardModifiers() const;
    virtual std::vector<int> possibleKeys(const VelKeyEvent *event) const;
    virtual VelStringList themeNames() const;
    virtual VelPlatformTheme *createPlatformTheme(const VelString &name) const;
    virtual VelPlatformOffscreenSurface *
    createPlatformOffscreenSurface(VelOffscreenSurface *surface) const;
    virtual VelPlatformSessionManager *createPlatformSessionManager(const VelString &id,
                                                                    const VelString &key) const;
    virtual void sync();

protected:
    // Hands a new screen to the application, which wraps it in a VelScreen; the first
    // screen announced becomes the primary one. The integration keeps owning the
    // platform screen; deleting it removes the VelScreen again.
    void screenAdded(VelPlatformScreen *screen);
    void destroyScreen(VelPlatformScreen *screen);
};

#endif
