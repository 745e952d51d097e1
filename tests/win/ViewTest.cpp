// The URL list view as a real window: columns, cells, finding and the context menu.
#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "urls/OpenWeb.h"
#include "win/FrameFixture.h"
#include "win/ViewTestHelpers.h"

using testsupport::DialogAnswerer;
using viewtest::ViewHarness;
using ListInFrame = frametest::FrameTest;

namespace {

std::vector<std::string> g_opened;
std::vector<std::string> g_verbs;

HINSTANCE WINAPI RecordShellExecute(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show) {
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(params, nullptr);
    EXPECT_EQ(dir, nullptr);
    EXPECT_EQ(show, SW_SHOWNORMAL);
    g_verbs.push_back(verb ? verb : "");
    g_opened.push_back(file ? file : "");
    return (HINSTANCE)33;
}

CCorvidView* g_removeFrom = nullptr;
void CALLBACK RemoveFirstRow(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_removeFrom->Rows().erase(0);
    g_removeFrom->RowsChanged();
}

class View : public ::testing::Test {
protected:
    void SetUp() override {
        g_opened.clear();
        g_verbs.clear();
        m_saved = g_pfnShellExecute;
        g_pfnShellExecute = &RecordShellExecute;
    }
    void TearDown() override { g_pfnShellExecute = m_saved; }

    void AddRows(std::initializer_list<const char*> urls) {
        for (const char* url : urls) h.view.Rows().append(h.view.GetRowCount() + 1, url);
        h.view.RowsChanged();
    }
    // Right-click on the row holding the selection mark, choose "打开网页".
    void OpenFromMenu(int markRow, DWORD menuDelayMs = 0) {
        h.view.GetListCtrl().SetSelectionMark(markRow);
        DialogAnswerer watcher("打开网页", menuDelayMs);
        h.RightClickNotify();
        testsupport::PumpUntil([&] { return !g_opened.empty() || !watcher.Dialogs().empty(); }, 3000);
        watcher.Stop();
        m_boxes = watcher.Dialogs();
    }

    ViewHarness h;
    std::vector<DialogAnswerer::Seen> m_boxes;

private:
    ShellExecuteFn m_saved = nullptr;
};

}  // namespace

TEST_F(View, HasThreeColumnsAddedOnceTheFirstFittingItsHeader) {
    CListCtrl list = h.view.GetListCtrl();
    ASSERT_EQ(list.GetColumnCount(), 3);
    const char* headers[] = {"序号", "网址", "有效性"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.GetColumnText(i), headers[i]);
    // The whole header text and its margins (three edges a side) fit: no ellipsis.
    EXPECT_GE(list.GetColumnWidth(0), list.GetStringWidth("序号") + 6 * ::GetSystemMetrics(SM_CXEDGE));
    h.view.OnInitialUpdate();   // a new document on the same view
    EXPECT_EQ(list.GetColumnCount(), 3);
}

// Cells are the rows' texts as the control shows them; a cell outside the
// list reads empty, and only a state's text goes into the validity cell.
TEST_F(View, WritingCellsChangesWhatTheControlShows) {
    AddRows({"a.com", "b.com"});
    EXPECT_EQ(h.ShownCount(), 2);
    for (auto [row, col] : {std::pair{-1, 0}, {2, 0}, {0, 3}, {0, -1}}) {
        EXPECT_EQ(h.view.GetItemText(row, col), "") << row << "," << col;
        EXPECT_FALSE(h.view.SetItemText(row, col, "x")) << row << "," << col;
    }
    for (auto [row, col, text] : {std::tuple{1, 2, "超时!"}, {0, 1, "a-much-longer-address.example.com"}, {0, 0, "17"}}) {
        EXPECT_TRUE(h.view.SetItemText(row, col, text));
        EXPECT_EQ(h.Shown(row, col), text);
    }
    // Not a state, not a number: refused.
    EXPECT_FALSE(h.view.SetItemText(1, 2, "maybe"));
    EXPECT_FALSE(h.view.SetItemText(0, 0, "x"));
    EXPECT_EQ(std::tuple(h.view.GetItemText(1, 2), h.view.GetItemText(0, 0)), std::tuple("超时!", "17"));
}

TEST_F(View, ShortBuffersGetWholeCharactersOnly) {
    AddRows({"中文网址.com"});
    char buf[4] = {};
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = buf;
    item.cchTextMax = 4;   // room for one character and a half
    ::SendMessageA(h.view, LVM_GETITEMTEXTA, 0, (LPARAM)&item);
    EXPECT_STREQ(item.pszText, "中");
}

