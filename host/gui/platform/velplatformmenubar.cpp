#include "velplatformmenubar.h"

VEL_META_BEGIN(VelPlatformMenuBar, VelObject)
VEL_META_END

VelPlatformMenuBar::VelPlatformMenuBar(VelObject *parent) : VelObject(parent) {}

VelPlatformMenuBar::~VelPlatformMenuBar() = default;
