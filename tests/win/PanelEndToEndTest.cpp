// The real program, driven through its control panel from outside as a user
// would: import a list, check it against a loopback server, clean it up and
// export the valid URLs through the save dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "resource.h"
#include "tools/support/TestHttpServer.h"
#include "win/DialogAnswerer.h"
#include "win/ProcessSupport.h"
#include "win/TestSupport.h"

using namespace testsupport;

TEST(PanelEndToEnd, ImportCheckCleanUpAndExportThroughThePanel) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    const std::string hostOnly = "127.0.0.1:" + std::to_string(server.Port()) + "/page";
    TempDir dir;
    std::string exe = dir.File("skein.exe");
    ASSERT_TRUE(::CopyFileA(BuiltExePath().c_str(), exe.c_str(), FALSE));
    std::string list = dir.File("urls.txt");
    ASSERT_TRUE(WriteFileBytes(list, server.Url("/page") + "\r\n" + hostOnly + "\r\n" + server.Url("/errpage") +
                                         "\r\n" + server.Url("/status/404") + "\r\nno-dot-line\r\n" +
                                         server.Url("/page?ads=1") + "\r\n" + server.Url("/page") + "\r\n"));
    ASSERT_TRUE(WriteFileBytes(dir.File("config.ini"),
                               "[user]\r\nfileurls=" + list + "\r\nthreadcount=5\r\nkeypass=ads\r\n"));

    ChildProgram program;
    ASSERT_TRUE(program.Start(exe, dir.path));
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (frame = program.FindTopWindow(nullptr, "Skein")) != nullptr; }, 30000));
    HWND panel = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (panel = FindPanel(frame)) != nullptr; }, 10000));
    HWND bar = ::GetDlgItem(frame, AFX_IDW_STATUS_BAR);
    ASSERT_TRUE(bar);
    auto pane = [&](int i) { return program.PaneText(bar, i); };
    auto click = [&](int id) { ::PostMessageA(::GetDlgItem(panel, id), BM_CLICK, 0, 0); };
    auto enabled = [&](int id) { return ::IsWindowEnabled(::GetDlgItem(panel, id)) != FALSE; };
    EXPECT_EQ(ControlText(::GetDlgItem(panel, IDC_IMPORT_FILE)), list);

    // Import.
    click(IDC_IMPORT);
    ASSERT_TRUE(WaitFor([&] { return pane(2) == "网址个数: 7"; }, 30000)) << pane(0) << " / " << pane(2);
    EXPECT_EQ(pane(0), "加载网址列表结束。");
    EXPECT_EQ(pane(1), "线程: 0");
    ASSERT_TRUE(WaitFor([&] { return enabled(IDC_IMPORT); }, 5000));

    // Check run with three workers; it ends on its own.
    ::SendMessageA(::GetDlgItem(panel, IDC_THREAD_COUNT), WM_SETTEXT, 0, (LPARAM)"3");
    click(IDC_QUERY);
    ASSERT_TRUE(WaitFor([&] { return ControlText(::GetDlgItem(panel, IDC_QUERY)) == "停止查询"; }, 10000));
    ASSERT_TRUE(WaitFor([&] { return pane(0) == "执行完毕"; }, 60000)) << pane(0);
    ASSERT_TRUE(WaitFor([&] { return pane(1) == "线程: 0"; }, 30000)) << pane(1);
    EXPECT_EQ(ControlText(::GetDlgItem(panel, IDC_QUERY)), "开始查询");
    EXPECT_EQ(server.CountRequests("/page?ads=1"), 0);   // the ignored row was never fetched

    // Duplicates, then every row that is not valid or unchecked.
    click(IDC_CLEAN_DUPLICATES);
    ASSERT_TRUE(WaitFor([&] { return pane(0) == "共清理了 1 个重复网址。"; }, 10000)) << pane(0);
    EXPECT_EQ(pane(2), "网址个数: 6");
    ASSERT_TRUE(WaitFor([&] { return enabled(IDC_CLEAN_DUPLICATES); }, 5000));
    click(IDC_CLEAN_INVALID);
    ASSERT_TRUE(WaitFor([&] { return pane(0) == "共清理了 4 个无效网址。"; }, 10000)) << pane(0);
    EXPECT_EQ(pane(2), "网址个数: 2");
    ASSERT_TRUE(WaitFor([&] { return enabled(IDC_CLEAN_INVALID); }, 5000));

    // Export the valid rows through the program's own save dialog.
    std::string out = dir.File("valid.txt");
    {
        DialogAnswerer answer(program.ThreadId(),
                              {{frame, [&](HWND dlg) { DialogAnswerer::EnterFileName(dlg, out); }}}, 30000);
        click(IDC_EXPORT_VALID);
        ASSERT_TRUE(WaitFor([&] { return pane(0) == "共导出了 2 个有效网址。"; }, 40000)) << pane(0);
        EXPECT_TRUE(answer.AllAnswered());
    }
    EXPECT_EQ(ReadFileBytes(out), server.Url("/page") + "\r\n" + hostOnly + "\r\n");
    EXPECT_TRUE(WaitFor([&] { return enabled(IDC_EXPORT_VALID); }, 5000));

    // No worker is left: closing asks nothing, and the settings are written back.
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_NE(program.WaitForExit(20000), -1);
    std::string config = ReadFileBytes(dir.File("config.ini"));
    EXPECT_NE(config.find("threadcount=3"), std::string::npos) << config;
}
