#include "velplatformmenuitem.h"

VEL_META_BEGIN(VelPlatformMenuItem, VelObject)
VEL_META_SIGNAL(activated)
VEL_META_SIGNAL(hovered)
VEL_META_END

VelPlatformMenuItem::VelPlatformMenuItem(VelObject *parent) : VelObject(parent) {}

VelPlatformMenuItem::~VelPlatformMenuItem() = default;

void VelPlatformMenuItem::activated()
{
    VEL_EMIT(activated);
}
void VelPlatformMenuItem::hovered()
{
    VEL_EMIT(hovered);
}
