#include "standinstestsupport.h"

#include <android/asset_manager_jni.h>

#include <cstdio>
#include <unistd.h>

namespace
{

// An asset tree with a file outside it that names must not reach, made once
// for all the tests (they only read it).
class AssetManagerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_outside.reset(new TempDir);
        s_dir.reset(new TempDir);
        TempDir &m_outside = *s_outside;
        TempDir &m_dir = *s_dir;
        m_outside.write("secret.txt", "secret");
        m_dir.write("assets/a.txt", "hello");
        std::string bytes;
        for (int i = 0; i < 256; ++i)
            bytes.push_back(static_cast<char>(i));
        m_dir.write("assets/b.bin", bytes);
        m_dir.write("assets/sub/c.txt", "sub file");
        m_dir.write("assets/sub/deeper/d.txt", "deep");
        m_dir.mkdir("assets/empty");
        ASSERT_EQ(
            ::symlink(m_outside.file("secret.txt").c_str(), m_dir.file("assets/link.txt").c_str()),
            0);
        ASSERT_EQ(::symlink("a.txt", m_dir.file("assets/inner-link.txt").c_str()), 0);
        s_manager = managerFor(m_dir.file("assets"));
    }
    static void TearDownTestSuite()
    {
        s_dir.reset();
        s_outside.reset();
    }
    void SetUp() override
    {
        ASSERT_NE(s_manager, nullptr);
        m_manager = s_manager;
    }

    static AAssetManager *managerFor(const std::string &root)
    {
        JNIEnv *env = sharedDriver().env();
        jclass cls = env->FindClass("android/content/res/AssetManager");
        jmethodID ctor = env->GetMethodID(cls, "<init>", "(Ljava/lang/String;)V");
        jstring jroot = env->NewStringUTF(root.c_str());
        jobject manager = env->NewObject(cls, ctor, jroot);
        AAssetManager *result = AAssetManager_fromJava(env, manager);
        env->DeleteLocalRef(manager);
        env->DeleteLocalRef(jroot);
        env->DeleteLocalRef(cls);
        return result;
    }

    std::string readAll(const char *name)
    {
        AAsset *asset = AAssetManager_open(m_manager, name, AASSET_MODE_BUFFER);
        if (!asset)
            return "<none>";
        std::string out;
        char buffer[7];
        int n;
        while ((n = AAsset_read(asset, buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<size_t>(n));
        AAsset_close(asset);
        return out;
    }

    std::vector<std::string> list(const char *dir)
    {
        std::vector<std::string> names;
        AAssetDir *d = AAssetManager_openDir(m_manager, dir);
        if (!d)
            return {"<refused>"};
        while (const char *name = AAssetDir_getNextFileName(d))
            names.push_back(name);
        AAssetDir_close(d);
        return names;
    }

    static std::unique_ptr<TempDir> s_outside;
    static std::unique_ptr<TempDir> s_dir;
    static AAssetManager *s_manager;
    const TempDir &m_dir = *s_dir;
    AAssetManager *m_manager = nullptr;
};

std::unique_ptr<TempDir> AssetManagerTest::s_outside;
std::unique_ptr<TempDir> AssetManagerTest::s_dir;
AAssetManager *AssetManagerTest::s_manager = nullptr;

} // namespace

TEST_F(AssetManagerTest, FromJavaGivesOneManagerPerDirectoryAndNullForNull)
{
    EXPECT_EQ(managerFor(m_dir.file("assets")), m_manager);
    EXPECT_NE(managerFor(m_dir.file("assets/sub")), m_manager);
    EXPECT_EQ(AAssetManager_fromJava(sharedDriver().env(), nullptr), nullptr);
}

TEST_F(AssetManagerTest, FromJavaWithAnotherClassLeavesNoPendingException)
{
    JNIEnv *env = sharedDriver().env();
    jstring notAManager = env->NewStringUTF("x");
    EXPECT_EQ(AAssetManager_fromJava(env, notAManager), nullptr);
    EXPECT_FALSE(env->ExceptionCheck());
    env->DeleteLocalRef(notAManager);
}

