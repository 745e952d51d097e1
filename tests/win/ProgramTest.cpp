// The whole program as a user meets it: skein.exe copied to a fresh directory
// and started as its own process, then driven through the side bar's panel
// (import, check against a loopback server, clean-up, export) and read back
// from its windows: the list rows, the status panes and the exported file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"
#include "tools/support/TestHttpServer.h"
#include "win/DialogAnswerer.h"
#include "win/TestSupport.h"

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

const DWORD kSendTimeoutMs = 5000;

std::string BuiltExePath() {
    std::string path = std::string("Z:") + SKEIN_EXE_PATH;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

RECT ScreenRect(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return r;
}

RECT ClientOnScreen(HWND h) {
    RECT r{};
    ::GetClientRect(h, &r);
    ::MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Sends with a bound: a hung program fails the test instead of hanging it.
bool Send(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* result = nullptr) {
    DWORD_PTR r = 0;
    bool ok = ::SendMessageTimeoutA(h, msg, w, l, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r) != 0;
    if (result) *result = (LRESULT)r;
    return ok;
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

struct ChildSearch {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid || !::IsWindowVisible(h)) return TRUE;
    if (s->cls && testsupport::ClassOf(h) != s->cls) return TRUE;
    if (!s->cls && testsupport::TextOf(h) != "Skein") return TRUE;
    s->found = h;
    return FALSE;
}

BOOL CALLBACK FindPanel(HWND h, LPARAM lp) {
    if (testsupport::ClassOf(h) == "#32770" && ::GetDlgItem(h, IDC_IMPORT)) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindList(HWND h, LPARAM lp) {
    if (testsupport::ClassOf(h) == "SysListView32") {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

// skein.exe as a child process; killed at the end of the test if still running.
class Program {
public:
    ~Program() {
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
    // A visible top-level window of the program: the frame (cls null) or a dialog.
    HWND WaitForWindow(const char* cls, DWORD timeoutMs = 20000) const {
        DWORD start = ::GetTickCount();
        do {
            ChildSearch s{m_pi.dwProcessId, cls, nullptr};
            ::EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&s));
            if (s.found) return s.found;
            if (::WaitForSingleObject(m_pi.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        } while (::GetTickCount() - start < timeoutMs);
        return nullptr;
    }
    long WaitForExit(DWORD timeoutMs = 20000) const {
        if (::WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return (long)code;
    }
    HANDLE Process() const { return m_pi.hProcess; }

private:
    PROCESS_INFORMATION m_pi{};
};

// Waits for pred() while the test's own server threads do their work.
bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(50);
    }
}

class ProgramTest : public ::testing::Test {
protected:
    TempDir exeDir, workDir, dataDir;
    std::string exe;
    Program program;
    HWND frame = nullptr, panel = nullptr, bar = nullptr, list = nullptr, status = nullptr;

    void SetUp() override {
        exe = exeDir.File("skein.exe");
        ASSERT_TRUE(::CopyFileA(BuiltExePath().c_str(), exe.c_str(), FALSE)) << BuiltExePath();
    }

    bool Launch(const std::string& config) {
        if (!WriteFileBytes(exeDir.File("config.ini"), config)) return false;
        if (!program.Start(exe, workDir.path)) return false;
        frame = program.WaitForWindow(nullptr);
        if (!frame) return false;
        // The panel is created with the frame; its window is there once the frame shows.
        ::EnumChildWindows(frame, &FindPanel, reinterpret_cast<LPARAM>(&panel));
        ::EnumChildWindows(frame, &FindList, reinterpret_cast<LPARAM>(&list));
        status = ::GetDlgItem(frame, AFX_IDW_STATUS_BAR);
        bar = panel ? ::GetParent(panel) : nullptr;
        if (!(panel && list && status && bar)) return false;
        // Shown first, maximised and laid out a moment later.
        return WaitFor([&] { return ::IsZoomed(frame) && ScreenRect(list).right == ClientOnScreen(frame).right; },
                       10000);
    }

    std::string Pane(int i) {
        RemoteMemory mem(program.Process(), 1024);
        if (!mem.Ok() || !Send(status, SB_GETTEXTA, (WPARAM)i, (LPARAM)mem.At(0))) return "<no answer>";
        return mem.ReadString(0, 1024);
    }
    int Rows() {
        LRESULT n = -1;
        return Send(list, LVM_GETITEMCOUNT, 0, 0, &n) ? (int)n : -1;
    }
    std::string Cell(int row, int col) {
        RemoteMemory mem(program.Process(), 4096);
        if (!mem.Ok()) return "<no memory>";
        LVITEMA item{};
        item.iSubItem = col;
        item.pszText = mem.At(1024);
        item.cchTextMax = 2048;
        if (!mem.Write(0, &item, sizeof item)) return "<not written>";
        if (!Send(list, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)mem.At(0))) return "<no answer>";
        return mem.ReadString(1024, 2048);
    }
    std::vector<std::string> Column(int col) {
        std::vector<std::string> out;
        for (int i = 0, n = Rows(); i < n; ++i) out.push_back(Cell(i, col));
        return out;
    }
    // A press of a panel button, as a click delivers it.
    bool Click(int id) { return Send(::GetDlgItem(panel, id), BM_CLICK, 0, 0); }
    bool Enabled(int id) { return ::IsWindowEnabled(::GetDlgItem(panel, id)) != FALSE; }
    bool WaitForPane(int i, const std::string& text, DWORD timeoutMs = 10000) {
        return WaitFor([&] { return Pane(i) == text; }, timeoutMs);
    }
};

}  // namespace

TEST_F(ProgramTest, ComesUpMaximisedWithTheSideBarAtTheLeftHoldingThePanel) {
    ASSERT_TRUE(Launch("[user]\r\nfileurls=\r\nthreadcount=5\r\nkeypass=\r\n"));
    EXPECT_TRUE(::IsZoomed(frame));
    EXPECT_EQ(testsupport::TextOf(bar), "侧边栏");
    EXPECT_EQ(::GetDlgCtrlID(::GetParent(bar)), AFX_IDW_DOCKBAR_LEFT);

    RECT w = ScreenRect(bar);
    RECT client = ClientOnScreen(frame);
    RECT rs = ScreenRect(status);
    EXPECT_EQ(w.right - w.left, 350);
    EXPECT_EQ(w.left, client.left);
    EXPECT_LE(w.bottom, rs.top);
    EXPECT_GT(w.bottom - w.top, rs.top - client.top - 8);
    RECT lv = ScreenRect(list);
    EXPECT_NEAR(lv.left, w.right, 2) << "the list takes the rest";
    EXPECT_EQ(lv.right, client.right);

    // The grip band across the top, its close button at the right end, the panel filling the rest.
    RECT rc = ClientOnScreen(bar);
    RECT rp = ScreenRect(panel);
    EXPECT_EQ(rc.top - w.top, 17);
    EXPECT_EQ(rp.left, rc.left);
    EXPECT_EQ(rp.top, rc.top);
    EXPECT_EQ(rp.right, rc.right);
    EXPECT_EQ(rp.bottom, rc.bottom);
    LRESULT hit = 0;
    ASSERT_TRUE(Send(bar, WM_NCHITTEST, 0, MAKELPARAM(w.left + 333, w.top + 9), &hit));
    EXPECT_EQ(hit, HTCLOSE);
    ASSERT_TRUE(Send(bar, WM_NCHITTEST, 0, MAKELPARAM(w.left + 100, w.top + 9), &hit));
    EXPECT_EQ(hit, HTCLIENT);

    // The View menu hides it and shows it again.
    ::PostMessageA(frame, WM_COMMAND, ID_VIEW_SIDEBAR, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(bar); }, 5000));
    // The window manager may still move the frame by its border: measure in the frame's client area.
    EXPECT_TRUE(WaitFor([&] { return ScreenRect(list).left == ClientOnScreen(frame).left; }, 5000));
    ::PostMessageA(frame, WM_COMMAND, ID_VIEW_SIDEBAR, 0);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(bar) && ::IsWindowVisible(panel); }, 5000));

    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramTest, ImportCheckCleanUpAndExportThroughThePanel) {
    testsupport::TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    std::string host = "127.0.0.1:" + std::to_string(server.Port());
    const std::vector<std::string> urls = {
        server.Url("/page"),  server.Url("/errpage"),  server.Url("/status/404"), host + "/page",
        host + "/ads/banner", "intranet",             server.Url("/slow?ms=300"), server.Url("/page"),
    };
    std::string lines;
    for (const std::string& u : urls) lines += u + "\r\n";
    std::string listFile = dataDir.File("urls.txt");
    ASSERT_TRUE(WriteFileBytes(listFile, lines));
    ASSERT_TRUE(Launch("[user]\r\nfileurls=" + listFile + "\r\nthreadcount=3\r\nkeypass=ads\r\n"));

    ASSERT_TRUE(Click(IDC_IMPORT));
    ASSERT_TRUE(WaitForPane(0, "加载网址列表结束。")) << Pane(0);
    EXPECT_EQ(Pane(2), "网址个数: 8");
    EXPECT_EQ(Pane(1), "线程: 0");
    ASSERT_EQ(Rows(), 8);
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(7, 0), "8");
    EXPECT_EQ(Cell(1, 1), server.Url("/errpage"));
    EXPECT_TRUE(WaitFor([&] { return Enabled(IDC_IMPORT); }, 5000));

    ASSERT_TRUE(Click(IDC_QUERY));
    EXPECT_EQ(testsupport::TextOf(::GetDlgItem(panel, IDC_QUERY)), "停止查询");
    ASSERT_TRUE(WaitForPane(0, "执行完毕", 30000)) << Pane(0);
    EXPECT_TRUE(WaitFor([&] { return testsupport::TextOf(::GetDlgItem(panel, IDC_QUERY)) == "开始查询"; }, 5000));
    EXPECT_TRUE(WaitForPane(1, "线程: 0", 10000)) << Pane(1);
    const std::vector<std::string> verdicts = {"OK", "无效!", "超时!", "OK", "用户忽略！", "格式不正确！", "OK", "OK"};
    EXPECT_EQ(Column(2), verdicts);

    // Rows 1 and 8 are the same URL, row 4 differs in its scheme only.
    ASSERT_TRUE(Click(IDC_CLEAN_DUPLICATES));
    ASSERT_TRUE(WaitForPane(0, "共清理了 1 个重复网址。")) << Pane(0);
    EXPECT_EQ(Rows(), 7);
    EXPECT_TRUE(WaitFor([&] { return Enabled(IDC_CLEAN_DUPLICATES); }, 5000));

    ASSERT_TRUE(Click(IDC_CLEAN_INVALID));
    ASSERT_TRUE(WaitForPane(0, "共清理了 4 个无效网址。")) << Pane(0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"1", "4", "7"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"OK", "OK", "OK"}));
    EXPECT_EQ(Pane(2), "网址个数: 3");
    EXPECT_TRUE(WaitFor([&] { return Enabled(IDC_CLEAN_INVALID); }, 5000));

    // Export all: the save dialog of the program, answered with a file name.
    std::string out = dataDir.File("exported.txt");
    ASSERT_TRUE(Click(IDC_EXPORT_ALL));
    HWND dlg = program.WaitForWindow("#32770", 15000);
    ASSERT_NE(dlg, nullptr) << "the save dialog";
    ::Sleep(200);   // let the dialog finish its initialisation
    HWND edit = testsupport::DialogAnswerer::FindFileNameEdit(dlg);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(Send(edit, WM_SETTEXT, 0, (LPARAM)out.c_str()));
    testsupport::DialogAnswerer::Press(dlg, IDOK);
    ASSERT_TRUE(WaitForPane(0, "共导出了 3 个网址。", 15000)) << Pane(0);
    EXPECT_EQ(ReadFileBytes(out), urls[0] + "\r\n" + urls[3] + "\r\n" + urls[6] + "\r\n");
    EXPECT_TRUE(WaitFor([&] { return Enabled(IDC_EXPORT_ALL); }, 5000));

    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(exeDir.File("config.ini")),
              "[user]\r\nfileurls=" + listFile + "\r\nthreadcount=3\r\nkeypass=ads\r\n");
}
