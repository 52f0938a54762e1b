// vel-android-run with the real plugin and the examples, headless: the
// configuration's locale reaching the app, a native message box answered by
// the scripted choice, the clipboard shared between the launcher and the
// app, and the services verbs of the input script.

#include "launcherrun.h"
#include "veldate.h"
#include "vellocale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

bool has(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

std::string utf8(const VelString &text)
{
    return text.toStdString();
}

TEST(LauncherServices, TheConfigurationsLocaleFormatsTheAppsNumbersDatesAndMoney)
{
    const LauncherRun run = runLauncherWith(
        {"--headless", "--timeout", "90", "--locale", "de_CH", VEL_TEST_LOCALE_APP, "--once"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const VelLocale deCh("de_CH");
    EXPECT_TRUE(has(run.out, "locale: Locale: de_CH\n")) << run.out;
    EXPECT_TRUE(has(run.out, "locale: Number: " + utf8(deCh.toString(1234567.891, 'f', 2))))
        << run.out;
    EXPECT_TRUE(has(run.out, "locale: Date: " +
                                 utf8(deCh.toString(VelDate(2026, 3, 14), VelLocale::LongFormat))))
        << run.out;
    EXPECT_TRUE(has(run.out, "locale: Money: " + utf8(deCh.toCurrencyString(1234.5)))) << run.out;
    EXPECT_TRUE(has(run.out, "locale: Currency: CHF")) << run.out;
}

TEST(LauncherServices, AMessageBoxIsPrintedAndAnsweredWithTheScriptedChoice)
{
    const LauncherRun run = runLauncherWith({"--headless", "--timeout", "90", "--dialog-answer",
                                             "YES", VEL_TEST_CLIPNOTES_APP,
                                             "Gr\xc3\xbc\xc3\x9f"
                                             "e \xf0\x9f\x98\x80",
                                             "--ask-quit"});
    // The app quit because the answer was yes.
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(has(run.out, "vel-android-run: message dialog \"Clip notes\" \"Quit?\" [Yes] [No]"))
        << run.out;
    EXPECT_TRUE(has(run.out, "vel-android-run: answering the message dialog with YES")) << run.out;
    EXPECT_TRUE(has(run.out, "clipnotes: quit answered: yes")) << run.out;
    // Copied and pasted back through the Java clipboard, outside the BMP too.
    EXPECT_TRUE(has(run.out, "clipnotes: pasted: Gr\xc3\xbc\xc3\x9f"
                             "e \xf0\x9f\x98\x80\n"))
        << run.out;
}

TEST(LauncherServices, ScriptStepsShareTheClipboardAndAnswerDialogs)
{
    const LauncherRun run = runLauncherWith(
        {"--headless", "--timeout", "90", "--step", "clipboard-print", "--step", "dialog no",
         "--step", "clipboard-set \"from another app\"", "--step", "clipboard-print",
         VEL_TEST_CLIPNOTES_APP, "copied by the app", "--ask-quit"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(has(run.out, "clipboard: copied by the app\n")) << run.out;
    EXPECT_TRUE(has(run.out, "vel-android-run: answering the message dialog with no")) << run.out;
    // The run ends after the last step; the app, told no, did not quit.
    EXPECT_FALSE(has(run.out, "clipnotes: quit answered: yes")) << run.out;
    EXPECT_TRUE(has(run.out, "clipboard: from another app\n")) << run.out;
}

TEST(LauncherServices, TheLocaleStepChangesTheLocaleWhileTheAppRuns)
{
    // The app confirms each change in a message box: the dialog step waits
    // for it, so the change has reached the app when the run ends.
    const LauncherRun run = runLauncherWith({"--headless", "--timeout", "90", "--locale", "de_CH",
                                             "--step", "locale fr_CH", "--step", "dialog ok",
                                             VEL_TEST_LOCALE_APP, "--confirm-changes"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(has(run.out, "locale: Locale: de_CH\n")) << run.out;
    EXPECT_TRUE(has(run.out, "locale: Locale: fr_CH\n")) << run.out;
    EXPECT_TRUE(has(run.out, "\"Locale changed to fr_CH\" [OK]")) << run.out;
}

TEST(LauncherServices, ADialogStepForAButtonTheDialogLacksFailsTheRun)
{
    const LauncherRun run =
        runLauncherWith({"--headless", "--timeout", "90", "--step", "dialog maybe",
                         VEL_TEST_CLIPNOTES_APP, "x", "--ask-quit"});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_TRUE(has(run.err, "has no button \"maybe\"; it has [Yes] [No]")) << run.err;
}

} // namespace
