// A URL list view in a real window for the tests.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Globals.h"
#include "core/Messages.h"
#include "framework/WinApp.h"
#include "resource.h"
#include "urls/CorvidView.h"
#include "win/DialogAnswerer.h"
#include "win/TestSupport.h"

namespace viewtest {

// The application object, a recording stand-in for the main frame that is also
// the view's parent (it reflects the list's notifications), and the view.
struct ViewHarness {
    CWinApp app;
    testsupport::RecordingWindow main;
    CCorvidView view;

    ViewHarness() {
        app.m_pMainWnd = &main;
        // Left hidden: showing a top-level window under Xvfb without a window
        // manager costs Wine two seconds, and nothing here needs it on screen.
        ::SetWindowPos(main, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        view.Create(main, AFX_IDW_PANE_FIRST, RECT{0, 0, 780, 560});
        view.OnInitialUpdate();
    }
    ~ViewHarness() { app.m_pMainWnd = nullptr; }

    // Posts UM_IMPORT for `path` and pumps until the view reports; the reported
    // row count, or -1 when nothing came.
    long Import(const std::string& path) {
        size_t before = main.Count(UM_LIST_LOADED);
        g_strImportFile = path;
        view.PostMessage(UM_IMPORT);
        if (!testsupport::PumpUntil([&] { return main.Count(UM_LIST_LOADED) > before; }, 30000)) return -1;
        return (long)main.Of(UM_LIST_LOADED).back().lParam;
    }

    // A cell as the list control shows it (through LVN_GETDISPINFO).
    std::string Shown(int row, int col) const { return view.GetListCtrl().GetItemText(row, col); }
    int ShownCount() const { return view.GetListCtrl().GetItemCount(); }

    // The list's right-click notification, as the control sends it to its parent.
    LRESULT RightClickNotify() {
        NMITEMACTIVATE nm{};
        nm.hdr.hwndFrom = view;
        nm.hdr.idFrom = AFX_IDW_PANE_FIRST;
        nm.hdr.code = NM_RCLICK;
        nm.iItem = -1;
        return ::SendMessageA(main, WM_NOTIFY, AFX_IDW_PANE_FIRST, (LPARAM)&nm);
    }

    // Opens the list menu the way `open` does and chooses the item with this
    // text; true once the view has handled the item's command.
    bool ChooseFromMenu(const std::string& item, const std::function<void()>& open, RECT* menuRect = nullptr) {
        bool handled = false;
        testsupport::DialogAnswerer watcher(item);
        open();
        bool ok = testsupport::PumpUntil([&] { return handled; }, 5000, [&](const MSG& m) {
            handled = handled || (m.message == WM_COMMAND && m.hwnd == view.m_hWnd);
            return false;
        });
        watcher.Stop();
        if (menuRect && !watcher.MenuRects().empty()) *menuRect = watcher.MenuRects().back();
        return ok;
    }
    bool ChooseFromMenu(const std::string& item, int markRow) {
        view.GetListCtrl().SetSelectionMark(markRow);
        return ChooseFromMenu(item, [&] { RightClickNotify(); });
    }
    void Select(std::initializer_list<int> rows) {
        view.GetListCtrl().SetItemState(-1, 0, LVIS_SELECTED);
        for (int row : rows) view.GetListCtrl().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
};

// Posts the keys' presses and releases to the window, given the keyboard focus.
inline void PostKeys(HWND hWnd, const std::vector<UINT>& keys) {
    ::SetFocus(hWnd);
    // F10 is a system key: it comes as WM_SYSKEYDOWN.
    for (UINT key : keys) ::PostMessageA(hWnd, key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        ::PostMessageA(hWnd, *it == VK_F10 ? WM_SYSKEYUP : WM_KEYUP, *it, 0xC0000001);
}

using testsupport::KeysHeld;

}  // namespace viewtest
