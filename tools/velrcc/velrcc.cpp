// velrcc: compiles files into a C++ source that registers them as ":/"
// resources (format version 1, described in host/core/io/velresource.h).
//
//   velrcc --name <name> --output <file.cpp> [--prefix /p] [--base <dir>]
//          [--no-compress] <file or folder>...
//
// A folder contributes every regular file below it, named relative to the
// folder. A file is named relative to --base when given and below it,
// otherwise by its file name. The generated source registers the data from a
// static initialiser, unregisters it at exit, and also offers
// velInitResources_<name>() / velCleanupResources_<name>() for explicit use.

#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct Options {
    std::string name;
    std::string output;
    std::string prefix = "/";
    std::string base;
    bool compress = true;
    std::vector<std::string> inputs;
};

struct Node {
    bool isDir = true;
    fs::path source;
    std::map<std::u16string, std::unique_ptr<Node>> children;
};

[[noreturn]] void fail(const std::string &message)
{
    std::cerr << "velrcc: " << message << "\n";
    std::exit(1);
}

std::u16string utf8ToUtf16(const std::string &in)
{
    std::u16string out;
    size_t i = 0;
    while (i < in.size()) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        uint32_t cp = 0;
        int extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            fail("file name is not UTF-8: " + in);
        }
        if (i + size_t(extra) >= in.size() && extra > 0)
            fail("file name is not UTF-8: " + in);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(in[i + k]);
            if ((cc & 0xC0) != 0x80)
                fail("file name is not UTF-8: " + in);
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += size_t(extra) + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

Options parseArguments(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                fail("missing value for " + arg);
            return argv[++i];
        };
        if (arg == "--name")
            options.name = value();
        else if (arg == "--output" || arg == "-o")
            options.output = value();
        else if (arg == "--prefix")
            options.prefix = value();
        else if (arg == "--base")
            options.base = value();
        else if (arg == "--no-compress")
            options.compress = false;
        else if (!arg.empty() && arg[0] == '-')
            fail("unknown option " + arg);
        else
            options.inputs.push_back(arg);
    }
    if (options.name.empty() || options.output.empty())
        fail("usage: velrcc --name <name> --output <file.cpp> [--prefix /p] [--base dir] "
             "[--no-compress] <file or folder>...");
    for (char c : options.name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
            fail("--name must be a C identifier: " + options.name);
    }
    return options;
}

std::vector<std::string> splitComponents(const std::string &path)
{
    std::vector<std::string> parts;
    std::stringstream stream(path);
    std::string part;
    while (std::getline(stream, part, '/')) {
        if (!part.empty() && part != ".")
            parts.push_back(part);
    }
    return parts;
}

void addFile(Node &root, const std::vector<std::string> &components, const fs::path &source)
{
    Node *dir = &root;
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        std::unique_ptr<Node> &child = dir->children[utf8ToUtf16(components[i])];
        if (!child)
            child = std::make_unique<Node>();
        if (!child->isDir)
            fail("resource path is both a file and a directory: " + components[i]);
        dir = child.get();
    }
    std::unique_ptr<Node> &leaf = dir->children[utf8ToUtf16(components.back())];
    if (leaf && leaf->isDir)
        fail("resource path is both a file and a directory: " + components.back());
    leaf = std::make_unique<Node>();
    leaf->isDir = false;
    leaf->source = source;
}

void collectInputs(const Options &options, Node &root)
{
    const std::vector<std::string> prefix = splitComponents(options.prefix);
    auto add = [&](const std::string &relative, const fs::path &source) {
        std::vector<std::string> components = prefix;
        for (const std::string &part : splitComponents(relative)) {
            if (part == "..")
                fail("resource name leaves its base: " + relative);
            components.push_back(part);
        }
        if (components.empty())
            fail("empty resource name for " + source.string());
        addFile(root, components, source);
    };
    const fs::path base = options.base.empty() ? fs::path() : fs::absolute(options.base);
    for (const std::string &input : options.inputs) {
        const fs::path path = fs::absolute(input);
        if (fs::is_directory(path)) {
            std::vector<fs::path> files;
            for (const auto &entry : fs::recursive_directory_iterator(path)) {
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            }
            for (const fs::path &file : files)
                add(file.lexically_relative(path).generic_string(), file);
        } else if (fs::is_regular_file(path)) {
            std::string relative = path.filename().string();
            if (!base.empty()) {
                const fs::path rel = path.lexically_relative(base);
                if (!rel.empty() && rel.begin()->string() != "..")
                    relative = rel.generic_string();
            }
            add(relative, path);
        } else {
            fail("no such file or folder: " + input);
        }
    }
}

