#include "velinputmapping.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace
{
// X11 modifier masks (X.h is not included: its None macro breaks gtest).
constexpr unsigned int ShiftMask = 1u << 0;
constexpr unsigned int ControlMask = 1u << 2;
constexpr unsigned int Mod1Mask = 1u << 3;
} // namespace

TEST(InputMapping, LettersAndDigitsMapOntoAndroidsRuns)
{
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_a), 29);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_z), 54);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_A), 29) << "shifted letters are the same key";
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_Z), 54);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_0), 7);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_9), 16);
}

TEST(InputMapping, EditingAndNavigationKeys)
{
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_Return), 66);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_KP_Enter), 66);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_BackSpace), 67);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_Delete), 112);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_Left), 21);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_Up), 19);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_Escape), 111);
}

TEST(InputMapping, KeysWithoutACodeGiveZero)
{
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_F1), 0);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(XK_Control_L), 0);
    EXPECT_EQ(velAndroidKeyCodeForKeysym(0), 0);
}

TEST(InputMapping, ShiftAndAltBecomeMetaBitsAndControlIsDropped)
{
    EXPECT_EQ(velAndroidMetaForXState(0), 0);
    EXPECT_EQ(velAndroidMetaForXState(ShiftMask), 0x1);
    EXPECT_EQ(velAndroidMetaForXState(Mod1Mask), 0x2);
    EXPECT_EQ(velAndroidMetaForXState(ShiftMask | Mod1Mask | ControlMask), 0x3);
}
