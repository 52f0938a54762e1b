#include "inputtestkit.h"

#include "velcoreapplication.h"
#include "velexposeevent.h"
#include "velguiapplication.h"
#include "velinputmethodevent.h"
#include "velinputmethodqueryevent.h"
#include "velkeyevent.h"
#include "velmetaobject.h"
#include "velmouseevent.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "veltextcharformat.h"
#include "veltouchevent.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <sstream>

namespace
{

std::mutex logMutex; // guards logLines
std::condition_variable logGrew;
std::vector<std::string> logLines;

std::mutex publishMutex; // guards nothing but the wait for publish()
std::condition_variable published;
std::atomic<InputTestEditor *> publishedEditor{nullptr};
std::atomic<InputTestWindow *> publishedBack{nullptr};
std::atomic<InputTestWindow *> publishedFront{nullptr};

std::string utf8(const VelString &text)
{
    return text.toStdString();
}

std::string number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string point(const VelPointF &p)
{
    return "(" + number(p.x()) + "," + number(p.y()) + ")";
}

const char *stateName(Vel::TouchPointState state)
{
    switch (state) {
    case Vel::TouchPointPressed:
        return "pressed";
    case Vel::TouchPointMoved:
        return "moved";
    case Vel::TouchPointReleased:
        return "released";
    default:
        return "stationary";
    }
}

std::string describeAttribute(const VelInputMethodEvent::Attribute &attribute)
{
    std::string text = std::to_string(int(attribute.type)) + ":" + std::to_string(attribute.start) +
                       ":" + std::to_string(attribute.length);
    if (attribute.value.canConvert<VelTextCharFormat>()) {
        const VelTextCharFormat format = attribute.value.value<VelTextCharFormat>();
        if (format.property(VelTextCharFormat::TextUnderlineStyle).toInt() == 1)
            text += ":underline";
    }
    return text;
}

} // namespace

// ---- log ----

void InputTestLog::append(const std::string &line)
{
    std::lock_guard<std::mutex> lock(logMutex);
    logLines.push_back(line);
    logGrew.notify_all();
}

bool InputTestLog::waitForCount(size_t count, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(logMutex);
    return logGrew.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [count] { return logLines.size() >= count; });
}

std::vector<std::string> InputTestLog::lines()
{
    std::lock_guard<std::mutex> lock(logMutex);
    return logLines;
}

void InputTestLog::clear()
{
    std::lock_guard<std::mutex> lock(logMutex);
    logLines.clear();
}

// ---- editor ----

VEL_META_BEGIN(InputTestEditor, VelObject)
VEL_META_SIGNAL(cursorPositionChanged)
VEL_META_END

InputTestEditor::InputTestEditor() = default;

InputTestEditor::~InputTestEditor()
{
    InputTestLog::append("editor destroyed");
}

void InputTestEditor::cursorPositionChanged()
{
    VEL_EMIT(cursorPositionChanged);
}

void InputTestEditor::setState(const VelString &text, int cursor, int anchor, uint hints)
{
    m_text = text;
    m_cursor = cursor;
    m_anchor = anchor < 0 ? cursor : anchor;
    m_hints = hints;
    m_preedit = VelString();
}

bool InputTestEditor::event(VelEvent *event)
{
    if (event->type() == VelEvent::InputMethodQuery) {
        ++m_queryCount;
        auto *query = static_cast<VelInputMethodQueryEvent *>(event);
        const int low = std::min(m_cursor, m_anchor);
        query->setValue(Vel::ImSurroundingText, m_text);
        query->setValue(Vel::ImCursorPosition, m_cursor);
        query->setValue(Vel::ImAnchorPosition, m_anchor);
        query->setValue(Vel::ImCurrentSelection, m_text.mid(low, std::abs(m_cursor - m_anchor)));
        query->setValue(Vel::ImHints, m_hints);
        return true;
    }
    if (event->type() != VelEvent::InputMethod)
        return VelObject::event(event);

    auto *im = static_cast<VelInputMethodEvent *>(event);
    std::string line = "im preedit=" + utf8(im->preeditString()) +
                       " commit=" + utf8(im->commitString()) +
                       " from=" + std::to_string(im->replacementStart()) +
                       " length=" + std::to_string(im->replacementLength()) + " attributes=";
    for (const auto &attribute : im->attributes())
        line += "[" + describeAttribute(attribute) + "]";
    InputTestLog::append(line);

    const int oldCursor = m_cursor;
    const int low = std::min(m_cursor, m_anchor);
    const int high = std::max(m_cursor, m_anchor);
    const bool replaces = !im->commitString().isEmpty() || im->replacementLength() != 0;
    if (replaces) {
        // A commit replaces the selection, or the text it names around the cursor.
        int start = low;
        int end = high;
        if (im->replacementLength() != 0 || im->replacementStart() != 0) {
            start = std::clamp(m_cursor + im->replacementStart(), 0, m_text.length());
            end = std::clamp(start + im->replacementLength(), start, m_text.length());
        }
        m_text = m_text.left(start) + im->commitString() + m_text.mid(end);
        m_cursor = m_anchor = start + im->commitString().length();
    }
    m_preedit = im->preeditString();
    for (const auto &attribute : im->attributes()) {
        if (attribute.type == VelInputMethodEvent::Selection) {
            m_anchor = std::clamp(attribute.start, 0, m_text.length());
            m_cursor = std::clamp(attribute.start + attribute.length, 0, m_text.length());
        }
    }
    if (m_emitCursorSignal && m_cursor != oldCursor)
        cursorPositionChanged();
    return true;
}

