#ifndef VELINPUTMETHOD_H
#define VELINPUTMETHOD_H

#include "velguinamespace.h"
#include "vellocale.h"
#include "velobject.h"
#include "velrectf.h"
#include "veltransform.h"

// The application's side of the input method: where the edited item is, and the
// requests to the platform input context (VelGuiApplication::inputMethod()).
class VelInputMethod : public VelObject
{
    VEL_OBJECT
public:
    enum Action { Click = 0, ContextMenu = 1 };

    VelInputMethod();
    ~VelInputMethod() override;

    // The input item's rectangle in its own coordinates, and the transform from those to
    // the focus window's coordinates.
    VelRectF inputItemRectangle() const { return m_inputItemRectangle; }
    void setInputItemRectangle(const VelRectF &rect);
    VelTransform inputItemTransform() const { return m_inputItemTransform; }
    void setInputItemTransform(const VelTransform &transform);
    // The item's cursor rectangle (ImCursorRectangle of the focus object) in window
    // coordinates.
    VelRectF cursorRectangle() const;
    VelRectF keyboardRectangle() const;

    bool isVisible() const;
    void setVisible(bool visible);
    bool isAnimating() const;
    VelLocale locale() const;
    Vel::LayoutDirection inputDirection() const;

    void show();
    void hide();
    void update(Vel::InputMethodQueries queries);
    void reset();
    void commit();
    void invokeAction(Action action, int cursorPosition);

    // Signals.
    void cursorRectangleChanged();
    void keyboardRectangleChanged();
    void visibleChanged();
    void animatingChanged();
    void localeChanged();
    void inputDirectionChanged(int direction);

private:
    VelRectF m_inputItemRectangle;
    VelTransform m_inputItemTransform;
};

#endif
