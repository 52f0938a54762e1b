// The accessibility bridge through a real Java VM: the accessible form example
// runs in the plugin as an app does, and this test plays the accessibility
// service by calling VelNativeAccessibility's natives from a Java thread (and
// through the stand-ins' walker), while it changes the tree on the GUI thread
// with blocking calls of its own.

#include "a11ytestsupport.h"
#include "velaccessibilitysteps.h"
#include "velandroiddriver.h"
#include "velandroidguithreadcall.h"
#include "vellogcapture.h"

#include "velaccessibleinterface.h"
#include "velaccessibleobject.h"
#include "velguiapplication.h"
#include "velmetaobject.h"
#include "velplatformaccessibility.h"
#include "velplatformintegration.h"
#include "velwindow.h"
#include "velwindowsysteminterface.h"

#include <android/log.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace
{

// A node with a fixed rectangle whose childAt answers what a test sets.
class ProbeNode : public VelAccessibleObject
{
public:
    ProbeNode(VelObject *object, const VelRect &rect) : VelAccessibleObject(object)
    {
        setRect(rect);
        setText(VelAccessible::Name, VelString("probe"));
    }
    VelAccessibleInterface *childAt(int, int) const override { return next; }
    VelAccessibleInterface *next = nullptr;
};

// A node whose child list grows each time a child is asked for.
class GrowingNode : public VelAccessibleObject
{
public:
    using VelAccessibleObject::VelAccessibleObject;
    int childCount() const override { return m_count; }
    VelAccessibleInterface *child(int index) const override
    {
        ++m_count;
        return index >= 0 && index < m_count ? m_leaf : nullptr;
    }
    VelAccessibleInterface *m_leaf = nullptr;
    mutable int m_count = 3;
};

class A11yBridgeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        ASSERT_TRUE(run.start(
            VelAndroidDriver::VmOptions(),
            [](Natives &early) {
                // Before any app: no GUI thread takes the hand-over.
                answersBeforeTheApp = early.childIds(-1);
                hitBeforeTheApp = early.hitTest(10, 10);
            },
            &error))
            << error;
        natives = &run.natives();
    }

    static void TearDownTestSuite() { run.stop(); }

    // The ids of the form's items, in form order.
    std::vector<int> items() { return natives->childIds(-1); }
    JRect expectedRect(int index)
    {
        const JRect root = natives->screenRect(-1);
        const VelA11yFormItem &item = velA11yFormItems[index];
        return JRect{root.left + item.x, root.top + item.y, root.left + item.x + item.width,
                     root.top + item.y + item.height};
    }

    static A11yFormRun run;
    static Natives *natives;
    static std::vector<int> answersBeforeTheApp;
    static int hitBeforeTheApp;
};

A11yFormRun A11yBridgeTest::run;
Natives *A11yBridgeTest::natives = nullptr;
std::vector<int> A11yBridgeTest::answersBeforeTheApp = {-7};
int A11yBridgeTest::hitBeforeTheApp = 7;

TEST_F(A11yBridgeTest, BeforeTheAppStartsEveryIdAnswersAsMissing)
{
    EXPECT_TRUE(answersBeforeTheApp.empty());
    EXPECT_EQ(hitBeforeTheApp, -1);
}

TEST_F(A11yBridgeTest, TreeReadFromJavaMatchesTheForm)
{
    const std::vector<int> ids = items();
    ASSERT_EQ(ids.size(), size_t(FormItemCount));
    EXPECT_EQ(natives->description(-1), std::string(velA11yFormTitle) + " window");
    const JRect root = natives->screenRect(-1);
    // The window fills the screen, and its rectangle ends past its last
    // pixel, as Android's Rect does.
    EXPECT_EQ(root.right - root.left, a11yScreenWidth) << root;
    EXPECT_EQ(root.bottom - root.top, a11yScreenHeight) << root;

    int windowId = 0;
    for (int i = 0; i < FormItemCount; ++i) {
        const VelA11yFormItem &item = velA11yFormItems[i];
        SCOPED_TRACE(item.name);
        const int id = ids[size_t(i)];
        EXPECT_NE(id, 0);
        EXPECT_NE(id, -1);
        const std::string description = natives->description(id);
        if (i == FormStatus) {
            // Earlier clicks may have changed it.
            EXPECT_EQ(description.rfind("Last action: ", 0), 0u) << description;
            EXPECT_EQ(description.substr(description.size() - 6), " label");
        } else {
            EXPECT_EQ(description, std::string(item.name) + " " + roleName(item.role));
        }
        EXPECT_EQ(natives->screenRect(id), expectedRect(i));
        EXPECT_TRUE(natives->childIds(id).empty());
        const int parent = natives->parentId(id);
        if (i == 0)
            windowId = parent;
        EXPECT_EQ(parent, windowId);
    }
    // The window's own parent is the application, which Android never sees.
    EXPECT_NE(windowId, -1);
    EXPECT_EQ(natives->parentId(windowId), -1);
    EXPECT_EQ(natives->childIds(windowId), ids);
}

