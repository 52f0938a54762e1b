// Native message dialogs through a real Java VM: what the Java dialog is
// told, the results Java reports from its own threads as queued calls, and
// the results that must not reach a helper (hidden, deleted, made up).

#include "servicestestsupport.h"

#include "velandroidplatformdialoghelpers.h"
#include "velandroidplatformtheme.h"

#include "velcoreapplication.h"
#include "velmessagebox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

using Helper = VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper;
using ServicesTest::callsNamed;
using ServicesTest::driver;

struct Signals {
    std::vector<std::pair<int, int>> clicked;
    int rejected = 0;
};

class DialogTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(ServicesTest::loadPlugin());
        static int argc = 1;
        static char name[] = "services_test_dialogs";
        static char *argv[] = {name, nullptr};
        app = new VelCoreApplication(argc, argv);
    }

    void SetUp() override
    {
        ASSERT_TRUE(ServicesTest::loadPlugin());
        ASSERT_TRUE(driver().clearJavaCalls());
    }

    static std::shared_ptr<VelMessageDialogOptions> options(uint buttons, const char *title = "Vel",
                                                            const char *informative = "")
    {
        auto o = std::make_shared<VelMessageDialogOptions>();
        o->setIcon(VelMessageDialogOptions::Question);
        o->setWindowTitle(VelString(title));
        o->setText(VelString("Quit?"));
        o->setInformativeText(VelString(informative));
        o->setStandardButtons(buttons);
        return o;
    }

    static void listen(Helper &helper, Signals *signals)
    {
        VelObject::connect(
            &helper, &VelPlatformMessageDialogHelper::clicked, &helper,
            [signals](int button, int role) { signals->clicked.emplace_back(button, role); });
        VelObject::connect(&helper, &VelPlatformDialogHelper::reject, &helper,
                           [signals]() { ++signals->rejected; });
    }

    // What Java does when the user answers: the native, on a Java thread
    // of its own.
    static void reportFromJava(jlong handle, int button)
    {
        std::thread java([handle, button] {
            jvalue args[2];
            args[0].j = handle;
            args[1].i = button;
            EXPECT_TRUE(driver().callStaticVoid("org/vel/android/VelNativeDialogHelper",
                                                "dialogResult", "(JI)V", {args[0], args[1]}))
                << driver().lastError();
            VelJavaVm::detachCurrentThread();
        });
        java.join();
    }

    static VelCoreApplication *app;
};

VelCoreApplication *DialogTest::app = nullptr;

TEST_F(DialogTest, RegisteredAtLoadAndTheJavaDialogIsMadeWithTheActivity)
{
    Helper helper;
    EXPECT_EQ(driver().javaCallCount("VelMessageDialogHelper.<init>"), 1);
    EXPECT_STREQ(helper.metaObject()->className(),
                 "VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper");
}

TEST_F(DialogTest, ShowTellsJavaEverythingInOrderWithOkBeforeCancel)
{
    Helper helper;
    helper.setOptions(options(VelPlatformDialogHelper::Cancel | VelPlatformDialogHelper::Ok |
                                  VelPlatformDialogHelper::RestoreDefaults,
                              "Leaving", "Unsaved changes are lost."));
    ASSERT_TRUE(driver().clearJavaCalls());
    ASSERT_TRUE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    const std::vector<std::string> expected = {
        "VelMessageDialogHelper.setIcon(4)",
        "VelMessageDialogHelper.setTile(Leaving)",
        "VelMessageDialogHelper.setText(Quit?)",
        "VelMessageDialogHelper.setInformativeText(Unsaved changes are lost.)",
        "VelMessageDialogHelper.addButton(1024, OK)",
        "VelMessageDialogHelper.addButton(4194304, Cancel)",
        "VelMessageDialogHelper.show(" + std::to_string(helper.handle()) + ")",
    };
    // Restore Defaults is not among the buttons offered to Java.
    EXPECT_EQ(callsNamed("VelMessageDialogHelper."), expected);
    EXPECT_TRUE(helper.isShown());
}

