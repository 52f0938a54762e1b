#ifndef VELMENUPRESENTERCLIENT_H
#define VELMENUPRESENTERCLIENT_H

#include <string>
#include <vector>

class VelAndroidDriver;

// The launcher's hold on the Java menu presenter (VelMenuPresenter): serving
// the plugin's requests for context menus, opening the options menu and
// choosing an item by its title. Every call is made on the launcher's UI
// thread. The results describe menus in the presenter's words: a line for
// the menu ("options menu", "context menu \"Title\"") and a line per item.
class VelMenuPresenterClient
{
public:
    explicit VelMenuPresenterClient(VelAndroidDriver *driver) : m_driver(driver) {}

    // The menus shown or closed for the requests made since the last call.
    std::vector<std::string> processRequests();
    // The options menu shown; false when the app has none (or Java failed).
    bool openOptionsMenu(std::string *description);
    // Chooses the item so titled in the shown context menu, else in the shown
    // options menu; false when no shown menu holds it.
    bool choose(const std::string &title, std::string *outcome);
    // Closes the shown context menu, else the options menu; false for none.
    bool dismiss(std::string *outcome);
    // The titles of the items of the menu a choice goes to, in order.
    std::vector<std::string> shownTitles();
    // The same rows as a person sees them: checkable items with their state.
    std::vector<std::string> shownLabels();

    const std::string &lastError() const { return m_lastError; }

private:
    std::vector<std::string> shownLines(const char *method);
    bool callString(const char *name, const char *signature, const std::string *argument,
                    std::string *result);

    VelAndroidDriver *m_driver;
    std::string m_lastError;
};

// Prints a menu report on standard output, each line after the launcher's
// name, and flushes it.
void velPrintMenuReport(const std::string &text);

#endif
