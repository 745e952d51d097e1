#include "framework/MiniFrame.h"
#include "framework/DockContext.h"

#include "framework/FrameworkIds.h"

BOOL CMiniFrameWnd::Create(LPCSTR lpszTitle, DWORD dwStyle, const RECT& rect, HWND hOwner) {
    LPCSTR cls = RegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    DWORD ws = dwStyle | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (dwStyle & MFS_THICKFRAME) ws |= WS_THICKFRAME;
    return CreateEx(WS_EX_TOOLWINDOW, cls, lpszTitle, ws, rect, hOwner, 0);
}

int CMiniFrameWnd::OnCreate(LPCREATESTRUCTA) {
    // A mini frame has no view and no menu: none of the main frame's creation steps.
    return (int)Default();
}

LRESULT CMiniFrameWnd::OnNcHitTest(LPARAM lParam) {
    LRESULT hit = DefWindowProc(WM_NCHITTEST, 0, lParam);
    if (GetStyle() & MFS_4THICKFRAME) {
        switch (hit) {
        case HTTOPLEFT:
        case HTTOPRIGHT: return HTTOP;
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT: return HTBOTTOM;
        default: break;
        }
    }
    return hit;
}

LRESULT CMiniFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCHITTEST) return OnNcHitTest(lParam);
    if (msg == WM_GETMINMAXINFO) {
        // Small bars make small frames: no minimum beyond the frame's own borders.
        LRESULT r = DefWindowProc(msg, wParam, lParam);
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        mmi->ptMinTrackSize = POINT{0, 0};
        return r;
    }
    // Deliberately not the main frame's handling (menus, view, close question).
    return CWnd::WindowProc(msg, wParam, lParam);
}

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE) {
    m_wndDockBar.m_bAutoDelete = FALSE;
}

BOOL CMiniDockFrameWnd::Create(CFrameWnd* pDockSite, DWORD) {
    m_pDockSite = pDockSite;
    DWORD style = MFS_4THICKFRAME | MFS_THICKFRAME | MFS_SYNCACTIVE | MFS_MOVEFRAME;
    if (!CMiniFrameWnd::Create("", style, RECT{0, 0, 0, 0}, pDockSite ? pDockSite->m_hWnd : nullptr))
        return FALSE;
    m_wndDockBar.m_pDockSite = pDockSite;
    return m_wndDockBar.Create(m_hWnd, 0, AFX_IDW_DOCKBAR_FLOAT);
}

CControlBar* CMiniDockFrameWnd::GetBar() const {
    for (CControlBar* p : m_wndDockBar.m_arrBars)
        if (CDockBar::IsRealBar(p)) return p;
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL) {
    if (m_bInRecalcLayout || !m_hWnd || !m_wndDockBar.m_hWnd) return;
    m_bInRecalcLayout = TRUE;
    m_bDelayedLayout = FALSE;
    m_wndDockBar.m_bLayoutQuery = FALSE;
    SIZE sz = m_wndDockBar.CalcFixedLayout(FALSE, TRUE);
    ::SetWindowPos(m_wndDockBar.m_hWnd, nullptr, 0, 0, sz.cx, sz.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    std::string caption = m_wndDockBar.GetWindowText();
    if (caption != GetWindowText()) SetWindowText(caption);
    RECT wr{0, 0, sz.cx, sz.cy};
    ::AdjustWindowRectEx(&wr, GetStyle() & 0xFFFF0000, FALSE, GetExStyle());
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Shown and hidden with its bar, never taking the activation from the frames.
    BOOL anyVisible = m_wndDockBar.GetDockedVisibleCount() > 0;
    BOOL shown = (GetStyle() & WS_VISIBLE) != 0;
    if (anyVisible != shown)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                           (anyVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    m_bInRecalcLayout = FALSE;
}

void CMiniDockFrameWnd::OnIdleLayout() {
    if (m_bDelayedLayout) RecalcLayout(m_bDelayedNotify);
}

void CMiniDockFrameWnd::OnClose() {
    // Closing the floating frame hides its bar; the bar lives on.
    if (CControlBar* bar = GetBar(); bar && m_pDockSite) m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
}

void CMiniDockFrameWnd::OnSize(UINT, int, int) {
    Default();
}

BOOL CMiniDockFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0 && m_pDockSite) {
        // Menu and accelerator commands belong to the frame the bar docks in.
        ::SendMessageA(m_pDockSite->m_hWnd, WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CMiniDockFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        CControlBar* bar = GetBar();
        if (!bar || !bar->m_pDockContext) break;
        POINT pt{(short)LOWORD(lParam), (short)HIWORD(lParam)};
        // The frame may be gone when these return (docked again): touch nothing after.
        if (msg == WM_NCLBUTTONDBLCLK) {
            if (wParam != HTCAPTION) break;
            bar->m_pDockContext->ToggleDocking();
            return 0;
        }
        if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT) {
            bar->m_pDockContext->StartResize((int)wParam);
            return 0;
        }
        if (wParam == HTCAPTION) {
            ::SetActiveWindow(m_hWnd);
            bar->m_pDockContext->StartDrag(pt);
            return 0;
        }
        break;
    }
    case WM_IDLEUPDATECMDUI:
        OnIdleLayout();
        return 0;
    case WM_PAINT:
        OnIdleLayout();   // a delayed layout is due before the frame paints
        break;
    default:
        break;
    }
    return CMiniFrameWnd::WindowProc(msg, wParam, lParam);
}
