#ifndef VELEGLFSCURSOR_H
#define VELEGLFSCURSOR_H

#include "velimage.h"
#include "velplatformcursor.h"
#include "velrect.h"

#include <GLES2/gl2.h>

#include <vector>

class VelEglFSScreen;
class VelRegion;

// The mouse pointer, drawn with GL over every finished frame from an atlas of
// the standard shapes or from an application bitmap.
class VelEglFSCursor : public VelPlatformCursor
{
public:
    explicit VelEglFSCursor(VelEglFSScreen *screen);
    ~VelEglFSCursor() override;

    void pointerEvent(const VelMouseEvent &event) override;
    void changeCursor(VelCursor *cursor, VelWindow *window) override;
    VelPoint pos() const override;
    void setPos(const VelPoint &pos) override;
    virtual void paintOnScreen();

    void resetResources();
    VelRect cursorRect() const;
    VelPoint hotSpot() const { return m_hotSpot; }

    struct TextureRect {
        double x = 0, y = 0, width = 0, height = 0;
    };
    TextureRect textureRect() const { return m_textureRect; }

private:
    struct RectF {
        float x, y, width, height;
    };

    void initCursorAtlas();
    bool setCurrentCursor(VelCursor *cursor);
    void update(const VelRegion &region);
    void draw(const RectF &rect);
    void createShaderPrograms();
    void createCursorTexture(GLuint *texture, const VelImage &image);

    VelEglFSScreen *m_screen; // not owned: the screen owns the cursor
    GLuint m_cursorTexture = 0;
    int m_shape = 10;
    TextureRect m_textureRect;
    VelSize m_size = VelSize(-1, -1);
    VelPoint m_hotSpot;
    VelImage m_customImage;
    VelPoint m_pos;
    GLuint m_customTexture = 0;
    bool m_customPending = false;
    int m_atlasCursorsPerRow = 0;
    GLuint m_atlasTexture = 0;
    int m_atlasWidth = 0;
    int m_atlasHeight = 0;
    int m_atlasCellWidth = 0;
    int m_atlasCellHeight = 0;
    std::vector<VelPoint> m_atlasHotSpots;
    VelImage m_atlasImage;
    GLuint m_program = 0;
    int m_vertexCoordEntry = 0;
    int m_textureCoordEntry = 0;
    int m_textureEntry = 0;
};

#endif
