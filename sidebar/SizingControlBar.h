// CSizingControlBar: a dockable control bar that the user resizes by dragging
// its inner edges. Keeps one size per place (docked in a horizontal row, in a
// vertical row, floating); sizing bars of one row share its length and its
// thickness. The bar draws only its non-client area; its client area belongs
// to one child window.
#pragma once
#include <vector>

#include "framework/ControlBar.h"

// Sizing style bits (m_dwSizingStyle).
#define SZBS_EDGE_LEFT   0x00000001L
#define SZBS_EDGE_RIGHT  0x00000002L
#define SZBS_EDGE_TOP    0x00000004L
#define SZBS_EDGE_BOTTOM 0x00000008L
#define SZBS_EDGE_ALL    0x0000000FL
#define SZBS_DRAWEDGES   0x00000010L
#define SZBS_FITCHILD    0x00000020L

class CSizingControlBar : public CControlBar {
public:
    CSizingControlBar() = default;

    virtual BOOL Create(LPCSTR lpszWindowName, CWnd* pParentWnd, UINT nID,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP);
    // Sets all three sizes to sizeDefault first.
    virtual BOOL Create(LPCSTR lpszWindowName, CWnd* pParentWnd, SIZE sizeDefault, BOOL, UINT nID,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP);
    // The six sizes in the profile section "<name>-SCBar-<control id>".
    virtual void LoadSizes(LPCSTR lpszProfileName);
    virtual void SaveSizes(LPCSTR lpszProfileName);
    virtual void BeginEdgeTrack(UINT nHitTest, POINT point);
    virtual void EndEdgeTrack();
    virtual void TrackEdgeTo(POINT& point);
    virtual void InvertTrackLine();
    // Paints the grip band into the non-client bitmap; nothing in this class.
    virtual void DrawGripArea(HDC hDC, const RECT& rcClient);
    // Deflates a window rectangle to the client rectangle for dock side nDockSideID.
    virtual void CalcInnerRect(RECT& rc, UINT nDockSideID);
    // Moves the row's bars edge to edge.
    virtual void LineUpRowBars();

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    SIZE CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

    // The owner's setter: the edge bits are the bar's own and always cleared.
    void SetSizingStyle(DWORD dwStyle) { m_dwSizingStyle = dwStyle & ~SZBS_EDGE_ALL; }
    DWORD GetSizingStyle() const { return m_dwSizingStyle; }

    BOOL IsHorzDockedBar() const;
    BOOL IsVertDockedBar() const;
    BOOL IsFloatingBar() const;
    BOOL IsTrackingInRow() const;
    static int EdgeIndexToHitCode(int nIndex);
    BOOL GetSizingEdgeRect(const RECT& rcBar, RECT& rcEdge, UINT nHitTest);

    void CollectRowSizingBars(std::vector<CSizingControlBar*>& arrBars, int& nThis);
    void CollectRowSizingBars(std::vector<CSizingControlBar*>& arrBars);
    // Indices into the dock bar's list; first and last stay -1 without an empty entry.
    void GetRowRange(int& nFirst, int& nLast, int& nThis);
    // Shares nRowLength between the row's sizing bars; FALSE when the row was split.
    BOOL DistributeRowLength(int nRowLength, BOOL bHorz);

    DWORD m_dwSizingStyle = 0;
    UINT m_nTrackHit = 0;
    SIZE m_sizeHorzDock{350, 350};
    SIZE m_sizeVertDock{350, 350};
    SIZE m_sizeFloating{350, 350};
    SIZE m_sizeMinHorzDock{350, 32};
    SIZE m_sizeMinVertDock{33, 32};
    SIZE m_sizeMinFloating{37, 32};
    int m_nTrackLow = 0;
    int m_nTrackHigh = 0;
    int m_nTrackPos = 0;
    int m_nGrabOffset = 0;
    BOOL m_bEdgeTracking = FALSE;
    BOOL m_bHoldSize = FALSE;
    BOOL m_bInDockLayout = FALSE;
    BOOL m_bFullWindowDrag = FALSE;
    UINT m_nDockSideID = 0;
    int m_cxSizingEdge = 5;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCTA lpcs) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnClose() override;
    void OnPaint();
    void OnSettingChange(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(POINT point);
    void OnCaptureChanged(HWND hWndNew);
    // FALSE when the bar is not docked and the click goes the usual way.
    BOOL OnLButtonDown(POINT point);
    BOOL OnLButtonDblClk();
    LRESULT OnWindowPosChanging(WINDOWPOS* pPos);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnNcCalcSize(NCCALCSIZE_PARAMS* pParams);
    LRESULT OnNcHitTest(POINT point);
    void OnNcPaint();
    void OnNcLButtonDown(UINT nHitTest, POINT point);
    void ReadFullWindowDrag();
};
