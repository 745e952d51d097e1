// Creation, the sizing protocol with the frame, the sharing of a row, the
// profile and the plain messages of the sizing control bar. The non-client
// side and edge dragging are in SizingControlBarNc.cpp.
#include "sidebar/SizingControlBar.h"

#include <algorithm>
#include <cstdio>

#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/FrameworkIds.h"
#include "framework/Gdi.h"
#include "framework/MiniFrame.h"
#include "framework/Profile.h"
#include "sidebar/LayoutRect.h"

namespace {

CSizingControlBar* AsSizingBar(CControlBar* p) {
    return CDockBar::IsRealBar(p) ? dynamic_cast<CSizingControlBar*>(p) : nullptr;
}

// The dock bar's list as the row arithmetic sees it, for a row of the given orientation.
std::vector<scb::RowEntry> Snapshot(CDockBar* pDock, bool horz) {
    std::vector<scb::RowEntry> list;
    RECT dock = pDock->GetWindowRect();
    for (CControlBar* p : pDock->m_arrBars) {
        scb::RowEntry e;
        if (!p) {
            e.kind = scb::RowEntry::Kind::Break;
        } else if (!CDockBar::IsRealBar(p)) {
            e.kind = scb::RowEntry::Kind::Placeholder;
        } else {
            e.visible = p->IsVisible();
            RECT w = p->GetWindowRect();
            e.rect = scb::Rect{w.left - dock.left, w.top - dock.top, w.right - dock.left, w.bottom - dock.top};
            if (CSizingControlBar* s = AsSizingBar(p)) {
                e.sizing = true;
                e.length = horz ? s->m_sizeHorzDock.cx : s->m_sizeVertDock.cy;
                e.minLength = horz ? s->m_sizeMinHorzDock.cx : s->m_sizeMinVertDock.cy;
                e.thickness = horz ? s->m_sizeHorzDock.cy : s->m_sizeVertDock.cx;
                e.minThickness = horz ? s->m_sizeMinHorzDock.cy : s->m_sizeMinVertDock.cx;
                e.holdSize = s->m_bHoldSize;
            } else {
                e.length = horz ? w.right - w.left : w.bottom - w.top;
            }
        }
        list.push_back(e);
    }
    return list;
}

void WriteBack(CDockBar* pDock, const std::vector<scb::RowEntry>& list, bool horz) {
    for (size_t i = 0; i < list.size() && i < pDock->m_arrBars.size(); ++i) {
        CSizingControlBar* s = AsSizingBar(pDock->m_arrBars[i]);
        if (!s || !list[i].sizing) continue;
        (horz ? s->m_sizeHorzDock.cx : s->m_sizeVertDock.cy) = list[i].length;
        (horz ? s->m_sizeHorzDock.cy : s->m_sizeVertDock.cx) = list[i].thickness;
        s->m_bHoldSize = list[i].holdSize;
    }
}

}  // namespace

BOOL CSizingControlBar::Create(LPCSTR lpszWindowName, CWnd* pParentWnd, UINT nID, DWORD dwStyle) {
    m_dwStyle = dwStyle & CBRS_ALL;
    LPCSTR cls = RegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE));
    if (!cls) return FALSE;
    DWORD ws = (dwStyle & ~CBRS_ALL) | WS_CLIPCHILDREN;
    return CreateEx(0, cls, lpszWindowName, ws, RECT{0, 0, 0, 0}, pParentWnd ? pParentWnd->m_hWnd : nullptr, nID);
}

BOOL CSizingControlBar::Create(LPCSTR lpszWindowName, CWnd* pParentWnd, SIZE sizeDefault, BOOL, UINT nID,
                               DWORD dwStyle) {
    m_sizeHorzDock = m_sizeVertDock = m_sizeFloating = sizeDefault;
    return Create(lpszWindowName, pParentWnd, nID, dwStyle);
}

BOOL CSizingControlBar::IsHorzDockedBar() const {
    return m_nDockSideID == AFX_IDW_DOCKBAR_TOP || m_nDockSideID == AFX_IDW_DOCKBAR_BOTTOM;
}

BOOL CSizingControlBar::IsVertDockedBar() const {
    return m_nDockSideID == AFX_IDW_DOCKBAR_LEFT || m_nDockSideID == AFX_IDW_DOCKBAR_RIGHT;
}

