#include <gtest/gtest.h>

#include <random>

#include "urls/rules/ImportRules.h"

namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    LineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) out.emplace_back(line);
    return out;
}

struct Row {
    int number;
    std::string url;
    std::string validity;
    bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.number << " [" << r.url << "] [" << r.validity << "]";
}

std::vector<Row> Import(std::string_view content, std::string& ignore) {
    UrlRows rows;
    std::size_t n = FillRowsFromFile(content, ignore, rows);
    EXPECT_EQ(n, rows.size());
    std::vector<Row> out;
    for (std::size_t i = 0; i < rows.size(); ++i)
        out.push_back({rows.number(i), std::string(rows.url(i)), ValidityText(rows.validity(i))});
    return out;
}

std::vector<Row> Import(std::string_view content, const char* ignore = "") {
    std::string setting = ignore;
    return Import(content, setting);
}

const std::string kMalformed = "格式不正确！";
const std::string kIgnored = "用户忽略！";

}  // namespace

TEST(ImportLines, LineEndsAndTheFinalBreak) {
    using V = std::vector<std::string>;
    // A CR on its own ends a line too, also mixed with the other two; a lead
    // byte before the line end does not join lines.
    const std::pair<const char*, V> cases[] = {
        {"", V{}}, {"\n", V{""}}, {"a", V{"a"}}, {"a\n", V{"a"}}, {"a\r\nb\r\n", V{"a", "b"}}, {"a\nb", V{"a", "b"}},
        {"a\n\n\nb\n", V{"a", "", "", "b"}}, {"a\rb\rc", V{"a", "b", "c"}}, {"a\rb\r", V{"a", "b"}},
        {"a\r\rb\nc\r\nd", V{"a", "", "b", "c", "d"}}, {"\r\n\r\n", V{"", ""}},
        {"a\x81\nb\xB0\r\nc", V{"a\x81", "b\xB0", "c"}}};
    for (const auto& [text, lines] : cases) EXPECT_EQ(Lines(text), lines) << testing::PrintToString(text);
}

TEST(ImportTidy, TrimsTheSixWhiteSpaceBytesAndZeroBytesAndReplacesWholeFullStops) {
    // A full-width space and other bytes are not white space here; 啊 (B0 A1)
    // followed by ． (A3 AE): the bytes A1 A3 are not a "。".
    const std::pair<std::string, std::string> cases[] = {
        {" \t\v\f\r example.com \t\r\n", "example.com"}, {" \t ", ""}, {"a b", "a b"},
        {"\xA1\xA1" "a.com\xA1\xA1", "\xA1\xA1" "a.com\xA1\xA1"}, {"\x85" "a.com", "\x85" "a.com"},
        {std::string(" \0 a.b。c\0", 10), "a.b.c"}, {std::string("\0\0", 2), ""}, {"example。net", "example.net"},
        {"  中文。网址。com  ", "中文.网址.com"}, {"\xB0\xA1\xA3\xAE", "\xB0\xA1\xA3\xAE"}};
    for (const auto& [line, url] : cases) EXPECT_EQ(TidyUrlLine(line), url) << testing::PrintToString(line);
}

TEST(ImportChecks, WellFormedMeansADotAndNoSpace) {
    for (const char* url : {"example.com", ".", "a\t.b", "a\xA1\xA1.b"}) EXPECT_TRUE(IsWellFormedUrl(url)) << url;
    // "。" counts only once tidied.
    for (const char* url : {"intranet", "", "x y.example.com", "example。com"}) EXPECT_FALSE(IsWellFormedUrl(url)) << url;
}

TEST(ImportChecks, NormalisingTheIgnoreText) {
    auto norm = [](std::string s) {
        NormaliseIgnoreText(s);
        return s;
    };
    // Up to four spaces make one comma, five do not.
    for (auto [text, entries] : {std::pair{"ad  track", "ad,track"}, {"ad    track", "ad,track"},
                                 {"ad     track", "ad,,track"}, {"ad, track", "ad,,track"}, {" ad", ",ad"},
                                 {"中文 ad", "中文,ad"}})
        EXPECT_EQ(norm(text), entries) << text;
    for (const char* s : {"ad  track", "a b  c   d    e     f", " x ", "中 文"}) {
        std::string once = norm(s);
        EXPECT_EQ(norm(once), once) << s;
    }
}

