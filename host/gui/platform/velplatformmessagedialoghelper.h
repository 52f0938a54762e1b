#ifndef VELPLATFORMMESSAGEDIALOGHELPER_H
#define VELPLATFORMMESSAGEDIALOGHELPER_H

#include "velmessagedialogoptions.h"
#include "velplatformdialoghelper.h"

#include <memory>

// A native message box. The framework sets the options before show(); the
// helper reports the pressed button with clicked(button, role), where button
// is a StandardButton bit and role its ButtonRole, or reject() when the box was
// dismissed without a button. It adds no virtual operations of its own.
class VelPlatformMessageDialogHelper : public VelPlatformDialogHelper
{
    VEL_OBJECT
public:
    explicit VelPlatformMessageDialogHelper(VelObject *parent = nullptr);
    ~VelPlatformMessageDialogHelper() override;

    // Null until the framework sets options.
    const std::shared_ptr<VelMessageDialogOptions> &options() const { return m_options; }
    void setOptions(const std::shared_ptr<VelMessageDialogOptions> &options);

    // signals
    void clicked(int button, int role);

private:
    std::shared_ptr<VelMessageDialogOptions> m_options;
};

#endif