BOOL CSizingControlBar::IsFloatingBar() const {
    return !IsHorzDockedBar() && !IsVertDockedBar();
}

BOOL CSizingControlBar::IsTrackingInRow() const {
    return scb::IsTrackingInRow(m_nTrackHit, IsHorzDockedBar(), IsVertDockedBar());
}

void CSizingControlBar::GetRowRange(int& nFirst, int& nLast, int& nThis) {
    nFirst = nLast = nThis = -1;
    if (!m_pDockBar) return;
    nThis = m_pDockBar->FindBar(this);
    if (nThis < 0) return;
    scb::RowRange r = scb::GetRowRange(Snapshot(m_pDockBar, IsHorzDockedBar()), nThis);
    nFirst = r.first;
    nLast = r.last;
}

void CSizingControlBar::CollectRowSizingBars(std::vector<CSizingControlBar*>& arrBars, int& nThis) {
    arrBars.clear();
    nThis = -1;
    if (!m_pDockBar) return;
    int index = m_pDockBar->FindBar(this);
    if (index < 0) return;
    for (int i : scb::CollectRowSizingBars(Snapshot(m_pDockBar, IsHorzDockedBar()), index, &nThis))
        arrBars.push_back(AsSizingBar(m_pDockBar->m_arrBars[i]));
}

void CSizingControlBar::CollectRowSizingBars(std::vector<CSizingControlBar*>& arrBars) {
    int nThis;
    CollectRowSizingBars(arrBars, nThis);
}

BOOL CSizingControlBar::DistributeRowLength(int nRowLength, BOOL bHorz) {
    if (!m_pDockBar) return TRUE;
    int index = m_pDockBar->FindBar(this);
    if (index < 0) return TRUE;
    std::vector<scb::RowEntry> list = Snapshot(m_pDockBar, bHorz != FALSE);
    scb::DistributeResult r = scb::DistributeRowLength(list, index, nRowLength);
    WriteBack(m_pDockBar, list, bHorz != FALSE);
    if (r.insertBreakAt >= 0) m_pDockBar->InsertRowBreak(r.insertBreakAt);
    return r.lineUp;
}

void CSizingControlBar::LineUpRowBars() {
    if (!m_pDockBar) return;
    int index = m_pDockBar->FindBar(this);
    if (index < 0) return;
    bool horz = IsHorzDockedBar() != FALSE;
    std::vector<scb::RowEntry> list = Snapshot(m_pDockBar, horz);
    std::vector<int> moved = scb::LineUpRowBars(list, index, horz, m_nDockSideID == AFX_IDW_DOCKBAR_TOP);
    for (int i : moved) {
        const scb::Rect& r = list[i].rect;
        ::MoveWindow(m_pDockBar->m_arrBars[i]->m_hWnd, r.left, r.top, r.Width(), r.Height(), TRUE);
    }
    if (!moved.empty() && m_pDockSite) m_pDockSite->DelayRecalcLayout(TRUE);
}

namespace {

SIZE AtLeast(SIZE size, SIZE minimum) {
    return SIZE{std::max(size.cx, minimum.cx), std::max(size.cy, minimum.cy)};
}

// Bars of the row waiting to be shown or hidden change state in one batch;
// a layout that only asks for sizes moves nothing.
void ApplyDelayedShows(const CSizingControlBar& self, const std::vector<CSizingControlBar*>& bars) {
    BOOL query = self.m_pDockBar && self.m_pDockBar->m_bLayoutQuery;
    AFX_SIZEPARENTPARAMS layout{};
    layout.hDWP = query ? nullptr : ::BeginDeferWindowPos((int)bars.size());
    for (CSizingControlBar* p : bars)
        if (p->m_nStateFlags & (CControlBar::delayHide | CControlBar::delayShow)) p->RecalcDelayShow(&layout);
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}

// The length the dock bar's layout gives the row: its layout rectangle, or the
// frame's client area before the dock bar has one. A horizontal row runs 2
// pixels past each end, a vertical one 2 short.
int RowLength(const CSizingControlBar& self, BOOL bHorz) {
    RECT rc{};
    if (self.m_pDockBar) rc = self.m_pDockBar->m_rectLayout;
    if (::IsRectEmpty(&rc) && self.m_pDockSite) rc = self.m_pDockSite->GetClientRect();
    return bHorz ? (rc.right - rc.left) + 2 : (rc.bottom - rc.top) - 2;
}

// Only the row's first sizing bar shares the row, and only once per layout of
// the dock bar (the flag comes from CalcDynamicLayout).
bool SharesRowNow(const CSizingControlBar& self, const std::vector<CSizingControlBar*>& bars) {
    return self.IsVisible() && !self.IsFloatingBar() && self.m_bInDockLayout && !bars.empty() && bars[0] == &self;
}

}  // namespace

