#include "framework/DockContext.h"

#include <algorithm>
#include <cstdlib>

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/FrameworkIds.h"
#include "framework/Gdi.h"
#include "framework/Internal.h"
#include "framework/MiniFrame.h"

namespace {

// Zone along a side of the frame's client area that docks a bar even while
// that side's dock bar is still empty.
const int kDockZone = 24;

// Draws (and, drawn again, erases) the drag outline on the screen.
void InvertDragRect(const RECT& rc) {
    CDCEx dc(nullptr, nullptr, DCX_WINDOW | DCX_CACHE);
    if (!dc.m_hDC) return;
    CSelectObject brush(dc, GetHalftoneBrush());
    const int w = 3;
    ::PatBlt(dc, rc.left, rc.top, rc.right - rc.left, w, PATINVERT);
    ::PatBlt(dc, rc.left, rc.bottom - w, rc.right - rc.left, w, PATINVERT);
    ::PatBlt(dc, rc.left, rc.top + w, w, rc.bottom - rc.top - 2 * w, PATINVERT);
    ::PatBlt(dc, rc.right - w, rc.top + w, w, rc.bottom - rc.top - 2 * w, PATINVERT);
}

// Where a pointer docks a bar on side id: over the side's dock bar
// (screen rectangle dock), or within the zone along its inner edge while the
// dock bar is thinner than that.
RECT DockZone(RECT dock, UINT id) {
    switch (id) {
    case AFX_IDW_DOCKBAR_TOP: dock.bottom = std::max(dock.bottom, dock.top + kDockZone); break;
    case AFX_IDW_DOCKBAR_BOTTOM: dock.top = std::min(dock.top, dock.bottom - kDockZone); break;
    case AFX_IDW_DOCKBAR_LEFT: dock.right = std::max(dock.right, dock.left + kDockZone); break;
    default: dock.left = std::min(dock.left, dock.right - kDockZone); break;
    }
    return dock;
}

// The side a floating bar docks on when it has never been docked; 0 for none.
UINT FirstDockSide(DWORD dwDockStyle) {
    if (dwDockStyle & CBRS_ALIGN_TOP) return AFX_IDW_DOCKBAR_TOP;
    if (dwDockStyle & CBRS_ALIGN_LEFT) return AFX_IDW_DOCKBAR_LEFT;
    if (dwDockStyle & CBRS_ALIGN_BOTTOM) return AFX_IDW_DOCKBAR_BOTTOM;
    if (dwDockStyle & CBRS_ALIGN_RIGHT) return AFX_IDW_DOCKBAR_RIGHT;
    return 0;
}

}  // namespace

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar), m_pDockSite(pBar->m_pDockSite) {}

BOOL CDockContext::Track(HWND hCapture, const std::function<void(POINT)>& onMove) {
    ::SetCapture(hCapture);
    for (;;) {
        if (::GetCapture() != hCapture) return FALSE;
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);
            ::ReleaseCapture();
            return FALSE;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            POINT p{(short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam)};
            ::ClientToScreen(msg.hwnd, &p);
            onMove(p);
            if (msg.message == WM_LBUTTONUP) {
                ::ReleaseCapture();
                return TRUE;
            }
            break;
        }
        case WM_RBUTTONDOWN:
            ::ReleaseCapture();
            return FALSE;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                ::ReleaseCapture();
                return FALSE;
            }
            break;
        default:
            ::DispatchMessageA(&msg);
            break;
        }
    }
}

UINT CDockContext::DockTargetAt(POINT pt, const RECT& rcTrack) const {
    CFrameWnd* site = m_pBar->m_pDockSite;
    if (!site) return AFX_IDW_DOCKBAR_FLOAT;
    // The side the bar is on keeps it while the outline still overlaps that
    // side: the grip band of a bar docked at the left lies in the top side's
    // zone, and a short drag on it must not re-dock the bar there.
    if (CDockBar* own = m_pBar->IsFloating() ? nullptr : m_pBar->m_pDockBar) {
        RECT r = own->GetWindowRect(), overlap;
        if (::IntersectRect(&overlap, &r, &rcTrack)) return own->GetDlgCtrlID();
    }
    // Elsewhere the pointer decides.
    for (const DockSide& s : kDockSides) {
        if (!(m_pBar->m_dwDockStyle & s.align)) continue;
        CDockBar* dock = site->GetDockBar(s.id);
        if (!dock) continue;
        const RECT zone = DockZone(dock->GetWindowRect(), s.id);
        if (::PtInRect(&zone, pt)) return s.id;
    }
    return AFX_IDW_DOCKBAR_FLOAT;
}

