// The 16-bit conversion of the port and idle settings, and the counter texts.
#include "session/NumberText.h"

#include <gtest/gtest.h>

TEST(NumberText, SixteenBitConversionRoundsHalfToEvenWithinRange)
{
    EXPECT_EQ(ToInt16(QStringLiteral(" 21 ")), qint16(21));
    EXPECT_EQ(ToInt16(QStringLiteral("2.5")), qint16(2));
    EXPECT_EQ(ToInt16(QStringLiteral("3.5")), qint16(4));
    EXPECT_EQ(ToInt16(QStringLiteral("-2.5")), qint16(-2));
    EXPECT_EQ(ToInt16(QStringLiteral("2.51")), qint16(3));
    EXPECT_EQ(ToInt16(QStringLiteral("32767.4")), qint16(32767));
    EXPECT_EQ(ToInt16(QStringLiteral("-32768.5")), qint16(-32768));
    EXPECT_FALSE(ToInt16(QStringLiteral("32767.5")));
    EXPECT_FALSE(ToInt16(QStringLiteral("40000")));
    EXPECT_FALSE(ToInt16(QStringLiteral("-32769")));
    EXPECT_FALSE(ToInt16(QStringLiteral("abc")));
    EXPECT_FALSE(ToInt16(QStringLiteral("")));
    EXPECT_FALSE(ToInt16(QStringLiteral("21x")));
    EXPECT_FALSE(ToInt16(QStringLiteral("inf")));
}

TEST(NumberText, CountersKeepSixtyFourBitsAndRoundFractions)
{
    EXPECT_EQ(ParseCounter(QStringLiteral(" 3221225472 ")), Q_INT64_C(3221225472));
    EXPECT_EQ(ParseCounter(QStringLiteral("9223372036854775807")), Q_INT64_C(9223372036854775807));
    EXPECT_EQ(ParseCounter(QStringLiteral("1.5E+15")), Q_INT64_C(1500000000000000));
    EXPECT_EQ(ParseCounter(QStringLiteral("40.5")), 40);
    EXPECT_EQ(ParseCounter(QStringLiteral("41.5")), 42);
    EXPECT_FALSE(ParseCounter(QStringLiteral("")));
    EXPECT_FALSE(ParseCounter(QStringLiteral("1,500")));
    EXPECT_FALSE(ParseCounter(QStringLiteral("1e30")));
    qint64 sum = 0;
    EXPECT_FALSE(AddChecked(Q_INT64_C(9223372036854775807), 1, sum));
    EXPECT_TRUE(AddChecked(Q_INT64_C(2147483647), 1, sum));
    EXPECT_EQ(sum, Q_INT64_C(2147483648));
}
