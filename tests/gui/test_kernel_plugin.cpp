// Loading the platform plugin by key through the static-plugin registry, and the
// lifetime of the integration it makes.

#include "test_kernel_integration.h"

#include "velguiapplication.h"
#include "velplatformintegrationfactory.h"
#include "velscreen.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

class OtherInterfacePlugin : public VelPlatformIntegrationPlugin
{
public:
    VelPlatformIntegration *create(const VelString &, const VelStringList &) override
    {
        ADD_FAILURE() << "a plugin of another interface was asked for an integration";
        return nullptr;
    }
};

VelObject *otherInstance()
{
    static OtherInterfacePlugin *plugin = new OtherInterfacePlugin;
    return plugin;
}

const char *otherMetaData()
{
    static constexpr VelPluginMetaDataBlock block =
        velPluginMetaData("OtherInterfacePlugin", {"kerneltest"}, "org.vel.SomethingElse.1.0");
    return block.bytes;
}

class PluginLoadingTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        velRegisterStaticPluginFunction(VelStaticPlugin{otherInstance, otherMetaData});
        registerKernelTestPlugin();
    }
    void SetUp() override
    {
        TestPlatformLog::instance().reset();
        unsetenv("VEL_VELPA_PLATFORM");
    }
    void TearDown() override { unsetenv("VEL_VELPA_PLATFORM"); }
};

TEST_F(PluginLoadingTest, KeysComeFromTheMetadataOfPlatformPluginsOnly)
{
    const VelStringList keys = VelPlatformIntegrationFactory::keys();
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(keys.first().toLower(), VelString("kerneltest"));
}

TEST_F(PluginLoadingTest, AnyLetterCaseFindsThePluginWhichIsInitializedOnceBeforeWindows)
{
    int argc = 1;
    char arg0[] = "test";
    char *argv[] = {arg0, nullptr};
    auto *app = new VelGuiApplication(argc, argv, VelString("KERNELTEST"));
    auto &log = TestPlatformLog::instance();
    ASSERT_NE(VelGuiApplication::platformIntegration(), nullptr);
    EXPECT_EQ(VelGuiApplication::platformName(), VelString("KERNELTEST"));
    EXPECT_EQ(log.integrationsCreated, 1);
    EXPECT_EQ(log.initializeCalls, 1);
    ASSERT_NE(VelGuiApplication::primaryScreen(), nullptr);
    EXPECT_EQ(VelGuiApplication::primaryScreen()->geometry(), VelRect(0, 0, 800, 600));

    VelWindow window;
    EXPECT_EQ(window.handle(), nullptr) << "platform windows are made on create or show";
    window.show();
    VelWindow second;
    second.create();
    ASSERT_NE(window.handle(), nullptr);
    EXPECT_EQ(window.handle()->window(), &window);
    EXPECT_EQ(log.windowsCreated, 2);
    EXPECT_EQ(log.windowsCreatedBeforeInitialize, 0);
    EXPECT_EQ(log.initializeCalls, 1);

    int lastClosed = 0;
    const auto connection =
        VelObject::connect(app, &VelGuiApplication::lastWindowClosed, [&] { ++lastClosed; });
    VelWindow tip;
    tip.setFlags(Vel::ToolTip);
    tip.show();
    second.show();
    window.hide();
    EXPECT_EQ(lastClosed, 0) << "another window is still shown";
    second.hide();
    EXPECT_EQ(lastClosed, 1) << "a tool tip does not keep the application open";
    VelObject::disconnect(connection);
    tip.hide();

    // The application ends: platform windows first, then the integration; the windows
    // themselves belong to the program and stay usable.
    delete app;
    EXPECT_EQ(log.platformWindowsDestroyed, 3);
    EXPECT_EQ(log.integrationsDestroyed, 1);
    EXPECT_EQ(window.handle(), nullptr);
    EXPECT_EQ(VelGuiApplication::platformIntegration(), nullptr);
    EXPECT_EQ(VelGuiApplication::instance(), nullptr);
}

TEST_F(PluginLoadingTest, CommandLineBeatsEnvironmentBeatsConstructorAndPassesParameters)
{
    setenv("VEL_VELPA_PLATFORM", "nosuchplatform", 1);
    int argc = 3;
    char arg0[] = "test";
    char arg1[] = "-platform";
    char arg2[] = "KernelTest:alpha:beta";
    char *argv[] = {arg0, arg1, arg2, nullptr};
    {
        VelGuiApplication app(argc, argv, VelString("nosuchplatform"));
        EXPECT_NE(VelGuiApplication::platformIntegration(), nullptr);
        const VelStringList expected = VelStringList() << VelString("alpha") << VelString("beta");
        EXPECT_EQ(TestPlatformLog::instance().lastParameters, expected);
    }
    TestPlatformLog::instance().reset();
    setenv("VEL_VELPA_PLATFORM", "kErNeLtEsT", 1);
    int plainArgc = 1;
    char *plainArgv[] = {arg0, nullptr};
    {
        VelGuiApplication app(plainArgc, plainArgv, VelString("nosuchplatform"));
        EXPECT_NE(VelGuiApplication::platformIntegration(), nullptr);
        EXPECT_EQ(TestPlatformLog::instance().lastKey, VelString("kErNeLtEsT"));
    }
    EXPECT_EQ(TestPlatformLog::instance().integrationsDestroyed, 1);
}

TEST_F(PluginLoadingTest, AnUnknownKeyLeavesTheApplicationWithoutIntegration)
{
    int argc = 1;
    char arg0[] = "test";
    char *argv[] = {arg0, nullptr};
    VelGuiApplication app(argc, argv, VelString("nosuchplatform"));
    EXPECT_EQ(VelGuiApplication::platformIntegration(), nullptr);
    EXPECT_EQ(TestPlatformLog::instance().integrationsCreated, 0);
    VelWindow window;
    window.show(); // warns, does not crash
    EXPECT_EQ(window.handle(), nullptr);
}

TEST_F(PluginLoadingTest, WithoutAnyRequestTheFirstPlatformPluginIsUsed)
{
    int argc = 1;
    char arg0[] = "test";
    char *argv[] = {arg0, nullptr};
    VelGuiApplication app(argc, argv);
    EXPECT_NE(VelGuiApplication::platformIntegration(), nullptr);
    EXPECT_EQ(TestPlatformLog::instance().initializeCalls, 1);
}

} // namespace
