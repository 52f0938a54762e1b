#include "veleglconvenience.h"

#include "vellogging.h"

#include <vector>

namespace
{

// The attribute pairs end at the first EGL_NONE in a name position, as EGL
// reads them; a list may also lack the terminator. A terminator that ends the
// list right after a name is not that name's value: the reduction must never
// overwrite it.
int attributeEnd(const VelVector<EGLint> &list)
{
    const int size = list.size();
    int i = 0;
    while (i < size && list.at(i) != EGL_NONE)
        i += 2;
    if (i < size)
        return i;
    return (size > 0 && list.at(size - 1) == EGL_NONE) ? size - 1 : size;
}

// Names sit at even positions, so a value that happens to equal a name is
// never taken for it.
int indexOfAttribute(const VelVector<EGLint> &list, EGLint name)
{
    const int end = attributeEnd(list);
    for (int i = 0; i < end; i += 2) {
        if (list.at(i) == name)
            return i;
    }
    return -1;
}

bool hasValueAt(const VelVector<EGLint> &list, int nameIndex)
{
    return nameIndex >= 0 && nameIndex + 1 < attributeEnd(list);
}

// The value after a name; a name that ends the attributes has none and reads
// as 0.
EGLint valueAt(const VelVector<EGLint> &list, int nameIndex)
{
    return hasValueAt(list, nameIndex) ? list.at(nameIndex + 1) : 0;
}

EGLint valueOf(const VelVector<EGLint> &list, EGLint name)
{
    return valueAt(list, indexOfAttribute(list, name));
}

void removeAttributeAt(VelVector<EGLint> *list, int nameIndex)
{
    list->remove(nameIndex, hasValueAt(*list, nameIndex) ? 2 : 1);
}

// Overwrites the value after a name, giving the name a value slot inside the
// attribute pairs when it had none.
void setValueAt(VelVector<EGLint> *list, int nameIndex, EGLint value)
{
    if (hasValueAt(*list, nameIndex))
        (*list)[nameIndex + 1] = value;
    else
        list->insert(nameIndex + 1, value);
}

bool removeAttribute(VelVector<EGLint> *list, EGLint name)
{
    const int i = indexOfAttribute(*list, name);
    if (i < 0)
        return false;
    removeAttributeAt(list, i);
    return true;
}

// A size above 1 drops to 1, anything else is dropped altogether.
bool relaxSize(VelVector<EGLint> *list, EGLint name)
{
    const int i = indexOfAttribute(*list, name);
    if (i < 0)
        return false;
    if (valueAt(*list, i) > 1)
        setValueAt(list, i, 1);
    else
        removeAttributeAt(list, i);
    return true;
}

EGLint renderableTypeBit(const VelSurfaceFormat &format)
{
    if (format.renderableType() == VelSurfaceFormat::OpenVG)
        return EGL_OPENVG_BIT;
    if (format.renderableType() == VelSurfaceFormat::OpenGL)
        return EGL_OPENGL_BIT;
    if (format.majorVersion() == 1)
        return EGL_OPENGL_ES_BIT;
    return EGL_OPENGL_ES2_BIT;
}

// A query that fails leaves the value at 0.
EGLint configAttribute(EGLDisplay display, EGLConfig config, EGLint attribute)
{
    EGLint value = 0;
    eglGetConfigAttrib(display, config, attribute, &value);
    return value;
}

struct AttributeName {
    EGLint attribute;
    const char *name;
};

const AttributeName printedAttributes[] = {
    {EGL_BUFFER_SIZE, "EGL_BUFFER_SIZE"},
    {EGL_ALPHA_SIZE, "EGL_ALPHA_SIZE"},
    {EGL_BLUE_SIZE, "EGL_BLUE_SIZE"},
    {EGL_GREEN_SIZE, "EGL_GREEN_SIZE"},
    {EGL_RED_SIZE, "EGL_RED_SIZE"},
    {EGL_DEPTH_SIZE, "EGL_DEPTH_SIZE"},
    {EGL_STENCIL_SIZE, "EGL_STENCIL_SIZE"},
    {EGL_CONFIG_CAVEAT, "EGL_CONFIG_CAVEAT"},
    {EGL_CONFIG_ID, "EGL_CONFIG_ID"},
    {EGL_LEVEL, "EGL_LEVEL"},
    {EGL_MAX_PBUFFER_HEIGHT, "EGL_MAX_PBUFFER_HEIGHT"},
    {EGL_MAX_PBUFFER_PIXELS, "EGL_MAX_PBUFFER_PIXELS"},
    {EGL_MAX_PBUFFER_WIDTH, "EGL_MAX_PBUFFER_WIDTH"},
    {EGL_NATIVE_RENDERABLE, "EGL_NATIVE_RENDERABLE"},
    {EGL_NATIVE_VISUAL_ID, "EGL_NATIVE_VISUAL_ID"},
    {EGL_NATIVE_VISUAL_TYPE, "EGL_NATIVE_VISUAL_TYPE"},
    {EGL_SAMPLES, "EGL_SAMPLES"},
    {EGL_SAMPLE_BUFFERS, "EGL_SAMPLE_BUFFERS"},
    {EGL_SURFACE_TYPE, "EGL_SURFACE_TYPE"},
    {EGL_TRANSPARENT_TYPE, "EGL_TRANSPARENT_TYPE"},
    {EGL_TRANSPARENT_BLUE_VALUE, "EGL_TRANSPARENT_BLUE_VALUE"},
    {EGL_TRANSPARENT_GREEN_VALUE, "EGL_TRANSPARENT_GREEN_VALUE"},
    {EGL_TRANSPARENT_RED_VALUE, "EGL_TRANSPARENT_RED_VALUE"},
    {EGL_BIND_TO_TEXTURE_RGB, "EGL_BIND_TO_TEXTURE_RGB"},
    {EGL_BIND_TO_TEXTURE_RGBA, "EGL_BIND_TO_TEXTURE_RGBA"},
    {EGL_MIN_SWAP_INTERVAL, "EGL_MIN_SWAP_INTERVAL"},
    {EGL_MAX_SWAP_INTERVAL, "EGL_MAX_SWAP_INTERVAL"},
    {-1, nullptr},
};

} // namespace

