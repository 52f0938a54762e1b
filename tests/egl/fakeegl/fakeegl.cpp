#include "fakeegl.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <set>

namespace
{

struct DisplayTag {
    int unused = 0;
};
DisplayTag theDisplay;

struct State {
    std::vector<FakeEgl::ConfigAttributes> configs;
    std::string extensions;
    std::string renderer = "Fake renderer";
    bool chooseConfigFails = false;
    bool refuseShared = false;
    bool refuseAll = false;
    EGLint makeCurrentError = EGL_SUCCESS;
    EGLint swapError = EGL_SUCCESS;
    EGLint pbufferError = EGL_SUCCESS;
    EGLint rejectedAttribute = 0;

    std::vector<std::string> calls;
    std::vector<std::vector<EGLint>> chooseLists;
    std::vector<FakeEgl::CreateContextCall> contextCalls;
    std::vector<FakeEgl::MakeCurrentCall> makeCurrentCalls;
    std::vector<EGLenum> boundApis;
    std::vector<FakeEgl::PbufferCall> pbufferCalls;
    std::vector<EGLint> attributeQueries;
    std::vector<EGLSurface> swapped;
    std::vector<EGLContext> destroyedContexts;
    std::vector<EGLSurface> destroyedSurfaces;
    std::vector<std::string> procQueries;
    std::set<EGLContext> liveContexts;
    std::set<EGLSurface> liveSurfaces;
    std::uintptr_t nextHandle = 0x1000;
};

// Guards every field of the fake's state; it is the only lock of the fake and
// is never held while calling out.
std::mutex stateMutex;
State &state()
{
    static State s;
    return s;
}

// EGL keeps these per thread.
struct ThreadState {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface draw = EGL_NO_SURFACE;
    EGLSurface read = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    EGLenum api = EGL_OPENGL_ES_API;
    EGLint error = EGL_SUCCESS;
};
thread_local ThreadState threadState;

void record(State &s, const char *name)
{
    s.calls.emplace_back(name);
}

// Copies an attribute list up to its EGL_NONE, pair by pair, so that a list
// whose last name has no value is still read only up to that name.
std::vector<EGLint> copyList(const EGLint *list)
{
    std::vector<EGLint> out;
    if (!list)
        return out;
    for (const EGLint *p = list; *p != EGL_NONE; p += 2) {
        out.push_back(p[0]);
        if (p[1] == EGL_NONE)
            break;
        out.push_back(p[1]);
    }
    return out;
}

bool isSizeAttribute(EGLint name)
{
    switch (name) {
    case EGL_BUFFER_SIZE:
    case EGL_RED_SIZE:
    case EGL_GREEN_SIZE:
    case EGL_BLUE_SIZE:
    case EGL_ALPHA_SIZE:
    case EGL_DEPTH_SIZE:
    case EGL_STENCIL_SIZE:
    case EGL_SAMPLES:
    case EGL_SAMPLE_BUFFERS:
        return true;
    default:
        return false;
    }
}

bool isMaskAttribute(EGLint name)
{
    return name == EGL_SURFACE_TYPE || name == EGL_RENDERABLE_TYPE || name == EGL_CONFORMANT;
}

EGLint attributeOf(const FakeEgl::ConfigAttributes &config, EGLint name)
{
    const auto it = config.find(name);
    return it == config.end() ? 0 : it->second;
}

// Sizes match at least, masks need every requested bit, EGL_SWAP_BEHAVIOR is
// a surface attribute and does not restrict configs, the rest match exactly.
bool matches(const FakeEgl::ConfigAttributes &config, const std::vector<EGLint> &list)
{
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
        const EGLint name = list[i];
        const EGLint wanted = list[i + 1];
        if (wanted == EGL_DONT_CARE || name == EGL_SWAP_BEHAVIOR)
            continue;
        const EGLint have = attributeOf(config, name);
        if (isSizeAttribute(name)) {
            if (have < wanted)
                return false;
        } else if (isMaskAttribute(name)) {
            if ((have & wanted) != wanted)
                return false;
        } else if (have != wanted) {
            return false;
        }
    }
    return true;
}

