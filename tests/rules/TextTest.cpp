#include <gtest/gtest.h>

#include <climits>

#include "core/rules/Text.h"

TEST(SaturatingAtoi, FollowsTheLibraryAndStopsAtTheLimits) {
    const std::pair<const char*, int> cases[] = {
        {"7abc", 7}, {"abc", 0}, {"", 0}, {" \t\r\n\v\f-12x", -12}, {"+10", 10}, {"- 3", 0}, {"+-3", 0},
        {"0x10", 0}, {"十", 0}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN}, {"99999999999999999999999999", INT_MAX}, {"-99999999999999999999999999", INT_MIN},
        {"00000000000000000000000042", 42}};
    for (const auto& [text, value] : cases) EXPECT_EQ(SaturatingAtoi(text), value) << text;
    // Only the given bytes count: a view into a longer text stops where it ends.
    EXPECT_EQ(SaturatingAtoi(std::string_view("1234", 2)), 12);
}

TEST(StartsWithNoCase, LowerCasesTheTextsAsciiLettersOnly) {
    for (auto [text, prefix] : {std::pair{"HTTP://x", "http://"}, {"hTtPs://x", "https://"}, {"http://", "http://"},
                                {"anything", ""}})
        EXPECT_TRUE(StartsWithNoCase(text, prefix)) << text;
    // "[" is "{" minus 0x20 but not a letter; a double-byte character never
    // matches an ASCII prefix, whatever its trail byte.
    for (auto [text, prefix] : {std::pair{"http:/", "http://"}, {" http://x", "http://"}, {"ftp://x", "http://"},
                                {"[", "{"}, {"\xB0\x48ttp://", "http://"}})
        EXPECT_FALSE(StartsWithNoCase(text, prefix)) << text;
}