VelVector<EGLint> vel_createConfigAttributesFromFormat(const VelSurfaceFormat &format)
{
    // The format's "unset" (-1) is sent as 0, EGL's "no requirement".
    const auto size = [](int value) { return EGLint(value < 0 ? 0 : value); };
    VelVector<EGLint> list;
    list.append(EGL_RED_SIZE);
    list.append(size(format.redBufferSize()));
    list.append(EGL_GREEN_SIZE);
    list.append(size(format.greenBufferSize()));
    list.append(EGL_BLUE_SIZE);
    list.append(size(format.blueBufferSize()));
    list.append(EGL_ALPHA_SIZE);
    list.append(size(format.alphaBufferSize()));
    list.append(EGL_DEPTH_SIZE);
    list.append(size(format.depthBufferSize()));
    list.append(EGL_STENCIL_SIZE);
    list.append(size(format.stencilBufferSize()));
    list.append(EGL_SAMPLES);
    list.append(size(format.samples()));
    list.append(EGL_SAMPLE_BUFFERS);
    list.append(format.samples() > 0 ? 1 : 0);
    return list;
}

bool vel_reduceConfigAttributes(VelVector<EGLint> *configAttributes)
{
    VelVector<EGLint> &list = *configAttributes;

    // Swap behaviour is a surface attribute some implementations reject in a
    // config request; dropping it is not a relaxation of its own.
    removeAttribute(&list, EGL_SWAP_BEHAVIOR);

    int i = indexOfAttribute(list, EGL_SURFACE_TYPE);
    if (i >= 0 && (valueAt(list, i) & EGL_VG_ALPHA_FORMAT_PRE_BIT)) {
        setValueAt(&list, i, valueAt(list, i) & ~EGL_VG_ALPHA_FORMAT_PRE_BIT);
        return true;
    }

    i = indexOfAttribute(list, EGL_BUFFER_SIZE);
    if (i >= 0 && valueAt(list, i) == 16) {
        removeAttributeAt(&list, i);
        return true;
    }

    i = indexOfAttribute(list, EGL_SAMPLES);
    if (i >= 0) {
        const EGLint samples = valueAt(list, i);
        if (samples > 1)
            setValueAt(&list, i, samples / 2 < 16 ? samples / 2 : 16);
        else
            removeAttributeAt(&list, i);
        return true;
    }

    if (removeAttribute(&list, EGL_SAMPLE_BUFFERS))
        return true;

    if (removeAttribute(&list, EGL_ALPHA_SIZE)) {
        // Without alpha a texture binding can only be RGB.
        i = indexOfAttribute(list, EGL_BIND_TO_TEXTURE_RGBA);
        if (i >= 0) {
            list[i] = EGL_BIND_TO_TEXTURE_RGB;
            setValueAt(&list, i, 1);
        }
        return true;
    }

    if (relaxSize(&list, EGL_STENCIL_SIZE))
        return true;
    if (relaxSize(&list, EGL_DEPTH_SIZE))
        return true;
    if (removeAttribute(&list, EGL_BIND_TO_TEXTURE_RGB))
        return true;
    return false;
}

VelEglConfigChooser::VelEglConfigChooser(EGLDisplay display) : m_display(display) {}

VelEglConfigChooser::~VelEglConfigChooser() = default;

