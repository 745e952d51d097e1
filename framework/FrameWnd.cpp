#include "framework/FrameWnd.h"

#include <algorithm>

#include "framework/CmdUI.h"
#include "framework/Document.h"
#include "framework/FrameworkIds.h"
#include "framework/Internal.h"
#include "framework/StatusBar.h"
#include "framework/WinApp.h"

std::string LoadResString(UINT nID, HINSTANCE hInst) {
    char buf[1024] = {};
    int n = ::LoadStringA(hInst ? hInst : ::GetModuleHandleA(nullptr), nID, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

namespace {

std::string FirstLine(const std::string& s) { return s.substr(0, s.find('\n')); }

BOOL CALLBACK CollectChild(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

}  // namespace

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect) {
    if (!lpLayout->hDWP || !hWnd) return;
    RECT now{};
    ::GetWindowRect(hWnd, &now);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&now), 2);
    if (::EqualRect(&now, lpRect)) return;
    // No copied bits: the batch moves the bars and the view together, and the
    // pixels a copy would take can belong to a neighbour that has moved away
    // (the list stayed grey after the side bar went to the top and back).
    lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top,
                                      lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                                      SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOCOPYBITS);
}

CFrameWnd* GetParentFrame(HWND hWnd) {
    for (HWND h = hWnd ? ::GetParent(hWnd) : nullptr; h; h = ::GetParent(h)) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(h))) return frame;
    }
    return nullptr;
}

CFrameWnd::~CFrameWnd() {
    // A menu that never reached a window is ours to free; the window frees its own.
    if (m_hMenuDefault && (!m_hWnd || !::IsWindow(m_hWnd))) ::DestroyMenu(m_hMenuDefault);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass) {
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                        (HBRUSH)(COLOR_BTNFACE + 1), m_hIcon);
        if (!cs.lpszClass) return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CDocument* pDoc, CView* pView) {
    if (m_hWnd) return FALSE;
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    m_strTitle = FirstLine(LoadResString(nIDResource));
    m_hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(nIDResource));
    m_hMenuDefault = ::LoadMenuA(hInst, MAKEINTRESOURCEA(nIDResource));
    m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));
    m_pDocument = pDoc;
    m_pNewView = pView;

    CREATESTRUCTA cs{};
    cs.style = dwDefaultStyle;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hMenu = m_hMenuDefault;
    cs.hInstance = hInst;
    cs.lpszName = m_strTitle.c_str();
    if (!PreCreateWindow(cs)) return FALSE;
    HWND h = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                               cs.cy, cs.hwndParent, cs.hMenu, hInst, this);
    m_pNewView = nullptr;
    if (!h) {
        m_hWnd = nullptr;
        m_pActiveView = nullptr;
        return FALSE;
    }
    SetMessageText(static_cast<const char*>(nullptr));
    RecalcLayout();
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA) {
    if (Default() == -1) return -1;
    if (!m_pNewView) return 0;
    // The view is the list control itself, the frame's client.
    auto* pList = dynamic_cast<CListView*>(m_pNewView);
    if (!pList || !pList->Create(m_hWnd, AFX_IDW_PANE_FIRST)) return -1;
    pList->SetDocument(m_pDocument);
    m_pActiveView = pList;
    return 0;
}

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_bInRecalcLayout || !m_hWnd) return;
    m_bInRecalcLayout = TRUE;
    m_bDelayedLayout = FALSE;
    m_bDelayedNotify = FALSE;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify) {
    m_bDelayedLayout = TRUE;
    if (bNotify) m_bDelayedNotify = TRUE;
}

namespace {

// What a layout query answers: the room left over, or (not stretched) the
// room the bars took.
RECT QueriedRect(const AFX_SIZEPARENTPARAMS& layout, BOOL bStretch) {
    if (bStretch) return layout.rect;
    return RECT{0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy};
}

// The left-over window's rectangle: the bars' leftover, less the extra
// margins (left, top, right, bottom) the caller asks for, never inside out.
RECT LeftOverRect(RECT rest, const RECT* margins) {
    if (margins) {
        rest.left += margins->left;
        rest.top += margins->top;
        rest.right -= margins->right;
        rest.bottom -= margins->bottom;
    }
    rest.right = std::max(rest.right, rest.left);
    rest.bottom = std::max(rest.bottom, rest.top);
    return rest;
}

}  // namespace

