#include "core/AppError.h"
#include "core/Numbers.h"

#include <clocale>
#include <gtest/gtest.h>
#include "support/QtPrinters.h"

TEST(Numbers, RoundHalfEven)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
    EXPECT_EQ(roundHalfEven(-7.6), -8);
}

TEST(Numbers, DataNumbersReadTheSameUnderEveryCLocale)
{
    // scripts/install-deps generates the German locale, whose decimal sign is ",".
    for (const char *loc : {"C", "de_DE.UTF-8"}) {
        ASSERT_TRUE(std::setlocale(LC_ALL, loc)) << loc << " is not installed: run scripts/install-deps";
        EXPECT_STREQ(std::localeconv()->decimal_point, loc[0] == 'C' ? "." : ",");
        EXPECT_EQ(parseDataNumber("0,5"), 0.5) << loc;
        EXPECT_EQ(parseDataNumber("12,25"), 12.25) << loc;
        EXPECT_EQ(parseDataNumber(" -3.5 "), -3.5) << loc;
        EXPECT_EQ(formatDataNumber(0.25), "0,25") << loc;
    }
    std::setlocale(LC_ALL, "C");
}

TEST(Numbers, WhatIsNotANumber)
{
    for (const char *t : {"", " ", "abc", "1,2,3", "1.2.3", "1e400", "-1e400", "inf", "nan", "0x10",
                          "1e", "e5", "--1", "1-", ",", "12cm"})
        EXPECT_FALSE(parseDataNumber(t).has_value()) << t;
    EXPECT_EQ(parseDataNumber("1e3"), 1000.0);
    EXPECT_EQ(parseDataNumber("+7"), 7.0);
    EXPECT_EQ(parseDataNumber(",5"), 0.5);
    EXPECT_EQ(parseDataNumber("5,"), 5.0);
}

TEST(Numbers, FormatRoundTrips)
{
    for (double v : {0.0, 1.0, 12.0, 0.1, 0.65, 12.95, -3.25, 1234567.125, 1e-7, 3e20}) {
        const QString s = formatDataNumber(v);
        EXPECT_FALSE(s.contains('.')) << s.toStdString();
        EXPECT_FALSE(s.contains('e')) << s.toStdString();
        EXPECT_EQ(parseDataNumber(s), v) << s.toStdString();
    }
    EXPECT_EQ(formatDataNumber(12.0), "12");
    EXPECT_EQ(formatDataNumber(0.65), "0,65");
}

TEST(Numbers, IntegerConversionsRoundAndCheckRange)
{
    EXPECT_EQ(toByte("255"), 255);
    EXPECT_EQ(toByte("2,5"), 2);
    EXPECT_EQ(toByte("-0,4"), 0);
    EXPECT_EQ(toInt16("-32768"), -32768);
    EXPECT_EQ(toInt32(2.5), 2);
    EXPECT_EQ(toInt32(3.5), 4);
    auto number = [](auto f) {
        try {
            f();
        } catch (const AppError &e) {
            return e.number();
        }
        return 0L;
    };
    EXPECT_EQ(number([] { toByte("256"); }), ErrNo::Overflow);
    EXPECT_EQ(number([] { toByte("-1"); }), ErrNo::Overflow);
    EXPECT_EQ(number([] { toByte("x"); }), ErrNo::TypeMismatch);
    EXPECT_EQ(number([] { toByte(""); }), ErrNo::TypeMismatch);
    EXPECT_EQ(number([] { toInt16("32768"); }), ErrNo::Overflow);
    EXPECT_EQ(number([] { toInt32(1e10); }), ErrNo::Overflow);
    EXPECT_EQ(number([] { toInt32(std::nan("")); }), ErrNo::Overflow);
}
