#include "app/PanelHost.h"

#include "framework/FrameWnd.h"

namespace {
const int kMargin = 4;   // pixels between the panel and the host's edges
}

BOOL CPanelHost::Create(HWND hFrame) {
    LPCSTR cls = RegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    if (!cls) return FALSE;
    return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                    RECT{0, 0, 0, 0}, hFrame, IDW_PANEL_HOST);
}

int CPanelHost::OnCreate(LPCREATESTRUCTA) {
    if (!m_wndPanel.Create(CControlPanelDlg::IDD, m_hWnd)) return -1;
    ::SetWindowPos(m_wndPanel, nullptr, kMargin, kMargin, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndPanel.ShowWindow(SW_SHOW);
    RECT r = m_wndPanel.GetWindowRect();
    m_cxLayout = (r.right - r.left) + 2 * kMargin;
    return 0;
}

LRESULT CPanelHost::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZEPARENT) {
        OnSizeParent(reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam));
        return 0;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

void CPanelHost::OnSizeParent(AFX_SIZEPARENTPARAMS* pParams) {
    if (!pParams || !IsWindowVisible()) return;
    RECT& rc = pParams->rect;
    int cx = m_cxLayout;
    if (cx > rc.right - rc.left) cx = rc.right - rc.left;
    if (cx < 0) cx = 0;
    if (pParams->hDWP)
        pParams->hDWP = ::DeferWindowPos(pParams->hDWP, m_hWnd, nullptr, rc.left, rc.top, cx, rc.bottom - rc.top,
                                         SWP_NOZORDER | SWP_NOACTIVATE);
    rc.left += cx;
    pParams->sizeTotal.cx += cx;
}
