#include "framework/Document.h"

BOOL CListView::Create(HWND hParent, UINT nID, const RECT& rect) {
    CREATESTRUCTA cs{};
    cs.lpszClass = WC_LISTVIEWA;
    cs.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    cs.hwndParent = hParent;
    cs.hMenu = (HMENU)(UINT_PTR)nID;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    if (!PreCreateWindow(cs)) return FALSE;
    return CreateControl(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, rect, hParent, nID);
}
