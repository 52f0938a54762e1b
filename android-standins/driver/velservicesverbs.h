#ifndef VELSERVICESVERBS_H
#define VELSERVICESVERBS_H

// Registers the services verbs of the launcher's script with VelInputScript:
//   dialog BUTTON        answers the message dialog showing now (waiting a
//                        while for one to appear) with a button's label or
//                        standard name in any case, its id, or "dismiss"
//   clipboard-set TEXT   the clipboard holds TEXT, as if copied in another app
//   clipboard-print      prints what the clipboard holds ("clipboard: TEXT")
//   locale TAG           the configuration's locale becomes TAG (de_CH) and
//                        the app is paused and resumed, as Android does
void velRegisterServicesVerbs();

#endif
