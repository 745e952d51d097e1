#include "urls/Import.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "framework/Handles.h"
#include "urls/rules/ImportRules.h"

namespace {

HANDLE OpenForSharedRead(const std::string& path, DWORD flags) {
    return ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags,
                         nullptr);
}

}  // namespace

bool IsFileReadable(const std::string& path) {
    CHandle file(OpenForSharedRead(path, 0));
    return file.IsValid();
}

FileReadResult ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    CHandle file(OpenForSharedRead(path, FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file.IsValid()) return FileReadResult::Unreadable;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) return FileReadResult::Unreadable;
    // A 32-bit process cannot hold more; refusing here beats failing half-way.
    const LONGLONG kLimit = 1LL << 30;
    if (size.QuadPart < 0 || size.QuadPart > kLimit) return FileReadResult::TooLarge;
    try {
        content.reserve(static_cast<std::size_t>(size.QuadPart) + 65536);
        content.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        for (;;) {
            if (done == content.size()) {
                // The file may have grown since its size was taken.
                if (content.size() >= static_cast<std::size_t>(kLimit)) {
                    content = std::string();
                    return FileReadResult::TooLarge;
                }
                content.resize(content.size() + 65536);
            }
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 16u << 20));
            DWORD got = 0;
            if (!::ReadFile(file.Get(), content.data() + done, chunk, &got, nullptr)) {
                content = std::string();
                return FileReadResult::Unreadable;
            }
            if (got == 0) break;
            done += got;
        }
        content.resize(done);
    } catch (const std::bad_alloc&) {
        content = std::string();
        return FileReadResult::TooLarge;
    }
    return FileReadResult::Ok;
}

namespace {

// UTF-16 code units (little-endian, prepared) to the ANSI code page.
std::string Utf16ToAnsi(const void* units, std::size_t count) {
    static_assert(sizeof(wchar_t) == 2, "UTF-16 code units");
    if (count == 0) return {};
    const auto* wide = static_cast<const wchar_t*>(units);
    // No best fit: a character the code page lacks is "?", never a look-alike
    // that would make another URL.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    int bytes = ::WideCharToMultiByte(CP_ACP, flags, wide, (int)count, nullptr, 0, "?", nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) ::WideCharToMultiByte(CP_ACP, flags, wide, (int)count, out.data(), bytes, "?", nullptr);
    return out;
}

}  // namespace

FileReadResult ReadUrlFileText(const std::string& path, std::string& text) {
    FileReadResult result = ReadWholeFile(path, text);
    if (result != FileReadResult::Ok) return result;
    const ByteOrderMark bom = DetectByteOrderMark(text);
    try {
        switch (bom.encoding) {
        case TextEncoding::Ansi:
            // Notepad saves UTF-8 without a mark. GBK text is seldom strict UTF-8,
            // and ASCII reads the same either way.
            if (IsAscii(text) || !IsStrictUtf8(text)) break;
            [[fallthrough]];
        case TextEncoding::Utf8: {
            std::u16string units = DecodeUtf8(std::string_view(text).substr(bom.length));
            std::string ansi = Utf16ToAnsi(units.data(), units.size());
            text.swap(ansi);
            break;
        }
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            // The units start two bytes in, so they are as aligned as wchar_t needs.
            char* units = text.data() + bom.length;
            std::size_t count = PrepareUtf16Units(units, text.size() - bom.length,
                                                  bom.encoding == TextEncoding::Utf16Be);
            std::string ansi = Utf16ToAnsi(units, count);
            text.swap(ansi);
            break;
        }
        }
    } catch (const std::bad_alloc&) {
        text = std::string();
        return FileReadResult::TooLarge;
    }
    return FileReadResult::Ok;
}