TEST_F(AssetManagerTest, ReadsWholeFilesInAnyChunking)
{
    EXPECT_EQ(readAll("a.txt"), "hello");
    EXPECT_EQ(readAll("sub/c.txt"), "sub file");
    EXPECT_EQ(readAll("sub/deeper/d.txt"), "deep");
    const std::string bytes = readAll("b.bin");
    ASSERT_EQ(bytes.size(), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(static_cast<unsigned char>(bytes[static_cast<size_t>(i)]), i);
}

TEST_F(AssetManagerTest, HarmlessSpellingsOfANameWork)
{
    EXPECT_EQ(readAll("./a.txt"), "hello");
    EXPECT_EQ(readAll("sub//c.txt"), "sub file");
    EXPECT_EQ(readAll("sub/./c.txt"), "sub file");
    // A link that stays inside the asset directory is followed.
    EXPECT_EQ(readAll("inner-link.txt"), "hello");
}

TEST_F(AssetManagerTest, LengthSeekAndRemainingLength)
{
    AAsset *asset = AAssetManager_open(m_manager, "b.bin", AASSET_MODE_RANDOM);
    ASSERT_NE(asset, nullptr);
    EXPECT_EQ(AAsset_getLength(asset), 256);
    EXPECT_EQ(AAsset_getRemainingLength(asset), 256);
    unsigned char byte = 0;
    EXPECT_EQ(AAsset_seek(asset, 100, SEEK_SET), 100);
    EXPECT_EQ(AAsset_read(asset, &byte, 1), 1);
    EXPECT_EQ(byte, 100);
    EXPECT_EQ(AAsset_getRemainingLength(asset), 155);
    EXPECT_EQ(AAsset_seek(asset, -1, SEEK_CUR), 100);
    EXPECT_EQ(AAsset_seek(asset, -6, SEEK_END), 250);
    EXPECT_EQ(AAsset_read(asset, &byte, 1), 1);
    EXPECT_EQ(byte, 250);
    EXPECT_EQ(AAsset_seek(asset, 0, SEEK_END), 256);
    EXPECT_EQ(AAsset_read(asset, &byte, 1), 0) << "end of asset";
    // Outside the asset: refused, and the position stays where it was.
    EXPECT_EQ(AAsset_seek(asset, 10, SEEK_SET), 10);
    EXPECT_EQ(AAsset_seek(asset, 257, SEEK_SET), -1);
    EXPECT_EQ(AAsset_seek(asset, -11, SEEK_CUR), -1);
    EXPECT_EQ(AAsset_seek(asset, 1, SEEK_END), -1);
    EXPECT_EQ(AAsset_seek(asset, 0, 42), -1) << "unknown whence";
    EXPECT_EQ(AAsset_seek(asset, 0, SEEK_CUR), 10);
    AAsset_close(asset);
}

TEST_F(AssetManagerTest, NamesThatLeaveTheDirectoryAreRefused)
{
    const std::string absoluteInside = m_dir.file("assets/a.txt");
    const char *refused[] = {"../secret.txt",
                             "sub/../a.txt",
                             "sub/../../secret.txt",
                             "..",
                             "/etc/passwd",
                             absoluteInside.c_str(),
                             "link.txt", // a link pointing out of the directory
                             "",
                             "sub", // a directory is no asset
                             "missing.txt"};
    for (const char *name : refused)
        EXPECT_EQ(AAssetManager_open(m_manager, name, AASSET_MODE_BUFFER), nullptr) << name;
    EXPECT_EQ(AAssetManager_open(m_manager, nullptr, AASSET_MODE_BUFFER), nullptr);
    EXPECT_EQ(AAssetManager_open(nullptr, "a.txt", AASSET_MODE_BUFFER), nullptr);
}

TEST_F(AssetManagerTest, ListingsHoldFilesOnlySortedByName)
{
    // Subdirectories and links out of the tree are not listed.
    EXPECT_EQ(list(""), (std::vector<std::string>{"a.txt", "b.bin", "inner-link.txt"}));
    EXPECT_EQ(list("sub"), (std::vector<std::string>{"c.txt"}));
    EXPECT_EQ(list("sub/"), (std::vector<std::string>{"c.txt"}));
    EXPECT_EQ(list("sub/deeper"), (std::vector<std::string>{"d.txt"}));
    // Like the device: an empty or absent directory is an empty listing.
    EXPECT_TRUE(list("empty").empty());
    EXPECT_TRUE(list("missing").empty());
    EXPECT_TRUE(list("a.txt").empty());
}

TEST_F(AssetManagerTest, DirectoryNamesThatLeaveTheTreeAreRefused)
{
    EXPECT_EQ(list(".."), std::vector<std::string>{"<refused>"});
    EXPECT_EQ(list("sub/../.."), std::vector<std::string>{"<refused>"});
    EXPECT_EQ(list("/"), std::vector<std::string>{"<refused>"});
    EXPECT_EQ(list(m_dir.file("assets").c_str()), std::vector<std::string>{"<refused>"});
}

TEST_F(AssetManagerTest, RewindStartsTheListingAgain)
{
    AAssetDir *dir = AAssetManager_openDir(m_manager, "");
    ASSERT_NE(dir, nullptr);
    ASSERT_STREQ(AAssetDir_getNextFileName(dir), "a.txt");
    ASSERT_STREQ(AAssetDir_getNextFileName(dir), "b.bin");
    AAssetDir_rewind(dir);
    EXPECT_STREQ(AAssetDir_getNextFileName(dir), "a.txt");
    AAssetDir_close(dir);
}

TEST_F(AssetManagerTest, AManagerOverAMissingDirectoryServesNothing)
{
    AAssetManager *missing = managerFor(m_dir.file("nowhere"));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(AAssetManager_open(missing, "a.txt", AASSET_MODE_BUFFER), nullptr);
    AAssetDir *dir = AAssetManager_openDir(missing, "");
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(AAssetDir_getNextFileName(dir), nullptr);
    AAssetDir_close(dir);
}
