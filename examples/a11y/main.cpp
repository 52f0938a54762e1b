// An accessible form: a title, a text field, a check box, two buttons and a
// status line, painted by the CPU and described to accessibility services by
// an accessible tree that matches what is drawn. The buttons and the check box
// work by tap and through accessibility actions alike.

#include "a11yform.h"
#include "velexamplebackingstore.h"

#include "velaccessibleactioninterface.h"
#include "velaccessibleobject.h"
#include "velaccessibletextinterface.h"
#include "velcolor.h"
#include "velexposeevent.h"
#include "velfont.h"
#include "velguiapplication.h"
#include "velmouseevent.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "velwindow.h"

#include <array>
#include <cstdio>
#include <memory>

namespace
{

class FormWindow;

// One item of the form as accessibility services see it. Rectangles follow
// the window, so the tree stays right wherever the window is placed.
class FormItemAccessible : public VelAccessibleObject, public VelAccessibleActionInterface
{
public:
    FormItemAccessible(VelObject *object, FormWindow *window, int index);

    VelRect rect() const override;
    VelAccessible::State state() const override;
    void *interface_cast(VelAccessible::InterfaceType type) override;

    VelStringList actionNames() const override;
    void doAction(const VelString &actionName) override;

protected:
    FormWindow *const m_window; // owns the item's object, and so this interface
    const int m_index;
};

// The text field also answers for its text and selection.
class FormFieldAccessible : public FormItemAccessible, public VelAccessibleTextInterface
{
public:
    using FormItemAccessible::FormItemAccessible;
    using FormItemAccessible::text;
    using VelAccessibleTextInterface::text;

    void *interface_cast(VelAccessible::InterfaceType type) override;

    int selectionCount() const override { return 1; }
    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = index == 0 ? m_selectionStart : 0;
        *endOffset = index == 0 ? m_selectionEnd : 0;
    }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int) override {}
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index != 0)
            return;
        m_selectionStart = std::max(0, std::min(startOffset, characterCount()));
        m_selectionEnd = std::max(m_selectionStart, std::min(endOffset, characterCount()));
    }
    int cursorPosition() const override { return m_selectionEnd; }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    int characterCount() const override { return text(VelAccessible::Value).size(); }
    VelString text(int startOffset, int endOffset) const override
    {
        const VelString value = text(VelAccessible::Value);
        const int start = std::max(0, startOffset);
        return value.mid(start, std::max(0, std::min(endOffset, value.size()) - start));
    }

private:
    int m_selectionStart = velA11yFormSelectionStart;
    int m_selectionEnd = velA11yFormSelectionEnd;
};

class FormWindow : public VelWindow
{
public:
    FormWindow()
    {
        setSurfaceType(RasterSurface);
        setTitle(VelString(velA11yFormTitle));
        for (int i = 0; i < FormItemCount; ++i) {
            auto *object = new VelObject(this);
            FormItemAccessible *iface = i == FormNameField
                                            ? new FormFieldAccessible(object, this, i)
                                            : new FormItemAccessible(object, this, i);
            iface->setText(VelAccessible::Name, VelString(velA11yFormItems[i].name));
            if (i == FormNameField)
                iface->setText(VelAccessible::Value, VelString(velA11yFormNameValue));
            VelAccessible::registerAccessibleInterface(iface);
            m_items[size_t(i)] = iface;
        }
    }

    bool isChecked() const { return m_checked; }

    // What a tap or an accessibility action on an item does.
    void activate(int index)
    {
        if (index == FormNotifications) {
            m_checked = !m_checked;
        } else if (index == FormOk || index == FormCancel) {
            m_items[FormStatus]->setText(VelAccessible::Name,
                                         VelString("Last action: ") +
                                             VelString(velA11yFormItems[index].name));
        } else {
            return;
        }
        render();
    }

protected:
    void exposeEvent(VelExposeEvent *) override
    {
        if (isExposed())
            render();
    }

    void mousePressEvent(VelMouseEvent *event) override
    {
        for (int i = 0; i < FormItemCount; ++i) {
            const VelA11yFormItem &item = velA11yFormItems[i];
            if (VelRect(item.x, item.y, item.width, item.height).contains(event->pos()))
                activate(i);
        }
    }

private:
    void render()
    {
        m_store.render(
            this, [this](VelPaintDevice *device, const VelRect &rect) { paint(device, rect); });
    }

