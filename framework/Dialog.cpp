#include "framework/Dialog.h"

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
        BOOL focus = TRUE;
        try {
            focus = pDlg->OnInitDialog();
        } catch (...) {
            focus = TRUE;
        }
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
