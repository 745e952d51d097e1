// The control panel in-process: presses go to a recording stand-in for the
// frame, completions come back as posted messages.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "app/ControlPanelDlg.h"
#include "core/Globals.h"
#include "core/Messages.h"
#include "framework/WinApp.h"
#include "win/DialogAnswerer.h"
#include "win/FocusRecorder.h"
#include "win/TestSupport.h"

using namespace testsupport;

namespace {

class TopWindow : public CWnd {
public:
    TopWindow() {
        LPCSTR cls = RegisterWndClass(0, nullptr, (HBRUSH)(COLOR_BTNFACE + 1));
        CreateEx(0, cls, "panel test", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                 RECT{0, 0, 600, 800}, nullptr, 0);
    }
};

// MAX_PATH - 1 bytes, with a double-byte character across bytes 99 and 100.
std::string LongPath() {
    std::string path = "C:\\" + std::string(95, 'u') + "网址\\";
    while (path.size() < 255) path += "列表";
    return path + ".txt";
}
const std::string kPath = LongPath();

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(kPath.size(), (size_t)MAX_PATH - 1);
        g_strImportFile = kPath;
        g_strIgnoreList = "Ads";
        g_nThreadCount = 5;
        g_bQuerying = FALSE;
        g_hControlPanel = nullptr;
        app.m_pMainWnd = &frame;
        ASSERT_TRUE(panel.Create(CControlPanelDlg::IDD, top));
        ASSERT_TRUE(focus.Installed());
        focus.Watch(panel);
        panel.ShowWindow(SW_SHOW);
        ::SetForegroundWindow(top);
        PumpFor(50);
    }

    HWND Item(int id) const { return panel.GetDlgItem(id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id) { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }
    void Settle() { PumpFor(100); }
    // Clicks a button that raises a message box; returns the box's text after pressing OK.
    std::string ClickAnsweringBox(int id, std::function<void(HWND)> whileOpen = {}) {
        HWND owner = ::GetAncestor(panel, GA_ROOT);
        DialogAnswerer answer(::GetCurrentThreadId(), {{owner, [&](HWND h) {
                                                            if (whileOpen) whileOpen(h);
                                                            DialogAnswerer::Press(h, IDOK);
                                                        }}});
        Click(id);
        EXPECT_TRUE(answer.AllAnswered());
        const auto& seen = answer.Dialogs();
        if (seen.empty()) return {};
        EXPECT_EQ(seen[0].caption, "");
        return seen[0].text;
    }

    CWinApp app;
    RecordingWindow frame;
    TopWindow top;
    CControlPanelDlg panel;
    FocusRecorder focus;
};

}  // namespace

TEST_F(PanelTest, InitialisationShowsTheSettingsAndRecordsTheHandle) {
    for (auto [id, text] : {std::pair{IDC_IMPORT_FILE, kPath}, {IDC_IGNORE_LIST, "Ads"}, {IDC_THREAD_COUNT, "5"},
                            {IDC_QUERY, "开始查询"}})
        EXPECT_EQ(panel.GetDlgItemText(id), text) << id;
    EXPECT_EQ(g_hControlPanel, panel.m_hWnd);
}

