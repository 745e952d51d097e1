#include "urls/rules/Utf8.h"

#include <algorithm>

char32_t NextUtf8CodePoint(const unsigned char*& p, const unsigned char* end) {
    const unsigned lead = *p++;
    if (lead < 0x80) return lead;
    int trail = 0;
    char32_t cp = 0;
    // The narrower second-byte ranges rule out overlong forms (E0, F0),
    // surrogates (ED) and code points above U+10FFFF (F4).
    unsigned lo = 0x80, hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return kBrokenUtf8;
    }
    for (int i = 0; i < trail; ++i, lo = 0x80, hi = 0xBF) {
        if (p == end || *p < lo || *p > hi) return kBrokenUtf8;
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
