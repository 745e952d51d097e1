#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "urls/rules/CleanUp.h"

namespace {

struct Row {
    int number;
    std::string url;
    Validity validity;
    bool operator==(const Row&) const = default;
};

UrlRows Make(const std::vector<Row>& in) {
    UrlRows rows;
    for (const auto& r : in) rows.append(r.number, r.url, r.validity);
    return rows;
}

std::vector<Row> Dump(const UrlRows& rows) {
    std::vector<Row> out;
    for (std::size_t i = 0; i < rows.size(); ++i)
        out.push_back({rows.number(i), std::string(rows.url(i)), rows.validity(i)});
    return out;
}

// The rule as the user knows it: for each row from the top, delete every later
// row with the same bytes. Quadratic; only for checking the fast removal.
std::size_t PairwiseRemoval(std::vector<Row>& rows) {
    std::size_t removed = 0;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        for (std::size_t j = i + 1; j < rows.size();) {
            if (rows[j].url == rows[i].url) {
                rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(j));
                ++removed;
            } else {
                ++j;
            }
        }
    }
    return removed;
}

std::string Export(const UrlRows& rows, int kind, std::size_t* lines = nullptr, std::size_t chunk = 1 << 16) {
    std::string out;
    ExportOutcome r = FormatExport(rows, kind, [&](std::string_view s) { out.append(s); return true; }, chunk);
    EXPECT_TRUE(r.ok);
    if (lines) *lines = r.lines;
    return out;
}

const Validity kOk = Validity::Valid, kNone = Validity::Unchecked;

}  // namespace

TEST(CleanUpDuplicates, KeepsTopmostOfEachGroupWithItsNumberAndState) {
    // Equality is byte equality: case, a trailing slash or space make another
    // URL, the two empty URLs are one group, double-byte characters are not
    // special, and the first stays even when a later copy has the better verdict.
    UrlRows rows = Make({{1, "a.cn", Validity::Timeout}, {2, "A.cn", kNone}, {3, "a.cn", kOk}, {4, "a.cn/", kNone},
                         {5, "", kNone}, {6, "\xD6\xD0.cn", kNone}, {7, "", Validity::Malformed},
                         {8, "\xD6\xD0.cn", kOk}, {9, "\xD6\xD0.cn ", kNone}, {10, "a.cn", Validity::Invalid}});
    EXPECT_EQ(RemoveDuplicateRows(rows), 4u);
    EXPECT_EQ(Dump(rows), (std::vector<Row>{{1, "a.cn", Validity::Timeout}, {2, "A.cn", kNone}, {4, "a.cn/", kNone},
                                            {5, "", kNone}, {6, "\xD6\xD0.cn", kNone}, {9, "\xD6\xD0.cn ", kNone}}));
    UrlRows one = Make({{7, "", kNone}});
    EXPECT_EQ(RemoveDuplicateRows(one), 0u);
    EXPECT_EQ(one.size(), 1u);
}

TEST(CleanUpDuplicates, SurvivorsMatchThePairwiseRuleOnRandomLists) {
    // Short URLs over a tiny alphabet give many repeats, prefixes of one another,
    // empty URLs and GBK characters; the hash table must agree with the pairwise rule.
    std::mt19937 rng(20240517);
    const char* pieces[] = {"a", "b", ".", "\xD6\xD0", "\x81\x7C", "A"};
    for (int round = 0; round < 200; ++round) {
        std::vector<Row> in;
        int n = static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) {
            std::string url;
            int len = static_cast<int>(rng() % 4);
            for (int k = 0; k < len; ++k) url += pieces[rng() % 6];
            in.push_back({i + 1, url, static_cast<Validity>(rng() % 7)});
        }
        UrlRows rows = Make(in);
        std::vector<Row> expected = in;
        std::size_t expectedRemoved = PairwiseRemoval(expected);
        ASSERT_EQ(RemoveDuplicateRows(rows), expectedRemoved) << "round " << round;
        ASSERT_EQ(Dump(rows), expected) << "round " << round;
    }
}

