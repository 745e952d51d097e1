// The non-client side of the sizing control bar: borders, sizing edges and
// client area, hit testing, off-screen painting, and dragging an edge.
#include <algorithm>

#include "framework/DockBar.h"
#include "framework/FrameworkIds.h"
#include "framework/Gdi.h"
#include "framework/MiniFrame.h"
#include "sidebar/LayoutRect.h"
#include "sidebar/SizingControlBar.h"

namespace {

scb::DockSide SideOf(UINT nDockSideID) {
    switch (nDockSideID) {
    case AFX_IDW_DOCKBAR_TOP: return scb::DockSide::Top;
    case AFX_IDW_DOCKBAR_LEFT: return scb::DockSide::Left;
    case AFX_IDW_DOCKBAR_RIGHT: return scb::DockSide::Right;
    case AFX_IDW_DOCKBAR_BOTTOM: return scb::DockSide::Bottom;
    case AFX_IDW_DOCKBAR_FLOAT: return scb::DockSide::Float;
    default: return scb::DockSide::None;
    }
}

// A sizing bar's length and thickness in the orientation of its row.
scb::TrackBar TrackView(const CSizingControlBar* p, bool horz) {
    if (horz) return {p->m_sizeHorzDock.cx, p->m_sizeMinHorzDock.cx, p->m_sizeHorzDock.cy, p->m_sizeMinHorzDock.cy};
    return {p->m_sizeVertDock.cy, p->m_sizeMinVertDock.cy, p->m_sizeVertDock.cx, p->m_sizeMinVertDock.cx};
}

void Store(CSizingControlBar* p, const scb::TrackBar& t, bool horz) {
    if (horz) {
        p->m_sizeHorzDock.cx = t.length;
        p->m_sizeHorzDock.cy = t.thickness;
    } else {
        p->m_sizeVertDock.cy = t.length;
        p->m_sizeVertDock.cx = t.thickness;
    }
}

}  // namespace

int CSizingControlBar::EdgeIndexToHitCode(int nIndex) {
    return scb::EdgeIndexToHitCode(nIndex);
}

BOOL CSizingControlBar::GetSizingEdgeRect(const RECT& rcBar, RECT& rcEdge, UINT nHitTest) {
    scb::Rect out;
    BOOL ok = scb::GetSizingEdgeRect(scb::ToRect(rcBar), nHitTest, m_dwSizingStyle, m_cxSizingEdge,
                                     IsHorzDockedBar() != FALSE, out);
    rcEdge = scb::FromRect(out);
    return ok;
}

void CSizingControlBar::CalcInnerRect(RECT& rc, UINT nDockSideID) {
    unsigned style = m_dwSizingStyle;
    rc = scb::FromRect(scb::CalcInnerRect(scb::ToRect(rc), SideOf(nDockSideID), style, m_cxSizingEdge));
    m_dwSizingStyle = style;
}

void CSizingControlBar::DrawGripArea(HDC, const RECT&) {}

void CSizingControlBar::OnNcCalcSize(NCCALCSIZE_PARAMS* pParams) {
    if (IsFloatingBar() && m_pDockBar) {
        // The floating frame's corners resize it too, from now on.
        auto* pFrame = dynamic_cast<CMiniFrameWnd*>(FromHandlePermanent(::GetParent(m_pDockBar->m_hWnd)));
        if (pFrame && (pFrame->GetStyle() & MFS_4THICKFRAME)) {
            pFrame->ModifyStyle(MFS_4THICKFRAME, 0);
            HWND hParent = ::GetParent(m_hWnd);
            ::SetWindowLongPtrA(hParent, GWL_STYLE, ::GetWindowLongPtrA(hParent, GWL_STYLE) | WS_CLIPCHILDREN);
        }
    }
    m_dwSizingStyle &= ~SZBS_EDGE_ALL;
    if (!IsFloatingBar() && m_pDockBar) {
        std::vector<CSizingControlBar*> bars;
        int nThis = -1;
        CollectRowSizingBars(bars, nThis);
        m_dwSizingStyle |= scb::RowEdgeBits(nThis, (int)bars.size(), IsHorzDockedBar() != FALSE);
    }
    RECT& rc = pParams->rgrc[0];
    RECT outer = rc;
    CalcInnerRect(rc, m_nDockSideID);
    // A bar squeezed below its borders gets an empty client area, never an inverted one.
    rc.right = std::max(rc.right, std::min(rc.left, outer.right));
    rc.bottom = std::max(rc.bottom, std::min(rc.top, outer.bottom));
    rc.left = std::min(rc.left, rc.right);
    rc.top = std::min(rc.top, rc.bottom);
}

LRESULT CSizingControlBar::OnNcHitTest(POINT point) {
    if (IsFloatingBar()) return HTCLIENT;
    RECT rcBar = GetWindowRect();
    unsigned hit = scb::EdgeHitTest(scb::ToRect(rcBar), point.x, point.y, m_dwSizingStyle, m_cxSizingEdge,
                                    IsHorzDockedBar() != FALSE);
    return hit ? (LRESULT)hit : HTCLIENT;
}

