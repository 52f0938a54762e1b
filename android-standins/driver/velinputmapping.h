#ifndef VELINPUTMAPPING_H
#define VELINPUTMAPPING_H

// Desktop keys as Android key events, for forwarding a window's keyboard.

// The Android key code of an X11 keysym; 0 (unknown) for keys a phone has no
// code for here.
int velAndroidKeyCodeForKeysym(unsigned long keysym);

// Android meta bits (0x1 Shift, 0x2 Alt) of an X11 modifier state.
int velAndroidMetaForXState(unsigned int state);

#endif
