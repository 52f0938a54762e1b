#ifndef VELEGLCONVENIENCE_H
#define VELEGLCONVENIENCE_H

#include "velbytearray.h"
#include "velsurfaceformat.h"
#include "velvector.h"

#include <EGL/egl.h>

// Builds the EGL attribute list for a format: eight (name, value) pairs for the
// colour, depth and stencil sizes and the multisampling, without a terminator.
VelVector<EGLint> vel_createConfigAttributesFromFormat(const VelSurfaceFormat &format);

// Relaxes the list by one step; false when nothing is left to relax. Only the
// part before a terminating EGL_NONE is ever read or changed, and a name that
// ends the list counts as having no value.
bool vel_reduceConfigAttributes(VelVector<EGLint> *configAttributes);

EGLConfig vel_configFromGLFormat(EGLDisplay display, const VelSurfaceFormat &format,
                                 bool ignoreColorSizes = false, int surfaceType = EGL_WINDOW_BIT);
VelSurfaceFormat
vel_glFormatFromConfig(EGLDisplay display, const EGLConfig config,
                       const VelSurfaceFormat &referenceFormat = VelSurfaceFormat());
bool vel_hasEglExtension(EGLDisplay display, const char *extensionName);
void vel_printEglConfig(EGLDisplay display, EGLConfig config);

// Picks a frame-buffer config for a format, relaxing the request step by step
// until EGL offers something; subclasses narrow the candidates in filterConfig.
class VelEglConfigChooser
{
public:
    explicit VelEglConfigChooser(EGLDisplay display);
    virtual ~VelEglConfigChooser();

    EGLDisplay display() const { return m_display; }

    void setSurfaceType(EGLint surfaceType) { m_surfaceType = surfaceType; }
    EGLint surfaceType() const { return m_surfaceType; }

    void setSurfaceFormat(const VelSurfaceFormat &format) { m_format = format; }
    VelSurfaceFormat surfaceFormat() const { return m_format; }

    void setIgnoreColorSizes(bool ignore) { m_ignore = ignore; }
    bool ignoreColorSizes() const { return m_ignore; }

    EGLConfig chooseConfig();

    virtual bool filterConfig(EGLConfig config) const;

protected:
    VelSurfaceFormat m_format;
    EGLDisplay m_display;
    EGLint m_surfaceType = EGL_WINDOW_BIT;
    bool m_ignore = false;
    // The exact colour sizes filterConfig demands, read from the list of the
    // current attempt; 0 accepts any size.
    EGLint m_confAttrRed = 0;
    EGLint m_confAttrGreen = 0;
    EGLint m_confAttrBlue = 0;
    EGLint m_confAttrAlpha = 0;

private:
    VEL_DISABLE_COPY(VelEglConfigChooser)
};

#endif