TEST(ImportChecks, EntriesEndAtTheFirstEmptyField) {
    using V = std::vector<std::string>;
    for (const auto& [text, entries] : {std::pair{"ad,track", V{"ad", "track"}}, {"ad,,track", V{"ad"}}, {",ad", V{}},
                                        {"ad,", V{"ad"}}, {"", V{}}})
        EXPECT_EQ(IgnoreEntries(text), entries) << text;
}

TEST(ImportChecks, IgnoreMatchingIsCaseSensitiveByWholeCharactersAndNormalisesTheSetting) {
    std::string setting = "ads";
    EXPECT_TRUE(IsIgnoredUrl("ads.example.com", setting));
    EXPECT_FALSE(IsIgnoredUrl("ADS.example.com", setting));
    setting = "ad, track";   // "ad,,track": the entries end before "track"
    EXPECT_TRUE(IsIgnoredUrl("ad.com", setting));
    EXPECT_FALSE(IsIgnoredUrl("x.track.com", setting));
    EXPECT_EQ(setting, "ad,,track");
    setting = " ads";
    EXPECT_FALSE(IsIgnoredUrl("ads.example.com", setting));
    setting = "";
    EXPECT_FALSE(IsIgnoredUrl("anything.com", setting));
    setting = "A";
    EXPECT_FALSE(IsIgnoredUrl("\x81\x41.com", setting));   // the 'A' is half of a character
    EXPECT_TRUE(IsIgnoredUrl("\x81\x41" "A.com", setting));
}

TEST(ImportFile, TidyingAndMarks) {
    auto rows = Import(" \t \nintranet\n  example.com  \nintranet-ads\n", "ads");
    std::vector<Row> expected = {{1, "", kMalformed},
                                 {2, "intranet", kMalformed},
                                 {3, "example.com", ""},
                                 {4, "intranet-ads", kIgnored}};   // ignored wins over malformed
    EXPECT_EQ(rows, expected);
}

TEST(ImportFile, IgnoreTextIsNormalisedOnlyWhenALineIsImported) {
    std::string setting = "ad  track";
    EXPECT_TRUE(Import("", setting).empty());
    EXPECT_EQ(setting, "ad  track");

    auto rows = Import("ad.com\ntrack.com\nother.com", setting);
    EXPECT_EQ(setting, "ad,track");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].validity, kIgnored);
    EXPECT_EQ(rows[1].validity, kIgnored);
    EXPECT_EQ(rows[2].validity, "");
}

TEST(ImportFile, BadInputGivesDefinedRowsAndKeepsItsBytes) {
    EXPECT_TRUE(Import("").empty());
    EXPECT_EQ(Import("\n\n\n").size(), 3u);
    auto rows = Import(std::string("a.c\0om\n\0\n", 9));
    EXPECT_EQ(rows, (std::vector<Row>{{1, "a.com", ""}, {2, "", kMalformed}}));
    // GBK is stored as it came, invalid GBK too.
    rows = Import("http://中文。网址.com/路径?q=表\n\x81\xFF\x80.com\n\xFE");
    EXPECT_EQ(rows, (std::vector<Row>{{1, "http://中文.网址.com/路径?q=表", ""}, {2, "\x81\xFF\x80.com", ""},
                                      {3, "\xFE", kMalformed}}));
}

// The bulk import prepares the ignore list once; it must give exactly the rows
// that the per-line rule (normalise, then match, for every line) gives.
TEST(ImportFile, BulkImportMatchesThePerLineRule) {
    std::mt19937 rng(7);
    const char* pieces[] = {"a", "d", "s", ".", " ", "\t", "。", "中", "A", "\x81\x41", ",", "\r", "\n", "\r\n", "x"};
    const char* settings[] = {"ad", "a  d s", "s,,a", " ,d", "中 A", "d\t", ""};
    for (int round = 0; round < 200; ++round) {
        std::string content;
        int n = rng() % 40;
        for (int i = 0; i < n; ++i) content += pieces[rng() % std::size(pieces)];
        std::string bulkSetting = settings[round % std::size(settings)];
        auto rows = Import(content, bulkSetting);

        std::string lineSetting = settings[round % std::size(settings)];
        std::vector<Row> expected;
        LineReader reader(content);
        std::string_view line;
        while (reader.Next(line)) {
            std::string url = TidyUrlLine(line);
            std::string validity;
            if (!IsWellFormedUrl(url)) validity = kMalformed;
            if (!lineSetting.empty() && IsIgnoredUrl(url, lineSetting)) validity = kIgnored;
            expected.push_back({(int)expected.size() + 1, url, validity});
        }
        ASSERT_EQ(rows, expected) << "content: " << content;
        ASSERT_EQ(bulkSetting, lineSetting) << "content: " << content;
    }
}

