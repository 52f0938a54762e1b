// Feeds arbitrary bytes, as a file, to the naming-table reader.
#include "velbasicfontdatabase.h"

#include "vellogging.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{
std::string scratchFile()
{
    return "/tmp/velfontname-fuzz-" + std::to_string(getpid()) + ".ttf";
}
} // namespace

// Hostile fonts make the code under test log on most inputs; the messages
// would cost more than the parsing.
static void discardMessages(VelMsgType, const VelMessageLogContext &, const VelString &) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    velInstallMessageHandler(discardMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = scratchFile();
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    const VelString name =
        VelBasicFontDatabase::fontNameFromTTFile(VelString::fromUtf8(path.c_str()));
    volatile int length = name.size();
    (void)length;
    return 0;
}
