#include "velenvironment.h"

#include <gtest/gtest.h>

namespace
{

constexpr const char *kVar = "VEL_VALUES_TEST_VARIABLE";

int intValue(const char *text, bool *ok)
{
    velputenv(kVar, VelByteArray(text));
    return velEnvironmentVariableIntValue(kVar, ok);
}

TEST(VelEnvironmentTest, IntValueNeedsTheWholeText)
{
    bool ok = false;
    EXPECT_EQ(intValue("12", &ok), 12);
    EXPECT_TRUE(ok);
    EXPECT_EQ(intValue(" -7 ", &ok), -7);
    EXPECT_TRUE(ok);
    EXPECT_EQ(intValue("+3", &ok), 3);
    EXPECT_TRUE(ok);
    EXPECT_EQ(intValue("12abc", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(intValue("abc", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(intValue("", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(intValue("1 2", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(intValue("- 5", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(intValue("0x10", &ok), 0); // decimal only
    EXPECT_FALSE(ok);
    EXPECT_EQ(intValue("2147483648", &ok), 0); // does not fit an int
    EXPECT_FALSE(ok);
    EXPECT_EQ(intValue("-2147483648", &ok), -2147483647 - 1);
    EXPECT_TRUE(ok);
    velunsetenv(kVar);
    ok = true;
    EXPECT_EQ(velEnvironmentVariableIntValue(kVar, &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(velEnvironmentVariableIntValue(kVar), 0); // ok may be null
}

TEST(VelEnvironmentTest, SetEmptyAndUnset)
{
    velunsetenv(kVar);
    EXPECT_FALSE(velEnvironmentVariableIsSet(kVar));
    EXPECT_TRUE(velEnvironmentVariableIsEmpty(kVar));
    EXPECT_TRUE(velgetenv(kVar).isEmpty());

    ASSERT_TRUE(velputenv(kVar, VelByteArray()));
    EXPECT_TRUE(velEnvironmentVariableIsSet(kVar)); // set, though empty
    EXPECT_TRUE(velEnvironmentVariableIsEmpty(kVar));

    ASSERT_TRUE(velputenv(kVar, VelByteArray("a=b c")));
    EXPECT_EQ(velgetenv(kVar), VelByteArray("a=b c"));
    EXPECT_FALSE(velEnvironmentVariableIsEmpty(kVar));
    EXPECT_TRUE(velunsetenv(kVar));
    EXPECT_FALSE(velEnvironmentVariableIsSet(kVar));

    EXPECT_FALSE(velputenv("BAD=NAME", VelByteArray("x"))); // '=' is not allowed in a name
}

} // namespace
