// CListCtrl: a non-owning view of a "SysListView32" window; methods follow the control's messages.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>

class CListCtrl {
public:
    explicit CListCtrl(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    HWND m_hWnd;

    int GetItemCount() const { return (int)::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0); }
    void SetItemCountEx(int n, DWORD flags = LVSICF_NOINVALIDATEALL) const {
        ::SendMessageA(m_hWnd, LVM_SETITEMCOUNT, (WPARAM)n, (LPARAM)flags);
    }
    DWORD SetExtendedStyle(DWORD dwExStyle) const {
        return (DWORD)::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)dwExStyle);
    }
    DWORD GetExtendedStyle() const {
        return (DWORD)::SendMessageA(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    }
    int InsertColumn(int nCol, const char* heading, int nFormat = LVCFMT_LEFT, int nWidth = -1) const {
        LVCOLUMNA col{};
        col.mask = LVCF_FMT | LVCF_TEXT;
        col.fmt = nFormat;
        col.pszText = const_cast<char*>(heading);
        if (nWidth >= 0) {
            col.mask |= LVCF_WIDTH;
            col.cx = nWidth;
        }
        return (int)::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, (WPARAM)nCol, (LPARAM)&col);
    }
    int GetColumnCount() const {
        HWND hHeader = (HWND)::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0);
        return hHeader ? (int)::SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0) : 0;
    }
    BOOL SetColumnWidth(int nCol, int cx) const {
        return (BOOL)::SendMessageA(m_hWnd, LVM_SETCOLUMNWIDTH, (WPARAM)nCol, MAKELPARAM(cx, 0));
    }
    int GetColumnWidth(int nCol) const {
        return (int)::SendMessageA(m_hWnd, LVM_GETCOLUMNWIDTH, (WPARAM)nCol, 0);
    }
    std::string GetColumnText(int nCol) const {
        char buf[256] = {};
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT;
        col.pszText = buf;
        col.cchTextMax = sizeof buf;
        ::SendMessageA(m_hWnd, LVM_GETCOLUMNA, (WPARAM)nCol, (LPARAM)&col);
        return buf;
    }
    int GetStringWidth(const char* text) const {
        return (int)::SendMessageA(m_hWnd, LVM_GETSTRINGWIDTHA, 0, (LPARAM)text);
    }
    int GetSelectionMark() const { return (int)::SendMessageA(m_hWnd, LVM_GETSELECTIONMARK, 0, 0); }
    int SetSelectionMark(int i) const { return (int)::SendMessageA(m_hWnd, LVM_SETSELECTIONMARK, 0, i); }
    // nItem -1 changes every row.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask) const {
        LVITEMA item{};
        item.stateMask = nMask;
        item.state = nState;
        return (BOOL)::SendMessageA(m_hWnd, LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)&item);
    }
    UINT GetItemState(int nItem, UINT nMask) const {
        return (UINT)::SendMessageA(m_hWnd, LVM_GETITEMSTATE, (WPARAM)nItem, (LPARAM)nMask);
    }
    int GetCountPerPage() const { return (int)::SendMessageA(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0); }
    BOOL EnsureVisible(int i) const { return (BOOL)::SendMessageA(m_hWnd, LVM_ENSUREVISIBLE, (WPARAM)i, FALSE); }
    int GetTopIndex() const { return (int)::SendMessageA(m_hWnd, LVM_GETTOPINDEX, 0, 0); }
    BOOL RedrawItems(int first, int last) const {
        return (BOOL)::SendMessageA(m_hWnd, LVM_REDRAWITEMS, (WPARAM)first, (LPARAM)last);
    }
    // The text the control shows in a cell (asks the owner of a virtual list).
    std::string GetItemText(int nItem, int nSubItem) const {
        std::string buf(1024, '\0');
        for (;;) {
            LVITEMA item{};
            item.iSubItem = nSubItem;
            item.pszText = buf.data();
            item.cchTextMax = (int)buf.size();
            int n = (int)::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, (WPARAM)nItem, (LPARAM)&item);
            if (n < (int)buf.size() - 1 || buf.size() >= (1u << 24)) {
                buf.resize(n > 0 ? n : 0);
                return buf;
            }
            buf.assign(buf.size() * 4, '\0');
        }
    }
};
