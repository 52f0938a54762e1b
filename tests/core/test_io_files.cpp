#include "velabstractfileengine.h"
#include "velabstractfileenginehandler.h"
#include "velabstractfileengineiterator.h"
#include "veldir.h"
#include "velfile.h"
#include "velfileinfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

class TempDir
{
public:
    TempDir()
    {
        char pattern[] = "/tmp/vel_io_files_XXXXXX";
        m_path = ::mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    const std::string &path() const { return m_path; }
    VelString velPath() const { return VelString::fromLocal8Bit(m_path.c_str()); }
    void write(const std::string &name, const std::string &contents) const
    {
        std::ofstream(m_path + "/" + name, std::ios::binary) << contents;
    }
    void mkdir(const std::string &name) const { ::mkdir((m_path + "/" + name).c_str(), 0755); }

private:
    std::string m_path;
};

TEST(IoLocalFiles, DirectoryNameFiltersAndCaseInsensitiveSort)
{
    TempDir tmp;
    tmp.write("b.ttf", "b");
    tmp.write("A.TTF", "a");
    tmp.write("c.ttc", "c");
    tmp.write("d.pfb", "d");
    tmp.write("readme.txt", "r");
    tmp.write(".hidden.ttf", "h");
    tmp.mkdir("Zdir.ttf");
    tmp.mkdir("other");

    VelDir dir(tmp.velPath());
    ASSERT_TRUE(dir.exists());
    const VelStringList filters{VelString("*.ttf"), VelString("*.ttc"), VelString("*.pfb")};
    const VelStringList found = dir.entryList(
        filters, VelDir::Files | VelDir::Dirs | VelDir::Drives, VelDir::Name | VelDir::IgnoreCase);
    // Matching ignores case (A.TTF), directories match too (Zdir.ttf), hidden
    // files stay out, and the order ignores case.
    EXPECT_EQ(found, (VelStringList{VelString("A.TTF"), VelString("b.ttf"), VelString("c.ttc"),
                                    VelString("d.pfb"), VelString("Zdir.ttf")}));

    const VelStringList caseSensitive = dir.entryList(
        VelStringList{VelString("*.ttf")}, VelDir::Files | VelDir::CaseSensitive, VelDir::Name);
    EXPECT_EQ(caseSensitive, VelStringList{VelString("b.ttf")});

    const VelStringList byCodeUnit =
        dir.entryList(VelStringList{VelString("*.t?[cf]")}, VelDir::Files, VelDir::Name);
    EXPECT_EQ(byCodeUnit,
              (VelStringList{VelString("A.TTF"), VelString("b.ttf"), VelString("c.ttc")}));

    const VelStringList withHidden =
        dir.entryList(VelStringList{VelString("*.ttf")}, VelDir::Files | VelDir::Hidden);
    EXPECT_EQ(withHidden.size(), 3u);
    EXPECT_EQ(dir.entryList(VelDir::Dirs),
              (VelStringList{VelString("other"), VelString("Zdir.ttf")}));
    EXPECT_EQ(dir.entryList(VelStringList{VelString("*.ttf")}, VelDir::Dirs | VelDir::AllDirs),
              (VelStringList{VelString("other"), VelString("Zdir.ttf")}))
        << "AllDirs lists directories whatever the name filters";
    EXPECT_EQ(dir.entryList(VelStringList{VelString("*.txt")}, VelDir::Files,
                            VelDir::Name | VelDir::Reversed),
              VelStringList{VelString("readme.txt")});
}

TEST(IoLocalFiles, SymbolicLinksCanBeLeftOut)
{
    TempDir tmp;
    tmp.write("real.ttf", "r");
    ASSERT_EQ(::symlink((tmp.path() + "/real.ttf").c_str(), (tmp.path() + "/link.ttf").c_str()), 0);
    VelDir dir(tmp.velPath());
    EXPECT_EQ(dir.entryList(VelDir::Files),
              (VelStringList{VelString("link.ttf"), VelString("real.ttf")}));
    EXPECT_EQ(dir.entryList(VelDir::Files | VelDir::NoSymLinks),
              VelStringList{VelString("real.ttf")});
    EXPECT_TRUE(VelFileInfo(tmp.velPath() + "/link.ttf").isSymLink());
    EXPECT_TRUE(VelFileInfo(tmp.velPath() + "/link.ttf").isFile());
}

TEST(IoLocalFiles, RefreshSeesNewEntries)
{
    TempDir tmp;
    tmp.write("one.ttf", "1");
    VelDir dir(tmp.velPath());
    EXPECT_EQ(dir.entryList(VelDir::Files).size(), 1u);
    tmp.write("two.ttf", "2");
    EXPECT_EQ(dir.entryList(VelDir::Files).size(), 1u) << "listing is cached until refresh";
    dir.refresh();
    EXPECT_EQ(dir.entryList(VelDir::Files).size(), 2u);
    EXPECT_EQ(dir.absoluteFilePath(VelString("two.ttf")), tmp.velPath() + "/two.ttf");
    EXPECT_EQ(dir.absoluteFilePath(VelString("/etc/passwd")), VelString("/etc/passwd"));
}

TEST(IoLocalFiles, FileReadWriteAndInfo)
{
    TempDir tmp;
    const VelString name = tmp.velPath() + "/data.bin";
    std::string payload(50000, '\0');
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = char(i * 7);
    {
        VelFile out(name);
        ASSERT_TRUE(out.open(VelIODevice::WriteOnly));
        EXPECT_EQ(out.write(payload.data(), velint64(payload.size())), velint64(payload.size()));
    }
    VelFile in(name);
    ASSERT_TRUE(in.open(VelIODevice::ReadOnly));
    EXPECT_EQ(in.readAll().toStdString(), payload);
    EXPECT_EQ(in.write("x", 1), -1) << "a read-only file must refuse writes";

    const VelFileInfo info(name);
    EXPECT_TRUE(info.exists());
    EXPECT_TRUE(info.isFile());
    EXPECT_TRUE(info.isNativePath());
    EXPECT_EQ(info.size(), velint64(payload.size()));
    EXPECT_EQ(info.fileName(), VelString("data.bin"));
    EXPECT_EQ(info.path(), tmp.velPath());
    EXPECT_TRUE(VelFileInfo(tmp.velPath()).isDir());
    EXPECT_FALSE(VelFileInfo(tmp.velPath() + "/missing").exists());
    EXPECT_FALSE(VelFile(tmp.velPath()).open(VelIODevice::ReadOnly)) << "a directory is no file";
}

TEST(IoLocalFiles, PathHelpers)
{
    EXPECT_EQ(VelDir::cleanPath(VelString("/a//b/./c/../d/")), VelString("/a/b/d"));
    EXPECT_EQ(VelDir::cleanPath(VelString("assets:/x/../y")), VelString("assets:/y"));
    EXPECT_EQ(VelDir::cleanPath(VelString("../a")), VelString("../a"));
    EXPECT_EQ(VelDir::toNativeSeparators(VelString("/a/b")), VelString("/a/b"));
    EXPECT_TRUE(VelDir::isAbsolutePath(VelString(":/res")));
    EXPECT_TRUE(VelDir::isAbsolutePath(VelString("assets:/")));
    EXPECT_FALSE(VelDir::isAbsolutePath(VelString("a/b:/c")));

    const VelString before = VelDir::currentPath();
    TempDir tmp;
    ASSERT_TRUE(VelDir::setCurrent(tmp.velPath()));
    char resolved[4096];
    ASSERT_TRUE(::realpath(tmp.path().c_str(), resolved));
    EXPECT_EQ(VelDir::currentPath(), VelString::fromLocal8Bit(resolved));
    tmp.write("rel.txt", "r");
    EXPECT_TRUE(VelFileInfo(VelString("rel.txt")).exists());
    EXPECT_TRUE(VelDir::setCurrent(before));
    EXPECT_FALSE(VelDir::setCurrent(VelString("/no/such/dir")));

    const char *home = std::getenv("HOME");
    if (home && *home) {
        EXPECT_EQ(VelDir::homePath(), VelDir::cleanPath(VelString::fromLocal8Bit(home)));
    }
}

// An in-memory tree served under "mem:/" the way a packaged-asset handler
// would: the iterator yields every entry unfiltered.
class MemoryTree
{
public:
    std::map<std::string, std::string> files; // "dir/name" -> contents
    bool isDir(const std::string &path) const
    {
        if (path.empty())
            return true;
        for (const auto &f : files) {
            if (f.first.compare(0, path.size() + 1, path + "/") == 0)
                return true;
        }
        return false;
    }
    VelStringList children(const std::string &path) const
    {
        VelStringList names;
        const std::string prefix = path.empty() ? std::string() : path + "/";
        for (const auto &f : files) {
            if (f.first.compare(0, prefix.size(), prefix) != 0)
                continue;
            const std::string rest = f.first.substr(prefix.size());
            const VelString child = VelString::fromUtf8(rest.substr(0, rest.find('/')).c_str());
            if (!names.contains(child))
                names.push_back(child);
        }
        return names;
    }
};

class MemoryIterator : public VelAbstractFileEngineIterator
{
public:
    MemoryIterator(VelStringList entries, VelDir::Filters filters, const VelStringList &nameFilters)
        : VelAbstractFileEngineIterator(filters, nameFilters), m_entries(std::move(entries))
    {
    }
    VelString next() override
    {
        if (!hasNext())
            return VelString();
        ++m_index;
        return currentFileName();
    }
    bool hasNext() const override { return m_index + 1 < int(m_entries.size()); }
    VelString currentFileName() const override
    {
        return m_index >= 0 && m_index < int(m_entries.size()) ? m_entries.at(m_index)
                                                               : VelString();
    }

private:
    VelStringList m_entries;
    int m_index = -1;
};

class MemoryEngine : public VelAbstractFileEngine
{
public:
    MemoryEngine(const MemoryTree &tree, const VelString &name)
        : m_tree(tree), m_name(name), m_path(name.mid(5).toStdString())
    {
        while (!m_path.empty() && m_path.back() == '/')
            m_path.pop_back();
    }
    bool open(VelIODevice::OpenMode mode) override
    {
        return (mode & VelIODevice::ReadOnly) && m_tree.files.count(m_path);
    }
    velint64 size() const override
    {
        const auto it = m_tree.files.find(m_path);
        return it == m_tree.files.end() ? -1 : velint64(it->second.size());
    }
    FileFlags fileFlags(FileFlags type) const override
    {
        FileFlags flags = 0;
        if (m_tree.files.count(m_path))
            flags = ExistsFlag | FileType | ReadOwnerPerm | ReadUserPerm;
        else if (m_tree.isDir(m_path))
            flags = ExistsFlag | DirectoryType | ReadOwnerPerm | ReadUserPerm;
        return flags & type;
    }
    VelString fileName(FileName) const override { return m_name; }
    Iterator *beginEntryList(VelDir::Filters filters, const VelStringList &names) override
    {
        lastFilters = filters;
        lastNameFilters = names;
        return new MemoryIterator(m_tree.children(m_path), filters, names);
    }
    velint64 read(char *data, velint64 maxlen) override
    {
        const std::string &contents = m_tree.files.at(m_path);
        const velint64 n = std::min<velint64>(maxlen, velint64(contents.size()) - m_pos);
        std::memcpy(data, contents.data() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }

    static VelDir::Filters lastFilters;
    static VelStringList lastNameFilters;

private:
    const MemoryTree &m_tree;
    VelString m_name;
    std::string m_path;
    velint64 m_pos = 0;
};
VelDir::Filters MemoryEngine::lastFilters = 0;
VelStringList MemoryEngine::lastNameFilters;

class MemoryHandler : public VelAbstractFileEngineHandler
{
public:
    explicit MemoryHandler(const MemoryTree &tree) : m_tree(tree) { registerHandler(); }
    ~MemoryHandler() override { unregisterHandler(); }
    VelAbstractFileEngine *create(const VelString &fileName) const override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        asked.push_back(fileName);
        if (!fileName.startsWith(VelString("mem:/")))
            return nullptr;
        return new MemoryEngine(m_tree, fileName);
    }
    mutable std::vector<VelString> asked;

private:
    const MemoryTree &m_tree;
    mutable std::mutex m_mutex; // guards asked; taken alone
};

TEST(IoFileEngines, HandlerClaimsItsNamesAndHostAppliesFilters)
{
    MemoryTree tree;
    tree.files = {{"fonts/b.ttf", "bb"},
                  {"fonts/A.ttf", "aaa"},
                  {"fonts/c.otf", "c"},
                  {"fonts/x/y.ttf", "y"},
                  {"top.txt", "top"}};
    MemoryHandler handler(tree);

    VelFile file(VelString("mem:/fonts/A.ttf"));
    ASSERT_TRUE(file.open(VelIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), VelByteArray("aaa"));
    EXPECT_FALSE(VelFile(VelString("mem:/fonts/A.ttf")).open(VelIODevice::WriteOnly));

    const VelFileInfo info(VelString("mem:/fonts/b.ttf"));
    EXPECT_TRUE(info.exists());
    EXPECT_TRUE(info.isFile());
    EXPECT_FALSE(info.isNativePath());
    EXPECT_EQ(info.size(), 2);
    EXPECT_TRUE(VelFileInfo(VelString("mem:/fonts")).isDir());
    EXPECT_FALSE(VelFileInfo(VelString("mem:/nothing")).exists());

    VelDir dir(VelString("mem:/fonts"));
    ASSERT_TRUE(dir.exists());
    const VelStringList ttf = dir.entryList(VelStringList{VelString("*.TTF")}, VelDir::Files,
                                            VelDir::Name | VelDir::IgnoreCase);
    EXPECT_EQ(ttf, (VelStringList{VelString("A.ttf"), VelString("b.ttf")}))
        << "the iterator yields c.otf and x too; the host must drop them";
    EXPECT_EQ(MemoryEngine::lastFilters, VelDir::Files);
    EXPECT_EQ(MemoryEngine::lastNameFilters, VelStringList{VelString("*.TTF")});
    EXPECT_EQ(dir.entryList(VelDir::Dirs), VelStringList{VelString("x")});
    EXPECT_EQ(VelDir(VelString("mem:/")).entryList(VelDir::Files),
              VelStringList{VelString("top.txt")});
    EXPECT_EQ(dir.absoluteFilePath(VelString("A.ttf")), VelString("mem:/fonts/A.ttf"));

    // Resource names never reach handlers; every other name does.
    handler.asked.clear();
    VelFileInfo(VelString(":/nothing")).exists();
    VelFileInfo(VelString("/tmp")).exists();
    EXPECT_EQ(handler.asked, std::vector<VelString>{VelString("/tmp")});
}

TEST(IoFileEngines, DestroyedHandlerIsNoLongerAsked)
{
    MemoryTree tree;
    tree.files = {{"a.txt", "a"}};
    {
        MemoryHandler handler(tree);
        EXPECT_TRUE(VelFile::exists(VelString("mem:/a.txt")));
    }
    EXPECT_FALSE(VelFile::exists(VelString("mem:/a.txt")));
}

TEST(IoFileEngines, HandlersAreAskedFromManyThreadsWhileOthersComeAndGo)
{
    MemoryTree tree;
    tree.files = {{"a.txt", "a"}};
    MemoryHandler stable(tree);
    std::vector<std::thread> threads;
    int misses = 0;
    std::mutex missesMutex; // guards misses; taken alone
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 300; ++i) {
                if (!VelFile::exists(VelString("mem:/a.txt"))) {
                    std::lock_guard<std::mutex> lock(missesMutex);
                    ++misses;
                }
            }
        });
    }
    threads.emplace_back([&] {
        for (int i = 0; i < 300; ++i)
            MemoryHandler transient(tree);
    });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(misses, 0);
}

TEST(IoFileEngines, DefaultEngineOperationsFail)
{
    VelAbstractFileEngine engine;
    EXPECT_FALSE(engine.open(VelIODevice::ReadOnly));
    EXPECT_EQ(engine.read(nullptr, 0), -1);
    EXPECT_EQ(engine.write("x", 1), -1);
    EXPECT_FALSE(engine.remove());
    EXPECT_FALSE(engine.rename(VelString("x")));
    EXPECT_FALSE(engine.mkdir(VelString("x"), true));
    EXPECT_EQ(engine.fileFlags(VelAbstractFileEngine::FileInfoAll), 0u);
    EXPECT_EQ(engine.handle(), -1);
    EXPECT_EQ(engine.endEntryList(), nullptr);
    EXPECT_EQ(engine.fileTime(VelAbstractFileEngine::ModificationTime), -1);
}

} // namespace
