// CCorvidView: the URL list. The view owns the rows (an owner-data list shows
// them) and carries out every operation on URLs on the user-interface thread.
#pragma once
#include <string>

#include "core/Messages.h"
#include "framework/Document.h"
#include "urls/rules/DispatchScan.h"
#include "urls/rules/UrlRows.h"

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

    // Context menu and "打开网页".
    int m_nMenuRow = -1;

protected:
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCmdMsg(UINT nID) override;
    void OnRclick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetDispInfo(NMLVDISPINFOA* pInfo);
    LRESULT OnFindItem(const NMLVFINDITEMA* pFind) const;
    void OnOpenWeb();

private:
    UrlRows m_rows;
    std::string m_dispText;   // text handed to the control by the last LVN_GETDISPINFO
    bool m_bColumnsAdded = false;
    DispatchCursor m_dispatchCursor;   // where the check run's next scan may start
    // The row the menu was opened on, by id: rows removed while the menu is
    // open must not make "打开网页" open another row's URL.
    UrlRows::Id m_menuRowId = 0;
    void DeleteAllRows();
    // A message box with `text`, then the failed load to the frame.
    void ReportFailedImport(const std::string& text);
};

// Posts to the application's main window (the frame).
BOOL PostToMainWnd(UINT msg, WPARAM wParam, LPARAM lParam);