void CSizingControlBar::OnNcPaint() {
    CWindowDC dc(m_hWnd);
    if (!dc.m_hDC) return;
    RECT rcWindow = GetWindowRect();
    RECT rcClient = GetClientRect();
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcClient), 2);
    ::OffsetRect(&rcClient, -rcWindow.left, -rcWindow.top);
    RECT rcBar{0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top};
    if (rcBar.right <= 0 || rcBar.bottom <= 0) return;

    CMemoryDC mdc(dc);
    CGdiObject<HBITMAP> bmp(::CreateCompatibleBitmap(dc, rcBar.right, rcBar.bottom));
    if (!mdc.m_hDC || !bmp.m_h) return;
    {
        CSelectObject selBitmap(mdc, bmp);
        RECT rcDraw = rcBar;
        DrawBorders(mdc, rcDraw);
        ::FillRect(mdc, &rcDraw, (HBRUSH)::GetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND));
        if (m_dwSizingStyle & SZBS_DRAWEDGES) {
            for (int i = 0; i < 4; ++i) {
                RECT rcEdge;
                if (GetSizingEdgeRect(rcBar, rcEdge, (UINT)EdgeIndexToHitCode(i)))
                    Draw3dRect(mdc, rcEdge, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
            }
        }
        DrawGripArea(mdc, rcClient);
        // Only the frame around the child: the client area is the child's.
        CSaveDC save(dc);
        ::IntersectClipRect(dc, rcBar.left, rcBar.top, rcBar.right, rcBar.bottom);
        ::ExcludeClipRect(dc, rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
        ::BitBlt(dc, 0, 0, rcBar.right, rcBar.bottom, mdc, 0, 0, SRCCOPY);
    }
}

void CSizingControlBar::OnNcLButtonDown(UINT nHitTest, POINT point) {
    // No default handling for any code: the system's own move and size loops never start here.
    if (nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT && !m_bEdgeTracking && !IsFloatingBar())
        BeginEdgeTrack(nHitTest, point);
}

void CSizingControlBar::BeginEdgeTrack(UINT nHitTest, POINT point) {
    ::SetCapture(m_hWnd);
    if (!m_bFullWindowDrag) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
    m_nTrackHit = nHitTest;
    m_bEdgeTracking = TRUE;

    m_nTrackPos = scb::IsHorzHit(nHitTest) ? point.x : point.y;
    RECT rcEdge;
    GetSizingEdgeRect(GetWindowRect(), rcEdge, nHitTest);
    m_nGrabOffset = m_nTrackPos - scb::EdgeCentre(scb::ToRect(rcEdge), nHitTest);

    std::vector<CSizingControlBar*> bars;
    int nThis = -1;
    CollectRowSizingBars(bars, nThis);
    const bool horz = IsHorzDockedBar() != FALSE;
    std::vector<scb::TrackBar> row;
    for (CSizingControlBar* p : bars) row.push_back(TrackView(p, horz));

    int viewExtent = 0;
    const bool inRow = IsTrackingInRow() != FALSE;
    if (!inRow && m_pDockSite) {
        RECT rcView{};
        m_pDockSite->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposQuery, &rcView, nullptr, TRUE);
        viewExtent = horz ? rcView.bottom - rcView.top : rcView.right - rcView.left;
    }
    scb::TrackLimits t =
        scb::CalcTrackLimits(nHitTest, inRow, m_nTrackPos, TrackView(this, horz), row, nThis, viewExtent);
    m_nTrackLow = t.low;
    m_nTrackHigh = t.high;

    InvertTrackLine();
}

void CSizingControlBar::TrackEdgeTo(POINT& point) {
    const bool horzAxis = scb::IsHorzHit(m_nTrackHit);
    LONG& coord = horzAxis ? point.x : point.y;
    coord = std::clamp((int)coord, m_nTrackLow, std::max(m_nTrackLow, m_nTrackHigh));
    int delta = coord - m_nTrackPos;
    if (delta == 0) return;

    InvertTrackLine();
    m_nTrackPos = coord;

    std::vector<CSizingControlBar*> bars;
    int nThis = -1;
    CollectRowSizingBars(bars, nThis);
    const bool horz = IsHorzDockedBar() != FALSE;
    std::vector<scb::TrackBar> row;
    for (CSizingControlBar* p : bars) row.push_back(TrackView(p, horz));
    scb::ApplyTrackDelta(row, nThis, m_nTrackHit, IsTrackingInRow() != FALSE, delta);
    for (size_t i = 0; i < bars.size(); ++i) Store(bars[i], row[i], horz);

    InvertTrackLine();
    if (m_bFullWindowDrag && m_pDockSite) m_pDockSite->DelayRecalcLayout(TRUE);
}

void CSizingControlBar::InvertTrackLine() {
    if (m_bFullWindowDrag || !m_pDockSite || !m_pDockBar) return;
    RECT rc;
    GetSizingEdgeRect(GetWindowRect(), rc, m_nTrackHit);
    if (!IsTrackingInRow()) {
        // The outer edge moves the whole row: the line spans the dock bar.
        RECT dock = m_pDockBar->GetWindowRect();
        if (IsHorzDockedBar()) {
            rc.left = dock.left + 1;
            rc.right = dock.right - 1;
        } else {
            rc.top = dock.top + 1;
            rc.bottom = dock.bottom - 1;
        }
    }
    int offset = scb::TrackLineOffset(scb::ToRect(rc), m_nTrackHit, m_nTrackPos, m_nGrabOffset);
    if (scb::IsHorzHit(m_nTrackHit)) ::OffsetRect(&rc, offset, 0);
    else ::OffsetRect(&rc, 0, offset);
    RECT frame = m_pDockSite->GetWindowRect();
    ::OffsetRect(&rc, -frame.left, -frame.top);

    CDCEx dc(m_pDockSite->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!dc.m_hDC) return;
    CSelectObject brush(dc, GetHalftoneBrush());
    ::PatBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, PATINVERT);
}

void CSizingControlBar::EndEdgeTrack() {
    InvertTrackLine();
    m_bEdgeTracking = FALSE;
    // Only our own capture: when another window took it, it keeps it.
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (m_pDockSite) m_pDockSite->DelayRecalcLayout(TRUE);
}
