// Helpers shared by the Windows tests: message pumping, a recording stand-in
// window, and temporary directories.
#pragma once
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "framework/Wnd.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b) != FALSE;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace testsupport {

inline std::string ClassOf(HWND h) {
    char cls[64] = {};
    ::GetClassNameA(h, cls, sizeof cls);
    return cls;
}

inline std::string TextOf(HWND h) {
    char buf[1024] = {};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

// Sends with a bound: a hung window fails the test instead of hanging it.
inline bool SendBounded(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* result = nullptr) {
    DWORD_PTR r = 0;
    bool ok = ::SendMessageTimeoutA(h, msg, w, l, SMTO_ABORTIFHUNG, 5000, &r) != 0;
    if (result) *result = (LRESULT)r;
    return ok;
}

// Pumps messages the way the program's loop does (PreTranslateMessage walk
// first) until pred() holds or timeoutMs passes. Returns pred(). A message
// that take() accepts is taken out of the queue instead.
inline bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000,
                      const std::function<bool(const MSG&)>& take = {}) {
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return pred();
            if (take && take(msg)) continue;
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
                NoteMessageWalked(msg);
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (pred()) return true;
        }
        if (pred()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pumps for a fixed time (for "nothing else arrives" checks).
inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// A top-level window that records every message in [WM_USER, 0x7FFF] it receives.
class RecordingWindow : public CWnd {
public:
    struct Message {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    RecordingWindow() {
        LPCSTR cls = RegisterWndClass(0);
        CreateEx(0, cls, "recorder", WS_OVERLAPPED, RECT{0, 0, 10, 10}, nullptr, 0);
    }
    std::vector<Message> messages;
    std::vector<Message> Of(UINT msg) const {
        std::vector<Message> out;
        for (const auto& m : messages)
            if (m.msg == msg) out.push_back(m);
        return out;
    }
    size_t Count(UINT msg) const { return Of(msg).size(); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg >= WM_USER && msg <= 0x7FFF) {
            messages.push_back({msg, wParam, lParam});
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// A fresh directory under %TEMP%, removed with its files at the end of the scope.
class TempDir {
public:
    TempDir() {
        char base[MAX_PATH];
        ::GetTempPathA(MAX_PATH, base);
        static int counter = 0;
        path = std::string(base) + "skein-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
               std::to_string(++counter) + "-" + std::to_string(::GetTickCount());
        ::CreateDirectoryA(path.c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(path); }
    std::string File(const std::string& name) const { return path + "\\" + name; }
    std::string path;

    static void RemoveTree(const std::string& dir) {
        for (const std::string& name : FilesIn(dir)) {
            std::string full = dir + "\\" + name;
            if (::GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
            ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(full.c_str());
        }
        ::RemoveDirectoryA(dir.c_str());
    }
    // The names in a directory, "." and ".." left out.
    static std::set<std::string> FilesIn(const std::string& dir) {
        std::set<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do names.insert(fd.cFileName);
        while (::FindNextFileA(h, &fd));
        ::FindClose(h);
        names.erase(".");
        names.erase("..");
        return names;
    }
};

// Holds keys down in the thread's keyboard state, which GetKeyState reads and
// posted key messages leave alone, for as long as the object lives.
class KeysHeld {
public:
    explicit KeysHeld(const std::vector<UINT>& keys) {
        ::GetKeyboardState(m_saved);
        BYTE held[256];
        std::copy(m_saved, m_saved + 256, held);
        for (UINT key : keys) held[key] = 0x80;
        ::SetKeyboardState(held);
    }
    ~KeysHeld() { ::SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256] = {};
};

// A window's rectangle, and its client area, in screen coordinates.
inline RECT ScreenRect(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return r;
}

inline RECT ClientOnScreen(HWND h) {
    RECT r{};
    ::GetClientRect(h, &r);
    ::MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The manifest built into the test program, as into the program.
inline std::string OwnManifest() {
    HRSRC res = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (!res) return {};
    return {static_cast<const char*>(::LockResource(::LoadResource(nullptr, res))), ::SizeofResource(nullptr, res)};
}

// Writes bytes to a file (an ANSI path), replacing it.
inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    return f.write(bytes.data(), (std::streamsize)bytes.size()) && f.flush();
}

// Reads a whole file; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace testsupport
