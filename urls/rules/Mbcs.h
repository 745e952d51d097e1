// Text in the ANSI code page (GBK, cp936): a byte 0x81-0xFE starts a two-byte
// character, and its trail byte (0x40-0xFE except 0x7F, which takes in 'A'-'Z',
// 'a'-'z', '@', '[', '\\', '|' and '{') is never a character of its own. A lead
// byte not followed by a trail byte (invalid GBK) stands alone. Every search,
// replace and case change here steps over whole characters.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length in bytes of the character starting at s[i] (1 or 2; 1 at a truncated end).
std::size_t MbcsCharLength(std::string_view s, std::size_t i);

// First occurrence of needle that starts on a character boundary of s at or
// after byte `from`; npos when none. An empty needle is found at `from`.
std::size_t MbcsFind(std::string_view s, std::string_view needle, std::size_t from = 0);

// Replaces every occurrence (left to right, not re-examining replaced text);
// returns the number of replacements.
std::size_t MbcsReplace(std::string& s, std::string_view from, std::string_view to);

// Lower-cases the single-byte letters A-Z only.
void MbcsMakeLower(std::string& s);

// Field `index` of s split at the single-byte separator `sep`; false when s has fewer fields.
bool MbcsExtractSubString(std::string& out, std::string_view s, int index, char sep);
