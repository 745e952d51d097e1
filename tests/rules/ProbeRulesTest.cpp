#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "urls/rules/ProbeRules.h"

TEST(ProbeNormalizeUrl, SchemeIsKeptOnlyWhenTheTextStartsWithIt) {
    // "http:" further in does not make a scheme; near misses of one are host text.
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"example.com", "http://example.com"}, {"http://example.com/x?y=1", "http://example.com/x?y=1"},
        {"https://example.com", "https://example.com"}, {"HTTP://Example.com", "HTTP://Example.com"},
        {"HtTpS://example.com", "HtTpS://example.com"},
        {"example.com/?u=http://example.net", "http://example.com/?u=http://example.net"},
        {"www.http.com", "http://www.http.com"}, {"http:/example.com", "http://http:/example.com"},
        {"https:example.com", "http://https:example.com"}, {"ftp://example.com", "http://ftp://example.com"},
        {"http", "http://http"}};
    for (auto [text, url] : cases) EXPECT_EQ(NormalizeUrl(text), url) << text;
}

TEST(ProbeNormalizeUrl, LongAndDoubleByteTextArrivesWhole) {
    std::string longUrl = "example.com/" + std::string(5000, 'a');
    EXPECT_EQ(NormalizeUrl(longUrl), "http://" + longUrl);
    // A GBK host whose trail bytes are letters is not taken for a scheme.
    std::string gbk = "\xC4\xE3\xBA\xC3.example/\xD6\xD0";
    EXPECT_EQ(NormalizeUrl(gbk), "http://" + gbk);
}

TEST(ProbeClassifyPage, MarkerIsUpperCaseGbkTitleOnly) {
    // The marker's bytes are fixed by what providers serve.
    EXPECT_EQ(std::string(kErrorPageMarker),
              "\x3C\x54\x49\x54\x4C\x45\x3E\xD3\xF2\xC3\xFB\xBE\xC0\xB4\xED\xCF\xB5\xCD\xB3");
    EXPECT_EQ(ClassifyPage(""), kProbeNothing);
    EXPECT_EQ(ClassifyPage("<html><TITLE>域名纠错系统 - 提示</TITLE></html>"), kProbeErrorPage);
    // Lower case, cut short, spaced: an ordinary page.
    for (const char* page : {"<html><title>域名纠错系统</title></html>", "<TITLE>域名纠错", "<TITLE> 域名纠错系统", "\n"})
        EXPECT_EQ(ClassifyPage(page), kProbePage) << page;
}

TEST(ProbeResponseHead, OnlyAStatusLineIsNotHttp) {
    for (const char* head : {"", "HTTP/1.0 200 OK", "HTTP/1.0 200 OK\r\n\r\n", "HTTP/1.0 200 OK\r\r\n\r\r\n"})
        EXPECT_FALSE(HasHeaderLines(head)) << head;
    for (const char* head : {"HTTP/1.1 200 OK\r\nServer: x\r\n\r\n", "HTTP/1.1 200 OK\nDate: y\n"})
        EXPECT_TRUE(HasHeaderLines(head)) << head;
}

TEST(ProbePageText, ReaderDropsCrAndCutsPiecesAtZeroBytes) {
    PageTextBuilder b;
    EXPECT_TRUE(b.Feed("line one\r\nline"));
    EXPECT_TRUE(b.Feed(" two\r\n"));
    EXPECT_EQ(b.Text(), "line one\nline two\n");

    // A zero byte hides the rest of its line, LF included; the next line counts again.
    PageTextBuilder z;
    z.Feed(std::string("ab\0cd\nef", 8));
    EXPECT_EQ(z.Text(), "abef");

    // A body of only CR and zero bytes is no page.
    PageTextBuilder empty;
    empty.Feed(std::string("\r\r\0\0", 4));
    EXPECT_EQ(ClassifyPage(empty.Text()), kProbeNothing);

    // A line longer than one read arrives in pieces: a zero byte in the first
    // piece does not hide the second.
    PageTextBuilder longLine;
    std::string line(PageTextBuilder::kPieceLimit, 'x');
    line[0] = '\0';
    longLine.Feed(line + "tail");
    EXPECT_EQ(longLine.Text(), "tail");
}

