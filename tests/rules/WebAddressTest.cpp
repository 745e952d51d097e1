#include <gtest/gtest.h>

#include "urls/rules/WebAddress.h"

TEST(WebAddress, WebAddressesGoAsTheyAre) {
    for (const char* s : {"http://example.com", "https://example.com/a?b=c", "HTTP://EXAMPLE.COM",
                          "hTtPs://x.y", "http://中文.com"})
        EXPECT_EQ(WebAddressToOpen(s), std::optional<std::string>(s)) << s;
}

TEST(WebAddress, TextWithoutASchemeGetsHttp) {
    EXPECT_EQ(WebAddressToOpen("example.com"), "http://example.com");
    EXPECT_EQ(WebAddressToOpen("example.com:8080/x"), "http://example.com:8080/x");
    EXPECT_EQ(WebAddressToOpen("localhost:80"), "http://localhost:80");
    EXPECT_EQ(WebAddressToOpen("www.example.com/a:b"), "http://www.example.com/a:b");
    EXPECT_EQ(WebAddressToOpen("中文.com"), "http://中文.com");
}

TEST(WebAddress, EverythingElseIsRefused) {
    for (const char* s : {"", "file:///C:/Windows/notepad.exe", "FILE://server/share", "C:\\x.exe", "c:/x",
                          "C:", "\\\\server\\share\\x.exe", "//server/share", "/etc/passwd", "mailto:a@b.c",
                          "javascript:alert(1)", "ftp://example.com", "http:/example.com", "http:\\\\x",
                          "ms-settings:", "shell:startup", "x-y.z+w:abc"})
        EXPECT_FALSE(WebAddressToOpen(s)) << s;
}
