// The grip band and close button of CSizingControlBarG.
#include "sidebar/SizingControlBarG.h"

#include "framework/FrameworkIds.h"
#include "framework/Gdi.h"
#include "sidebar/LayoutRect.h"
#include "sidebar/rules/GripLayout.h"

namespace {

bool IsHorzDockSide(UINT nDockSideID) {
    return nDockSideID == AFX_IDW_DOCKBAR_TOP || nDockSideID == AFX_IDW_DOCKBAR_BOTTOM;
}

// The close glyph's font: 6 points at 96 dots per inch, so 8 pixels high at
// any resolution. The point size is converted against the screen, as a point
// font is.
HFONT CreateCloseGlyphFont(HDC hDC) {
    int tenths = scb::CloseGlyphPointTenths(::GetDeviceCaps(hDC, LOGPIXELSY));
    HDC hScreen = ::GetDC(nullptr);
    int screenDpi = hScreen ? ::GetDeviceCaps(hScreen, LOGPIXELSY) : 96;
    if (hScreen) ::ReleaseDC(nullptr, hScreen);
    LOGFONTA lf{};
    lf.lfHeight = -scb::PointFontHeight(tenths, screenDpi);
    lf.lfCharSet = SYMBOL_CHARSET;
    lstrcpynA(lf.lfFaceName, "Marlett", LF_FACESIZE);
    return ::CreateFontIndirectA(&lf);
}

}  // namespace

RECT CSizingBarButton::GetButtonRect() const {
    return scb::FromRect(scb::CloseButtonRect(scb::Point{m_ptOrigin.x, m_ptOrigin.y}));
}

void CSizingBarButton::Draw(HDC hDC) const {
    RECT rc = GetButtonRect();
    if (m_bPressed)
        Draw3dRect(hDC, rc, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (m_bHot)
        Draw3dRect(hDC, rc, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));

    COLORREF clrOldText = ::SetTextColor(hDC, ::GetSysColor(COLOR_BTNTEXT));
    int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
    {
        CGdiObject<HFONT> font(CreateCloseGlyphFont(hDC));
        CSelectObject select(hDC, font.m_h ? (HGDIOBJ)font.m_h : ::GetStockObject(DEFAULT_GUI_FONT));
        ::TextOutA(hDC, m_ptOrigin.x + 2, m_ptOrigin.y + 2, "r", 1);   // Marlett's close cross
    }
    ::SetBkMode(hDC, nOldMode);
    ::SetTextColor(hDC, clrOldText);
}

void CSizingControlBarG::CalcInnerRect(RECT& rc, UINT nDockSideID) {
    RECT rcWindow = rc;
    CSizingControlBar::CalcInnerRect(rc, nDockSideID);
    if (!HasGripArea()) return;
    scb::GripPlacement g = scb::PlaceGripBand(scb::ToRect(rcWindow), scb::ToRect(rc), IsHorzDockSide(nDockSideID), m_cyGripBand);
    m_btnClose.MoveTo(POINT{g.buttonOrigin.x, g.buttonOrigin.y});
    rc = scb::FromRect(g.client);
}

void CSizingControlBarG::DrawGripArea(HDC hDC, const RECT& rcClient) {
    if (!HasGripArea()) return;
    scb::GripLines lines = scb::CalcGripLines(scb::ToRect(rcClient), IsHorzDockedBar() != FALSE, m_cyGripBand,
                                              scb::Point{m_btnClose.m_ptOrigin.x, m_btnClose.m_ptOrigin.y});
    COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    Draw3dRect(hDC, scb::FromRect(lines.first), hilite, shadow);
    Draw3dRect(hDC, scb::FromRect(lines.second), hilite, shadow);
    m_btnClose.Draw(hDC);
}

LRESULT CSizingControlBarG::OnNcHitTest(POINT point) {
    LRESULT hit = CSizingControlBar::OnNcHitTest(point);
    if (hit != HTCLIENT) return hit;
    if (HasGripArea()) {
        RECT rc = m_btnClose.GetButtonRect();
        RECT rcWindow = GetWindowRect();
        ::OffsetRect(&rc, rcWindow.left, rcWindow.top);
        if (::PtInRect(&rc, point)) return HTCLOSE;
    }
    return HTCLIENT;
}

void CSizingControlBarG::OnUpdateCmdUI(CFrameWnd*, BOOL) {
    if (!HasGripArea()) return;
    POINT pt{};
    ::GetCursorPos(&pt);
    bool over = OnNcHitTest(pt) == HTCLOSE;
    bool down = ::GetKeyState(VK_LBUTTON) < 0;
    scb::ButtonLook look = scb::CloseButtonLook(over, down);
    if ((m_btnClose.m_bPressed != FALSE) == look.pressed && (m_btnClose.m_bHot != FALSE) == look.hot) return;
    m_btnClose.m_bPressed = look.pressed;
    m_btnClose.m_bHot = look.hot;
    SendMessage(WM_NCPAINT, 1, 0);   // repaint now: the look follows the cursor without lag
}

void CSizingControlBarG::OnNcLButtonUp(UINT nHitTest, POINT) {
    if (nHitTest == HTCLOSE && m_pDockSite) {
        // The cursor is no longer over a visible button; shown again, it starts flat.
        m_btnClose.m_bPressed = m_btnClose.m_bHot = FALSE;
        m_pDockSite->ShowControlBar(this, FALSE, FALSE);
    }
}

LRESULT CSizingControlBarG::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCHITTEST:
        return OnNcHitTest(POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)});
    case WM_NCLBUTTONUP:
        OnNcLButtonUp((UINT)wParam, POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)});
        return DefWindowProc(msg, wParam, lParam);
    default:
        break;
    }
    return CSizingControlBar::WindowProc(msg, wParam, lParam);
}