TEST_F(A11yBridgeTest, PopulateNodeCallsTheNodeInOrder)
{
    const std::vector<int> ids = items();
    EXPECT_EQ(natives->populate(ids[FormOk]),
              (std::vector<std::string>{"setEnabled(true)", "setFocusable(true)",
                                        "setCheckable(false)", "setChecked(false)",
                                        "setVisibleToUser(true)", "setClickable(true)",
                                        "addAction(16)", "setContentDescription(OK button)"}));
    // The value comes before the name, the selection first of all.
    EXPECT_EQ(
        natives->populate(ids[FormNameField]),
        (std::vector<std::string>{"setTextSelection(0, 3)", "setEnabled(true)",
                                  "setFocusable(true)", "setCheckable(false)", "setChecked(false)",
                                  "setVisibleToUser(true)", "setContentDescription(Vel text)"}));
    // Toggling counts as clicking, without making the node clickable.
    const std::vector<std::string> box = natives->populate(ids[FormNotifications]);
    ASSERT_EQ(box.size(), 8u);
    EXPECT_EQ(box[2], "setCheckable(true)");
    EXPECT_EQ(box[5], "setClickable(false)");
    EXPECT_EQ(box[6], "addAction(16)");
    EXPECT_EQ(box[7], "setContentDescription(Notifications check box)");
    // A label offers no action.
    const std::vector<std::string> label = natives->populate(ids[FormTitle]);
    ASSERT_EQ(label.size(), 6u);
    EXPECT_EQ(label.back(), "setContentDescription(Settings label)");
}

TEST_F(A11yBridgeTest, ClickActionPressesTheButton)
{
    const std::vector<int> ids = items();
    EXPECT_FALSE(natives->clickAction(ids[FormCancel]));
    EXPECT_EQ(natives->description(ids[FormStatus]), "Last action: Cancel label");
    EXPECT_FALSE(natives->clickAction(ids[FormOk]));
    EXPECT_EQ(natives->description(ids[FormStatus]), "Last action: OK label");
    // A label has no actions: nothing happens.
    EXPECT_FALSE(natives->clickAction(ids[FormTitle]));
    EXPECT_EQ(natives->description(ids[FormStatus]), "Last action: OK label");
}

TEST_F(A11yBridgeTest, ClickActionTogglesTheCheckBox)
{
    const int box = items()[FormNotifications];
    const auto checked = [&] {
        const std::vector<std::string> calls = natives->populate(box);
        return calls.size() > 3 ? calls[3] : std::string("(none)");
    };
    const std::string before = checked();
    ASSERT_TRUE(before == "setChecked(false)" || before == "setChecked(true)") << before;
    natives->clickAction(box);
    const std::string after = checked();
    EXPECT_NE(after, before);
    natives->clickAction(box);
    EXPECT_EQ(checked(), before);
}

TEST_F(A11yBridgeTest, HitTestFindsTheItemUnderAPoint)
{
    const std::vector<int> ids = items();
    const JRect ok = expectedRect(FormOk);
    EXPECT_EQ(natives->hitTest(ok.left + 10, ok.top + 10), ids[FormOk]);
    // Coordinates are truncated: 0.9 short of the next pixel is still inside
    // at the far edge and the top-left corner itself is inside too.
    EXPECT_EQ(natives->hitTest(ok.right - 1 + 0.9f, ok.bottom - 1 + 0.9f), ids[FormOk]);
    EXPECT_EQ(natives->hitTest(float(ok.left), float(ok.top)), ids[FormOk]);
    EXPECT_EQ(natives->hitTest(float(ok.right), float(ok.top)), -1);
    // Points on no item, and values no pixel has.
    EXPECT_EQ(natives->hitTest(2, 2), -1);
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {std::nanf(""), inf, -inf, 1e30f, -1e30f, 3e9f})
        EXPECT_EQ(natives->hitTest(bad, float(ok.top + 10)), -1) << bad;
}

