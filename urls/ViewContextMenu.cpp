// The list's context menu and "打开网页".
#include <windows.h>
#include <shellapi.h>

#include "core/MessageBox.h"
#include "framework/Handles.h"
#include "resource.h"
#include "urls/CorvidView.h"
#include "urls/OpenWeb.h"
#include "urls/rules/Mbcs.h"
#include "urls/rules/WebAddress.h"

ShellExecuteFn g_pfnShellExecute = &::ShellExecuteA;

namespace {

// A message box has no use for megabytes of text: the first few hundred bytes, whole characters.
std::string Shortened(const std::string& text) {
    const std::size_t kMax = 300;
    if (text.size() <= kMax) return text;
    std::size_t n = 0;
    while (n < text.size()) {
        std::size_t next = n + MbcsCharLength(text, n);
        if (next > kMax) break;
        n = next;
    }
    return text.substr(0, n) + "...";
}

}  // namespace

// NM_RCLICK, reflected from the parent: the menu for the row that holds the selection mark.
void CCorvidView::OnRclick(NMHDR*, LRESULT* pResult) {
    POINT pt{};
    ::GetCursorPos(&pt);
    int row = GetListCtrl().GetSelectionMark();
    if (GetItemText(row, 0).empty()) return;
    m_nMenuRow = row;
    m_menuRowId = m_rows.id(row);
    CMenuHandle menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_LIST_MENU)));
    if (HMENU popup = menu.IsValid() ? ::GetSubMenu(menu.Get(), 0) : nullptr)
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
    *pResult = 0;
}

BOOL CCorvidView::OnCmdMsg(UINT nID) {
    if (nID == ID_OPEN_WEB) {
        OnOpenWeb();
        return TRUE;
    }
    if (nID == ID_EXPORT_REPORT) {
        ExportReport();
        return TRUE;
    }
    return CListView::OnCmdMsg(nID);
}

// ID_OPEN_WEB: the URL of the menu's row in the desktop's browser, web addresses only.
void CCorvidView::OnOpenWeb() {
    if (m_menuRowId != 0) {
        auto pos = m_rows.find(m_menuRowId);
        if (!pos) return;   // the row was removed while the menu was open
        m_nMenuRow = (int)*pos;
    }
    if (m_nMenuRow < 0 || m_nMenuRow >= GetRowCount()) return;
    std::string text = GetItemText(m_nMenuRow, 1);
    auto address = WebAddressToOpen(text);
    if (!address) {
        SkeinMessageBox(m_hWnd, "只能在浏览器中打开网址！\n\n" + Shortened(text));
        return;
    }
    g_pfnShellExecute(nullptr, "open", address->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