void CDockContext::StartDrag(POINT pt) {
    CFrameWnd* site = m_pBar->m_pDockSite;
    if (!site || m_bDragging) return;
    CMiniDockFrameWnd* mini = FloatingFrameOf(m_pBar);
    const RECT start = mini ? mini->GetWindowRect() : m_pBar->GetWindowRect();
    const int cxDrag = ::GetSystemMetrics(SM_CXDRAG), cyDrag = ::GetSystemMetrics(SM_CYDRAG);
    RECT track = start;
    UINT target = 0;
    bool moved = false, shown = false;
    m_bDragging = TRUE;
    BOOL done = Track(m_pBar->m_hWnd, [&](POINT p) {
        if (!moved && std::abs(p.x - pt.x) <= cxDrag && std::abs(p.y - pt.y) <= cyDrag) return;
        moved = true;
        if (shown) InvertDragRect(track);
        track = start;
        ::OffsetRect(&track, p.x - pt.x, p.y - pt.y);
        target = DockTargetAt(p, track);
        InvertDragRect(track);
        shown = true;
    });
    if (shown) InvertDragRect(track);
    m_bDragging = FALSE;
    if (!done || !moved) return;
    if (target == AFX_IDW_DOCKBAR_FLOAT)
        site->FloatControlBar(m_pBar, POINT{track.left, track.top});
    else
        site->DockControlBar(m_pBar, target, &track);
}

void CDockContext::ToggleDocking() {
    CFrameWnd* site = m_pBar->m_pDockSite;
    if (!site) return;
    if (m_pBar->IsFloating()) {
        const UINT id = m_uMRUDockID ? m_uMRUDockID : FirstDockSide(m_pBar->m_dwDockStyle);
        if (!id) return;
        bool haveRect = !::IsRectEmpty(&m_rectMRUDockPos);
        site->DockControlBar(m_pBar, id, haveRect ? &m_rectMRUDockPos : nullptr);
    } else {
        POINT p = m_ptMRUFloatPos;
        if (!m_bHaveFloatPos) {
            RECT r = m_pBar->GetWindowRect();
            p = POINT{r.left + 20, r.top + 20};
        }
        site->FloatControlBar(m_pBar, p);
    }
}

namespace {

// The sides of a floating frame that a resize drags, from the hit-test code it started on.
struct DraggedSides {
    bool left, right, top, bottom;
    bool Corner() const { return (left || right) && (top || bottom); }
};

DraggedSides SidesOf(int hit) {
    return DraggedSides{hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT,
                        hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT,
                        hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT,
                        hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT};
}

RECT DraggedRect(RECT frame, DraggedSides sides, POINT pt) {
    if (sides.left) frame.left = pt.x;
    if (sides.right) frame.right = pt.x;
    if (sides.top) frame.top = pt.y;
    if (sides.bottom) frame.bottom = pt.y;
    return frame;
}

// What the bar makes of the dragged rectangle: a corner lets it choose both
// sides, a side gives it the length along the other one. `nc` is the frame's
// border around the bar.
SIZE BarSizeFor(CControlBar* pBar, const RECT& r, DraggedSides sides, SIZE nc) {
    if (sides.Corner()) return pBar->CalcDynamicLayout(0, LM_HORZ);
    if (sides.top || sides.bottom) return pBar->CalcDynamicLayout((r.bottom - r.top) - nc.cy, LM_HORZ | LM_LENGTHY);
    return pBar->CalcDynamicLayout((r.right - r.left) - nc.cx, LM_HORZ);
}

}  // namespace

void CDockContext::ResizeTo(POINT pt) {
    CMiniDockFrameWnd* mini = FloatingFrameOf(m_pBar);
    if (!mini) return;
    const RECT fr = mini->GetWindowRect();
    const RECT br = m_pBar->GetWindowRect();
    const SIZE nc{(fr.right - fr.left) - (br.right - br.left), (fr.bottom - fr.top) - (br.bottom - br.top)};
    const DraggedSides sides = SidesOf(m_nHitTest);
    const RECT r = DraggedRect(fr, sides, pt);
    m_rectFrameDragHorz = m_rectFrameDragVert = r;
    const SIZE sz = BarSizeFor(m_pBar, r, sides, nc);

    // A corner's bar may have stopped the dragged left or top side itself;
    // otherwise the side opposite the dragged one stays where it was.
    const int w = sz.cx + nc.cx, h = sz.cy + nc.cy;
    const bool corner = sides.Corner();
    int x = sides.left ? (corner ? m_rectFrameDragHorz.left : fr.right - w) : fr.left;
    int y = sides.top ? (corner ? m_rectFrameDragHorz.top : fr.bottom - h) : fr.top;
    ::SetWindowPos(mini->m_hWnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    mini->RecalcLayout();
}

void CDockContext::StartResize(int nHitTest) {
    CMiniDockFrameWnd* mini = FloatingFrameOf(m_pBar);
    if (!mini || m_bDragging) return;
    m_bDragging = TRUE;
    m_nHitTest = nHitTest;
    m_rectFrameDragHorz = m_rectFrameDragVert = mini->GetWindowRect();
    HWND hFrame = mini->m_hWnd;
    Track(hFrame, [&](POINT p) { ResizeTo(p); });
    m_nHitTest = HTNOWHERE;
    m_bDragging = FALSE;
}
