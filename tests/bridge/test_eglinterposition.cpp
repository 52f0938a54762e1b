// A program using the plugin finds the NDK stand-in's eglCreateWindowSurface
// before EGL's, whatever its linker keeps: EGL's own would take the
// ANativeWindow pointer for an X window id.

#include "androidjnimain.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

namespace
{

std::string libraryDefining(const char *symbol)
{
    void *const address = dlsym(RTLD_DEFAULT, symbol);
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fname)
        return "<not found>";
    return info.dli_fname;
}

} // namespace

TEST(EglInterposition, TheStandinsWindowSurfaceCallComesBeforeEgls)
{
    // Uses the plugin, as the tests that start it do, so that it is loaded.
    EXPECT_EQ(VelAndroid::javaVM(), nullptr);
    const std::string library = libraryDefining("eglCreateWindowSurface");
    EXPECT_NE(library.find("libandroid-standins"), std::string::npos)
        << "eglCreateWindowSurface resolves to " << library;
}
