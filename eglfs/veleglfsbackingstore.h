#ifndef VELEGLFSBACKINGSTORE_H
#define VELEGLFSBACKINGSTORE_H

#include "velimage.h"
#include "velplatformbackingstore.h"
#include "velregion.h"

#include <GLES2/gl2.h>

#include <cstdint>
#include <vector>

class VelEglFSScreen;
class VelEglFSWindow;

// A raster window's pixels in main memory, copied into a GL texture on each
// flush; the compositor draws that texture onto the shared surface.
class VelEglFSBackingStore : public VelPlatformBackingStore
{
public:
    explicit VelEglFSBackingStore(VelWindow *window);
    ~VelEglFSBackingStore() override;

    VelPaintDevice *paintDevice() override;
    void beginPaint(const VelRegion &region) override;
    void flush(VelWindow *window, const VelRegion &region, const VelPoint &offset) override;
    void resize(const VelSize &size, const VelRegion &staticContents) override;

    GLuint texture() const { return m_texture; }

    // The rectangles an upload of the dirty region sends: each dirty rectangle
    // clipped to the image, widened to whole rows when it covers at least half
    // the image's width.
    static VelRegion uploadRegion(const VelRegion &dirty, const VelRect &imageRect);
    static VelRect uploadRect(const VelRect &dirtyRect, const VelRect &imageRect);
    const VelImage &image() const { return m_image; }

private:
    // The screen's root window when it is a raster window, else null: only
    // then is raster content shown at all.
    static VelEglFSWindow *rasterRootWindow(VelEglFSScreen *screen);
    void updateTexture();
    void upload(const VelRect &rect);

    VelEglFSWindow *m_window; // not owned
    VelImage m_image;
    GLuint m_texture = 0;
    VelRegion m_dirty;
    std::vector<uint8_t> m_packed; // narrow rectangles on their way up
    // The root context reads rows of any length (GL_EXT_unpack_subimage), so
    // narrow rectangles need no packing.
    bool m_unpackRowLength = false;
};

#endif
