#ifndef VELINPUTDEVICE_H
#define VELINPUTDEVICE_H

#include <string>
#include <vector>

class VelAndroidDriver;

// The launcher as an Android input device: gestures become the input natives
// in the order an Android view sends them, and keys go through the Java soft
// keyboard (org.vel.android.VelSoftKeyboard), which turns them into
// input-connection calls while the app shows it and into key events
// otherwise. Every call must come from the one thread that stands for the
// Android UI thread. Failures answer false with lastError().
class VelInputDevice
{
public:
    struct Point {
        int x = 0;
        int y = 0;
    };

    // Motion-event actions, sent with touchEnd.
    enum MotionAction { ActionDown = 0, ActionUp = 1, ActionMove = 2 };
    // Per-pointer actions, sent with touchAdd.
    enum PointerAction {
        PointerPressed = 0,
        PointerMoved = 1,
        PointerStationary = 2,
        PointerReleased = 3
    };

    explicit VelInputDevice(VelAndroidDriver *driver) : m_driver(driver) {}

    // Fingers down, moved, lifted: one touch event each (all points, the
    // first is the primary pointer), then the primary pointer as the mouse.
    bool press(const std::vector<Point> &points);
    bool move(const std::vector<Point> &points);
    bool release(const std::vector<Point> &points);
    // The view's long-press callback for a finger held still.
    bool longPress(const Point &point);

    // Gestures made of the above.
    bool tap(const Point &point);
    bool drag(const Point &from, const Point &to, int steps);

    // A key pressed or released on the desktop keyboard.
    bool key(bool down, int androidKey, int unicode, int meta);
    // Press and release of a key given by its code alone; the character is
    // the one the key types with these meta bits.
    bool keyStroke(int androidKey, int meta);

    // The soft keyboard's script side.
    bool type(const std::string &utf8);
    bool compose(const std::string &utf8);
    bool commit();
    bool deleteSurrounding(int before, int after);
    bool waitForKeyboard(long timeoutMs);
    bool keyboardShown();

    const std::string &lastError() const { return m_lastError; }

private:
    bool touch(const std::vector<Point> &points, PointerAction pointerAction,
               MotionAction motionAction);
    bool keyboardCall(const char *name, const char *signature, const std::string &utf8,
                      bool *answer);
    bool fail(const std::string &what);

    VelAndroidDriver *m_driver;
    std::string m_lastError;
};

#endif
