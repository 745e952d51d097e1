// CStatusBar: the frame's status bar over the common "msctls_statusbar32"
// control. Each pane has an indicator id, a style and a width; the first
// stretching pane takes whatever width the others leave.
#pragma once
#include <string>
#include <vector>

#include "framework/BarStyles.h"
#include "framework/Wnd.h"

// Pane styles.
#define SBPS_NORMAL    0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT    SBT_POPOUT
#define SBPS_DISABLED  0x04000000
#define SBPS_STRETCH   0x08000000

struct AFX_SIZEPARENTPARAMS;

class CStatusBar : public CWnd {
public:
    CStatusBar() = default;

    // Creates the control as a child of hParent. Control-bar styles (CBRS_) in
    // dwStyle are kept as the bar's own; the rest become the window style.
    BOOL Create(HWND hParent, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = 0xE801 /* AFX_IDW_STATUS_BAR */);
    // One pane per id; separators are free-text panes, other ids take their
    // text (and width) from the string resource of that id.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return (int)m_panes.size(); }
    UINT GetItemID(int nIndex) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    // bUpdate: repaint the pane before returning, so long operations show their text.
    BOOL SetPaneText(int nIndex, const char* lpszNewText, BOOL bUpdate = TRUE);
    std::string GetPaneText(int nIndex) const;
    RECT GetItemRect(int nIndex) const;

    DWORD GetBarStyle() const { return m_dwBarStyle; }
    // The height the bar takes at the bottom of its frame.
    int GetBarHeight() const;
    // Metrics of the bar's font, measured in a DC of hDCWnd (the bar itself when null).
    TEXTMETRICA GetFontMetrics(HWND hDCWnd = nullptr) const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* pLayout);
    // Gives the control its part edges from the pane widths and its own width.
    void UpdateParts();
    void ApplyPaneText(int nIndex);

private:
    struct Pane {
        UINT nID = 0;
        UINT nStyle = SBPS_NORMAL;
        int cxWidth = 0;
        std::string text;
    };
    std::vector<Pane> m_panes;
    DWORD m_dwBarStyle = 0;
};
