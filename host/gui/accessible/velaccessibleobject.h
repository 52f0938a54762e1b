#ifndef VELACCESSIBLEOBJECT_H
#define VELACCESSIBLEOBJECT_H

#include "velaccessibleinterface.h"
#include "velpointer.h"

#include <map>
#include <vector>

// The simple way to make an object accessible: an interface over a VelObject
// holding a role, texts, a rectangle and a state, whose children are the
// object's children that have accessible interfaces and whose parent is the
// nearest ancestor that has one (the application at the top). Applications
// set the values or subclass it, and register it:
//     VelAccessible::registerAccessibleInterface(
//         new VelAccessibleObject(button, VelAccessible::PushButton, "OK"));
// The registry then owns it and deletes it with the object.
class VelAccessibleObject : public VelAccessibleInterface
{
public:
    explicit VelAccessibleObject(VelObject *object,
                                 VelAccessible::Role role = VelAccessible::Client,
                                 const VelString &name = VelString());
    ~VelAccessibleObject() override;

    bool isValid() const override;
    VelObject *object() const override;
    VelAccessibleInterface *parent() const override;
    VelAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const VelAccessibleInterface *child) const override;

    VelString text(VelAccessible::Text t) const override;
    void setText(VelAccessible::Text t, const VelString &text) override;
    VelRect rect() const override;
    void setRect(const VelRect &rect) { m_rect = rect; }
    VelAccessible::Role role() const override;
    void setRole(VelAccessible::Role role) { m_role = role; }
    VelAccessible::State state() const override;
    void setState(const VelAccessible::State &state) { m_state = state; }

protected:
    // The accessible interfaces of the object's children, in child order.
    std::vector<VelAccessibleInterface *> accessibleChildren() const;

private:
    VelPointer<VelObject> m_object;
    VelAccessible::Role m_role;
    VelAccessible::State m_state;
    VelRect m_rect;
    std::map<int, VelString> m_texts;
};

#endif
