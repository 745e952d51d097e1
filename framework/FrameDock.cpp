// The frame's docking: its four dock bars, and moving bars between them and
// floating frames.
#include <algorithm>

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/FrameWnd.h"
#include "framework/FrameworkIds.h"
#include "framework/Internal.h"
#include "framework/MiniFrame.h"

CMiniDockFrameWnd* FloatingFrameOf(CControlBar* pBar) {
    if (!pBar->IsFloating()) return nullptr;
    return dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(pBar->m_pDockBar->m_hWnd)));
}

namespace {

// Where the bar floats next time it leaves its dock bar.
void RememberFloatPos(CControlBar* pBar, POINT pt) {
    if (!pBar->m_pDockContext) return;
    pBar->m_pDockContext->m_ptMRUFloatPos = pt;
    pBar->m_pDockContext->m_bHaveFloatPos = TRUE;
}

// A window that deletes itself once destroyed, after its creation failed.
void DiscardFailed(CWnd* pWnd) {
    if (pWnd->m_hWnd) pWnd->DestroyWindow();
    else delete pWnd;
}

void MoveFloatingFrame(CMiniDockFrameWnd* pFrame, POINT pt) {
    ::SetWindowPos(pFrame->m_hWnd, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void CFrameWnd::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle |= dwDockStyle & CBRS_ALIGN_ANY;
    for (const DockSide& s : kDockSides) {
        if (!(dwDockStyle & s.align) || GetDockBar(s.id)) continue;
        auto* pDock = new CDockBar(FALSE);
        pDock->m_pDockSite = this;
        if (!pDock->Create(m_hWnd, 0, s.id)) DiscardFailed(pDock);
    }
}

CDockBar* CFrameWnd::GetDockBar(UINT nDockBarID) const {
    HWND h = ::GetDlgItem(m_hWnd, (int)nDockBarID);
    return dynamic_cast<CDockBar*>(FromHandlePermanent(h));
}

CDockBar* CFrameWnd::FirstDockBarFor(const CControlBar* pBar) const {
    const DWORD allowed = pBar->m_dwDockStyle ? pBar->m_dwDockStyle : CBRS_ALIGN_ANY;
    for (const DockSide& s : kDockSides) {
        if (!(allowed & s.align) || !(m_dwDockStyle & s.align)) continue;
        if (CDockBar* pDock = GetDockBar(s.id)) return pDock;
    }
    return nullptr;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect) {
    if (!pBar || !pBar->m_hWnd) return;
    CDockBar* pDock = nDockBarID ? GetDockBar(nDockBarID) : nullptr;
    if (!pDock) pDock = FirstDockBarFor(pBar);
    if (!pDock) return;
    CMiniDockFrameWnd* pOldFrame = FloatingFrameOf(pBar);
    if (pOldFrame) {
        RECT r = pOldFrame->GetWindowRect();
        RememberFloatPos(pBar, POINT{r.left, r.top});
    }
    pBar->m_pDockSite = this;
    pDock->DockControlBar(pBar, lpRect);
    if (pOldFrame) pOldFrame->DestroyWindow();   // its dock bar is empty now
    DelayRecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, POINT point, DWORD dwStyle) {
    if (!pBar || !pBar->m_hWnd) return;
    if (CMiniDockFrameWnd* pFrame = FloatingFrameOf(pBar)) {
        MoveFloatingFrame(pFrame, point);
        RememberFloatPos(pBar, point);
        return;
    }
    CDockBar* pOldDock = pBar->m_pDockBar;
    if (pOldDock && pBar->m_pDockContext) {
        pBar->m_pDockContext->m_uMRUDockID = pOldDock->GetDlgCtrlID();
        pBar->m_pDockContext->m_rectMRUDockPos = pBar->GetWindowRect();
    }
    auto* pFrame = new CMiniDockFrameWnd;
    if (!pFrame->Create(this, dwStyle)) {
        DiscardFailed(pFrame);
        return;
    }
    MoveFloatingFrame(pFrame, point);
    pFrame->m_wndDockBar.SetWindowText(pBar->GetWindowText());
    pBar->m_pDockSite = this;
    pFrame->m_wndDockBar.DockControlBar(pBar);
    RememberFloatPos(pBar, point);
    pFrame->RecalcLayout();
    if (pOldDock) DelayRecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay) {
    if (!pBar || !pBar->m_hWnd) return;
    pBar->DelayShow(bShow);
    if (CMiniDockFrameWnd* pFrame = FloatingFrameOf(pBar)) {
        if (bDelay) pFrame->DelayRecalcLayout();
        else pFrame->RecalcLayout();
        return;
    }
    if (bDelay) {
        DelayRecalcLayout();
    } else {
        // A bar outside any dock bar shows or hides at once; docked bars through the layout.
        if (!pBar->m_pDockBar) pBar->RecalcDelayShow(nullptr);
        RecalcLayout();
    }
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const {
    for (CControlBar* p : m_listControlBars)
        if (p->m_hWnd && p->GetDlgCtrlID() == nID) return p;
    return nullptr;
}

void CFrameWnd::AddControlBar(CControlBar* pBar) {
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar) {
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}
