#include <gtest/gtest.h>

#include <climits>

#include "core/rules/Text.h"

TEST(SaturatingAtoi, FollowsTheLibraryAndStopsAtTheLimits) {
    EXPECT_EQ(SaturatingAtoi("7abc"), 7);
    EXPECT_EQ(SaturatingAtoi("abc"), 0);
    EXPECT_EQ(SaturatingAtoi(""), 0);
    EXPECT_EQ(SaturatingAtoi(" \t\r\n\v\f-12x"), -12);
    EXPECT_EQ(SaturatingAtoi("+10"), 10);
    EXPECT_EQ(SaturatingAtoi("- 3"), 0);
    EXPECT_EQ(SaturatingAtoi("+-3"), 0);
    EXPECT_EQ(SaturatingAtoi("0x10"), 0);
    EXPECT_EQ(SaturatingAtoi("十"), 0);
    EXPECT_EQ(SaturatingAtoi("2147483647"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("-2147483648"), INT_MIN);
    EXPECT_EQ(SaturatingAtoi("2147483648"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("-2147483649"), INT_MIN);
    EXPECT_EQ(SaturatingAtoi("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(SaturatingAtoi("-99999999999999999999999999"), INT_MIN);
    EXPECT_EQ(SaturatingAtoi("00000000000000000000000042"), 42);
    // Only the given bytes count: a view into a longer text stops where it ends.
    EXPECT_EQ(SaturatingAtoi(std::string_view("1234", 2)), 12);
}

TEST(StartsWithNoCase, LowerCasesTheTextsAsciiLettersOnly) {
    EXPECT_TRUE(StartsWithNoCase("HTTP://x", "http://"));
    EXPECT_TRUE(StartsWithNoCase("hTtPs://x", "https://"));
    EXPECT_TRUE(StartsWithNoCase("http://", "http://"));
    EXPECT_TRUE(StartsWithNoCase("anything", ""));
    EXPECT_FALSE(StartsWithNoCase("http:/", "http://"));
    EXPECT_FALSE(StartsWithNoCase(" http://x", "http://"));
    EXPECT_FALSE(StartsWithNoCase("ftp://x", "http://"));
    // "[" is "{" minus 0x20 but not a letter: it stays itself.
    EXPECT_FALSE(StartsWithNoCase("[", "{"));
    // A double-byte character never matches an ASCII prefix, whatever its trail byte.
    EXPECT_FALSE(StartsWithNoCase("\xB0\x48ttp://", "http://"));
}
