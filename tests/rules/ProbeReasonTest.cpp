#include <gtest/gtest.h>

#include <string>

#include "urls/rules/Mbcs.h"
#include "urls/rules/ProbeReason.h"

TEST(ProbeReasonMapping, ErrorNumbersAndGuardOutcomesGiveTheirReasons) {
    struct Case {
        unsigned long error;
        GuardOutcome guard;
        bool secure;
        ProbeFailure want;
    };
    const Case cases[] = {
        {12007, GuardOutcome::None, false, ProbeFailure::NameNotResolved},
        {11001, GuardOutcome::None, false, ProbeFailure::NameNotResolved},
        {12029, GuardOutcome::None, false, ProbeFailure::ConnectRefused},
        {12029, GuardOutcome::None, true, ProbeFailure::ConnectRefused},
        {12002, GuardOutcome::None, false, ProbeFailure::NoResponse},
        {12030, GuardOutcome::None, false, ProbeFailure::ConnectionReset},
        {12031, GuardOutcome::None, true, ProbeFailure::SecureFailed},
        {12175, GuardOutcome::None, false, ProbeFailure::SecureFailed},
        {12157, GuardOutcome::None, true, ProbeFailure::SecureFailed},
        {12045, GuardOutcome::None, true, ProbeFailure::SecureFailed},
        {12152, GuardOutcome::None, false, ProbeFailure::NotHttp},
        {12006, GuardOutcome::None, false, ProbeFailure::BadAddress},
        {12345, GuardOutcome::None, false, ProbeFailure::Other},
        // The guard knows better than the number the library made of its failure.
        {12029, GuardOutcome::ConnectTimedOut, false, ProbeFailure::ConnectTimedOut},
        {12030, GuardOutcome::Expired, true, ProbeFailure::NoResponse},
        {12030, GuardOutcome::IoTimedOut, false, ProbeFailure::NoResponse},
        {12030, GuardOutcome::BudgetSpent, false, ProbeFailure::HeadTooLarge},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FailureFromError(c.error, c.guard, c.secure), c.want) << c.error << " " << (int)c.guard;
}

TEST(ProbeReasonText, StatusFailureTimeAndRedirectsInOneTip) {
    ProbeReason r;
    r.status = 404;
    r.statusText = "Not Found";
    r.elapsedMs = 210;
    EXPECT_EQ(FormatReason(r), "HTTP 404 Not Found · 0.21 秒");

    ProbeReason dns;
    dns.failure = ProbeFailure::NameNotResolved;
    dns.elapsedMs = 3025;
    EXPECT_EQ(FormatReason(dns), "无法解析域名 · 3.02 秒");

    ProbeReason other;
    other.failure = ProbeFailure::Other;
    other.error = 12345;
    EXPECT_EQ(FormatReason(other), "网络错误 12345 · 0.00 秒");

    ProbeReason loop;
    loop.status = 302;
    loop.statusText = "Found";
    loop.failure = ProbeFailure::TooManyRedirects;
    loop.elapsedMs = 1500;
    loop.redirects = 10;
    loop.finalUrl = "http://a.example/loop";
    EXPECT_EQ(FormatReason(loop), "HTTP 302 Found · 重定向次数过多 · 1.50 秒\n重定向 10 次 → http://a.example/loop");
}

TEST(ProbeReasonText, LongAddressIsCutOnACharacterBoundary) {
    // "中" is two bytes; a cut at an odd byte count must not split one.
    std::string url = "http://x/" + std::string(40, 'a');
    for (int i = 0; i < 40; ++i) url += "\xD6\xD0";
    for (std::size_t max : {20u, 60u, 61u, 62u, 63u}) {
        std::string cut = ShortenGbk(url, max);
        EXPECT_LE(cut.size(), max);
        ASSERT_GE(cut.size(), 2u);
        EXPECT_EQ(cut.substr(cut.size() - 2), "…") << max;
        std::string body = cut.substr(0, cut.size() - 2);
        std::size_t n = 0;
        while (n < body.size()) n += MbcsCharLength(body, n);
        EXPECT_EQ(n, body.size()) << max;
        EXPECT_EQ(url.compare(0, body.size(), body), 0) << max;
        EXPECT_GE(body.size() + 1, max - 2) << max << ": cut more than half a character short";
    }
    EXPECT_EQ(ShortenGbk("http://short/", 80), "http://short/");
    ProbeReason r;
    r.redirects = 1;
    r.finalUrl = url;
    std::string text = FormatReason(r, 30);
    EXPECT_EQ(text.substr(text.find('\n')), "\n重定向 1 次 → " + ShortenGbk(url, 30));
}