EGLConfig VelEglConfigChooser::chooseConfig()
{
    VelVector<EGLint> list = vel_createConfigAttributesFromFormat(m_format);
    list.append(EGL_SURFACE_TYPE);
    list.append(m_surfaceType);
    list.append(EGL_RENDERABLE_TYPE);
    list.append(renderableTypeBit(m_format));
    list.append(EGL_NONE);

    EGLConfig fallback = nullptr;
    do {
        EGLint count = 0;
        if (!eglChooseConfig(m_display, list.data(), nullptr, 0, &count) || count <= 0)
            continue;

        m_confAttrRed = valueOf(list, EGL_RED_SIZE);
        m_confAttrGreen = valueOf(list, EGL_GREEN_SIZE);
        m_confAttrBlue = valueOf(list, EGL_BLUE_SIZE);
        m_confAttrAlpha = valueOf(list, EGL_ALPHA_SIZE);

        std::vector<EGLConfig> configs(size_t(count), nullptr);
        EGLint fetched = 0;
        if (!eglChooseConfig(m_display, list.data(), configs.data(), count, &fetched))
            continue;
        // The second call may return fewer than it counted; never look past them.
        configs.resize(size_t(fetched < 0 ? 0 : (fetched < count ? fetched : count)));
        if (!fallback && !configs.empty())
            fallback = configs.front();
        for (EGLConfig config : configs) {
            if (filterConfig(config))
                return config;
        }
    } while (vel_reduceConfigAttributes(&list));

    if (!fallback)
        velWarning("Cant find EGLConfig, returning null config");
    return fallback;
}

bool VelEglConfigChooser::filterConfig(EGLConfig config) const
{
    if (m_ignore)
        return true;

    EGLint red = 0;
    EGLint green = 0;
    EGLint blue = 0;
    EGLint alpha = 0;
    if (m_confAttrRed)
        eglGetConfigAttrib(m_display, config, EGL_RED_SIZE, &red);
    if (m_confAttrGreen)
        eglGetConfigAttrib(m_display, config, EGL_GREEN_SIZE, &green);
    if (m_confAttrBlue)
        eglGetConfigAttrib(m_display, config, EGL_BLUE_SIZE, &blue);
    if (m_confAttrAlpha)
        eglGetConfigAttrib(m_display, config, EGL_ALPHA_SIZE, &alpha);

    return red == m_confAttrRed && green == m_confAttrGreen && blue == m_confAttrBlue &&
           alpha == m_confAttrAlpha;
}

EGLConfig vel_configFromGLFormat(EGLDisplay display, const VelSurfaceFormat &format,
                                 bool ignoreColorSizes, int surfaceType)
{
    VelEglConfigChooser chooser(display);
    chooser.setSurfaceFormat(format);
    chooser.setSurfaceType(surfaceType);
    chooser.setIgnoreColorSizes(ignoreColorSizes);
    return chooser.chooseConfig();
}

VelSurfaceFormat vel_glFormatFromConfig(EGLDisplay display, const EGLConfig config,
                                        const VelSurfaceFormat &referenceFormat)
{
    VelSurfaceFormat format;
    const EGLint red = configAttribute(display, config, EGL_RED_SIZE);
    const EGLint green = configAttribute(display, config, EGL_GREEN_SIZE);
    const EGLint blue = configAttribute(display, config, EGL_BLUE_SIZE);
    const EGLint alpha = configAttribute(display, config, EGL_ALPHA_SIZE);
    const EGLint depth = configAttribute(display, config, EGL_DEPTH_SIZE);
    const EGLint stencil = configAttribute(display, config, EGL_STENCIL_SIZE);
    const EGLint samples = configAttribute(display, config, EGL_SAMPLES);
    const EGLint renderableType = configAttribute(display, config, EGL_RENDERABLE_TYPE);

    if (referenceFormat.renderableType() == VelSurfaceFormat::OpenVG &&
        (renderableType & EGL_OPENVG_BIT))
        format.setRenderableType(VelSurfaceFormat::OpenVG);
    else if (referenceFormat.renderableType() == VelSurfaceFormat::OpenGL &&
             (renderableType & EGL_OPENGL_BIT))
        format.setRenderableType(VelSurfaceFormat::OpenGL);
    else
        format.setRenderableType(VelSurfaceFormat::OpenGLES);

    format.setRedBufferSize(red);
    format.setGreenBufferSize(green);
    format.setBlueBufferSize(blue);
    format.setAlphaBufferSize(alpha);
    format.setDepthBufferSize(depth);
    format.setStencilBufferSize(stencil);
    format.setSamples(samples);
    format.setStereo(false);

    // A query the implementation rejected must not leave its error pending
    // for the next caller of eglGetError.
    eglGetError();
    return format;
}

bool vel_hasEglExtension(EGLDisplay display, const char *extensionName)
{
    const char *extensions = eglQueryString(display, EGL_EXTENSIONS);
    // An empty name would match the empty piece a trailing blank leaves.
    if (!extensions || !extensionName || !*extensionName)
        return false;
    const VelByteArray wanted(extensionName);
    const VelByteArrayList pieces = VelByteArray(extensions).split(' ');
    for (const VelByteArray &piece : pieces) {
        if (piece == wanted)
            return true;
    }
    return false;
}

void vel_printEglConfig(EGLDisplay display, EGLConfig config)
{
    for (const AttributeName *entry = printedAttributes; entry->attribute != -1; ++entry) {
        EGLint value = 0;
        if (eglGetConfigAttrib(display, config, entry->attribute, &value))
            velWarning("\t%s: %d\n", entry->name, value);
    }
    velWarning("\n");
}
