#include "velcoreapplication.h"
#include "velmessagebox.h"
#include "velmetaobject.h"
#include "velplatformmessagedialoghelper.h"
#include "velplatformtheme.h"
#include "veltimer.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace
{

using Helper = VelPlatformDialogHelper;

struct HelperLog {
    int created = 0;
    int shows = 0;
    int hides = 0;
    int deleted = 0;
    std::shared_ptr<VelMessageDialogOptions> options;
};

// How the fake native dialog answers once shown.
enum class Answer {
    QueuedClick,
    ClickFromOtherThread,
    ClickDuringShow,
    ClickWithoutRole,
    Dismiss,
    FailShow
};

// A native message dialog that answers like a platform bridge: the result
// arrives later as a queued call of dialogResult(int), possibly from another
// thread; a negative result means dismissed.
class FakeMessageHelper : public VelPlatformMessageDialogHelper
{
    VEL_OBJECT
public:
    FakeMessageHelper(HelperLog *log, Answer answer, int button)
        : m_log(log), m_answer(answer), m_button(button)
    {
        ++m_log->created;
    }
    ~FakeMessageHelper() override
    {
        ++m_log->deleted;
        if (m_thread.joinable())
            m_thread.join();
    }

    void exec() override {}
    bool show(Vel::WindowFlags, Vel::WindowModality, VelWindow *) override
    {
        ++m_log->shows;
        m_log->options = options();
        switch (m_answer) {
        case Answer::FailShow:
            return false;
        case Answer::ClickDuringShow:
            dialogResult(m_button);
            break;
        case Answer::QueuedClick:
        case Answer::ClickWithoutRole:
            VelMetaObject::invokeMethod(this, "dialogResult", Vel::QueuedConnection,
                                        VEL_ARG(int, m_button));
            break;
        case Answer::Dismiss:
            VelMetaObject::invokeMethod(this, "dialogResult", Vel::QueuedConnection,
                                        VEL_ARG(int, -1));
            break;
        case Answer::ClickFromOtherThread:
            m_thread = std::thread([this]() {
                VelMetaObject::invokeMethod(this, "dialogResult", Vel::QueuedConnection,
                                            VEL_ARG(int, m_button));
            });
            break;
        }
        return true;
    }
    void hide() override { ++m_log->hides; }

    void dialogResult(int button)
    {
        if (button < 0)
            reject();
        else if (m_answer == Answer::ClickWithoutRole)
            clicked(button, InvalidRole);
        else
            clicked(button, buttonRole(uint(button)));
    }

private:
    HelperLog *m_log;
    Answer m_answer;
    int m_button;
    std::thread m_thread;
};

VEL_META_BEGIN(FakeMessageHelper, VelPlatformMessageDialogHelper)
VEL_META_SLOT(dialogResult, int)
VEL_META_END

class FakeTheme : public VelPlatformTheme
{
public:
    bool usePlatformNativeDialog(DialogType type) const override
    {
        return native && type == MessageDialog;
    }
    VelPlatformDialogHelper *createPlatformDialogHelper(DialogType type) const override
    {
        if (type != MessageDialog)
            return nullptr;
        return new FakeMessageHelper(&log, answer, button);
    }

    bool native = true;
    Answer answer = Answer::QueuedClick;
    int button = Helper::Yes;
    mutable HelperLog log;
};

class MessageBoxTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "gui_test_platform_messagebox";
        static char *argv[] = {name, nullptr};
        if (!VelCoreApplication::instance())
            s_app = new VelCoreApplication(argc, argv);
    }
    static void TearDownTestSuite()
    {
        delete s_app;
        s_app = nullptr;
    }

    // Fails the test instead of hanging when the nested loop never returns.
    uint execWithWatchdog(VelMessageBox &box)
    {
        bool timedOut = false;
        VelTimer::singleShot(5000, &box, [&]() {
            timedOut = true;
            VelCoreApplication::exit(1);
        });
        const uint result = box.exec();
        EXPECT_FALSE(timedOut);
        return result;
    }

    static VelCoreApplication *s_app;
};

VelCoreApplication *MessageBoxTest::s_app = nullptr;

} // namespace

TEST(StandardButtons, RolesOfEveryButton)
{
    EXPECT_EQ(Helper::buttonRole(Helper::Ok), Helper::AcceptRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Save), Helper::AcceptRole);
    EXPECT_EQ(Helper::buttonRole(Helper::SaveAll), Helper::AcceptRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Open), Helper::AcceptRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Retry), Helper::AcceptRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Ignore), Helper::AcceptRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Yes), Helper::YesRole);
    EXPECT_EQ(Helper::buttonRole(Helper::YesToAll), Helper::YesRole);
    EXPECT_EQ(Helper::buttonRole(Helper::No), Helper::NoRole);
    EXPECT_EQ(Helper::buttonRole(Helper::NoToAll), Helper::NoRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Abort), Helper::RejectRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Close), Helper::RejectRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Cancel), Helper::RejectRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Discard), Helper::DestructiveRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Help), Helper::HelpRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Apply), Helper::ApplyRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Reset), Helper::ResetRole);
    EXPECT_EQ(int(Helper::YesRole), 5);
    EXPECT_EQ(int(Helper::ApplyRole), 8);
}

