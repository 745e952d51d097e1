#include <gtest/gtest.h>

#include <string>

#include "urls/rules/ProbeRules.h"

TEST(ProbeNormalizeUrl, SchemeIsKeptOnlyWhenTheTextStartsWithIt) {
    EXPECT_EQ(NormalizeUrl(""), "");
    EXPECT_EQ(NormalizeUrl("example.com"), "http://example.com");
    EXPECT_EQ(NormalizeUrl("http://example.com/x?y=1"), "http://example.com/x?y=1");
    EXPECT_EQ(NormalizeUrl("https://example.com"), "https://example.com");
    EXPECT_EQ(NormalizeUrl("HTTP://Example.com"), "HTTP://Example.com");
    EXPECT_EQ(NormalizeUrl("HtTpS://example.com"), "HtTpS://example.com");
    // "http:" further in does not make a scheme.
    EXPECT_EQ(NormalizeUrl("example.com/?u=http://example.net"), "http://example.com/?u=http://example.net");
    EXPECT_EQ(NormalizeUrl("www.http.com"), "http://www.http.com");
    // Near misses of a scheme are host text.
    EXPECT_EQ(NormalizeUrl("http:/example.com"), "http://http:/example.com");
    EXPECT_EQ(NormalizeUrl("https:example.com"), "http://https:example.com");
    EXPECT_EQ(NormalizeUrl("ftp://example.com"), "http://ftp://example.com");
    EXPECT_EQ(NormalizeUrl("http"), "http://http");
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
    EXPECT_EQ(ClassifyPage("<html><title>域名纠错系统</title></html>"), kProbePage);
    EXPECT_EQ(ClassifyPage("<TITLE>域名纠错"), kProbePage);   // cut short
    EXPECT_EQ(ClassifyPage("<TITLE> 域名纠错系统"), kProbePage);
    EXPECT_EQ(ClassifyPage("\n"), kProbePage);
}

TEST(ProbeResponseHead, OnlyAStatusLineIsNotHttp) {
    EXPECT_FALSE(HasHeaderLines(""));
    EXPECT_FALSE(HasHeaderLines("HTTP/1.0 200 OK"));
    EXPECT_FALSE(HasHeaderLines("HTTP/1.0 200 OK\r\n\r\n"));
    EXPECT_FALSE(HasHeaderLines("HTTP/1.0 200 OK\r\r\n\r\r\n"));
    EXPECT_TRUE(HasHeaderLines("HTTP/1.1 200 OK\r\nServer: x\r\n\r\n"));
    EXPECT_TRUE(HasHeaderLines("HTTP/1.1 200 OK\nDate: y\n"));
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
    const std::string base = "http://h.example:81/a/b/c?q=1#top";
    EXPECT_EQ(ResolveLocation(base, "https://other.example/x"), "https://other.example/x");
    EXPECT_EQ(ResolveLocation(base, "//other.example/x"), "http://other.example/x");
    EXPECT_EQ(ResolveLocation(base, "/x/y?z"), "http://h.example:81/x/y?z");
    EXPECT_EQ(ResolveLocation(base, "d"), "http://h.example:81/a/b/d");
    EXPECT_EQ(ResolveLocation(base, "./d/"), "http://h.example:81/a/b/d/");
    EXPECT_EQ(ResolveLocation(base, "../d?e=f/../g"), "http://h.example:81/a/d?e=f/../g");
    EXPECT_EQ(ResolveLocation(base, "../../../../d"), "http://h.example:81/d");
    EXPECT_EQ(ResolveLocation(base, ".."), "http://h.example:81/a/");
    EXPECT_EQ(ResolveLocation(base, "/x/./y/.."), "http://h.example:81/x/");
    EXPECT_EQ(ResolveLocation(base, "?r=2"), "http://h.example:81/a/b/c?r=2");
    EXPECT_EQ(ResolveLocation(base, "  /x#frag "), "http://h.example:81/x");
    EXPECT_EQ(ResolveLocation("http://h.example", "x"), "http://h.example/x");
    EXPECT_EQ(ResolveLocation("http://h.example?q", "?r"), "http://h.example/?r");
    // Nothing to follow: no Location, only a fragment, or no absolute base.
    EXPECT_EQ(ResolveLocation(base, ""), "");
    EXPECT_EQ(ResolveLocation(base, " \t"), "");
    EXPECT_EQ(ResolveLocation(base, "#frag"), "");
    EXPECT_EQ(ResolveLocation("h.example/a", "b"), "");
    // Other schemes come back as they are; following them is refused elsewhere.
    EXPECT_EQ(ResolveLocation(base, "ftp://f.example/"), "ftp://f.example/");
    EXPECT_EQ(ResolveLocation(base, "javascript:alert(1)"), "javascript:alert(1)");
    // GBK path bytes are kept as they are.
    EXPECT_EQ(ResolveLocation(base, "\xD6\xD0/../\xB9\xFA"), "http://h.example:81/a/b/\xB9\xFA");
}

TEST(ProbeRedirect, OnlyHttpAndHttpsAreFollowedAndLongAddressesNeverRequested) {
    EXPECT_TRUE(IsFollowableScheme("http://x"));
    EXPECT_TRUE(IsFollowableScheme("HTTPS://x"));
    EXPECT_FALSE(IsFollowableScheme("ftp://x"));
    EXPECT_FALSE(IsFollowableScheme("mailto:a@b"));
    EXPECT_FALSE(IsFollowableScheme("http:x"));
    EXPECT_FALSE(IsFollowableScheme(""));
    for (unsigned long s : {301ul, 302ul, 303ul, 307ul, 308ul}) EXPECT_TRUE(IsRedirectStatus(s)) << s;
    for (unsigned long s : {200ul, 300ul, 304ul, 305ul, 306ul, 404ul}) EXPECT_FALSE(IsRedirectStatus(s)) << s;
    EXPECT_TRUE(FitsRequestLine(std::string(8192, 'a')));
    EXPECT_FALSE(FitsRequestLine(std::string(8193, 'a')));
}
