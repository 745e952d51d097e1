#include <gtest/gtest.h>

#include <string>

#include "urls/rules/Cookies.h"

// What one check's answers set, and where it goes on the later hops.
TEST(CookieJar, GoesWhereABrowserWouldSendIt) {
    CookieJar jar;
    jar.Take("http://Shop.Example.com/login/form?x=1", "sid=abc; Path=/; HttpOnly");
    jar.Take("http://shop.example.com/login/form", "step=2");                     // path /login
    jar.Take("http://shop.example.com/", "wide=1; Domain=.EXAMPLE.com; Path=/");
    jar.Take("https://shop.example.com/", "sec=1; Secure; path=/");
    jar.Take("http://shop.example.com/", "  =nameless");
    jar.Take("http://shop.example.com/", "foreign=1; Domain=other.com");
    jar.Take("http://shop.example.com/", "suffix=1; Domain=com");
    jar.Take("http://shop.example.com/", "lookalike=1; Domain=hop.example.com");
    jar.Take("ftp://shop.example.com/", "ftp=1");
    jar.Take("http://shop.example.com/", "gone=1");
    jar.Take("http://shop.example.com/", "gone=; Max-Age=0");
    jar.Take("http://shop.example.com/", "sid=new; Path=/");                       // replaces
    jar.Take("http://user@127.0.0.1:8080/a", "ip=1; Domain=0.0.1");   // an address names no family of hosts
    jar.Take("http://127.0.0.1:8080/a", "host=1");
    struct Case {
        const char* url;
        const char* header;
    } cases[] = {
        {"http://shop.example.com/login/next", "step=2; sid=new; wide=1"},
        {"http://shop.example.com/login", "step=2; sid=new; wide=1"},
        {"http://shop.example.com/loginx", "sid=new; wide=1"},
        {"https://SHOP.example.com:8443/", "sid=new; wide=1; sec=1"},
        {"http://www.example.com/login/next", "wide=1"},
        {"http://example.com/", "wide=1"},
        {"http://example.org/", ""},
        {"http://badexample.com/", ""},
        {"not a url", ""},
        {"http://127.0.0.1:9090/b", "host=1"},
        {"http://10.0.0.1/", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(jar.HeaderFor(c.url), c.header) << c.url;
}

// A site that sets cookies without end makes no request head without end.
TEST(CookieJar, KeepsNoMoreThanABrowser) {
    CookieJar jar;
    jar.Take("http://a.example/", "big=" + std::string(CookieJar::kMaxCookieBytes, 'b'));
    for (int i = 0; i < 1000; ++i) jar.Take("http://a.example/", "c" + std::to_string(i) + "=1");
    const std::string header = jar.HeaderFor("http://a.example/");
    EXPECT_EQ(header.find("big="), std::string::npos);
    EXPECT_EQ(header.rfind("c49=1"), header.size() - 5) << header;
}