SIZE CSizingControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
    if (bStretch)
        return bHorz ? SIZE{32767, m_sizeHorzDock.cy} : SIZE{m_sizeVertDock.cx, 32767};

    std::vector<CSizingControlBar*> bars;
    CollectRowSizingBars(bars);
    ApplyDelayedShows(*this, bars);
    if (SharesRowNow(*this, bars) && DistributeRowLength(RowLength(*this, bHorz), bHorz)) LineUpRowBars();
    m_bInDockLayout = FALSE;
    return bHorz ? AtLeast(m_sizeHorzDock, m_sizeMinHorzDock) : AtLeast(m_sizeVertDock, m_sizeMinVertDock);
}

SIZE CSizingControlBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (nLength == -1) m_bInDockLayout = TRUE;
        return CControlBar::CalcDynamicLayout(nLength, dwMode);
    }
    if (dwMode & (LM_MRUWIDTH | LM_COMMIT)) return m_sizeFloating;

    // The floating frame is being resized by the dock context.
    int hit = m_pDockContext ? m_pDockContext->m_nHitTest : HTNOWHERE;
    CFrameWnd* pFrame = GetDockingFrame();
    if (IsFloatingBar() && scb::IsCornerHit((unsigned)hit) && pFrame && pFrame != m_pDockSite) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        RECT f = pFrame->GetWindowRect(), b = GetWindowRect();
        scb::CornerResize r = scb::ResizeByCorner(
            (unsigned)hit, cursor.x, cursor.y, scb::ToRect(f),
            scb::ToRect(b), scb::Size{m_sizeFloating.cx, m_sizeFloating.cy},
            scb::Size{m_sizeMinFloating.cx, m_sizeMinFloating.cy});
        m_sizeFloating = SIZE{r.size.cx, r.size.cy};
        if (r.setLeft) m_pDockContext->m_rectFrameDragHorz.left = r.left;
        if (r.setTop) m_pDockContext->m_rectFrameDragHorz.top = r.top;
    } else if (dwMode & LM_LENGTHY) {
        m_sizeFloating.cy = nLength;
    } else {
        m_sizeFloating.cx = nLength;
    }
    m_sizeFloating = AtLeast(m_sizeFloating, m_sizeMinFloating);
    return m_sizeFloating;
}

void CSizingControlBar::LoadSizes(LPCSTR lpszProfileName) {
    char section[256];
    std::snprintf(section, sizeof section, "%s-SCBar-%d", lpszProfileName, (int)GetDlgCtrlID());
    auto load = [&](const char* key, LONG& field, LONG minimum) {
        field = std::max((LONG)AfxGetProfileInt(section, key, field), minimum);
    };
    load("sizeHorzCX", m_sizeHorzDock.cx, m_sizeMinHorzDock.cx);
    load("sizeHorzCY", m_sizeHorzDock.cy, m_sizeMinHorzDock.cy);
    load("sizeVertCX", m_sizeVertDock.cx, m_sizeMinVertDock.cx);
    load("sizeVertCY", m_sizeVertDock.cy, m_sizeMinVertDock.cy);
    load("sizeFloatCX", m_sizeFloating.cx, m_sizeMinFloating.cx);
    load("sizeFloatCY", m_sizeFloating.cy, m_sizeMinFloating.cy);
}

void CSizingControlBar::SaveSizes(LPCSTR lpszProfileName) {
    char section[256];
    std::snprintf(section, sizeof section, "%s-SCBar-%d", lpszProfileName, (int)GetDlgCtrlID());
    AfxWriteProfileInt(section, "sizeHorzCX", m_sizeHorzDock.cx);
    AfxWriteProfileInt(section, "sizeHorzCY", m_sizeHorzDock.cy);
    AfxWriteProfileInt(section, "sizeVertCX", m_sizeVertDock.cx);
    AfxWriteProfileInt(section, "sizeVertCY", m_sizeVertDock.cy);
    AfxWriteProfileInt(section, "sizeFloatCX", m_sizeFloating.cx);
    AfxWriteProfileInt(section, "sizeFloatCY", m_sizeFloating.cy);
}

