#include "veleglfsbackingstore.h"

#include "veleglfscompositor.h"
#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "velopenglcontext.h"
#include "velwindow.h"

#include <GLES2/gl2ext.h>

#include <cstring>

namespace
{

// Whether the current context lists the extension, matched as a whole name:
// a name may be the prefix of another.
bool hasGlExtension(const char *name)
{
    const auto *list = reinterpret_cast<const char *>(glGetString(GL_EXTENSIONS));
    if (!list)
        return false;
    const size_t length = std::strlen(name);
    for (const char *at = std::strstr(list, name); at; at = std::strstr(at + length, name)) {
        const bool startsName = at == list || at[-1] == ' ';
        const bool endsName = at[length] == ' ' || at[length] == '\0';
        if (startsName && endsName)
            return true;
    }
    return false;
}

} // namespace

VelEglFSBackingStore::VelEglFSBackingStore(VelWindow *window)
    : VelPlatformBackingStore(window), m_window(static_cast<VelEglFSWindow *>(window->handle()))
{
    m_window->setBackingStore(this);
}

VelEglFSBackingStore::~VelEglFSBackingStore()
{
    // The compositor reads the link of every window in the stack; it must not
    // lead here once this store is gone.
    auto *platformWindow = static_cast<VelEglFSWindow *>(window()->handle());
    if (platformWindow && platformWindow->backingStore() == this)
        platformWindow->setBackingStore(nullptr);
}

VelPaintDevice *VelEglFSBackingStore::paintDevice()
{
    return &m_image;
}

void VelEglFSBackingStore::beginPaint(const VelRegion &region)
{
    m_dirty += region;
}

VelEglFSWindow *VelEglFSBackingStore::rasterRootWindow(VelEglFSScreen *screen)
{
    VelEglFSWindow *root = screen ? screen->rootWindow() : nullptr;
    if (!root || !root->hasFlag(VelEglFSWindow::FlagRaster))
        return nullptr;
    return root;
}

void VelEglFSBackingStore::flush(VelWindow *, const VelRegion &, const VelPoint &)
{
    // Looked up once: each lookup takes the host's window lock, and a small
    // flush is over in about as long as a few of them.
    VelEglFSScreen *screen = m_window->screen();
    VelEglFSWindow *root = rasterRootWindow(screen);
    if (!root)
        return;
    m_window->create();
    screen->rootContext()->makeCurrent(root->window());
    updateTexture();
    VelEglFSCompositor::instance()->schedule(screen);
}

void VelEglFSBackingStore::resize(const VelSize &size, const VelRegion &)
{
    VelEglFSScreen *screen = m_window->screen();
    VelEglFSWindow *root = rasterRootWindow(screen);
    if (!root)
        return;
    m_image = VelImage(size, VelImage::Format_RGB32);
    m_window->create();
    screen->rootContext()->makeCurrent(root->window());
    m_unpackRowLength = hasGlExtension("GL_EXT_unpack_subimage");

    if (m_texture)
        glDeleteTextures(1, &m_texture);
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size.width(), size.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
}

VelRegion VelEglFSBackingStore::uploadRegion(const VelRegion &dirty, const VelRect &imageRect)
{
    VelRegion fixed;
    for (const VelRect &dirtyRect : dirty.intersected(imageRect))
        fixed += uploadRect(dirtyRect, imageRect);
    return fixed;
}

VelRect VelEglFSBackingStore::uploadRect(const VelRect &dirtyRect, const VelRect &imageRect)
{
    VelRect r = dirtyRect.intersected(imageRect);
    // Rows at least half as wide as the image go up straight from the image
    // memory: cheaper than copying them out first.
    if (r.width() >= imageRect.width() / 2) {
        r.setX(0);
        r.setWidth(imageRect.width());
    }
    return r;
}

void VelEglFSBackingStore::updateTexture()
{
    glBindTexture(GL_TEXTURE_2D, m_texture);
    if (m_dirty.isEmpty())
        return;

    const VelRect imageRect = m_image.rect();
    // One dirty rectangle is the common case of a repaint; it needs none of
    // the region arithmetic.
    if (m_dirty.rectCount() == 1) {
        const VelRect r = uploadRect(*m_dirty.begin(), imageRect);
        if (!r.isEmpty())
            upload(r);
    } else {
        for (const VelRect &r : uploadRegion(m_dirty, imageRect))
            upload(r);
    }
    m_dirty = VelRegion();
}

void VelEglFSBackingStore::upload(const VelRect &r)
{
    if (r.width() == m_image.width()) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, r.y(), r.width(), r.height(), GL_RGBA,
                        GL_UNSIGNED_BYTE, m_image.constScanLine(r.y()));
        return;
    }
    if (m_unpackRowLength) {
        const int imageRowPixels = int(m_image.bytesPerLine() / 4);
        // Straight from the image rows, as GL reads them anyway: copying the
        // rectangle out first would cost as much as the upload itself.
        glPixelStorei(GL_UNPACK_ROW_LENGTH_EXT, imageRowPixels);
        glTexSubImage2D(GL_TEXTURE_2D, 0, r.x(), r.y(), r.width(), r.height(), GL_RGBA,
                        GL_UNSIGNED_BYTE, m_image.constScanLine(r.y()) + size_t(r.x()) * 4);
        // Others uploading through this context expect the default.
        glPixelStorei(GL_UNPACK_ROW_LENGTH_EXT, 0);
        return;
    }
    // Plain OpenGL ES 2 cannot upload from a row length other than the width:
    // the rectangle is packed into a buffer kept for the next flush.
    const size_t rowBytes = size_t(r.width()) * 4;
    m_packed.resize(rowBytes * size_t(r.height()));
    uint8_t *out = m_packed.data();
    for (int y = r.top(); y <= r.bottom(); ++y, out += rowBytes)
        std::memcpy(out, m_image.constScanLine(y) + size_t(r.x()) * 4, rowBytes);
    glTexSubImage2D(GL_TEXTURE_2D, 0, r.x(), r.y(), r.width(), r.height(), GL_RGBA,
                    GL_UNSIGNED_BYTE, m_packed.data());
}