TEST_F(View, FindingARowSearchesTheRowNumbers) {
    for (int i = 0; i < 30; ++i) h.view.Rows().append(i + 1, "x.com");
    h.view.Rows().erase(10);   // numbers keep their gaps
    h.view.RowsChanged();
    auto find = [&](const char* text, UINT flags, int start) {
        LVFINDINFOA info{};
        info.flags = flags;
        info.psz = text;
        return (int)::SendMessageA(h.view, LVM_FINDITEMA, (WPARAM)start, (LPARAM)&info);
    };
    EXPECT_EQ(find("12", LVFI_STRING, -1), 10);
    EXPECT_EQ(find("11", LVFI_STRING, -1), -1);
    EXPECT_EQ(find("2", LVFI_STRING | LVFI_PARTIAL, -1), 1);
    // The owner's answer from a given start row, wrapping or not.
    auto ask = [&](const char* text, UINT flags, int start) {
        NMLVFINDITEMA nm{};
        nm.hdr.hwndFrom = h.view;
        nm.hdr.idFrom = AFX_IDW_PANE_FIRST;
        nm.hdr.code = LVN_ODFINDITEMA;
        nm.iStart = start;
        nm.lvfi.flags = flags;
        nm.lvfi.psz = text;
        return (int)::SendMessageA(h.main, WM_NOTIFY, AFX_IDW_PANE_FIRST, (LPARAM)&nm);
    };
    EXPECT_EQ(ask("2", LVFI_PARTIAL, 2), 18);   // row 18 holds number 20
    EXPECT_EQ(ask("1", LVFI_PARTIAL, 28), -1);   // the last row holds number 30
    EXPECT_EQ(ask("1", LVFI_PARTIAL | LVFI_WRAP, 28), 0);
}

TEST_F(View, RefusedAddressesShowAMessageAndNeverReachTheShell) {
    AddRows({"file:///C:/Windows/notepad.exe", "C:\\Windows\\notepad.exe", "\\\\server\\share\\x.exe"});
    for (int row = 0; row < 3; ++row) {
        OpenFromMenu(row);
        EXPECT_TRUE(g_opened.empty()) << row;
        ASSERT_EQ(m_boxes.size(), 1u) << row;
        EXPECT_EQ(m_boxes[0].text, "只能在浏览器中打开网址！\n\n" + h.view.GetItemText(row, 1));
        EXPECT_EQ(m_boxes[0].caption, "");
    }
}

TEST_F(View, RowsRemovedWhileTheMenuIsOpenDoNotChangeWhatOpens) {
    AddRows({"a.com", "b.com", "c.com"});
    // While the menu is up, a clean-up removes the first row.
    g_removeFrom = &h.view;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &RemoveFirstRow);
    OpenFromMenu(1, 400);
    ::KillTimer(nullptr, timer);
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0], "http://b.com");
    EXPECT_EQ(h.view.m_nMenuRow, 0);
}

TEST_F(View, ARealRightClickMarksTheRowAndOpensTheMenu) {
    AddRows({"a.com", "b.com", "c.com"});
    RECT r{};
    r.left = LVIR_BOUNDS;
    ASSERT_TRUE(::SendMessageA(h.view, LVM_GETITEMRECT, 2, (LPARAM)&r));
    LPARAM at = MAKELPARAM(r.left + 50, (r.top + r.bottom) / 2);
    DialogAnswerer watcher("打开网页");
    ::PostMessageA(h.view, WM_RBUTTONDOWN, MK_RBUTTON, at);
    ::PostMessageA(h.view, WM_RBUTTONUP, 0, at);
    testsupport::PumpUntil([&] { return !g_opened.empty(); }, 3000);
    watcher.Stop();
    EXPECT_EQ(std::tuple(h.view.GetListCtrl().GetSelectionMark(), h.view.m_nMenuRow), std::tuple(2, 2));
    EXPECT_EQ(g_opened, std::vector<std::string>{"http://c.com"});   // a host name gets its scheme
    EXPECT_EQ(g_verbs, std::vector<std::string>{"open"});
}

namespace {

const char kChinese[] = "http://中文.example/路径?q=值";   // GBK bytes
const wchar_t kChineseW[] = L"http://中文.example/路径?q=值";

template <class Char>
std::basic_string<Char> ClipboardText(UINT format) {
    HANDLE h = ::GetClipboardData(format);
    const Char* text = h ? static_cast<const Char*>(::GlobalLock(h)) : nullptr;
    std::basic_string<Char> copy = text ? text : std::basic_string<Char>();
    if (h) ::GlobalUnlock(h);
    return copy;
}

// What an ANSI program (CF_TEXT) and Notepad (CF_UNICODETEXT) read; the clipboard is emptied.
std::pair<std::string, std::wstring> TakeClipboardTexts() {
    if (!::OpenClipboard(nullptr)) return {};
    std::pair out(ClipboardText<char>(CF_TEXT), ClipboardText<wchar_t>(CF_UNICODETEXT));
    ::EmptyClipboard();
    ::CloseClipboard();
    return out;
}

}  // namespace

