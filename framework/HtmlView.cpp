#include "framework/HtmlView.h"

#include "framework/FrameWnd.h"

CHtmlView::~CHtmlView() {
    if (m_pBrowserApp) {
        m_pBrowserApp->Release();
        m_pBrowserApp = nullptr;
    }
}

BOOL CHtmlView::Create(LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, HWND hParent, UINT nID) {
    LPCSTR cls = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                  (HBRUSH)(COLOR_WINDOW + 1));
    if (!cls) return FALSE;
    return CreateEx(0, cls, lpszWindowName, dwStyle | WS_CHILD, rect, hParent, nID);
}

BOOL CHtmlView::FireBeforeNavigate2(LPCSTR lpszURL, DWORD nFlags, LPCSTR lpszTargetFrameName,
                                    const std::string& baPostedData, LPCSTR lpszHeaders) {
    BOOL bCancel = FALSE;
    OnBeforeNavigate2(lpszURL ? lpszURL : "", nFlags, lpszTargetFrameName ? lpszTargetFrameName : "",
                      baPostedData, lpszHeaders ? lpszHeaders : "", &bCancel);
    return !bCancel;
}

void CHtmlView::OnBeforeNavigate2(LPCSTR, DWORD, LPCSTR, const std::string&, LPCSTR, BOOL*) {}

LRESULT CHtmlView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEACTIVATE)
        return OnMouseActivate((HWND)wParam, LOWORD(lParam), HIWORD(lParam));
    return CView::WindowProc(msg, wParam, lParam);
}

void CHtmlView::OnDestroy() {
    if (m_pBrowserApp) {
        m_pBrowserApp->Release();
        m_pBrowserApp = nullptr;
    }
    if (CFrameWnd* pFrame = GetParentFrame(m_hWnd)) {
        if (pFrame->GetActiveView() == this) pFrame->SetActiveView(nullptr);
    }
    Default();
}

int CHtmlView::OnMouseActivate(HWND hDesktopWnd, UINT nHitTest, UINT message) {
    int result = (int)DefWindowProc(WM_MOUSEACTIVATE, (WPARAM)hDesktopWnd, MAKELPARAM(nHitTest, message));
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return result;
    if (CFrameWnd* pFrame = GetParentFrame(m_hWnd)) {
        pFrame->SetActiveView(this);
        ::SetFocus(m_hWnd);
    }
    return result;
}
