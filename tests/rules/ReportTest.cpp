#include <gtest/gtest.h>

#include "urls/rules/Report.h"

TEST(Report, FieldsAreQuotedAndFormulasKeptAsText) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"a=b-c", "a=b-c"}, {"a,b", "\"a,b\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"line\nnext", "\"line\nnext\""}, {"=1+2", "'=1+2"}, {"+1", "'+1"}, {"-1", "'-1"}, {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"}, {"\rx", "\"'\rx\""}, {"=HYPERLINK(\"a\",\"b\")", "\"'=HYPERLINK(\"\"a\"\",\"\"b\"\")\""},
    };
    for (const auto& [text, want] : cases) {
        std::string out = "x";
        AppendCsvField(out, text);
        EXPECT_EQ(out, "x" + want) << text;
    }
}
