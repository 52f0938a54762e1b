// Numbers, dates and money in the system locale: the locale the Android
// configuration names (vel-android-run --locale de_CH), shown in a window and
// printed, and shown again whenever the system locale changes.
//
//   vel-android-run --headless --locale de_CH build/examples/liblocale.so --once
//
// With --confirm-changes each change is also announced in a message box
// ("Locale changed to fr_CH"), which a script can wait for and answer.

#include "veltextwindow.h"

#include "velcoreevent.h"
#include "veldate.h"
#include "veldatetime.h"
#include "vellocale.h"
#include "velmessagebox.h"
#include "veltime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

std::vector<VelString> describe(const VelLocale &locale)
{
    const VelDate date(2026, 3, 14);
    const VelTime time(15, 9, 26);
    return {
        VelString("Locale: ") + locale.name(),
        VelString("Number: ") + locale.toString(1234567.891, 'f', 2),
        VelString("Integer: ") + locale.toString(-9876543LL),
        VelString("Date: ") + locale.toString(date, VelLocale::LongFormat),
        VelString("Short date: ") + locale.toString(date, VelLocale::ShortFormat),
        VelString("Time: ") + locale.toString(time, VelLocale::ShortFormat),
        VelString("Money: ") + locale.toCurrencyString(1234.5),
        VelString("Currency: ") + locale.currencySymbol(VelLocale::CurrencyIsoCode),
    };
}

void print(const std::vector<VelString> &lines)
{
    for (const VelString &line : lines)
        std::printf("locale: %s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Shows the locale again when the platform announces a change.
class LocaleWatcher : public VelObject
{
public:
    LocaleWatcher(VelTextWindow *window, bool confirm) : m_window(window), m_confirm(confirm) {}

    void show()
    {
        const std::vector<VelString> lines = describe(VelLocale::system());
        print(lines);
        m_window->setLines(lines);
    }

    bool eventFilter(VelObject *, VelEvent *event) override
    {
        if (event->type() == VelEvent::LocaleChange) {
            show();
            if (m_confirm)
                confirm();
        }
        return false;
    }

private:
    static void confirm()
    {
        VelMessageBox box;
        box.setIcon(VelMessageDialogOptions::Information);
        box.setText(VelString("Locale changed to ") + VelLocale::system().name());
        box.setStandardButtons(VelPlatformDialogHelper::Ok);
        box.exec();
    }

    VelTextWindow *m_window;
    bool m_confirm;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    // Changes are confirmed in the platform's own message box.
    ::setenv("VEL_USE_ANDROID_NATIVE_DIALOGS", "1", 0);
    VelGuiApplication app(argc, argv);
    bool once = false;
    bool confirmChanges = false;
    for (int i = 1; i < argc; ++i) {
        once = once || std::strcmp(argv[i], "--once") == 0;
        confirmChanges = confirmChanges || std::strcmp(argv[i], "--confirm-changes") == 0;
    }
    VelTextWindow window;
    LocaleWatcher watcher(&window, confirmChanges);
    watcher.show();
    if (once)
        return 0;
    app.installEventFilter(&watcher);
    window.showFullScreen();
    return app.exec();
}
