#include "framework/Dialog.h"

#include <algorithm>

#include "framework/WinApp.h"

namespace {

// Centres a pop-up dialog over its owner (the main window when it has none),
// kept inside the work area of the owner's monitor. The template's position
// counts from the owner's client corner, which put the about box over the menu
// bar of a maximised frame.
void CenterOverOwner(HWND hDlg) {
    HWND hOwner = ::GetWindow(hDlg, GW_OWNER);
    if (!hOwner) hOwner = AfxGetMainHwnd();
    if (hOwner && !::IsWindowVisible(hOwner)) hOwner = nullptr;
    MONITORINFO mi{sizeof mi};
    ::GetMonitorInfoA(::MonitorFromWindow(hOwner ? hOwner : hDlg, MONITOR_DEFAULTTONEAREST), &mi);
    RECT around = mi.rcWork;
    if (hOwner) ::GetWindowRect(hOwner, &around);
    RECT r{};
    ::GetWindowRect(hDlg, &r);
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    LONG x = (around.left + around.right - w) / 2, y = (around.top + around.bottom - h) / 2;
    x = std::max(mi.rcWork.left, std::min(x, mi.rcWork.right - w));
    y = std::max(mi.rcWork.top, std::min(y, mi.rcWork.bottom - h));
    ::SetWindowPos(hDlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

BOOL CDialog::Create(UINT nIDTemplate, HWND hParent) {
    m_nIDTemplate = nIDTemplate;
    m_hWndParent = hParent;
    m_bModal = false;
    HWND h = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDTemplate), hParent,
                                  &CDialog::DlgProc, reinterpret_cast<LPARAM>(this));
    return h != nullptr;
}

INT_PTR CDialog::DoModal(HWND hParent) {
    m_hWndParent = hParent;
    m_bModal = true;
    INT_PTR r = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), hParent,
                                  &CDialog::DlgProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return r;
}

void CDialog::EndDialog(INT_PTR nResult) {
    if (m_hWnd && m_bModal) ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST);
    if (!input || !m_hWnd) return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID) {
    if (nID == IDOK) {
        OnOK();
        return TRUE;
    }
    if (nID == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM) {
    m_bDefaulted = true;
    return 0;
}

INT_PTR CALLBACK CDialog::DlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* pDlg = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (msg == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        if (!pDlg) return TRUE;
        Attach(hWnd, pDlg);
        RECT before{};
        ::GetWindowRect(hWnd, &before);
        BOOL focus = TRUE;
        try {
            focus = pDlg->OnInitDialog();
        } catch (...) {
            focus = TRUE;
        }
        // A dialog that placed itself keeps its place; a child has none of its own.
        RECT after{};
        ::GetWindowRect(hWnd, &after);
        if (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) && ::EqualRect(&before, &after)) CenterOverOwner(hWnd);
        return focus;
    }
    if (!pDlg) return FALSE;
    bool saved = pDlg->m_bDefaulted;
    pDlg->m_bDefaulted = false;
    LRESULT r = Route(pDlg, hWnd, msg, wParam, lParam);
    bool defaulted = pDlg->m_bDefaulted;
    pDlg->m_bDefaulted = saved;
    if (defaulted) return FALSE;
    switch (msg) {   // messages whose result is the dialog procedure's return value
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
        return (INT_PTR)r;
    default:
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, (LONG_PTR)r);
        return TRUE;
    }
}
