// A window with a menu bar and a pop-up menu. The bar (File with Open, a
// separator, a checkable "Word wrap" and a "Recent" submenu; Edit with Copy
// and Paste) is the Android options menu; a long press (or a right click)
// pops up a menu with Cut, Copy and Select all. Every chosen action is
// printed on stdout as "menus: chose MENU > ACTION" (a checkable one with
// "(checked)" or "(unchecked)") and shown in the window.

#include "velaction.h"
#include "velcolor.h"
#include "velexposeevent.h"
#include "velfont.h"
#include "velguiapplication.h"
#include "velmenu.h"
#include "velmenubar.h"
#include "velmouseevent.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "veltimer.h"
#include "velwindow.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{

// A finger held this long without moving pops the menu up.
constexpr int longPressMs = 400;
constexpr int slop = 8;

void say(const std::string &line)
{
    std::printf("menus: %s\n", line.c_str());
    std::fflush(stdout);
}

class MenusWindow : public VelWindow
{
public:
    MenusWindow()
    {
        setSurfaceType(RasterSurface);
        m_longPress.setSingleShot(true);
        VelObject::connect(&m_longPress, &VelTimer::timeout, this, [this] {
            m_poppedForPress = true;
            popUp(m_pressPos);
        });
    }

    void setPopupMenu(VelMenu *menu) { m_popup = menu; }

    void show(const std::string &line)
    {
        m_lastAction = line;
        render();
    }

protected:
    void exposeEvent(VelExposeEvent *) override
    {
        if (isExposed())
            render();
    }

    void mousePressEvent(VelMouseEvent *event) override
    {
        if (event->button() == Vel::RightButton) {
            m_longPress.stop();
            // A long press the platform turns into a right click comes after
            // the finger was already held long enough here: one menu for it.
            if (!m_poppedForPress)
                popUp(event->pos());
            m_poppedForPress = true;
            return;
        }
        m_pressPos = event->pos();
        m_poppedForPress = false;
        m_longPress.start(longPressMs);
    }

    void mouseMoveEvent(VelMouseEvent *event) override
    {
        const VelPoint moved = event->pos() - m_pressPos;
        if (std::abs(moved.x()) > slop || std::abs(moved.y()) > slop)
            m_longPress.stop();
    }

    void mouseReleaseEvent(VelMouseEvent *) override { m_longPress.stop(); }

private:
    void popUp(const VelPoint &pos)
    {
        if (m_popup)
            m_popup->popup(this, mapToGlobal(pos));
    }

    void render()
    {
        const VelRect rect(VelPoint(0, 0), geometry().size());
        if (rect.isEmpty() || !handle() || !isExposed())
            return;
        if (!m_store)
            m_store.reset(
                VelGuiApplication::platformIntegration()->createPlatformBackingStore(this));
        if (m_storeSize != rect.size()) {
            m_store->resize(rect.size(), VelRegion());
            m_storeSize = rect.size();
        }
        m_store->beginPaint(VelRegion(rect));
        {
            VelPainter painter(m_store->paintDevice());
            painter.fillRect(0, 0, rect.width(), rect.height(), VelColor(250, 245, 230));
            painter.fillRect(0, 0, rect.width(), 64, VelColor(60, 90, 160));
            VelFont font = painter.font();
            font.setPixelSize(24);
            painter.setFont(font);
            painter.setPen(VelColor(255, 255, 255));
            painter.drawText(16, 42, VelString("Menu key: options; long press: pop-up"));
            painter.setPen(VelColor(0, 0, 0));
            painter.drawText(
                16, 120,
                VelString::fromStdString(
                    "Last: " + (m_lastAction.empty() ? std::string("(none)") : m_lastAction)));
        }
        m_store->endPaint();
        m_store->flush(this, VelRegion(rect), VelPoint());
    }

    VelMenu *m_popup = nullptr;
    VelTimer m_longPress;
    VelPoint m_pressPos;
    bool m_poppedForPress = false;
    std::string m_lastAction;
    std::unique_ptr<VelPlatformBackingStore> m_store;
    VelSize m_storeSize;
};

// A menu text as a person reads it: "&&" is an ampersand, other ampersands
// only mark the mnemonic.
std::string plain(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && ++i == text.size())
            break;
        out += text[i];
    }
    return out;
}

// Reports every action the menu triggers.
void report(VelMenu *menu, const std::string &path, MenusWindow *window)
{
    VelObject::connect(menu, &VelMenu::triggered, window, [path, window](VelAction *action) {
        std::string line = "chose " + path + " > " + plain(action->text().toStdString());
        if (action->isCheckable())
            line += action->isChecked() ? " (checked)" : " (unchecked)";
        say(line);
        window->show(line);
    });
}

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    MenusWindow window;

    VelMenuBar menuBar;
    VelMenu *file = menuBar.addMenu(VelString("&File"));
    file->addAction(VelString("&Open"));
    file->addSeparator();
    VelAction *wrap = file->addAction(VelString("&Word wrap"));
    wrap->setCheckable(true);
    VelMenu *recent = file->addMenu(VelString("&Recent"));
    recent->addAction(VelString("notes.txt"));
    recent->addAction(VelString("todo.txt"));
    VelMenu *edit = menuBar.addMenu(VelString("&Edit"));
    edit->addAction(VelString("&Copy"));
    edit->addAction(VelString("&Paste"));
    report(file, "File", &window);
    report(recent, "File > Recent", &window);
    report(edit, "Edit", &window);

    VelMenu popup(VelString("Text"));
    popup.addAction(VelString("Cu&t"));
    popup.addAction(VelString("&Copy"));
    popup.addAction(VelString("Select &all"));
    report(&popup, "Text", &window);
    window.setPopupMenu(&popup);

    menuBar.setWindow(&window);
    window.showFullScreen();
    say("ready");
    return app.exec();
}
