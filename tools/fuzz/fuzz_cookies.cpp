// Whatever the Set-Cookie headers say, the Cookie header is "name=value" pairs
// with a name each, no more than a browser keeps, and an address that is not
// http or https neither sets nor gets one.
#include "tools/fuzz/Fuzz.h"
#include "urls/rules/Cookies.h"

namespace {

std::string PickUrl(FuzzedDataProvider& in) {
    static const char* const kOrigins[] = {"http://a.example", "HTTPS://b.a.example:443", "http://example",
                                           "https://127.0.0.1", "ftp://a.example", "http://[::1]:80"};
    return kOrigins[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kOrigins) - 1)] + in.ConsumeRandomLengthString(12);
}

void CheckHeader(const std::string& header) {
    std::size_t pairs = 0;
    for (std::size_t at = 0; at < header.size(); ++pairs) {
        std::size_t end = std::min(header.find("; ", at), header.size());
        const std::string_view pair = std::string_view(header).substr(at, end - at);
        FUZZ_CHECK(pair.find('=') != 0 && pair.find('=') != std::string_view::npos && pair.find(';') == std::string_view::npos);
        at = end + 2;
    }
    FUZZ_CHECK(pairs <= CookieJar::kMaxCookies);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    CookieJar jar, webOnly;   // webOnly is not shown what ftp addresses set
    while (in.remaining_bytes() > 0) {
        const std::string url = PickUrl(in);
        const bool ftp = url.rfind("ftp:", 0) == 0;
        if (in.ConsumeBool()) {
            const std::string setCookie = in.ConsumeRandomLengthString(64);
            jar.Take(url, setCookie);
            if (!ftp) webOnly.Take(url, setCookie);
        }
        const std::string header = jar.HeaderFor(url);
        CheckHeader(header);
        FUZZ_CHECK(ftp ? header.empty() : header == webOnly.HeaderFor(url));
    }
    return 0;
}
