// The Android clipboard through a real Java VM: the four Java calls, text in
// both directions unit for unit, what is refused, and the objects handed to
// the host on every read.

#include "servicestestsupport.h"

#include "androidjniclipboard.h"
#include "velandroidplatformclipboard.h"

#include "velclipboard.h"
#include "velmimedata.h"
#include "velpointer.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace
{

using ServicesTest::driver;
using ServicesTest::putClipboardFromOutside;

class ClipboardTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(ServicesTest::loadPlugin()); }

    void SetUp() override
    {
        ASSERT_TRUE(ServicesTest::loadPlugin());
        putClipboardFromOutside(nullptr);
        ASSERT_TRUE(driver().clearJavaCalls());
    }

    // The host calls the clipboard on its GUI thread, which Java does not
    // know: run there, attached and detached by the plugin for each call.
    template <typename Work> static void onNativeThread(Work work)
    {
        std::thread thread(work);
        thread.join();
    }

    static VelString fromUtf16(const std::u16string &text)
    {
        return VelString(text.data(), int(text.size()));
    }
};

TEST_F(ClipboardTest, EveryClipboardObjectRegistersTheClipboardManager)
{
    onNativeThread([] { VelAndroidPlatformClipboard clipboard; });
    EXPECT_EQ(driver().javaCallCount("registerClipboardManager"), 1);
}

TEST_F(ClipboardTest, OnlyTheMainModeIsSupportedAndOthersNeverReachJava)
{
    VelAndroidPlatformClipboard clipboard;
    ASSERT_TRUE(driver().clearJavaCalls());
    EXPECT_TRUE(clipboard.supportsMode(VelClipboard::Clipboard));
    EXPECT_FALSE(clipboard.supportsMode(VelClipboard::Selection));
    EXPECT_FALSE(clipboard.supportsMode(VelClipboard::FindBuffer));
    const std::u16string text = u"x";
    putClipboardFromOutside(&text);
    EXPECT_EQ(clipboard.mimeData(VelClipboard::Selection), nullptr);
    VelMimeData data;
    data.setText(VelString("y"));
    clipboard.setMimeData(&data, VelClipboard::FindBuffer);
    EXPECT_TRUE(driver().javaCalls().empty());
}

TEST_F(ClipboardTest, TextRoundTripsIncludingCharactersOutsideTheBasicPlane)
{
    // A clef and a face (surrogate pairs), an accent, a NUL-free mix.
    const std::u16string samples[] = {u"a", u"\U0001D11E clef \U0001F600 é", u"line\nnext"};
    for (const std::u16string &sample : samples) {
        onNativeThread([&] {
            VelAndroidPlatformClipboard clipboard;
            VelMimeData data;
            data.setText(fromUtf16(sample));
            clipboard.setMimeData(&data);
            std::unique_ptr<VelMimeData> back(clipboard.mimeData());
            ASSERT_NE(back, nullptr);
            EXPECT_TRUE(back->text() == fromUtf16(sample));
        });
        // What Java holds is the same UTF-16, unit for unit.
        JNIEnv *env = VelJavaVm::env();
        jclass velNative = env->FindClass("org/vel/android/VelNative");
        jmethodID get =
            env->GetStaticMethodID(velNative, "getClipboardText", "()Ljava/lang/String;");
        auto string = static_cast<jstring>(env->CallStaticObjectMethod(velNative, get));
        ASSERT_FALSE(ServicesTest::clearException(env));
        EXPECT_EQ(ServicesTest::fromJava(env, string), sample);
        env->DeleteLocalRef(string);
        env->DeleteLocalRef(velNative);
    }
}

TEST_F(ClipboardTest, TextCopiedOutsideIsReadAndEachReadIsANewObject)
{
    const std::u16string outside = u"from another app \U0001F4CB";
    putClipboardFromOutside(&outside);
    VelAndroidPlatformClipboard clipboard;
    std::unique_ptr<VelMimeData> first(clipboard.mimeData());
    std::unique_ptr<VelMimeData> second(clipboard.mimeData());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(first->text() == fromUtf16(outside));
    EXPECT_TRUE(second->text() == fromUtf16(outside));
    // Java was asked both times: nothing is cached.
    EXPECT_EQ(driver().javaCallCount("getClipboardText"), 2);
}

TEST_F(ClipboardTest, AnEmptyOrNullAndroidClipboardGivesNoDataAndAnEmptyText)
{
    VelAndroidPlatformClipboard clipboard;
    putClipboardFromOutside(nullptr);
    EXPECT_FALSE(VelAndroidClipboard::hasClipboardText());
    EXPECT_EQ(clipboard.mimeData(), nullptr);
    // Asked directly, a null string from Java is an empty text.
    EXPECT_TRUE(VelAndroidClipboard::clipboardText().isEmpty());
    const std::u16string empty;
    putClipboardFromOutside(&empty);
    EXPECT_EQ(clipboard.mimeData(), nullptr);
}

TEST_F(ClipboardTest, EmptyTextIsHandedToJavaAsAnEmptyString)
{
    const std::u16string before = u"before";
    putClipboardFromOutside(&before);
    VelAndroidPlatformClipboard clipboard;
    VelMimeData data;
    data.setText(VelString());
    clipboard.setMimeData(&data);
    EXPECT_EQ(ServicesTest::callsNamed("setClipboardText"),
              std::vector<std::string>{"setClipboardText()"});
    EXPECT_EQ(clipboard.mimeData(), nullptr);
}

TEST_F(ClipboardTest, DataWithoutTextOrNoDataLeavesTheClipboardUnchanged)
{
    const std::u16string kept = u"kept";
    putClipboardFromOutside(&kept);
    VelAndroidPlatformClipboard clipboard;
    VelMimeData imageOnly;
    imageOnly.setImageData(VelVariant(42));
    ASSERT_TRUE(imageOnly.hasImage());
    clipboard.setMimeData(&imageOnly);
    clipboard.setMimeData(nullptr);
    EXPECT_EQ(driver().javaCallCount("setClipboardText"), 0);
    std::unique_ptr<VelMimeData> back(clipboard.mimeData());
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->text() == VelString("kept"));

    // Text and an image: only the text travels.
    VelMimeData both;
    both.setText(VelString("text too"));
    both.setImageData(VelVariant(7));
    clipboard.setMimeData(&both);
    back.reset(clipboard.mimeData());
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->hasImage());
    EXPECT_TRUE(back->text() == VelString("text too"));
}

TEST_F(ClipboardTest, AThousandPollsThroughTheHostClipboardLeaveOneObjectAlive)
{
    const std::u16string text = u"polled";
    putClipboardFromOutside(&text);
    VelAndroidPlatformClipboard platform;
    VelClipboard clipboard(&platform);
    std::vector<VelPointer<VelMimeData>> seen;
    for (int i = 0; i < 1000; ++i) {
        const VelMimeData *data = clipboard.mimeData();
        ASSERT_NE(data, nullptr);
        seen.emplace_back(const_cast<VelMimeData *>(data));
    }
    int alive = 0;
    for (const auto &data : seen)
        alive += data ? 1 : 0;
    EXPECT_EQ(alive, 1);
    EXPECT_TRUE(seen.back());
    EXPECT_TRUE(clipboard.text() == VelString("polled"));
}

} // namespace
