#include <gtest/gtest.h>

#include "urls/rules/WireAddress.h"

namespace {
// The sources' narrow literals are GBK; the conversion takes UTF-8.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }
}  // namespace

TEST(WireAddress, PunycodeOfKnownLabels) {
    EXPECT_EQ(Punycode(U"中文"), "fiq228c");
    EXPECT_EQ(Punycode(U"例子"), "fsqu00a");
    EXPECT_EQ(Punycode(U"3年B組金八先生"), "3B-ww4c5e180e575a65lsy2b");
}

TEST(WireAddress, ChineseAddressGoesOutAsABrowserSendsIt) {
    const struct {
        const char8_t* typed;
        const char* sent;
    } cases[] = {
        {u8"http://例子.测试/中文?q=输入法#段",
         "http://xn--fsqu00a.xn--0zwm56d/%E4%B8%AD%E6%96%87?q=%E8%BE%93%E5%85%A5%E6%B3%95#%E6%AE%B5"},
        // Full stops and letters of every width; ASCII labels only lower-cased.
        {u8"HTTPS://ＷＷＷ．中文。COM｡cn:8080", "HTTPS://www.xn--fiq228c.com.cn:8080"},
        {u8"http://用户@中文.com/a%E4%B8%AD中?x=%41", "http://%E7%94%A8%E6%88%B7@xn--fiq228c.com/a%E4%B8%AD%E4%B8%AD?x=%41"},
        {u8"http://Example.COM/中", "http://Example.COM/%E4%B8%AD"},
        {u8"http://\xD6\xD0.com/\xD6\xD0", "http://%D6%D0.com/%D6%D0"},   // not UTF-8: escaped, never guessed
        {u8"中文", "%E4%B8%AD%E6%96%87"},
    };
    for (const auto& c : cases) EXPECT_EQ(WireAddress(U8(c.typed)), c.sent) << c.sent;
    // A host no name server takes is not encoded: Punycode's time grows with the square of a label.
    std::string typed = "http://", sent = "http://";
    for (int i = 0; i < 400; ++i) typed += U8(u8"中"), sent += "%E4%B8%AD";
    EXPECT_EQ(WireAddress(typed), sent);
    for (const char* ascii : {"HTTP://Example.COM:8080/a b?%zz&%E4#f", "", "x"}) EXPECT_EQ(WireAddress(ascii), ascii);
}
