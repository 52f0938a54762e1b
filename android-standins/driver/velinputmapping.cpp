#include "velinputmapping.h"

#include <X11/X.h>
#include <X11/keysym.h>

int velAndroidKeyCodeForKeysym(unsigned long keysym)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<int>(keysym - XK_a) + 29;
    if (keysym >= XK_A && keysym <= XK_Z)
        return static_cast<int>(keysym - XK_A) + 29;
    if (keysym >= XK_0 && keysym <= XK_9)
        return static_cast<int>(keysym - XK_0) + 7;
    switch (keysym) {
    case XK_Return:
    case XK_KP_Enter:
        return 66;
    case XK_BackSpace:
        return 67;
    case XK_space:
        return 62;
    case XK_Tab:
        return 61;
    case XK_Left:
        return 21;
    case XK_Right:
        return 22;
    case XK_Up:
        return 19;
    case XK_Down:
        return 20;
    case XK_Escape:
        return 111;
    case XK_Delete:
        return 112;
    case XK_Home:
        return 3;
    case XK_Menu:
        return 82;
    case XK_comma:
        return 55;
    case XK_period:
        return 56;
    case XK_minus:
        return 69;
    case XK_equal:
        return 70;
    case XK_slash:
        return 76;
    default:
        return 0;
    }
}

int velAndroidMetaForXState(unsigned int state)
{
    int meta = 0;
    if (state & ShiftMask)
        meta |= 0x1;
    if (state & Mod1Mask)
        meta |= 0x2;
    return meta;
}