TEST(ProbePageText, BodyIsCappedAndTheMarkerSearchedInWhatWasRead) {
    PageTextBuilder b(16);
    EXPECT_TRUE(b.Feed("0123456789"));
    EXPECT_FALSE(b.Feed("abcdefghij"));
    EXPECT_TRUE(b.Full());
    EXPECT_EQ(b.BytesTaken(), 16u);
    EXPECT_EQ(b.Text(), "0123456789abcdef");
    EXPECT_FALSE(b.Feed("more"));
    EXPECT_EQ(b.Text().size(), 16u);

    std::string page = std::string(kErrorPageMarker) + std::string(kMaxBodyBytes, 'p');
    PageTextBuilder big;
    big.Feed(page);
    EXPECT_TRUE(big.Full());
    EXPECT_LE(big.Text().size(), kMaxBodyBytes);
    EXPECT_EQ(ClassifyPage(big.Text()), kProbeErrorPage);

    // A marker beyond the cap was never read.
    PageTextBuilder late;
    late.Feed(std::string(kMaxBodyBytes - 3, 'p') + std::string(kErrorPageMarker));
    EXPECT_EQ(ClassifyPage(late.Text()), kProbePage);
}

TEST(ProbeRedirect, LocationIsResolvedAgainstTheAddressThatAnswered) {
    const std::string base = "http://h.example:81/a/b/c?q=1#top", at = "http://h.example:81";
    // An empty result: nothing to follow (no Location, only a fragment, or no
    // absolute base). Other schemes come back as they are; following them is
    // refused elsewhere. GBK path bytes are kept as they are.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {base, "https://other.example/x", "https://other.example/x"}, {base, "//other.example/x", "http://other.example/x"},
        {base, "/x/y?z", at + "/x/y?z"}, {base, "d", at + "/a/b/d"}, {base, "./d/", at + "/a/b/d/"},
        {base, "../d?e=f/../g", at + "/a/d?e=f/../g"}, {base, "../../../../d", at + "/d"}, {base, "..", at + "/a/"},
        {base, "/x/./y/..", at + "/x/"}, {base, "?r=2", at + "/a/b/c?r=2"}, {base, "  /x#frag ", at + "/x"},
        {"http://h.example", "x", "http://h.example/x"}, {"http://h.example?q", "?r", "http://h.example/?r"},
        {base, "", ""}, {base, " \t", ""}, {base, "#frag", ""}, {"h.example/a", "b", ""},
        {base, "ftp://f.example/", "ftp://f.example/"}, {base, "javascript:alert(1)", "javascript:alert(1)"},
        {base, "\xD6\xD0/../\xB9\xFA", at + "/a/b/\xB9\xFA"}};
    for (const auto& [from, location, url] : cases) EXPECT_EQ(ResolveLocation(from, location), url) << location;
}

TEST(ProbeRedirect, OnlyHttpAndHttpsAreFollowedAndLongAddressesNeverRequested) {
    for (const char* url : {"http://x", "HTTPS://x"}) EXPECT_TRUE(IsFollowableScheme(url)) << url;
    for (const char* url : {"ftp://x", "mailto:a@b", "http:x", ""}) EXPECT_FALSE(IsFollowableScheme(url)) << url;
    for (unsigned long s : {301ul, 302ul, 303ul, 307ul, 308ul}) EXPECT_TRUE(IsRedirectStatus(s)) << s;
    for (unsigned long s : {200ul, 300ul, 304ul, 305ul, 306ul, 404ul}) EXPECT_FALSE(IsRedirectStatus(s)) << s;
    EXPECT_TRUE(FitsRequestLine(std::string(8192, 'a')));
    EXPECT_FALSE(FitsRequestLine(std::string(8193, 'a')));
}
