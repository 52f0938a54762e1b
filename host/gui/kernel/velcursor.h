#ifndef VELCURSOR_H
#define VELCURSOR_H

#include "velguinamespace.h"
#include "velpixmap.h"
#include "velpoint.h"

// A pointer shape: a standard shape, or a pixmap with its hot spot (BitmapCursor).
class VelCursor
{
public:
    VelCursor();
    VelCursor(Vel::CursorShape shape);
    // A hot spot of -1 means the pixmap's centre.
    explicit VelCursor(const VelPixmap &pixmap, int hotX = -1, int hotY = -1);

    Vel::CursorShape shape() const { return m_shape; }
    void setShape(Vel::CursorShape shape);
    VelPixmap pixmap() const { return m_pixmap; }
    VelPoint hotSpot() const { return m_hotSpot; }

    // The pointer position on the desktop, as the primary screen's platform cursor knows it.
    static VelPoint pos();
    static void setPos(const VelPoint &pos);
    static void setPos(int x, int y) { setPos(VelPoint(x, y)); }

private:
    Vel::CursorShape m_shape = Vel::ArrowCursor;
    VelPixmap m_pixmap;
    VelPoint m_hotSpot;
};

#endif
