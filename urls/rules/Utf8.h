// UTF-8, read strictly: what the import and the wire form of an address both need.
#pragma once
#include <string_view>

constexpr char32_t kBrokenUtf8 = 0xFFFFFFFF;

// The character that starts at p, p moved past it; kBrokenUtf8 for a sequence
// that is no UTF-8 as the standard has it, which stops before the first byte
// that does not fit, so that byte is read afresh.
char32_t NextUtf8CodePoint(const unsigned char*& p, const unsigned char* end);

// UTF-8 as the standard has it: no overlong form, no surrogate, nothing above
// U+10FFFF, no sequence cut short. GBK text seldom passes: "联通" (C1 AA CD A8)
// reads as overlong two-byte forms.
bool IsStrictUtf8(std::string_view bytes);

bool IsAscii(std::string_view text);
