#include "velplatformopenglcontext.h"

VelPlatformOpenGLContext::VelPlatformOpenGLContext() = default;

VelPlatformOpenGLContext::~VelPlatformOpenGLContext() = default;

GLuint VelPlatformOpenGLContext::defaultFramebufferObject(VelPlatformSurface *) const
{
    return 0;
}
