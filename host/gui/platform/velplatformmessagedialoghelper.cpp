#include "velplatformmessagedialoghelper.h"

VEL_META_BEGIN(VelPlatformMessageDialogHelper, VelPlatformDialogHelper)
VEL_META_SIGNAL(clicked, int, int)
VEL_META_END

VelPlatformMessageDialogHelper::VelPlatformMessageDialogHelper(VelObject *parent)
    : VelPlatformDialogHelper(parent)
{
}

VelPlatformMessageDialogHelper::~VelPlatformMessageDialogHelper() = default;

void VelPlatformMessageDialogHelper::setOptions(
    const std::shared_ptr<VelMessageDialogOptions> &options)
{
    m_options = options;
}

void VelPlatformMessageDialogHelper::clicked(int button, int role)
{
    VEL_EMIT(clicked, button, role);
}