TEST_F(PanelTest, ListOperationsPostOnceDisableAndComeBackOnTheirCompletion) {
    struct Case {
        int button;
        UINT request, completion;
        int kind;   // the request's lParam and the completion's wParam
    } cases[] = {
        {IDC_IMPORT, UM_REQ_IMPORT, UM_ENABLE_IMPORT, 0},
        {IDC_CLEAN_INVALID, UM_REQ_CLEAN_INVALID, UM_ENABLE_CLEAN_INVALID, 0},
        {IDC_CLEAN_DUPLICATES, UM_REQ_CLEAN_DUPLICATES, UM_ENABLE_CLEAN_DUPLICATES, 0},
        {IDC_EXPORT_ALL, UM_REQ_EXPORT, UM_ENABLE_EXPORT, 0},
        {IDC_EXPORT_VALID, UM_REQ_EXPORT, UM_ENABLE_EXPORT, 1},
        {IDC_EXPORT_INVALID, UM_REQ_EXPORT, UM_ENABLE_EXPORT, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        frame.messages.clear();
        ::SetForegroundWindow(top);
        ::SetFocus(nullptr);
        ::SetFocus(Item(c.button));
        ASSERT_EQ(focus.Last(), Item(c.button));
        focus.Reset();
        Click(c.button);
        Click(c.button);   // the second press finds the button disabled
        Settle();
        ASSERT_EQ(frame.messages.size(), 1u);
        EXPECT_EQ(std::tuple(frame.messages[0].msg, frame.messages[0].wParam, frame.messages[0].lParam),
                  std::tuple(c.request, (WPARAM)0, (LPARAM)c.kind));
        EXPECT_FALSE(Enabled(c.button));
        // The keyboard went to the list, not to a neighbour that Enter would press.
        EXPECT_EQ(focus.Last(), nullptr);

        // The other buttons' completions, and one of no kind, leave this button alone.
        for (const Case& other : cases)
            if (other.button != c.button) panel.PostMessage(other.completion, other.kind, 1);
        panel.PostMessage(UM_ENABLE_EXPORT, 7, 1);
        Settle();
        EXPECT_FALSE(Enabled(c.button));
        panel.PostMessage(c.completion, c.kind, 1);
        Settle();
        EXPECT_TRUE(Enabled(c.button));
    }
    // Each button acts only for itself; nothing else was disabled on the way.
    for (int id : {IDC_BROWSE, IDC_QUERY, IDC_IMPORT_FILE, IDC_IGNORE_LIST, IDC_THREAD_COUNT})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(PanelTest, ImportTakesThePathAsTypedAndRefusesAnEmptyOne) {
    g_strImportFile.clear();
    Click(IDC_IMPORT);
    Settle();
    EXPECT_EQ(g_strImportFile, kPath) << "the longest path, whole";
    panel.PostMessage(UM_ENABLE_IMPORT, 0, 1);
    Settle();
    frame.messages.clear();

    panel.SetDlgItemText(IDC_IMPORT_FILE, "");
    panel.SetDlgItemText(IDC_IGNORE_LIST, "NEW");
    ::SetFocus(Item(IDC_IMPORT));   // where a mouse click leaves it
    focus.Reset();
    EXPECT_EQ(ClickAnsweringBox(IDC_IMPORT), "请指定导入文件路径。");
    Settle();
    EXPECT_EQ(frame.messages.size(), 0u);
    EXPECT_TRUE(Enabled(IDC_IMPORT));
    EXPECT_EQ(focus.Last(), Item(IDC_IMPORT_FILE));
    EXPECT_EQ(g_strImportFile, "");

    // Spaces are a path for the import to judge; the skip words are read as a start reads them.
    panel.SetDlgItemText(IDC_IMPORT_FILE, "  ");
    Click(IDC_IMPORT);
    Settle();
    EXPECT_EQ(g_strImportFile, "  ");
    EXPECT_EQ(g_strIgnoreList, "new");
    EXPECT_EQ(frame.Count(UM_REQ_IMPORT), 1u);
    EXPECT_FALSE(Enabled(IDC_IMPORT));
}

TEST_F(PanelTest, StartReadsTheParametersAndStopInvertsAtOnce) {
    // Lower-casing steps over double-byte characters: the trail byte 'A' of
    // 0xB0 0x41 stays as it is.
    panel.SetDlgItemText(IDC_IGNORE_LIST, "ADS\xB0\x41X");
    panel.SetDlgItemText(IDC_THREAD_COUNT, "11");
    Click(IDC_QUERY);
    Settle();
    EXPECT_EQ(g_strIgnoreList, "ads\xB0\x41x");
    EXPECT_EQ(g_nThreadCount, 10);
    EXPECT_EQ(panel.GetDlgItemText(IDC_THREAD_COUNT), "11");
    EXPECT_EQ(panel.GetDlgItemText(IDC_QUERY), "停止查询");
    EXPECT_TRUE(g_bQuerying);
    ASSERT_EQ(frame.messages.size(), 1u);
    EXPECT_EQ(frame.messages[0].msg, UM_REQ_START);

    // Stop reads nothing and changes the text before the frame answers.
    panel.SetDlgItemText(IDC_THREAD_COUNT, "0");
    Click(IDC_QUERY);
    Settle();
    EXPECT_EQ(frame.Count(UM_REQ_STOP), 1u);
    EXPECT_EQ(std::tuple(panel.GetDlgItemText(IDC_QUERY), g_bQuerying, g_nThreadCount), std::tuple("开始查询", FALSE, 10));
    EXPECT_TRUE(Enabled(IDC_QUERY));

    // The end of a run resets the button; in the idle state it changes nothing.
    panel.SetDlgItemText(IDC_THREAD_COUNT, " +3 threads");
    Click(IDC_QUERY);
    Settle();
    EXPECT_EQ(g_nThreadCount, 3);
    EXPECT_TRUE(g_bQuerying);
    panel.PostMessage(UM_RESET_START, 0, 1);
    panel.PostMessage(UM_RESET_START, 0, 1);
    Settle();
    EXPECT_FALSE(g_bQuerying);
    EXPECT_EQ(panel.GetDlgItemText(IDC_QUERY), "开始查询");
    EXPECT_EQ(frame.Count(UM_REQ_START), 2u);
    EXPECT_EQ(frame.Count(UM_REQ_STOP), 1u);
}

TEST_F(PanelTest, ThreadCountsBelowOneAreRefusedWithTheStateUnchanged) {
    struct Case {
        const char* field;
        int read;
    } cases[] = {{"0", 0}, {"-3", -3}, {"abc", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        panel.SetDlgItemText(IDC_THREAD_COUNT, c.field);
        ::SetFocus(Item(IDC_QUERY));
        focus.Reset();
        EXPECT_EQ(ClickAnsweringBox(IDC_QUERY), "线程数量至少大于0。");
        Settle();
        EXPECT_EQ(std::tuple(panel.GetDlgItemText(IDC_QUERY), g_bQuerying, g_nThreadCount), std::tuple("开始查询", FALSE, c.read));
        EXPECT_EQ(focus.Last(), Item(IDC_THREAD_COUNT));
    }
    EXPECT_EQ(frame.messages.size(), 0u);
}

TEST_F(PanelTest, EnterAndEscapeLeaveThePanelInPlace) {
    for (int field : {IDC_IMPORT_FILE, IDC_THREAD_COUNT}) {
        ::SetFocus(Item(field));
        for (WPARAM key : {(WPARAM)VK_RETURN, (WPARAM)VK_ESCAPE}) {
            ::PostMessageA(Item(field), WM_KEYDOWN, key, 1);
            ::PostMessageA(Item(field), WM_KEYUP, key, 0xC0000001);
        }
    }
    Settle();
    EXPECT_TRUE(panel.IsWindowVisible());
    EXPECT_TRUE(::IsWindow(panel));
    EXPECT_EQ(frame.messages.size(), 0u);
    // Tab still moves through the panel's controls.
    ::SetFocus(nullptr);
    ::SetFocus(Item(IDC_IMPORT_FILE));
    ASSERT_EQ(focus.Last(), Item(IDC_IMPORT_FILE));
    ::PostMessageA(Item(IDC_IMPORT_FILE), WM_KEYDOWN, VK_TAB, 1);
    Settle();
    EXPECT_EQ(focus.Last(), Item(IDC_BROWSE));
}

TEST_F(PanelTest, BrowseTakesTheChosenFileAndCancelKeepsThePath) {
    TempDir dir;
    std::string file = dir.File("chosen.txt");
    ASSERT_TRUE(WriteFileBytes(file, "a.cn\r\n"));
    HWND owner = ::GetAncestor(panel, GA_ROOT);
    {
        DialogAnswerer answer(::GetCurrentThreadId(), {{owner, [](HWND h) { DialogAnswerer::Press(h, IDCANCEL); }}});
        Click(IDC_BROWSE);
        EXPECT_TRUE(answer.AllAnswered());
    }
    EXPECT_EQ(std::tuple(g_strImportFile, panel.GetDlgItemText(IDC_IMPORT_FILE)), std::tuple(kPath, kPath));
    {
        DialogAnswerer answer(::GetCurrentThreadId(),
                              {{owner, [&](HWND h) { DialogAnswerer::EnterFileName(h, file); }}});
        Click(IDC_BROWSE);
        EXPECT_TRUE(answer.AllAnswered());
    }
    EXPECT_EQ(std::tuple(g_strImportFile, panel.GetDlgItemText(IDC_IMPORT_FILE)), std::tuple(file, file));
    EXPECT_EQ(frame.messages.size(), 0u);
}
