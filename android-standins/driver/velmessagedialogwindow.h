#ifndef VELMESSAGEDIALOGWINDOW_H
#define VELMESSAGEDIALOGWINDOW_H

#include <string>
#include <vector>

typedef struct _XDisplay Display;
typedef struct _XGC *GC;

// The message dialog of the Java half on a live display: a small X11 window
// with the title, the texts and one button per answer. A person answers by
// clicking a button (or closing the window, which dismisses the dialog).
class VelMessageDialogWindow
{
public:
    struct Content {
        std::string title;
        std::vector<std::string> lines;
        std::vector<int> buttonIds;
        std::vector<std::string> buttonLabels;
    };

    VelMessageDialogWindow() = default;
    ~VelMessageDialogWindow();
    VelMessageDialogWindow(const VelMessageDialogWindow &) = delete;
    VelMessageDialogWindow &operator=(const VelMessageDialogWindow &) = delete;

    bool open(const Content &content, std::string *error);
    void close();
    bool isOpen() const { return m_window != 0; }

    // Handles the pending events without blocking. True with the button id
    // (-1: closed without a button) once the person answered.
    bool pollAnswer(int *buttonId);

private:
    struct Button {
        int id;
        std::string label;
        int x, y, width, height;
    };
    void layOut();
    void paint();

    Content m_content;
    std::vector<Button> m_buttons;
    Display *m_display = nullptr;
    unsigned long m_window = 0;
    unsigned long m_deleteAtom = 0;
    GC m_gc = nullptr;
    void *m_font = nullptr; // the XFontStruct of the core font
    int m_width = 0;
    int m_height = 0;
};

#endif
