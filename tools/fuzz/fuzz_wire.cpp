// What goes on the wire is ASCII and stays as it is when sent again; ASCII
// text goes unchanged. Punycode decodes (RFC 3492, written out here) back to
// the label it encoded.
#include <optional>

#include "tools/fuzz/Fuzz.h"
#include "urls/rules/Utf8.h"
#include "urls/rules/WireAddress.h"

namespace {

constexpr std::uint64_t kBase = 36, kTMin = 1, kTMax = 26;

std::uint64_t Adapt(std::uint64_t delta, std::uint64_t points, bool first) {
    delta = first ? delta / 700 : delta / 2;
    delta += delta / points;
    std::uint64_t k = 0;
    for (; delta > (kBase - kTMin) * kTMax / 2; k += kBase) delta /= kBase - kTMin;
    return k + (kBase - kTMin + 1) * delta / (delta + 38);
}

std::optional<std::u32string> DecodePunycode(std::string_view s) {
    std::u32string out;
    std::size_t in = 0;
    if (std::size_t dash = s.rfind('-'); dash != std::string_view::npos) {
        out.assign(s.begin(), s.begin() + dash);
        in = dash + 1;
    }
    std::uint64_t n = 0x80, i = 0, bias = 72;
    while (in < s.size()) {
        const std::uint64_t old = i;
        for (std::uint64_t w = 1, k = kBase;; k += kBase) {
            if (in == s.size()) return std::nullopt;
            const char c = s[in++];
            const std::uint64_t d = c >= 'a' && c <= 'z' ? c - 'a' : c >= '0' && c <= '9' ? c - '0' + 26 : kBase;
            if (d >= kBase || d > (UINT32_MAX - i) / w) return std::nullopt;
            i += d * w;
            const std::uint64_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
            if (d < t) break;
            w *= kBase - t;
        }
        bias = Adapt(i - old, out.size() + 1, old == 0);
        n += i / (out.size() + 1);
        i %= out.size() + 1;
        out.insert(out.begin() + i++, char32_t(n));
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::u32string label(in.ConsumeIntegralInRange<std::size_t>(0, 64), U'\0');
    for (char32_t& c : label) c = in.ConsumeBool() ? in.ConsumeIntegralInRange<char32_t>(0x20, 0x7E) : in.ConsumeIntegralInRange<char32_t>(0x80, 0x10FFFF);
    const std::string url = (in.ConsumeBool() ? "http://" : "") + in.ConsumeRemainingBytesAsString();

    // An absolute address's scheme is ASCII; other text before a "://" is no address.
    const std::string wire = WireAddress(url);
    FUZZ_CHECK(!IsAscii(url.substr(0, url.find("://"))) || (IsAscii(wire) && WireAddress(wire) == wire));
    FUZZ_CHECK(!IsAscii(url) || wire == url);
    const std::string code = Punycode(label);
    FUZZ_CHECK(IsAscii(code) && DecodePunycode(code) == label);
    return 0;
}
