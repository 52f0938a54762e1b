// The soak program's command line and the kernel figures it prints.

#include "velprocessfigures.h"
#include "velsoakoptions.h"

#include <gtest/gtest.h>

namespace
{

bool parse(const std::vector<std::string> &args, VelSoakOptions *options,
           std::string *error = nullptr)
{
    std::string ignored;
    return VelSoakOptions::parse(args, options, error ? error : &ignored);
}

} // namespace

TEST(SoakOptions, DefaultsAreTheFullRun)
{
    VelSoakOptions options;
    ASSERT_TRUE(parse({}, &options));
    EXPECT_EQ(options.cycles, 10000);
    EXPECT_EQ(options.reportEvery, 1000);
    EXPECT_EQ(options.width, 320);
    EXPECT_EQ(options.height, 240);
    EXPECT_EQ(options.appOutput, "/dev/null");
    EXPECT_FALSE(options.verbose);
}

TEST(SoakOptions, ValuesAreTaken)
{
    VelSoakOptions options;
    ASSERT_TRUE(
        parse({"--cycles", "300", "--report-every", "50", "--size", "400x300", "--jvm-option",
               "-Xint", "--app-output", "app.txt", "--verbose", "--frame-timeout", "5"},
              &options));
    EXPECT_EQ(options.cycles, 300);
    EXPECT_EQ(options.reportEvery, 50);
    EXPECT_EQ(options.width, 400);
    EXPECT_EQ(options.height, 300);
    EXPECT_EQ(options.jvmOptions.back(), "-Xint"); // after the fixed heap, so it can override
    EXPECT_EQ(options.jvmOptions.front(), "-Xms64m");
    EXPECT_EQ(options.appOutput, "app.txt");
    EXPECT_EQ(options.frameTimeoutSeconds, 5);
    EXPECT_TRUE(options.verbose);
}

TEST(SoakOptions, MalformedValuesAreRefusedWithTheOptionNamed)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--cycles", "0"},
        {"--cycles", "-5"},
        {"--cycles", "12x"},
        {"--cycles", "99999999999999999999"},
        {"--report-every", "+3"},
        {"--size", "320"},
        {"--size", "0x240"},
        {"--size", "320x9000"},
        {"--size", "x"},
        {"--frame-timeout", "4000"},
        {"--app", ""},
    };
    for (const auto &args : bad) {
        VelSoakOptions options;
        std::string error;
        EXPECT_FALSE(parse(args, &options, &error)) << args[0] << " " << args[1];
        EXPECT_NE(error.find(args[0]), std::string::npos) << error;
    }
}

TEST(SoakOptions, MissingValuesAndUnknownWordsAreRefused)
{
    VelSoakOptions options;
    std::string error;
    EXPECT_FALSE(parse({"--cycles"}, &options, &error));
    EXPECT_NE(error.find("needs a value"), std::string::npos) << error;
    EXPECT_FALSE(parse({"--bogus", "1"}, &options, &error));
    EXPECT_NE(error.find("--bogus"), std::string::npos) << error;
    EXPECT_FALSE(parse({"stray"}, &options, &error));
}

TEST(ProcessFigures, ResidentSizeIsTheSecondFieldInPages)
{
    EXPECT_EQ(VelProcessFigures::residentKibFromStatm("5000 1234 300 10 0 900 0\n", 4096),
              1234 * 4);
    EXPECT_EQ(VelProcessFigures::residentKibFromStatm("5000 10 0\n", 65536), 640);
    EXPECT_EQ(VelProcessFigures::residentKibFromStatm("", 4096), -1);
    EXPECT_EQ(VelProcessFigures::residentKibFromStatm("5000", 4096), -1);
    EXPECT_EQ(VelProcessFigures::residentKibFromStatm("5000 -3", 4096), -1);
    EXPECT_EQ(VelProcessFigures::residentKibFromStatm("5000 12", 0), -1);
}

TEST(ProcessFigures, ThreadsAreReadFromTheirOwnLine)
{
    EXPECT_EQ(VelProcessFigures::threadsFromStatus("Name:\tx\nThreads:\t17\nSigQ:\t0/1\n"), 17);
    EXPECT_EQ(VelProcessFigures::threadsFromStatus("Threads:\t3\n"), 3);
    // A line that merely ends in the word is not the figure.
    EXPECT_EQ(VelProcessFigures::threadsFromStatus("Name:\tThreads:\nThreads:\t4\n"), 4);
    EXPECT_EQ(VelProcessFigures::threadsFromStatus("Name:\tx\n"), -1);
    EXPECT_EQ(VelProcessFigures::threadsFromStatus("Threads:\tmany\n"), -1);
}

TEST(ProcessFigures, ThisProcessHasFiguresThatFollowItsResources)
{
    const VelProcessFigures before = VelProcessFigures::current();
    EXPECT_GT(before.residentKib, 0);
    EXPECT_GE(before.threads, 1);
    FILE *file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(VelProcessFigures::current().openFiles, before.openFiles + 1);
    std::fclose(file);
    EXPECT_EQ(VelProcessFigures::current().openFiles, before.openFiles);
}
