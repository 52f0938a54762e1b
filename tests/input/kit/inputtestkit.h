#ifndef INPUTTESTKIT_H
#define INPUTTESTKIT_H

// What the input tests and their application share in one process: a log of
// every input event the application received, an editor that answers the
// input method, and windows that record their input. Built as a shared
// library so that the test and the application (loaded later by the plugin)
// see the same log and the same objects.

#include "velobject.h"
#include "velstring.h"
#include "velwindow.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class VelPlatformBackingStore;

namespace InputTestLog
{
void append(const std::string &line);
std::vector<std::string> lines();
void clear();
// Waits until the log holds at least count lines; false after the timeout.
bool waitForCount(size_t count, int timeoutMs);
} // namespace InputTestLog

// A one-line text field: answers the input-method queries from its text,
// cursor and anchor, and applies input-method events to them. GUI thread only,
// except queryCount().
class InputTestEditor : public VelObject
{
    VEL_OBJECT
public:
    InputTestEditor();
    ~InputTestEditor() override;

    void setState(const VelString &text, int cursor, int anchor = -1, uint hints = 0);
    VelString text() const { return m_text; }
    VelString preedit() const { return m_preedit; }
    int cursor() const { return m_cursor; }
    int anchor() const { return m_anchor; }
    int queryCount() const { return m_queryCount.load(); }
    // Emits cursorPositionChanged() whenever an event moves the cursor.
    void setEmitCursorSignal(bool emit) { m_emitCursorSignal = emit; }

    bool event(VelEvent *event) override;

    // Signal.
    void cursorPositionChanged();

private:
    VelString m_text;
    VelString m_preedit;
    int m_cursor = 0;
    int m_anchor = 0;
    uint m_hints = 0;
    bool m_emitCursorSignal = false;
    std::atomic<int> m_queryCount{0};
};

// A raster window in one colour that logs the input it receives.
class InputTestWindow : public VelWindow
{
public:
    InputTestWindow(const std::string &name, uint rgb);
    ~InputTestWindow() override;

protected:
    void exposeEvent(VelExposeEvent *event) override;
    void keyPressEvent(VelKeyEvent *event) override;
    void keyReleaseEvent(VelKeyEvent *event) override;
    void mousePressEvent(VelMouseEvent *event) override;
    void mouseReleaseEvent(VelMouseEvent *event) override;
    void mouseMoveEvent(VelMouseEvent *event) override;
    void touchEvent(VelTouchEvent *event) override;

private:
    void logMouse(const char *what, VelMouseEvent *event);
    void logKey(const char *what, VelKeyEvent *event);

    std::string m_name;
    uint m_rgb;
    std::unique_ptr<VelPlatformBackingStore> m_store;
};

// The application's objects, published by its main (GUI thread) for the test.
namespace InputTestApp
{
void publish(InputTestEditor *editor, InputTestWindow *back, InputTestWindow *front);
InputTestEditor *editor();
InputTestWindow *back();
InputTestWindow *front();
// Waits until main has published its objects; false after the timeout.
bool waitForPublished(int timeoutMs);
// Runs work on the GUI thread and waits for it.
void onGuiThread(const std::function<void()> &work);
} // namespace InputTestApp

#endif
