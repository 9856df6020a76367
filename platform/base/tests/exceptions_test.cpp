#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

namespace dcs {

TEST(Exceptions, CatchSitesTestByClass)
{
    try {
        throw EFOpenError("Cannot open file \"x\"");
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"x\"");
        EXPECT_STREQ(e.what(), "Cannot open file \"x\"");
    }
    EXPECT_THROW(throw ERangeError("Index out of range = 3"), EIntError);
    EXPECT_THROW(throw EIntfCastError("Interface not supported"), EInvalidCast);
    EXPECT_THROW(throw EReadError("Invalid property value"), EStreamError);
}

TEST(Exceptions, ExtendedPrecisionIsX87)
{
    // 1 + 2^-63 is representable only with a 64-bit significand.
    volatile long double one = 1.0L;
    long double tiny = 1.0L / 9223372036854775808.0L;
    EXPECT_NE(one + tiny, one);
    EXPECT_EQ(sizeof(long double) >= 10, true);
}

}  // namespace dcs
