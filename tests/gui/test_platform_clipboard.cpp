#include "velclipboard.h"
#include "velmimedata.h"
#include "velplatformclipboard.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

// Counts live mime-data objects so that leaks and double frees show.
int g_liveMimeData = 0;

class CountedMimeData : public VelMimeData
{
public:
    CountedMimeData() { ++g_liveMimeData; }
    ~CountedMimeData() override { --g_liveMimeData; }
};

// A platform clipboard shaped like a bridge to a text-only system clipboard:
// it keeps only the text, hands out a new object per request and never
// reports changes of its own.
class TextOnlyPlatformClipboard : public VelPlatformClipboard
{
public:
    VelMimeData *mimeData(VelClipboard::Mode mode) override
    {
        ++reads;
        if (mode != VelClipboard::Clipboard || !hasText)
            return nullptr;
        auto data = new CountedMimeData;
        data->setText(text);
        return data;
    }
    void setMimeData(VelMimeData *data, VelClipboard::Mode mode) override
    {
        lastGiven = data;
        if (!data || !data->hasText() || mode != VelClipboard::Clipboard)
            return;
        text = data->text();
        hasText = true;
    }
    bool supportsMode(VelClipboard::Mode mode) const override
    {
        return mode == VelClipboard::Clipboard;
    }

    VelString text;
    bool hasText = false;
    int reads = 0;
    VelMimeData *lastGiven = nullptr;
};

class ClipboardTest : public ::testing::Test
{
protected:
    void SetUp() override { g_liveMimeData = 0; }
    void TearDown() override { EXPECT_EQ(g_liveMimeData, 0) << "mime data leaked"; }
};

} // namespace

TEST_F(ClipboardTest, MimeDataKeepsFormatsInOrderAndReplacesInPlace)
{
    VelMimeData data;
    data.setData("application/x-a", VelByteArray("1"));
    data.setText("hello");
    data.setData("application/x-a", VelByteArray("2"));
    const VelStringList formats = data.formats();
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats.at(0), VelString("application/x-a"));
    EXPECT_EQ(formats.at(1), VelString("text/plain"));
    EXPECT_EQ(data.data("application/x-a"), VelByteArray("2"));
    EXPECT_FALSE(data.hasImage());
    data.removeFormat("text/plain");
    EXPECT_FALSE(data.hasText());
    EXPECT_EQ(data.text(), VelString());
}

TEST_F(ClipboardTest, TextOutsideTheBasicPlaneRoundTrips)
{
    TextOnlyPlatformClipboard platform;
    VelClipboard clipboard(&platform);
    const char16_t units[] = {u'a', 0xD83D, 0xDE00, u'z', 0};
    const VelString text(units);
    clipboard.setText(text);
    EXPECT_EQ(clipboard.text(), text);
}

TEST_F(ClipboardTest, GivenDataIsOwnedByTheClipboardAndFreedWhenReplaced)
{
    TextOnlyPlatformClipboard platform;
    {
        VelClipboard clipboard(&platform);
        auto first = new CountedMimeData;
        first->setText("one");
        clipboard.setMimeData(first);
        EXPECT_EQ(platform.lastGiven, first);
        EXPECT_EQ(g_liveMimeData, 1);

        auto second = new CountedMimeData;
        second->setText("two");
        clipboard.setMimeData(second);
        EXPECT_EQ(g_liveMimeData, 1) << "the replaced object must be freed";
        EXPECT_EQ(platform.text, VelString("two"));

        // The same object once more must not end up with two owners.
        clipboard.setMimeData(second);
        EXPECT_EQ(g_liveMimeData, 1);
    }
    EXPECT_EQ(g_liveMimeData, 0);
}

TEST_F(ClipboardTest, DataGivenForAnUnsupportedModeIsFreedAndNotPassedOn)
{
    TextOnlyPlatformClipboard platform;
    VelClipboard clipboard(&platform);
    auto data = new CountedMimeData;
    data->setText("sel");
    clipboard.setMimeData(data, VelClipboard::Selection);
    EXPECT_EQ(g_liveMimeData, 0);
    EXPECT_EQ(platform.lastGiven, nullptr);
    EXPECT_EQ(clipboard.mimeData(VelClipboard::Selection), nullptr);
    EXPECT_EQ(platform.reads, 0) << "an unsupported mode must not reach the platform";
}

