// Text of a code page as UTF-8, for what leaves the program in UTF-8 (addresses
// on the wire, the report).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// By way of UTF-16; a byte the code page does not know becomes its default character.
std::string Utf8FromCodePage(UINT codePage, std::string_view text);
