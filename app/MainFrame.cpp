#include "app/MainFrame.h"

#include <algorithm>
#include <cstdio>

#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/Messages.h"
#include "framework/CmdUI.h"
#include "framework/Document.h"
#include "resource.h"

namespace {

const char kCloseQuestion[] = "还有正在运行的线程。确定要退出吗？";
const char kImportProgress[] = "正在读取网址...";

std::string Format(const char* fmt, int n) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, n);
    return buf;
}

// Hands the drop's memory back however the handler leaves.
class DropFinisher {
public:
    explicit DropFinisher(HDROP hDrop) : m_hDrop(hDrop) {}
    ~DropFinisher() { ::DragFinish(m_hDrop); }
    DropFinisher(const DropFinisher&) = delete;
    DropFinisher& operator=(const DropFinisher&) = delete;

private:
    HDROP m_hDrop;
};

std::string FormatExported(int nCount, int nKind) {
    if (nKind == EXPORT_REPORT) return Format("共导出了 %d 行报告。", nCount);
    const char* word = nKind == EXPORT_VALID ? "有效" : nKind == EXPORT_INVALID ? "无效" : "";
    char buf[128];
    std::snprintf(buf, sizeof buf, "共导出了 %d 个%s网址。", nCount, word);
    return buf;
}

}  // namespace

SIZE CMainFrame::MinListSize() {
    const int dpi = CSideBar::s_pfnScreenDpi();
    return SIZE{::MulDiv(560, dpi, 96), ::MulDiv(360, dpi, 96)};
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    // The caption is the program's name only, never a document's.
    cs.style &= ~FWS_ADDTOTITLE;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTA lpcs) {
    // 1. The frame itself and its view.
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    // Read once, not with a screen DC in the middle of every resize.
    m_sizeMinList = MinListSize();
    // 2. and 3. The status bar with its three free-text panes.
    if (!CreateStatusBar()) return -1;
    SizeStatusPanes();
    // 4. The side bar, holding the control panel.
    if (!CreateSideBar()) return -1;
    ::DragAcceptFiles(m_hWnd, TRUE);
    return 0;
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    default:
        return CFrameWnd::WindowProc(msg, wParam, lParam);
    }
}

void CMainFrame::OnDropFiles(HDROP hDrop) {
    DropFinisher finisher(hDrop);
    const UINT nFiles = ::DragQueryFileA(hDrop, 0xFFFFFFFF, nullptr, 0);
    if (nFiles == 0) return;
    std::string path(::DragQueryFileA(hDrop, 0, nullptr, 0) + 1, '\0');
    path.resize(::DragQueryFileA(hDrop, 0, path.data(), (UINT)path.size()));
    // A run reads the list's rows, which an import would replace under it.
    if (IsCheckingUrls() || !m_wndSideBar.m_wndPanel.ImportDroppedFile(path)) return;
    m_strDropNote = nFiles > 1 ? Format("只导入了拖入的 %d 个文件中的第一个。", (int)nFiles) : std::string();
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* pInfo) {
    // The system has filled in its own sizes already. No Default() here: this
    // handler is reached outside CWnd::WindowProc, so the current message is
    // the one that asked (WM_WINDOWPOSCHANGING), whose default would run
    // again, nested, and upset the size the frame lays out.
    // The bars' share read from their windows as they stand, without running
    // a layout from inside the system's sizing.
    SIZE bars{0, 0};
    for (int id : {AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT, AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM,
                   AFX_IDW_STATUS_BAR}) {
        HWND hBar = ::GetDlgItem(m_hWnd, id);
        RECT r{};
        if (!hBar || !::IsWindowVisible(hBar) || !::GetWindowRect(hBar, &r)) continue;
        if (id == AFX_IDW_DOCKBAR_LEFT || id == AFX_IDW_DOCKBAR_RIGHT) bars.cx += r.right - r.left;
        else bars.cy += r.bottom - r.top;
    }
    RECT want{0, 0, bars.cx + m_sizeMinList.cx, bars.cy + m_sizeMinList.cy};
    ::AdjustWindowRectEx(&want, GetStyle(), ::GetMenu(m_hWnd) != nullptr, GetExStyle());
    pInfo->ptMinTrackSize.x = std::max<LONG>(pInfo->ptMinTrackSize.x, want.right - want.left);
    pInfo->ptMinTrackSize.y = std::max<LONG>(pInfo->ptMinTrackSize.y, want.bottom - want.top);
}

