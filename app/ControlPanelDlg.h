// CControlPanelDlg: the program's place of input. Shows the run parameters,
// copies them into the settings globals at fixed moments, and turns each
// button press into one request to the main frame; the frame's completion
// messages bring the buttons back.
#pragma once
#include <string>

#include "app/HtmlCtrl.h"
#include "core/Messages.h"
#include "framework/Dialog.h"
#include "resource.h"

class CControlPanelDlg : public CDialog {
public:
    enum { IDD = IDD_CONTROL_PANEL };
    CControlPanelDlg() : CDialog(IDD) {}

    // Acts on the completion messages posted to the panel, then always passes
    // the message on so that it continues its normal way.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    bool IsPreTranslatedOnly(UINT msg) const override { return IsAppMessage(msg); }

    CHtmlCtrl m_wndHtml;   // never given a window in this program

    // A file dropped on the main window: typed into the path field and
    // pressed, unless the import button is disabled. FALSE when refused.
    BOOL ImportDroppedFile(const std::string& path);

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape would hide a modeless dialog that keeps the standard
    // handling, and with it the program's only place of input.
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnBrowse();
    void OnImport();
    void OnQuery();
    // Disables the pressed control and posts its request to the main frame.
    void OnListOperation(int nIDButton, UINT msg, LPARAM lParam);
    // Reads the ignore field (lower-cased) and the thread count into the globals.
    void ReadRunParams();
    void ReadIgnoreList();
    // A completion message from the frame.
    void OnAppMessage(UINT msg, WPARAM wParam);
    void EnableControl(int nID, BOOL bEnable);
    void RefuseInput(int nIDField, const char* text);
};
