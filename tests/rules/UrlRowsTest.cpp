#include <gtest/gtest.h>

#include "urls/rules/UrlRows.h"

TEST(UrlRows, IdsFindRowsAfterRemoval) {
    UrlRows rows;
    auto a = rows.append(1, "a.example");
    auto b = rows.append(2, "b.example");
    auto c = rows.append(3, "c.example");
    rows.erase(0);
    ASSERT_EQ(rows.find(b), std::optional<std::size_t>(0));
    ASSERT_EQ(rows.find(c), std::optional<std::size_t>(1));
    EXPECT_FALSE(rows.find(a));
}

TEST(UrlRows, ValidityTextsRoundTripAsGbkBytes) {
    EXPECT_STREQ(ValidityText(Validity::Unchecked), "");
    EXPECT_EQ(std::string(ValidityText(Validity::Timeout)), "\xB3\xAC\xCA\xB1!");
    for (int i = 0; i < 7; ++i) {
        auto v = static_cast<Validity>(i);
        EXPECT_EQ(ValidityFromText(ValidityText(v)), v);
    }
    EXPECT_FALSE(ValidityFromText("ok"));
}

TEST(UrlRows, SetUrlLongerAndShorterKeepsNeighbours) {
    UrlRows rows;
    rows.append(1, "abc");
    rows.append(2, "def");
    rows.setUrl(0, "a-much-longer-url.example");
    rows.setUrl(1, "d");
    EXPECT_EQ(rows.url(0), "a-much-longer-url.example");
    EXPECT_EQ(rows.url(1), "d");
    std::size_t removed = rows.retain([&](std::size_t i) { return rows.url(i) != "d"; });
    EXPECT_EQ(removed, 1u);
    EXPECT_EQ(rows.size(), 1u);
}
