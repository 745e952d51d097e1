// CSizingControlBarG: a sizing control bar with a grip band while docked: a
// 12-pixel strip beside the client area with two raised grip lines and a
// small close button that hides the bar. A floating bar has no band; its
// floating frame's caption does that job.
#pragma once
#include "sidebar/SizingControlBar.h"

// The close button of the grip band: an 11 x 11 square in the bar's window
// coordinates, drawn flat, raised (hot) or sunken (pressed).
class CSizingBarButton {
public:
    void MoveTo(POINT ptTo) { m_ptOrigin = ptTo; }
    RECT GetButtonRect() const;
    // Frame for the state, then the "Marlett" close glyph.
    void Draw(HDC hDC) const;

    BOOL m_bPressed = FALSE;
    BOOL m_bHot = FALSE;
    POINT m_ptOrigin{0, 0};
};

class CSizingControlBarG : public CSizingControlBar {
public:
    CSizingControlBarG() = default;

    // The band shows exactly while the bar is docked.
    virtual BOOL HasGripArea() const { return !IsFloatingBar(); }

    // Idle time: keeps the close button's look in step with the cursor.
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DrawGripArea(HDC hDC, const RECT& rcClient) override;
    void CalcInnerRect(RECT& rc, UINT nDockSideID) override;

    int m_cyGripBand = 12;
    CSizingBarButton m_btnClose;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The base's answer, and HTCLOSE over the close button while docked.
    LRESULT OnNcHitTest(POINT point);
    // Releasing the button over the close button hides the bar.
    void OnNcLButtonUp(UINT nHitTest, POINT point);
};
