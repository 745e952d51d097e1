#include <gtest/gtest.h>

#include <tuple>

#include "urls/rules/Mbcs.h"

// GBK pairs whose trail byte is an ASCII letter or punctuation: the places
// where a byte-wise routine would go wrong.
namespace {
const std::string kLeadA = "\x81\x41";     // trail byte 'A'
const std::string kLeadBar = "\x81\x7C";   // trail byte '|'
const std::string kAh = "\xB0\xA1";        // 啊: trail byte A1, the lead byte of "。"
const std::string kFullStop = "\xA1\xA3";  // 。
}  // namespace

TEST(Mbcs, FindNeverMatchesFromATrailByte) {
    // A1 A3 spans the trail of 啊 and the lead of the next character; a lead
    // byte before a byte that cannot follow it is a character of its own, and
    // 0xFF is no lead byte.
    const std::tuple<std::string, std::string, std::size_t, std::size_t> cases[] = {
        {kLeadA + "BC", "A", 0, std::string::npos}, {kLeadA + "A", "A", 0, 2}, {"x" + kLeadA + "AB", "AB", 0, 3},
        {kAh + "\xA3\xAE", kFullStop, 0, std::string::npos}, {kAh + kFullStop, kFullStop, 0, 2},
        {"a.b.c", ".", 2, 3}, {"abc", "", 1, 1}, {"abc", "", 3, 3}, {"abc", "a", 4, std::string::npos},
        {"", "a", 0, std::string::npos}, {"\x81.com", ".", 0, 1}, {"\xFF" "A", "A", 0, 1}};
    for (const auto& [text, needle, from, at] : cases)
        EXPECT_EQ(MbcsFind(text, needle, from), at) << testing::PrintToString(text) << " from " << from;
    // Also at the very end, or before a byte that cannot trail.
    for (const char* lone : {"\x81.", "\x81", "\x81\x7F"}) EXPECT_EQ(MbcsCharLength(lone, 0), 1u) << lone;
    EXPECT_EQ(MbcsCharLength(kLeadA, 0), 2u);
}

TEST(Mbcs, ReplaceWholeCharactersLeftToRight) {
    std::string s = kAh + "\xA3\xAE" + "a" + kFullStop + "b" + kFullStop;
    EXPECT_EQ(MbcsReplace(s, kFullStop, "."), 2u);
    EXPECT_EQ(s, kAh + "\xA3\xAE" + "a.b.");

    std::string spaces = "a     b";   // five spaces
    EXPECT_EQ(MbcsReplace(spaces, "  ", " "), 2u);
    EXPECT_EQ(spaces, "a   b");       // what was written is not looked at again

    std::string unchanged = "abc";
    EXPECT_EQ(MbcsReplace(unchanged, "", "x"), 0u);
    EXPECT_EQ(MbcsReplace(unchanged, "zz", "x"), 0u);
    EXPECT_EQ(unchanged, "abc");
}

TEST(Mbcs, MakeLowerTouchesOnlySingleByteLetters) {
    std::string s = "ABC" + kLeadA + "XYZ" + kLeadA + "\xC0\xC1";
    MbcsMakeLower(s);
    EXPECT_EQ(s, "abc" + kLeadA + "xyz" + kLeadA + "\xC0\xC1");
}

TEST(Mbcs, ExtractSubStringFieldsSkippingTrailBytesEqualToTheSeparator) {
    auto field = [](const std::string& s, int i, char sep) {
        std::string out = "junk";
        return MbcsExtractSubString(out, s, i, sep) ? out : "(none: " + out + ")";
    };
    const std::tuple<std::string, int, char, std::string> cases[] = {
        {"ad,,track", 0, ',', "ad"}, {"ad,,track", 1, ',', ""}, {"ad,,track", 2, ',', "track"},
        {"ad,,track", 3, ',', "(none: )"}, {"", 0, ',', ""}, {"a", -1, ',', "(none: )"}, {"a,", 1, ',', ""},
        {"x" + kLeadBar + "y|z", 0, '|', "x" + kLeadBar + "y"}, {"x" + kLeadBar + "y|z", 1, '|', "z"}};
    for (const auto& [text, i, sep, want] : cases) EXPECT_EQ(field(text, i, sep), want) << text << " " << i;
}
