// A URL list view in a real window for the tests, and a watcher that answers
// the modal loops (message boxes, popup menus) the view opens.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/Globals.h"
#include "core/Messages.h"
#include "framework/WinApp.h"
#include "resource.h"
#include "urls/CorvidView.h"
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
};

// Watches the test thread's windows from a helper thread: closes every message
// box with OK and answers every popup menu, recording what it saw. Everything
// it sees is closed, so a test cannot hang in a modal loop.
class ModalWatcher {
public:
    enum class MenuAnswer { Cancel, ChooseFirst };
    struct Box {
        HWND owner;
        std::string caption;
        std::string text;
    };

    explicit ModalWatcher(MenuAnswer answer = MenuAnswer::Cancel, DWORD menuDelayMs = 0)
        : m_uiThread(::GetCurrentThreadId()), m_answer(answer), m_menuDelay(menuDelayMs),
          m_thread([this] { Run(); }) {}
    ~ModalWatcher() { Stop(); }
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    std::vector<Box> Boxes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_boxes;
    }
    int Menus() const { return m_menus; }

private:
    static std::string ClassOf(HWND h) {
        char cls[64] = {};
        ::GetClassNameA(h, cls, sizeof cls);
        return cls;
    }
    static std::string TextOf(HWND h) {
        char buf[2048] = {};
        DWORD_PTR unused = 0;
        ::SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, &unused);
        return buf;
    }
    static BOOL CALLBACK Collect(HWND h, LPARAM lp) {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        return TRUE;
    }

    void Run() {
        std::set<HWND> handled;
        while (!m_stop) {
            std::vector<HWND> windows;
            ::EnumThreadWindows(m_uiThread, &Collect, (LPARAM)&windows);
            for (HWND h : windows) {
                if (handled.count(h) || !::IsWindowVisible(h)) continue;
                std::string cls = ClassOf(h);
                if (cls == "#32770") {
                    handled.insert(h);
                    ::Sleep(50);   // let the box finish its initialisation
                    Box box{::GetWindow(h, GW_OWNER), TextOf(h), TextOf(::GetDlgItem(h, 0xFFFF))};
                    {
                        std::lock_guard<std::mutex> lock(m_mutex);
                        m_boxes.push_back(box);
                    }
                    ::PostMessageA(h, WM_COMMAND, IDOK, 0);
                } else if (cls == "#32768") {
                    handled.insert(h);
                    ++m_menus;
                    ::Sleep(50 + m_menuDelay);
                    if (m_answer == MenuAnswer::ChooseFirst) {
                        ::PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
                        ::PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
                    } else {
                        ::PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
                    }
                }
            }
            ::Sleep(20);
        }
    }

    DWORD m_uiThread;
    MenuAnswer m_answer;
    DWORD m_menuDelay;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_menus{0};
    std::mutex m_mutex;
    std::vector<Box> m_boxes;
    std::thread m_thread;
};

}  // namespace viewtest
