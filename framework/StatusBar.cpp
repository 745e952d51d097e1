#include "framework/StatusBar.h"

#include <algorithm>

#include "framework/FrameWnd.h"
#include "framework/Internal.h"

namespace {

// Room around a pane's text: the sunken edge on both sides and a little air.
constexpr int kPaneMargin = 6;

}  // namespace

BOOL CStatusBar::Create(HWND hParent, DWORD dwStyle, UINT nID) {
    m_dwBarStyle = dwStyle & CBRS_ALL;
    DWORD style = (dwStyle & ~CBRS_ALL) | WS_CHILD;
    // The frame places the bar (WM_SIZEPARENT); the control must not align
    // itself to the parent's bottom on its own, or it would cover a bar below it.
    style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (::GetWindowLongPtrA(hParent, GWL_STYLE) & WS_THICKFRAME) style |= SBARS_SIZEGRIP;
    RECT r{0, 0, 0, 0};
    if (!CreateControl(0, STATUSCLASSNAMEA, nullptr, style, r, hParent, nID)) return FALSE;
    m_panes.clear();
    return TRUE;
}

TEXTMETRICA CStatusBar::GetFontMetrics(HWND hDCWnd) const {
    HWND hWndDC = hDCWnd ? hDCWnd : m_hWnd;
    HFONT hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    if (!hFont) hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    HDC hdc = ::GetDC(hWndDC);
    HGDIOBJ old = ::SelectObject(hdc, hFont);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(hdc, &tm);
    ::SelectObject(hdc, old);
    ::ReleaseDC(hWndDC, hdc);
    return tm;
}

int CStatusBar::GetBarHeight() const {
    const TEXTMETRICA tm = GetFontMetrics();
    int borders[3] = {0, 0, 0};
    ::SendMessageA(m_hWnd, SB_GETBORDERS, 0, (LPARAM)borders);
    int cy = tm.tmHeight + tm.tmExternalLeading + 2 * borders[1] + 6;
    return std::max(cy, ::GetSystemMetrics(SM_CYHSCROLL) + 4);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    if (nIDCount < 0 || nIDCount > 255 || (nIDCount && !lpIDArray)) return FALSE;
    m_panes.assign(nIDCount, Pane{});
    HDC hdc = ::GetDC(m_hWnd);
    HFONT hFont = (HFONT)::SendMessageA(m_hWnd, WM_GETFONT, 0, 0);
    HGDIOBJ old = hFont ? ::SelectObject(hdc, hFont) : nullptr;
    for (int i = 0; i < nIDCount; ++i) {
        Pane& p = m_panes[i];
        p.nID = lpIDArray[i];
        if (p.nID == 0 /* ID_SEPARATOR */) {
            // The first free-text pane is the message line: flat and stretching.
            p.nStyle = (i == 0) ? (SBPS_NOBORDERS | SBPS_STRETCH) : SBPS_NORMAL;
            continue;
        }
        p.text = LoadResString(p.nID);
        SIZE sz{};
        ::GetTextExtentPoint32A(hdc, p.text.c_str(), (int)p.text.size(), &sz);
        p.cxWidth = sz.cx;
    }
    if (old) ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
    UpdateParts();
    for (int i = 0; i < nIDCount; ++i) ApplyPaneText(i);
    return TRUE;
}

UINT CStatusBar::GetItemID(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return 0;
    return m_panes[nIndex].nID;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
    if (nIndex < 0 || nIndex >= GetCount()) {
        nID = 0;
        nStyle = 0;
        cxWidth = 0;
        return;
    }
    nID = m_panes[nIndex].nID;
    nStyle = m_panes[nIndex].nStyle;
    cxWidth = m_panes[nIndex].cxWidth;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    Pane& p = m_panes[nIndex];
    p.nID = nID;
    p.nStyle = nStyle;
    p.cxWidth = std::max(cxWidth, 0);
    UpdateParts();
    ApplyPaneText(nIndex);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const {
    return (nIndex >= 0 && nIndex < GetCount()) ? m_panes[nIndex].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
    if (nIndex < 0 || nIndex >= GetCount()) return;
    if (m_panes[nIndex].nStyle == nStyle) return;
    m_panes[nIndex].nStyle = nStyle;
    UpdateParts();
    ApplyPaneText(nIndex);
}

BOOL CStatusBar::SetPaneText(int nIndex, const char* lpszNewText, BOOL bUpdate) {
    if (nIndex < 0 || nIndex >= GetCount() || !m_hWnd) return FALSE;
    m_panes[nIndex].text = lpszNewText ? lpszNewText : "";
    ApplyPaneText(nIndex);
    if (bUpdate) ::UpdateWindow(m_hWnd);
    return TRUE;
}

std::string CStatusBar::GetPaneText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return {};
    return m_panes[nIndex].text;
}

