#include "velcursor.h"

#include "velguiapplication.h"
#include "velplatformcursor.h"
#include "velplatformscreen.h"
#include "velscreen.h"

namespace
{
VelPlatformCursor *primaryPlatformCursor()
{
    VelScreen *screen = VelGuiApplication::primaryScreen();
    return screen ? screen->handle()->cursor() : nullptr;
}
} // namespace

VelCursor::VelCursor() = default;

VelCursor::VelCursor(Vel::CursorShape shape)
{
    setShape(shape);
}

VelCursor::VelCursor(const VelPixmap &pixmap, int hotX, int hotY)
    : m_shape(Vel::BitmapCursor), m_pixmap(pixmap),
      m_hotSpot(hotX < 0 ? pixmap.width() / 2 : hotX, hotY < 0 ? pixmap.height() / 2 : hotY)
{
}

void VelCursor::setShape(Vel::CursorShape shape)
{
    // A bitmap shape without a bitmap, or a number outside the table, shows the arrow.
    const bool standard = shape >= Vel::ArrowCursor && shape <= Vel::LastCursor;
    if (standard || (shape == Vel::BitmapCursor && !m_pixmap.isNull()))
        m_shape = shape;
    else
        m_shape = Vel::ArrowCursor;
}

VelPoint VelCursor::pos()
{
    VelPlatformCursor *cursor = primaryPlatformCursor();
    return cursor ? cursor->pos() : VelPoint();
}

void VelCursor::setPos(const VelPoint &pos)
{
    if (VelPlatformCursor *cursor = primaryPlatformCursor())
        cursor->setPos(pos);
}
