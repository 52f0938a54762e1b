#include "velandroidplatformclipboard.h"

#include "androidjniclipboard.h"

#include "velmimedata.h"

VelAndroidPlatformClipboard::VelAndroidPlatformClipboard()
{
    VelAndroidClipboard::setClipboardListener(this);
}

VelMimeData *VelAndroidPlatformClipboard::mimeData(VelClipboard::Mode mode)
{
    if (!supportsMode(mode) || !VelAndroidClipboard::hasClipboardText())
        return nullptr;
    auto *data = new VelMimeData;
    data->setText(VelAndroidClipboard::clipboardText());
    return data;
}

void VelAndroidPlatformClipboard::setMimeData(VelMimeData *data, VelClipboard::Mode mode)
{
    if (!data || !data->hasText() || !supportsMode(mode))
        return;
    VelAndroidClipboard::setClipboardText(data->text());
}

bool VelAndroidPlatformClipboard::supportsMode(VelClipboard::Mode mode) const
{
    return mode == VelClipboard::Clipboard;
}
