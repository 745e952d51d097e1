#include "urls/rules/WireAddress.h"

#include <algorithm>
#include <cstdint>

#include "urls/rules/Utf8.h"

namespace {

void AppendEscaped(std::string& out, std::string_view s) {
    static const char kHex[] = "0123456789ABCDEF";
    for (char c : s) {
        auto b = (unsigned char)c;
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        }
    }
}

// Strict UTF-8; false on any fault.
bool DecodeUtf8(std::string_view s, std::u32string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p != end) {
        const char32_t cp = NextUtf8CodePoint(p, end);
        if (cp == kBrokenUtf8) return false;
        out.push_back(cp);
    }
    return true;
}

// What a browser makes of the characters a Chinese keyboard puts in a host
// name: full stops of every width, and fullwidth letters, digits and hyphens.
char32_t MapHostChar(char32_t c) {
    if (c == 0x3002 || c == 0xFF0E || c == 0xFF61) return '.';
    if (c == 0xFF0D || (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A))
        c -= 0xFEE0;
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    return c;
}

// A name server takes names of at most 253 bytes, and each character of a
// host gives at least one of them for the four it may take in UTF-8. Longer
// hosts are not encoded: Punycode's time grows with the square of a label,
// and a server's Location may hold a host of 64 KB.
constexpr std::size_t kMaxHostUtf8Bytes = 4 * 253;

void AppendHost(std::string& out, std::string_view host) {
    std::u32string chars;
    if (IsAscii(host) || host.size() > kMaxHostUtf8Bytes || !DecodeUtf8(host, chars)) {
        AppendEscaped(out, host);
        return;
    }
    for (char32_t& c : chars) c = MapHostChar(c);
    std::u32string_view rest = chars;
    for (;;) {
        std::size_t dot = rest.find(U'.');
        std::u32string_view label = rest.substr(0, dot);
        if (std::all_of(label.begin(), label.end(), [](char32_t c) { return c < 0x80; }))
            for (char32_t c : label) out.push_back((char)c);
        else
            out.append("xn--").append(Punycode(label));
        if (dot == std::u32string_view::npos) break;
        out.push_back('.');
        rest.remove_prefix(dot + 1);
    }
}

// RFC 3492's parameters.
constexpr std::uint64_t kBase = 36, kTMin = 1, kTMax = 26, kSkew = 38, kDamp = 700;

std::uint64_t Adapt(std::uint64_t delta, std::uint64_t points, bool first) {
    delta = first ? delta / kDamp : delta / 2;
    delta += delta / points;
    std::uint64_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

char Digit(std::uint64_t d) { return (char)(d < 26 ? 'a' + d : '0' + (d - 26)); }

}  // namespace

std::string Punycode(std::u32string_view label) {
    std::string out;
    for (char32_t c : label)
        if (c < 0x80) out.push_back((char)c);
    const std::uint64_t basic = out.size();
    if (basic) out.push_back('-');
    std::uint64_t n = 0x80, delta = 0, bias = 72, handled = basic;
    while (handled < label.size()) {
        std::uint64_t m = UINT64_MAX;
        for (char32_t c : label)
            if (c >= n) m = std::min<std::uint64_t>(m, c);
        delta += (m - n) * (handled + 1);
        n = m;
        for (char32_t c : label) {
            if (c < n) ++delta;
            if (c != n) continue;
            std::uint64_t q = delta;
            for (std::uint64_t k = kBase;; k += kBase) {
                std::uint64_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
                if (q < t) break;
                out.push_back(Digit(t + (q - t) % (kBase - t)));
                q = (q - t) / (kBase - t);
            }
            out.push_back(Digit(q));
            bias = Adapt(delta, handled + 1, handled == basic);
            delta = 0;
            ++handled;
        }
        ++delta;
        ++n;
    }
    return out;
}

std::string WireAddress(std::string_view url) {
    if (IsAscii(url)) return std::string(url);
    std::string out;
    out.reserve(url.size() * 3);
    // "scheme://authority": every delimiter is ASCII and no UTF-8 byte of a
    // character is, so the split never lands inside one.
    std::size_t scheme = url.find("://");
    if (scheme == std::string_view::npos || url.find_first_of("/?#") < scheme) {
        AppendEscaped(out, url);
        return out;
    }
    std::size_t authorityStart = scheme + 3;
    std::size_t authorityEnd = std::min(url.find_first_of("/?#", authorityStart), url.size());
    std::string_view authority = url.substr(authorityStart, authorityEnd - authorityStart);
    std::size_t at = authority.rfind('@');
    std::size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
    std::size_t colon = authority.find(':', hostStart);
    if (colon == std::string_view::npos) colon = authority.size();

    out.append(url.substr(0, authorityStart));
    AppendEscaped(out, authority.substr(0, hostStart));
    AppendHost(out, authority.substr(hostStart, colon - hostStart));
    AppendEscaped(out, authority.substr(colon));
    AppendEscaped(out, url.substr(authorityEnd));
    return out;
}
