// The text-edit example through the launcher, the real plugin and the real
// GUI thread: typed, composed, committed and deleted through the soft
// keyboard's input connection, its button touched, then read back from the
// app's report and the screenshot's pixels. Also: the launcher lends the
// device fonts itself.

#include "launcherrun.h"
#include "velfontlending.h"
#include "velpngwriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>

namespace
{

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    bool load(const std::string &path, std::string *error)
    {
        return velReadPng(path, &width, &height, &rgba, error);
    }
    const uint8_t *at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }

    // How many pixels of the rectangle match the predicate.
    template <typename F> int count(int x0, int y0, int w, int h, F match) const
    {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                n += match(at(x, y)) ? 1 : 0;
        return n;
    }
    std::string describe(int x, int y) const
    {
        const uint8_t *p = at(x, y);
        std::ostringstream out;
        out << "(" << x << ", " << y << ") = " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
        return out.str();
    }
};

bool isDark(const uint8_t *p)
{
    return p[0] < 100 && p[1] < 100 && p[2] < 100;
}

bool isRed(const uint8_t *p)
{
    return p[0] > 150 && p[1] < 80 && p[2] < 80;
}

bool isGreen(const uint8_t *p)
{
    return p[0] < 90 && p[1] > 130 && p[2] < 110;
}

bool pluginHasInput(const LauncherRun &run)
{
    return run.err.find("UnsatisfiedLinkError") == std::string::npos;
}

// The app's last report of its text.
std::string lastReport(const LauncherRun &run)
{
    const std::vector<std::string> reports = linesStartingWith(run.out, "textedit: text=");
    return reports.empty() ? std::string() : "text=" + reports.back();
}

bool fontsNeedLending()
{
    return !VelFontLending::hasFonts(VelFontLending::deviceFontDirectory);
}

} // namespace

