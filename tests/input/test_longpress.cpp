// Long presses as right clicks, with VEL_MORVANE_COMPATIBILITY_LONG_PRESS=1
// set in this process before its first long press (the flag is read once).

#include "inputsession.h"

#include "velcoreapplication.h"

#include <cstdlib>

namespace
{

TEST(LongPressTest, LongPressBecomesARightClickAndSwallowsMovesUntilRelease)
{
    // Read by the first long press of the process, which comes below.
    ::setenv("VEL_MORVANE_COMPATIBILITY_LONG_PRESS", "1", 1);
    InputSession session;
    session.start(480, 800);
    TouchInput touch(session.driver());
    VelAndroidDriver &driver = session.driver();
    deliveredSinceLast();

    ASSERT_TRUE(driver.mouseDown(20, 20));
    touch.longPress(20, 20);
    ASSERT_TRUE(driver.mouseMove(40, 40));
    ASSERT_TRUE(driver.mouseDown(40, 40));
    ASSERT_TRUE(driver.mouseUp(30, 30));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "mouse back press buttons=1 local=(20,20) global=(20,20)\n"
              "mouse back release buttons=0 local=(20,20) global=(20,20)\n"
              "mouse back press buttons=2 local=(20,20) global=(20,20)\n"
              "mouse back release buttons=0 local=(30,30) global=(30,30)\n");

    // Released: moves arrive again.
    ASSERT_TRUE(driver.mouseDown(110, 60));
    ASSERT_TRUE(driver.mouseMove(111, 61));
    ASSERT_TRUE(driver.mouseUp(111, 61));
    EXPECT_EQ(joined(deliveredSinceLast()),
              "mouse front press buttons=1 local=(10,10) global=(110,60)\n"
              "mouse front move buttons=1 local=(11,11) global=(111,61)\n"
              "mouse front release buttons=0 local=(11,11) global=(111,61)\n");

    session.quitApplication();
}

} // namespace