// "复制网址" copies the selected rows: a line per URL, CRLF between them, as
// GBK bytes and as Unicode.
TEST_F(View, CopyPutsTheSelectedUrlsOnTheClipboardInBothFormats) {
    AddRows({"a.com", kChinese, "c.com"});
    h.Select({1, 2});
    ASSERT_TRUE(h.ChooseFromMenu("复制网址", 1));
    EXPECT_EQ(TakeClipboardTexts(), std::pair(std::string(kChinese) + "\r\nc.com", std::wstring(kChineseW) + L"\r\nc.com"));
}

// Shift+F10 and the menu key open the menu for the focused row (not the
// marked one), placed under that row whatever the mouse does.
TEST_F(View, MenuKeysOpenTheMenuForTheFocusedRowAtThatRow) {
    AddRows({"a.com", "b.com", "c.com", "d.com"});
    h.view.GetListCtrl().SetSelectionMark(0);
    int row = 1;
    for (const std::vector<UINT>& keys : {std::vector<UINT>{VK_SHIFT, VK_F10}, std::vector<UINT>{VK_APPS}}) {
        h.view.GetListCtrl().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        RECT item{};
        item.left = LVIR_BOUNDS;
        ::SendMessageA(h.view, LVM_GETITEMRECT, row, (LPARAM)&item);
        POINT under{0, item.bottom};
        ::ClientToScreen(h.view, &under);
        g_opened.clear();
        RECT menu{};
        testsupport::KeysHeld held(keys);
        ASSERT_TRUE(h.ChooseFromMenu("打开网页", [&] { viewtest::PostKeys(h.view, keys); }, &menu)) << keys.back();
        EXPECT_EQ(std::pair(menu.left, menu.top), std::pair(under.x, under.y)) << keys.back();
        EXPECT_EQ(g_opened, std::vector<std::string>{"http://" + h.view.GetItemText(row, 1)}) << keys.back();
        row += 2;
    }
}

// "重新检查所选网址" empties the verdicts of the selected rows that have one;
// a row being checked and the final malformed and ignored rows keep theirs.
// "重新检查全部超时网址" empties every "超时!". Numbers and URLs stay.
TEST_F(View, RecheckItemsEmptyTheVerdictsOfTheRowsTheyName) {
    using V = Validity;
    for (V v : {V::Valid, V::Timeout, V::Invalid, V::Running, V::Malformed, V::Ignored, V::Timeout, V::Valid})
        h.view.Rows().append(h.view.GetRowCount() + 1, "r" + std::to_string(h.view.GetRowCount()) + ".com", v);
    h.view.RowsChanged();
    h.Select({0, 1, 2, 3, 4, 5});
    ASSERT_TRUE(h.ChooseFromMenu("重新检查所选网址", 0));
    std::vector<std::string> want = {"", "", "", "执行中", "格式不正确！", "用户忽略！", "超时!", "OK"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(h.Shown(i, 2), want[i]) << i;
    h.Select({});
    ASSERT_TRUE(h.ChooseFromMenu("重新检查全部超时网址", 7));
    want[6] = "";
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(std::tuple(h.Shown(i, 0), h.Shown(i, 1), h.Shown(i, 2)),
                  std::tuple(std::to_string(i + 1), "r" + std::to_string(i) + ".com", want[i]));
}

// In the program's frame Ctrl+A selects every row and Ctrl+C, the frame's
// accelerator, copies them while the list has the keyboard. The list menu's
// items show their prompts in the frame's status bar.
TEST_F(ListInFrame, CtrlCCopiesThroughTheFrameAndMenuItemsShowTheirPrompts) {
    view->Rows().append(1, "a.com");
    view->Rows().append(2, kChinese);
    view->RowsChanged();
    TakeClipboardTexts();
    {
        testsupport::KeysHeld ctrl({VK_CONTROL});
        viewtest::PostKeys(view->m_hWnd, {VK_CONTROL, 'A'});
        viewtest::PostKeys(view->m_hWnd, {VK_CONTROL, 'C'});
        ASSERT_TRUE(testsupport::PumpUntil([] { return ::IsClipboardFormatAvailable(CF_TEXT) != FALSE; }));
    }
    EXPECT_EQ(TakeClipboardTexts(), std::pair("a.com\r\n" + std::string(kChinese), L"a.com\r\n" + std::wstring(kChineseW)));

    CMenuHandle menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_LIST_MENU)));
    for (auto [id, prompt] : {std::pair{ID_RECHECK_SELECTED, "清除所选网址的检查结果，查询时重新检查它们"},
                              {ID_RECHECK_TIMEOUTS, "清除全部超时网址的检查结果，查询时重新检查它们"},
                              {ID_COPY_URLS, "把所选网址复制到剪贴板，每行一个"}}) {
        ::SendMessageA(view->m_hWnd, WM_MENUSELECT, MAKEWPARAM(id, MF_HILITE), (LPARAM)::GetSubMenu(menu.Get(), 0));
        EXPECT_EQ(Pane(0), prompt);
    }
}