TEST_F(A11yBridgeTest, IdsThatNameNothingAreAnsweredSafely)
{
    VelLogCapture log;
    for (int id : {0, 123456789, INT_MAX, INT_MIN, -2}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(natives->childIds(id).empty());
        EXPECT_EQ(natives->parentId(id), -1);
        EXPECT_EQ(natives->description(id), "");
        EXPECT_EQ(natives->screenRect(id), (JRect{0, 0, -1, -1}));
        EXPECT_TRUE(natives->populate(id).empty());
        EXPECT_FALSE(natives->clickAction(id));
        EXPECT_TRUE(log.contains(ANDROID_LOG_WARN, "VelA11y",
                                 "Accessibility: populateNode for Invalid ID"));
        log.clear();
    }
    EXPECT_TRUE(natives->populateWithNullNode(items()[FormOk]));
}

TEST_F(A11yBridgeTest, WithoutAFocusWindowTheHostRootIsMissing)
{
    VelWindow *form = nullptr;
    onGui([&] {
        form = formWindow();
        VelWindowSystemInterface::handleWindowActivated(nullptr);
        VelWindowSystemInterface::sendWindowSystemEvents(VelEventLoop::AllEvents);
    });
    EXPECT_TRUE(natives->childIds(-1).empty());
    EXPECT_EQ(natives->hitTest(50, 50), -1);
    EXPECT_EQ(natives->description(-1), "");
    EXPECT_EQ(natives->screenRect(-1), (JRect{0, 0, -1, -1}));
    EXPECT_FALSE(natives->clickAction(-1));
    onGui([&] {
        VelWindowSystemInterface::handleWindowActivated(form);
        VelWindowSystemInterface::sendWindowSystemEvents(VelEventLoop::AllEvents);
    });
    EXPECT_EQ(natives->childIds(-1).size(), size_t(FormItemCount));
}

std::promise<void> *releaseGuiThread = nullptr;

void releaseOnQueued()
{
    if (releaseGuiThread)
        releaseGuiThread->set_value();
    releaseGuiThread = nullptr;
}

TEST_F(A11yBridgeTest, ObjectDeletedBeforeTheGuiThreadGetsToTheCallIsMissing)
{
    VelObject *doomed = nullptr;
    int id = 0;
    onGui([&] {
        doomed = new VelObject(formWindow());
        id = int(VelAccessible::registerAccessibleInterface(
            new VelAccessibleObject(doomed, VelAccessible::PushButton, VelString("doomed"))));
    });
    ASSERT_EQ(natives->description(id), "doomed button");

    // The GUI thread is held in a call of ours that deletes the object as
    // soon as the native's work is queued behind it.
    std::promise<void> release;
    std::future<void> released = release.get_future();
    releaseGuiThread = &release;
    ASSERT_TRUE(VelMetaObject::invokeMethod(
        VelGuiApplication::instance(),
        [&released, doomed] {
            released.wait();
            delete doomed;
        },
        Vel::QueuedConnection));
    VelAndroidGuiThreadCall::setQueuedHook(releaseOnQueued);
    const std::string description = natives->description(id);
    VelAndroidGuiThreadCall::setQueuedHook(nullptr);
    EXPECT_EQ(description, "");
    EXPECT_EQ(natives->parentId(id), -1);
    EXPECT_EQ(natives->childIds(-1).size(), size_t(FormItemCount));
}

TEST_F(A11yBridgeTest, ChildListThatGrowsWhileReadStaysInItsArray)
{
    VelObject *holder = nullptr;
    int id = 0;
    int leafId = 0;
    onGui([&] {
        holder = new VelObject;
        auto *node = new GrowingNode(holder);
        auto *leaf = new VelAccessibleObject(new VelObject(holder));
        leafId = int(VelAccessible::registerAccessibleInterface(leaf));
        node->m_leaf = leaf;
        id = int(VelAccessible::registerAccessibleInterface(node));
    });
    EXPECT_EQ(natives->childIds(id), (std::vector<int>{leafId, leafId, leafId}));
    onGui([&] { delete holder; });
    EXPECT_TRUE(natives->childIds(id).empty());
}