HWND CFrameWnd::SendSizeParent(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, AFX_SIZEPARENTPARAMS& layout) {
    // Children in z-order, which is their creation order: the bar made first
    // takes its share first (the status bar runs under the side dock bars).
    HWND hLeftOver = nullptr;
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetNextWindow(h, GW_HWNDNEXT)) {
        UINT id = (UINT)::GetDlgCtrlID(h);
        if (id == nIDLeftOver) hLeftOver = h;
        else if (id >= nIDFirst && id <= nIDLast)
            ::SendMessageA(h, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    return hLeftOver;
}

void CFrameWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag,
                               LPRECT lpRectParam, LPCRECT lpRectClient, BOOL bStretch) {
    if (!m_hWnd) return;
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    layout.hDWP = (nFlag & reposQuery) ? nullptr : ::BeginDeferWindowPos(8);
    if (lpRectClient) layout.rect = *lpRectClient;
    else ::GetClientRect(m_hWnd, &layout.rect);
    HWND hLeftOver = SendSizeParent(nIDFirst, nIDLast, nIDLeftOver, layout);

    if (nFlag & reposQuery) {
        if (lpRectParam) *lpRectParam = QueriedRect(layout, bStretch);
        return;
    }
    const RECT rest = LeftOverRect(layout.rect, (nFlag & reposExtra) ? lpRectParam : nullptr);
    if (hLeftOver) AfxRepositionWindow(&layout, hLeftOver, &rest);
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    if (!m_hWnd) return;
    RunDelayedLayout();
    // Collected first: an answer may create or destroy windows.
    std::vector<HWND> children;
    ::EnumChildWindows(m_hWnd, &CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND h : children) {
        if (::IsWindow(h) && CWnd::FromHandlePermanent(h)) ::SendMessageA(h, WM_IDLEUPDATECMDUI, TRUE, 0);
    }
}

HWND CFrameWnd::GetStatusBarHwnd() const {
    return m_hWnd ? ::GetDlgItem(m_hWnd, AFX_IDW_STATUS_BAR) : nullptr;
}

