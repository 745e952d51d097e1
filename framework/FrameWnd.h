// CFrameWnd: the top-level frame. Shares its client area between its control
// bars and its view, routes commands, and runs the idle-time updates.
#pragma once
#include <string>
#include <vector>

#include "framework/Wnd.h"

class CCmdUI;
class CControlBar;
class CDockBar;
class CDocument;
class CView;
class CWinApp;

// Frame <-> bar protocol (the classic framework's private messages).
#define WM_SIZEPARENT       0x0361   // lParam = AFX_SIZEPARENTPARAMS*: take your share of the rectangle
#define WM_SETMESSAGESTRING 0x0362   // wParam = string id or 0, lParam = text: status pane 0
#define WM_IDLEUPDATECMDUI  0x0363   // sent to every descendant at idle time
#define WM_RECALCPARENT     0x0368   // a child asks its frame to lay out again

struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;       // null while only querying the layout
    RECT rect;       // what is left of the parent's client area
    SIZE sizeTotal;  // total size taken by the bars
    BOOL bStretch;   // bars stretch to the full width or height
};

// A bar answering WM_SIZEPARENT moves its window here: into the deferred
// positions of a real layout, not at all while the layout is only queried.
void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

#ifndef FWS_ADDTOTITLE
#define FWS_ADDTOTITLE 0x00008000L
#endif

class CFrameWnd : public CWnd {
public:
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };

    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Creates the frame from resource nIDResource (title from the string, menu,
    // icon and accelerators) with its view; the document template calls it.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CDocument* pDoc, CView* pView);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);

    CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* pView) { m_pActiveView = pView; }

    // Lays out bars and view at once / at the next idle time or paint.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr,
                        BOOL bStretch = TRUE);

    // Idle time: delayed layout, then WM_IDLEUPDATECMDUI to every descendant.
    void OnIdleUpdateCmdUI();
    // Pane 0 of the status bar: a text, or the idle text "就绪" for null.
    void SetMessageText(const char* text);
    // Pane 0 = the first line of string nID (the menu prompt); "" when there is none.
    void SetMessageText(UINT nID);
    // While a menu shows its prompts in pane 0, a text meant for pane 0 waits
    // there for the menu to close (TRUE: kept for then, not shown).
    BOOL HoldUntilMenuCloses(const std::string& text);

    // Command-UI hook: sets the state of one item (menu item, bar button);
    // TRUE when this frame answered for pCmdUI->m_nID. The frame answers for
    // ID_VIEW_STATUS_BAR; a subclass adds its own items and calls the base.
    virtual BOOL OnUpdateCmdUI(CCmdUI* pCmdUI);
    // Commands in the framework's order: the active view, this frame, the application.
    BOOL RouteCommand(UINT nID);
    // The caption: the title of the frame's resource, with the document's
    // name in front only while the style carries FWS_ADDTOTITLE.
    void UpdateFrameTitle(const std::string& strDocTitle);
    const std::string& GetTitle() const { return m_strTitle; }
    // The status bar child (AFX_IDW_STATUS_BAR), or null.
    HWND GetStatusBarHwnd() const;

    // Docking (framework/FrameDock.cpp).
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void FloatControlBar(CControlBar* pBar, POINT point, DWORD dwStyle = 0);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID) const;
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    CDockBar* GetDockBar(UINT nDockBarID) const;

    std::vector<CControlBar*> m_listControlBars;   // every bar whose dock site is this frame
    BOOL m_bInRecalcLayout = FALSE;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Frame, then its active view, then the application.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The frame's own commands (ID_VIEW_STATUS_BAR); subclasses add theirs.
    BOOL OnCmdMsg(UINT nID) override;
    int OnCreate(LPCREATESTRUCTA lpcs) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnClose() override;
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    void OnInitMenuPopup(HMENU hPopup, UINT nIndex, BOOL bSysMenu);
    void OnSetMessageString(WPARAM wParam, LPARAM lParam);
    void OnEnterMenuLoop();
    void OnExitMenuLoop();
    // Passes the focus on to the active view while it shows; FALSE when it does not.
    BOOL FocusActiveView();
    void OnNcDestroyFrame();
    void RunDelayedLayout();
    // The application when this frame is its main window, else null.
    CWinApp* AppWhoseMainWindowThisIs() const;
    // Sends WM_SIZEPARENT to the children nIDFirst..nIDLast in creation
    // order; returns the child nIDLeftOver, or null.
    HWND SendSizeParent(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, AFX_SIZEPARENTPARAMS& layout);
    // The first enabled side's dock bar, in layout order, that pBar may dock on.
    CDockBar* FirstDockBarFor(const CControlBar* pBar) const;
    void PostNcDestroy() override {}

    CView* m_pActiveView = nullptr;
    CDocument* m_pDocument = nullptr;   // handed to the view that OnCreate makes
    CView* m_pNewView = nullptr;        // the view OnCreate makes, during LoadFrame only
    std::string m_strTitle;             // first field of the frame's resource string
    HMENU m_hMenuDefault = nullptr;
    HICON m_hIcon = nullptr;
    HACCEL m_hAccelTable = nullptr;
    BOOL m_bDelayedLayout = FALSE;
    BOOL m_bDelayedNotify = FALSE;
    BOOL m_bInMenuLoop = FALSE;
    std::string m_strBeforeMenu;     // pane 0 as the open menu found it
    DWORD m_dwDockStyle = 0;          // sides docking is enabled on
};

// The frame a window belongs to (its closest CFrameWnd ancestor), or null.
CFrameWnd* GetParentFrame(HWND hWnd);
