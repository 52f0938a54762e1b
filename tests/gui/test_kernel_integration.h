#ifndef TEST_KERNEL_INTEGRATION_H
#define TEST_KERNEL_INTEGRATION_H

// A minimal platform for the GUI kernel tests: one screen, raster windows that draw
// nothing, and counters that let the tests see what the application did with them.

#include "velabstracteventdispatcher.h"
#include "velexposeevent.h"
#include "velkeyevent.h"
#include "velmouseevent.h"
#include "velmoveevent.h"
#include "velplatforminputcontext.h"
#include "velplatformintegration.h"
#include "velplatformintegrationplugin.h"
#include "velplatformscreen.h"
#include "velplatformwindow.h"
#include "velplugin.h"
#include "velresizeevent.h"
#include "veltouchevent.h"
#include "velwindow.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct TestPlatformLog {
    static TestPlatformLog &instance()
    {
        static TestPlatformLog log;
        return log;
    }
    void reset() { *this = TestPlatformLog(); }

    int integrationsCreated = 0;
    int integrationsDestroyed = 0;
    int initializeCalls = 0;
    int windowsCreated = 0;
    int windowsCreatedBeforeInitialize = 0;
    int platformWindowsDestroyed = 0;
    VelString lastKey;
    VelStringList lastParameters;
    std::vector<VelObject *> inputContextFocus;
    std::function<VelAbstractEventDispatcher *()> makeDispatcher;
};

class TestInputContext : public VelPlatformInputContext
{
public:
    bool isValid() const override { return true; }
    void setFocusObject(VelObject *object) override
    {
        TestPlatformLog::instance().inputContextFocus.push_back(object);
    }
};

class TestScreen : public VelPlatformScreen
{
public:
    explicit TestScreen(const VelRect &geometry) : m_geometry(geometry) {}
    VelRect geometry() const override { return m_geometry; }
    int depth() const override { return 32; }
    int format() const override { return 4; }
    std::vector<VelWindow *> windowStack() const override { return stack; }

    // Bottom to top; empty means the screen keeps no stacking order.
    std::vector<VelWindow *> stack;

private:
    VelRect m_geometry;
};

class TestPlatformWindow : public VelPlatformWindow
{
public:
    explicit TestPlatformWindow(VelWindow *window) : VelPlatformWindow(window) {}
    ~TestPlatformWindow() override { ++TestPlatformLog::instance().platformWindowsDestroyed; }
};

class TestIntegration : public VelPlatformIntegration
{
public:
    explicit TestIntegration(const VelStringList &parameters)
    {
        ++TestPlatformLog::instance().integrationsCreated;
        TestPlatformLog::instance().lastParameters = parameters;
    }
    ~TestIntegration() override
    {
        delete secondScreen;
        delete screen;
        ++TestPlatformLog::instance().integrationsDestroyed;
    }

    void initialize() override
    {
        ++TestPlatformLog::instance().initializeCalls;
        initialized = true;
        screen = new TestScreen(VelRect(0, 0, 800, 600));
        screenAdded(screen);
    }
    void addSecondScreen()
    {
        secondScreen = new TestScreen(VelRect(800, 0, 640, 480));
        screenAdded(secondScreen);
    }
    VelPlatformWindow *createPlatformWindow(VelWindow *window) const override
    {
        ++TestPlatformLog::instance().windowsCreated;
        if (!initialized)
            ++TestPlatformLog::instance().windowsCreatedBeforeInitialize;
        return new TestPlatformWindow(window);
    }
    VelPlatformBackingStore *createPlatformBackingStore(VelWindow *) const override
    {
        return nullptr;
    }
    VelAbstractEventDispatcher *createEventDispatcher() const override
    {
        const auto &make = TestPlatformLog::instance().makeDispatcher;
        return make ? make() : nullptr;
    }
    VelPlatformInputContext *inputContext() const override
    {
        return const_cast<TestInputContext *>(&context);
    }

    bool initialized = false;
    TestScreen *screen = nullptr;
    TestScreen *secondScreen = nullptr;
    TestInputContext context;
};

class TestIntegrationPlugin : public VelPlatformIntegrationPlugin
{
public:
    VelPlatformIntegration *create(const VelString &key, const VelStringList &parameters) override
    {
        TestPlatformLog::instance().lastKey = key;
        if (key.toLower() != "kerneltest")
            return nullptr;
        return new TestIntegration(parameters);
    }
};

inline VelObject *kernelTestPluginInstance()
{
    static TestIntegrationPlugin *plugin = new TestIntegrationPlugin;
    return plugin;
}

inline const char *kernelTestPluginMetaData()
{
    static constexpr VelPluginMetaDataBlock block =
        velPluginMetaData("TestIntegrationPlugin", {"KernelTest"});
    return block.bytes;
}

// Registers the test plugin with the static-plugin registry under the key "KernelTest".
inline void registerKernelTestPlugin()
{
    velRegisterStaticPluginFunction(
        VelStaticPlugin{kernelTestPluginInstance, kernelTestPluginMetaData});
}

// Records every event a window receives, with the thread it arrived on.
class RecordingWindow : public VelWindow
{
public:
    struct Record {
        int type = 0;
        bool spontaneous = false;
        std::thread::id thread;
        VelRegion region;
        int key = 0;
        VelPointF local;
        VelPointF global;
        int button = 0;
        uint buttons = 0;
        VelSize size;
        VelPoint pos;
        int pointCount = 0;
        VelPointF firstPointPos;
    };

    using VelWindow::VelWindow;

    bool event(VelEvent *event) override
    {
        Record record;
        record.type = int(event->type());
        record.spontaneous = event->spontaneous();
        record.thread = std::this_thread::get_id();
        switch (event->type()) {
        case VelEvent::Expose:
            record.region = static_cast<VelExposeEvent *>(event)->region();
            break;
        case VelEvent::KeyPress:
        case VelEvent::KeyRelease:
            record.key = static_cast<VelKeyEvent *>(event)->key();
            break;
        case VelEvent::MouseButtonPress:
        case VelEvent::MouseButtonRelease:
        case VelEvent::MouseMove: {
            auto *mouse = static_cast<VelMouseEvent *>(event);
            record.local = mouse->localPos();
            record.global = mouse->screenPos();
            record.button = int(mouse->button());
            record.buttons = mouse->buttons();
            break;
        }
        case VelEvent::Resize:
            record.size = static_cast<VelResizeEvent *>(event)->size();
            break;
        case VelEvent::Move:
            record.pos = static_cast<VelMoveEvent *>(event)->pos();
            break;
        case VelEvent::TouchBegin:
        case VelEvent::TouchUpdate:
        case VelEvent::TouchEnd: {
            auto *touch = static_cast<VelTouchEvent *>(event);
            record.pointCount = int(touch->touchPoints().size());
            if (!touch->touchPoints().empty())
                record.firstPointPos = touch->touchPoints().front().pos;
            break;
        }
        default:
            break;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_records.push_back(record);
        }
        return VelWindow::event(event);
    }

    std::vector<Record> records() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_records;
    }
    std::vector<int> types() const
    {
        std::vector<int> result;
        for (const Record &record : records())
            result.push_back(record.type);
        return result;
    }
    // The records of one event type.
    std::vector<Record> recordsOf(int type) const
    {
        std::vector<Record> result;
        for (const Record &record : records()) {
            if (record.type == type)
                result.push_back(record);
        }
        return result;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Record> m_records;
};

#endif
