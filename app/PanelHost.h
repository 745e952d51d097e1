// CPanelHost: a plain child of the main frame at its left that holds the
// control panel until the docking side bar takes its place. It takes its
// width from the left of the frame's layout.
#pragma once
#include "app/ControlPanelDlg.h"
#include "framework/FrameWnd.h"

class CPanelHost : public CWnd {
public:
    // Child window id: inside the frame's control-bar range, clear of the framework's bars.
    enum { IDW_PANEL_HOST = 0xE8F0 };

    // Creates the host as a child of the frame, and the panel inside it.
    BOOL Create(HWND hFrame);
    CControlPanelDlg& Panel() { return m_wndPanel; }
    // The width the host takes from the frame's client area.
    int GetLayoutWidth() const { return m_cxLayout; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCTA lpcs) override;
    void OnSizeParent(AFX_SIZEPARENTPARAMS* pParams);

private:
    CControlPanelDlg m_wndPanel;
    int m_cxLayout = 0;
};