int indexOfConfig(const State &s, EGLConfig config)
{
    const auto raw = reinterpret_cast<std::uintptr_t>(config);
    if (raw == 0 || raw > s.configs.size())
        return -1;
    return int(raw - 1);
}

template <typename Handle> Handle newHandle(State &s)
{
    s.nextHandle += 0x10;
    return reinterpret_cast<Handle>(s.nextHandle);
}

EGLBoolean fail(EGLint error)
{
    threadState.error = error;
    return EGL_FALSE;
}

bool knownDisplay(EGLDisplay dpy)
{
    return dpy == static_cast<EGLDisplay>(&theDisplay);
}

} // namespace

namespace FakeEgl
{

void reset()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    state() = State();
    threadState = ThreadState();
}

EGLDisplay display()
{
    return static_cast<EGLDisplay>(&theDisplay);
}

void setConfigs(const std::vector<ConfigAttributes> &configs)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    state().configs = configs;
}

EGLConfig config(int index)
{
    return reinterpret_cast<EGLConfig>(std::uintptr_t(index + 1));
}

int configIndex(EGLConfig config)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return indexOfConfig(state(), config);
}

#define FAKE_SETTER(function, field, Type)                                                         \
    void function(Type value)                                                                      \
    {                                                                                              \
        std::lock_guard<std::mutex> lock(stateMutex);                                              \
        state().field = value;                                                                     \
    }
FAKE_SETTER(setExtensions, extensions, const std::string &)
FAKE_SETTER(setRenderer, renderer, const std::string &)
FAKE_SETTER(setChooseConfigFails, chooseConfigFails, bool)
FAKE_SETTER(setRefuseSharedContexts, refuseShared, bool)
FAKE_SETTER(setRefuseAllContexts, refuseAll, bool)
FAKE_SETTER(setMakeCurrentError, makeCurrentError, EGLint)
FAKE_SETTER(setSwapBuffersError, swapError, EGLint)
FAKE_SETTER(setPbufferError, pbufferError, EGLint)
FAKE_SETTER(setRejectedAttribute, rejectedAttribute, EGLint)
#undef FAKE_SETTER

#define FAKE_GETTER(function, field, Type)                                                         \
    Type function()                                                                                \
    {                                                                                              \
        std::lock_guard<std::mutex> lock(stateMutex);                                              \
        return state().field;                                                                      \
    }
FAKE_GETTER(calls, calls, std::vector<std::string>)
FAKE_GETTER(chooseConfigLists, chooseLists, std::vector<std::vector<EGLint>>)
FAKE_GETTER(createContextCalls, contextCalls, std::vector<CreateContextCall>)
FAKE_GETTER(makeCurrentCalls, makeCurrentCalls, std::vector<MakeCurrentCall>)
FAKE_GETTER(boundApis, boundApis, std::vector<EGLenum>)
FAKE_GETTER(pbufferCalls, pbufferCalls, std::vector<PbufferCall>)
FAKE_GETTER(configAttributeQueries, attributeQueries, std::vector<EGLint>)
FAKE_GETTER(swappedSurfaces, swapped, std::vector<EGLSurface>)
FAKE_GETTER(destroyedContexts, destroyedContexts, std::vector<EGLContext>)
FAKE_GETTER(destroyedSurfaces, destroyedSurfaces, std::vector<EGLSurface>)
FAKE_GETTER(procAddressQueries, procQueries, std::vector<std::string>)
#undef FAKE_GETTER

int callCount(const std::string &name)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    const auto &c = state().calls;
    return int(std::count(c.begin(), c.end(), name));
}

int liveContextCount()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return int(state().liveContexts.size());
}

int liveSurfaceCount()
{
    std::lock_guard<std::mutex> lock(stateMutex);
    return int(state().liveSurfaces.size());
}

EGLint peekError()
{
    return threadState.error;
}

} // namespace FakeEgl

