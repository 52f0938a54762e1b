#include "velaccessible.h"
#include "velaccessibleevent.h"
#include "velaccessibleinterface.h"
#include "velaccessibleobject.h"
#include "velclipboard.h"
#include "velguiapplication.h"
#include "velmenu.h"
#include "velmimedata.h"
#include "velplatformaccessibility.h"
#include "velplatformclipboard.h"
#include "velplatformintegration.h"
#include "velplatformintegrationplugin.h"
#include "velplatformmenu.h"
#include "velplatformscreen.h"
#include "velplatformtheme.h"
#include "velplatformwindow.h"
#include "velplugin.h"
#include "velwindow.h"

#include <gtest/gtest.h>

#include <vector>

// The accessible tree and the platform services as an application meets
// them: through a GUI application over a small platform of its own.

namespace
{

using A = VelAccessible;

class RecordingAccessibility : public VelPlatformAccessibility
{
public:
    void notifyAccessibilityUpdate(VelAccessibleEvent *event) override
    {
        events.push_back(event->type());
    }
    std::vector<A::Event> events;
};

class Screen : public VelPlatformScreen
{
public:
    VelRect geometry() const override { return VelRect(0, 0, 800, 600); }
    int depth() const override { return 32; }
    int format() const override { return 4; }
};

class PlainWindow : public VelPlatformWindow
{
public:
    explicit PlainWindow(VelWindow *window) : VelPlatformWindow(window) {}
};

// Creates menus so that menus made without a theme can show they found this one.
class Menu : public VelPlatformMenu
{
public:
    void insertMenuItem(VelPlatformMenuItem *, VelPlatformMenuItem *) override {}
    void removeMenuItem(VelPlatformMenuItem *) override {}
    void syncMenuItem(VelPlatformMenuItem *) override {}
    void syncSeparatorsCollapsible(bool) override {}
    void setTag(veluintptr t) override { m_tag = t; }
    veluintptr tag() const override { return m_tag; }
    void setText(const VelString &) override {}
    void setIcon(const VelIcon &) override {}
    void setEnabled(bool) override {}
    void setVisible(bool) override {}
    void showPopup(const VelWindow *, const VelPoint &, const VelPlatformMenuItem *) override {}
    VelPlatformMenuItem *menuItemAt(int) const override { return nullptr; }
    VelPlatformMenuItem *menuItemForTag(veluintptr) const override { return nullptr; }

private:
    veluintptr m_tag = 0;
};

class Theme : public VelPlatformTheme
{
public:
    VelPlatformMenu *createPlatformMenu() const override { return new Menu; }
};

class Integration : public VelPlatformIntegration
{
public:
    ~Integration() override { delete m_screen; }
    void initialize() override
    {
        m_screen = new Screen;
        screenAdded(m_screen);
    }
    VelPlatformWindow *createPlatformWindow(VelWindow *window) const override
    {
        return new PlainWindow(window);
    }
    VelPlatformBackingStore *createPlatformBackingStore(VelWindow *) const override
    {
        return nullptr;
    }
    VelPlatformClipboard *clipboard() const override { return &m_clipboard; }
    VelPlatformAccessibility *accessibility() const override { return &m_accessibility; }
    VelStringList themeNames() const override { return VelStringList(VelString("test")); }
    VelPlatformTheme *createPlatformTheme(const VelString &name) const override
    {
        return name == VelString("test") ? new Theme : nullptr;
    }

    mutable VelPlatformClipboard m_clipboard;
    mutable RecordingAccessibility m_accessibility;

private:
    Screen *m_screen = nullptr;
};

class Plugin : public VelPlatformIntegrationPlugin
{
public:
    VelPlatformIntegration *create(const VelString &key, const VelStringList &) override
    {
        return key.toLower() == VelString("guiplatformtest") ? new Integration : nullptr;
    }
};

VelObject *pluginInstance()
{
    static Plugin *plugin = new Plugin;
    return plugin;
}

const char *pluginMetaData()
{
    static constexpr VelPluginMetaDataBlock block =
        velPluginMetaData("Plugin", {"GuiPlatformTest"});
    return block.bytes;
}

int argc = 1;
char arg0[] = "gui_test_accessible_application";
char *argv[] = {arg0, nullptr};

class ApplicationTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        velRegisterStaticPluginFunction(VelStaticPlugin{pluginInstance, pluginMetaData});
        app = new VelGuiApplication(argc, argv, VelString("guiplatformtest"));
    }
    static void TearDownTestSuite()
    {
        delete app;
        app = nullptr;
    }
    void SetUp() override { ASSERT_NE(integration(), nullptr); }

    static Integration *integration()
    {
        return static_cast<Integration *>(VelGuiApplication::platformIntegration());
    }

    static VelGuiApplication *app;
};

