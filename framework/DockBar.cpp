#include "framework/DockBar.h"

#include <algorithm>
#include <climits>

#include "framework/FrameworkIds.h"

namespace {

// Lays bars out row by row: neighbours in a row, and neighbouring rows,
// overlap by 2 pixels so that their borders coincide.
class RowCursor {
public:
    RowCursor(BOOL horz, BOOL topDock)
        : m_horz(horz), m_start(horz ? -2 : 0), m_across(topDock ? -2 : 0), m_along(m_start) {}
    // The rectangle of the next bar in the row, of size sz.
    RECT Place(SIZE sz) {
        RECT rc = m_horz ? RECT{m_along, m_across, m_along + sz.cx, m_across + sz.cy}
                         : RECT{m_across, m_along, m_across + sz.cx, m_along + sz.cy};
        m_along += (m_horz ? sz.cx : sz.cy) - 2;
        m_thick = std::max(m_thick, (int)(m_horz ? sz.cy : sz.cx));
        m_rowHasBars = true;
        return rc;
    }
    // Closes the row; a row without bars takes no room.
    void EndRow() {
        if (m_rowHasBars) m_across += m_thick - 2;
        m_thick = 0;
        m_along = m_start;
        m_rowHasBars = false;
    }
    int Across() const { return m_across; }

private:
    const BOOL m_horz;
    const int m_start;
    int m_across;
    int m_along;
    int m_thick = 0;
    bool m_rowHasBars = false;
};

}  // namespace

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

bool CDockBar::IsShownBar(const CControlBar* p) {
    return IsRealBar(p) && p->IsVisible();
}

int CDockBar::GetDockedVisibleCount() const {
    return (int)std::count_if(m_arrBars.begin(), m_arrBars.end(), IsShownBar);
}

size_t CDockBar::RowEnd(size_t start) const {
    auto it = std::find(m_arrBars.begin() + (ptrdiff_t)std::min(start, m_arrBars.size()), m_arrBars.end(), nullptr);
    return (size_t)(it - m_arrBars.begin());
}

CDockBar::Band CDockBar::RowBand(size_t start, size_t end) const {
    const BOOL horz = IsHorzDock();
    Band band{INT_MAX, INT_MIN};
    for (size_t j = start; j < end; ++j) {
        if (!IsShownBar(m_arrBars[j])) continue;
        RECT w = m_arrBars[j]->GetWindowRect();
        band.lo = std::min(band.lo, (int)(horz ? w.top : w.left));
        band.hi = std::max(band.hi, (int)(horz ? w.bottom : w.right));
    }
    return band;
}

size_t CDockBar::PlaceInRow(size_t start, size_t end, int along) const {
    const BOOL horz = IsHorzDock();
    size_t pos = start;
    for (size_t j = start; j < end; ++j) {
        if (!IsShownBar(m_arrBars[j])) continue;
        RECT w = m_arrBars[j]->GetWindowRect();
        if ((horz ? w.left : w.top) < along) pos = j + 1;
    }
    return pos;
}

CDockBar::InsertPlace CDockBar::InsertPosition(const RECT& rc) const {
    const BOOL horz = IsHorzDock();
    const int key = (horz ? rc.top : rc.left) + 8;   // the dropped bar's leading side
    // Only rows closed by a break count; the list's first entry is a break.
    for (size_t start = 1, end = RowEnd(start); end < m_arrBars.size(); start = end + 1, end = RowEnd(start)) {
        const Band band = RowBand(start, end);
        if (band.Empty()) continue;
        if (key < band.lo) return {start, true};
        if (key < band.hi) return {PlaceInRow(start, end, horz ? rc.left : rc.top), false};
    }
    return {m_arrBars.size(), true};
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect) {
    if (pBar->m_pDockBar) pBar->m_pDockBar->RemoveControlBar(pBar);
    const InsertPlace at = lpRect ? InsertPosition(*lpRect) : InsertPlace{m_arrBars.size(), true};
    m_arrBars.insert(m_arrBars.begin() + (ptrdiff_t)at.index, pBar);
    if (at.newRow) m_arrBars.insert(m_arrBars.begin() + (ptrdiff_t)at.index + 1, nullptr);
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

bool CDockBar::TakesRoom(CControlBar* p, BOOL bQuery) {
    if (!IsRealBar(p)) return false;
    if (!bQuery) p->RecalcDelayShow(nullptr);
    return p->IsVisible();
}

BOOL CDockBar::PlaceRows(BOOL bQuery, std::vector<BarPlace>& places, int& extent) {
    const BOOL horz = IsHorzDock();
    const size_t count = m_arrBars.size();
    RowCursor cursor(horz, GetDlgCtrlID() == AFX_IDW_DOCKBAR_TOP);
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CControlBar* p = m_arrBars[i];
        if (!p) cursor.EndRow();
        if (!TakesRoom(p, bQuery)) continue;
        SIZE sz = BarLayoutSize(p, horz);
        if (m_arrBars.size() != count) return FALSE;
        places.push_back({p, cursor.Place(sz)});
    }
    cursor.EndRow();
    extent = places.empty() ? 0 : cursor.Across() + 2;
    return TRUE;
}

void CDockBar::MoveBars(const std::vector<BarPlace>& places) {
    for (const BarPlace& pl : places)
        ::SetWindowPos(pl.bar->m_hWnd, nullptr, pl.rc.left, pl.rc.top, pl.rc.right - pl.rc.left,
                       pl.rc.bottom - pl.rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE CDockBar::LayoutRows(BOOL bQuery) {
    // A sizing bar may split its row while it is asked for its size; the pass
    // then starts again over the changed list.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::vector<BarPlace> places;
        int extent = 0;
        if (!PlaceRows(bQuery, places, extent)) continue;
        if (!bQuery) MoveBars(places);
        return IsHorzDock() ? SIZE{0, extent} : SIZE{extent, 0};
    }
    return SIZE{0, 0};
}

SIZE CDockBar::CalcFixedLayout(BOOL, BOOL) {
    if (!m_bFloating) return LayoutRows(m_bLayoutQuery);
    // Floating: the one visible bar at its floating size fills the dock bar.
    for (CControlBar* p : m_arrBars) {
        if (!TakesRoom(p, m_bLayoutQuery)) continue;
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
