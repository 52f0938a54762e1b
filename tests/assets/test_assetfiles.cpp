#include "assetstestsupport.h"

#include "velfile.h"
#include "velfileinfo.h"

#include <unistd.h>

namespace
{

using FileEngine = VelAbstractFileEngine;

class AssetFilesTest : public AssetsTest
{
};

TEST_F(AssetFilesTest, ReadsWholeFilesAndSizesThroughVelFile)
{
    const std::string bytes = binaryContent(70000); // several host read chunks
    writeAsset("data/blob.bin", bytes);
    writeAsset("hello.txt", "hello\nworld\n");
    writeAsset("void.txt", "");

    VelFile blob(VelString("assets:/data/blob.bin"));
    EXPECT_TRUE(blob.exists());
    ASSERT_TRUE(blob.open(VelIODevice::ReadOnly));
    EXPECT_EQ(blob.size(), velint64(bytes.size()));
    EXPECT_EQ(blob.readAll().toStdString(), bytes);
    EXPECT_TRUE(blob.atEnd());

    VelFile text(VelString("assets:/hello.txt"));
    ASSERT_TRUE(text.open(VelIODevice::ReadOnly | VelIODevice::Text));
    EXPECT_EQ(text.read(6).toStdString(), "hello\n");
    EXPECT_EQ(text.pos(), 6);
    EXPECT_EQ(text.readAll().toStdString(), "world\n");

    VelFile empty(VelString("assets:/void.txt"));
    ASSERT_TRUE(empty.open(VelIODevice::ReadOnly));
    EXPECT_EQ(empty.size(), 0);
    EXPECT_TRUE(empty.readAll().isEmpty());

    const VelFileInfo info(VelString("assets:/data/blob.bin"));
    EXPECT_TRUE(info.exists());
    EXPECT_TRUE(info.isFile());
    EXPECT_FALSE(info.isDir());
    EXPECT_TRUE(info.isReadable());
    EXPECT_FALSE(info.isWritable());
    EXPECT_FALSE(info.isNativePath());
    EXPECT_EQ(info.size(), velint64(bytes.size()));
    EXPECT_EQ(info.absoluteFilePath().toStdString(), "assets:/data/blob.bin");
    EXPECT_EQ(info.fileName().toStdString(), "blob.bin");
}

TEST_F(AssetFilesTest, ReadsStopAtTheEnd)
{
    writeAsset("abc.txt", "abcdefg");
    const auto engine = engineFor("assets:/abc.txt");
    ASSERT_TRUE(engine);
    ASSERT_TRUE(engine->open(VelIODevice::ReadOnly));
    char buffer[16] = {};
    EXPECT_EQ(engine->read(buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "abcde");
    EXPECT_EQ(engine->read(buffer, 100), 2);
    EXPECT_EQ(std::string(buffer, 2), "fg");
    EXPECT_EQ(engine->read(buffer, 100), 0);
    EXPECT_EQ(engine->read(buffer, 0), 0);
    // A negative length or a missing buffer is an error, not a read.
    EXPECT_EQ(engine->read(buffer, -1), -1);
    EXPECT_TRUE(engine->seek(0));
    EXPECT_EQ(engine->read(nullptr, 3), -1);
    EXPECT_EQ(engine->pos(), 0);
}

TEST_F(AssetFilesTest, SeeksInsideTheAssetOnly)
{
    const std::string bytes = binaryContent(300);
    writeAsset("seek.bin", bytes);
    VelFile file(VelString("assets:/seek.bin"));
    ASSERT_TRUE(file.open(VelIODevice::ReadOnly));

    ASSERT_TRUE(file.seek(123));
    EXPECT_EQ(file.pos(), 123);
    EXPECT_EQ(file.read(4).toStdString(), bytes.substr(123, 4));
    EXPECT_EQ(file.pos(), 127);

    ASSERT_TRUE(file.seek(300));
    EXPECT_TRUE(file.atEnd());
    EXPECT_TRUE(file.read(10).isEmpty());

    ASSERT_TRUE(file.seek(10));
    EXPECT_FALSE(file.seek(301));
    EXPECT_FALSE(file.seek(-1));
    EXPECT_FALSE(file.seek(velint64(1) << 40)); // beyond any 32-bit offset
    EXPECT_EQ(file.pos(), 10);
    EXPECT_EQ(file.read(2).toStdString(), bytes.substr(10, 2));

    ASSERT_TRUE(file.seek(0));
    EXPECT_EQ(file.readAll().toStdString(), bytes);
}

TEST_F(AssetFilesTest, OpensAgainAfterClose)
{
    writeAsset("again.txt", "first and second");
    VelFile file(VelString("assets:/again.txt"));
    ASSERT_TRUE(file.open(VelIODevice::ReadOnly));
    EXPECT_EQ(file.read(5).toStdString(), "first");
    file.close();
    ASSERT_TRUE(file.open(VelIODevice::ReadOnly)) << file.errorString().toStdString();
    EXPECT_EQ(file.pos(), 0);
    EXPECT_EQ(file.readAll().toStdString(), "first and second");
}

TEST_F(AssetFilesTest, RefusesModesThatWrite)
{
    writeAsset("ro.txt", "read only");
    for (const int mode :
         {int(VelIODevice::WriteOnly), int(VelIODevice::ReadWrite),
          VelIODevice::ReadOnly | VelIODevice::Append,
          VelIODevice::ReadOnly | VelIODevice::Truncate, int(VelIODevice::NotOpen)}) {
        VelFile file(VelString("assets:/ro.txt"));
        EXPECT_FALSE(file.open(mode)) << "mode " << mode;
        EXPECT_EQ(file.write("x", 1), -1);
    }
    VelFile file(VelString("assets:/ro.txt"));
    ASSERT_TRUE(file.open(VelIODevice::ReadOnly | VelIODevice::Unbuffered));
    EXPECT_EQ(file.write("x", 1), -1);
    EXPECT_FALSE(file.remove());
    EXPECT_EQ(file.fileName().toStdString(), "assets:/ro.txt");
    EXPECT_TRUE(VelFile::exists(VelString("assets:/ro.txt")));
}

TEST_F(AssetFilesTest, FileFlagsOfFilesAndDirectories)
{
    writeAsset("img/logo.png", "png");
    const auto file = engineFor("assets:/img/logo.png");
    const auto dir = engineFor("assets:/img");
    ASSERT_TRUE(file);
    ASSERT_TRUE(dir);
    EXPECT_EQ(file->fileFlags(FileEngine::FileInfoAll), 0x424444u);
    EXPECT_EQ(dir->fileFlags(FileEngine::FileInfoAll), 0x444444u);
    // Only what was asked for comes back.
    EXPECT_EQ(file->fileFlags(FileEngine::FileType | FileEngine::DirectoryType),
              unsigned(FileEngine::FileType));
    EXPECT_EQ(dir->fileFlags(FileEngine::FileType), 0u);
    EXPECT_EQ(file->fileFlags(FileEngine::WriteUserPerm | FileEngine::ExeOwnerPerm), 0u);
    EXPECT_EQ(dir->fileFlags(FileEngine::ExistsFlag | FileEngine::ReadOtherPerm), 0x400004u);

    EXPECT_FALSE(file->isSequential());
    EXPECT_TRUE(file->caseSensitive());
    EXPECT_FALSE(file->isRelativePath());
    EXPECT_FALSE(dir->isRelativePath());
}

TEST_F(AssetFilesTest, FileNameKinds)
{
    writeAsset("img/logo.png", "png");
    const auto file = engineFor("assets:/img/logo.png");
    ASSERT_TRUE(file);
    const std::vector<std::pair<int, std::string>> expected = {
        {FileEngine::DefaultName, "assets:/img/logo.png"},
        {FileEngine::BaseName, "/logo.png"},
        {FileEngine::PathName, "assets:/img"},
        {FileEngine::AbsoluteName, "assets:/img/logo.png"},
        {FileEngine::AbsolutePathName, "assets:/img"},
        {FileEngine::LinkName, ""},
        {FileEngine::CanonicalName, "assets:/img/logo.png"},
        {FileEngine::CanonicalPathName, "assets:/img"},
        {FileEngine::BundleName, ""},
        {FileEngine::NFileNames, ""},
        {-1, ""}};
    for (const auto &kind : expected)
        EXPECT_EQ(file->fileName(FileEngine::FileName(kind.first)).toStdString(), kind.second)
            << "kind " << kind.first;

    // Directory engines always carry the trailing "/".
    const auto dir = engineFor("assets:/img");
    ASSERT_TRUE(dir);
    EXPECT_EQ(dir->fileName().toStdString(), "assets:/img/");
    EXPECT_EQ(dir->fileName(FileEngine::BaseName).toStdString(), "/");
    EXPECT_EQ(dir->fileName(FileEngine::PathName).toStdString(), "assets:/img");
    const auto root = engineFor("assets:/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->fileName().toStdString(), "assets:/");
    EXPECT_EQ(root->fileName(FileEngine::PathName).toStdString(), "assets:");
}

TEST_F(AssetFilesTest, RenamingKeepsListingsAndDropsAssets)
{
    writeAsset("dir/one.txt", "1");
    const auto file = engineFor("assets:/dir/one.txt");
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->open(VelIODevice::ReadOnly));

    file->setFileName(VelString("assets:/dir/one.txt"));
    EXPECT_EQ(file->size(), 1) << "the same name must leave the asset open";

    file->setFileName(VelString("assets:/dir/other"));
    EXPECT_EQ(file->fileName().toStdString(), "assets:/dir/other/");
    EXPECT_EQ(file->size(), -1);
    char c;
    EXPECT_EQ(file->read(&c, 1), -1);
    EXPECT_FALSE(file->open(VelIODevice::ReadOnly)) << "the old asset must not reopen";
    EXPECT_EQ(file->fileFlags(FileEngine::FileType), 0u);

    const auto dir = engineFor("assets:/dir/");
    ASSERT_TRUE(dir);
    dir->setFileName(VelString("assets:/elsewhere/"));
    EXPECT_EQ(dir->fileName().toStdString(), "assets:/elsewhere/");
    EXPECT_EQ(dir->fileFlags(FileEngine::DirectoryType), unsigned(FileEngine::DirectoryType));
    std::unique_ptr<VelAbstractFileEngineIterator> it(
        dir->beginEntryList(VelDir::NoFilter, VelStringList()));
    ASSERT_TRUE(it);
    ASSERT_TRUE(it->hasNext());
    EXPECT_EQ(it->next().toStdString(), "one.txt");
    EXPECT_EQ(it->currentFilePath().toStdString(), "assets:/elsewhere/one.txt");
}

TEST_F(AssetFilesTest, DirectoryEnginesDoNotActAsFiles)
{
    writeAsset("dir/one.txt", "1");
    const auto dir = engineFor("assets:/dir");
    ASSERT_TRUE(dir);
    EXPECT_FALSE(dir->open(VelIODevice::ReadOnly));
    EXPECT_FALSE(dir->close());
    EXPECT_EQ(dir->size(), -1);
    EXPECT_EQ(dir->pos(), -1);
    EXPECT_FALSE(dir->seek(0));
    char c;
    EXPECT_EQ(dir->read(&c, 1), -1);

    const auto file = engineFor("assets:/dir/one.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->beginEntryList(VelDir::NoFilter, VelStringList()), nullptr);
    EXPECT_TRUE(file->close());
    EXPECT_FALSE(file->close());
    EXPECT_EQ(file->size(), -1);

    VelFile asFile(VelString("assets:/dir"));
    EXPECT_FALSE(asFile.open(VelIODevice::ReadOnly));
}

TEST_F(AssetFilesTest, NamesOutsideTheSchemeAreNotClaimed)
{
    writeAsset("x", "x");
    for (const char *name : {"", "Assets:/x", "ASSETS:/x", "/assets/x", "assets/x", "assets:x",
                             "assets:", " assets:/x", "asset:/x", ":/assets/x", "file:assets:/x"}) {
        VelAbstractFileEngine *engine = m_handler->create(VelString(name));
        EXPECT_EQ(engine, nullptr) << name;
        delete engine;
    }
    EXPECT_NE(engineFor("assets:/x"), nullptr);
}

// Absent assets and names that try to climb out of the assets must look
// absent, even when the current directory happens to hold a local
// "assets:" folder with such files.
class AssetFilesInWorkingDirTest : public AssetFilesTest
{
protected:
    void SetUp() override
    {
        AssetFilesTest::SetUp();
        char cwd[4096];
        ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
        m_oldCwd = cwd;
        m_dir.write("work/assets:/missing.txt", "local file");
        m_dir.write("work/assets:/gone/inside.txt", "local dir");
        ASSERT_EQ(::chdir(m_dir.file("work").c_str()), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(::chdir(m_oldCwd.c_str()), 0);
        AssetFilesTest::TearDown();
    }
    std::string m_oldCwd;
};

TEST_F(AssetFilesInWorkingDirTest, AbsentAssetsNeverReachTheLocalFileSystem)
{
    // Without the handler the local files are found: the setup is effective.
    m_handler.reset();
    ASSERT_TRUE(VelFile::exists(VelString("assets:/missing.txt")));
    recreateHandler();

    writeAsset("present.txt", "asset");
    EXPECT_TRUE(VelFile::exists(VelString("assets:/present.txt")));
    EXPECT_FALSE(VelFile::exists(VelString("assets:/missing.txt")));
    VelFile missing(VelString("assets:/missing.txt"));
    EXPECT_FALSE(missing.open(VelIODevice::ReadOnly));
    EXPECT_FALSE(VelFileInfo(VelString("assets:/missing.txt")).exists());
    EXPECT_FALSE(VelDir(VelString("assets:/gone")).exists());
    EXPECT_TRUE(VelDir(VelString("assets:/gone")).entryList().empty());

    const auto engine = engineFor("assets:/missing.txt");
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->fileFlags(FileEngine::FileInfoAll), 0u);
    EXPECT_EQ(engine->size(), -1);
}

TEST_F(AssetFilesInWorkingDirTest, NamesClimbingOutOfTheAssetsAreAbsent)
{
    m_dir.write("secret.txt", "secret");
    writeAsset("a.txt", "a");
    writeAsset("sub/b.txt", "b");
    const std::string absoluteSecret = m_dir.file("secret.txt");
    for (const std::string &name :
         {std::string("assets:/../secret.txt"), std::string("assets:/sub/../a.txt"),
          std::string("assets:/sub/../../secret.txt"), std::string("assets:/.."),
          std::string("assets:/../"), "assets:/" + absoluteSecret}) {
        const VelString velName = VelString::fromStdString(name);
        EXPECT_FALSE(VelFile::exists(velName)) << name;
        VelFile file(velName);
        EXPECT_FALSE(file.open(VelIODevice::ReadOnly)) << name;
        EXPECT_FALSE(VelFileInfo(velName).exists()) << name;
        EXPECT_TRUE(VelDir(velName).entryList().empty()) << name;
    }
    // A NUL inside the name must not cut it down to an existing asset.
    VelString withNul = VelString("assets:/a.txt");
    withNul.append(VelChar(u'\0'));
    withNul.append(VelString("junk"));
    EXPECT_FALSE(VelFile::exists(withNul));
}

TEST_F(AssetFilesTest, NonAsciiNamesRoundTrip)
{
    writeAsset("d\xc3\xa9j\xc3\xa0/\xe2\x82\xac.txt", "euro");
    const VelString dirName = VelString::fromUtf8("assets:/d\xc3\xa9j\xc3\xa0");
    const VelStringList entries = VelDir(dirName).entryList();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().toUtf8().toStdString(), "\xe2\x82\xac.txt");
    VelFile file(dirName + "/" + entries.front());
    ASSERT_TRUE(file.open(VelIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), "euro");
}

TEST_F(AssetFilesTest, WithoutAnAssetManagerNothingExists)
{
    writeAsset("a.txt", "a");
    setBridgeAssetManager(nullptr);
    recreateHandler();
    EXPECT_FALSE(VelFile::exists(VelString("assets:/a.txt")));
    EXPECT_FALSE(VelDir(VelString("assets:/")).exists());
}

TEST_F(AssetFilesTest, DestroyingTheHandlerUnregistersIt)
{
    writeAsset("a.txt", "a");
    EXPECT_TRUE(VelFile::exists(VelString("assets:/a.txt")));
    m_handler.reset();
    EXPECT_FALSE(VelFile::exists(VelString("assets:/a.txt")));
}

} // namespace
