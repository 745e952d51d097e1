// The frame as the hub of the application messages: status texts, requests
// forwarded to the view, completions handed back to the panel, the dispatch timer.
#include <shlobj.h>

#include <tuple>

#include "win/FrameFixture.h"

using frametest::FramePanelTest;
using frametest::FrameTest;

namespace {

struct Request {
    UINT msg;
    LPARAM lParam;
    const char* progress;
    UINT toView;
};

// What Explorer hands over: a DROPFILES header, then the ANSI paths, each
// ended by a zero, and one zero more.
HDROP MakeDrop(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += p + '\0';
    list += '\0';
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* df = static_cast<DROPFILES*>(::GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = FALSE;
    memcpy(df + 1, list.data(), list.size());
    ::GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

}  // namespace

TEST_F(FramePanelTest, ADroppedFileImportsAsIfTypedWithTheSkipWordsInTheFieldOnceNoRunIsOn) {
    testsupport::TempDir dir;
    const std::string first = dir.File("first.txt"), second = dir.File("second.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(first, "www.ads.cn\r\nwww.b.cn\r\nwww.c.cn\r\n"));
    ASSERT_TRUE(testsupport::WriteFileBytes(second, "www.d.cn\r\n"));
    auto imported = [&](int rows) {
        return testsupport::PumpUntil(
            [&] { return view->GetListCtrl().GetItemCount() == rows && ::IsWindowEnabled(Item(IDC_IMPORT)); });
    };
    Panel().SetDlgItemText(IDC_IMPORT_FILE, "typed.txt");
    ASSERT_TRUE(PostAndPump(UM_REQ_START, 0, 0, [&] { return Pane(0) == "正在检查..."; }));
    ::SendMessageA(frame->m_hWnd, WM_DROPFILES, (WPARAM)MakeDrop({second}), 0);
    EXPECT_EQ(Panel().GetDlgItemText(IDC_IMPORT_FILE), "typed.txt") << "refused during a run";
    EXPECT_EQ(Pane(0), "正在检查...");

    ASSERT_TRUE(PostAndPump(UM_REQ_STOP, 0, 0, [&] { return Pane(0) == "用户取消了查询。"; }));
    Panel().SetDlgItemText(IDC_IGNORE_LIST, "ADS");
    ::SendMessageA(frame->m_hWnd, WM_DROPFILES, (WPARAM)MakeDrop({second}), 0);
    ASSERT_TRUE(imported(1));
    EXPECT_EQ(Panel().GetDlgItemText(IDC_IMPORT_FILE), second);
    EXPECT_EQ(Pane(0), "加载网址列表结束。");

    // Several files: the first is taken, and the status bar says so.
    ::SendMessageA(frame->m_hWnd, WM_DROPFILES, (WPARAM)MakeDrop({first, second}), 0);
    ASSERT_TRUE(imported(3));
    EXPECT_EQ(g_strImportFile, first);
    EXPECT_EQ(Pane(0), "加载网址列表结束。只导入了拖入的 2 个文件中的第一个。");
    EXPECT_EQ(view->GetItemText(0, 2), "用户忽略！");
    EXPECT_EQ(view->GetItemText(1, 2), "");
}

TEST_F(FrameTest, RequestsShowTheirProgressAndGoToTheViewOnce) {
    const Request requests[] = {
        {UM_REQ_IMPORT, 0, "正在读取网址...", UM_IMPORT},
        {UM_REQ_EXPORT, EXPORT_VALID, "正在导出网址...", UM_EXPORT},
        {UM_REQ_EXPORT, EXPORT_OTHER, "正在导出网址...", UM_EXPORT},
        {UM_REQ_CLEAN_INVALID, 0, "正在删除无效网址...", UM_CLEAN_INVALID},
        {UM_REQ_CLEAN_DUPLICATES, 0, "正在清理重复网址...", UM_CLEAN_DUPLICATES},
    };
    for (const Request& r : requests) {
        SCOPED_TRACE(r.progress);
        toView.clear();
        ASSERT_TRUE(PostAndPump(r.msg, 0, r.lParam, [&] { return !toView.empty(); }));
        PumpCapturingFor(50);
        ASSERT_EQ(toView.size(), 1u);
        EXPECT_EQ(std::tuple(toView[0].message, toView[0].wParam, toView[0].lParam), std::tuple(r.toView, (WPARAM)0, r.lParam));
        EXPECT_EQ(Pane(0), r.progress);
    }
    EXPECT_TRUE(panel.messages.empty()) << "requests tell the panel nothing";
}

TEST_F(FrameTest, ListLoadedWritesAllThreePanesAndReEnablesImport) {
    EXPECT_EQ(std::tuple(Pane(0), Pane(1), Pane(2)), std::tuple("就绪", "", ""));
    // A running count shown before the load: pane 1 is reset, the count is not.
    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 2, [&] { return Pane(1) == "线程: 2"; }));
    ASSERT_TRUE(PostAndPump(UM_LIST_LOADED, 0, 1234, [&] { return panel.Count(UM_ENABLE_IMPORT) == 1; }));
    EXPECT_EQ(std::tuple(Pane(0), Pane(1), Pane(2)), std::tuple("加载网址列表结束。", "线程: 0", "网址个数: 1234"));
    EXPECT_EQ(g_nShownThreads, 2);
    EXPECT_EQ(panel.Of(UM_ENABLE_IMPORT)[0].lParam, 1);
    EXPECT_TRUE(toView.empty());
}

TEST_F(FrameTest, ExportReportNamesTheKindAndReEnablesThatButton) {
    const struct {
        int kind;
        int count;
        const char* text;
    } cases[] = {
        {EXPORT_ALL, 12, "共导出了 12 个网址。"},   {EXPORT_VALID, 12, "共导出了 12 个有效网址。"},
        {EXPORT_INVALID, 0, "共导出了 0 个无效网址。"}, {EXPORT_OTHER, 3, "共导出了 3 个网址。"},
        {7, 1, "共导出了 1 个网址。"},             {EXPORT_REPORT, 5, "共导出了 5 行报告。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        panel.messages.clear();
        ASSERT_TRUE(PostAndPump(UM_EXPORTED, c.kind, c.count, [&] { return panel.Count(UM_ENABLE_EXPORT) == 1; }));
        EXPECT_EQ(Pane(0), c.text);
        EXPECT_EQ(std::tuple(panel.Of(UM_ENABLE_EXPORT)[0].wParam, panel.Of(UM_ENABLE_EXPORT)[0].lParam),
                  std::tuple((WPARAM)c.kind, (LPARAM)1));
    }
}

TEST_F(FrameTest, RemovalReportsComeAfterTheNewRowCountExactlyOnce) {
    // The view's order after removing duplicates: the new count, then the report.
    ::PostMessageA(frame->m_hWnd, UM_LIST_LOADED, 0, 5);
    ASSERT_TRUE(PostAndPump(UM_CLEAN_DUPLICATES, 0, 3,
                            [&] { return panel.Count(UM_ENABLE_CLEAN_DUPLICATES) == 1; }));
    PumpCapturingFor(100);
    EXPECT_EQ(std::tuple(Pane(0), Pane(2)), std::tuple("共清理了 3 个重复网址。", "网址个数: 5"));
    EXPECT_EQ(panel.Count(UM_ENABLE_CLEAN_DUPLICATES), 1u);
    EXPECT_EQ(panel.Of(UM_ENABLE_CLEAN_DUPLICATES)[0].lParam, 1);
    // The report shares its id with the request to the view; it must not go back there.
    EXPECT_TRUE(toView.empty());

    ::PostMessageA(frame->m_hWnd, UM_LIST_LOADED, 0, 4);
    ASSERT_TRUE(PostAndPump(UM_INVALID_CLEANED, 0, 1,
                            [&] { return panel.Count(UM_ENABLE_CLEAN_INVALID) == 1; }));
    EXPECT_EQ(std::tuple(Pane(0), Pane(2)), std::tuple("共清理了 1 个无效网址。", "网址个数: 4"));
    EXPECT_TRUE(toView.empty());
}

TEST_F(FrameTest, TimerDispatchesTheFreeSlotsUntilStopped) {
    g_nThreadCount = 3;
    ASSERT_TRUE(PostAndPump(UM_REQ_START, 0, 0, [&] { return Pane(0) == "正在检查..."; }));
    ASSERT_TRUE(PumpCapturing([&] { return ToViewCount(UM_DISPATCH) >= 1; }, 2000));
    EXPECT_EQ(std::tuple(toView.back().wParam, toView.back().lParam), std::tuple((WPARAM)0, (LPARAM)3));

    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 1, [&] { return Pane(1) == "线程: 1"; }));
    EXPECT_EQ(g_nShownThreads, 1);
    toView.clear();
    ASSERT_TRUE(PumpCapturing([&] { return ToViewCount(UM_DISPATCH) >= 2; }, 2500));
    EXPECT_EQ(toView.back().lParam, 2);

    // More running than allowed (the setting was lowered): the slots go negative.
    ::PostMessageA(frame->m_hWnd, UM_RUNNING_COUNT, 0, 5);
    toView.clear();
    ASSERT_TRUE(PumpCapturing([&] { return ToViewCount(UM_DISPATCH) >= 1 && toView.back().lParam == -2; }, 2000));

    ASSERT_TRUE(PostAndPump(UM_REQ_STOP, 0, 0, [&] { return panel.Count(UM_RESET_START) == 1; }));
    EXPECT_EQ(Pane(0), "用户取消了查询。");
    EXPECT_EQ(panel.Of(UM_RESET_START)[0].lParam, 1);
    toView.clear();
    PumpCapturingFor(1300);
    EXPECT_EQ(ToViewCount(UM_DISPATCH), 0u) << "the timer is gone after a stop";
}
