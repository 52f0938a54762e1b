// The launcher as an input device, seen from a plugin: the natives its
// script sends, in order and on one thread, with the soft keyboard hidden
// and shown.

#include "launcherrun.h"
#include "velpngwriter.h"

#include <gtest/gtest.h>

namespace
{

const std::vector<std::string> withInput = {"VEL_FAKEPLUGIN_INPUT=1"};
const std::vector<std::string> withKeyboard = {"VEL_FAKEPLUGIN_INPUT=1",
                                               "VEL_FAKEPLUGIN_KEYBOARD=1"};

std::vector<std::string> scriptArgs(const std::vector<std::string> &steps)
{
    std::vector<std::string> args = {"--headless",
                                     "--size",
                                     "64x48",
                                     "--timeout",
                                     "60",
                                     "--plugin",
                                     VEL_TEST_FAKEPLUGIN,
                                     "--env",
                                     "VEL_FAKEPLUGIN_PAINT=2040c0",
                                     "--env",
                                     "VEL_TESTAPP_SLEEP_MS=30000"};
    for (const std::string &step : steps) {
        args.push_back("--step");
        args.push_back(step);
    }
    args.push_back(VEL_TEST_APP);
    return args;
}

// The input natives the plugin saw, without the thread, which must be the
// launcher's UI thread ("main") for every one.
std::vector<std::string> inputCalls(const LauncherRun &run)
{
    std::vector<std::string> calls;
    for (const std::string &line : linesStartingWith(run.err, "I/VelFake: input ")) {
        const size_t on = line.rfind(" on ");
        EXPECT_EQ(line.substr(on), " on \"main\"") << line;
        calls.push_back(line.substr(0, on));
    }
    return calls;
}

std::vector<std::string> touch(int action, int motion, int x, int y)
{
    const std::string pressure = action == 3 ? "0" : "1";
    return {"touchBegin(0)",
            "touchAdd(0, 0, " + std::to_string(action) + ", true, " + std::to_string(x) + ", " +
                std::to_string(y) + ", 0.05, " + pressure + ")",
            "touchEnd(0, " + std::to_string(motion) + ")"};
}

void append(std::vector<std::string> *to, const std::vector<std::string> &more)
{
    to->insert(to->end(), more.begin(), more.end());
}

} // namespace

TEST(LauncherInput, GesturesArriveAsAViewSendsThemOnTheUiThread)
{
    const LauncherRun run =
        runLauncherWith(scriptArgs({"tap 10 20", "drag 0 0 30 60 3", "longpress 5 6"}), withInput);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> expected;
    append(&expected, touch(0, 0, 10, 20));
    expected.push_back("mouseDown(0, 10, 20)");
    append(&expected, touch(3, 1, 10, 20));
    expected.push_back("mouseUp(0, 10, 20)");
    append(&expected, touch(0, 0, 0, 0));
    expected.push_back("mouseDown(0, 0, 0)");
    for (const auto &at :
         {std::make_pair(10, 20), std::make_pair(20, 40), std::make_pair(30, 60)}) {
        append(&expected, touch(1, 2, at.first, at.second));
        expected.push_back("mouseMove(0, " + std::to_string(at.first) + ", " +
                           std::to_string(at.second) + ")");
    }
    append(&expected, touch(3, 1, 30, 60));
    expected.push_back("mouseUp(0, 30, 60)");
    append(&expected, touch(0, 0, 5, 6));
    expected.push_back("mouseDown(0, 5, 6)");
    expected.push_back("longPress(0, 5, 6)");
    append(&expected, touch(3, 1, 5, 6));
    expected.push_back("mouseUp(0, 5, 6)");
    EXPECT_EQ(inputCalls(run), expected);
}

