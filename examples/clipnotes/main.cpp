// Copy and paste through the Android clipboard, and a "Quit?" message box
// shown as a native dialog.
//
// The first argument that is not an option is copied to the clipboard at
// start; a tap pastes (shows what the clipboard holds now, copied in another
// program too), the C key copies a note, Back or Escape asks "Quit?".
// --ask-quit asks at once, for scripted runs:
//
//   vel-android-run --headless --dialog-answer yes
//       build/examples/libclipnotes.so "Grüße 😀" --ask-quit

#include "veltextwindow.h"

#include "velclipboard.h"
#include "velkeyevent.h"
#include "velmessagebox.h"
#include "velmetaobject.h"
#include "velmouseevent.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

void say(const char *what, const VelString &text)
{
    std::printf("clipnotes: %s: %s\n", what, text.toUtf8().constData());
    std::fflush(stdout);
}

class NotesWindow : public VelTextWindow
{
public:
    void paste()
    {
        const VelString text = VelClipboard::instance()->text();
        say("pasted", text);
        setLines({VelString("Clipboard:"), text, VelString(),
                  VelString("Tap: paste   C: copy a note   Back: quit")});
    }

    void copy(const VelString &text)
    {
        VelClipboard::instance()->setText(text);
        say("copied", text);
    }

    void askQuit()
    {
        VelMessageBox box;
        box.setIcon(VelMessageDialogOptions::Question);
        box.setWindowTitle(VelString("Clip notes"));
        box.setText(VelString("Quit?"));
        box.setStandardButtons(VelPlatformDialogHelper::Yes | VelPlatformDialogHelper::No);
        const uint answer = box.exec();
        const bool quit = answer == VelPlatformDialogHelper::Yes;
        say("quit answered", VelString(quit ? "yes" : box.wasShown() ? "no" : "not shown"));
        if (quit)
            VelGuiApplication::quit();
    }

protected:
    void mousePressEvent(VelMouseEvent *) override { paste(); }

    void keyPressEvent(VelKeyEvent *event) override
    {
        if (event->key() == Vel::Key_Back || event->key() == Vel::Key_Escape)
            askQuit();
        else if (event->key() == Vel::Key_C)
            copy(VelString("A note from clip notes"));
    }
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    // This app wants the platform's own message boxes.
    ::setenv("VEL_USE_ANDROID_NATIVE_DIALOGS", "1", 0);
    VelGuiApplication app(argc, argv);
    bool askQuit = false;
    NotesWindow window;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ask-quit") == 0)
            askQuit = true;
        else
            window.copy(VelString::fromUtf8(argv[i]));
    }
    window.paste();
    window.showFullScreen();
    if (askQuit)
        VelMetaObject::invokeMethod(
            &app, [&window] { window.askQuit(); }, Vel::QueuedConnection);
    return app.exec();
}
