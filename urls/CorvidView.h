// CCorvidView: the URL list. The view owns the rows (an owner-data list shows
// them) and carries out every operation on URLs on the user-interface thread.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Messages.h"
#include "framework/Document.h"
#include "urls/ReasonTip.h"
#include "urls/rules/DispatchScan.h"
#include "urls/rules/ProbeReason.h"
#include "urls/rules/UrlRows.h"

struct ReasonSlot;

class CCorvidView : public CListView {
public:
    CCorvidView() = default;
    ~CCorvidView() override;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    bool IsPreTranslatedOnly(UINT msg) const override { return IsAppMessage(msg); }
    void OnInitialUpdate() override;

    // The list's cells as the other operations see them; a row or column that
    // does not exist reads as "" and is not written.
    int GetRowCount() const { return (int)m_rows.size(); }
    std::string GetItemText(int nRow, int nCol) const;
    BOOL SetItemText(int nRow, int nCol, const std::string& text);
    UrlRows& Rows() { return m_rows; }
    const UrlRows& Rows() const { return m_rows; }
    // Tells the control that the rows changed (count and visible texts).
    void RowsChanged();

    // Import (UM_IMPORT).
    void ImportUrlFile();
    // Check run (UM_DISPATCH, UM_URL_VALID, UM_URL_VERDICT).
    void OnDispatch(int nFree);
    BOOL StartCheckThread(std::string strUrl, int nRow);
    void OnUrlVerdict(UINT msg, WPARAM wParam, LPARAM lParam);
    // Clean-up and export (UM_CLEAN_DUPLICATES, UM_CLEAN_INVALID, UM_EXPORT).
    void RemoveDuplicateUrls();
    void RemoveInvalidUrls();
    void ExportUrls(int nKind);
    // "导出报告...": every row with its reason, as a CSV file.
    void ExportReport();

    // Why a row's check ended as it did, as its tip tells it; none for a row without a verdict.
    std::optional<std::string> ReasonOf(int nRow) const;
    const ProbeReason* ProbeReasonOf(int nRow) const;
    // The tip of the validity cell under ptClient (what a resting mouse shows).
    void ShowReasonTip(POINT ptClient);
    const CReasonTip& ReasonTip() const { return m_tip; }

    // Context menu and "打开网页".
    int m_nMenuRow = -1;
    // The list menu's other items, and Ctrl+A / Ctrl+C.
    void RecheckSelectedRows();
    void RecheckTimedOutRows();
    void SelectAllRows();
    BOOL CopySelectedUrls();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCmdMsg(UINT nID) override;
    void OnRclick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnContextMenu(POINT ptScreen);
    bool OnKeyDown(UINT nChar);
    bool OnKeyUp(UINT nChar);
    void OnGetDispInfo(NMLVDISPINFOA* pInfo);
    LRESULT OnFindItem(const NMLVFINDITEMA* pFind) const;
    void OnOpenWeb();
    void OnMouseMove(POINT ptClient);
    void OnMouseHover(POINT ptClient);
    void OnMouseLeave();

private:
    UrlRows m_rows;
    std::string m_dispText;   // text handed to the control by the last LVN_GETDISPINFO
    bool m_bColumnsAdded = false;
    DispatchCursor m_dispatchCursor;   // where the check run's next scan may start
    // The row the menu was opened on, by id: rows removed while the menu is
    // open must not make "打开网页" open another row's URL.
    UrlRows::Id m_menuRowId = 0;
    // The menu key is down and has not yet brought a WM_CONTEXTMENU.
    bool m_bMenuKeyDown = false;
    // The reasons: a slot per started worker until its verdict, then the
    // reason by row id for as long as the row keeps that verdict.
    std::unordered_map<UrlRows::Id, std::shared_ptr<ReasonSlot>> m_reasonSlots;
    std::unordered_map<UrlRows::Id, ProbeReason> m_reasons;
    CReasonTip m_tip;
    POINT m_tipCell{-1, -1};   // item and subitem under the mouse
    std::shared_ptr<ReasonSlot> OpenReasonSlot(UrlRows::Id id);
    void CloseReasonSlot(UrlRows::Id id);
    // Moves a worker's reason into the store (bKeep) or drops it.
    void TakeReason(UrlRows::Id id, bool bKeep);
    void ForgetReason(UrlRows::Id id);
    void ForgetAllReasons();
    // Drops the reasons of rows that are gone.
    void PruneReasons();
    void DeleteAllRows();
    void OpenListMenu(int nRow, POINT ptScreen);
    // Positions of the selected rows, ascending.
    std::vector<std::size_t> SelectedRows() const;
    void RecheckRow(std::size_t pos);
    // A message box with `text`, then the failed load to the frame.
    void ReportFailedImport(const std::string& text);
};

// Posts to the application's main window (the frame).
BOOL PostToMainWnd(UINT msg, WPARAM wParam, LPARAM lParam);
