#include "fonttestutil.h"
#include "velandroidplatformfontdatabase.h"
#include "veldir.h"
#include "velenvironment.h"
#include "velfontdatabase.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const char kSystemDir[] = "/system";
const char kFontDir[] = "/system/fonts";

bool exists(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

void copyFile(const std::string &from, const std::string &to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

// Runs body in a child process whose private mount namespace has folder
// bind-mounted onto /system/fonts; returns what the child wrote to its pipe.
// A bind mount needs an existing target, so /system/fonts is created for the
// duration if it is missing, and removed again afterwards.
std::string runWithSystemFonts(const std::string &folder, const std::function<std::string()> &body)
{
    const bool createdSystem = !exists(kSystemDir) && mkdir(kSystemDir, 0755) == 0;
    const bool createdFonts = !exists(kFontDir) && mkdir(kFontDir, 0755) == 0;
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string result;
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(folder.c_str(), kFontDir, nullptr, MS_BIND, nullptr) != 0)
            result = std::string("namespace setup failed: ") + std::strerror(errno);
        else
            result = body();
        const ssize_t written = write(fds[1], result.data(), result.size());
        _exit(written == ssize_t(result.size()) ? 0 : 1);
    }
    close(fds[1]);
    std::string output;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (createdFonts)
        rmdir(kFontDir);
    if (createdSystem)
        rmdir(kSystemDir);
    return output;
}

std::string registeredFamilies()
{
    VelAndroidPlatformFontDatabase database;
    VelFontDatabase::setPlatformFontDatabase(&database);
    std::string families;
    for (const VelFontDatabase::Face &face : VelFontDatabase::faces())
        families += face.family.toUtf8().constData() + std::string(";");
    VelFontDatabase::clear();
    VelFontDatabase::setPlatformFontDatabase(nullptr);
    return families;
}

TEST(AndroidFontDatabase, FixedDirectory)
{
    VelAndroidPlatformFontDatabase database;
    EXPECT_EQ(database.fontDir(), VelString("/system/fonts"));
}

TEST(AndroidFontDatabase, RegistersOnlyTrueTypeFilesOfTheSystemFontDirectory)
{
    char temp[] = "/tmp/velsystemfonts-XXXXXX";
    ASSERT_NE(mkdtemp(temp), nullptr);
    const std::string folder = temp;
    copyFile(testFontPath("VelTestSans-Regular.ttf"), folder + "/b-sans.ttf");
    copyFile(testFontPath("VelTestLight.ttf"), folder + "/A-LIGHT.TTF");
    copyFile(testFontPath("VelTestPanoseBold.ttf"), folder + "/c-panose.otf");
    copyFile(testFontPath("VelTestCollection.ttc"), folder + "/d-collection.ttc");

    const bool systemExisted = exists(kSystemDir);
    const std::string families = runWithSystemFonts(folder, registeredFamilies);
    EXPECT_EQ(exists(kSystemDir), systemExisted);
    // Sorted by name ignoring case; upper-case .TTF matches; .otf and .ttc never opened.
    EXPECT_EQ(families, "VelTestLight;VelTestSans;");

    for (const char *name : {"/b-sans.ttf", "/A-LIGHT.TTF", "/c-panose.otf", "/d-collection.ttc"})
        std::remove((folder + name).c_str());
    rmdir(temp);
}

void hideSystemFontsAndPopulate()
{
    // The child of the death test gets its own mount namespace; an empty
    // tmpfs over /system hides a real font directory from it alone.
    if (exists(kFontDir)) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", kSystemDir, "tmpfs", 0, nullptr) != 0)
            std::abort();
    }
    VelAndroidPlatformFontDatabase database;
    database.populateFontDatabase();
}

TEST(AndroidFontDatabaseDeathTest, MissingFontDirectoryEndsTheProcess)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(hideSystemFontsAndPopulate(),
                 "VelFontDatabase: Cannot find font directory /system/fonts - is Vel installed "
                 "correctly\\?");
}

TEST(AndroidFontDatabase, FallbackFamiliesFromTheEnvironment)
{
    VelAndroidPlatformFontDatabase database;
    ASSERT_TRUE(velputenv("VEL_ANDROID_FONTS", "Roboto;;Noto Sans"));
    velunsetenv("VEL_ANDROID_FONTS_MONOSPACE");
    const VelStringList families = database.fallbacksForFamily(
        VelString("x"), VelFontDef::StyleNormal, VelFontDef::SansSerif, 0);
    ASSERT_EQ(families.size(), 3u);
    EXPECT_EQ(families[0], VelString("Roboto"));
    EXPECT_TRUE(families[1].isEmpty());
    EXPECT_EQ(families[2], VelString("Noto Sans"));

    // Monospace reads its own variable and never the other one.
    const VelStringList mono = database.fallbacksForFamily(VelString("x"), VelFontDef::StyleNormal,
                                                           VelFontDef::Monospace, 0);
    ASSERT_EQ(mono.size(), 1u);
    EXPECT_TRUE(mono[0].isEmpty());
    ASSERT_TRUE(velputenv("VEL_ANDROID_FONTS_MONOSPACE", "Droid Sans Mono"));
    EXPECT_EQ(database.fallbacksForFamily(VelString("x"), VelFontDef::StyleNormal,
                                          VelFontDef::Monospace, 0),
              VelStringList(VelString("Droid Sans Mono")));

    velunsetenv("VEL_ANDROID_FONTS");
    velunsetenv("VEL_ANDROID_FONTS_MONOSPACE");
    const VelStringList unset =
        database.fallbacksForFamily(VelString("x"), VelFontDef::StyleNormal, VelFontDef::Serif, 0);
    ASSERT_EQ(unset.size(), 1u);
    EXPECT_TRUE(unset[0].isEmpty());

    VelBasicFontDatabase basic;
    EXPECT_TRUE(
        basic.fallbacksForFamily(VelString("x"), VelFontDef::StyleNormal, VelFontDef::SansSerif, 0)
            .isEmpty());
}

} // namespace