VelGuiApplication *ApplicationTest::app = nullptr;

} // namespace

TEST_F(ApplicationTest, WindowsHangUnderTheApplication)
{
    VelWindow first;
    first.setTitle("Main");
    first.setGeometry(10, 20, 300, 200);
    VelWindow second;

    VelAccessibleInterface *appIface = A::queryAccessibleInterface(app);
    ASSERT_NE(appIface, nullptr);
    EXPECT_EQ(appIface->role(), A::Application);
    EXPECT_EQ(appIface->parent(), nullptr);
    EXPECT_EQ(appIface->childCount(), 2);

    VelAccessibleInterface *root = A::accessibleRoot(&first);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->role(), A::Window);
    EXPECT_EQ(root->text(A::Name), VelString("Main"));
    EXPECT_EQ(root->window(), &first);
    EXPECT_EQ(root->rect(), VelRect(10, 20, 300, 200));
    EXPECT_TRUE(root->state().invisible) << "not shown yet";
    EXPECT_EQ(root->parent(), appIface) << "a top-level window's parent is the application";
    EXPECT_GE(appIface->indexOfChild(root), 0);

    // Objects the application hangs under the window form its tree.
    auto button = new VelObject(&first);
    auto buttonIface = new VelAccessibleObject(button, A::PushButton, "OK");
    buttonIface->setRect(VelRect(20, 30, 40, 20));
    A::registerAccessibleInterface(buttonIface);
    EXPECT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0), buttonIface);
    EXPECT_EQ(buttonIface->parent(), root);
    EXPECT_EQ(buttonIface->window(), &first);
    EXPECT_EQ(root->childAt(25, 35), buttonIface);

    const A::Id rootId = A::uniqueId(root);
    const A::Id buttonId = A::uniqueId(buttonIface);
    delete button;
    EXPECT_EQ(A::accessibleInterface(buttonId), nullptr);
    EXPECT_EQ(A::accessibleInterface(rootId), root);
}

TEST_F(ApplicationTest, WindowInterfacesGoWithTheirWindows)
{
    A::Id id = 0;
    {
        VelWindow window;
        id = A::uniqueId(A::accessibleRoot(&window));
        ASSERT_NE(A::accessibleInterface(id), nullptr);
    }
    EXPECT_EQ(A::accessibleInterface(id), nullptr);
    EXPECT_EQ(A::queryAccessibleInterface(app)->childCount(), 0);
}

TEST_F(ApplicationTest, UpdatesReachThePlatformOnlyWhileActive)
{
    RecordingAccessibility &platform = integration()->m_accessibility;
    platform.events.clear();
    VelWindow window;
    VelAccessibleEvent event(&window, A::NameChanged);
    A::updateAccessibility(&event);
    EXPECT_TRUE(platform.events.empty());
    EXPECT_FALSE(A::isActive());

    platform.setActive(true); // as a bridge does when a screen reader starts
    EXPECT_TRUE(A::isActive());
    A::updateAccessibility(&event);
    EXPECT_EQ(platform.events, std::vector<A::Event>{A::NameChanged});
    A::setActive(false);
    EXPECT_FALSE(platform.isActive());
}

TEST_F(ApplicationTest, ClipboardIsTheIntegrationsAndBelongsToTheApplication)
{
    VelClipboard *clipboard = VelClipboard::instance();
    ASSERT_NE(clipboard, nullptr);
    EXPECT_EQ(clipboard, VelClipboard::instance());
    EXPECT_EQ(clipboard->platformClipboard(), &integration()->m_clipboard);
    EXPECT_EQ(clipboard->parent(), app);
    clipboard->setText("shared");
    VelMimeData *direct = integration()->m_clipboard.mimeData(VelClipboard::Clipboard);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(direct->text(), VelString("shared"));
    delete direct;
}

TEST_F(ApplicationTest, MenusWithoutAThemeUseTheApplications)
{
    ASSERT_NE(VelGuiApplication::platformTheme(), nullptr);
    VelMenu menu("m");
    EXPECT_EQ(menu.platformTheme(), VelGuiApplication::platformTheme());
    EXPECT_NE(menu.platformMenu(), nullptr);
}
