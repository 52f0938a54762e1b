#include "velmessagebox.h"

#include "veleventloop.h"
#include "velguiapplication.h"
#include "vellogging.h"
#include "velplatformmessagedialoghelper.h"
#include "velplatformtheme.h"
#include "velpoint.h"

#include <memory>

namespace
{

struct Outcome {
    bool finished = false;
    uint button = VelPlatformDialogHelper::NoButton;
    VelPlatformDialogHelper::ButtonRole role = VelPlatformDialogHelper::InvalidRole;
};

} // namespace

VEL_META_BEGIN(VelMessageBox, VelObject)
VEL_META_END

VelMessageBox::VelMessageBox(VelObject *parent, VelPlatformTheme *theme)
    : VelObject(parent), m_theme(theme)
{
}

VelMessageBox::~VelMessageBox() = default;

VelPlatformTheme *VelMessageBox::theme() const
{
    return m_theme ? m_theme : VelGuiApplication::platformTheme();
}

uint VelMessageBox::exec()
{
    m_clickedRole = VelPlatformDialogHelper::InvalidRole;
    m_wasShown = false;

    VelPlatformTheme *platformTheme = theme();
    if (!platformTheme ||
        !platformTheme->usePlatformNativeDialog(VelPlatformTheme::MessageDialog)) {
        velWarning("VelMessageBox: no native message dialog available, \"%s\" not shown",
                   m_options.text().toUtf8().constData());
        return VelPlatformDialogHelper::NoButton;
    }
    // The framework owns the helper: it goes when this call returns.
    std::unique_ptr<VelPlatformDialogHelper> helper(
        platformTheme->createPlatformDialogHelper(VelPlatformTheme::MessageDialog));
    auto *messageHelper = dynamic_cast<VelPlatformMessageDialogHelper *>(helper.get());
    if (!messageHelper) {
        velWarning("VelMessageBox: the theme offers no message dialog helper");
        return VelPlatformDialogHelper::NoButton;
    }
    messageHelper->setOptions(std::make_shared<VelMessageDialogOptions>(m_options));

    VelEventLoop loop;
    Outcome outcome;
    // The answer may arrive during show() already (a helper that answers at
    // once); the loop is then not entered at all.
    const auto finish = [&](uint button, VelPlatformDialogHelper::ButtonRole role) {
        if (outcome.finished)
            return;
        outcome = Outcome{true, button, role};
        loop.exit(0);
    };
    auto clicked = VelObject::connect(
        messageHelper, &VelPlatformMessageDialogHelper::clicked, &loop, [&](int button, int role) {
            // A helper that cannot tell the role leaves it to the button's standard one.
            const bool known = role >= VelPlatformDialogHelper::AcceptRole &&
                               role < VelPlatformDialogHelper::NRoles;
            finish(uint(button), known ? VelPlatformDialogHelper::ButtonRole(role)
                                       : VelPlatformDialogHelper::buttonRole(uint(button)));
        });
    auto rejected =
        VelObject::connect(messageHelper, &VelPlatformDialogHelper::reject, &loop, [&]() {
            finish(VelPlatformDialogHelper::NoButton, VelPlatformDialogHelper::InvalidRole);
        });

    if (!messageHelper->show(Vel::Dialog, Vel::ApplicationModal, m_parentWindow)) {
        VelObject::disconnect(clicked);
        VelObject::disconnect(rejected);
        velWarning("VelMessageBox: the native message dialog could not be shown");
        return VelPlatformDialogHelper::NoButton;
    }
    m_wasShown = true;
    if (!outcome.finished)
        loop.exec();
    VelObject::disconnect(clicked);
    VelObject::disconnect(rejected);
    messageHelper->hide();
    m_clickedRole = outcome.role;
    return outcome.button;
}
