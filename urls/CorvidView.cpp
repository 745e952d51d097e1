#include "urls/CorvidView.h"

#include <algorithm>
#include <charconv>

#include <windowsx.h>

#include "core/Messages.h"
#include "framework/WinApp.h"
#include "urls/rules/Mbcs.h"

CCorvidView::~CCorvidView() = default;

BOOL CCorvidView::PreCreateWindow(CREATESTRUCTA& cs) {
    // Owner data: the rows live in m_rows and the control asks for the texts it
    // shows, so a million rows load at once and scroll at once.
    cs.style |= LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
    return CListView::PreCreateWindow(cs);
}

void CCorvidView::OnInitialUpdate() {
    CListView::OnInitialUpdate();
    if (m_bColumnsAdded) return;   // a new document reuses the view as it is
    m_bColumnsAdded = true;
    CListCtrl list = GetListCtrl();
    // Mask 0 replaces every extended style: grid lines and full-row selection only.
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "序号", LVCFMT_LEFT);
    list.InsertColumn(1, "网址", LVCFMT_LEFT);
    list.InsertColumn(2, "有效性", LVCFMT_LEFT);
    list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    // Wine's list control sizes this a pixel short of the header's margins
    // (three edges a side), and the header then shows "序..." instead of "序号".
    int needed = list.GetStringWidth("序号") + 6 * ::GetSystemMetrics(SM_CXEDGE);
    if (list.GetColumnWidth(0) < needed) list.SetColumnWidth(0, needed);
    list.SetColumnWidth(1, 400);
    list.SetColumnWidth(2, 200);
}

std::string CCorvidView::GetItemText(int nRow, int nCol) const {
    if (nRow < 0 || nRow >= GetRowCount()) return {};
    switch (nCol) {
    case 0: return std::to_string(m_rows.number(nRow));
    case 1: return std::string(m_rows.url(nRow));
    case 2: return ValidityText(m_rows.validity(nRow));
    default: return {};
    }
}

BOOL CCorvidView::SetItemText(int nRow, int nCol, const std::string& text) {
    if (nRow < 0 || nRow >= GetRowCount()) return FALSE;
    switch (nCol) {
    case 0: {
        int number = 0;
        auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (err != std::errc() || end != text.data() + text.size()) return FALSE;
        m_rows.setNumber(nRow, number);
        break;
    }
    case 1:
        m_rows.setUrl(nRow, text);
        break;
    case 2: {
        // The validity text is the row's state; it takes no other text.
        auto v = ValidityFromText(text);
        if (!v) return FALSE;
        m_rows.setValidity(nRow, *v);
        if (*v == Validity::Unchecked) m_dispatchCursor.Reopened(m_rows.id(nRow));
        ForgetReason(m_rows.id(nRow));
        break;
    }
    default:
        return FALSE;
    }
    if (m_hWnd) GetListCtrl().RedrawItems(nRow, nRow);
    return TRUE;
}

void CCorvidView::RowsChanged() {
    if (!m_hWnd) return;
    CListCtrl list = GetListCtrl();
    list.SetItemCountEx(GetRowCount(), LVSICF_NOSCROLL);
    if (list.GetSelectionMark() >= GetRowCount()) list.SetSelectionMark(-1);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CCorvidView::DeleteAllRows() {
    m_rows.clear();
    ForgetAllReasons();
    if (!m_hWnd) return;
    CListCtrl list = GetListCtrl();
    // What deleting every item of an ordinary list does: no selection, no mark, top row first.
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetSelectionMark(-1);
    list.SetItemCountEx(0, 0);
}

BOOL CCorvidView::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == m_hWnd) {
        switch (pMsg->message) {
        case UM_IMPORT:
            ImportUrlFile();
            break;
        case UM_DISPATCH:
            OnDispatch((int)pMsg->lParam);
            break;
        case UM_URL_VALID:
        case UM_URL_VERDICT:
            OnUrlVerdict(pMsg->message, pMsg->wParam, pMsg->lParam);
            break;
        case UM_EXPORT:
            ExportUrls((int)pMsg->lParam);
            break;
        case UM_CLEAN_INVALID:
            RemoveInvalidUrls();
            break;
        case UM_CLEAN_DUPLICATES:
            RemoveDuplicateUrls();
            break;
        default:
            break;
        }
    }
    return CListView::PreTranslateMessage(pMsg);
}

