// The launcher's input script: how steps are read, refused and run.

#include "standinstestsupport.h"
#include "velinputscript.h"
#include "vellaunchoptions.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{

using Step = VelInputScript::Step;

// A host that only records what the verbs asked of it.
class RecordingHost : public VelInputScript::Host
{
public:
    VelAndroidDriver &driver() override { return m_driver; }
    int surfaceWidth() const override { return 100; }
    int surfaceHeight() const override { return 200; }
    bool idle(std::chrono::milliseconds) override { return true; }
    bool screenshot(const std::string &, std::string *) override { return true; }
    void stepDone(const Step &step) override { done.push_back(step.text); }

    std::vector<std::string> done;

private:
    VelAndroidDriver m_driver;
};

std::vector<Step> &seen()
{
    static std::vector<Step> steps;
    return steps;
}

class InputScript : public ::testing::Test
{
protected:
    void SetUp() override
    {
        seen().clear();
        VelInputScript::registerVerb("note",
                                     [](VelInputScript::Host &, const Step &step, std::string *) {
                                         seen().push_back(step);
                                         return true;
                                     });
        VelInputScript::registerVerb("refuse",
                                     [](VelInputScript::Host &, const Step &, std::string *error) {
                                         *error = "not today";
                                         return false;
                                     });
    }
};

} // namespace

