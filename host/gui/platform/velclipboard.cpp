#include "velclipboard.h"

#include "velguiapplication.h"
#include "velmimedata.h"
#include "velplatformclipboard.h"
#include "velplatformintegration.h"
#include "velpointer.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace
{

// Every live clipboard, so that a platform report reaches the clipboards over it.
std::mutex &registryMutex() // guards registry(); taken alone, never while emitting
{
    static std::mutex mutex;
    return mutex;
}

std::vector<VelClipboard *> &registry()
{
    static std::vector<VelClipboard *> clipboards;
    return clipboards;
}

} // namespace

VEL_META_BEGIN(VelClipboard, VelObject)
VEL_META_SIGNAL(changed, int)
VEL_META_SIGNAL(dataChanged)
VEL_META_SIGNAL(selectionChanged)
VEL_META_SIGNAL(findBufferChanged)
VEL_META_END

VelClipboard::VelClipboard(VelPlatformClipboard *platform, VelObject *parent)
    : VelObject(parent), m_platform(platform)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().push_back(this);
}

VelClipboard::~VelClipboard()
{
    std::lock_guard<std::mutex> lock(registryMutex());
    auto &all = registry();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

VelClipboard *VelClipboard::instance()
{
    VelGuiApplication *app = VelGuiApplication::instance();
    if (!app)
        return nullptr;
    // Guarded: a later application gets a clipboard of its own.
    static VelPointer<VelClipboard> clipboard;
    if (!clipboard || clipboard->parent() != app) {
        VelPlatformIntegration *integration = VelGuiApplication::platformIntegration();
        clipboard = new VelClipboard(integration ? integration->clipboard() : nullptr, app);
    }
    return clipboard.data();
}

bool VelClipboard::supportsMode(Mode mode) const
{
    return validMode(mode) && m_platform && m_platform->supportsMode(mode);
}

bool VelClipboard::ownsMode(Mode mode) const
{
    return supportsMode(mode) && m_platform->ownsMode(mode);
}

VelString VelClipboard::text(Mode mode) const
{
    const VelMimeData *data = mimeData(mode);
    return data ? data->text() : VelString();
}

void VelClipboard::setText(const VelString &text, Mode mode)
{
    auto data = new VelMimeData;
    data->setText(text);
    setMimeData(data, mode);
}

const VelMimeData *VelClipboard::mimeData(Mode mode) const
{
    if (!supportsMode(mode))
        return nullptr;
    // The platform hands out a new object each time; the previous answer is
    // freed only now, so a pointer stays valid until the next request.
    m_read[mode].reset(m_platform->mimeData(mode));
    return m_read[mode].get();
}

void VelClipboard::setMimeData(VelMimeData *data, Mode mode)
{
    if (validMode(mode) && data && m_given[mode].get() == data)
        m_given[mode].release(); // the same object again: keep one owner, not two
    std::unique_ptr<VelMimeData> owned(data);
    if (!supportsMode(mode))
        return;
    if (owned)
        owned->setParent(nullptr); // ours from now on, not the caller's parent's
    m_settingData = true;
    m_platform->setMimeData(owned.get(), mode);
    m_settingData = false;
    m_given[mode] = std::move(owned);
    emitChanged(mode);
}

void VelClipboard::clear(Mode mode)
{
    setMimeData(nullptr, mode);
}

void VelClipboard::platformChanged(VelPlatformClipboard *platform, Mode mode)
{
    if (!validMode(mode))
        return;
    std::vector<VelPointer<VelClipboard>> targets;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        for (VelClipboard *clipboard : registry()) {
            if (clipboard->m_platform == platform && !clipboard->m_settingData)
                targets.emplace_back(clipboard);
        }
    }
    // A slot may delete a clipboard; the guarded pointers notice.
    for (const auto &clipboard : targets) {
        if (clipboard)
            clipboard->emitChanged(mode);
    }
}

void VelClipboard::emitChanged(Mode mode)
{
    changed(int(mode));
    switch (mode) {
    case Clipboard:
        dataChanged();
        break;
    case Selection:
        selectionChanged();
        break;
    case FindBuffer:
        findBufferChanged();
        break;
    }
}

void VelClipboard::changed(int mode)
{
    VEL_EMIT(changed, mode);
}
void VelClipboard::dataChanged()
{
    VEL_EMIT(dataChanged);
}
void VelClipboard::selectionChanged()
{
    VEL_EMIT(selectionChanged);
}
void VelClipboard::findBufferChanged()
{
    VEL_EMIT(findBufferChanged);
}
