// The fetched address is http or https and ends with the row's text; a
// resolved Location is absolute, without fragment, resolves to itself, and a
// relative one stays at the base's origin; page text does not depend on how
// the body was cut into chunks, and holds no CR and no zero byte.
#include "tools/fuzz/Fuzz.h"
#include "urls/rules/ProbeRules.h"

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void CheckResolved(std::string_view base, std::string_view location) {
    const std::string resolved = ResolveLocation(base, location);
    FUZZ_CHECK(resolved.find('#') == std::string::npos);
    if (resolved.empty()) return;
    FUZZ_CHECK(IsLetter(resolved[0]) && resolved.find(':') != std::string::npos);
    // Blanks before a dropped fragment stay, as part of the address.
    FUZZ_CHECK(ResolveLocation(base, resolved) == resolved.substr(0, resolved.find_last_not_of(" \t") + 1));
    // Resolved against the base, the answer is on the base's host unless the
    // Location named a scheme or a host of its own.
    const std::size_t host = base.find("://");
    const std::size_t pathAt = host == std::string_view::npos ? host : base.find_first_of("/?#", host + 3);
    const std::string_view origin = base.substr(0, pathAt);
    const bool ownHost = location.find(':') != std::string_view::npos || location.find("//") != std::string_view::npos;
    FUZZ_CHECK(ownHost || resolved.compare(0, origin.size(), origin) == 0);
}

void CheckPageText(FuzzedDataProvider& in, std::string_view body) {
    const std::size_t limit = in.ConsumeIntegralInRange<std::size_t>(0, 2 * body.size() + 1);
    PageTextBuilder whole(limit), chunked(limit);
    whole.Feed(body);
    for (std::string_view rest = body; !rest.empty();) {
        const std::size_t n = in.ConsumeIntegralInRange<std::size_t>(1, rest.size());
        chunked.Feed(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    FUZZ_CHECK(chunked.Text() == whole.Text() && chunked.BytesTaken() == whole.BytesTaken());
    FUZZ_CHECK(whole.BytesTaken() == std::min(limit, body.size()) && whole.Full() == (limit <= body.size()));
    FUZZ_CHECK(whole.Text().find_first_of(std::string_view("\r\0", 2)) == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string base = in.ConsumeRandomLengthString(64);
    const std::string location = in.ConsumeRandomLengthString(64);
    CheckResolved(base, location);
    CheckResolved("http://h.example:8080/a/b/c?q=1#f", location);

    const std::string normal = NormalizeUrl(location);
    FUZZ_CHECK(location.empty() ? normal.empty() : IsFollowableScheme(normal) && NormalizeUrl(normal) == normal);
    FUZZ_CHECK(normal.size() >= location.size() && normal.compare(normal.size() - location.size(), location.size(), location) == 0);
    FUZZ_CHECK(ClassifyPage(base + std::string(kErrorPageMarker) + location) == kProbeErrorPage);
    FUZZ_CHECK(ClassifyPage("") == kProbeNothing);
    CheckPageText(in, in.ConsumeRemainingBytesAsString());
    return 0;
}
