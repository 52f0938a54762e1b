#include "velaccessibleapplication.h"

#include "velguiapplication.h"
#include "velwindow.h"

#include <algorithm>
#include <vector>

namespace
{

std::vector<VelAccessibleInterface *> windowInterfaces()
{
    std::vector<VelAccessibleInterface *> result;
    for (VelWindow *window : VelGuiApplication::topLevelWindows()) {
        if (VelAccessibleInterface *iface = VelAccessible::queryAccessibleInterface(window))
            result.push_back(iface);
    }
    return result;
}

} // namespace

VelAccessibleApplication::VelAccessibleApplication() = default;

bool VelAccessibleApplication::isValid() const
{
    return VelGuiApplication::instance() != nullptr;
}

VelObject *VelAccessibleApplication::object() const
{
    return VelGuiApplication::instance();
}

VelWindow *VelAccessibleApplication::window() const
{
    return nullptr;
}

VelAccessibleInterface *VelAccessibleApplication::parent() const
{
    return nullptr;
}

VelAccessibleInterface *VelAccessibleApplication::child(int index) const
{
    const auto windows = windowInterfaces();
    if (index < 0 || index >= int(windows.size()))
        return nullptr;
    return windows[std::size_t(index)];
}

int VelAccessibleApplication::childCount() const
{
    return int(windowInterfaces().size());
}

int VelAccessibleApplication::indexOfChild(const VelAccessibleInterface *child) const
{
    const auto windows = windowInterfaces();
    const auto it = std::find(windows.begin(), windows.end(), child);
    return it == windows.end() ? -1 : int(it - windows.begin());
}

VelAccessibleInterface *VelAccessibleApplication::focusChild() const
{
    return VelAccessible::queryAccessibleInterface(VelGuiApplication::focusWindow());
}

VelString VelAccessibleApplication::text(VelAccessible::Text t) const
{
    return t == VelAccessible::Name ? VelCoreApplication::applicationName() : VelString();
}

VelRect VelAccessibleApplication::rect() const
{
    return VelRect();
}

VelAccessible::Role VelAccessibleApplication::role() const
{
    return VelAccessible::Application;
}

VelAccessible::State VelAccessibleApplication::state() const
{
    return VelAccessible::State();
}