TEST_F(InputScript, ReadsOneStepALineSkippingBlanksAndComments)
{
    VelInputScript script;
    std::string error;
    ASSERT_TRUE(script.addText("# a comment\n"
                               "\n"
                               "   note 1 2   \n"
                               "note  hello world  # trailing comment\n"
                               "\tnote\r\n",
                               "s.txt", &error))
        << error;
    ASSERT_EQ(script.steps().size(), 3u);
    EXPECT_EQ(script.steps()[0].line, 3);
    EXPECT_EQ(script.steps()[0].words, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(script.steps()[1].text, "hello world");
    EXPECT_EQ(script.steps()[1].line, 4);
    EXPECT_EQ(script.steps()[2].text, "");
    EXPECT_TRUE(script.steps()[2].words.empty()) << "a carriage return is not an argument";
}

TEST_F(InputScript, AHashInsideAWordIsText)
{
    VelInputScript script;
    std::string error;
    ASSERT_TRUE(script.addText("note C# and F#\n", "s", &error)) << error;
    EXPECT_EQ(script.steps()[0].text, "C# and F#");
}

TEST_F(InputScript, QuotedTextKeepsBlanksHashesAndEscapes)
{
    VelInputScript script;
    std::string error;
    ASSERT_TRUE(script.addText("note \"  two  # \\\"q\\\" \\\\ \\n\"  # comment\n", "s", &error))
        << error;
    EXPECT_EQ(script.steps()[0].text, "  two  # \"q\" \\ \n");
}

TEST_F(InputScript, MalformedLinesAreRefusedWithTheirPlaceAndNothingIsAdded)
{
    VelInputScript script;
    std::string error;
    EXPECT_FALSE(script.addText("note 1\nnote \"open\n", "a.txt", &error));
    EXPECT_EQ(error, "a.txt:2: unterminated quote");
    EXPECT_FALSE(script.addText("note \"x\" y\n", "b.txt", &error));
    EXPECT_EQ(error, "b.txt:1: text after the closing quote");
    EXPECT_FALSE(script.addText("note \"\\q\"\n", "c.txt", &error));
    EXPECT_EQ(error, "c.txt:1: unknown escape \\q");
    EXPECT_FALSE(script.addText("note 1\ntapp 1 2\n", "d.txt", &error));
    EXPECT_EQ(error, "d.txt:2: unknown verb 'tapp'");
    EXPECT_TRUE(script.empty()) << "a refused text adds no step";
}

TEST_F(InputScript, StepOptionsAreCountedAndMustHoldOneStep)
{
    VelInputScript script;
    std::string error;
    ASSERT_TRUE(script.addStep("note a", &error)) << error;
    ASSERT_TRUE(script.addStep("note b", &error)) << error;
    EXPECT_EQ(script.steps()[1].source, "--step");
    EXPECT_EQ(script.steps()[1].line, 2);
    EXPECT_FALSE(script.addStep("   # nothing", &error));
    EXPECT_EQ(error, "--step 3 is empty");
    EXPECT_FALSE(script.addStep("note a\nnote b", &error));
    EXPECT_FALSE(script.addStep("nope", &error));
    EXPECT_EQ(error, "--step:3: unknown verb 'nope'");
}

TEST_F(InputScript, AFileIsReadAndAMissingOneIsReported)
{
    TempDir dir;
    dir.write("steps.txt", "note from file\n");
    VelInputScript script;
    std::string error;
    ASSERT_TRUE(script.addFile(dir.file("steps.txt"), &error)) << error;
    EXPECT_EQ(script.steps()[0].source, dir.file("steps.txt"));
    EXPECT_FALSE(script.addFile(dir.file("absent.txt"), &error));
    EXPECT_EQ(error, "cannot read the script " + dir.file("absent.txt"));
}

TEST_F(InputScript, RunsInOrderAndStopsAtTheFirstFailure)
{
    VelInputScript script;
    std::string error;
    ASSERT_TRUE(script.addText("note 1\nnote 2\nrefuse   it\nnote 3\n", "r.txt", &error));
    RecordingHost host;
    EXPECT_FALSE(script.run(host, &error));
    EXPECT_EQ(error, "r.txt:3: refuse   it: not today");
    ASSERT_EQ(seen().size(), 2u);
    EXPECT_EQ(seen()[0].text, "1");
    EXPECT_EQ(seen()[1].text, "2");
    // The host hears of the steps carried out, each after it ran, and of no
    // failed one.
    EXPECT_EQ(host.done, (std::vector<std::string>{"1", "2"}));
}

TEST_F(InputScript, IntegerArgumentsAreCheckedAgainstTheirBounds)
{
    VelInputScript script;
    std::string error;
    ASSERT_TRUE(script.addText("note 5 -3 0x10 7x 99999999999999999999\n", "n", &error));
    const Step &step = script.steps()[0];
    long value = 0;
    EXPECT_TRUE(VelInputScript::intArgument(step, 0, 0, 10, &value, &error));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(VelInputScript::intArgument(step, 1, 0, 10, &value, &error));
    EXPECT_EQ(error, "argument 2 wants a whole number from 0 to 10, not '-3'");
    EXPECT_TRUE(VelInputScript::intArgument(step, 2, 0, 100, &value, &error));
    EXPECT_EQ(value, 16);
    EXPECT_FALSE(VelInputScript::intArgument(step, 3, 0, 100, &value, &error));
    EXPECT_FALSE(VelInputScript::intArgument(step, 4, 0, LONG_MAX, &value, &error))
        << "overflow is refused, not clamped";
    EXPECT_FALSE(VelInputScript::intArgument(step, 5, 0, 10, &value, &error));
    EXPECT_EQ(error, "argument 6 is missing");
    EXPECT_FALSE(VelInputScript::argumentCount(step, 1, 2, &error));
    EXPECT_EQ(error, "wants 1 to 2 arguments, not 5");
}

TEST(LaunchOptionsForInput, ScriptsStepsAndFontsAreKeptInOrder)
{
    VelLaunchOptions options;
    std::string error;
    ASSERT_TRUE(VelLaunchOptions::parse({"--script", "a.txt", "--step", "tap 1 2", "--script=b.txt",
                                         "--step=type x y", "--fonts", "/f", "app.so"},
                                        &options, &error))
        << error;
    EXPECT_EQ(options.scriptFiles, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(options.scriptSteps, (std::vector<std::string>{"tap 1 2", "type x y"}));
    EXPECT_EQ(options.fontSource, "/f");
    EXPECT_FALSE(VelLaunchOptions::parse({"--script", "", "app.so"}, &options, &error));
    EXPECT_FALSE(VelLaunchOptions::parse({"--fonts=", "app.so"}, &options, &error));
    // After the app library, words belong to the app.
    ASSERT_TRUE(VelLaunchOptions::parse({"app.so", "--step", "x"}, &options, &error)) << error;
    EXPECT_TRUE(options.scriptSteps.empty());
    EXPECT_EQ(options.appArguments, (std::vector<std::string>{"--step", "x"}));
}
