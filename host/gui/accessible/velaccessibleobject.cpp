#include "velaccessibleobject.h"

#include "velguiapplication.h"
#include "velobject.h"

#include <algorithm>

VelAccessibleObject::VelAccessibleObject(VelObject *object, VelAccessible::Role role,
                                         const VelString &name)
    : m_object(object), m_role(role)
{
    if (!name.isEmpty())
        m_texts[VelAccessible::Name] = name;
}

VelAccessibleObject::~VelAccessibleObject() = default;

bool VelAccessibleObject::isValid() const
{
    return !m_object.isNull();
}

VelObject *VelAccessibleObject::object() const
{
    return m_object.data();
}

VelAccessibleInterface *VelAccessibleObject::parent() const
{
    VelObject *self = m_object.data();
    if (!self)
        return nullptr;
    for (VelObject *ancestor = self->parent(); ancestor; ancestor = ancestor->parent()) {
        if (VelAccessibleInterface *iface = VelAccessible::queryAccessibleInterface(ancestor))
            return iface;
    }
    VelObject *app = VelGuiApplication::instance();
    return app == self ? nullptr : VelAccessible::queryAccessibleInterface(app);
}

std::vector<VelAccessibleInterface *> VelAccessibleObject::accessibleChildren() const
{
    std::vector<VelAccessibleInterface *> result;
    VelObject *self = m_object.data();
    if (!self)
        return result;
    const VelObjectList children = self->children(); // a copy: factories may add children
    for (VelObject *child : children) {
        if (VelAccessibleInterface *iface = VelAccessible::queryAccessibleInterface(child))
            result.push_back(iface);
    }
    return result;
}

VelAccessibleInterface *VelAccessibleObject::child(int index) const
{
    const auto children = accessibleChildren();
    if (index < 0 || index >= int(children.size()))
        return nullptr;
    return children[std::size_t(index)];
}

int VelAccessibleObject::childCount() const
{
    return int(accessibleChildren().size());
}

int VelAccessibleObject::indexOfChild(const VelAccessibleInterface *child) const
{
    if (!child)
        return -1;
    const auto children = accessibleChildren();
    const auto it = std::find(children.begin(), children.end(), child);
    return it == children.end() ? -1 : int(it - children.begin());
}

VelString VelAccessibleObject::text(VelAccessible::Text t) const
{
    const auto it = m_texts.find(int(t));
    return it == m_texts.end() ? VelString() : it->second;
}

void VelAccessibleObject::setText(VelAccessible::Text t, const VelString &text)
{
    m_texts[int(t)] = text;
}

VelRect VelAccessibleObject::rect() const
{
    return m_rect;
}

VelAccessible::Role VelAccessibleObject::role() const
{
    return m_role;
}

VelAccessible::State VelAccessibleObject::state() const
{
    VelAccessible::State state = m_state;
    if (!isValid())
        state.invalid = true;
    return state;
}
