// The resources under test are compiled from test_io_resources_data/ by
// velrcc at build time: the whole folder as set "iotest" under prefix "/res",
// and two of its files, listed one by one, as set "iolist" under "/".
#include "veldir.h"
#include "velfile.h"
#include "velfileinfo.h"
#include "velresource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

int velInitResources_iotest();
int velCleanupResources_iotest();

namespace
{

std::string sourceData(const std::string &relative)
{
    std::ifstream in(std::string(VEL_TEST_RESOURCE_DATA "/") + relative, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

VelByteArray readResource(const VelString &name)
{
    VelFile file(name);
    if (!file.open(VelIODevice::ReadOnly))
        return VelByteArray("<cannot open>");
    return file.readAll();
}

TEST(IoResources, CompressedAndRawFilesReadBackExactly)
{
    const VelResource::Entry text = VelResource::lookup(VelString("/res/readme.txt"));
    ASSERT_TRUE(text.exists);
    EXPECT_TRUE(text.compressed) << "repetitive text must be stored compressed";
    EXPECT_LT(text.storedSize, veluint32(text.size));
    EXPECT_EQ(readResource(VelString(":/res/readme.txt")).toStdString(), sourceData("readme.txt"));

    const VelResource::Entry noise = VelResource::lookup(VelString("/res/noise.bin"));
    ASSERT_TRUE(noise.exists);
    EXPECT_FALSE(noise.compressed) << "random bytes do not shrink and must stay raw";
    EXPECT_EQ(readResource(VelString(":/res/noise.bin")).toStdString(), sourceData("noise.bin"));

    EXPECT_EQ(readResource(VelString(":/res/fonts/sub/inner.ttf")), VelByteArray("inner"));
    VelFile empty(VelString(":/res/empty.dat"));
    ASSERT_TRUE(empty.open(VelIODevice::ReadOnly));
    EXPECT_TRUE(empty.readAll().isEmpty());
    EXPECT_EQ(empty.size(), 0);
}

TEST(IoResources, PartialReadsAndSeeksOnCompressedData)
{
    const std::string expected = sourceData("readme.txt");
    VelFile file(VelString(":/res/readme.txt"));
    ASSERT_TRUE(file.open(VelIODevice::ReadOnly));
    EXPECT_EQ(file.size(), velint64(expected.size()));
    EXPECT_EQ(file.read(10).toStdString(), expected.substr(0, 10));
    ASSERT_TRUE(file.seek(velint64(expected.size()) - 5));
    EXPECT_EQ(file.readAll().toStdString(), expected.substr(expected.size() - 5));
    EXPECT_TRUE(file.atEnd());
    EXPECT_FALSE(file.seek(velint64(expected.size()) + 1));
}

TEST(IoResources, ResourcesAreReadOnlyAndMissingNamesFail)
{
    VelFile file(VelString(":/res/readme.txt"));
    EXPECT_FALSE(file.open(VelIODevice::WriteOnly));
    EXPECT_FALSE(file.open(VelIODevice::ReadWrite));
    VelFile missing(VelString(":/res/nope.txt"));
    EXPECT_FALSE(missing.exists());
    EXPECT_FALSE(missing.open(VelIODevice::ReadOnly));
    VelFile directory(VelString(":/res/fonts"));
    EXPECT_FALSE(directory.open(VelIODevice::ReadOnly));
    // A resource path is not a local path: "/res/readme.txt" must not resolve.
    EXPECT_FALSE(VelFile::exists(VelString("/res/readme.txt")));
}

TEST(IoResources, FileInfoAndDirectoryListing)
{
    const VelFileInfo file(VelString(":/res/fonts/Alpha.ttf"));
    EXPECT_TRUE(file.exists());
    EXPECT_TRUE(file.isFile());
    EXPECT_FALSE(file.isDir());
    EXPECT_FALSE(file.isNativePath());
    EXPECT_EQ(file.size(), 10);
    EXPECT_EQ(file.fileName(), VelString("Alpha.ttf"));
    EXPECT_EQ(file.path(), VelString(":/res/fonts"));
    EXPECT_EQ(file.absoluteFilePath(), VelString(":/res/fonts/Alpha.ttf"));

    const VelFileInfo dir(VelString(":/res/fonts"));
    EXPECT_TRUE(dir.exists());
    EXPECT_TRUE(dir.isDir());
    EXPECT_FALSE(dir.isNativePath());
    EXPECT_TRUE(VelFileInfo(VelString(":/")).isDir());
    EXPECT_EQ(VelFileInfo(VelString(":/res")).path(), VelString(":/"));

    const VelDir fonts(VelString(":/res/fonts"));
    ASSERT_TRUE(fonts.exists());
    const VelStringList ttf = fonts.entryList(VelStringList{VelString("*.ttf")}, VelDir::Files,
                                              VelDir::Name | VelDir::IgnoreCase);
    EXPECT_EQ(ttf, (VelStringList{VelString("Alpha.ttf"), VelString("beta.TTF"),
                                  VelString("Gamma.ttf")}));
    const VelStringList dirs = fonts.entryList(VelDir::Dirs);
    EXPECT_EQ(dirs, VelStringList{VelString("sub")});
    EXPECT_EQ(fonts.absoluteFilePath(VelString("Gamma.ttf")), VelString(":/res/fonts/Gamma.ttf"));
}

// Registering a set that is already registered must neither duplicate its
// entries nor let one unregistration remove what the other still uses.
TEST(IoResources, DuplicateRegistrationIsReferenceCounted)
{
    const int sets = VelResource::registeredSetCount();
    ASSERT_EQ(velInitResources_iotest(), 1);
    EXPECT_EQ(VelResource::registeredSetCount(), sets);
    EXPECT_EQ(VelDir(VelString(":/res/fonts")).entryList(VelDir::Files).size(), 4u);

    ASSERT_EQ(velCleanupResources_iotest(), 1);
    EXPECT_TRUE(VelFile::exists(VelString(":/res/readme.txt")))
        << "the static registration is still in force";

    ASSERT_EQ(velCleanupResources_iotest(), 1);
    EXPECT_FALSE(VelFile::exists(VelString(":/res/readme.txt")));
    EXPECT_FALSE(VelDir(VelString(":/res")).exists());
    EXPECT_EQ(velCleanupResources_iotest(), 0) << "nothing left to unregister";

    ASSERT_EQ(velInitResources_iotest(), 1);
    EXPECT_TRUE(VelFile::exists(VelString(":/res/readme.txt")));
}

TEST(IoResources, ConcurrentRegistrationAndReading)
{
    const std::string expected = sourceData("readme.txt");
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                velInitResources_iotest();
                if (readResource(VelString(":/res/readme.txt")).toStdString() != expected)
                    ++failures[size_t(t)];
                velCleanupResources_iotest();
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (int f : failures)
        EXPECT_EQ(f, 0);
    EXPECT_TRUE(VelFile::exists(VelString(":/res/readme.txt")));
}

TEST(IoResources, ListedFilesKeepTheirPathBelowTheBaseAndSetsMerge)
{
    EXPECT_EQ(readResource(VelString(":/readme.txt")).toStdString(), sourceData("readme.txt"));
    EXPECT_EQ(readResource(VelString(":/fonts/Alpha.ttf")), VelByteArray("alpha-font"));
    EXPECT_FALSE(VelFile::exists(VelString(":/fonts/Gamma.ttf"))) << "not listed";
    // The root lists the entries of both sets.
    EXPECT_EQ(VelDir(VelString(":/")).entryList(),
              (VelStringList{VelString("fonts"), VelString("readme.txt"), VelString("res")}));
    EXPECT_EQ(VelDir(VelString(":/fonts")).entryList(), VelStringList{VelString("Alpha.ttf")});
}

TEST(IoResources, RejectsUnknownFormatVersion)
{
    static const unsigned char tree[16] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    static const unsigned char names[2] = {0, 0};
    static const unsigned char data[1] = {0};
    EXPECT_FALSE(velRegisterResourceData(2, tree, names, data));
    EXPECT_TRUE(velRegisterResourceData(1, tree, names, data));
    EXPECT_TRUE(velUnregisterResourceData(1, tree, names, data));
}

// Builders for hand-made sets: 16-byte nodes, counted UTF-16 names, data blobs.
std::vector<unsigned char> &putU32(std::vector<unsigned char> &out, veluint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    return out;
}

void putNode(std::vector<unsigned char> &tree, veluint32 nameOffset, unsigned flags, veluint32 a,
             veluint32 b)
{
    putU32(tree, nameOffset);
    putU32(tree, flags);
    putU32(tree, a);
    putU32(tree, b);
}

std::vector<unsigned char> namesBlob(const std::string &ascii)
{
    std::vector<unsigned char> names = {static_cast<unsigned char>(ascii.size()), 0};
    for (char c : ascii) {
        names.push_back(static_cast<unsigned char>(c));
        names.push_back(0);
    }
    return names;
}

// Registers a set of known sizes for the lifetime of the object.
struct SizedSet {
    std::vector<unsigned char> tree, names, data;
    bool registered = false;

    SizedSet(std::vector<unsigned char> t, std::vector<unsigned char> n,
             std::vector<unsigned char> d)
        : tree(std::move(t)), names(std::move(n)), data(std::move(d))
    {
        registered = velRegisterSizedResourceData(1, tree.data(), tree.size(), names.data(),
                                                  names.size(), data.data(), data.size());
    }
    ~SizedSet()
    {
        if (registered)
            velUnregisterResourceData(1, tree.data(), names.data(), data.data());
    }
};

TEST(IoResourcesDamaged, SizedSetReadsLikeACompiledOne)
{
    std::vector<unsigned char> tree;
    putNode(tree, 0, VelResource::Directory, 1, 1);
    putNode(tree, 0, 0, 0, 0);
    std::vector<unsigned char> data;
    putU32(data, 2).push_back('o');
    data.push_back('k');
    const SizedSet set(tree, namesBlob("dmg-ok"), data);
    ASSERT_TRUE(set.registered);
    EXPECT_EQ(readResource(VelString(":/dmg-ok")), VelByteArray("ok"));
    EXPECT_TRUE(VelDir(VelString(":/")).entryList().contains(VelString("dmg-ok")));
}

TEST(IoResourcesDamaged, OffsetsAndCountsOutsideTheBlobsReadAsMissing)
{
    // A root claiming children past the tree's end.
    std::vector<unsigned char> tree;
    putNode(tree, 0, VelResource::Directory, 0xffff, 1);
    putNode(tree, 0, 0, 0, 0);
    std::vector<unsigned char> data;
    putU32(data, 1).push_back('x');
    {
        const SizedSet set(tree, namesBlob("dmg-a"), data);
        ASSERT_TRUE(set.registered);
        EXPECT_FALSE(VelFile::exists(VelString(":/dmg-a")));
    }
    // A name offset past the names, and a data offset past the data.
    tree.clear();
    putNode(tree, 0, VelResource::Directory, 2, 1);
    putNode(tree, 1000, 0, 0, 0);
    putNode(tree, 0, 0, 1000, 0);
    {
        const SizedSet set(tree, namesBlob("dmg-b"), data);
        ASSERT_TRUE(set.registered);
        EXPECT_FALSE(VelFile::exists(VelString(":/dmg-b")));
        EXPECT_FALSE(VelResource::lookup(VelString("/dmg-b")).exists);
    }
    // A stored size larger than the data that follows it.
    tree.clear();
    putNode(tree, 0, VelResource::Directory, 1, 1);
    putNode(tree, 0, 0, 0, 0);
    std::vector<unsigned char> shortData;
    putU32(shortData, 100).push_back('x');
    const SizedSet set(tree, namesBlob("dmg-c"), shortData);
    ASSERT_TRUE(set.registered);
    EXPECT_FALSE(VelFile::exists(VelString(":/dmg-c")));
}

TEST(IoResourcesDamaged, TreeWithoutARootDirectoryIsRefused)
{
    std::vector<unsigned char> file;
    putNode(file, 0, 0, 0, 0);
    const std::vector<unsigned char> names = namesBlob("r");
    const std::vector<unsigned char> data(4, 0);
    EXPECT_FALSE(velRegisterSizedResourceData(1, file.data(), file.size(), names.data(),
                                              names.size(), data.data(), data.size()));
    std::vector<unsigned char> root;
    putNode(root, 0, VelResource::Directory, 0, 0);
    EXPECT_FALSE(velRegisterSizedResourceData(1, root.data(), root.size() - 1, names.data(),
                                              names.size(), data.data(), data.size()));
}

TEST(IoResourcesDamaged, DirectoryListingItselfResolvesOnlyAsDeepAsThePath)
{
    std::vector<unsigned char> tree;
    putNode(tree, 0, VelResource::Directory, 1, 0); // the root is its own child "dmg-loop"
    const SizedSet set(tree, namesBlob("dmg-loop"), std::vector<unsigned char>(4, 0));
    ASSERT_TRUE(set.registered);
    EXPECT_TRUE(VelFileInfo(VelString(":/dmg-loop/dmg-loop/dmg-loop")).isDir());
    EXPECT_EQ(VelDir(VelString(":/dmg-loop")).entryList(), VelStringList{VelString("dmg-loop")});
}

// The uncompressed size in front of a zlib stream is trusted for the output
// buffer; sizes no stream of that length could produce must not be allocated
// or written to, also in sets registered without sizes.
TEST(IoResourcesDamaged, ImpossibleUncompressedSizeIsRefusedBeforeAllocating)
{
    static const unsigned char names[] = {6, 0, 'd', 0, 'm', 0, 'g', 0, '-', 0, 'z', 0, '1', 0};
    for (const veluint32 claimed : {0xfffffff0u, 0x7fffffffu, 40000u}) {
        std::vector<unsigned char> tree;
        putNode(tree, 0, VelResource::Directory, 1, 1);
        putNode(tree, 0, VelResource::Compressed, 0, 0);
        std::vector<unsigned char> data;
        putU32(data, 8);
        putU32(data, claimed);
        for (unsigned char c : {0x78, 0x9c, 0x03, 0x00})
            data.push_back(c); // a zlib stream of nothing
        ASSERT_TRUE(velRegisterResourceData(1, tree.data(), names, data.data()));
        VelFile file(VelString(":/dmg-z1"));
        EXPECT_EQ(file.size(), velint64(claimed));
        EXPECT_FALSE(file.open(VelIODevice::ReadOnly)) << claimed;
        EXPECT_TRUE(VelResource::lookup(VelString("/dmg-z1")).contents().isEmpty());
        EXPECT_TRUE(velUnregisterResourceData(1, tree.data(), names, data.data()));
    }
}

} // namespace