    void paint(VelPaintDevice *device, const VelRect &rect) const
    {
        VelPainter painter(device);
        painter.fillRect(rect, VelColor(240, 240, 240));
        VelFont font = painter.font();
        font.setPixelSize(20);
        painter.setFont(font);
        painter.setPen(VelColor(0, 0, 0));
        for (int i = 0; i < FormItemCount; ++i) {
            const VelA11yFormItem &item = velA11yFormItems[i];
            const VelRect box(item.x, item.y, item.width, item.height);
            const int baseline = item.y + item.height / 2 + 7;
            switch (item.role) {
            case VelAccessible::PushButton:
                painter.fillRect(box, VelColor(70, 110, 200));
                painter.drawText(item.x + 16, baseline, VelString(item.name));
                break;
            case VelAccessible::EditableText:
                painter.fillRect(box, VelColor(120, 120, 120));
                painter.fillRect(box.adjusted(2, 2, -2, -2), VelColor(255, 255, 255));
                painter.drawText(item.x + 8, baseline,
                                 m_items[size_t(i)]->text(VelAccessible::Value));
                break;
            case VelAccessible::CheckBox: {
                const VelRect square(item.x, item.y + 8, 32, 32);
                painter.fillRect(square, VelColor(120, 120, 120));
                painter.fillRect(square.adjusted(3, 3, -3, -3),
                                 m_checked ? VelColor(40, 160, 60) : VelColor(255, 255, 255));
                painter.drawText(item.x + 44, baseline, VelString(item.name));
                break;
            }
            default:
                painter.drawText(item.x, baseline, m_items[size_t(i)]->text(VelAccessible::Name));
                break;
            }
        }
        painter.end();
    }

    std::array<FormItemAccessible *, FormItemCount> m_items{}; // owned by the registry
    bool m_checked = false;
    VelExampleBackingStore m_store;
};

FormItemAccessible::FormItemAccessible(VelObject *object, FormWindow *window, int index)
    : VelAccessibleObject(object, velA11yFormItems[index].role), m_window(window), m_index(index)
{
}

VelRect FormItemAccessible::rect() const
{
    const VelA11yFormItem &item = velA11yFormItems[m_index];
    return VelRect(m_window->mapToGlobal(VelPoint(item.x, item.y)),
                   VelSize(item.width, item.height));
}

VelAccessible::State FormItemAccessible::state() const
{
    VelAccessible::State state = VelAccessibleObject::state();
    const VelAccessible::Role role = velA11yFormItems[m_index].role;
    state.focusable = role != VelAccessible::StaticText;
    state.editable = role == VelAccessible::EditableText;
    state.checkable = role == VelAccessible::CheckBox;
    state.checked = state.checkable && m_window->isChecked();
    state.invisible = !m_window->isVisible();
    return state;
}

void *FormItemAccessible::interface_cast(VelAccessible::InterfaceType type)
{
    if (type == VelAccessible::ActionInterface && !actionNames().isEmpty())
        return static_cast<VelAccessibleActionInterface *>(this);
    return VelAccessibleObject::interface_cast(type);
}

VelStringList FormItemAccessible::actionNames() const
{
    switch (velA11yFormItems[m_index].role) {
    case VelAccessible::PushButton:
        return VelStringList{pressAction()};
    case VelAccessible::CheckBox:
        return VelStringList{toggleAction()};
    default:
        return VelStringList();
    }
}

void FormItemAccessible::doAction(const VelString &actionName)
{
    if (actionNames().contains(actionName))
        m_window->activate(m_index);
}

void *FormFieldAccessible::interface_cast(VelAccessible::InterfaceType type)
{
    if (type == VelAccessible::TextInterface)
        return static_cast<VelAccessibleTextInterface *>(this);
    return FormItemAccessible::interface_cast(type);
}

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    FormWindow window;
    window.showFullScreen();
    window.requestActivate();
    std::printf("a11y: form shown\n");
    std::fflush(stdout);
    return app.exec();
}