// ---- windows ----

InputTestWindow::InputTestWindow(const std::string &name, uint rgb) : m_name(name), m_rgb(rgb)
{
    setSurfaceType(RasterSurface);
}

InputTestWindow::~InputTestWindow()
{
    InputTestLog::append("window " + m_name + " destroyed");
}

void InputTestWindow::exposeEvent(VelExposeEvent *)
{
    const VelRect rect(VelPoint(0, 0), geometry().size());
    if (!isExposed() || rect.isEmpty() || !handle())
        return;
    if (!m_store)
        m_store.reset(VelGuiApplication::platformIntegration()->createPlatformBackingStore(this));
    m_store->resize(rect.size(), VelRegion());
    m_store->beginPaint(VelRegion(rect));
    {
        VelPainter painter(m_store->paintDevice());
        painter.fillRect(rect, VelColor((m_rgb >> 16) & 0xFF, (m_rgb >> 8) & 0xFF, m_rgb & 0xFF));
    }
    m_store->endPaint();
    m_store->flush(this, VelRegion(rect), VelPoint());
}

void InputTestWindow::logMouse(const char *what, VelMouseEvent *event)
{
    InputTestLog::append(
        "mouse " + m_name + " " + what + " buttons=" + std::to_string(int(event->buttons())) +
        " local=" + point(event->localPos()) + " global=" + point(event->screenPos()));
}

void InputTestWindow::logKey(const char *what, VelKeyEvent *event)
{
    std::ostringstream line;
    line << "key " << m_name << " " << what << " key=0x" << std::hex << event->key()
         << " modifiers=0x" << int(event->modifiers()) << " text=";
    const VelString text = event->text();
    for (int i = 0; i < text.length(); ++i)
        line << (i ? "," : "") << std::hex << int(text.utf16()[i]);
    InputTestLog::append(line.str());
}

void InputTestWindow::keyPressEvent(VelKeyEvent *event)
{
    logKey("press", event);
}

void InputTestWindow::keyReleaseEvent(VelKeyEvent *event)
{
    logKey("release", event);
}

void InputTestWindow::mousePressEvent(VelMouseEvent *event)
{
    logMouse("press", event);
}

void InputTestWindow::mouseReleaseEvent(VelMouseEvent *event)
{
    logMouse("release", event);
}

void InputTestWindow::mouseMoveEvent(VelMouseEvent *event)
{
    logMouse("move", event);
}

void InputTestWindow::touchEvent(VelTouchEvent *event)
{
    const char *type = event->type() == VelEvent::TouchBegin    ? "begin"
                       : event->type() == VelEvent::TouchUpdate ? "update"
                                                                : "end";
    std::string line = "touch " + m_name + " " + type;
    for (const auto &p : event->touchPoints()) {
        line += " [" + std::to_string(p.id) + " " + stateName(p.state) +
                " screen=" + point(p.screenPos) + " normal=" + point(p.normalizedPos) +
                " pressure=" + number(p.pressure) + "]";
    }
    InputTestLog::append(line);
}

// ---- the application's objects ----

void InputTestApp::publish(InputTestEditor *editor, InputTestWindow *back, InputTestWindow *front)
{
    std::lock_guard<std::mutex> lock(publishMutex);
    publishedEditor = editor;
    publishedBack = back;
    publishedFront = front;
    published.notify_all();
}

bool InputTestApp::waitForPublished(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(publishMutex);
    return published.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [] { return publishedEditor.load() != nullptr; });
}

InputTestEditor *InputTestApp::editor()
{
    return publishedEditor.load();
}

InputTestWindow *InputTestApp::back()
{
    return publishedBack.load();
}

InputTestWindow *InputTestApp::front()
{
    return publishedFront.load();
}

void InputTestApp::onGuiThread(const std::function<void()> &work)
{
    VelMetaObject::invokeMethod(
        VelGuiApplication::instance(), [&work] { work(); }, Vel::BlockingQueuedConnection);
}