extern "C" {

EGLDisplay EGLAPIENTRY eglGetDisplay(EGLNativeDisplayType)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    record(state(), "eglGetDisplay");
    return FakeEgl::display();
}

EGLBoolean EGLAPIENTRY eglInitialize(EGLDisplay dpy, EGLint *major, EGLint *minor)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    record(state(), "eglInitialize");
    if (!knownDisplay(dpy))
        return fail(EGL_BAD_DISPLAY);
    if (major)
        *major = 1;
    if (minor)
        *minor = 4;
    return EGL_TRUE;
}

EGLBoolean EGLAPIENTRY eglTerminate(EGLDisplay dpy)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    record(state(), "eglTerminate");
    return knownDisplay(dpy) ? EGL_TRUE : fail(EGL_BAD_DISPLAY);
}

EGLint EGLAPIENTRY eglGetError(void)
{
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        record(state(), "eglGetError");
    }
    const EGLint error = threadState.error;
    threadState.error = EGL_SUCCESS;
    return error;
}

const char *EGLAPIENTRY eglQueryString(EGLDisplay dpy, EGLint name)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglQueryString");
    if (!knownDisplay(dpy)) {
        fail(EGL_BAD_DISPLAY);
        return nullptr;
    }
    switch (name) {
    case EGL_EXTENSIONS:
        return s.extensions.c_str();
    case EGL_VENDOR:
        return "Fake";
    case EGL_VERSION:
        return "1.4 Fake";
    case EGL_CLIENT_APIS:
        return "OpenGL_ES";
    default:
        fail(EGL_BAD_PARAMETER);
        return nullptr;
    }
}

EGLBoolean EGLAPIENTRY eglGetConfigs(EGLDisplay dpy, EGLConfig *configs, EGLint size, EGLint *count)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglGetConfigs");
    if (!knownDisplay(dpy))
        return fail(EGL_BAD_DISPLAY);
    if (!count)
        return fail(EGL_BAD_PARAMETER);
    const int total = int(s.configs.size());
    const int n = configs ? std::min(size, total) : total;
    for (int i = 0; configs && i < n; ++i)
        configs[i] = FakeEgl::config(i);
    *count = n;
    return EGL_TRUE;
}

EGLBoolean EGLAPIENTRY eglChooseConfig(EGLDisplay dpy, const EGLint *attribList, EGLConfig *configs,
                                       EGLint size, EGLint *count)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglChooseConfig");
    const std::vector<EGLint> list = copyList(attribList);
    if (!configs)
        s.chooseLists.push_back(list);
    if (!knownDisplay(dpy))
        return fail(EGL_BAD_DISPLAY);
    if (!count)
        return fail(EGL_BAD_PARAMETER);
    if (s.chooseConfigFails)
        return fail(EGL_BAD_ATTRIBUTE);
    int n = 0;
    for (size_t i = 0; i < s.configs.size(); ++i) {
        if (!matches(s.configs[i], list))
            continue;
        if (configs) {
            if (n >= size)
                break;
            configs[n] = FakeEgl::config(int(i));
        }
        ++n;
    }
    *count = n;
    return EGL_TRUE;
}

EGLBoolean EGLAPIENTRY eglGetConfigAttrib(EGLDisplay dpy, EGLConfig config, EGLint attribute,
                                          EGLint *value)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglGetConfigAttrib");
    s.attributeQueries.push_back(attribute);
    if (!knownDisplay(dpy))
        return fail(EGL_BAD_DISPLAY);
    const int index = indexOfConfig(s, config);
    if (index < 0)
        return fail(EGL_BAD_CONFIG);
    if (attribute == s.rejectedAttribute)
        return fail(EGL_BAD_ATTRIBUTE);
    *value = attributeOf(s.configs[size_t(index)], attribute);
    return EGL_TRUE;
}

EGLBoolean EGLAPIENTRY eglBindAPI(EGLenum api)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglBindAPI");
    s.boundApis.push_back(api);
    if (api != EGL_OPENGL_ES_API && api != EGL_OPENGL_API && api != EGL_OPENVG_API)
        return fail(EGL_BAD_PARAMETER);
    threadState.api = api;
    return EGL_TRUE;
}

