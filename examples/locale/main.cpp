// Numbers, dates and money in the system locale: the locale the Android
// configuration names (vel-android-run --locale de_CH), shown in a window and
// printed, and shown again whenever the system locale changes.
//
//   vel-android-run --headless --locale de_CH build/examples/liblocale.so --once

#include "veltextwindow.h"

#include "velcoreevent.h"
#include "veldate.h"
#include "veldatetime.h"
#include "vellocale.h"
#include "veltime.h"

#include <cstdio>
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
    explicit LocaleWatcher(VelTextWindow *window) : m_window(window) {}

    void show()
    {
        const std::vector<VelString> lines = describe(VelLocale::system());
        print(lines);
        m_window->setLines(lines);
    }

    bool eventFilter(VelObject *, VelEvent *event) override
    {
        if (event->type() == VelEvent::LocaleChange)
            show();
        return false;
    }

private:
    VelTextWindow *m_window;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int main(int argc, char **argv)
{
    VelGuiApplication app(argc, argv);
    const bool once = argc > 1 && std::strcmp(argv[argc - 1], "--once") == 0;
    VelTextWindow window;
    LocaleWatcher watcher(&window);
    watcher.show();
    if (once)
        return 0;
    app.installEventFilter(&watcher);
    window.showFullScreen();
    return app.exec();
}