void putU16(std::string &out, uint32_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

void putU32(std::string &out, uint32_t v)
{
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot read " + path.string());
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Returns the stored bytes and whether they are compressed.
std::pair<std::string, bool> storeFile(const std::string &contents, bool allowCompression)
{
    if (allowCompression && !contents.empty()) {
        uLongf length = compressBound(uLong(contents.size()));
        std::string packed(length, '\0');
        if (compress2(reinterpret_cast<Bytef *>(&packed[0]), &length,
                      reinterpret_cast<const Bytef *>(contents.data()), uLong(contents.size()),
                      Z_BEST_COMPRESSION) != Z_OK)
            fail("zlib compression failed");
        packed.resize(length);
        if (packed.size() + 4 < contents.size()) {
            std::string stored;
            putU32(stored, uint32_t(contents.size()));
            return {stored + packed, true};
        }
    }
    return {contents, false};
}

struct Blobs {
    std::string tree;
    std::string names;
    std::string data;
};

// Lays the tree out breadth-first so that every directory's children are
// consecutive nodes, already sorted by the map's UTF-16 unit order.
Blobs layout(const Node &root, bool allowCompression)
{
    Blobs blobs;
    std::vector<std::pair<const Node *, std::u16string>> order{{&root, u""}};
    std::vector<uint32_t> firstChild;
    for (size_t i = 0; i < order.size(); ++i) {
        firstChild.push_back(uint32_t(order.size()));
        for (const auto &child : order[i].first->children)
            order.emplace_back(child.second.get(), child.first);
    }
    for (size_t i = 0; i < order.size(); ++i) {
        const Node &node = *order[i].first;
        const uint32_t nameOffset = uint32_t(blobs.names.size());
        putU16(blobs.names, uint32_t(order[i].second.size()));
        for (char16_t unit : order[i].second)
            putU16(blobs.names, unit);
        putU32(blobs.tree, i == 0 ? 0 : nameOffset);
        if (node.isDir) {
            putU16(blobs.tree, 0x1);
            putU16(blobs.tree, 0);
            putU32(blobs.tree, uint32_t(node.children.size()));
            putU32(blobs.tree, firstChild[i]);
        } else {
            const auto stored = storeFile(readFile(node.source), allowCompression);
            putU16(blobs.tree, stored.second ? 0x2 : 0);
            putU16(blobs.tree, 0);
            putU32(blobs.tree, uint32_t(blobs.data.size()));
            putU32(blobs.tree, 0);
            putU32(blobs.data, uint32_t(stored.first.size()));
            blobs.data += stored.first;
        }
    }
    return blobs;
}

void writeArray(std::ostream &out, const char *name, const std::string &bytes)
{
    out << "const unsigned char " << name << "[] = {";
    // An empty blob still needs one element to be a valid array.
    const std::string data = bytes.empty() ? std::string(1, '\0') : bytes;
    for (size_t i = 0; i < data.size(); ++i) {
        if (i % 16 == 0)
            out << "\n    ";
        out << "0x" << std::hex << int(static_cast<unsigned char>(data[i])) << std::dec << ",";
    }
    out << "\n};\n\n";
}

std::string generate(const Options &options, const Blobs &blobs)
{
    const std::string &n = options.name;
    std::ostringstream out;
    out << "// Generated by velrcc from resource set \"" << n << "\". Do not edit.\n\n"
        << "bool velRegisterResourceData(int, const unsigned char *, const unsigned char *,\n"
        << "                             const unsigned char *);\n"
        << "bool velUnregisterResourceData(int, const unsigned char *, const unsigned char *,\n"
        << "                               const unsigned char *);\n\n"
        << "namespace {\n\n";
    writeArray(out, "velResourceTree", blobs.tree);
    writeArray(out, "velResourceNames", blobs.names);
    writeArray(out, "velResourceData", blobs.data);
    out << "} // namespace\n\n"
        << "int velInitResources_" << n << "()\n{\n"
        << "    return velRegisterResourceData(1, velResourceTree, velResourceNames, "
           "velResourceData) ? 1 : 0;\n}\n\n"
        << "int velCleanupResources_" << n << "()\n{\n"
        << "    return velUnregisterResourceData(1, velResourceTree, velResourceNames, "
           "velResourceData) ? 1 : 0;\n}\n\n"
        << "namespace {\n"
        << "struct VelResourceInitializer\n{\n"
        << "    VelResourceInitializer() { velInitResources_" << n << "(); }\n"
        << "    ~VelResourceInitializer() { velCleanupResources_" << n << "(); }\n"
        << "} velResourceInitializer;\n"
        << "} // namespace\n";
    return out.str();
}

} // namespace

int main(int argc, char **argv)
{
    const Options options = parseArguments(argc, argv);
    Node root;
    collectInputs(options, root);
    const std::string source = generate(options, layout(root, options.compress));
    // Rewriting an unchanged file would make every build recompile it.
    if (fs::exists(options.output) && readFile(options.output) == source)
        return 0;
    std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
    if (!out)
        fail("cannot write " + options.output);
    out << source;
    return out ? 0 : 1;
}
