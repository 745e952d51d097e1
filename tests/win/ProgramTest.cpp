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
#include "win/ProcessSupport.h"
#include "win/TestSupport.h"

using namespace testsupport;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

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

class ProgramTest : public ::testing::Test {
protected:
    TempDir exeDir, workDir, dataDir;
    std::string exe;
    ChildProgram program;
    HWND frame = nullptr, panel = nullptr, bar = nullptr, list = nullptr, status = nullptr;

    void SetUp() override {
        exe = exeDir.File("skein.exe");
        ASSERT_TRUE(::CopyFileA(BuiltExePath().c_str(), exe.c_str(), FALSE)) << BuiltExePath();
    }

    bool Launch(const std::string& config) {
        if (!WriteFileBytes(exeDir.File("config.ini"), config)) return false;
        if (!program.Start(exe, workDir.path)) return false;
        frame = program.WaitForWindow(nullptr, "Skein");
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

    std::string Pane(int i) { return program.PaneText(status, i); }
    int Rows() { return program.RowCount(list); }
    std::string Cell(int row, int col) { return program.CellText(list, row, col); }
    std::vector<std::string> Column(int col) {
        std::vector<std::string> out;
        for (int i = 0, n = Rows(); i < n; ++i) out.push_back(Cell(i, col));
        return out;
    }
    // A press of a panel button, as a click delivers it.
    bool Click(int id) { return SendBounded(::GetDlgItem(panel, id), BM_CLICK, 0, 0); }
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
    ASSERT_TRUE(SendBounded(bar, WM_NCHITTEST, 0, MAKELPARAM(w.left + 333, w.top + 9), &hit));
    EXPECT_EQ(hit, HTCLOSE);
    ASSERT_TRUE(SendBounded(bar, WM_NCHITTEST, 0, MAKELPARAM(w.left + 100, w.top + 9), &hit));
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
    HWND dlg = program.WaitForWindow("#32770", nullptr, 15000);
    ASSERT_NE(dlg, nullptr) << "the save dialog";
    ::Sleep(200);   // let the dialog finish its initialisation
    HWND edit = testsupport::DialogAnswerer::FindFileNameEdit(dlg);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(SendBounded(edit, WM_SETTEXT, 0, (LPARAM)out.c_str()));
    testsupport::DialogAnswerer::Press(dlg, IDOK);
    ASSERT_TRUE(WaitForPane(0, "共导出了 3 个网址。", 15000)) << Pane(0);
    EXPECT_EQ(ReadFileBytes(out), urls[0] + "\r\n" + urls[3] + "\r\n" + urls[6] + "\r\n");
    EXPECT_TRUE(WaitFor([&] { return Enabled(IDC_EXPORT_ALL); }, 5000));

    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(exeDir.File("config.ini")),
              "[user]\r\nfileurls=" + listFile + "\r\nthreadcount=3\r\nkeypass=ads\r\n");
}
