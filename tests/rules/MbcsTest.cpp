#include <gtest/gtest.h>

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
    EXPECT_EQ(MbcsFind(kLeadA + "BC", "A"), std::string::npos);
    EXPECT_EQ(MbcsFind(kLeadA + "A", "A"), 2u);
    EXPECT_EQ(MbcsFind("x" + kLeadA + "AB", "AB"), 3u);
    // A1 A3 spans the trail of 啊 and the lead of the next character.
    EXPECT_EQ(MbcsFind(kAh + "\xA3\xAE", kFullStop), std::string::npos);
    EXPECT_EQ(MbcsFind(kAh + kFullStop, kFullStop), 2u);
}

TEST(Mbcs, FindFromAnOffsetAndEmptyNeedle) {
    EXPECT_EQ(MbcsFind("a.b.c", ".", 2), 3u);
    EXPECT_EQ(MbcsFind("abc", "", 1), 1u);
    EXPECT_EQ(MbcsFind("abc", "", 3), 3u);
    EXPECT_EQ(MbcsFind("abc", "a", 4), std::string::npos);
    EXPECT_EQ(MbcsFind("", "a"), std::string::npos);
}

TEST(Mbcs, InvalidLeadBytesStandAlone) {
    // A lead byte before a byte that cannot follow it, or at the very end,
    // is a character of its own and does not hide what comes next.
    EXPECT_EQ(MbcsCharLength("\x81.", 0), 1u);
    EXPECT_EQ(MbcsCharLength("\x81", 0), 1u);
    EXPECT_EQ(MbcsCharLength("\x81\x7F", 0), 1u);
    EXPECT_EQ(MbcsCharLength(kLeadA, 0), 2u);
    EXPECT_EQ(MbcsFind("\x81.com", "."), 1u);
    EXPECT_EQ(MbcsFind("\xFF" "A", "A"), 1u);   // 0xFF is no lead byte
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
    EXPECT_EQ(field("ad,,track", 0, ','), "ad");
    EXPECT_EQ(field("ad,,track", 1, ','), "");
    EXPECT_EQ(field("ad,,track", 2, ','), "track");
    EXPECT_EQ(field("ad,,track", 3, ','), "(none: )");
    EXPECT_EQ(field("", 0, ','), "");
    EXPECT_EQ(field("a", -1, ','), "(none: )");
    EXPECT_EQ(field("a,", 1, ','), "");
    EXPECT_EQ(field("x" + kLeadBar + "y|z", 0, '|'), "x" + kLeadBar + "y");
    EXPECT_EQ(field("x" + kLeadBar + "y|z", 1, '|'), "z");
}
