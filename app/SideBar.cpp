#include "app/SideBar.h"

#include <algorithm>

#include "framework/Gdi.h"
#include "sidebar/rules/SizingLayout.h"

int (*CSideBar::s_pfnScreenDpi)() = &CSideBar::ReadScreenDpi;

int CSideBar::ReadScreenDpi() {
    CClientDC dc(nullptr);
    int dpi = dc.m_hDC ? ::GetDeviceCaps(dc, LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

SIZE CSideBar::DefaultSize() {
    const int n = ::MulDiv(350, s_pfnScreenDpi(), 96);
    return SIZE{n, n};
}

int CSideBar::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CSizingControlBarG::OnCreate(lpcs) == -1) return -1;
    // Drawn edges, and the panel (the bar's first child) fitted to the client area.
    SetSizingStyle(SZBS_DRAWEDGES | SZBS_FITCHILD);
    if (!m_wndPanel.Create(IDD_CONTROL_PANEL, m_hWnd)) return -1;
    m_wndPanel.ShowWindow(SW_SHOW);
    FitWidthToPanel();
    return 0;
}

void CSideBar::FitWidthToPanel() {
    // Every control whole. The blank margin right of them may be cut: with
    // 宋体 itself the template comes out 338 pixels wide and 350 leaves 335.
    RECT panel{};
    ::GetWindowRect(m_wndPanel.m_hWnd, &panel);
    LONG cxPanel = 0;
    for (HWND c = ::GetWindow(m_wndPanel.m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT rc{};
        ::GetWindowRect(c, &rc);
        cxPanel = std::max(cxPanel, rc.right - panel.left);
    }
    auto fit = [&](SIZE& size, scb::DockSide side) {
        unsigned style = m_dwSizingStyle;
        const scb::Rect inner = scb::CalcInnerRect(scb::Rect{0, 0, size.cx, size.cy}, side, style, m_cxSizingEdge);
        size.cx = std::max<LONG>(size.cx, cxPanel + size.cx - inner.Width());
    };
    // Docked at the right the borders are the same as at the left.
    fit(m_sizeVertDock, scb::DockSide::Left);
    fit(m_sizeFloating, scb::DockSide::Float);
}
