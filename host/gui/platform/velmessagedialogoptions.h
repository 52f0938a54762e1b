#ifndef VELMESSAGEDIALOGOPTIONS_H
#define VELMESSAGEDIALOGOPTIONS_H

#include "velglobal.h"
#include "velstring.h"

// What a message dialog shows: a value the framework fills and a platform
// message-dialog helper reads.
class VelMessageDialogOptions
{
public:
    // Numbers are exchanged with platform dialogs.
    enum Icon { NoIcon = 0, Information = 1, Warning = 2, Critical = 3, Question = 4 };

    Icon icon() const { return m_icon; }
    void setIcon(Icon icon) { m_icon = icon; }

    VelString windowTitle() const { return m_windowTitle; }
    void setWindowTitle(const VelString &title) { m_windowTitle = title; }

    VelString text() const { return m_text; }
    void setText(const VelString &text) { m_text = text; }

    VelString informativeText() const { return m_informativeText; }
    void setInformativeText(const VelString &text) { m_informativeText = text; }

    VelString detailedText() const { return m_detailedText; }
    void setDetailedText(const VelString &text) { m_detailedText = text; }

    // A set of VelPlatformDialogHelper::StandardButton bits.
    uint standardButtons() const { return m_standardButtons; }
    void setStandardButtons(uint buttons) { m_standardButtons = buttons; }

private:
    Icon m_icon = NoIcon;
    VelString m_windowTitle;
    VelString m_text;
    VelString m_informativeText;
    VelString m_detailedText;
    uint m_standardButtons = 0;
};

#endif