TEST_F(A11yBridgeTest, HitTestStopsOnACycle)
{
    VelObject *a = nullptr;
    const VelRect area(400, 700, 60, 60);
    int aId = 0;
    int bId = 0;
    onGui([&] {
        VelWindow *form = formWindow();
        a = new VelObject(form);
        auto *first = new ProbeNode(a, area.translated(form->mapToGlobal(VelPoint(0, 0))));
        auto *second = new ProbeNode(new VelObject(a), first->rect());
        first->next = second;
        second->next = first; // leads back up
        aId = int(VelAccessible::registerAccessibleInterface(first));
        bId = int(VelAccessible::registerAccessibleInterface(second));
    });
    const JRect root = natives->screenRect(-1);
    const int hit = natives->hitTest(float(root.left + 410), float(root.top + 710));
    EXPECT_TRUE(hit == aId || hit == bId) << hit;
    onGui([&] { delete a; });
    EXPECT_EQ(natives->hitTest(float(root.left + 410), float(root.top + 710)), -1);
}

TEST_F(A11yBridgeTest, SetActiveSwitchesThePlatformAccessibility)
{
    VelLogCapture log;
    bool active = false;
    natives->setActive(true);
    onGui([&] { active = VelAccessible::isActive(); });
    EXPECT_TRUE(active);
    natives->setActive(false);
    onGui([&] { active = VelAccessible::isActive(); });
    EXPECT_FALSE(active);
    EXPECT_FALSE(
        log.contains(ANDROID_LOG_WARN, "VelA11y", "Could not activate platform accessibility."));
}

TEST_F(A11yBridgeTest, PlatformAccessibilityIsOneObjectWhicheverThreadAsks)
{
    VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
    ASSERT_NE(integration, nullptr);
    const int threadCount = 8;
    std::vector<VelPlatformAccessibility *> seen(threadCount, nullptr);
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < threadCount)
                std::this_thread::yield();
            seen[size_t(t)] = integration->accessibility();
        });
    }
    natives->setActive(true); // the Java thread's way in, meanwhile
    for (std::thread &thread : threads)
        thread.join();
    VelPlatformAccessibility *onGuiThread = nullptr;
    onGui([&] { onGuiThread = integration->accessibility(); });
    ASSERT_NE(onGuiThread, nullptr);
    for (VelPlatformAccessibility *accessibility : seen)
        EXPECT_EQ(accessibility, onGuiThread);
    EXPECT_TRUE(onGuiThread->isActive());
    natives->setActive(false);
}

TEST_F(A11yBridgeTest, WalkerDumpsTheTreeAndClicksByText)
{
    std::string tree;
    std::string error;
    ASSERT_TRUE(VelAccessibilitySteps::dump(run.driver(), &tree, &error)) << error;
    const std::vector<int> ids = items();
    EXPECT_EQ(tree.rfind("accessibility tree: 7 nodes\n", 0), 0u) << tree;
    const JRect ok = expectedRect(FormOk);
    const std::string okLine =
        "  [" + std::to_string(ids[FormOk]) + "] \"OK button\" content=\"OK button\" bounds=[" +
        std::to_string(ok.left) + "," + std::to_string(ok.top) + "][" + std::to_string(ok.right) +
        "," + std::to_string(ok.bottom) + "] states=enabled,focusable,visible,clickable" +
        " actions=click children=0\n";
    EXPECT_NE(tree.find(okLine), std::string::npos) << tree;
    EXPECT_NE(tree.find("\"Name text\" content=\"Vel text\""), std::string::npos) << tree;

    std::string line;
    ASSERT_TRUE(VelAccessibilitySteps::click(run.driver(), "Cancel", &line, &error)) << error;
    EXPECT_NE(line.find("\"Cancel button\""), std::string::npos) << line;
    EXPECT_EQ(natives->description(ids[FormStatus]), "Last action: Cancel label");
    ASSERT_TRUE(
        VelAccessibilitySteps::click(run.driver(), std::to_string(ids[FormOk]), &line, &error))
        << error;
    EXPECT_EQ(natives->description(ids[FormStatus]), "Last action: OK label");
    EXPECT_FALSE(VelAccessibilitySteps::click(run.driver(), "No such node", &line, &error));
    EXPECT_NE(error.find("No such node"), std::string::npos) << error;
}

} // namespace
