#ifndef VELPLATFORMINPUTCONTEXT_H
#define VELPLATFORMINPUTCONTEXT_H

#include "velguinamespace.h"
#include "vellocale.h"
#include "velobject.h"
#include "velrectf.h"

class VelEvent;

// The platform's input method. The application tells it about focus changes and state
// updates; it talks to the focus object with input-method events and queries.
class VelPlatformInputContext : public VelObject
{
    VEL_OBJECT
public:
    enum Action { Click = 0, ContextMenu = 1 };

    explicit VelPlatformInputContext(VelObject *parent = nullptr);
    ~VelPlatformInputContext() override;

    // Defaults: not valid, no panel, nothing to do.
    virtual bool isValid() const;
    virtual void reset();
    virtual void commit();
    virtual void update(Vel::InputMethodQueries queries);
    virtual void invokeAction(Action action, int cursorPosition);
    // Default: an empty rectangle (no keyboard covers the screen).
    virtual VelRectF keyboardRect() const;
    virtual bool isAnimating() const;
    virtual void showInputPanel();
    virtual void hideInputPanel();
    virtual bool isInputPanelVisible() const;
    // Default: false, the event goes on to its receiver.
    virtual bool filterEvent(const VelEvent *event);
    // Default: the system's locale.
    virtual VelLocale locale() const;
    virtual Vel::LayoutDirection inputDirection() const;
    virtual void setFocusObject(VelObject *object);

    // Tells the application's input method that isInputPanelVisible() may answer otherwise.
    void emitInputPanelVisibleChanged();
    void emitKeyboardRectChanged();
    void emitAnimatingChanged();
};

#endif