TEST_F(DialogTest, EmptyTitleAndInformativeTextAreNotSent)
{
    Helper helper;
    helper.setOptions(options(VelPlatformDialogHelper::Yes, "", ""));
    ASSERT_TRUE(driver().clearJavaCalls());
    ASSERT_TRUE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    EXPECT_TRUE(callsNamed("VelMessageDialogHelper.setTile").empty());
    EXPECT_TRUE(callsNamed("VelMessageDialogHelper.setInformativeText").empty());
    EXPECT_TRUE(callsNamed("VelMessageDialogHelper.setDetailedText").empty());
    EXPECT_EQ(callsNamed("VelMessageDialogHelper.addButton"),
              std::vector<std::string>{"VelMessageDialogHelper.addButton(16384, Yes)"});
}

TEST_F(DialogTest, LabelsGoThroughTheTranslator)
{
    VelCoreApplication::installTranslator(
        [](const char *context, const char *source, const char *, int) {
            if (std::string(context) ==
                    "VelAndroidDialogHelpers::VelAndroidPlatformMessageDialogHelper" &&
                std::string(source) == "Yes")
                return VelString("Ja");
            return VelString();
        });
    Helper helper;
    helper.setOptions(options(VelPlatformDialogHelper::Yes | VelPlatformDialogHelper::No));
    ASSERT_TRUE(driver().clearJavaCalls());
    ASSERT_TRUE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    VelCoreApplication::removeTranslators();
    EXPECT_EQ(callsNamed("VelMessageDialogHelper.addButton"),
              (std::vector<std::string>{"VelMessageDialogHelper.addButton(16384, Ja)",
                                        "VelMessageDialogHelper.addButton(65536, No)"}));
}

TEST_F(DialogTest, AResultArrivingWhileExecWaitsEndsItWithTheButtonsRole)
{
    Helper helper;
    Signals signals;
    listen(helper, &signals);
    helper.setOptions(options(VelPlatformDialogHelper::Yes | VelPlatformDialogHelper::No));
    // The user answers once the dialog is up; exec waits on the GUI thread.
    std::thread user([&] {
        ASSERT_TRUE(driver().waitForJavaCall("VelMessageDialogHelper.show", 30000));
        reportFromJava(helper.handle(), VelPlatformDialogHelper::Yes);
    });
    helper.exec();
    user.join();
    EXPECT_EQ(helper.buttonId(), int(VelPlatformDialogHelper::Yes));
    ASSERT_EQ(signals.clicked.size(), 1u);
    EXPECT_EQ(signals.clicked[0], std::make_pair(int(VelPlatformDialogHelper::Yes),
                                                 int(VelPlatformDialogHelper::YesRole)));
    EXPECT_EQ(signals.rejected, 0);
    EXPECT_EQ(driver().javaCallCount("VelMessageDialogHelper.show"), 1);
}

TEST_F(DialogTest, MinusOneRejectsWithoutAClick)
{
    Helper helper;
    Signals signals;
    listen(helper, &signals);
    helper.setOptions(options(VelPlatformDialogHelper::Ok));
    std::thread user([&] {
        ASSERT_TRUE(driver().waitForJavaCall("VelMessageDialogHelper.show", 30000));
        reportFromJava(helper.handle(), -1);
    });
    helper.exec();
    user.join();
    EXPECT_EQ(signals.rejected, 1);
    EXPECT_TRUE(signals.clicked.empty());
    EXPECT_EQ(helper.buttonId(), -1);
}

TEST_F(DialogTest, ExecAfterShowDoesNotShowASecondTime)
{
    Helper helper;
    helper.setOptions(options(VelPlatformDialogHelper::Ok));
    ASSERT_TRUE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    std::thread user([&] { reportFromJava(helper.handle(), VelPlatformDialogHelper::Ok); });
    helper.exec();
    user.join();
    EXPECT_EQ(driver().javaCallCount("VelMessageDialogHelper.show"), 1);
    EXPECT_EQ(driver().javaCallCount("VelMessageDialogHelper.addButton"), 1);
}

TEST_F(DialogTest, AResultThatCameBeforeExecIsNotWaitedForAgain)
{
    Helper helper;
    Signals signals;
    listen(helper, &signals);
    helper.setOptions(options(VelPlatformDialogHelper::Ok));
    ASSERT_TRUE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    reportFromJava(helper.handle(), VelPlatformDialogHelper::Ok);
    // The queued call is delivered by the application's loop before exec.
    VelCoreApplication::sendPostedEvents();
    ASSERT_EQ(signals.clicked.size(), 1u);
    helper.exec(); // returns at once: the answer is in
    EXPECT_EQ(signals.clicked.size(), 1u);
}

