#ifndef VELDIALOGPRESENTER_H
#define VELDIALOGPRESENTER_H

#include "velmessagedialogwindow.h"

// Shows the Java half's message dialogs to a person on a live display (the
// Java side prints each one on standard output as it is shown): each new
// dialog gets a window whose buttons answer it. Polled from the launcher's
// loop (a Java thread).
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
