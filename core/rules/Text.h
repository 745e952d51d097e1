// Small text rules that several layers share. Plain bytes in, nothing of Windows.
#pragma once
#include <string_view>

// The text starts with `lowerPrefix` (ASCII, lower-case) when its letters
// A-Z are taken as lower-case. The text's bytes before a match are all ASCII,
// so the comparison never reaches the trail byte of a double-byte character.
bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix);

// atoi as the C library does it (leading white space, one sign, decimal
// digits up to the first other byte, 0 when there are none), but a number
// beyond int stops at INT_MAX or INT_MIN instead of being undefined.
int SaturatingAtoi(std::string_view text);
