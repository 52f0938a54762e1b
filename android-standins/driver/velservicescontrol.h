#ifndef VELSERVICESCONTROL_H
#define VELSERVICESCONTROL_H

#include <string>
#include <vector>

class VelAndroidDriver;

// What the launcher does to the Java half's services: the configuration's
// locale, message dialogs and the process's clipboard. Strings are UTF-8.
// Every call answers false (with *error set when given) when the VM is
// missing or Java refused; no Java exception is left pending.
namespace VelServicesControl
{

// Sets the locale of the activity's configuration ("de_CH", "de-CH", "de").
bool setLocale(const std::string &tag, std::string *error = nullptr);
// Sets it while the app runs and lets the app know: Android pauses and
// resumes an activity whose configuration changed.
bool changeLocale(VelAndroidDriver &driver, const std::string &tag, std::string *error = nullptr);
std::string locale();

// Every message dialog shown from now on is answered with this choice (a
// button's label or standard name in any case, its id, or "dismiss").
bool setDialogAutoAnswer(const std::string &choice);
// Answers the dialog showing now; false when none shows or it has no such button.
bool answerShowingDialog(const std::string &choice);

struct Dialog {
    long long handle = 0; // what the plugin gave show()
    std::string title;
    std::string text;
    std::string informativeText;
    std::string detailedText;
    std::vector<int> buttonIds;
    std::vector<std::string> buttonLabels;
};
// The dialog showing now; false when there is none.
bool showingDialog(Dialog *dialog);
// What a person pressing that button (or dismissing with -1) does.
bool pressShowingDialogButton(int buttonId);

// The process's clipboard, which every app of the VM shares.
bool setClipboardText(const std::string &text);
// False when the clipboard holds no text.
bool clipboardText(std::string *text);

} // namespace VelServicesControl

#endif
