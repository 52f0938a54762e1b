#include "veldialogpresenter.h"

#include "velservicescontrol.h"

#include <cstdio>
#include <string>

namespace
{

VelMessageDialogWindow::Content contentOf(const VelServicesControl::Dialog &dialog)
{
    VelMessageDialogWindow::Content content;
    content.title = dialog.title.empty() ? std::string("Message") : dialog.title;
    for (const std::string *part : {&dialog.text, &dialog.informativeText, &dialog.detailedText}) {
        if (!part->empty())
            content.lines.push_back(*part);
    }
    content.buttonIds = dialog.buttonIds;
    content.buttonLabels = dialog.buttonLabels;
    return content;
}

} // namespace

void VelDialogPresenter::poll()
{
    VelServicesControl::Dialog dialog;
    if (!VelServicesControl::showingDialog(&dialog)) {
        // Answered or hidden by the app.
        m_window.close();
        m_currentHandle = 0;
        return;
    }
    if (dialog.handle != m_currentHandle) {
        m_currentHandle = dialog.handle;
        std::string error;
        if (m_withWindow && !m_window.open(contentOf(dialog), &error))
            std::fprintf(stderr, "vel-android-run: %s\n", error.c_str());
    }
    int buttonId = 0;
    if (m_window.isOpen() && m_window.pollAnswer(&buttonId)) {
        VelServicesControl::pressShowingDialogButton(buttonId);
        m_window.close();
    }
}
