// The application the input tests start through the Java VM: a full-screen
// window "back", a small window "front" at (100, 50) of 80 x 60 on top of it,
// and an editor as the focus object.

#include "inputtestkit.h"

#include "velguiapplication.h"
#include "velpointer.h"

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    InputTestWindow back("back", 0x202020);
    back.showFullScreen();
    // Tests destroy these two; guarded so that main deletes only what is left.
    VelPointer<InputTestWindow> front = new InputTestWindow("front", 0x2060c0);
    front->setGeometry(100, 50, 80, 60);
    front->show();
    VelPointer<InputTestEditor> editor = new InputTestEditor;
    VelGuiApplication::setFocusObject(editor);
    InputTestApp::publish(editor, &back, front);

    const int result = app.exec();
    InputTestApp::publish(nullptr, nullptr, nullptr);
    delete editor.data();
    delete front.data();
    return result;
}