// An app that takes longer than any settle time to answer a touch (as under a
// sanitizer, on a busy machine): the screenshot still shows its answer, and a
// screenshot of the app before any input does not wait for one.
TEST(LauncherInput, AScreenshotShowsTheFrameThatAnsweredTheLastInputHoweverLateItCame)
{
    TempDir dir;
    const LauncherRun run =
        runLauncherWith(scriptArgs({"screenshot " + dir.file("before.png"), "tap 10 20",
                                    "screenshot " + dir.file("after.png")}),
                        {"VEL_FAKEPLUGIN_INPUT=1", "VEL_FAKEPLUGIN_TOUCH_PAINT=c02000",
                         "VEL_FAKEPLUGIN_ANSWER_DELAY_MS=1500"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("could not be presented"), std::string::npos) << run.err;
    for (const auto &shot : {std::make_pair(std::string("before.png"), 0x2040c0u),
                             std::make_pair(std::string("after.png"), 0xc02000u)}) {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> pixels;
        std::string error;
        ASSERT_TRUE(velReadPng(dir.file(shot.first), &width, &height, &pixels, &error)) << error;
        ASSERT_EQ(pixels.size(), size_t(64 * 48 * 4));
        // Corners and centre: the whole surface shows one frame.
        for (const int at : {0, 63, 64 * 47, 64 * 48 - 1, 64 * 24 + 32}) {
            const unsigned rgb =
                pixels[at * 4] << 16 | pixels[at * 4 + 1] << 8 | pixels[at * 4 + 2];
            EXPECT_EQ(rgb, shot.second) << shot.first << " pixel " << at;
        }
    }
}

TEST(LauncherInput, WithTheKeyboardHiddenTypingIsKeyEventsWithCodesCharactersAndShift)
{
    const LauncherRun run = runLauncherWith(scriptArgs({"key 29 1", "type aB! 7\\n"}), withInput);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> expected = {
        "keyDown(29, 65, 1)",  "keyUp(29, 65, 1)",   // key A with Shift types 'A'
        "keyDown(29, 97, 0)",  "keyUp(29, 97, 0)",   // a
        "keyDown(30, 66, 1)",  "keyUp(30, 66, 1)",   // B
        "keyDown(8, 33, 1)",   "keyUp(8, 33, 1)",    // ! is Shift+1
        "keyDown(62, 32, 0)",  "keyUp(62, 32, 0)",   // space
        "keyDown(14, 55, 0)",  "keyUp(14, 55, 0)",   // 7
        "keyDown(73, 92, 0)",  "keyUp(73, 92, 0)",   // \ (unquoted text has no escapes)
        "keyDown(42, 110, 0)", "keyUp(42, 110, 0)"}; // n
    EXPECT_EQ(inputCalls(run), expected);
}

TEST(LauncherInput, WithTheKeyboardShownTypingComposesWordsThroughTheInputConnection)
{
    const LauncherRun run =
        runLauncherWith(scriptArgs({"type \"hi yo\"", "compose ok", "commit", "delete 2 1",
                                    "key 67", "type a", "key 67", "key 66", "type \"\\n\""}),
                        withKeyboard);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> expected = {
        "setComposingText(\"h\", 1)",
        "setComposingText(\"hi\", 1)",
        "commitText(\"hi \", 1)", // a blank ends the word
        "setComposingText(\"y\", 1)",
        "setComposingText(\"yo\", 1)",
        "setComposingText(\"ok\", 1)", // compose replaces the word
        "finishComposingText()",
        "deleteSurroundingText(2, 1)",
        "deleteSurroundingText(1, 0)", // Backspace without a word
        "setComposingText(\"a\", 1)",
        "commitText(\"\", 1)", // Backspace empties the word
        "keyDown(66, 10, 0)",  // Enter goes on as a key
        "keyUp(66, 10, 0)",
        "keyDown(66, 10, 0)",
        "keyUp(66, 10, 0)"};
    EXPECT_EQ(inputCalls(run), expected);
}

TEST(LauncherInput, CharactersBeyondTheBasicPlaneReachTheConnectionWhole)
{
    const LauncherRun run = runLauncherWith(scriptArgs({"type x\xF0\x9F\x98\x80"}), withKeyboard);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> expected = {"setComposingText(\"x\", 1)",
                                               "commitText(\"x\\ud83d\\ude00\", 1)"};
    EXPECT_EQ(inputCalls(run), expected);
}

TEST(LauncherInput, AFailingStepEndsTheRunWithItsPlaceAndTheRestIsNotSent)
{
    const LauncherRun run = runLauncherWith(scriptArgs({"tap 1 2", "tap 3", "tap 5 6"}), withInput);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("vel-android-run: --step:2: tap 3: wants 2 argument(s), not 1"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("mouseDown(0, 5, 6)"), std::string::npos) << run.err;
}

TEST(LauncherInput, AMalformedScriptIsRefusedBeforeTheAppStarts)
{
    TempDir dir;
    dir.write("s.txt", "tap 1 2\nswipe 1 2\n");
    const LauncherRun run = runLauncherWith({"--headless", "--plugin", VEL_TEST_FAKEPLUGIN,
                                             "--script", dir.file("s.txt"), VEL_TEST_APP},
                                            withInput);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(dir.file("s.txt") + ":2: unknown verb 'swipe'"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("fake plugin loaded"), std::string::npos) << "the app never started";
}

TEST(LauncherInput, WithoutInputNativesAStepFailsWithTheJavaError)
{
    const LauncherRun run = runLauncherWith(scriptArgs({"tap 1 2"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("UnsatisfiedLinkError"), std::string::npos) << run.err;
}