RECT CStatusBar::GetItemRect(int nIndex) const {
    RECT r{};
    ::SendMessageA(m_hWnd, SB_GETRECT, (WPARAM)nIndex, (LPARAM)&r);
    return r;
}

void CStatusBar::ApplyPaneText(int nIndex) {
    const Pane& p = m_panes[nIndex];
    UINT flags = p.nStyle & (SBT_NOBORDERS | SBT_POPOUT);
    const char* text = (p.nStyle & SBPS_DISABLED) ? "" : p.text.c_str();
    ::SendMessageA(m_hWnd, SB_SETTEXTA, (WPARAM)(nIndex | flags), (LPARAM)text);
}

void CStatusBar::UpdateParts() {
    if (!m_hWnd || m_panes.empty()) {
        if (m_hWnd) ::SendMessageA(m_hWnd, SB_SETPARTS, 0, 0);
        return;
    }
    RECT rc = GetClientRect();
    int total = rc.right - rc.left;
    int fixed = 0;
    int stretch = -1;
    for (int i = 0; i < GetCount(); ++i) {
        if ((m_panes[i].nStyle & SBPS_STRETCH) && stretch < 0) stretch = i;
        else fixed += m_panes[i].cxWidth + kPaneMargin;
    }
    if (GetStyle() & SBARS_SIZEGRIP) fixed += ::GetSystemMetrics(SM_CXVSCROLL);
    int spare = std::max(total - fixed, 0);
    std::vector<int> edges(m_panes.size());
    int x = 0;
    for (int i = 0; i < GetCount(); ++i) {
        x += (i == stretch) ? spare : m_panes[i].cxWidth + kPaneMargin;
        edges[i] = x;
    }
    edges.back() = -1;   // the last pane runs to the right edge (and the grip)
    ::SendMessageA(m_hWnd, SB_SETPARTS, (WPARAM)edges.size(), (LPARAM)edges.data());
}

LRESULT CStatusBar::OnSizeParent(AFX_SIZEPARENTPARAMS* pLayout) {
    // A hidden bar takes no room; the style bit counts, since the frame itself
    // is still invisible during its first layout.
    if (!(GetStyle() & WS_VISIBLE)) return 0;
    int cy = GetBarHeight();
    RECT r = pLayout->rect;
    if (m_dwBarStyle & CBRS_ALIGN_TOP) {
        r.bottom = std::min(r.top + cy, (LONG)pLayout->rect.bottom);
        pLayout->rect.top = r.bottom;
    } else {
        r.top = std::max(r.bottom - cy, (LONG)pLayout->rect.top);
        pLayout->rect.bottom = r.top;
    }
    if (pLayout->bStretch) pLayout->sizeTotal.cx = std::max(pLayout->sizeTotal.cx, r.right - r.left);
    pLayout->sizeTotal.cy += r.bottom - r.top;
    AfxRepositionWindow(pLayout, m_hWnd, &r);
    return 0;
}

LRESULT CStatusBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZEPARENT:
        return OnSizeParent(reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam));
    case WM_SIZE: {
        LRESULT r = CWnd::WindowProc(msg, wParam, lParam);
        UpdateParts();
        return r;
    }
    case WM_SETTEXT:
        // The window text is the message pane, kept with the other pane texts.
        if (GetCount() > 0) return SetPaneText(0, reinterpret_cast<const char*>(lParam));
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
