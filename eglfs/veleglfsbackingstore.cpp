#include "veleglfsbackingstore.h"

#include "veleglfscompositor.h"
#include "veleglfsscreen.h"
#include "veleglfswindow.h"

#include "velopenglcontext.h"
#include "velwindow.h"

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

VelEglFSWindow *VelEglFSBackingStore::rootWindow() const
{
    VelEglFSWindow *root = m_window->screen()->rootWindow();
    if (!root || !root->hasFlag(VelEglFSWindow::FlagRaster))
        return nullptr;
    return root;
}

void VelEglFSBackingStore::makeRootContextCurrent(VelEglFSWindow *root) const
{
    root->screen()->rootContext()->makeCurrent(root->window());
}

void VelEglFSBackingStore::flush(VelWindow *, const VelRegion &, const VelPoint &)
{
    VelEglFSWindow *root = rootWindow();
    if (!root)
        return;
    m_window->create();
    makeRootContextCurrent(root);
    updateTexture();
    VelEglFSCompositor::instance()->schedule(root->screen());
}

void VelEglFSBackingStore::resize(const VelSize &size, const VelRegion &)
{
    VelEglFSWindow *root = rootWindow();
    if (!root)
        return;
    m_image = VelImage(size, VelImage::Format_RGB32);
    m_window->create();
    makeRootContextCurrent(root);

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
    for (const VelRect &dirtyRect : dirty.intersected(imageRect)) {
        VelRect r = dirtyRect.intersected(imageRect);
        // Rows at least half as wide as the image go up straight from the image
        // memory: cheaper than copying them out first.
        if (r.width() >= imageRect.width() / 2) {
            r.setX(0);
            r.setWidth(imageRect.width());
        }
        fixed += r;
    }
    return fixed;
}

void VelEglFSBackingStore::updateTexture()
{
    glBindTexture(GL_TEXTURE_2D, m_texture);
    if (m_dirty.isEmpty())
        return;

    const VelRect imageRect = m_image.rect();
    const VelRegion fixed = uploadRegion(m_dirty, imageRect);
    for (const VelRect &r : fixed) {
        if (r.width() == imageRect.width()) {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, r.y(), r.width(), r.height(), GL_RGBA,
                            GL_UNSIGNED_BYTE, m_image.constScanLine(r.y()));
        } else {
            const VelImage part = m_image.copy(r);
            glTexSubImage2D(GL_TEXTURE_2D, 0, r.x(), r.y(), r.width(), r.height(), GL_RGBA,
                            GL_UNSIGNED_BYTE, part.constBits());
        }
    }
    m_dirty = VelRegion();
}
