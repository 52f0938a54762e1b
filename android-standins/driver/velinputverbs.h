#ifndef VELINPUTVERBS_H
#define VELINPUTVERBS_H

// Registers the input verbs of the launcher's script with VelInputScript:
//   wait MS                     idle for MS milliseconds
//   tap X Y                     a finger down and up at (X, Y)
//   longpress X Y               a finger held still until the view reports a long press
//   drag X1 Y1 X2 Y2 [STEPS]    a finger moved in STEPS moves (default 10)
//   key CODE [META]             a key given by its Android key code and meta bits
//   type TEXT                   TEXT typed key by key (on the soft keyboard while shown)
//   compose TEXT                TEXT becomes the soft keyboard's composing word
//   commit                      the composing word is committed
//   delete BEFORE AFTER         characters around the cursor are deleted
//   screenshot FILE             the surface as PNG, once it has settled
// Coordinates are surface pixels; compose, commit and delete wait a while
// for the app to show the soft keyboard.
void velRegisterInputVerbs();

#endif
