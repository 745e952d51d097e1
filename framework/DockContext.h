// CDockContext: moves one control bar between the sides of its frame and a
// floating frame, by dragging or by double-click, and resizes the floating
// frame by its edges and corners.
#pragma once
#include <functional>

#include <windows.h>

class CControlBar;
class CFrameWnd;

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    // Drags the bar from screen point pt until the left button comes up: onto
    // a side of the frame to dock it there, elsewhere to float it. The right
    // button, Escape or a lost capture cancel.
    void StartDrag(POINT pt);
    // Docked -> floating at the last floating place; floating -> docked where it was.
    void ToggleDocking();
    // Resizes the floating frame by edge or corner nHitTest until the left button comes up.
    void StartResize(int nHitTest);

    // The dock bar id a bar released at pt, its outline at rcTrack, would dock
    // into, or AFX_IDW_DOCKBAR_FLOAT.
    UINT DockTargetAt(POINT pt, const RECT& rcTrack) const;

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite = nullptr;
    UINT m_uMRUDockID = 0;          // side the bar was last docked on
    RECT m_rectMRUDockPos{};        // its screen rectangle there
    POINT m_ptMRUFloatPos{};        // top-left of its last floating frame
    BOOL m_bHaveFloatPos = FALSE;
    BOOL m_bDragging = FALSE;

    // While the floating frame is resized: the hit-test code of the edge in use
    // and the rectangle the frame is dragged to.
    int m_nHitTest = HTNOWHERE;
    RECT m_rectFrameDragHorz{};
    RECT m_rectFrameDragVert{};

private:
    // Runs a capture loop on hCapture, calling onMove with each screen point.
    // TRUE when the left button came up, FALSE when cancelled.
    BOOL Track(HWND hCapture, const std::function<void(POINT)>& onMove);
    void ResizeTo(POINT pt);
};