TEST(StandardButtons, AnythingButOneKnownButtonHasNoRole)
{
    EXPECT_EQ(Helper::buttonRole(Helper::NoButton), Helper::InvalidRole);
    EXPECT_EQ(Helper::buttonRole(Helper::Ok | Helper::Cancel), Helper::InvalidRole);
    EXPECT_EQ(Helper::buttonRole(0x200), Helper::InvalidRole);
    EXPECT_EQ(Helper::buttonRole(0x80000000u), Helper::InvalidRole);
    EXPECT_STREQ(Helper::buttonText(Helper::YesToAll), "Yes to All");
    EXPECT_STREQ(Helper::buttonText(Helper::Ok | Helper::Cancel), "");
}

TEST(StandardButtons, BitValuesAreTheExchangedOnes)
{
    // Platform dialogs report these numbers back.
    EXPECT_EQ(uint(Helper::Ok), 0x400u);
    EXPECT_EQ(uint(Helper::Yes), 0x4000u);
    EXPECT_EQ(uint(Helper::Cancel), 0x400000u);
    EXPECT_EQ(uint(Helper::Reset), 0x4000000u);
}

TEST_F(MessageBoxTest, QueuedClickEndsTheNestedLoopWithThatButton)
{
    FakeTheme theme;
    theme.button = Helper::No;
    VelMessageBox box(nullptr, &theme);
    box.setIcon(VelMessageDialogOptions::Question);
    box.setWindowTitle("Quit");
    box.setText("Save changes?");
    box.setStandardButtons(Helper::Yes | Helper::No);

    EXPECT_EQ(execWithWatchdog(box), uint(Helper::No));
    EXPECT_EQ(box.clickedRole(), Helper::NoRole);
    EXPECT_TRUE(box.wasShown());
    EXPECT_EQ(theme.log.shows, 1);
    EXPECT_EQ(theme.log.hides, 1);
    EXPECT_EQ(theme.log.deleted, 1) << "the framework deletes the helper";
    ASSERT_TRUE(theme.log.options);
    EXPECT_EQ(theme.log.options->text(), VelString("Save changes?"));
    EXPECT_EQ(theme.log.options->windowTitle(), VelString("Quit"));
    EXPECT_EQ(theme.log.options->icon(), VelMessageDialogOptions::Question);
    EXPECT_EQ(theme.log.options->standardButtons(), uint(Helper::Yes | Helper::No));
}

TEST_F(MessageBoxTest, ResultFromAnotherThreadArrivesOnTheGuiThread)
{
    FakeTheme theme;
    theme.answer = Answer::ClickFromOtherThread;
    theme.button = Helper::Retry;
    VelMessageBox box(nullptr, &theme);
    box.setStandardButtons(Helper::Retry | Helper::Abort);
    EXPECT_EQ(execWithWatchdog(box), uint(Helper::Retry));
    EXPECT_EQ(box.clickedRole(), Helper::AcceptRole);
    EXPECT_EQ(theme.log.deleted, 1);
}

TEST_F(MessageBoxTest, AnswerDuringShowDoesNotHang)
{
    FakeTheme theme;
    theme.answer = Answer::ClickDuringShow;
    theme.button = Helper::Ok;
    VelMessageBox box(nullptr, &theme);
    EXPECT_EQ(execWithWatchdog(box), uint(Helper::Ok));
    EXPECT_EQ(theme.log.deleted, 1);
}

TEST_F(MessageBoxTest, DismissalReturnsNoButton)
{
    FakeTheme theme;
    theme.answer = Answer::Dismiss;
    VelMessageBox box(nullptr, &theme);
    box.setStandardButtons(Helper::Ok);
    EXPECT_EQ(execWithWatchdog(box), uint(Helper::NoButton));
    EXPECT_EQ(box.clickedRole(), Helper::InvalidRole);
    EXPECT_EQ(theme.log.deleted, 1);
}

TEST_F(MessageBoxTest, FailedShowReturnsAtOnceAndFreesTheHelper)
{
    FakeTheme theme;
    theme.answer = Answer::FailShow;
    VelMessageBox box(nullptr, &theme);
    EXPECT_EQ(execWithWatchdog(box), uint(Helper::NoButton));
    EXPECT_FALSE(box.wasShown());
    EXPECT_EQ(theme.log.created, 1);
    EXPECT_EQ(theme.log.deleted, 1);
}

TEST_F(MessageBoxTest, WithoutNativeDialogsNothingIsCreated)
{
    FakeTheme theme;
    theme.native = false;
    VelMessageBox box(nullptr, &theme);
    EXPECT_EQ(box.exec(), uint(Helper::NoButton));
    EXPECT_EQ(theme.log.created, 0);

    VelPlatformTheme plain; // the base offers no native dialogs
    VelMessageBox other(nullptr, &plain);
    EXPECT_EQ(other.exec(), uint(Helper::NoButton));
    EXPECT_FALSE(other.wasShown());
}

TEST_F(MessageBoxTest, EachExecUsesAFreshHelper)
{
    FakeTheme theme;
    VelMessageBox box(nullptr, &theme);
    EXPECT_EQ(execWithWatchdog(box), uint(Helper::Yes));
    theme.button = Helper::Cancel;
    EXPECT_EQ(execWithWatchdog(box), uint(Helper::Cancel));
    EXPECT_EQ(box.clickedRole(), Helper::RejectRole);
    EXPECT_EQ(theme.log.created, 2);
    EXPECT_EQ(theme.log.deleted, 2);
}

TEST_F(MessageBoxTest, ARoleTheHelperCannotTellComesFromTheButton)
{
    FakeTheme theme;
    theme.answer = Answer::ClickWithoutRole;
    theme.button = Helper::Discard;
    VelMessageBox box(nullptr, &theme);
    EXPECT_EQ(execWithWatchdog(box), uint(Helper::Discard));
    EXPECT_EQ(box.clickedRole(), Helper::DestructiveRole);
}