TEST(TextEditEndToEnd, TypedComposedCommittedDeletedAndTouched)
{
    TempDir dir;
    dir.write("script.txt", "# the soft keyboard is shown from the start\n"
                            "type \"Hello \"\n"
                            "compose wor\n"
                            "screenshot " +
                                dir.file("composing.png") +
                                "\n"
                                "commit\n"
                                "delete 3 0\n"
                                "type Vel\n"
                                "commit\n"
                                "tap 100 160\n"
                                "screenshot " +
                                dir.file("done.png") + "\n");
    const LauncherRun run =
        runLauncherWith({"--headless", "--timeout", "120", "--plugin", VEL_TEST_PLUGIN, "--script",
                         dir.file("script.txt"), VEL_TEST_TEXTEDIT});
    if (!pluginHasInput(run))
        GTEST_SKIP() << "the plugin registers no input natives yet";
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;

    // Text committed at the cursor, the composing word taken back, the
    // deletion in front of the cursor, the button pressed once.
    EXPECT_NE(run.out.find("textedit: text=\"Hello \" cursor=6 anchor=6 preedit=\"wor\""),
              std::string::npos)
        << run.out;
    EXPECT_EQ(lastReport(run), "text=\"Hello Vel\" cursor=9 anchor=9 preedit=\"\"") << run.out;
    EXPECT_NE(run.out.find("textedit: button pressed 1\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("textedit: button pressed 2"), std::string::npos) << run.out;

    std::string error;
    Image composing;
    ASSERT_TRUE(composing.load(dir.file("composing.png"), &error)) << error;
    // The field spans x 16..463, y 40..95; the text's baseline is near y 77
    // and the composing underline 4 pixels below it.
    EXPECT_GT(composing.count(26, 50, 200, 36, isDark), 100) << "no text drawn in the field";
    EXPECT_GT(composing.count(26, 78, 300, 10, isRed), 20)
        << "no composing underline; " << composing.describe(100, 82);
    EXPECT_EQ(composing.count(0, 100, composing.width, 20, isRed), 0)
        << "the underline leaks out of the field";

    Image done;
    ASSERT_TRUE(done.load(dir.file("done.png"), &error)) << error;
    EXPECT_EQ(done.count(26, 78, 300, 10, isRed), 0) << "the committed text is still underlined";
    EXPECT_GT(done.count(26, 50, 200, 36, isDark), 100) << "no text drawn in the field";
    // The button (16..235 x 128..191) turned green, its corners too.
    for (const auto &corner : {std::make_pair(17, 129), std::make_pair(234, 129),
                               std::make_pair(17, 190), std::make_pair(234, 190)})
        EXPECT_TRUE(isGreen(done.at(corner.first, corner.second)))
            << done.describe(corner.first, corner.second);
}

TEST(TextEditEndToEnd, TheLauncherLendsTheDeviceFontsItself)
{
    if (!fontsNeedLending())
        GTEST_SKIP() << "this machine has /system/fonts";
    TempDir dir;
    const LauncherRun run =
        runLauncherWith({"--headless", "--timeout", "120", "--plugin", VEL_TEST_PLUGIN,
                         "--screenshot", dir.file("hello.png"), VEL_TEST_HELLO});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("Cannot find font directory"), std::string::npos) << run.err;
    Image shot;
    std::string error;
    ASSERT_TRUE(shot.load(dir.file("hello.png"), &error)) << error;
    // The white band at the bottom carries the line of text.
    EXPECT_GT(shot.count(0, shot.height * 3 / 4, shot.width, shot.height / 4, isDark), 100);
    EXPECT_FALSE(VelFontLending::hasFonts("/system/fonts")) << "the machine was changed";
}

TEST(TextEditEndToEnd, WithoutFontsToLendTheLauncherSaysWhatToDo)
{
    if (!fontsNeedLending())
        GTEST_SKIP() << "this machine has /system/fonts";
    TempDir empty;
    const LauncherRun run = runLauncherWith(
        {"--headless", "--fonts", empty.path(), "--plugin", VEL_TEST_PLUGIN, VEL_TEST_HELLO});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("the device font directory /system/fonts is missing and " +
                           empty.path() + " has no *.ttf fonts to lend it; pass --fonts DIR"),
              std::string::npos)
        << run.err;
}

// An ordinary user has no mount namespace of their own: the launcher makes
// one inside a user namespace that maps only that user.
TEST(TextEditEndToEnd, AnOrdinaryUserIsLentTheFontsInAUserNamespace)
{
    if (!fontsNeedLending())
        GTEST_SKIP() << "this machine has /system/fonts";
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
#if defined(__SANITIZE_THREAD__)
    // A user namespace needs a process without threads; ThreadSanitizer's
    // runtime keeps one of its own from the start (the launcher then says so).
    GTEST_SKIP() << "the launcher is built with ThreadSanitizer";
#endif
    const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    if (std::system(
            (asNobody + "test -x " VEL_TEST_LAUNCHER " -a -r " VEL_TEST_TEXTEDIT " 2>/dev/null")
                .c_str()) != 0)
        GTEST_SKIP() << "the build is out of an ordinary user's reach";
    if (std::system((asNobody + "unshare -U true 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "this system allows no unprivileged user namespaces";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    const std::string command = asNobody +
                                "env -u DISPLAY " VEL_TEST_LAUNCHER
                                " --headless --timeout 120 --plugin " VEL_TEST_PLUGIN
                                " --step 'type Hi' --step commit " VEL_TEST_TEXTEDIT " >" +
                                dir.file("out") + " 2>" + dir.file("err");
    EXPECT_EQ(std::system(command.c_str()), 0) << readFile(dir.file("err"));
    EXPECT_NE(readFile(dir.file("out")).find("textedit: text=\"Hi\" cursor=2"), std::string::npos)
        << readFile(dir.file("out")) << readFile(dir.file("err"));
    EXPECT_FALSE(VelFontLending::hasFonts("/system/fonts")) << "the machine was changed";
}