LRESULT CCorvidView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEMOVE:
        OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_MOUSEHOVER:
        OnMouseHover(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_DESTROY:
        m_tip.Destroy();
        break;
    case WM_KEYDOWN:
        if (OnKeyDown((UINT)wParam)) return 0;
        break;
    case WM_KEYUP:
        if (OnKeyUp((UINT)wParam)) return 0;
        break;
    case WM_MENUSELECT:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        // The list menu is the view's, its prompts the frame's status bar's, as for the frame's own menus.
        if (HWND hFrame = ::GetAncestor(m_hWnd, GA_ROOT); hFrame && hFrame != m_hWnd)
            ::SendMessageA(hFrame, msg, wParam, lParam);
        break;
    case WM_CONTEXTMENU:
        // From the keyboard (Shift+F10, the menu key); the mouse's menu comes with NM_RCLICK.
        if (lParam == -1) {
            OnContextMenu(POINT{-1, -1});
            return 0;
        }
        break;
    default:
        break;
    }
    return CListView::WindowProc(msg, wParam, lParam);
}

BOOL CCorvidView::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (msg != WM_NOTIFY) return CListView::OnChildNotify(msg, wParam, lParam, pResult);
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->hwndFrom != m_hWnd) return FALSE;
    switch (hdr->code) {
    case NM_RCLICK:
        OnRclick(hdr, pResult);
        return TRUE;
    case LVN_GETDISPINFOA:
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam));
        return TRUE;
    case LVN_ODFINDITEMA:
        // Type-ahead and LVM_FINDITEM: an owner-data list asks its owner.
        *pResult = OnFindItem(reinterpret_cast<NMLVFINDITEMA*>(lParam));
        return TRUE;
    case LVN_ODFINDITEMW: {
        // Wine asks in Unicode even of an ANSI parent.
        auto* find = reinterpret_cast<NMLVFINDITEMW*>(lParam);
        NMLVFINDITEMA ansi{};
        ansi.iStart = find->iStart;
        ansi.lvfi.flags = find->lvfi.flags;
        char text[64] = {};
        if (find->lvfi.psz)
            ::WideCharToMultiByte(CP_ACP, 0, find->lvfi.psz, -1, text, sizeof text - 1, nullptr, nullptr);
        ansi.lvfi.psz = text;
        *pResult = OnFindItem(&ansi);
        return TRUE;
    }
    case LVN_GETDISPINFOW: {
        // Only when the parent asked for Unicode notifications.
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
            std::string text = GetItemText(info->item.iItem, info->item.iSubItem);
            int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(),
                                          (int)std::min<std::size_t>(text.size(), info->item.cchTextMax - 1),
                                          info->item.pszText, info->item.cchTextMax - 1);
            info->item.pszText[n > 0 ? n : 0] = L'\0';
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void CCorvidView::OnGetDispInfo(NMLVDISPINFOA* pInfo) {
    LVITEMA& item = pInfo->item;
    if (!(item.mask & LVIF_TEXT)) return;
    std::string_view text;
    if (item.iSubItem == 1 && item.iItem >= 0 && item.iItem < GetRowCount()) {
        text = m_rows.url(item.iItem);   // no copy: a line may be megabytes long
    } else {
        m_dispText = GetItemText(item.iItem, item.iSubItem);
        text = m_dispText;
    }
    if (!item.pszText || item.cchTextMax <= 0) {
        m_dispText.assign(text);
        item.pszText = m_dispText.data();
        return;
    }
    // Cut on a character boundary: half a double-byte character would show as garbage.
    std::size_t limit = (std::size_t)item.cchTextMax - 1;
    std::size_t n = 0;
    while (n < text.size()) {
        std::size_t next = n + MbcsCharLength(text, n);
        if (next > limit) break;
        n = next;
    }
    std::copy_n(text.data(), n, item.pszText);
    item.pszText[n] = '\0';
}

// The first row from iStart on (wrapping when asked) whose row number text
// equals, or with LVFI_PARTIAL starts with, the text searched for; -1 if none.
LRESULT CCorvidView::OnFindItem(const NMLVFINDITEMA* pFind) const {
    const LVFINDINFOA& info = pFind->lvfi;
    if (!(info.flags & (LVFI_STRING | LVFI_PARTIAL)) || !info.psz) return -1;
    const std::string_view wanted(info.psz);
    const int count = GetRowCount();
    int start = pFind->iStart;
    if (start < 0 || start >= count) start = 0;
    for (int n = 0; n < count; ++n) {
        int row = start + n;
        if (row >= count) {
            if (!(info.flags & LVFI_WRAP)) break;
            row -= count;
        }
        std::string text = std::to_string(m_rows.number(row));
        bool match = (info.flags & LVFI_PARTIAL) ? text.compare(0, wanted.size(), wanted) == 0 : text == wanted;
        if (match) return row;
    }
    return -1;
}

BOOL PostToMainWnd(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hMain = AfxGetMainHwnd();
    return hMain ? ::PostMessageA(hMain, msg, wParam, lParam) : FALSE;
}