EGLenum EGLAPIENTRY eglQueryAPI(void)
{
    return threadState.api;
}

EGLContext EGLAPIENTRY eglCreateContext(EGLDisplay dpy, EGLConfig config, EGLContext share,
                                        const EGLint *attribList)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglCreateContext");
    FakeEgl::CreateContextCall call;
    call.config = config;
    call.share = share;
    call.attributes = copyList(attribList);
    call.boundApi = threadState.api;
    EGLContext result = EGL_NO_CONTEXT;
    if (!knownDisplay(dpy))
        fail(EGL_BAD_DISPLAY);
    else if (indexOfConfig(s, config) < 0)
        fail(EGL_BAD_CONFIG);
    else if (share != EGL_NO_CONTEXT && !s.liveContexts.count(share))
        fail(EGL_BAD_CONTEXT);
    else if (s.refuseAll || (share != EGL_NO_CONTEXT && s.refuseShared))
        fail(EGL_BAD_MATCH);
    else
        result = newHandle<EGLContext>(s);
    if (result != EGL_NO_CONTEXT)
        s.liveContexts.insert(result);
    call.result = result;
    s.contextCalls.push_back(call);
    return result;
}

EGLBoolean EGLAPIENTRY eglDestroyContext(EGLDisplay dpy, EGLContext ctx)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglDestroyContext");
    s.destroyedContexts.push_back(ctx);
    if (!knownDisplay(dpy))
        return fail(EGL_BAD_DISPLAY);
    if (!s.liveContexts.erase(ctx))
        return fail(EGL_BAD_CONTEXT);
    return EGL_TRUE;
}

EGLSurface EGLAPIENTRY eglCreatePbufferSurface(EGLDisplay dpy, EGLConfig config,
                                               const EGLint *attribList)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglCreatePbufferSurface");
    FakeEgl::PbufferCall call;
    call.config = config;
    call.attributes = copyList(attribList);
    EGLSurface result = EGL_NO_SURFACE;
    if (!knownDisplay(dpy))
        fail(EGL_BAD_DISPLAY);
    else if (indexOfConfig(s, config) < 0)
        fail(EGL_BAD_CONFIG);
    else if (s.pbufferError != EGL_SUCCESS)
        fail(s.pbufferError);
    else
        result = newHandle<EGLSurface>(s);
    if (result != EGL_NO_SURFACE)
        s.liveSurfaces.insert(result);
    call.result = result;
    s.pbufferCalls.push_back(call);
    return result;
}

// Window surfaces take any native window: the double has no window system.
EGLSurface EGLAPIENTRY eglCreateWindowSurface(EGLDisplay dpy, EGLConfig config, EGLNativeWindowType,
                                              const EGLint *)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglCreateWindowSurface");
    EGLSurface result = EGL_NO_SURFACE;
    if (!knownDisplay(dpy))
        fail(EGL_BAD_DISPLAY);
    else if (indexOfConfig(s, config) < 0)
        fail(EGL_BAD_CONFIG);
    else
        result = newHandle<EGLSurface>(s);
    if (result != EGL_NO_SURFACE)
        s.liveSurfaces.insert(result);
    return result;
}

EGLBoolean EGLAPIENTRY eglDestroySurface(EGLDisplay dpy, EGLSurface surface)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglDestroySurface");
    s.destroyedSurfaces.push_back(surface);
    if (!knownDisplay(dpy))
        return fail(EGL_BAD_DISPLAY);
    if (!s.liveSurfaces.erase(surface))
        return fail(EGL_BAD_SURFACE);
    return EGL_TRUE;
}

