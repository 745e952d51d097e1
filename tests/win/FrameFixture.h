// The main frame with its real view, created by the document template as the
// program does, and a recording stand-in for the control panel.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CorvidApp.h"
#include "app/MainFrame.h"
#include "core/Globals.h"
#include "core/Messages.h"
#include "framework/DocTemplate.h"
#include "resource.h"
#include "urls/CorvidView.h"
#include "win/FocusRecorder.h"
#include "win/TestSupport.h"

namespace frametest {

// The application object, recording every command that reaches it.
class RecordingApp : public CCorvidApp {
public:
    std::vector<UINT> commands;
    BOOL OnCmdMsg(UINT nID) override {
        commands.push_back(nID);
        return CCorvidApp::OnCmdMsg(nID);
    }
};

// Text of a status-bar pane as the control holds it.
// (Read as UTF-16: under Wine, SB_GETTEXTLENGTHA counts characters, not bytes.)
inline std::string PaneText(HWND hBar, int nPane) {
    wchar_t wide[2048] = {};
    ::SendMessageW(hBar, SB_GETTEXTW, (WPARAM)nPane, (LPARAM)wide);
    char buf[4096] = {};
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
    return buf;
}

inline RECT RectIn(HWND hParent, HWND hWnd) {
    RECT r{};
    ::GetWindowRect(hWnd, &r);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class FrameTest : public ::testing::Test {
protected:
    RecordingApp app;
    CMainFrame* frame = nullptr;
    CCorvidView* view = nullptr;
    testsupport::RecordingWindow panel;
    std::vector<MSG> toView;   // application messages the frame posted to the view

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(CreateFrame(0));
        ::ShowWindow(frame->m_hWnd, SW_SHOWNORMAL);   // as InitInstance does
        // After the frame: whatever its creation put there, the stand-in listens now.
        g_hControlPanel = panel.m_hWnd;
    }
    // The frame and its view as the document template makes them, the panel
    // showing this thread count.
    void CreateFrame(int threadCount) {
        g_nShownThreads = 0;
        g_nThreadCount = threadCount;
        g_bQuerying = FALSE;
        g_strImportFile.clear();
        g_strIgnoreList.clear();
        g_hControlPanel = nullptr;
        app.AddCorvidDocTemplate();
        app.OnFileNew();
        frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        view = dynamic_cast<CCorvidView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
    }

    void TearDown() override {
        g_hControlPanel = nullptr;
        g_nShownThreads = 0;
        g_bQuerying = FALSE;
        if (frame && frame->m_hWnd) {
            app.m_pMainWnd = nullptr;
            ::DestroyWindow(frame->m_hWnd);
        }
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND Bar() const { return frame->m_wndStatusBar.m_hWnd; }
    std::string Pane(int i) const { return PaneText(Bar(), i); }

    // Posts to the frame and pumps until pred() holds. Application messages
    // the frame posts to the view are taken out and recorded in toView, so the
    // frame's part is seen without the view acting on them.
    bool PostAndPump(UINT msg, WPARAM wParam, LPARAM lParam, const std::function<bool()>& pred,
                     DWORD timeoutMs = 3000) {
        ::PostMessageA(frame->m_hWnd, msg, wParam, lParam);
        return PumpCapturing(pred, timeoutMs);
    }
    bool PumpCapturing(const std::function<bool()>& pred, DWORD timeoutMs) {
        return testsupport::PumpUntil(pred, timeoutMs, [&](const MSG& m) {
            bool toTheView = view && m.hwnd == view->m_hWnd && IsAppMessage(m.message);
            if (toTheView) toView.push_back(m);
            return toTheView;
        });
    }
    // Pumps for a while; for "nothing (more) happens" checks.
    void PumpCapturingFor(DWORD ms) { PumpCapturing([] { return false; }, ms); }

    size_t ToViewCount(UINT msg) const {
        return std::count_if(toView.begin(), toView.end(), [&](const MSG& m) { return m.message == msg; });
    }
};

// The frame with its own control panel answering instead of the stand-in.
class FramePanelTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        g_hControlPanel = Panel().m_hWnd;
        focus.Watch(frame->m_hWnd);
    }
    CControlPanelDlg& Panel() { return frame->m_wndSideBar.m_wndPanel; }
    HWND Item(int id) { return Panel().GetDlgItem(id); }
    // A key as the program's loop hands it on: the walk first, then dispatch.
    static void Key(HWND hWnd, WPARAM vk) {
        for (UINT msg : {WM_KEYDOWN, WM_KEYUP}) {
            MSG m{hWnd, msg, vk, msg == WM_KEYDOWN ? 1 : (LPARAM)0xC0000001, (DWORD)::GetMessageTime(), {}};
            if (!CWnd::WalkPreTranslateTree(nullptr, &m)) {
                ::TranslateMessage(&m);
                ::DispatchMessageA(&m);
            }
        }
    }
    testsupport::FocusRecorder focus;
};

}  // namespace frametest
