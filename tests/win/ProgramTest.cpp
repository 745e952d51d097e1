// The whole program as a user meets it: installed and started as its own
// process under Chinese names, then driven through the side bar's panel
// (import, check against a loopback server, clean-up, export through the save
// dialog, close) and read back from its windows and files.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"
#include "tools/support/TestHttpServer.h"
#include "win/DialogAnswerer.h"
#include "win/ProcessSupport.h"

using namespace testsupport;

TEST_F(ProgramTest, StartImportCheckCleanUpExportAndClose) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    const std::string programDir = exeDir.File("程序"), listDir = exeDir.File("网址 列表");
    for (const std::string& d : {programDir, listDir}) ASSERT_TRUE(::CreateDirectoryA(d.c_str(), nullptr)) << d;
    // 淺 ends in the byte of a backslash (0x5C): file names that hold it must
    // not be cut there.
    Install(programDir, "网址检查淺.exe");
    const std::string host = "127.0.0.1:" + std::to_string(server.Port());
    const std::vector<std::string> urls = {
        server.Url("/page"),  server.Url("/errpage"),  server.Url("/status/404"), host + "/page",
        host + "/ads/banner", "intranet",             server.Url("/slow?ms=300"), server.Url("/page"),
    };
    std::string lines;
    for (const std::string& u : urls) lines += u + "\r\n";
    const std::string listFile = listDir + "\\网址.txt";
    ASSERT_TRUE(WriteFileBytes(listFile, lines));
    ASSERT_TRUE(WriteFileBytes(config, "[user]\r\nfileurls=" + listFile + "\r\nthreadcount=5\r\nkeypass=ads\r\n"));

    // Maximised, the side bar docked at the left, the list taking the rest.
    ASSERT_NO_FATAL_FAILURE(Launch());
    HWND sideBar = ::GetParent(panel);
    EXPECT_EQ(::GetDlgCtrlID(::GetParent(sideBar)), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_TRUE(program.WaitFor(
        [&] {
            return ::IsZoomed(frame) && ScreenRect(list).right == ClientOnScreen(frame).right &&
                   ScreenRect(list).left == ScreenRect(sideBar).right;
        },
        10000));
    EXPECT_EQ(ControlText(Item(IDC_IMPORT_FILE)), listFile);

    Click(IDC_IMPORT);
    ASSERT_TRUE(WaitForPane(0, "加载网址列表结束。")) << Pane(0);
    EXPECT_EQ(std::tuple(Pane(1), Pane(2)), std::tuple("线程: 0", "网址个数: 8"));
    EXPECT_EQ(program.CellText(list, 7, 0), "8");
    EXPECT_EQ(program.CellText(list, 1, 1), urls[1]);
    EXPECT_TRUE(WaitEnabled(IDC_IMPORT));

    // A thread count typed into the panel takes effect with the start.
    ASSERT_TRUE(SendBounded(Item(IDC_THREAD_COUNT), WM_SETTEXT, 0, (LPARAM) "3"));
    Click(IDC_QUERY);
    ASSERT_TRUE(WaitForPane(0, "执行完毕", 30000)) << Pane(0);
    EXPECT_TRUE(program.WaitFor([&] { return ControlText(Item(IDC_QUERY)) == "开始查询"; }, 5000));
    EXPECT_TRUE(WaitForPane(1, "线程: 0")) << Pane(1);
    auto column = [&](int col) {
        std::vector<std::string> out;
        for (int i = 0, n = program.RowCount(list); i < n; ++i) out.push_back(program.CellText(list, i, col));
        return out;
    };
    EXPECT_EQ(column(2), (std::vector<std::string>{"OK", "无效!", "超时!", "OK", "用户忽略！", "格式不正确！", "OK", "OK"}));
    EXPECT_EQ(server.CountRequests("/ads/banner"), 0) << "a skipped row is never fetched";

    // Rows 1 and 8 are the same URL, row 4 differs in its scheme only.
    Click(IDC_CLEAN_DUPLICATES);
    ASSERT_TRUE(WaitForPane(0, "共清理了 1 个重复网址。")) << Pane(0);
    EXPECT_EQ(Pane(2), "网址个数: 7");
    EXPECT_TRUE(WaitEnabled(IDC_CLEAN_DUPLICATES));
    Click(IDC_CLEAN_INVALID);
    ASSERT_TRUE(WaitForPane(0, "共清理了 4 个无效网址。")) << Pane(0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"1", "4", "7"}));
    EXPECT_EQ(Pane(2), "网址个数: 3");
    EXPECT_TRUE(WaitEnabled(IDC_CLEAN_INVALID));

    const std::string out = listDir + "\\有效淺.txt";
    {
        DialogAnswerer answer(program.ThreadId(), {{frame, [&](HWND dlg) { DialogAnswerer::EnterFileName(dlg, out); }}},
                              30000);
        Click(IDC_EXPORT_VALID);
        ASSERT_TRUE(WaitForPane(0, "共导出了 3 个有效网址。", 40000)) << Pane(0);
        EXPECT_TRUE(answer.AllAnswered());
    }
    EXPECT_EQ(ReadFileBytes(out), urls[0] + "\r\n" + urls[3] + "\r\n" + urls[6] + "\r\n");
    EXPECT_TRUE(WaitEnabled(IDC_EXPORT_VALID));

    // No worker is left: closing asks nothing, and the settings are written back.
    EXPECT_EQ(CloseAndWait(), 0);
    EXPECT_EQ(ReadFileBytes(config), "[user]\r\nfileurls=" + listFile + "\r\nthreadcount=3\r\nkeypass=ads\r\n");
}
