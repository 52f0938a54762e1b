#include "velplatformdialoghelper.h"

namespace
{

struct ButtonInfo {
    uint button;
    VelPlatformDialogHelper::ButtonRole role;
    const char *text;
};

using H = VelPlatformDialogHelper;

constexpr ButtonInfo kButtons[] = {
    {H::Ok, H::AcceptRole, "OK"},
    {H::Save, H::AcceptRole, "Save"},
    {H::SaveAll, H::AcceptRole, "Save All"},
    {H::Open, H::AcceptRole, "Open"},
    {H::Yes, H::YesRole, "Yes"},
    {H::YesToAll, H::YesRole, "Yes to All"},
    {H::No, H::NoRole, "No"},
    {H::NoToAll, H::NoRole, "No to All"},
    {H::Abort, H::RejectRole, "Abort"},
    {H::Retry, H::AcceptRole, "Retry"},
    {H::Ignore, H::AcceptRole, "Ignore"},
    {H::Close, H::RejectRole, "Close"},
    {H::Cancel, H::RejectRole, "Cancel"},
    {H::Discard, H::DestructiveRole, "Discard"},
    {H::Help, H::HelpRole, "Help"},
    {H::Apply, H::ApplyRole, "Apply"},
    {H::Reset, H::ResetRole, "Reset"},
    {H::RestoreDefaults, H::ResetRole, "Restore Defaults"},
};

const ButtonInfo *findButton(uint button)
{
    for (const ButtonInfo &info : kButtons) {
        if (info.button == button)
            return &info;
    }
    return nullptr;
}

} // namespace

VEL_META_BEGIN(VelPlatformDialogHelper, VelObject)
VEL_META_SIGNAL(accept)
VEL_META_SIGNAL(reject)
VEL_META_END

VelPlatformDialogHelper::VelPlatformDialogHelper(VelObject *parent) : VelObject(parent) {}

VelPlatformDialogHelper::~VelPlatformDialogHelper() = default;

VelVariant VelPlatformDialogHelper::styleHint(StyleHint hint) const
{
    // A native dialog is not a framework window unless a helper says so.
    if (hint == DialogIsHostWindow)
        return VelVariant(false);
    return VelVariant();
}

VelPlatformDialogHelper::ButtonRole VelPlatformDialogHelper::buttonRole(uint button)
{
    const ButtonInfo *info = findButton(button);
    return info ? info->role : InvalidRole;
}

const char *VelPlatformDialogHelper::buttonText(uint button)
{
    const ButtonInfo *info = findButton(button);
    return info ? info->text : "";
}

void VelPlatformDialogHelper::accept()
{
    VEL_EMIT(accept);
}
void VelPlatformDialogHelper::reject()
{
    VEL_EMIT(reject);
}
