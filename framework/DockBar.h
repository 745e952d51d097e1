// CDockBar: the strip on one side of a frame (or inside a floating frame)
// that holds control bars in rows and lays them out.
#pragma once
#include <vector>

#include "framework/ControlBar.h"

class CDockBar : public CControlBar {
public:
    explicit CDockBar(BOOL bFloating = FALSE);

    // Creates the dock bar for side nID (AFX_IDW_DOCKBAR_TOP ... FLOAT) in hParent.
    BOOL Create(HWND hParent, DWORD dwStyle, UINT nID);

    // Takes pBar into this dock bar. lpRect (screen) picks the row and the place
    // in it; without one the bar starts a new row at the end.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // Takes the bar out of the list, dropping a row that becomes empty.
    BOOL RemoveControlBar(CControlBar* pBar);
    // Index of pBar in m_arrBars, or -1; nPosExclude is skipped.
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    // Puts an empty entry at nPos: what follows starts a new row.
    void InsertRowBreak(int nPos);
    // Bars in the list that are real (not empty, not placeholders) and visible.
    int GetDockedVisibleCount() const;

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

    BOOL IsHorzDock() const;

    // Empty entries separate rows; the list starts and ends with one. Entries
    // below 0x10000 are placeholders for bars that are not here now.
    std::vector<CControlBar*> m_arrBars;
    BOOL m_bFloating;
    BOOL m_bLayoutQuery = FALSE;   // the current layout only asks for sizes
    RECT m_rectLayout{};           // the rectangle the current layout shares out
    BOOL m_bAutoDelete = TRUE;

    static bool IsRealBar(const CControlBar* p) { return (UINT_PTR)p >= 0x10000; }

protected:
    LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* pLayout) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    // Row index (0-based) and place of the bar whose drop rectangle is lpRect.
    int InsertPosition(const RECT& rc) const;

    struct BarPlace {
        CControlBar* bar;
        RECT rc;
    };
    // The size a docked bar asks for in this dock bar's orientation.
    static SIZE BarLayoutSize(CControlBar* pBar, BOOL bHorz);
    // Where each visible bar goes, row by row, and the dock bar's thickness.
    // FALSE when a bar changed the list while asked for its size.
    BOOL PlaceRows(BOOL bQuery, std::vector<BarPlace>& places, int& extent);
    // Places the bars (or, for a query, only measures them); returns the
    // dock bar's size across its side.
    SIZE LayoutRows(BOOL bQuery);
};
