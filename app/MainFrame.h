// CMainFrame: the program's one top-level window. Holds the URL list view, the
// status bar and the side bar, and is the hub of the application messages:
// requests from the control panel go on to the view, results from the view go
// to the status bar and back to the panel. Drives the check run's timer.
#pragma once
#include <string>

#include "app/SideBar.h"
#include "core/Messages.h"
#include "framework/FrameWnd.h"
#include "framework/StatusBar.h"

class CMainFrame : public CFrameWnd {
public:
    CMainFrame() = default;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // Application messages posted to this window are acted on here.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    bool IsPreTranslatedOnly(UINT msg) const override { return IsAppMessage(msg); }

    CStatusBar m_wndStatusBar;
    CSideBar m_wndSideBar;

    // The least the list keeps beside the docked bars when the user shrinks
    // the window: its three columns at their first widths, with the validity
    // column wide enough for its longest text, and rows down to the panel's
    // last buttons beside it.
    static SIZE MinListSize();

    // The check run's dispatch timer.
    enum { kDispatchTimer = 1, kDispatchPeriodMs = 500 };

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCTA lpcs) override;
    // Files dragged from Explorer: the first imports as if typed into the
    // panel's field and pressed; nothing happens while the press would not.
    void OnDropFiles(HDROP hDrop);
    // Room for the bars as they are docked now, and MinListSize() beside them.
    void OnGetMinMaxInfo(MINMAXINFO* pInfo);
    // F6: the keyboard goes from the panel to the list, from anywhere else to the panel.
    void OnSwitchPane(HWND hFrom);
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnClose() override;
    BOOL OnUpdateCmdUI(CCmdUI* pCmdUI) override;
    // ID_VIEW_SIDEBAR shows the side bar when it is hidden and hides it when it shows.
    BOOL OnCmdMsg(UINT nID) override;

    BOOL CreateStatusBar();
    void SizeStatusPanes();
    // Creates and docks the side bar with the control panel inside it.
    BOOL CreateSideBar();

    void OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // A request the view carries out: the progress text, then the request to
    // the view; dropped without a trace while there is no active view.
    void ForwardToView(const char* progressText, UINT msgToView, LPARAM lParam);
    void OnListLoaded(int nRows);
    // An import that failed: pane 0 goes back to what it read before the
    // press, the other panes and the list were never touched.
    void OnImportFailed();
    // A run is active (timer 1) or a worker has not reported yet.
    BOOL IsCheckingUrls() const;
    void OnRunningCount(int nRunning);
    void OnExported(int nKind, int nCount);
    void StopRun(const char* text);

    void SetPane(int nIndex, const std::string& text);
    HWND GetActiveViewHwnd() const;
    // Posts to the control panel, when there is one.
    static void TellPanel(UINT msg, WPARAM wParam);

    BOOL m_bRunActive = FALSE;          // timer 1 is set
    std::string m_strPaneBeforeImport;  // pane 0 when the import was requested
    std::string m_strDropNote;          // said when the import of a drop of several files ends
    HWND m_hPanelFocus = nullptr;       // the panel's control that F6 left
    SIZE m_sizeMinList{0, 0};           // MinListSize() as the frame was created
};