TEST(CleanUpDuplicates, LargeListKeepsEveryDistinctUrlAndTheIds) {
    // 600,000 rows, every third a repeat of an earlier one. The 400,000
    // distinct URLs hold some twenty pairs whose 32-bit hashes agree, whatever
    // the hash: a removal that trusted an equal hash would lose unique rows.
    // Ids must still find the survivors, as verdicts of a running check look
    // rows up by id.
    UrlRows rows;
    std::vector<UrlRows::Id> ids;
    const int n = 600000;
    int distinct = 0;
    for (int i = 0; i < n; ++i) {
        std::string url = (i % 3 == 2) ? "host" + std::to_string((i * 7919LL) % distinct) + ".cn"
                                       : "host" + std::to_string(distinct++) + ".cn";
        ids.push_back(rows.append(i + 1, url));
    }
    EXPECT_EQ(RemoveDuplicateRows(rows), static_cast<std::size_t>(n - distinct));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(distinct));
    for (std::size_t i = 1; i < rows.size(); ++i) ASSERT_LT(rows.number(i - 1), rows.number(i));
    for (int i = 0; i < n; i += 3) {   // rows with i % 3 == 0 are always first occurrences
        auto at = rows.find(ids[i]);
        ASSERT_TRUE(at.has_value()) << i;
        EXPECT_EQ(rows.number(*at), i + 1);
    }
}

TEST(CleanUpInvalid, RemovesEveryStateButValidAndUnchecked) {
    UrlRows rows = Make({{1, "a", kOk}, {2, "b", kNone}, {3, "c", Validity::Timeout},
                         {4, "d", Validity::Ignored}, {5, "e", Validity::Malformed},
                         {6, "f", Validity::Running}, {7, "g", Validity::Invalid}, {8, "h", kOk}});
    EXPECT_EQ(RemoveInvalidRows(rows), 5u);
    EXPECT_EQ(Dump(rows), (std::vector<Row>{{1, "a", kOk}, {2, "b", kNone}, {8, "h", kOk}}));
    UrlRows empty;
    EXPECT_EQ(RemoveInvalidRows(empty), 0u);
}

TEST(CleanUpExport, WritesEachSelectedUrlWithCrLfInListOrder) {
    UrlRows two = Make({{1, "example.com", kNone}, {2, "example.net", kOk}});
    std::size_t lines = 0;
    EXPECT_EQ(Export(two, 0, &lines), "example.com\r\nexample.net\r\n");
    EXPECT_EQ(lines, 2u);
    // Kinds other than 1 and 2 write every row, as "all" does.
    EXPECT_EQ(Export(two, 10), "example.com\r\nexample.net\r\n");
    EXPECT_EQ(Export(two, -1), "example.com\r\nexample.net\r\n");

    UrlRows mixed = Make({{1, "ok.cn", kOk}, {2, "", kOk}, {3, "new.cn", kNone},
                          {4, "\xD6\xD0\xCE\xC4.cn", Validity::Ignored}, {5, "bad", Validity::Malformed},
                          {6, "slow.cn", Validity::Timeout}, {7, "busy.cn", Validity::Running}});
    // An empty URL is an empty line; GBK bytes pass untouched.
    EXPECT_EQ(Export(mixed, 1, &lines), "ok.cn\r\n\r\n");
    EXPECT_EQ(lines, 2u);
    // Invalid skips the unchecked row and takes ignored and malformed ones.
    EXPECT_EQ(Export(mixed, 2, &lines), "\xD6\xD0\xCE\xC4.cn\r\nbad\r\nslow.cn\r\nbusy.cn\r\n");
    EXPECT_EQ(lines, 4u);
}

TEST(CleanUpExport, ChunkingDoesNotChangeTheBytesAndAFailedWriteStops) {
    UrlRows rows;
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        std::string url = "u" + std::to_string(i) + "\xB2\xE2.cn";
        rows.append(i + 1, url);
        expected += url + "\r\n";
    }
    for (std::size_t chunk : {std::size_t(1), std::size_t(7), std::size_t(4096), std::size_t(1) << 20})
        EXPECT_EQ(Export(rows, 0, nullptr, chunk), expected) << chunk;

    int calls = 0;
    ExportOutcome r = FormatExport(rows, 0, [&](std::string_view) { return ++calls < 2; }, 100);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(calls, 2);
}
