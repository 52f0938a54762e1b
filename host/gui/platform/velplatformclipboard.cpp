#include "velplatformclipboard.h"

#include "velmimedata.h"

VelPlatformClipboard::VelPlatformClipboard() = default;

VelPlatformClipboard::~VelPlatformClipboard() = default;

VelMimeData *VelPlatformClipboard::mimeData(VelClipboard::Mode mode)
{
    if (!supportsMode(mode) || !m_store)
        return nullptr;
    auto copy = new VelMimeData;
    copy->copyFrom(*m_store);
    return copy;
}

void VelPlatformClipboard::setMimeData(VelMimeData *data, VelClipboard::Mode mode)
{
    if (!supportsMode(mode))
        return;
    if (data) {
        auto copy = std::make_unique<VelMimeData>();
        copy->copyFrom(*data);
        m_store = std::move(copy);
    } else {
        m_store.reset();
    }
    emitChanged(mode);
}

bool VelPlatformClipboard::supportsMode(VelClipboard::Mode mode) const
{
    return mode == VelClipboard::Clipboard;
}

bool VelPlatformClipboard::ownsMode(VelClipboard::Mode) const
{
    return false;
}

void VelPlatformClipboard::emitChanged(VelClipboard::Mode mode)
{
    VelClipboard::platformChanged(this, mode);
}