TEST_F(DialogTest, AResultForAHiddenDialogIsStillReportedButWakesNoLoop)
{
    Helper helper;
    Signals signals;
    listen(helper, &signals);
    helper.setOptions(options(VelPlatformDialogHelper::Ok | VelPlatformDialogHelper::Cancel));
    ASSERT_TRUE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
    helper.hide();
    EXPECT_FALSE(helper.isShown());
    EXPECT_EQ(driver().javaCallCount("VelMessageDialogHelper.hide"), 1);
    reportFromJava(helper.handle(), VelPlatformDialogHelper::Cancel);
    VelCoreApplication::sendPostedEvents();
    ASSERT_EQ(signals.clicked.size(), 1u);
    EXPECT_EQ(signals.clicked[0].second, int(VelPlatformDialogHelper::RejectRole));
    EXPECT_FALSE(helper.isShown());
}

TEST_F(DialogTest, HidingTheDialogEndsAWaitingExec)
{
    Helper helper;
    helper.setOptions(options(VelPlatformDialogHelper::Ok));
    // The application hides the box from its own loop while exec waits.
    VelMetaObject::invokeMethod(
        &helper, [&helper] { helper.hide(); }, Vel::QueuedConnection);
    helper.exec();
    EXPECT_FALSE(helper.isShown());
    EXPECT_EQ(driver().javaCallCount("VelMessageDialogHelper.hide"), 1);
}

TEST_F(DialogTest, AResultForADeletedHelperOrAMadeUpHandleTouchesNothing)
{
    Signals signals;
    jlong stale = 0;
    {
        Helper helper;
        listen(helper, &signals);
        helper.setOptions(options(VelPlatformDialogHelper::Ok));
        ASSERT_TRUE(helper.show(Vel::Dialog, Vel::ApplicationModal, nullptr));
        stale = helper.handle();
    }
    const int liveBefore = VelAndroidDialogHelpers::liveHelperCount();
    // A newer helper never takes over an old handle.
    Helper newer;
    Signals newerSignals;
    listen(newer, &newerSignals);
    EXPECT_NE(newer.handle(), stale);
    reportFromJava(stale, VelPlatformDialogHelper::Ok);
    // Handles with high bits set travel in full and match nothing.
    reportFromJava(jlong(1) << 40 | newer.handle(), VelPlatformDialogHelper::Ok);
    reportFromJava(-1, VelPlatformDialogHelper::Ok);
    VelCoreApplication::sendPostedEvents();
    EXPECT_TRUE(signals.clicked.empty());
    EXPECT_TRUE(newerSignals.clicked.empty());
    EXPECT_EQ(VelAndroidDialogHelpers::liveHelperCount(), liveBefore + 1);
}

TEST_F(DialogTest, AResultPostedJustBeforeTheHelperIsDeletedIsDiscardedWithIt)
{
    auto *helper = new Helper;
    Signals signals;
    listen(*helper, &signals);
    reportFromJava(helper->handle(), VelPlatformDialogHelper::Ok);
    // The call is queued for the helper; deleting it drops the call.
    delete helper;
    VelCoreApplication::sendPostedEvents();
    EXPECT_TRUE(signals.clicked.empty());
}

TEST_F(DialogTest, TheHostsMessageBoxRunsThroughTheTheme)
{
    ::setenv("VEL_USE_ANDROID_NATIVE_DIALOGS", "1", 1);
    VelAndroidPlatformTheme theme(nullptr);
    VelMessageBox box(nullptr, &theme);
    box.setText(VelString("Quit?"));
    box.setStandardButtons(VelPlatformDialogHelper::Yes | VelPlatformDialogHelper::No);
    std::thread user([&] {
        ASSERT_TRUE(driver().waitForJavaCall("VelMessageDialogHelper.show", 30000));
        const std::vector<std::string> shows = callsNamed("VelMessageDialogHelper.show(");
        ASSERT_EQ(shows.size(), 1u);
        const std::string handle = shows[0].substr(shows[0].find('(') + 1);
        reportFromJava(std::stoll(handle), VelPlatformDialogHelper::No);
    });
    EXPECT_EQ(box.exec(), uint(VelPlatformDialogHelper::No));
    user.join();
    EXPECT_EQ(box.clickedRole(), VelPlatformDialogHelper::NoRole);
    ::unsetenv("VEL_USE_ANDROID_NATIVE_DIALOGS");
}

} // namespace
