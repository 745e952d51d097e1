// The wire form of an address as a row holds it, in the ANSI code page.
#pragma once
#include <string>

// WireAddress (urls/rules/WireAddress.h) of the text read as the ANSI code
// page. ASCII text comes back unchanged.
std::string WireAddressFromAnsi(const std::string& ansiUrl);
