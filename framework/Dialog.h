// CDialog: a dialog from a template, modal (DoModal) or modeless (Create).
#pragma once
#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate = 0) : m_nIDTemplate(nIDTemplate) {}

    // Modeless: creates the dialog as a child or owned window of hParent.
    BOOL Create(UINT nIDTemplate, HWND hParent);
    // Modal: runs the system's dialog loop; returns what EndDialog was given, -1 on failure.
    INT_PTR DoModal(HWND hParent = nullptr);
    void EndDialog(INT_PTR nResult);

    // Keyboard navigation (Tab, arrows, mnemonics) for the dialog's own controls.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    BOOL OnCmdMsg(UINT nID) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    HWND m_hWndParent = nullptr;
    bool m_bModal = false;

private:
    static INT_PTR CALLBACK DlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool m_bDefaulted = false;   // the message went to "default": the dialog manager handles it
};
