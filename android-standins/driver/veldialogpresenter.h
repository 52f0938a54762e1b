#ifndef VELDIALOGPRESENTER_H
#define VELDIALOGPRESENTER_H

#include "velmessagedialogwindow.h"

// Shows the Java half's message dialogs to a person: each new dialog is
// printed on standard output, and on a live display it also gets a window
// whose buttons answer it. Polled from the launcher's loop (a Java thread).
class VelDialogPresenter
{
public:
    explicit VelDialogPresenter(bool withWindow) : m_withWindow(withWindow) {}

    void poll();

private:
    bool m_withWindow;
    VelMessageDialogWindow m_window;
    long long m_currentHandle = 0; // the dialog shown now; 0: none
};

#endif