EGLBoolean EGLAPIENTRY eglMakeCurrent(EGLDisplay dpy, EGLSurface draw, EGLSurface read,
                                      EGLContext ctx)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglMakeCurrent");
    FakeEgl::MakeCurrentCall call{dpy, draw, read, ctx, false};
    EGLint error = EGL_SUCCESS;
    if (!knownDisplay(dpy))
        error = EGL_BAD_DISPLAY;
    else if (ctx != EGL_NO_CONTEXT && !s.liveContexts.count(ctx))
        error = EGL_BAD_CONTEXT;
    else if ((ctx == EGL_NO_CONTEXT) != (draw == EGL_NO_SURFACE && read == EGL_NO_SURFACE))
        error = EGL_BAD_MATCH;
    else if (ctx != EGL_NO_CONTEXT)
        error = s.makeCurrentError;
    call.succeeded = error == EGL_SUCCESS;
    s.makeCurrentCalls.push_back(call);
    if (!call.succeeded)
        return fail(error);
    const bool release = ctx == EGL_NO_CONTEXT;
    threadState.display = release ? EGL_NO_DISPLAY : dpy;
    threadState.draw = draw;
    threadState.read = read;
    threadState.context = ctx;
    return EGL_TRUE;
}

EGLContext EGLAPIENTRY eglGetCurrentContext(void)
{
    return threadState.context;
}
EGLDisplay EGLAPIENTRY eglGetCurrentDisplay(void)
{
    return threadState.display;
}

EGLSurface EGLAPIENTRY eglGetCurrentSurface(EGLint readdraw)
{
    if (readdraw == EGL_READ)
        return threadState.read;
    if (readdraw == EGL_DRAW)
        return threadState.draw;
    threadState.error = EGL_BAD_PARAMETER;
    return EGL_NO_SURFACE;
}

EGLBoolean EGLAPIENTRY eglSwapBuffers(EGLDisplay dpy, EGLSurface surface)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglSwapBuffers");
    s.swapped.push_back(surface);
    if (!knownDisplay(dpy))
        return fail(EGL_BAD_DISPLAY);
    if (!s.liveSurfaces.count(surface))
        return fail(EGL_BAD_SURFACE);
    if (s.swapError != EGL_SUCCESS)
        return fail(s.swapError);
    return EGL_TRUE;
}

EGLBoolean EGLAPIENTRY eglSwapInterval(EGLDisplay dpy, EGLint)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    record(state(), "eglSwapInterval");
    return knownDisplay(dpy) ? EGL_TRUE : fail(EGL_BAD_DISPLAY);
}

const GLubyte *GL_APIENTRY glGetString(GLenum name);
GLenum GL_APIENTRY glGetError(void);

__eglMustCastToProperFunctionPointerType EGLAPIENTRY eglGetProcAddress(const char *name)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "eglGetProcAddress");
    const std::string n = name ? name : "";
    s.procQueries.push_back(n);
    if (n == "glGetString")
        return reinterpret_cast<__eglMustCastToProperFunctionPointerType>(&glGetString);
    if (n == "glGetError")
        return reinterpret_cast<__eglMustCastToProperFunctionPointerType>(&glGetError);
    if (n == "eglSwapInterval")
        return reinterpret_cast<__eglMustCastToProperFunctionPointerType>(&eglSwapInterval);
    return nullptr;
}

// The GL entry points that context code calls without a real driver behind
// it: the renderer string is scripted, errors never arise.
const GLubyte *GL_APIENTRY glGetString(GLenum name)
{
    std::lock_guard<std::mutex> lock(stateMutex);
    State &s = state();
    record(s, "glGetString");
    if (threadState.context == EGL_NO_CONTEXT)
        return nullptr;
    switch (name) {
    case GL_RENDERER:
        return reinterpret_cast<const GLubyte *>(s.renderer.c_str());
    case GL_VENDOR:
        return reinterpret_cast<const GLubyte *>("Fake");
    case GL_VERSION:
        return reinterpret_cast<const GLubyte *>("OpenGL ES 2.0 Fake");
    case GL_EXTENSIONS:
        return reinterpret_cast<const GLubyte *>("");
    default:
        return nullptr;
    }
}

GLenum GL_APIENTRY glGetError(void)
{
    return GL_NO_ERROR;
}

} // extern "C"