void CFrameWnd::SetMessageText(const char* text) {
    HWND hBar = GetStatusBarHwnd();
    if (!hBar) return;
    std::string s = text ? std::string(text) : LoadResString(AFX_IDS_IDLEMESSAGE);
    if (auto* bar = dynamic_cast<CStatusBar*>(CWnd::FromHandlePermanent(hBar))) {
        bar->SetPaneText(0, s.c_str());
    } else {
        ::SendMessageA(hBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
}

void CFrameWnd::SetMessageText(UINT nID) {
    std::string s = nID ? FirstLine(LoadResString(nID)) : std::string();
    SetMessageText(s.c_str());
}

BOOL CFrameWnd::HoldUntilMenuCloses(const std::string& text) {
    if (!m_bInMenuLoop) return FALSE;
    m_strBeforeMenu = text;
    return TRUE;
}

void CFrameWnd::UpdateFrameTitle(const std::string& strDocTitle) {
    if (!m_hWnd) return;
    std::string caption = m_strTitle;
    if ((GetStyle() & FWS_ADDTOTITLE) && !strDocTitle.empty()) caption = strDocTitle + " - " + m_strTitle;
    if (GetWindowText() != caption) SetWindowText(caption);
}

BOOL CFrameWnd::OnUpdateCmdUI(CCmdUI* pCmdUI) {
    if (pCmdUI->m_nID == ID_VIEW_STATUS_BAR) {
        HWND hBar = GetStatusBarHwnd();
        pCmdUI->Enable(hBar != nullptr);
        pCmdUI->SetCheck(hBar && (::GetWindowLongPtrA(hBar, GWL_STYLE) & WS_VISIBLE) ? 1 : 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID) {
    if (nID == ID_VIEW_STATUS_BAR) {
        HWND hBar = GetStatusBarHwnd();
        if (!hBar) return FALSE;
        bool visible = (::GetWindowLongPtrA(hBar, GWL_STYLE) & WS_VISIBLE) != 0;
        ::ShowWindow(hBar, visible ? SW_HIDE : SW_SHOWNOACTIVATE);
        RecalcLayout();
        return TRUE;
    }
    return FALSE;
}

BOOL CFrameWnd::RouteCommand(UINT nID) {
    if (m_pActiveView && m_pActiveView->m_hWnd && m_pActiveView->OnCmdMsg(nID)) return TRUE;
    if (OnCmdMsg(nID)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HWND hCtl = reinterpret_cast<HWND>(lParam)) {
        if (CWnd* child = FromHandlePermanent(hCtl)) {
            LRESULT r = 0;
            if (child->OnChildNotify(WM_COMMAND, wParam, lParam, &r)) return TRUE;
        }
        // A button of a bar carries a command id: clicks route like menu commands.
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    }
    return RouteCommand(LOWORD(wParam));
}

void CFrameWnd::OnSize(UINT nType, int, int) {
    Default();
    if (nType != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu) {
    if (nFlags == 0xFFFF && !hMenu) {   // the menu closed
        // A run's progress must not turn into the idle text for the rest of the run.
        SetMessageText(m_bInMenuLoop ? m_strBeforeMenu.c_str() : nullptr);
    } else if (nFlags & (MF_SEPARATOR | MF_POPUP | MF_SYSMENU)) {
        SetMessageText("");
    } else {
        SetMessageText(nItemID);
    }
}

void CFrameWnd::OnInitMenuPopup(HMENU hPopup, UINT, BOOL bSysMenu) {
    if (bSysMenu || !hPopup) return;
    int count = ::GetMenuItemCount(hPopup);
    for (int i = 0; i < count; ++i) {
        UINT id = ::GetMenuItemID(hPopup, i);
        if (id == 0 || id == (UINT)-1) continue;   // separator or submenu
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_nIndex = (UINT)i;
        ui.m_hMenu = hPopup;
        OnUpdateCmdUI(&ui);
    }
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable && m_hWnd)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg) != 0;
    return FALSE;
}

void CFrameWnd::RunDelayedLayout() {
    if (m_bDelayedLayout) RecalcLayout(m_bDelayedNotify);
}

void CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    if (lParam) SetMessageText(reinterpret_cast<const char*>(lParam));
    else if (wParam == AFX_IDS_IDLEMESSAGE) SetMessageText(static_cast<const char*>(nullptr));
    else SetMessageText((UINT)wParam);
}

void CFrameWnd::OnEnterMenuLoop() {
    HWND hBar = GetStatusBarHwnd();
    if (!hBar) return;
    auto* bar = dynamic_cast<CStatusBar*>(CWnd::FromHandlePermanent(hBar));
    m_strBeforeMenu = bar ? bar->GetPaneText(0) : std::string();
    m_bInMenuLoop = bar != nullptr;
}

void CFrameWnd::OnExitMenuLoop() {
    if (m_bInMenuLoop) SetMessageText(m_strBeforeMenu.c_str());
    m_bInMenuLoop = FALSE;
}

BOOL CFrameWnd::FocusActiveView() {
    if (!m_pActiveView || !m_pActiveView->m_hWnd || !::IsWindowVisible(m_pActiveView->m_hWnd)) return FALSE;
    ::SetFocus(m_pActiveView->m_hWnd);
    return TRUE;
}

CWinApp* CFrameWnd::AppWhoseMainWindowThisIs() const {
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd == this ? app : nullptr;
}

void CFrameWnd::OnNcDestroyFrame() {
    if (CWinApp* app = AppWhoseMainWindowThisIs()) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    m_pActiveView = nullptr;
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZEPARENT:
        return 0;
    case WM_IDLEUPDATECMDUI:
        RunDelayedLayout();
        return 0;
    case WM_RECALCPARENT:
        RecalcLayout();
        return 0;
    case WM_PAINT:
        // A delayed layout must not wait for idle time once the window shows.
        RunDelayedLayout();
        break;
    case WM_SETMESSAGESTRING:
        OnSetMessageString(wParam, lParam);
        return 0;
    case WM_ENTERMENULOOP:
        OnEnterMenuLoop();
        break;
    case WM_EXITMENULOOP:
        OnExitMenuLoop();
        break;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
        return DefWindowProc(msg, wParam, lParam);
    case WM_SETFOCUS:
        if (FocusActiveView()) return 0;
        break;
    case WM_ENDSESSION:
        // Windows ends the process once this returns, without a WM_QUIT for
        // the loop: the application's exit steps (its settings) run here.
        if (CWinApp* app = wParam ? AppWhoseMainWindowThisIs() : nullptr) app->ExitInstance();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroyFrame();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
