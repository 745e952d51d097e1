// The list's context menu and its commands: "打开网页", checking rows again,
// copying their URLs; Ctrl+A, Ctrl+C and the menu keys.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <new>

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

// The clipboard, open for as long as the object lives.
class CClipboard {
public:
    explicit CClipboard(HWND hOwner) : m_bOpen(::OpenClipboard(hOwner) != FALSE) {}
    ~CClipboard() {
        if (m_bOpen) ::CloseClipboard();
    }
    CClipboard(const CClipboard&) = delete;
    CClipboard& operator=(const CClipboard&) = delete;
    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen;
};

// A moveable global block, freed unless the clipboard took it.
class CGlobalBlock {
public:
    explicit CGlobalBlock(std::size_t bytes) : m_h(::GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
    ~CGlobalBlock() {
        if (m_h) ::GlobalFree(m_h);
    }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;
    bool IsValid() const { return m_h != nullptr; }
    // Fills the block through its address; false when it cannot be locked.
    template <class Fill>
    bool Write(Fill fill) {
        void* p = m_h ? ::GlobalLock(m_h) : nullptr;
        if (!p) return false;
        fill(p);
        ::GlobalUnlock(m_h);
        return true;
    }
    bool PutOnClipboard(UINT format) {
        if (!::SetClipboardData(format, m_h)) return false;
        m_h = nullptr;   // the clipboard's now
        return true;
    }

private:
    HGLOBAL m_h;
};

// `text` as CF_TEXT (its own bytes) and CF_UNICODETEXT (converted from the ANSI code page).
bool PutTextOnClipboard(HWND hOwner, const std::string& text) {
    CGlobalBlock ansi(text.size() + 1);
    if (!ansi.Write([&](void* p) { std::memcpy(p, text.c_str(), text.size() + 1); })) return false;
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), nullptr, 0);
    if (chars <= 0 && !text.empty()) return false;
    CGlobalBlock wide(((std::size_t)chars + 1) * sizeof(wchar_t));
    if (!wide.Write([&](void* p) {
            auto* w = static_cast<wchar_t*>(p);
            ::MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), w, chars);
            w[chars] = L'\0';
        }))
        return false;
    CClipboard clipboard(hOwner);
    if (!clipboard.IsOpen() || !::EmptyClipboard()) return false;
    return ansi.PutOnClipboard(CF_TEXT) && wide.PutOnClipboard(CF_UNICODETEXT);
}

}  // namespace

// NM_RCLICK, reflected from the parent: the menu for the row that holds the selection mark.
void CCorvidView::OnRclick(NMHDR*, LRESULT* pResult) {
    POINT pt{};
    ::GetCursorPos(&pt);
    OpenListMenu(GetListCtrl().GetSelectionMark(), pt);
    *pResult = 0;
}

// WM_CONTEXTMENU from the keyboard: the menu for the focused row, at that row.
void CCorvidView::OnContextMenu(POINT) {
    m_bMenuKeyDown = false;
    const int row = (int)::SendMessageA(m_hWnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (row < 0 || row >= GetRowCount()) return;
    GetListCtrl().EnsureVisible(row);
    RECT item{};
    item.left = LVIR_BOUNDS;
    RECT client{};
    if (!::SendMessageA(m_hWnd, LVM_GETITEMRECT, row, (LPARAM)&item) || !::GetClientRect(m_hWnd, &client)) return;
    // Under the row from its left edge, as far as the list shows it.
    POINT pt{std::max(item.left, client.left), std::min(item.bottom, client.bottom)};
    ::ClientToScreen(m_hWnd, &pt);
    OpenListMenu(row, pt);
}

void CCorvidView::OpenListMenu(int nRow, POINT ptScreen) {
    if (GetItemText(nRow, 0).empty()) return;
    m_nMenuRow = nRow;
    m_menuRowId = m_rows.id(nRow);
    CMenuHandle menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_LIST_MENU)));
    if (HMENU popup = menu.IsValid() ? ::GetSubMenu(menu.Get(), 0) : nullptr)
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, ptScreen.x, ptScreen.y, 0, m_hWnd,
                         nullptr);
}

