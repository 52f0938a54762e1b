#ifndef VELMESSAGEBOX_H
#define VELMESSAGEBOX_H

#include "velmessagedialogoptions.h"
#include "velobject.h"
#include "velplatformdialoghelper.h"

class VelPlatformTheme;
class VelWindow;

// A message box for applications, shown through the platform theme's native
// message dialog. exec() creates the platform helper, shows it, waits in a
// nested event loop for the user's answer and deletes the helper again.
class VelMessageBox : public VelObject
{
    VEL_OBJECT
public:
    // theme: the platform theme to ask; null means the GUI application's.
    explicit VelMessageBox(VelObject *parent = nullptr, VelPlatformTheme *theme = nullptr);
    ~VelMessageBox() override;

    void setIcon(VelMessageDialogOptions::Icon icon) { m_options.setIcon(icon); }
    void setWindowTitle(const VelString &title) { m_options.setWindowTitle(title); }
    void setText(const VelString &text) { m_options.setText(text); }
    void setInformativeText(const VelString &text) { m_options.setInformativeText(text); }
    void setDetailedText(const VelString &text) { m_options.setDetailedText(text); }
    void setStandardButtons(VelPlatformDialogHelper::StandardButtons buttons)
    {
        m_options.setStandardButtons(buttons);
    }
    const VelMessageDialogOptions &options() const { return m_options; }

    // The window the box belongs to; may be null.
    void setParentWindow(VelWindow *window) { m_parentWindow = window; }

    // Shows the box and waits. Returns the pressed standard button, or NoButton
    // when the box was dismissed without one or no native message dialog is
    // available (then nothing was shown).
    uint exec();
    // The role of the button exec() returned; InvalidRole after a dismissal.
    VelPlatformDialogHelper::ButtonRole clickedRole() const { return m_clickedRole; }
    // Whether the last exec() reached a platform dialog at all.
    bool wasShown() const { return m_wasShown; }

private:
    VelPlatformTheme *theme() const;

    VelPlatformTheme *m_theme; // not owned
    VelWindow *m_parentWindow = nullptr;
    VelMessageDialogOptions m_options;
    VelPlatformDialogHelper::ButtonRole m_clickedRole = VelPlatformDialogHelper::InvalidRole;
    bool m_wasShown = false;
};

#endif
