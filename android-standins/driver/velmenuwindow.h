#ifndef VELMENUWINDOW_H
#define VELMENUWINDOW_H

#include <string>
#include <vector>

typedef struct _XDisplay Display;
typedef struct _XGC *GC;

// The menu the Java half shows, on a live display: a small X11 window with
// one row per item. A person chooses an item by clicking its row, or closes
// the window to dismiss the menu.
class VelMenuWindow
{
public:
    VelMenuWindow() = default;
    ~VelMenuWindow();
    VelMenuWindow(const VelMenuWindow &) = delete;
    VelMenuWindow &operator=(const VelMenuWindow &) = delete;

    // Shows one row per title, drawn as its label (a checkable item's state
    // with its title), replacing what was shown; false with a reason when the
    // display cannot be used. A click answers with the row's title.
    bool show(const std::vector<std::string> &titles, const std::vector<std::string> &labels,
              std::string *error);
    void close();
    bool isOpen() const { return m_window != 0; }
    const std::vector<std::string> &titles() const { return m_titles; }
    const std::vector<std::string> &labels() const { return m_labels; }

    enum class Answer { Nothing, Chosen, Dismissed };
    // Handles the pending events without blocking; with Chosen, the title.
    Answer poll(std::string *title);

private:
    void paint();

    std::vector<std::string> m_titles;
    std::vector<std::string> m_labels; // as many as m_titles
    Display *m_display = nullptr;
    unsigned long m_window = 0;
    unsigned long m_deleteAtom = 0;
    GC m_gc = nullptr;
    void *m_font = nullptr; // the XFontStruct of the core font
    int m_rowHeight = 0;
};

#endif
