#include "app/HtmlCtrl.h"

void CHtmlCtrl::OnBeforeNavigate2(LPCSTR lpszURL, DWORD, LPCSTR, const std::string&, LPCSTR, BOOL* pbCancel) {
    static const char kScheme[] = "app:";
    if (!lpszURL) return;
    // Compared over the four bytes of the scheme, letters in either case; a
    // shorter URL stops at its NUL, which matches no byte of the scheme.
    for (int i = 0; i < 4; ++i) {
        char c = lpszURL[i];
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        if (c != kScheme[i]) return;
    }
    OnAppCmd(lpszURL + 4);
    if (pbCancel) *pbCancel = TRUE;
}

void CHtmlCtrl::OnAppCmd(LPCSTR) {}

void CHtmlCtrl::OnDestroy() {
    if (m_pBrowserApp) {
        m_pBrowserApp->Release();
        m_pBrowserApp = nullptr;
    }
    Default();
}

int CHtmlCtrl::OnMouseActivate(HWND hDesktopWnd, UINT nHitTest, UINT message) {
    return (int)DefWindowProc(WM_MOUSEACTIVATE, (WPARAM)hDesktopWnd, MAKELPARAM(nHitTest, message));
}
