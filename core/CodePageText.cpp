#include "core/CodePageText.h"

std::string Utf8FromCodePage(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int wide = ::MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring utf16(wide, L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), utf16.data(), wide);
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}