BOOL CMainFrame::CreateStatusBar() {
    static const UINT indicators[] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR};
    if (!m_wndStatusBar.Create(m_hWnd, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)) return FALSE;
    return m_wndStatusBar.SetIndicators(indicators, 3);
}

void CMainFrame::SizeStatusPanes() {
    // The bar's font in a client DC of the frame.
    const TEXTMETRICA tm = m_wndStatusBar.GetFontMetrics(m_hWnd);

    UINT nID = 0, nStyle = 0;
    int cxWidth = 0;
    m_wndStatusBar.GetPaneInfo(1, nID, nStyle, cxWidth);
    m_wndStatusBar.SetPaneInfo(1, nID, nStyle, 30 * tm.tmAveCharWidth);
    m_wndStatusBar.SetPaneInfo(2, nID, nStyle, 30 * tm.tmAveCharWidth);
}

BOOL CMainFrame::CreateSideBar() {
    EnableDocking(CBRS_ALIGN_ANY);
    if (!GetDockBar(AFX_IDW_DOCKBAR_LEFT)) return FALSE;
    if (!m_wndSideBar.Create("侧边栏", this, CSideBar::DefaultSize(), TRUE, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP))
        return FALSE;
    m_wndSideBar.SetBarStyle(m_wndSideBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_wndSideBar.EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndSideBar, AFX_IDW_DOCKBAR_LEFT);
    return m_wndSideBar.m_pDockBar != nullptr;
}

BOOL CMainFrame::OnUpdateCmdUI(CCmdUI* pCmdUI) {
    if (pCmdUI->m_nID == ID_VIEW_SIDEBAR) {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetCheck((m_wndSideBar.GetStyle() & WS_VISIBLE) ? 1 : 0);
        return TRUE;
    }
    return CFrameWnd::OnUpdateCmdUI(pCmdUI);
}

BOOL CMainFrame::OnCmdMsg(UINT nID) {
    if (nID == ID_VIEW_SIDEBAR) {
        ShowControlBar(&m_wndSideBar, (m_wndSideBar.GetStyle() & WS_VISIBLE) == 0, FALSE);
        return TRUE;
    }
    return CFrameWnd::OnCmdMsg(nID);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == m_hWnd && IsAppMessage(pMsg->message))
        OnAppMessage(pMsg->message, pMsg->wParam, pMsg->lParam);
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F6) {
        OnSwitchPane(pMsg->hwnd);
        return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::OnSwitchPane(HWND hFrom) {
    HWND hPanel = m_wndSideBar.m_wndPanel.m_hWnd;
    if (!hPanel) return;
    if (::IsChild(hPanel, hFrom)) {
        m_hPanelFocus = hFrom;
        if (HWND hView = GetActiveViewHwnd()) ::SetFocus(hView);
        return;
    }
    if (!::IsWindowVisible(hPanel)) return;
    // Back where the keyboard left the panel, or its first stop.
    HWND hTo = m_hPanelFocus;
    if (!hTo || !::IsChild(hPanel, hTo) || !::IsWindowEnabled(hTo)) hTo = ::GetNextDlgTabItem(hPanel, nullptr, FALSE);
    if (hTo) ::SendMessageA(hPanel, WM_NEXTDLGCTL, (WPARAM)hTo, TRUE);
}

void CMainFrame::OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case UM_REQ_IMPORT:
        m_strPaneBeforeImport = m_wndStatusBar.m_hWnd ? m_wndStatusBar.GetPaneText(0) : std::string();
        ForwardToView(kImportProgress, UM_IMPORT, 0);
        break;
    case UM_LIST_LOADED:
        if (wParam == LIST_LOAD_FAILED) OnImportFailed();
        else OnListLoaded((int)lParam);
        break;
    case UM_REQ_START:
        ::SetTimer(m_hWnd, kDispatchTimer, kDispatchPeriodMs, nullptr);
        m_bRunActive = TRUE;
        SetPane(0, "正在检查...");
        break;
    case UM_RUN_FINISHED:
        StopRun("执行完毕");
        break;
    case UM_RUNNING_COUNT:
        OnRunningCount((int)lParam);
        break;
    case UM_REQ_EXPORT:
        ForwardToView("正在导出网址...", UM_EXPORT, lParam);
        break;
    case UM_EXPORTED:
        OnExported((int)wParam, (int)lParam);
        break;
    case UM_REQ_CLEAN_INVALID:
        ForwardToView("正在删除无效网址...", UM_CLEAN_INVALID, 0);
        break;
    case UM_INVALID_CLEANED:
        SetPane(0, Format("共清理了 %d 个无效网址。", (int)lParam));
        TellPanel(UM_ENABLE_CLEAN_INVALID, 0);
        break;
    case UM_REQ_CLEAN_DUPLICATES:
        ForwardToView("正在清理重复网址...", UM_CLEAN_DUPLICATES, 0);
        break;
    case UM_CLEAN_DUPLICATES:   // the view's report of a removal
        SetPane(0, Format("共清理了 %d 个重复网址。", (int)lParam));
        TellPanel(UM_ENABLE_CLEAN_DUPLICATES, 0);
        break;
    case UM_REQ_STOP:
        StopRun("用户取消了查询。");
        break;
    default:
        break;   // meant for other windows
    }
}

