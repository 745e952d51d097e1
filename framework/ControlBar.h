// CControlBar: a bar that sits on a side of its frame, docked in a dock bar or
// floating in a mini frame. Keeps its own bar style (CBRS_), answers the
// frame's sizing protocol and carries the delayed show and hide.
#pragma once
#include <memory>

#include "framework/BarStyles.h"
#include "framework/FrameWnd.h"
#include "framework/Wnd.h"

// Layout modes of CalcDynamicLayout.
#define LM_STRETCH  0x01   // stretch to the frame's full width or height
#define LM_HORZ     0x02   // horizontal, else vertical
#define LM_MRUWIDTH 0x04   // the most recently used floating size
#define LM_HORZDOCK 0x08   // docked at top or bottom
#define LM_VERTDOCK 0x10   // docked at left or right
#define LM_LENGTHY  0x20   // nLength is a height, else a width
#define LM_COMMIT   0x40   // remember the size

class CDockBar;
class CDockContext;
class CMiniDockFrameWnd;

class CControlBar : public CWnd {
public:
    CControlBar();
    ~CControlBar() override;

    // State bits of m_nStateFlags.
    enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4 };

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    // The sides this bar may dock on; creates its dock context.
    void EnableDocking(DWORD dwDockStyle);

    // Sizing protocol: the size the bar wants, fixed or for a mode and length.
    virtual SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual SIZE CalcDynamicLayout(int nLength, DWORD dwMode);
    // Idle-time update of the bar's items.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

    // Visible counting a pending delayed show or hide.
    BOOL IsVisible() const;
    BOOL IsFloating() const;
    BOOL IsDockBar() const { return m_bDockBar; }
    // Marks a show or hide for the next layout (RecalcDelayShow).
    void DelayShow(BOOL bShow);
    // Applies a pending delayed show or hide, into the layout's batch when it has one.
    void RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);
    // Draws the CBRS_BORDER_ lines into rect and shrinks it by them.
    void DrawBorders(HDC hDC, RECT& rect);
    // The frame the bar lives in now: the dock site, or its floating frame.
    CFrameWnd* GetDockingFrame() const;

    DWORD m_dwStyle = 0;          // CBRS_ bar style
    DWORD m_dwDockStyle = 0;      // CBRS_ALIGN_ sides the bar may dock on
    UINT m_nStateFlags = 0;
    CFrameWnd* m_pDockSite = nullptr;       // the frame whose bars this is
    CDockBar* m_pDockBar = nullptr;         // the dock bar holding the window, if any
    CDockContext* m_pDockContext = nullptr; // drag and float helper, after EnableDocking

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCTA lpcs) override;
    void OnDestroy() override;
    // A bar placed directly in its frame takes its share of the layout.
    virtual LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* pLayout);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam);

    BOOL m_bDockBar = FALSE;
    std::unique_ptr<CDockContext> m_dockContext;
};
