#include "app/ControlPanelDlg.h"

#include <cstdio>

#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/Messages.h"
#include "core/rules/Text.h"
#include "framework/FileDialog.h"
#include "framework/WinApp.h"
#include "urls/rules/Mbcs.h"

namespace {

const char kFileFilter[] = "文本文件|*.txt|所有文件|*.*||";

void PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) {
    ::PostMessageA(AfxGetMainHwnd(), msg, wParam, lParam);
}

}  // namespace

BOOL CControlPanelDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_IMPORT_FILE, g_strImportFile);
    SetDlgItemText(IDC_IGNORE_LIST, g_strIgnoreList);
    char count[16];
    std::snprintf(count, sizeof count, "%d", g_nThreadCount);
    SetDlgItemText(IDC_THREAD_COUNT, count);
    g_hControlPanel = m_hWnd;
    return TRUE;
}

BOOL CControlPanelDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == m_hWnd && IsAppMessage(pMsg->message)) OnAppMessage(pMsg->message, pMsg->wParam);
    // F6 is the frame's, which moves the keyboard between the panes; the
    // dialog manager would hand it to the control and end the walk here.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F6) return FALSE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CControlPanelDlg::OnAppMessage(UINT msg, WPARAM wParam) {
    switch (msg) {
    case UM_ENABLE_IMPORT:
        EnableControl(IDC_IMPORT, TRUE);
        break;
    case UM_RESET_START:
        g_bQuerying = FALSE;
        SetDlgItemText(IDC_QUERY, "开始查询");
        break;
    case UM_ENABLE_EXPORT:
        switch ((int)wParam) {
        case EXPORT_ALL: EnableControl(IDC_EXPORT_ALL, TRUE); break;
        case EXPORT_VALID: EnableControl(IDC_EXPORT_VALID, TRUE); break;
        case EXPORT_INVALID: EnableControl(IDC_EXPORT_INVALID, TRUE); break;
        case EXPORT_OTHER: EnableControl(IDC_EXPORT_OTHER, TRUE); break;
        default: break;
        }
        break;
    case UM_ENABLE_CLEAN_INVALID:
        EnableControl(IDC_CLEAN_INVALID, TRUE);
        break;
    case UM_ENABLE_CLEAN_DUPLICATES:
        EnableControl(IDC_CLEAN_DUPLICATES, TRUE);
        break;
    default:
        break;
    }
}

BOOL CControlPanelDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Clicks, menu items and accelerators; other notifications (an edit's
    // EN_CHANGE shares its control's id) take the normal way.
    if (HIWORD(wParam) != BN_CLICKED && HIWORD(wParam) != 1) return CDialog::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDC_BROWSE: OnBrowse(); return TRUE;
    case IDC_IMPORT: OnImport(); return TRUE;
    case IDC_QUERY: OnQuery(); return TRUE;
    case IDC_CLEAN_INVALID: OnListOperation(IDC_CLEAN_INVALID, UM_REQ_CLEAN_INVALID, 0); return TRUE;
    case IDC_CLEAN_DUPLICATES: OnListOperation(IDC_CLEAN_DUPLICATES, UM_REQ_CLEAN_DUPLICATES, 0); return TRUE;
    case IDC_EXPORT_ALL: OnListOperation(IDC_EXPORT_ALL, UM_REQ_EXPORT, EXPORT_ALL); return TRUE;
    case IDC_EXPORT_VALID: OnListOperation(IDC_EXPORT_VALID, UM_REQ_EXPORT, EXPORT_VALID); return TRUE;
    case IDC_EXPORT_INVALID: OnListOperation(IDC_EXPORT_INVALID, UM_REQ_EXPORT, EXPORT_INVALID); return TRUE;
    case IDC_EXPORT_OTHER: OnListOperation(IDC_EXPORT_OTHER, UM_REQ_EXPORT, EXPORT_OTHER); return TRUE;
    default: return CDialog::OnCommand(wParam, lParam);
    }
}

void CControlPanelDlg::OnBrowse() {
    CFileDialog dlg(TRUE, "", "", OFN_OVERWRITEPROMPT, kFileFilter, this);
    if (dlg.DoModal() != IDOK) return;
    g_strImportFile = dlg.GetPathName();
    SetDlgItemText(IDC_IMPORT_FILE, g_strImportFile);
}

void CControlPanelDlg::OnImport() {
    g_strImportFile = GetDlgItemText(IDC_IMPORT_FILE);
    if (g_strImportFile.empty()) {
        RefuseInput(IDC_IMPORT_FILE, "请指定导入文件路径。");
        return;
    }
    // The import filters with the words the user sees in the field.
    ReadIgnoreList();
    OnListOperation(IDC_IMPORT, UM_REQ_IMPORT, 0);
}

BOOL CControlPanelDlg::ImportDroppedFile(const std::string& path) {
    HWND hButton = GetDlgItem(IDC_IMPORT);
    if (!hButton || !::IsWindowEnabled(hButton)) return FALSE;
    SetDlgItemText(IDC_IMPORT_FILE, path);
    OnImport();
    return TRUE;
}

void CControlPanelDlg::OnQuery() {
    BOOL bWasQuerying = g_bQuerying;
    if (bWasQuerying) {
        PostToFrame(UM_REQ_STOP, 0, 0);
    } else {
        ReadRunParams();
        if (g_nThreadCount < 1) {
            RefuseInput(IDC_THREAD_COUNT, "线程数量至少大于0。");
            return;
        }
        if (g_nThreadCount > kMaxThreadCount) g_nThreadCount = kMaxThreadCount;
        PostToFrame(UM_REQ_START, 0, 0);
    }
    SetDlgItemText(IDC_QUERY, bWasQuerying ? "开始查询" : "停止查询");
    g_bQuerying = !bWasQuerying;
}

void CControlPanelDlg::ReadRunParams() {
    ReadIgnoreList();
    g_nThreadCount = SaturatingAtoi(GetDlgItemText(IDC_THREAD_COUNT));
}

void CControlPanelDlg::ReadIgnoreList() {
    std::string ignore = GetDlgItemText(IDC_IGNORE_LIST);
    MbcsMakeLower(ignore);
    g_strIgnoreList = ignore;
}

void CControlPanelDlg::OnListOperation(int nIDButton, UINT msg, LPARAM lParam) {
    // A click queued behind the one that disabled the button must not send a
    // second request: one of each kind is outstanding at a time.
    HWND hButton = GetDlgItem(nIDButton);
    if (hButton && !::IsWindowEnabled(hButton)) return;
    EnableControl(nIDButton, FALSE);
    PostToFrame(msg, 0, lParam);
}

void CControlPanelDlg::EnableControl(int nID, BOOL bEnable) {
    HWND hCtl = GetDlgItem(nID);
    if (!hCtl) return;
    // A disabled control that keeps the focus leaves the keyboard nowhere to
    // go, and the next button would take it for Enter to press unasked (a
    // second Enter after 清理重复 removed the invalid rows): the keyboard goes
    // to the list, where the frame puts its focus.
    if (!bEnable && ::GetFocus() == hCtl) ::SetFocus(AfxGetMainHwnd());
    ::EnableWindow(hCtl, bEnable);
}

void CControlPanelDlg::RefuseInput(int nIDField, const char* text) {
    HWND hField = GetDlgItem(nIDField);
    if (hField) ::SetFocus(hField);
    SkeinMessageBox(m_hWnd, text, MB_OK);
    // Closing the box reactivates the frame, which hands the focus to its own
    // choice; the field to correct is where the user has to type next.
    if (hField && ::IsWindow(hField)) ::SetFocus(hField);
}
