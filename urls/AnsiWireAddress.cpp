#include "urls/AnsiWireAddress.h"

#include <windows.h>

#include <algorithm>

#include "urls/rules/ProbeRules.h"
#include "urls/rules/WireAddress.h"

std::string WireAddressFromAnsi(const std::string& ansiUrl) {
    // A line already too long for a request line is refused as it stands, not
    // converted at several times its size: its wire form is longer still,
    // unless its host name is thousands of times longer than a name server takes.
    if (ansiUrl.size() > kMaxUrlBytes ||
        std::all_of(ansiUrl.begin(), ansiUrl.end(), [](char c) { return (unsigned char)c < 0x80; }))
        return ansiUrl;
    const int ansiLen = (int)ansiUrl.size();
    std::wstring wide(::MultiByteToWideChar(CP_ACP, 0, ansiUrl.data(), ansiLen, nullptr, 0), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansiUrl.data(), ansiLen, wide.data(), (int)wide.size());
    std::string utf8(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr),
                     '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), utf8.data(), (int)utf8.size(), nullptr, nullptr);
    return WireAddress(utf8);
}
