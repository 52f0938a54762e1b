#ifndef VELMENUVERBS_H
#define VELMENUVERBS_H

// Registers the menu verbs of the launcher's script with VelInputScript:
//   menu          opens the options menu (as the Menu key does) and prints it
//   choose TITLE  chooses the item titled TITLE in the shown context menu,
//                 else in the shown options menu, waiting a while for a
//                 context menu the app is about to pop up
// The menus shown are printed on standard output.
void velRegisterMenuVerbs();

#endif