// WM_KEYDOWN: Ctrl+A; true when the key was taken. (Ctrl+C and Ctrl+Insert
// are the frame's accelerators: they come as ID_EDIT_COPY.)
bool CCorvidView::OnKeyDown(UINT nChar) {
    if (nChar == VK_APPS) m_bMenuKeyDown = true;
    // Ctrl+Alt is AltGr on many keyboards: its keys type characters.
    if (nChar != 'A' || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0) return false;
    SelectAllRows();
    return true;
}

// WM_KEYUP: the menu key released. Where the system has turned the press into
// WM_CONTEXTMENU the flag is clear by now; where it has not (Wine), the
// release opens the menu, and goes no further: a default handling that made
// the menu of the release would open a second one.
bool CCorvidView::OnKeyUp(UINT nChar) {
    if (nChar != VK_APPS || !m_bMenuKeyDown) return false;
    OnContextMenu(POINT{-1, -1});
    return true;
}

BOOL CCorvidView::OnCmdMsg(UINT nID) {
    switch (nID) {
    case ID_OPEN_WEB:
        OnOpenWeb();
        return TRUE;
    case ID_RECHECK_SELECTED:
        RecheckSelectedRows();
        return TRUE;
    case ID_RECHECK_TIMEOUTS:
        RecheckTimedOutRows();
        return TRUE;
    case ID_COPY_URLS:
        CopySelectedUrls();
        return TRUE;
    case ID_EDIT_COPY:
        // The frame's Ctrl+C: the list's rows only while the list has the keyboard.
        if (!m_hWnd || ::GetFocus() != m_hWnd) break;
        CopySelectedUrls();
        return TRUE;
    case ID_EXPORT_REPORT:
        ExportReport();
        return TRUE;
    default:
        break;
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

std::vector<std::size_t> CCorvidView::SelectedRows() const {
    std::vector<std::size_t> rows;
    if (!m_hWnd) return rows;
    const int count = GetRowCount();
    const int selected = std::min((int)::SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0), count);
    rows.reserve((std::size_t)std::max(selected, 0));
    if (selected == count) {   // Ctrl+A: no need to ask the control row by row
        for (int i = 0; i < count; ++i) rows.push_back((std::size_t)i);
        return rows;
    }
    for (int i = -1; (int)rows.size() < selected;) {
        i = (int)::SendMessageA(m_hWnd, LVM_GETNEXTITEM, (WPARAM)i, LVNI_SELECTED);
        if (i < 0 || i >= count) break;
        rows.push_back((std::size_t)i);
    }
    return rows;
}

void CCorvidView::RecheckRow(std::size_t pos) {
    if (m_dispatchCursor.Recheck(m_rows, pos)) ForgetReason(m_rows.id(pos));
}

// ID_RECHECK_SELECTED: the selected rows that have a verdict go back to
// unchecked; the run going on, or the next one, checks them again.
void CCorvidView::RecheckSelectedRows() {
    try {
        for (std::size_t pos : SelectedRows()) RecheckRow(pos);
    } catch (const std::bad_alloc&) {
        return;   // nothing changed: the rows are listed before any goes back
    }
    m_tip.Hide();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// ID_RECHECK_TIMEOUTS: every "超时!" row goes back to unchecked.
void CCorvidView::RecheckTimedOutRows() {
    for (std::size_t pos = 0; pos < m_rows.size(); ++pos)
        if (m_rows.validity(pos) == Validity::Timeout) RecheckRow(pos);
    m_tip.Hide();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// Ctrl+A.
void CCorvidView::SelectAllRows() {
    if (!m_hWnd) return;
    ::SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
    GetListCtrl().SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    ::SendMessageA(m_hWnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// ID_COPY_URLS, Ctrl+C: the selected rows' URLs, a line each, on the clipboard.
BOOL CCorvidView::CopySelectedUrls() {
    try {
        const std::vector<std::size_t> rows = SelectedRows();
        if (rows.empty()) return FALSE;
        std::size_t bytes = 0;
        for (std::size_t pos : rows) bytes += m_rows.url(pos).size() + 2;
        std::string text;
        text.reserve(bytes);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i > 0) text += "\r\n";
            text += m_rows.url(rows[i]);
        }
        return PutTextOnClipboard(m_hWnd, text) ? TRUE : FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}
