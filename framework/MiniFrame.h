// CMiniFrameWnd: a small captioned top-level frame owned by the main frame.
// CMiniDockFrameWnd: the floating frame of a control bar, holding it in a
// float dock bar; its caption follows the bar's title.
#pragma once
#include "framework/DockBar.h"
#include "framework/FrameWnd.h"

// Mini-frame styles, in the class-specific low word of the window style.
#define MFS_SYNCACTIVE  0x00000100L   // active together with its owner
#define MFS_4THICKFRAME 0x00000200L   // sized by its four sides only, not its corners
#define MFS_THICKFRAME  0x00000400L   // sizable
#define MFS_MOVEFRAME   0x00000800L   // moved by its edges too

class CMiniFrameWnd : public CFrameWnd {
public:
    CMiniFrameWnd() = default;
    BOOL Create(LPCSTR lpszTitle, DWORD dwStyle, const RECT& rect, HWND hOwner);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCTA lpcs) override;
    BOOL PreTranslateMessage(MSG*) override { return FALSE; }
    // The system's hit test, with corners answered as sides under MFS_4THICKFRAME.
    LRESULT OnNcHitTest(LPARAM lParam);
};

class CControlBar;

class CMiniDockFrameWnd : public CMiniFrameWnd {
public:
    CMiniDockFrameWnd();
    // Creates the frame owned by pDockSite and its float dock bar.
    BOOL Create(CFrameWnd* pDockSite, DWORD dwBarStyle);

    // Sizes the bar, the dock bar and the frame to the bar's floating size,
    // takes the dock bar's text as caption, and hides the frame while its bar is hidden.
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // Idle time: the delayed layout, if one was asked for.
    void OnIdleLayout();
    // The bar floating in this frame, or null.
    CControlBar* GetBar() const;

    CDockBar m_wndDockBar;
    CFrameWnd* m_pDockSite = nullptr;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnSize(UINT nType, int cx, int cy) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }
};
