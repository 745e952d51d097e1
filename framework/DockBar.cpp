#include "framework/DockBar.h"

#include <algorithm>
#include <climits>

#include "framework/FrameworkIds.h"

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating) {
    m_bDockBar = TRUE;
    m_arrBars.push_back(nullptr);
}

BOOL CDockBar::Create(HWND hParent, DWORD dwStyle, UINT nID) {
    switch (nID) {
    case AFX_IDW_DOCKBAR_TOP: m_dwStyle = CBRS_ALIGN_TOP; break;
    case AFX_IDW_DOCKBAR_BOTTOM: m_dwStyle = CBRS_ALIGN_BOTTOM; break;
    case AFX_IDW_DOCKBAR_LEFT: m_dwStyle = CBRS_ALIGN_LEFT; break;
    case AFX_IDW_DOCKBAR_RIGHT: m_dwStyle = CBRS_ALIGN_RIGHT; break;
    default: m_dwStyle = CBRS_ALIGN_TOP; break;   // the float dock bar holds one bar, laid out horizontally
    }
    LPCSTR cls = RegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    return CreateEx(0, cls, "", dwStyle | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                    RECT{0, 0, 0, 0}, hParent, nID);
}

BOOL CDockBar::IsHorzDock() const {
    return (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const {
    for (int i = 0; i < (int)m_arrBars.size(); ++i)
        if (i != nPosExclude && m_arrBars[i] == pBar) return i;
    return -1;
}

void CDockBar::InsertRowBreak(int nPos) {
    nPos = std::clamp(nPos, 0, (int)m_arrBars.size());
    m_arrBars.insert(m_arrBars.begin() + nPos, nullptr);
}

int CDockBar::GetDockedVisibleCount() const {
    int n = 0;
    for (CControlBar* p : m_arrBars)
        if (IsRealBar(p) && p->IsVisible()) ++n;
    return n;
}

int CDockBar::InsertPosition(const RECT& rc) const {
    BOOL horz = IsHorzDock();
    int key = horz ? rc.top + 8 : rc.left + 8;     // the dropped bar's leading side
    int along = horz ? rc.left : rc.top;
    int rowStart = 1;
    for (int i = 1; i < (int)m_arrBars.size(); ++i) {
        if (m_arrBars[i]) continue;
        // Row [rowStart, i): its band across the dock bar, in screen coordinates.
        int lo = INT_MAX, hi = INT_MIN;
        for (int j = rowStart; j < i; ++j) {
            CControlBar* p = m_arrBars[j];
            if (!IsRealBar(p) || !p->IsVisible()) continue;
            RECT w = p->GetWindowRect();
            lo = std::min(lo, (int)(horz ? w.top : w.left));
            hi = std::max(hi, (int)(horz ? w.bottom : w.right));
        }
        if (lo <= hi) {
            if (key < lo) return -rowStart - 1;   // a new row in front of this one
            if (key >= lo && key < hi) {
                int pos = rowStart;
                for (int j = rowStart; j < i; ++j) {
                    CControlBar* p = m_arrBars[j];
                    if (!IsRealBar(p) || !p->IsVisible()) continue;
                    RECT w = p->GetWindowRect();
                    if ((horz ? w.left : w.top) < along) pos = j + 1;
                }
                return pos;
            }
        }
        rowStart = i + 1;
    }
    return INT_MIN;   // a new row at the end
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect) {
    if (pBar->m_pDockBar) pBar->m_pDockBar->RemoveControlBar(pBar);
    int pos = lpRect ? InsertPosition(*lpRect) : INT_MIN;
    if (pos == INT_MIN) {
        m_arrBars.push_back(pBar);
        m_arrBars.push_back(nullptr);
    } else if (pos < 0) {
        int at = -pos - 1;
        m_arrBars.insert(m_arrBars.begin() + at, nullptr);
        m_arrBars.insert(m_arrBars.begin() + at, pBar);
    } else {
        m_arrBars.insert(m_arrBars.begin() + pos, pBar);
    }
    pBar->m_dwStyle = (pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & CBRS_ALIGN_ANY) |
                      (m_bFloating ? CBRS_FLOATING : 0);
    pBar->m_pDockBar = this;
    if (::GetParent(pBar->m_hWnd) != m_hWnd) ::SetParent(pBar->m_hWnd, m_hWnd);
    // The bar learns its new side from the move notice.
    ::SetWindowPos(pBar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar) {
    int i = FindBar(pBar);
    if (i < 0) return FALSE;
    m_arrBars.erase(m_arrBars.begin() + i);
    // A row left without entries would be two breaks in a row.
    if (i > 0 && i < (int)m_arrBars.size() && !m_arrBars[i] && !m_arrBars[i - 1])
        m_arrBars.erase(m_arrBars.begin() + i);
    if (pBar->m_pDockBar == this) pBar->m_pDockBar = nullptr;
    return TRUE;
}

SIZE CDockBar::BarLayoutSize(CControlBar* pBar, BOOL bHorz) {
    if (pBar->m_dwStyle & CBRS_SIZE_DYNAMIC)
        return pBar->CalcDynamicLayout(-1, bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
    return pBar->CalcFixedLayout(FALSE, bHorz);
}

BOOL CDockBar::PlaceRows(BOOL bQuery, std::vector<BarPlace>& places, int& extent) {
    const BOOL horz = IsHorzDock();
    const int start = horz ? -2 : 0;
    const size_t count = m_arrBars.size();
    int across = (GetDlgCtrlID() == AFX_IDW_DOCKBAR_TOP) ? -2 : 0, along = start, thick = 0;
    bool rowHasBars = false;
    auto endRow = [&] {
        if (rowHasBars) across += thick - 2;
        thick = 0;
        along = start;
        rowHasBars = false;
    };
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CControlBar* p = m_arrBars[i];
        if (!p) {
            endRow();
            continue;
        }
        if (!IsRealBar(p)) continue;
        if (!bQuery) p->RecalcDelayShow(nullptr);
        if (!p->IsVisible()) continue;
        SIZE sz = BarLayoutSize(p, horz);
        if (m_arrBars.size() != count) return FALSE;
        RECT rc = horz ? RECT{along, across, along + sz.cx, across + sz.cy}
                       : RECT{across, along, across + sz.cx, along + sz.cy};
        places.push_back({p, rc});
        along += (horz ? sz.cx : sz.cy) - 2;
        thick = std::max(thick, (int)(horz ? sz.cy : sz.cx));
        rowHasBars = true;
    }
    endRow();
    extent = places.empty() ? 0 : across + 2;
    return TRUE;
}

SIZE CDockBar::LayoutRows(BOOL bQuery) {
    // A sizing bar may split its row while it is asked for its size; the pass
    // then starts again over the changed list.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::vector<BarPlace> places;
        int extent = 0;
        if (!PlaceRows(bQuery, places, extent)) continue;
        if (!bQuery) {
            for (const BarPlace& pl : places)
                ::SetWindowPos(pl.bar->m_hWnd, nullptr, pl.rc.left, pl.rc.top, pl.rc.right - pl.rc.left,
                               pl.rc.bottom - pl.rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return IsHorzDock() ? SIZE{0, extent} : SIZE{extent, 0};
    }
    return SIZE{0, 0};
}

SIZE CDockBar::CalcFixedLayout(BOOL, BOOL) {
    if (!m_bFloating) return LayoutRows(m_bLayoutQuery);
    // Floating: the one visible bar at its floating size fills the dock bar.
    for (CControlBar* p : m_arrBars) {
        if (!IsRealBar(p)) continue;
        if (!m_bLayoutQuery) p->RecalcDelayShow(nullptr);
        if (!p->IsVisible()) continue;
        SIZE sz = p->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
        if (!m_bLayoutQuery)
            ::SetWindowPos(p->m_hWnd, nullptr, 0, 0, sz.cx, sz.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        return sz;
    }
    return SIZE{0, 0};
}

LRESULT CDockBar::OnSizeParent(AFX_SIZEPARENTPARAMS* pLayout) {
    if (m_bFloating) return 0;
    m_bLayoutQuery = pLayout->hDWP == nullptr;
    m_rectLayout = pLayout->rect;
    SIZE size = CalcFixedLayout(pLayout->bStretch, IsHorzDock());
    m_bLayoutQuery = FALSE;
    RECT r = pLayout->rect;
    LONG w = r.right - r.left, h = r.bottom - r.top;
    switch (GetDlgCtrlID()) {
    case AFX_IDW_DOCKBAR_TOP:
        r.bottom = r.top + std::min(size.cy, h);
        pLayout->rect.top = r.bottom;
        break;
    case AFX_IDW_DOCKBAR_BOTTOM:
        r.top = r.bottom - std::min(size.cy, h);
        pLayout->rect.bottom = r.top;
        break;
    case AFX_IDW_DOCKBAR_LEFT:
        r.right = r.left + std::min(size.cx, w);
        pLayout->rect.left = r.right;
        break;
    case AFX_IDW_DOCKBAR_RIGHT:
        r.left = r.right - std::min(size.cx, w);
        pLayout->rect.right = r.left;
        break;
    default:
        return 0;
    }
    AfxRepositionWindow(pLayout, m_hWnd, &r);
    return 0;
}

LRESULT CDockBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_IDLEUPDATECMDUI) {
        // Floating frames are owned windows, not children of the dock site:
        // the top dock bar passes the idle update on to their bars.
        if (!m_bFloating && GetDlgCtrlID() == AFX_IDW_DOCKBAR_TOP && m_pDockSite) {
            std::vector<CControlBar*> bars = m_pDockSite->m_listControlBars;
            for (CControlBar* p : bars)
                if (p->IsFloating()) ::SendMessageA(p->m_hWnd, WM_IDLEUPDATECMDUI, wParam, 0);
        }
        return 0;
    }
    return CControlBar::WindowProc(msg, wParam, lParam);
}

void CDockBar::PostNcDestroy() {
    if (m_bAutoDelete) delete this;
}
