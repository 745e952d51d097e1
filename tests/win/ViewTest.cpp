// The URL list view as a real window: columns, cells, finding and the context menu.
#include <gtest/gtest.h>

#include "urls/OpenWeb.h"
#include "win/ViewTestHelpers.h"

using testsupport::DialogAnswerer;
using viewtest::ViewHarness;

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
        DialogAnswerer watcher(DialogAnswerer::MenuAnswer::ChooseFirst, menuDelayMs);
        h.RightClickNotify();
        testsupport::PumpUntil([&] { return !g_opened.empty() || !watcher.Dialogs().empty(); }, 3000);
        watcher.Stop();
        m_boxes = watcher.Dialogs();
        m_menus = watcher.Menus();
    }

    ViewHarness h;
    std::vector<DialogAnswerer::Seen> m_boxes;
    int m_menus = 0;

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
    EXPECT_TRUE(h.view.SetItemText(1, 2, "超时!"));
    EXPECT_EQ(h.Shown(1, 2), "超时!");
    EXPECT_TRUE(h.view.SetItemText(0, 1, "a-much-longer-address.example.com"));
    EXPECT_EQ(h.Shown(0, 1), "a-much-longer-address.example.com");
    EXPECT_EQ(h.Shown(1, 1), "b.com");
    EXPECT_TRUE(h.view.SetItemText(0, 0, "17"));
    EXPECT_EQ(h.Shown(0, 0), "17");
    EXPECT_FALSE(h.view.SetItemText(1, 2, "maybe"));
    EXPECT_EQ(h.view.GetItemText(1, 2), "超时!");
    EXPECT_FALSE(h.view.SetItemText(0, 0, "x"));
    EXPECT_EQ(h.view.GetItemText(0, 0), "17");
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

TEST_F(View, NoMenuWithoutASelectionMark) {
    AddRows({"a.com"});
    DialogAnswerer watcher;
    h.RightClickNotify();
    testsupport::PumpFor(200);
    watcher.Stop();
    EXPECT_EQ(watcher.Menus(), 0);
    EXPECT_EQ(h.view.m_nMenuRow, -1);
}

TEST_F(View, MenuOpensOnTheMarkedRowAndOpensItsAddress) {
    AddRows({"a.com", "https://b.example.com/x", "c.com"});
    OpenFromMenu(1);
    EXPECT_EQ(m_menus, 1);
    EXPECT_EQ(h.view.m_nMenuRow, 1);
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0], "https://b.example.com/x");
    EXPECT_EQ(g_verbs[0], "open");

    g_opened.clear();
    OpenFromMenu(2);
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0], "http://c.com");   // a host name gets its scheme
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
    DialogAnswerer watcher(DialogAnswerer::MenuAnswer::ChooseFirst);
    ::PostMessageA(h.view, WM_RBUTTONDOWN, MK_RBUTTON, at);
    ::PostMessageA(h.view, WM_RBUTTONUP, 0, at);
    testsupport::PumpUntil([&] { return !g_opened.empty(); }, 3000);
    watcher.Stop();
    EXPECT_EQ(h.view.GetListCtrl().GetSelectionMark(), 2);
    EXPECT_EQ(h.view.m_nMenuRow, 2);
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0], "http://c.com");
}
