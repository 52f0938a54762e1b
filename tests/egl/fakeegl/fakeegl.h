#ifndef FAKEEGL_H
#define FAKEEGL_H

// A recording stand-in for the system EGL library. Executables linked against
// it instead of libEGL get these definitions of the EGL entry points, with one
// display, configs scripted by the test and every call recorded so that tests
// can check the exact conversation with EGL.

#include <EGL/egl.h>

#include <map>
#include <string>
#include <vector>

namespace FakeEgl
{

// One frame-buffer configuration: attribute name -> value. Attributes a config
// does not list read as 0.
using ConfigAttributes = std::map<EGLint, EGLint>;

struct CreateContextCall {
    EGLConfig config = nullptr;
    EGLContext share = EGL_NO_CONTEXT;
    std::vector<EGLint> attributes; // without the terminating EGL_NONE
    EGLenum boundApi = 0;           // the API bound on the calling thread at the time
    EGLContext result = EGL_NO_CONTEXT;
};

struct MakeCurrentCall {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface draw = EGL_NO_SURFACE;
    EGLSurface read = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    bool succeeded = false;
};

struct PbufferCall {
    EGLConfig config = nullptr;
    std::vector<EGLint> attributes; // without the terminating EGL_NONE
    EGLSurface result = EGL_NO_SURFACE;
};

// Forgets every config, script and record; the calling thread's current
// context, bound API and pending error are cleared too.
void reset();

EGLDisplay display();

// The configs of the display, in the order eglChooseConfig returns matches.
void setConfigs(const std::vector<ConfigAttributes> &configs);
EGLConfig config(int index);
// Index of a config handle in the scripted list, -1 for an unknown handle.
int configIndex(EGLConfig config);

// Scripts.
void setExtensions(const std::string &extensions);
void setRenderer(const std::string &renderer); // what glGetString(GL_RENDERER) answers
void setChooseConfigFails(bool fails);
void setRefuseSharedContexts(bool refuse); // a context with a share context fails (EGL_BAD_MATCH)
void setRefuseAllContexts(bool refuse);
void setMakeCurrentError(EGLint error); // EGL_SUCCESS lets eglMakeCurrent succeed
void setSwapBuffersError(EGLint error);
void setPbufferError(EGLint error);
void setRejectedAttribute(EGLint attribute); // eglGetConfigAttrib fails for it; 0 = none

// Records.
std::vector<std::string> calls(); // entry point names in call order
int callCount(const std::string &name);
std::vector<std::vector<EGLint>> chooseConfigLists(); // lists of the counting calls (no array)
std::vector<CreateContextCall> createContextCalls();
std::vector<MakeCurrentCall> makeCurrentCalls();
std::vector<EGLenum> boundApis();
std::vector<PbufferCall> pbufferCalls();
std::vector<EGLint> configAttributeQueries();
std::vector<EGLSurface> swappedSurfaces();
std::vector<EGLContext> destroyedContexts();
std::vector<EGLSurface> destroyedSurfaces();
std::vector<std::string> procAddressQueries();
int liveContextCount();
int liveSurfaceCount();
// The calling thread's pending error, without clearing it.
EGLint peekError();

} // namespace FakeEgl

#endif
