#include "urls/rules/Utf8.h"

#include <algorithm>

namespace {

// What a lead byte says of its sequence: how many trail bytes follow, the
// lead's bits of the code point, and the range of the first trail byte. Its
// narrower ranges rule out overlong forms (E0, F0), surrogates (ED) and code
// points above U+10FFFF (F4). No trail bytes: no sequence starts so.
struct Utf8Lead {
    int trail = 0;
    char32_t bits = 0;
    unsigned lo = 0x80, hi = 0xBF;
};

Utf8Lead ReadLead(unsigned lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return {1, lead & 0x1F};
    if (lead >= 0xE0 && lead <= 0xEF) return {2, lead & 0x0F, lead == 0xE0 ? 0xA0u : 0x80u, lead == 0xED ? 0x9Fu : 0xBFu};
    if (lead >= 0xF0 && lead <= 0xF4) return {3, lead & 0x07, lead == 0xF0 ? 0x90u : 0x80u, lead == 0xF4 ? 0x8Fu : 0xBFu};
    return {};
}

}  // namespace

char32_t NextUtf8CodePoint(const unsigned char*& p, const unsigned char* end) {
    const unsigned lead = *p++;
    if (lead < 0x80) return lead;
    Utf8Lead seq = ReadLead(lead);
    if (seq.trail == 0) return kBrokenUtf8;
    char32_t cp = seq.bits;
    for (int i = 0; i < seq.trail; ++i, seq.lo = 0x80, seq.hi = 0xBF) {
        if (p == end || *p < seq.lo || *p > seq.hi) return kBrokenUtf8;
        cp = cp << 6 | (*p++ & 0x3F);
    }
    return cp;
}

bool IsStrictUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p != end)
        if (NextUtf8CodePoint(p, end) == kBrokenUtf8) return false;
    return true;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}
