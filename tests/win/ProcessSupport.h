// skein.exe as a child process of a test: started from a directory of its
// own, found by its windows, read through its controls, killed when a test
// leaves it running. Every wait is bounded.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "resource.h"
#include "win/DialogAnswerer.h"
#include "win/TestSupport.h"

namespace testsupport {

// A control's text asked of the control itself: an edit of another process
// keeps its text where GetWindowText does not look.
inline std::string ControlText(HWND h) {
    char buf[1024] = {};
    SendBounded(h, WM_GETTEXT, sizeof buf, (LPARAM)buf);
    return buf;
}

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
        if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
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
        HWND found = nullptr;
        WaitFor([&] { return (found = FindTopWindow(cls, title)) != nullptr; }, timeoutMs);
        return found;
    }
    // Waits for pred() while the program runs; false at once when it has ended.
    bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs) const {
        for (DWORD start = ::GetTickCount();;) {
            if (pred()) return true;
            if (::GetTickCount() - start >= timeoutMs) return false;
            if (::WaitForSingleObject(m_pi.hProcess, 20) == WAIT_OBJECT_0) return pred();
        }
    }
    // The exit code, or -1 when the program did not end in time.
    long WaitForExit(DWORD timeoutMs = 20000) const {
        if (::WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return (long)code;
    }
    HANDLE Process() const { return m_pi.hProcess; }
    DWORD ThreadId() const { return m_pi.dwThreadId; }

    std::string PaneText(HWND hBar, int nPane) const { return AskText(hBar, SB_GETTEXTA, nPane); }
    std::string CellText(HWND hList, int row, int col) const {
        LVITEMA item{};
        item.iSubItem = col;
        return AskText(hList, LVM_GETITEMTEXTA, row, &item);
    }
    int RowCount(HWND hList) const {
        LRESULT n = -1;
        return SendBounded(hList, LVM_GETITEMCOUNT, 0, 0, &n) ? (int)n : -1;
    }

private:
    // Sends msg with lParam pointing into a block of the program's memory (the
    // system does not carry such parameters across processes) and reads back
    // the text the control wrote there. An item, if given, goes first and
    // points the control at the text buffer.
    std::string AskText(HWND h, UINT msg, WPARAM w, LVITEMA* item = nullptr) const {
        const size_t kText = 1024, kSize = 4096;
        auto* block = static_cast<char*>(::VirtualAllocEx(m_pi.hProcess, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
        if (!block) return "<no memory>";
        std::string text(kSize - kText, '\0');
        SIZE_T done = 0;
        if (item) {
            item->pszText = block + kText;
            item->cchTextMax = (int)text.size();
        }
        bool ok = (!item || ::WriteProcessMemory(m_pi.hProcess, block, item, sizeof *item, &done)) &&
                  SendBounded(h, msg, w, (LPARAM)(item ? block : block + kText)) &&
                  ::ReadProcessMemory(m_pi.hProcess, block + kText, text.data(), text.size(), &done);
        ::VirtualFreeEx(m_pi.hProcess, block, 0, MEM_RELEASE);
        return ok ? text.c_str() : "<no answer>";
    }
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

// skein.exe copied into a directory of its own, where its settings file lives,
// and started from another working directory, as a shortcut starts it.
class ProgramTest : public ::testing::Test {
protected:
    TempDir exeDir, workDir;
    std::string exe, config;
    ChildProgram program;
    HWND frame = nullptr, panel = nullptr, status = nullptr, list = nullptr;

    void SetUp() override { Install(exeDir.path, "skein.exe"); }
    void Install(const std::string& dir, const std::string& name) {
        exe = dir + "\\" + name;
        config = dir + "\\config.ini";
        std::string built = std::string("Z:") + SKEIN_EXE_PATH;   // the build's skein.exe as Wine sees its path
        std::replace(built.begin(), built.end(), '/', '\\');
        ASSERT_TRUE(::CopyFileA(built.c_str(), exe.c_str(), FALSE)) << exe;
    }
    // Starts the program and waits for its frame and control panel.
    void Launch() {
        ASSERT_TRUE(program.Start(exe, workDir.path));
        ASSERT_NO_FATAL_FAILURE(FindWindows());
    }
    void FindWindows() {
        frame = program.WaitForWindow(nullptr, "Skein");
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(program.WaitFor([&] { return (panel = FindPanel(frame)) != nullptr; }, 10000));
        status = ::GetDlgItem(frame, AFX_IDW_STATUS_BAR);
        list = ::FindWindowExA(frame, nullptr, "SysListView32", nullptr);
        ASSERT_TRUE(status && list);
    }
    long CloseAndWait() {
        ::PostMessageA(frame, WM_CLOSE, 0, 0);
        return program.WaitForExit();
    }
    std::string Pane(int i) const { return program.PaneText(status, i); }
    bool WaitForPane(int i, const std::string& text, DWORD timeoutMs = 10000) const {
        return program.WaitFor([&] { return Pane(i) == text; }, timeoutMs);
    }
    HWND Item(int id) const { return ::GetDlgItem(panel, id); }
    // A press of a panel button, as a click delivers it.
    void Click(int id) const { ::PostMessageA(Item(id), BM_CLICK, 0, 0); }
    bool WaitEnabled(int id) const {
        return program.WaitFor([&] { return ::IsWindowEnabled(Item(id)) != FALSE; }, 5000);
    }
};

}  // namespace testsupport
