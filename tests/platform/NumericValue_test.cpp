#include "platform/NumericValue.h"

#include <QString>

#include <gtest/gtest.h>

using namespace kelpo;

TEST(NumericValue, ReadsTheLeadingNumberAndIgnoresTheRest)
{
    EXPECT_EQ(NumericValue(u"42"), 42.0);
    EXPECT_EQ(NumericValue(u"  \t 42abc"), 42.0);
    EXPECT_EQ(NumericValue(u"-7"), -7.0);
    EXPECT_EQ(NumericValue(u"+7"), 7.0);
    EXPECT_EQ(NumericValue(u"3.25 points"), 3.25);
    EXPECT_EQ(NumericValue(u".5"), 0.5);
    EXPECT_EQ(NumericValue(u"5."), 5.0);
    EXPECT_EQ(NumericValue(u"007"), 7.0);
    EXPECT_EQ(NumericValue(u"1.2.3"), 1.2);
    EXPECT_EQ(NumericValue(u"12 34"), 12.0);
}

TEST(NumericValue, NoNumberIsZero)
{
    for (const char16_t* text : {u"", u"   ", u"abc", u"-", u"+", u".", u"-.", u"- 5", u"x5", u"１２"})
        EXPECT_EQ(NumericValue(text), 0.0) << QString::fromUtf16(text).toStdString();
}

TEST(NumericValue, RoundsHalfToEven)
{
    EXPECT_EQ(NumericInt32(u"0.5"), 0);
    EXPECT_EQ(NumericInt32(u"1.5"), 2);
    EXPECT_EQ(NumericInt32(u"2.5"), 2);
    EXPECT_EQ(NumericInt32(u"2.51"), 3);
    EXPECT_EQ(NumericInt32(u"-2.5"), -2);
    EXPECT_EQ(NumericInt32(u"-3.5"), -4);
    EXPECT_EQ(NumericByte(u"254.5"), 254);
    EXPECT_EQ(NumericByte(u"253.5"), 254);
}

TEST(NumericValue, ClampsToTheTargetRange)
{
    EXPECT_EQ(NumericByte(u"256"), 255);
    EXPECT_EQ(NumericByte(u"-1"), 0);
    EXPECT_EQ(NumericByte(u"-0.4"), 0);
    EXPECT_EQ(NumericInt32(u"2147483647"), 2147483647);
    EXPECT_EQ(NumericInt32(u"2147483648"), 2147483647);
    EXPECT_EQ(NumericInt32(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(NumericInt32(u"-99999999999"), -2147483647 - 1);
    const std::u16string huge = u"9" + std::u16string(400, u'9');
    EXPECT_EQ(NumericInt32(huge), 2147483647);
    EXPECT_EQ(NumericValueAs<std::int64_t>(u"-" + huge), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(NumericValueAs<std::uint16_t>(u"70000"), 65535);
}
