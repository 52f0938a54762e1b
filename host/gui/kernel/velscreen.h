#ifndef VELSCREEN_H
#define VELSCREEN_H

#include "velguinamespace.h"
#include "velobject.h"
#include "velrect.h"
#include "velsize.h"
#include "velsizef.h"

class VelPlatformScreen;

// The application's view of one platform screen. Geometry, available geometry and
// orientation follow the window-system events; the other properties are asked from the
// platform screen. Created and deleted by the application as screens come and go.
class VelScreen : public VelObject
{
    VEL_OBJECT
public:
    ~VelScreen() override;

    VelPlatformScreen *handle() const { return m_platformScreen; }
    VelString name() const;

    VelRect geometry() const { return m_geometry; }
    VelRect availableGeometry() const { return m_availableGeometry; }
    VelSize size() const { return m_geometry.size(); }
    VelSizeF physicalSize() const;
    double logicalDotsPerInchX() const;
    double logicalDotsPerInchY() const;
    double logicalDotsPerInch() const;
    int depth() const;
    Vel::ScreenOrientation orientation() const { return m_orientation; }
    Vel::ScreenOrientation nativeOrientation() const;
    Vel::ScreenOrientation primaryOrientation() const;

    // Signals.
    void geometryChanged();
    void availableGeometryChanged();
    void orientationChanged(int orientation);

private:
    friend class VelGuiApplicationPrivate;
    explicit VelScreen(VelPlatformScreen *platformScreen);

    VelPlatformScreen *m_platformScreen; // not owned: the integration owns it
    VelRect m_geometry;
    VelRect m_availableGeometry;
    Vel::ScreenOrientation m_orientation;
};

VEL_DECLARE_METATYPE(VelScreen *)

#endif
