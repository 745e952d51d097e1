#include <gtest/gtest.h>

#include "urls/rules/Report.h"

TEST(Report, FieldsAreQuotedAndFormulasKeptAsText) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a=b-c", "a=b-c"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"line\nnext", "\"line\nnext\""},
        {"=1+2", "'=1+2"},
        {"+1", "'+1"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"=HYPERLINK(\"a\",\"b\")", "\"'=HYPERLINK(\"\"a\"\",\"\"b\"\")\""},
    };
    for (const auto& [text, want] : cases) {
        std::string out = "x";
        AppendCsvField(out, text);
        EXPECT_EQ(out, "x" + want) << text;
    }
}

TEST(Report, BomHeaderAndOneRecordPerRowWithItsReason) {
    UrlRows rows;
    rows.append(1, "http://a.example/", Validity::Valid);
    rows.append(2, "\xD6\xD0\xCE\xC4.cn", Validity::Unchecked);
    rows.append(7, "http://b.example/", Validity::Invalid);
    ProbeReason redirected;
    redirected.status = 200;
    redirected.statusText = "OK";
    redirected.elapsedMs = 1234;
    redirected.redirects = 1;
    redirected.finalUrl = "http://a.example/x,y";
    ProbeReason failed;
    failed.failure = ProbeFailure::NameNotResolved;
    failed.elapsedMs = 50;
    std::string bytes;
    int conversions = 0;
    ExportOutcome out = FormatReport(
        rows, [&](std::size_t i) { return i == 0 ? &redirected : i == 2 ? &failed : nullptr; },
        [&](std::string_view s) { ++conversions; return std::string(s); },
        [&](std::string_view chunk) { bytes += chunk; return true; }, 16);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.lines, 3u);
    EXPECT_EQ(conversions, 4 * 7);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF序号,网址,有效性,原因,HTTP 状态,用时（秒）,最终网址\r\n"
                     "1,http://a.example/,OK,\"HTTP 200 OK · 1.23 秒 · 重定向 1 次 → http://a.example/x,y\",200,1.23,"
                     "\"http://a.example/x,y\"\r\n"
                     "2,\xD6\xD0\xCE\xC4.cn,,,,,\r\n"
                     "7,http://b.example/,无效!,无法解析域名 · 0.05 秒,,0.05,\r\n");
}
