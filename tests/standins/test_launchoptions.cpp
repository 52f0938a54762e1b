#include "vellaunchoptions.h"

#include <gtest/gtest.h>

namespace
{

bool parse(std::vector<std::string> args, VelLaunchOptions *out, std::string *error = nullptr)
{
    std::string ignored;
    return VelLaunchOptions::parse(args, out, error ? error : &ignored);
}

} // namespace

TEST(LaunchOptions, DefaultsAndAppArguments)
{
    VelLaunchOptions o;
    ASSERT_TRUE(parse({"app.so", "--size", "x", "-v"}, &o));
    EXPECT_FALSE(o.headless);
    EXPECT_EQ(o.width, 480);
    EXPECT_EQ(o.height, 800);
    EXPECT_EQ(o.frames, 0);
    EXPECT_EQ(o.appLibrary, "app.so");
    // Everything after the library belongs to the app, options included.
    EXPECT_EQ(o.appArguments, (std::vector<std::string>{"--size", "x", "-v"}));
    EXPECT_NE(o.pluginPath.find("libandroidplatformplugin.so"), std::string::npos);
    EXPECT_NE(o.jarPath.find("vel-android.jar"), std::string::npos);
}

TEST(LaunchOptions, EveryOptionInBothSpellings)
{
    VelLaunchOptions o;
    ASSERT_TRUE(parse({"--headless",
                       "--size",
                       "720x1184",
                       "--assets=/a",
                       "--env",
                       "A=1",
                       "--env=B=x=y",
                       "--frames",
                       "3",
                       "--screenshot=out.png",
                       "--timeout",
                       "9",
                       "--plugin",
                       "/p.so",
                       "--jar=/j.jar",
                       "--library-dir",
                       "/lib",
                       "--jvm-option",
                       "-Dx=1",
                       "--dpi",
                       "320",
                       "--density=2.5",
                       "app.so"},
                      &o));
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.width, 720);
    EXPECT_EQ(o.height, 1184);
    EXPECT_EQ(o.assetsDir, "/a");
    EXPECT_EQ(o.environment, (std::vector<std::string>{"A=1", "B=x=y"}));
    EXPECT_EQ(o.frames, 3);
    EXPECT_EQ(o.screenshotPath, "out.png");
    EXPECT_EQ(o.timeoutSeconds, 9);
    EXPECT_EQ(o.pluginPath, "/p.so");
    EXPECT_EQ(o.jarPath, "/j.jar");
    EXPECT_EQ(o.libraryDir, "/lib");
    EXPECT_EQ(o.jvmOptions, (std::vector<std::string>{"-Dx=1"}));
    EXPECT_DOUBLE_EQ(o.dpi, 320.0);
    EXPECT_DOUBLE_EQ(o.scaledDensity, 2.5);
}

TEST(LaunchOptions, ScreenshotWithoutFramesWaitsForOneFrame)
{
    VelLaunchOptions o;
    ASSERT_TRUE(parse({"--screenshot", "s.png", "app.so"}, &o));
    EXPECT_EQ(o.frames, 1);
}

TEST(LaunchOptions, DoubleDashEndsOptions)
{
    VelLaunchOptions o;
    ASSERT_TRUE(parse({"--", "--weird-name.so", "--headless"}, &o));
    EXPECT_FALSE(o.headless);
    EXPECT_EQ(o.appLibrary, "--weird-name.so");
    EXPECT_EQ(o.appArguments, (std::vector<std::string>{"--headless"}));
}

TEST(LaunchOptions, HelpNeedsNoLibrary)
{
    VelLaunchOptions o;
    ASSERT_TRUE(parse({"--help"}, &o));
    EXPECT_TRUE(o.help);
    EXPECT_NE(VelLaunchOptions::usage().find("--screenshot"), std::string::npos);
}

TEST(LaunchOptions, MalformedCommandLinesAreRefusedWithAReason)
{
    const std::vector<std::vector<std::string>> bad = {
        {},                             // no library
        {"--headless"},                 // no library either
        {"--size", "720", "a.so"},      // no x
        {"--size", "0x10", "a.so"},     // zero width
        {"--size", "-5x10", "a.so"},    // negative
        {"--size", "10x10x", "a.so"},   // trailing junk
        {"--size", "99999x10", "a.so"}, // absurd
        {"--frames", "0", "a.so"},      // frames must be positive
        {"--frames", "three", "a.so"},  // not a number
        {"--dpi", "0", "a.so"},         // would divide by zero downstream
        {"--density", "nan", "a.so"},   // not a positive number
        {"--env", "NOVALUE", "a.so"},   // no '='
        {"--env", "=v", "a.so"},        // empty name
        {"--env", "A=x\ty", "a.so"},    // a tab would split the entry
        {"--timeout", "0", "a.so"},     // zero timeout
        {"--screenshot", "", "a.so"},   // empty file name
        {"--bogus", "a.so"},            // unknown option
        {"--headless=yes", "a.so"},     // flag with a value
        {"a.so", "arg\twith tab"},      // tab in an app argument
        {"a.so", ""},                   // empty app argument would vanish
        {"--size"},                     // value missing at the end
    };
    for (const std::vector<std::string> &args : bad) {
        VelLaunchOptions o;
        std::string error;
        std::string joined;
        for (const std::string &a : args)
            joined += "[" + a + "]";
        EXPECT_FALSE(parse(args, &o, &error)) << joined;
        EXPECT_FALSE(error.empty()) << joined;
    }
}

TEST(LaunchOptions, LocaleTagsAreCheckedAndDialogAnswersKept)
{
    VelLaunchOptions o;
    ASSERT_TRUE(parse({"--locale", "de_CH", "--dialog-answer=Yes", "app.so"}, &o));
    EXPECT_EQ(o.locale, "de_CH");
    EXPECT_EQ(o.dialogAnswer, "Yes");
    for (const char *good : {"de", "de-CH", "es_419", "fil_PH"})
        EXPECT_TRUE(VelLaunchOptions::validLocaleTag(good)) << good;
    for (const char *bad : {"", "d", "de_", "de_CHX", "de_C1", "1e_CH", "de_CH_x", "de CH"})
        EXPECT_FALSE(VelLaunchOptions::validLocaleTag(bad)) << bad;
    std::string error;
    EXPECT_FALSE(parse({"--locale", "ger man", "app.so"}, &o, &error));
    EXPECT_FALSE(parse({"--locale=de/CH", "app.so"}, &o, &error));
    EXPECT_NE(error.find("--locale"), std::string::npos);
    EXPECT_FALSE(parse({"--dialog-answer=", "app.so"}, &o, &error));
}