TEST(ImportFile, ByteOrderMarksAreRecognisedOnlyAtTheStart) {
    auto encoding = [](std::string_view s) { return DetectByteOrderMark(s).encoding; };
    EXPECT_EQ(DetectByteOrderMark("\xEF\xBB\xBF" "a.com").length, 3u);
    EXPECT_EQ(encoding("\xEF\xBB\xBF"), TextEncoding::Utf8);
    EXPECT_EQ(DetectByteOrderMark("\xFF\xFE").length, 2u);
    EXPECT_EQ(encoding(std::string_view("\xFF\xFE" "a\0", 4)), TextEncoding::Utf16Le);
    EXPECT_EQ(encoding("\xFE\xFF"), TextEncoding::Utf16Be);
    // Anything else is ANSI text as it always was: a cut mark, a mark further
    // in, GBK that starts with a mark's first byte.
    for (std::string_view s : {"", "\xEF\xBB", "a\xEF\xBB\xBF", "\xFF", "\xFE", "\xEF\xBB\xC0", "a.com"}) {
        EXPECT_EQ(encoding(s), TextEncoding::Ansi) << s;
        EXPECT_EQ(DetectByteOrderMark(s).length, 0u);
    }
}

TEST(ImportFile, Utf16UnitsComeOutLittleEndianWithOneReplacementPerUnholdableCharacter) {
    auto prepare = [](std::string bytes, bool bigEndian) {
        std::size_t n = PrepareUtf16Units(bytes.data(), bytes.size(), bigEndian);
        std::u16string units;
        for (std::size_t i = 0; i < n; ++i)
            units += (char16_t)((unsigned char)bytes[2 * i] | (unsigned char)bytes[2 * i + 1] << 8);
        return units;
    };
    EXPECT_EQ(prepare(std::string("a\0\x2D\x4E", 4), false), u"a\u4E2D");
    EXPECT_EQ(prepare(std::string("\0a\x4E\x2D", 4), true), u"a\u4E2D");
    // A pair, a lone low and a lone high surrogate (last) each become one U+FFFD.
    EXPECT_EQ(prepare(std::string("\x3D\xD8\x00\xDEx\0\x00\xDCy\0\x3D\xD8", 12), false), u"\uFFFDx\uFFFDy\uFFFD");
    EXPECT_EQ(prepare(std::string("\xD8\x3D\xDE\x00\0x", 6), true), u"\uFFFDx");
    // A high surrogate before an ordinary character does not swallow it.
    EXPECT_EQ(prepare(std::string("\x3D\xD8z\0", 4), false), u"\uFFFDz");
    // An odd last byte is no character.
    EXPECT_EQ(prepare(std::string("a\0b", 3), false), u"a");
    EXPECT_EQ(prepare("", false), u"");
}

TEST(ImportFile, Utf8IsTakenOnlyWhenStrictlyFormed) {
    // Well formed: ASCII, "页面", the last code point of each length, a supplementary character.
    for (std::string_view s : {"", "a.com", "\xE9\xA1\xB5\xE9\x9D\xA2", "\x7F\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF",
                               "\xF0\x9F\x98\x80"})
        EXPECT_TRUE(IsStrictUtf8(s)) << testing::PrintToString(s);
    // GBK "联通", overlong forms of "/", surrogates, above U+10FFFF, a cut
    // sequence, a stray trail byte, bytes that never occur.
    for (std::string_view s : {"\xC1\xAA\xCD\xA8", "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
                               "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "a\xE9\xA1", "\x80",
                               "\xFE", "\xFF"})
        EXPECT_FALSE(IsStrictUtf8(s)) << testing::PrintToString(s);
    // One U+FFFD per supplementary character and per broken sequence, which
    // ends before the first byte that does not fit.
    EXPECT_EQ(DecodeUtf8("a\xE9\xA1\xB5\xF0\x9F\x98\x80."), u"a\u9875\uFFFD.");
    EXPECT_EQ(DecodeUtf8("\xE9\xA1" "a\xC1\xAA\xED\xA0\x80"), u"\uFFFDa\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}
