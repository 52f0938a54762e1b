#ifndef VELPLATFORMDIALOGHELPER_H
#define VELPLATFORMDIALOGHELPER_H

#include "velguinamespace.h"
#include "velobject.h"
#include "velvariant.h"

class VelWindow;

// A native dialog that a platform theme creates (createPlatformDialogHelper)
// and the framework owns and deletes. The framework calls show() or exec()
// and listens for accept() or reject().
//
// The virtual operations keep this order after the object's own: platform
// helpers built elsewhere override them by slot.
class VelPlatformDialogHelper : public VelObject
{
    VEL_OBJECT
public:
    enum StyleHint { DialogIsHostWindow = 0 };
    enum DialogCode { Rejected = 0, Accepted = 1 };

    // Bit values are exchanged with platform dialogs by number.
    enum StandardButton : uint {
        NoButton = 0x00000000,
        Ok = 0x00000400,
        Save = 0x00000800,
        SaveAll = 0x00001000,
        Open = 0x00002000,
        Yes = 0x00004000,
        YesToAll = 0x00008000,
        No = 0x00010000,
        NoToAll = 0x00020000,
        Abort = 0x00040000,
        Retry = 0x00080000,
        Ignore = 0x00100000,
        Close = 0x00200000,
        Cancel = 0x00400000,
        Discard = 0x00800000,
        Help = 0x01000000,
        Apply = 0x02000000,
        Reset = 0x04000000,
        RestoreDefaults = 0x08000000,
        FirstButton = Ok,
        LastButton = RestoreDefaults
    };
    using StandardButtons = uint;

    enum ButtonRole {
        InvalidRole = -1,
        AcceptRole = 0,
        RejectRole = 1,
        DestructiveRole = 2,
        ActionRole = 3,
        HelpRole = 4,
        YesRole = 5,
        NoRole = 6,
        ResetRole = 7,
        ApplyRole = 8,
        NRoles = 9
    };

    explicit VelPlatformDialogHelper(VelObject *parent = nullptr);
    ~VelPlatformDialogHelper() override;

    virtual VelVariant styleHint(StyleHint hint) const;
    virtual void exec() = 0;
    virtual bool show(Vel::WindowFlags windowFlags, Vel::WindowModality modality,
                      VelWindow *parent) = 0;
    virtual void hide() = 0;

    // The role of one standard button; InvalidRole for anything that is not
    // exactly one known button (several bits, unknown bits, none).
    static ButtonRole buttonRole(uint button);
    // The default label (untranslated source text) of one standard button,
    // empty for anything else.
    static const char *buttonText(uint button);

    // signals
    void accept();
    void reject();
};

#endif
