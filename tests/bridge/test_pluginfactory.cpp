// The plugin library as the host sees it before any Java VM exists: its
// metadata block, the factory and the integration's fixed answers.

#include "androidplatformplugin.h"
#include "velandroidplatformintegration.h"
#include "veleglfshooks.h"

#include "veljsonarray.h"
#include "velplatformintegrationfactory.h"
#include "velplatformintegrationplugin.h"
#include "velplatformnativeinterface.h"
#include "velplatformservices.h"
#include "velpluginloader.h"
#include "velurl.h"
#include "velvariant.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

TEST(PluginMetaData, BlockReadsBackThroughTheHostLoader)
{
    const VelJsonObject meta =
        VelPluginLoader::metaData(vel_static_plugin_VelAndroidPlatformIntegrationPlugin());
    EXPECT_EQ(meta.value("className").toString(), VelString("VelAndroidPlatformIntegrationPlugin"));
    EXPECT_EQ(meta.value("IID").toString(), VelString(VEL_PLATFORM_INTEGRATION_FACTORY_IID));
    const VelJsonArray keys = meta.value("MetaData").toObject().value("Keys").toArray();
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(keys.at(0).toString(), VelString("android"));
    // Registered when the library was loaded.
    EXPECT_TRUE(VelPlatformIntegrationFactory::keys().contains(VelString("android")));
}

TEST(PluginFactory, KeyMatchesInAnyLetterCase)
{
    VelAndroidPlatformIntegrationPlugin plugin;
    for (const char *key : {"android", "ANDROID", "AnDroid"}) {
        std::unique_ptr<VelPlatformIntegration> integration(
            plugin.create(VelString(key), VelStringList()));
        EXPECT_NE(dynamic_cast<VelAndroidPlatformIntegration *>(integration.get()), nullptr) << key;
    }
    EXPECT_EQ(plugin.create(VelString("androids"), VelStringList()), nullptr);
    EXPECT_EQ(plugin.create(VelString(), VelStringList()), nullptr);
}

class IntegrationTest : public ::testing::Test
{
protected:
    IntegrationTest() : integration(new VelAndroidPlatformIntegration(VelStringList())) {}
    std::unique_ptr<VelAndroidPlatformIntegration> integration;
};

TEST_F(IntegrationTest, CapabilitiesHintsAndWindowStates)
{
    using I = VelPlatformIntegration;
    EXPECT_TRUE(integration->hasCapability(I::ThreadedPixmaps));
    EXPECT_TRUE(integration->hasCapability(I::ApplicationState));
    EXPECT_FALSE(integration->hasCapability(I::NativeWidgets));
    EXPECT_TRUE(integration->hasCapability(I::OpenGL));
    EXPECT_FALSE(integration->hasCapability(I::WindowManagement));
    EXPECT_TRUE(integration->styleHint(I::ShowIsMaximized).toBool());
    EXPECT_EQ(integration->defaultWindowState(Vel::Dialog), Vel::WindowNoState);
    EXPECT_EQ(integration->defaultWindowState(Vel::Window),
              integration->VelPlatformIntegration::defaultWindowState(Vel::Window));
}

TEST_F(IntegrationTest, NativeResourcesAndServicesWithoutAJavaVm)
{
    VelPlatformNativeInterface *native = integration->nativeInterface();
    ASSERT_NE(native, nullptr);
    EXPECT_NE(static_cast<void *>(native), static_cast<void *>(integration.get()));
    EXPECT_EQ(native->nativeResourceForIntegration("JavaVM"), nullptr);
    EXPECT_NE(native->nativeResourceForIntegration("AndroidStylePalettes"), nullptr);
    EXPECT_NE(native->nativeResourceForIntegration("AndroidStyleFonts"), nullptr);
    EXPECT_EQ(native->nativeResourceForIntegration("androidstylefonts"), nullptr);
    EXPECT_EQ(integration->services()->desktopEnvironment(), VelByteArray("Android"));
    // Nothing could open it: that is a failure, not a success.
    EXPECT_FALSE(integration->services()->openUrl(VelUrl(VelString("https://example.org/"))));
}

TEST_F(IntegrationTest, HooksReportTheDefaultsUntilMetricsArrive)
{
    EXPECT_EQ(platformHooks->screenSize(), VelSize(320, 455));
    EXPECT_EQ(platformHooks->physicalScreenSize(), VelSizeF(50, 71));
    EXPECT_EQ(platformHooks->screenDepth(), 32);
    EXPECT_EQ(platformHooks->createCursor(nullptr), nullptr);

    VelSurfaceFormat rgb565;
    rgb565.setRedBufferSize(5);
    rgb565.setGreenBufferSize(6);
    rgb565.setBlueBufferSize(5);
    const VelSurfaceFormat adjusted = platformHooks->surfaceFormatFor(rgb565);
    EXPECT_EQ(adjusted.redBufferSize(), 8);
    EXPECT_EQ(adjusted.greenBufferSize(), 8);
    EXPECT_EQ(adjusted.blueBufferSize(), 8);
    EXPECT_EQ(adjusted.alphaBufferSize(), 8);

    VelAndroidPlatformIntegration::setDefaultDisplayMetrics(720, 1184, 57, 94);
    EXPECT_EQ(platformHooks->screenSize(), VelSize(720, 1184));
    EXPECT_EQ(platformHooks->physicalScreenSize(), VelSizeF(57, 94));
    VelAndroidPlatformIntegration::setDefaultDisplayMetrics(320, 455, 50, 71);
}

} // namespace