void CMainFrame::ForwardToView(const char* progressText, UINT msgToView, LPARAM lParam) {
    HWND hView = GetActiveViewHwnd();
    if (!hView) return;
    SetPane(0, progressText);
    ::PostMessageA(hView, msgToView, 0, lParam);
}

void CMainFrame::OnListLoaded(int nRows) {
    SetPane(0, "加载网址列表结束。" + m_strDropNote);
    m_strDropNote.clear();
    SetPane(2, Format("网址个数: %d", nRows));
    SetPane(1, "线程: 0");
    TellPanel(UM_ENABLE_IMPORT, 0);
}

void CMainFrame::OnImportFailed() {
    m_strDropNote.clear();
    // Unless something else has written pane 0 since the press.
    if (m_wndStatusBar.m_hWnd && m_wndStatusBar.GetPaneText(0) == kImportProgress)
        SetPane(0, m_strPaneBeforeImport);
    TellPanel(UM_ENABLE_IMPORT, 0);
}

void CMainFrame::OnRunningCount(int nRunning) {
    g_nShownThreads = nRunning;
    SetPane(1, Format("线程: %d", nRunning));
}

void CMainFrame::OnExported(int nKind, int nCount) {
    SetPane(0, FormatExported(nCount, nKind));
    TellPanel(UM_ENABLE_EXPORT, (WPARAM)nKind);
}

void CMainFrame::StopRun(const char* text) {
    ::KillTimer(m_hWnd, kDispatchTimer);
    m_bRunActive = FALSE;
    SetPane(0, text);
    TellPanel(UM_RESET_START, 0);
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kDispatchTimer) {
        if (HWND hView = GetActiveViewHwnd())
            ::PostMessageA(hView, UM_DISPATCH, 0, (LPARAM)(g_nThreadCount - g_nShownThreads));
    }
    Default();
}

BOOL CMainFrame::IsCheckingUrls() const {
    // The count shown is 0 between a verdict and the next tick while the run
    // goes on, and a worker just started shows only once its count arrives.
    return m_bRunActive || g_nShownThreads > 0 || ::InterlockedCompareExchange(&g_nRunningThreads, 0, 0) > 0;
}

void CMainFrame::OnClose() {
    if (IsCheckingUrls() && SkeinMessageBox(m_hWnd, kCloseQuestion, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    CFrameWnd::OnClose();
}

void CMainFrame::SetPane(int nIndex, const std::string& text) {
    if (nIndex == 0 && HoldUntilMenuCloses(text)) return;
    if (m_wndStatusBar.m_hWnd) m_wndStatusBar.SetPaneText(nIndex, text.c_str(), TRUE);
}

HWND CMainFrame::GetActiveViewHwnd() const {
    CView* pView = GetActiveView();
    return pView && pView->m_hWnd ? pView->m_hWnd : nullptr;
}

void CMainFrame::TellPanel(UINT msg, WPARAM wParam) {
    // A null window would turn the post into a thread message nobody expects.
    if (g_hControlPanel) ::PostMessageA(g_hControlPanel, msg, wParam, 1);
}
