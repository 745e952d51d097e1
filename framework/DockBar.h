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
    // A real bar that shows: the only entries that take room in a row.
    static bool IsShownBar(const CControlBar* p);
    // Where a dropped bar goes in m_arrBars: at index, either into the row
    // there or as a row of its own in front of what follows.
    struct InsertPlace {
        size_t index;
        bool newRow;
    };
    // The band a row's shown bars cover across the dock bar (screen); lo > hi
    // when none shows.
    struct Band {
        int lo, hi;
        bool Empty() const { return lo > hi; }
    };
    // End of the row starting at index start: its closing break, or the list's end.
    size_t RowEnd(size_t start) const;
    Band RowBand(size_t start, size_t end) const;
    // The place in row [start, end) after every shown bar that begins before `along`.
    size_t PlaceInRow(size_t start, size_t end, int along) const;
    // Where the bar whose drop rectangle (screen) is rc goes.
    InsertPlace InsertPosition(const RECT& rc) const;

    struct BarPlace {
        CControlBar* bar;
        RECT rc;
    };
    // The size a docked bar asks for in this dock bar's orientation.
    static SIZE BarLayoutSize(CControlBar* pBar, BOOL bHorz);
    // Whether entry p takes room in this layout; a real layout first applies
    // its delayed show or hide.
    static bool TakesRoom(CControlBar* p, BOOL bQuery);
    // Where each visible bar goes, row by row, and the dock bar's thickness.
    // FALSE when a bar changed the list while asked for its size.
    BOOL PlaceRows(BOOL bQuery, std::vector<BarPlace>& places, int& extent);
    static void MoveBars(const std::vector<BarPlace>& places);
    // Places the bars (or, for a query, only measures them); returns the
    // dock bar's size across its side.
    SIZE LayoutRows(BOOL bQuery);
};
