// skein.exe as a child process of a test: started from a directory of its
// own, found by its windows, read through its controls, killed when a test
// leaves it running. Every wait is bounded.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>

#include "resource.h"
#include "win/DialogAnswerer.h"
#include "win/TestSupport.h"

namespace testsupport {

// The build's skein.exe as Wine sees its Linux path.
inline std::string BuiltExePath() {
    std::string path = std::string("Z:") + SKEIN_EXE_PATH;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Waits for pred() while other threads and processes do their work.
inline bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(50);
    }
}

// Sends with a bound: a hung program fails the test instead of hanging it.
inline bool SendBounded(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* result = nullptr) {
    DWORD_PTR r = 0;
    bool ok = ::SendMessageTimeoutA(h, msg, w, l, SMTO_ABORTIFHUNG, 5000, &r) != 0;
    if (result) *result = (LRESULT)r;
    return ok;
}

// A control's text asked of the control itself: an edit of another process
// keeps its text where GetWindowText does not look.
inline std::string ControlText(HWND h) {
    char buf[1024] = {};
    SendBounded(h, WM_GETTEXT, sizeof buf, (LPARAM)buf);
    return buf;
}

// A block of memory inside another process, for the control messages whose
// parameters point at memory (the system does not carry them across).
class RemoteMemory {
public:
    RemoteMemory(HANDLE hProcess, size_t size) : m_hProcess(hProcess) {
        m_p = static_cast<char*>(::VirtualAllocEx(hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteMemory() {
        if (m_p) ::VirtualFreeEx(m_hProcess, m_p, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    bool Ok() const { return m_p != nullptr; }
    char* At(size_t offset) const { return m_p + offset; }
    bool Write(size_t offset, const void* data, size_t len) {
        SIZE_T done = 0;
        return ::WriteProcessMemory(m_hProcess, m_p + offset, data, len, &done) && done == len;
    }
    std::string ReadString(size_t offset, size_t max) {
        std::string s(max, '\0');
        SIZE_T done = 0;
        if (!::ReadProcessMemory(m_hProcess, m_p + offset, s.data(), max, &done)) return "<unreadable>";
        s.resize(::strnlen(s.c_str(), done));
        return s;
    }

private:
    HANDLE m_hProcess;
    char* m_p = nullptr;
};

// The control panel inside a frame of another process: the dialog that holds
// the import and start buttons.
inline HWND FindPanel(HWND hFrame) {
    struct Finder {
        static BOOL CALLBACK Match(HWND h, LPARAM lp) {
            if (ClassOf(h) == "#32770" && ::GetDlgItem(h, IDC_IMPORT) && ::GetDlgItem(h, IDC_QUERY)) {
                *reinterpret_cast<HWND*>(lp) = h;
                return FALSE;
            }
            return TRUE;
        }
    };
    HWND found = nullptr;
    ::EnumChildWindows(hFrame, &Finder::Match, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The program under test; killed at the end of the test if it is still running.
class ChildProgram {
public:
    ChildProgram() = default;
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    ~ChildProgram() {
        if (!m_pi.hProcess) return;
        if (Running()) {
            ::TerminateProcess(m_pi.hProcess, 99);
            ::WaitForSingleObject(m_pi.hProcess, 5000);
        }
        ::CloseHandle(m_pi.hThread);
        ::CloseHandle(m_pi.hProcess);
    }
    bool Start(const std::string& exe, const std::string& workDir) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"" + exe + "\"";
        return ::CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(), &si,
                                &m_pi) != FALSE;
    }
    // A visible top-level window of the program with this class and title (null: any).
    HWND FindTopWindow(const char* cls, const char* title) const {
        Search s{m_pi.dwProcessId, cls, title, nullptr};
        ::EnumWindows(&ChildProgram::Match, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }
    HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs = 20000) const {
        DWORD start = ::GetTickCount();
        do {
            if (HWND h = FindTopWindow(cls, title)) return h;
            if (::WaitForSingleObject(m_pi.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        } while (::GetTickCount() - start < timeoutMs);
        return nullptr;
    }
    // The exit code, or -1 when the program did not end in time.
    long WaitForExit(DWORD timeoutMs = 20000) const {
        if (::WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return (long)code;
    }
    bool Running() const { return ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    HANDLE Process() const { return m_pi.hProcess; }
    DWORD ThreadId() const { return m_pi.dwThreadId; }

    // Text of a status-bar pane, read through a buffer in the program's memory.
    std::string PaneText(HWND hBar, int nPane) const {
        RemoteMemory mem(m_pi.hProcess, 1024);
        if (!mem.Ok() || !SendBounded(hBar, SB_GETTEXTA, (WPARAM)nPane, (LPARAM)mem.At(0))) return "<no answer>";
        return mem.ReadString(0, 1024);
    }
    int RowCount(HWND hList) const {
        LRESULT n = -1;
        return SendBounded(hList, LVM_GETITEMCOUNT, 0, 0, &n) ? (int)n : -1;
    }
    std::string CellText(HWND hList, int row, int col) const {
        RemoteMemory mem(m_pi.hProcess, 4096);
        if (!mem.Ok()) return "<no memory>";
        LVITEMA item{};
        item.iSubItem = col;
        item.pszText = mem.At(1024);
        item.cchTextMax = 2048;
        if (!mem.Write(0, &item, sizeof item)) return "<not written>";
        if (!SendBounded(hList, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)mem.At(0))) return "<no answer>";
        return mem.ReadString(1024, 2048);
    }

private:
    struct Search {
        DWORD pid;
        const char* cls;
        const char* title;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND h, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        if (pid != s->pid || !::IsWindowVisible(h)) return TRUE;
        if (s->cls && ClassOf(h) != s->cls) return TRUE;
        if (s->title && TextOf(h) != s->title) return TRUE;
        s->found = h;
        return FALSE;
    }
    PROCESS_INFORMATION m_pi{};
};

}  // namespace testsupport
