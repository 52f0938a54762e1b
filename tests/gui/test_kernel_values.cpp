// The GUI kernel's small value classes: key sequences, character formats, cursors and
// input-method events.

#include "velcursor.h"
#include "velinputmethodevent.h"
#include "velkeyevent.h"
#include "velkeysequence.h"
#include "veltextcharformat.h"

#include <gtest/gtest.h>

namespace
{

TEST(KeySequence, ParsesAndPrintsCombinations)
{
    const VelKeySequence save(VelString("Ctrl+S"));
    ASSERT_EQ(save.count(), 1);
    EXPECT_EQ(save[0], int(Vel::ControlModifier) | Vel::Key_S);
    EXPECT_EQ(save.toString(), VelString("Ctrl+S"));

    const VelKeySequence two(VelString("ctrl+shift+f5, Alt+Q"));
    ASSERT_EQ(two.count(), 2);
    EXPECT_EQ(two[0], int(Vel::ControlModifier | Vel::ShiftModifier) | Vel::Key_F5);
    EXPECT_EQ(two[1], int(Vel::AltModifier) | Vel::Key_Q);
    // Modifiers are written in a fixed order whatever order they were typed in.
    EXPECT_EQ(two.toString(), VelString("Ctrl+Shift+F5, Alt+Q"));

    const VelKeySequence plus(VelString("Ctrl++"));
    ASSERT_EQ(plus.count(), 1);
    EXPECT_EQ(plus[0], int(Vel::ControlModifier) | Vel::Key_Plus);
}

TEST(KeySequence, RejectsWhatItCannotRead)
{
    EXPECT_TRUE(VelKeySequence(VelString("Hyper+X")).isEmpty());
    EXPECT_TRUE(VelKeySequence(VelString("Ctrl+Nothing")).isEmpty());
    EXPECT_TRUE(VelKeySequence(VelString("A,B,C,D,E")).isEmpty()) << "more than four steps";
    EXPECT_TRUE(VelKeySequence(VelString("")).isEmpty());
    EXPECT_EQ(VelKeySequence(VelString("F36")).count(), 0);
    EXPECT_EQ(VelKeySequence()[7], 0) << "out of range reads as no key";
    EXPECT_EQ(VelKeySequence(Vel::Key_A, Vel::Key_B), VelKeySequence(VelString("A, B")));
}

TEST(TextCharFormat, UnderlineIsTheUnderlineStyleProperty)
{
    VelTextCharFormat format;
    EXPECT_TRUE(format.isEmpty());
    EXPECT_FALSE(format.fontUnderline());

    format.setFontUnderline(true);
    EXPECT_EQ(format.property(0x2023).toInt(), 1);
    EXPECT_EQ(format.underlineStyle(), VelTextCharFormat::SingleUnderline);

    format.setUnderlineStyle(VelTextCharFormat::WaveUnderline);
    EXPECT_TRUE(format.fontUnderline());
    format.setFontUnderline(false);
    EXPECT_EQ(format.property(0x2023).toInt(), 0);

    // Setting an invalid value clears the property: cleared and never-set compare equal.
    VelTextCharFormat other;
    format.setProperty(0x2023, VelVariant());
    EXPECT_FALSE(format.hasProperty(0x2023));
    EXPECT_EQ(format, other);
}

TEST(TextCharFormat, TravelsInsideAVariantByValue)
{
    VelTextCharFormat format;
    format.setFontUnderline(true);
    const VelVariant variant = VelVariant::fromValue(format);
    VelTextCharFormat changed = format;
    changed.setUnderlineStyle(VelTextCharFormat::DotLine);
    EXPECT_EQ(variant.value<VelTextCharFormat>(), format);
    EXPECT_NE(variant.value<VelTextCharFormat>(), changed);
    EXPECT_EQ(variant, VelVariant::fromValue(format));
}

TEST(InputMethodEvent, CommitStringKeepsANegativeStartButNoNegativeLength)
{
    VelInputMethodEvent event;
    EXPECT_EQ(event.type(), VelEvent::InputMethod);
    event.setCommitString(VelString("x"), -3, 2);
    EXPECT_EQ(event.replacementStart(), -3);
    EXPECT_EQ(event.replacementLength(), 2);
    event.setCommitString(VelString("y"), 1, -5);
    EXPECT_EQ(event.replacementLength(), 0);
    EXPECT_TRUE(event.preeditString().isEmpty());
}

TEST(KeyEvent, NativeCodesAreKeptOnlyWhenGiven)
{
    const VelKeyEvent native(VelEvent::KeyPress, Vel::Key_A, Vel::ShiftModifier, 38, 65, 1,
                             VelString("A"), true, 3);
    EXPECT_EQ(native.nativeScanCode(), 38u);
    EXPECT_EQ(native.nativeVirtualKey(), 65u);
    EXPECT_EQ(native.nativeModifiers(), 1u);
    EXPECT_TRUE(native.isAutoRepeat());
    EXPECT_EQ(native.count(), 3);

    // A replay copy made from the public fields carries no native codes.
    const VelKeyEvent replay(native.type(), native.key(), native.modifiers(), native.text(),
                             native.isAutoRepeat(), ushort(native.count()));
    EXPECT_EQ(replay.nativeScanCode(), 0u);
    EXPECT_EQ(replay.text(), VelString("A"));
    EXPECT_EQ(replay.modifiers(), Vel::KeyboardModifiers(Vel::ShiftModifier));
}

TEST(Cursor, ShapesOutsideTheTableBecomeTheArrow)
{
    EXPECT_EQ(VelCursor().shape(), Vel::ArrowCursor);
    EXPECT_EQ(VelCursor(Vel::ClosedHandCursor).shape(), Vel::ClosedHandCursor);
    EXPECT_EQ(VelCursor(Vel::CursorShape(22)).shape(), Vel::ArrowCursor);
    // A bitmap shape needs a bitmap.
    EXPECT_EQ(VelCursor(Vel::BitmapCursor).shape(), Vel::ArrowCursor);

    const VelCursor bitmap(VelPixmap(16, 8));
    EXPECT_EQ(bitmap.shape(), Vel::BitmapCursor);
    EXPECT_EQ(bitmap.hotSpot(), VelPoint(8, 4)) << "no hot spot given: the centre";
    EXPECT_EQ(VelCursor(VelPixmap(16, 8), 1, 2).hotSpot(), VelPoint(1, 2));
}

} // namespace
