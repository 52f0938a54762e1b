#include "velplatformmenu.h"

VEL_META_BEGIN(VelPlatformMenu, VelObject)
VEL_META_SIGNAL(aboutToShow)
VEL_META_SIGNAL(aboutToHide)
VEL_META_END

VelPlatformMenu::VelPlatformMenu(VelObject *parent) : VelObject(parent) {}

VelPlatformMenu::~VelPlatformMenu() = default;

void VelPlatformMenu::setMinimumWidth(int) {}

void VelPlatformMenu::setFont(const VelFont &) {}

void VelPlatformMenu::aboutToShow()
{
    VEL_EMIT(aboutToShow);
}
void VelPlatformMenu::aboutToHide()
{
    VEL_EMIT(aboutToHide);
}
