// A text field and a button: type into the field with the soft keyboard (the
// input method composes, commits and deletes through input-method events)
// or with keys, and touch the button. Every change is printed on stdout as
// "textedit: text=... cursor=... anchor=... preedit=..." and every press of
// the button as "textedit: button pressed N". Ctrl+C copies the field's text
// to the clipboard, Ctrl+V pastes at the cursor, and Back or Escape asks
// "Quit?" in a native message box.

#include "textfield.h"
#include "velexamplebackingstore.h"

#include "velclipboard.h"
#include "velcolor.h"
#include "velexposeevent.h"
#include "velfont.h"
#include "velguiapplication.h"
#include "velinputmethod.h"
#include "velkeyevent.h"
#include "velmessagebox.h"
#include "velpainter.h"
#include "velplatformbackingstore.h"
#include "velplatformintegration.h"
#include "velregion.h"
#include "veltouchevent.h"
#include "velwindow.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{

constexpr int margin = 16;
constexpr int fieldTop = 40;
constexpr int fieldHeight = 56;
constexpr int textPixelSize = 28;
constexpr int buttonTop = 128;
constexpr int buttonWidth = 220;
constexpr int buttonHeight = 64;

const VelColor background(235, 235, 235);
const VelColor fieldColor(255, 255, 255);
const VelColor ink(0, 0, 0);
const VelColor underlineColor(200, 0, 0);
const VelColor buttonIdle(30, 90, 200);
const VelColor buttonHeld(20, 50, 120);
const VelColor buttonDone(40, 160, 60);

void say(const std::string &line)
{
    std::printf("textedit: %s\n", line.c_str());
    std::fflush(stdout);
}

class TextEditWindow : public VelWindow
{
public:
    explicit TextEditWindow(TextField *field) : m_field(field)
    {
        setSurfaceType(RasterSurface);
        VelObject::connect(field, &TextField::changed, this, [this] {
            say(m_field->describe());
            render();
        });
    }

    VelRect fieldRect() const
    {
        return VelRect(margin, fieldTop, std::max(1, width() - 2 * margin), fieldHeight);
    }
    VelRect buttonRect() const { return VelRect(margin, buttonTop, buttonWidth, buttonHeight); }

protected:
    void exposeEvent(VelExposeEvent *) override
    {
        if (isExposed())
            render();
    }

    void touchEvent(VelTouchEvent *event) override
    {
        if (event->touchPoints().empty())
            return;
        const VelPointF at = event->touchPoints().front().pos;
        const VelPoint point(int(std::lround(at.x())), int(std::lround(at.y())));
        if (event->type() == VelEvent::TouchBegin) {
            m_buttonHeld = buttonRect().contains(point);
            if (fieldRect().contains(point))
                VelGuiApplication::inputMethod()->show();
        } else if (event->type() == VelEvent::TouchEnd) {
            if (m_buttonHeld && buttonRect().contains(point)) {
                ++m_presses;
                say("button pressed " + std::to_string(m_presses));
            }
            m_buttonHeld = false;
        }
        render();
    }

    void keyPressEvent(VelKeyEvent *event) override
    {
        const bool control = event->modifiers() & Vel::ControlModifier;
        if (control && event->key() == Vel::Key_C) {
            VelClipboard::instance()->setText(m_field->text());
            say("copied " + m_field->text().toStdString());
            return;
        }
        if (control && event->key() == Vel::Key_V) {
            const VelString pasted = VelClipboard::instance()->text();
            say("pasted " + pasted.toStdString());
            m_field->insert(pasted);
            return;
        }
        switch (event->key()) {
        case Vel::Key_Back:
        case Vel::Key_Escape:
            askQuit();
            break;
        case Vel::Key_Backspace:
            m_field->backspace();
            break;
        case Vel::Key_Left:
            m_field->moveCursor(-1);
            break;
        case Vel::Key_Right:
            m_field->moveCursor(1);
            break;
        case Vel::Key_Return:
            say("enter");
            break;
        default:
            if (!event->text().isEmpty() && event->text().at(0).unicode() >= 0x20)
                m_field->insert(event->text());
            break;
        }
    }

private:
    static void askQuit()
    {
        VelMessageBox box;
        box.setIcon(VelMessageDialogOptions::Question);
        box.setWindowTitle(VelString("Text edit"));
        box.setText(VelString("Quit?"));
        box.setStandardButtons(VelPlatformDialogHelper::Yes | VelPlatformDialogHelper::No);
        const bool quit = box.exec() == VelPlatformDialogHelper::Yes;
        say(quit ? "quit: yes" : "quit: no");
        if (quit)
            VelGuiApplication::quit();
    }

