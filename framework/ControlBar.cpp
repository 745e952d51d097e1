#include "framework/ControlBar.h"

#include <algorithm>

#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/Gdi.h"
#include "framework/MiniFrame.h"

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    // The window goes first, while the dock context and the lists still know the bar.
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

void CControlBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (!m_dockContext) {
        m_dockContext = std::make_unique<CDockContext>(this);
        m_pDockContext = m_dockContext.get();
    }
}

SIZE CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    RECT r = GetWindowRect();
    SIZE size{r.right - r.left, r.bottom - r.top};
    if (bStretch) {
        if (bHorz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

SIZE CControlBar::CalcDynamicLayout(int, DWORD dwMode) {
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

BOOL CControlBar::IsVisible() const {
    if (m_nStateFlags & delayHide) return FALSE;
    if (m_nStateFlags & delayShow) return TRUE;
    return m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
}

BOOL CControlBar::IsFloating() const {
    return m_pDockBar && m_pDockBar->m_bFloating;
}

void CControlBar::DelayShow(BOOL bShow) {
    m_nStateFlags &= ~(delayHide | delayShow);
    BOOL visible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !visible) m_nStateFlags |= delayShow;
    else if (!bShow && visible) m_nStateFlags |= delayHide;
}

void CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout) {
    UINT flags = m_nStateFlags & (delayHide | delayShow);
    if (!flags) return;
    m_nStateFlags &= ~(delayHide | delayShow);
    UINT swp = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
               ((flags & delayShow) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (lpLayout && lpLayout->hDWP)
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0, swp);
    else
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, swp);
}

void CControlBar::DrawBorders(HDC hDC, RECT& rect) {
    DWORD style = m_dwStyle;
    if (!(style & CBRS_BORDER_ANY)) return;
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    auto line = [hDC](int l, int t, int r, int b, COLORREF c) {
        RECT rc{l, t, r, b};
        ::SetBkColor(hDC, c);
        ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    };
    // An etched line per border: shadow outside, highlight inside.
    int w = (style & CBRS_BORDER_3D) ? 2 : 1;
    RECT r = rect;
    if (style & CBRS_BORDER_TOP) {
        line(r.left, r.top, r.right, r.top + 1, shadow);
        if (w == 2) line(r.left, r.top + 1, r.right, r.top + 2, light);
        rect.top += w;
    }
    if (style & CBRS_BORDER_BOTTOM) {
        line(r.left, r.bottom - w, r.right, r.bottom - w + 1, shadow);
        if (w == 2) line(r.left, r.bottom - 1, r.right, r.bottom, light);
        rect.bottom -= w;
    }
    if (style & CBRS_BORDER_LEFT) {
        line(r.left, r.top, r.left + 1, r.bottom, shadow);
        if (w == 2) line(r.left + 1, r.top, r.left + 2, r.bottom, light);
        rect.left += w;
    }
    if (style & CBRS_BORDER_RIGHT) {
        line(r.right - w, r.top, r.right - w + 1, r.bottom, shadow);
        if (w == 2) line(r.right - 1, r.top, r.right, r.bottom, light);
        rect.right -= w;
    }
}

CFrameWnd* CControlBar::GetDockingFrame() const {
    if (IsFloating()) {
        if (auto* p = dynamic_cast<CFrameWnd*>(FromHandlePermanent(::GetParent(m_pDockBar->m_hWnd))))
            return p;
    }
    return m_pDockSite;
}

int CControlBar::OnCreate(LPCREATESTRUCTA lpcs) {
    (void)lpcs;
    if (Default() == -1) return -1;
    if (!m_pDockSite) m_pDockSite = GetParentFrame(m_hWnd);
    if (m_pDockSite && !m_bDockBar) m_pDockSite->AddControlBar(this);
    return 0;
}

void CControlBar::OnDestroy() {
    if (CDockBar* pDock = m_pDockBar) {
        pDock->RemoveControlBar(this);
        // A floating frame left empty goes out of sight; its owner destroys it later.
        if (pDock->m_bFloating && pDock->GetDockedVisibleCount() == 0)
            ::SetWindowPos(::GetParent(pDock->m_hWnd), nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
    m_pDockBar = nullptr;
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    Default();
}

LRESULT CControlBar::OnSizeParent(AFX_SIZEPARENTPARAMS* pLayout) {
    if (pLayout->hDWP) RecalcDelayShow(pLayout);
    if (!IsVisible()) return 0;
    BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    SIZE size = CalcFixedLayout(pLayout->bStretch, horz);
    RECT r = pLayout->rect;
    LONG avail = horz ? r.bottom - r.top : r.right - r.left;
    if (m_dwStyle & CBRS_ALIGN_TOP) {
        r.bottom = r.top + std::min(size.cy, avail);
        pLayout->rect.top = r.bottom;
    } else if (m_dwStyle & CBRS_ALIGN_BOTTOM) {
        r.top = r.bottom - std::min(size.cy, avail);
        pLayout->rect.bottom = r.top;
    } else if (m_dwStyle & CBRS_ALIGN_LEFT) {
        r.right = r.left + std::min(size.cx, avail);
        pLayout->rect.left = r.right;
    } else if (m_dwStyle & CBRS_ALIGN_RIGHT) {
        r.left = r.right - std::min(size.cx, avail);
        pLayout->rect.right = r.left;
    } else {
        return 0;
    }
    if (horz) pLayout->sizeTotal.cy += r.bottom - r.top;
    else pLayout->sizeTotal.cx += r.right - r.left;
    AfxRepositionWindow(pLayout, m_hWnd, &r);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam) {
    if (IsFloating()) {
        // Floating frames are not children of the dock site; their delayed
        // layout runs when their bar gets its idle update.
        if (auto* mini = dynamic_cast<CMiniDockFrameWnd*>(GetDockingFrame())) mini->OnIdleLayout();
    }
    if (m_hWnd && (GetStyle() & WS_VISIBLE)) {
        CFrameWnd* target = m_pDockSite ? m_pDockSite : GetParentFrame(m_hWnd);
        OnUpdateCmdUI(target, (BOOL)wParam);
    }
    return 0;
}

LRESULT CControlBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZEPARENT:
        return OnSizeParent(reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam));
    case WM_IDLEUPDATECMDUI:
        return OnIdleUpdateCmdUI(wParam);
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
