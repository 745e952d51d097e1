#include "urls/Import.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "app/Globals.h"
#include "urls/rules/ImportRules.h"

namespace {

// Owns a file handle for the length of a scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (IsOpen()) ::CloseHandle(m_h);
    }
    bool IsOpen() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

HANDLE OpenForSharedRead(const std::string& path, DWORD flags) {
    return ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags,
                         nullptr);
}

}  // namespace

bool IsFileReadable(const std::string& path) {
    FileHandle file(OpenForSharedRead(path, 0));
    return file.IsOpen();
}

bool IsUrlWellFormed(const std::string& url) {
    return IsWellFormedUrl(url);
}

bool IsUrlIgnored(const std::string& url) {
    return IsIgnoredUrl(url, g_strIgnoreList);
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    FileHandle file(OpenForSharedRead(path, FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file.IsOpen()) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) return false;
    // A 32-bit process cannot hold more; refusing here beats failing half-way.
    const LONGLONG kLimit = 1LL << 30;
    if (size.QuadPart < 0 || size.QuadPart > kLimit) return false;
    try {
        content.reserve(static_cast<std::size_t>(size.QuadPart) + 65536);
        content.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        for (;;) {
            if (done == content.size()) {
                // The file may have grown since its size was taken.
                if (content.size() >= static_cast<std::size_t>(kLimit)) return false;
                content.resize(content.size() + 65536);
            }
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 16u << 20));
            DWORD got = 0;
            if (!::ReadFile(file.Get(), content.data() + done, chunk, &got, nullptr)) {
                content.clear();
                return false;
            }
            if (got == 0) break;
            done += got;
        }
        content.resize(done);
    } catch (const std::bad_alloc&) {
        content.clear();
        content.shrink_to_fit();
        return false;
    }
    return true;
}