void CSizingControlBar::ReadFullWindowDrag() {
    m_bFullWindowDrag = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &m_bFullWindowDrag, 0);
}

int CSizingControlBar::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CControlBar::OnCreate(lpcs) == -1) return -1;
    ReadFullWindowDrag();
    return 0;
}

LRESULT CSizingControlBar::OnWindowPosChanging(WINDOWPOS* pPos) {
    // The non-client area (edges) is recalculated on every move.
    pPos->flags |= SWP_FRAMECHANGED;
    LRESULT r = DefWindowProc(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(pPos));
    m_nDockSideID = (UINT)::GetDlgCtrlID(::GetParent(m_hWnd));
    if (!IsFloatingBar() && (pPos->flags & SWP_SHOWWINDOW)) m_bHoldSize = TRUE;
    return r;
}

LRESULT CSizingControlBar::OnSetText(WPARAM wParam, LPARAM lParam) {
    LRESULT r = DefWindowProc(WM_SETTEXT, wParam, lParam);
    if (IsFloatingBar() && m_pDockBar) {
        auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(FromHandlePermanent(::GetParent(m_pDockBar->m_hWnd)));
        if (pFrame) {
            ::SetWindowTextA(m_pDockBar->m_hWnd, reinterpret_cast<LPCSTR>(lParam));
            pFrame->DelayRecalcLayout(TRUE);
        }
    }
    return r;
}

namespace {
POINT PointOf(LPARAM lParam) { return POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)}; }
}  // namespace

void CSizingControlBar::OnPaint() {
    CPaintDC dc(m_hWnd);   // the child covers the client area; the class brush erases it
}

void CSizingControlBar::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    DefWindowProc(WM_SETTINGCHANGE, wParam, lParam);
    ReadFullWindowDrag();
}

void CSizingControlBar::OnMouseMove(POINT point) {
    if (!m_bEdgeTracking) return;
    ::ClientToScreen(m_hWnd, &point);
    TrackEdgeTo(point);
}

void CSizingControlBar::OnCaptureChanged(HWND hWndNew) {
    if (m_bEdgeTracking && hWndNew != m_hWnd) EndEdgeTrack();
}

BOOL CSizingControlBar::OnLButtonDown(POINT point) {
    if (!m_pDockBar || !m_pDockContext) return FALSE;
    ::ClientToScreen(m_hWnd, &point);
    m_pDockContext->StartDrag(point);
    return TRUE;
}

BOOL CSizingControlBar::OnLButtonDblClk() {
    if (!m_pDockBar || !m_pDockContext) return FALSE;
    m_pDockContext->ToggleDocking();
    return TRUE;
}

void CSizingControlBar::OnSize(UINT, int cx, int cy) {
    if (m_dwSizingStyle & SZBS_FITCHILD) {
        if (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD)) ::MoveWindow(hChild, 0, 0, cx, cy, TRUE);
    }
    Default();
}

// The owner hides and shows the bar; a close request never ends it.
void CSizingControlBar::OnClose() {}

LRESULT CSizingControlBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_NCCALCSIZE:
        OnNcCalcSize(reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        return 0;
    case WM_NCHITTEST:
        return OnNcHitTest(PointOf(lParam));
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown((UINT)wParam, PointOf(lParam));
        return 0;
    case WM_WINDOWPOSCHANGING:
        return OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_SETTINGCHANGE:
        OnSettingChange(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(PointOf(lParam));
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
        if (m_bEdgeTracking) EndEdgeTrack();
        break;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        break;
    case WM_LBUTTONDOWN:
        if (OnLButtonDown(PointOf(lParam))) return 0;
        break;
    case WM_LBUTTONDBLCLK:
        if (OnLButtonDblClk()) return 0;
        break;
    case WM_SETTEXT:
        return OnSetText(wParam, lParam);
    default:
        return CControlBar::WindowProc(msg, wParam, lParam);
    }
    // The mouse messages go on to the system's own handling as well.
    return DefWindowProc(msg, wParam, lParam);
}