    void render()
    {
        if (!isExposed())
            return;
        m_store.render(
            this, [this](VelPaintDevice *device, const VelRect &rect) { paint(device, rect); });
    }

    void paint(VelPaintDevice *device, const VelRect &rect)
    {
        VelPainter painter(device);
        painter.fillRect(rect, background);
        paintField(painter);
        paintButton(painter);
        painter.end();
    }

    // The committed text with the preedit at the cursor, the preedit's
    // underline and the cursor bar.
    void paintField(VelPainter &painter)
    {
        const VelRect field = fieldRect();
        painter.fillRect(field, ink);
        painter.fillRect(field.adjusted(2, 2, -2, -2), fieldColor);
        VelFont font = painter.font();
        font.setPixelSize(textPixelSize);
        painter.setFont(font);
        painter.setPen(ink);

        const VelString &text = m_field->text();
        const VelString &preedit = m_field->preedit();
        const VelString before = text.left(m_field->cursor());
        const VelString after = text.mid(m_field->cursor());
        const double left = field.x() + 10;
        const int baseline = field.y() + field.height() / 2 + textPixelSize / 3;
        const double preeditX = left + VelPainter::horizontalAdvance(font, before);
        const double afterX = preeditX + VelPainter::horizontalAdvance(font, preedit);
        painter.drawText(VelPointF(left, baseline), before);
        painter.drawText(VelPointF(preeditX, baseline), preedit);
        painter.drawText(VelPointF(afterX, baseline), after);

        if (m_field->underlineLength() > 0) {
            const double from = preeditX + VelPainter::horizontalAdvance(
                                               font, preedit.left(m_field->underlineStart()));
            const double to =
                preeditX +
                VelPainter::horizontalAdvance(
                    font, preedit.left(m_field->underlineStart() + m_field->underlineLength()));
            painter.fillRect(int(from), baseline + 4, std::max(1, int(to - from)), 3,
                             underlineColor);
        }

        double cursorX = preeditX;
        if (!preedit.isEmpty() && m_field->preeditCursor() >= 0)
            cursorX += VelPainter::horizontalAdvance(font, preedit.left(m_field->preeditCursor()));
        const VelRect bar(int(cursorX), field.y() + 10, 2, field.height() - 20);
        if (preedit.isEmpty() || m_field->preeditCursor() >= 0)
            painter.fillRect(bar, ink);
        m_field->setCursorRectangle(VelRectF(bar.x(), bar.y(), bar.width(), bar.height()));
    }

    void paintButton(VelPainter &painter)
    {
        const VelRect button = buttonRect();
        const VelColor colour = m_buttonHeld ? buttonHeld : m_presses > 0 ? buttonDone : buttonIdle;
        painter.fillRect(button, colour);
        VelFont font = painter.font();
        font.setPixelSize(24);
        painter.setFont(font);
        painter.setPen(VelColor(255, 255, 255));
        const VelString label =
            m_presses > 0 ? VelString::fromStdString("Pressed " + std::to_string(m_presses))
                          : VelString("Press me");
        painter.drawText(button.x() + 16, button.y() + button.height() / 2 + 8, label);
    }

    TextField *m_field;
    VelExampleBackingStore m_store;
    bool m_buttonHeld = false;
    int m_presses = 0;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    // The "Quit?" box is the platform's own message box.
    ::setenv("VEL_USE_ANDROID_NATIVE_DIALOGS", "1", 0);
    VelGuiApplication app(argc, argv);
    TextField field;
    TextEditWindow window(&field);
    // The field has the focus from the start, so that the soft keyboard is
    // asked for before the first frame.
    VelGuiApplication::setFocusObject(&field);
    window.showFullScreen();
    VelInputMethod *inputMethod = VelGuiApplication::inputMethod();
    inputMethod->setInputItemRectangle(VelRectF(window.fieldRect()));
    inputMethod->show();
    say("ready " + field.describe());
    return app.exec();
}
