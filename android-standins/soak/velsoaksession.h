#ifndef VELSOAKSESSION_H
#define VELSOAKSESSION_H

#include "velinputdevice.h"
#include "velx11window.h"

#include <jni.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class VelAndroidDriver;

// The text-edit example driven as an Android activity that is sent to the
// background and brought back over and over. One cycle:
//   inactive, pauseVelApp, destroySurface (the old Surface released, its X
//   window destroyed), resumeVelApp, setSurface on a new X window, active;
//   the app's frame on the new surface;
//   touch on the field (the soft keyboard shows), setComposingText,
//   finishComposingText, cursor keys, typed text (composed and committed),
//   setSelection, deleteSurroundingText back to the empty field the run
//   began with, which the input connection must then report; a touch on the
//   button and a drag; a frame after the input.
// Every call comes from the thread that made the session (Android's UI
// thread). Failures answer false with a message saying what was missing.
class VelSoakSession
{
public:
    struct Settings {
        int width = 320;
        int height = 240;
        std::chrono::milliseconds frameTimeout{20000};
    };

    VelSoakSession(VelAndroidDriver *driver, const Settings &settings);
    ~VelSoakSession();
    VelSoakSession(const VelSoakSession &) = delete;
    VelSoakSession &operator=(const VelSoakSession &) = delete;

    // The start-up an activity goes through, up to the app's first frame;
    // the frame's corners become what every later frame must show there.
    bool start(const std::string &pluginPath, const std::string &appLibrary, std::string *error);
    bool cycle(std::string *error);
    // Cycles whose input-method edits the input connection refused.
    long refusals() const { return m_refusals; }
    // The surface goes away for good (the app keeps running).
    bool loseSurface(std::string *error);
    // Back, and yes to the app's "Quit?": true once main has returned.
    bool endApp(std::string *error);

private:
    struct Rgb {
        int r = 0, g = 0, b = 0;
    };

    bool newSurface(std::string *error);
    bool dropSurface(std::string *error);
    bool waitForFrame(long swapsBefore, const char *what, std::string *error);
    bool showsTheApp(const std::vector<uint8_t> &rgba) const;
    std::vector<Rgb> corners(const std::vector<uint8_t> &rgba) const;
    bool typeAndUndo(std::string *error);
    bool setSelection(int position);
    bool expectEmptyField(std::string *error);
    bool emptyField(std::string *error);
    bool touchAround(std::string *error);
    bool textAroundCursor(std::string *before, std::string *after, std::string *error);
    bool fail(const std::string &what, std::string *error) const;

    VelAndroidDriver *m_driver;
    const Settings m_settings;
    VelInputDevice m_device;
    std::string m_assetsDir;
    std::unique_ptr<VelX11Window> m_window;
    jobject m_surface = nullptr; // global reference, ours
    std::vector<Rgb> m_referenceCorners;
    long m_cycles = 0;
    long m_refusals = 0;
};

#endif
