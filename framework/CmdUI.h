// CCmdUI: one user-interface item (a menu item, a bar's button or pane) whose
// enabled state, check mark or text a handler sets when the frame asks.
#pragma once
#include <windows.h>

class CCmdUI {
public:
    UINT m_nID = 0;            // command id of the item
    UINT m_nIndex = 0;         // position of the item in its menu or bar
    HMENU m_hMenu = nullptr;   // the popup holding the item, or null for other items
    HWND m_hOther = nullptr;   // the bar or control holding the item, or null for menu items
    BOOL m_bEnableChanged = FALSE;   // a handler called Enable
    BOOL m_bHandled = FALSE;         // some handler answered for the item

    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE) {
        m_bEnableChanged = TRUE;
        m_bHandled = TRUE;
        if (m_hMenu)
            ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
        else if (m_hOther)
            ::EnableWindow(m_hOther, bOn);
    }
    // 0 = no check mark, 1 = checked (menus have no indeterminate state).
    virtual void SetCheck(int nCheck = 1) {
        m_bHandled = TRUE;
        if (m_hMenu)
            ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
        else if (m_hOther)
            ::SendMessageA(m_hOther, BM_SETCHECK, (WPARAM)nCheck, 0);
    }
    virtual void SetText(const char* text) {
        m_bHandled = TRUE;
        if (m_hMenu) {
            MENUITEMINFOA mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_STRING;
            mii.dwTypeData = const_cast<char*>(text);
            ::SetMenuItemInfoA(m_hMenu, m_nIndex, TRUE, &mii);
        } else if (m_hOther) {
            ::SetWindowTextA(m_hOther, text);
        }
    }
};