TEST_F(ClipboardTest, ReadDataStaysValidUntilTheNextReadAndIsThenFreed)
{
    TextOnlyPlatformClipboard platform;
    platform.text = "x";
    platform.hasText = true;
    VelClipboard clipboard(&platform);
    const VelMimeData *first = clipboard.mimeData();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), VelString("x"));
    EXPECT_EQ(g_liveMimeData, 1);
    const VelMimeData *second = clipboard.mimeData();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(g_liveMimeData, 1) << "the previous answer must be freed, not leaked";
    EXPECT_EQ(platform.reads, 2) << "every read asks the platform again";
}

TEST_F(ClipboardTest, ImageOnlyDataLeavesATextClipboardUnchanged)
{
    TextOnlyPlatformClipboard platform;
    VelClipboard clipboard(&platform);
    clipboard.setText("keep");
    auto image = new CountedMimeData;
    image->setImageData(VelVariant(42));
    clipboard.setMimeData(image);
    EXPECT_EQ(clipboard.text(), VelString("keep"));
}

TEST_F(ClipboardTest, BaseClipboardCopiesInAndOut)
{
    VelPlatformClipboard platform;
    EXPECT_TRUE(platform.supportsMode(VelClipboard::Clipboard));
    EXPECT_FALSE(platform.supportsMode(VelClipboard::Selection));
    EXPECT_FALSE(platform.supportsMode(VelClipboard::FindBuffer));
    EXPECT_FALSE(platform.ownsMode(VelClipboard::Clipboard));

    CountedMimeData given;
    given.setText("copy me");
    given.setData("application/x-extra", VelByteArray("e"));
    platform.setMimeData(&given, VelClipboard::Clipboard);
    given.setText("changed later");

    VelMimeData *out = platform.mimeData(VelClipboard::Clipboard);
    ASSERT_NE(out, nullptr);
    EXPECT_NE(out, &given);
    EXPECT_EQ(out->text(), VelString("copy me"));
    EXPECT_EQ(out->data("application/x-extra"), VelByteArray("e"));
    delete out;
    platform.setMimeData(nullptr, VelClipboard::Clipboard);
    EXPECT_EQ(platform.mimeData(VelClipboard::Clipboard), nullptr);
}

TEST_F(ClipboardTest, ChangesAreSignalledOncePerChange)
{
    VelPlatformClipboard platform; // reports its own changes through emitChanged
    VelClipboard clipboard(&platform);
    VelClipboard other(&platform);
    std::vector<int> modes;
    int dataChanged = 0;
    int otherChanged = 0;
    VelObject::connect(&clipboard, &VelClipboard::changed,
                       [&](int mode) { modes.push_back(mode); });
    VelObject::connect(&clipboard, &VelClipboard::dataChanged, [&]() { ++dataChanged; });
    VelObject::connect(&other, &VelClipboard::dataChanged, [&]() { ++otherChanged; });

    clipboard.setText("a");
    EXPECT_EQ(modes, std::vector<int>{VelClipboard::Clipboard});
    EXPECT_EQ(dataChanged, 1) << "the platform's report must not double the signal";
    EXPECT_EQ(otherChanged, 1) << "a second clipboard over the same platform hears of it";

    platform.emitChanged(VelClipboard::Clipboard);
    EXPECT_EQ(dataChanged, 2);
    EXPECT_EQ(otherChanged, 2);

    TextOnlyPlatformClipboard silent;
    VelClipboard quiet(&silent);
    int quietChanged = 0;
    VelObject::connect(&quiet, &VelClipboard::dataChanged, [&]() { ++quietChanged; });
    quiet.setText("b");
    EXPECT_EQ(quietChanged, 1) << "a platform that never reports still gives one signal";
}

TEST_F(ClipboardTest, ClipboardWithoutPlatformIsInert)
{
    VelClipboard clipboard(nullptr);
    auto data = new CountedMimeData;
    data->setText("t");
    clipboard.setMimeData(data);
    EXPECT_EQ(g_liveMimeData, 0);
    EXPECT_EQ(clipboard.text(), VelString());
    EXPECT_FALSE(clipboard.supportsMode(VelClipboard::Clipboard));
}
