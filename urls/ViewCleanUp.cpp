// Clean-up and export of the URL list: removal of duplicate and of invalid
// rows, and the export of all, the valid or the invalid URLs to a file.
#include "urls/CorvidView.h"
#include "core/MessageBox.h"
#include "core/Messages.h"
#include "urls/ExportFile.h"
#include "urls/rules/CleanUp.h"

void CCorvidView::RemoveDuplicateUrls() {
    std::size_t removed = RemoveDuplicateRows(m_rows);
    if (removed) {
        PruneReasons();
        RowsChanged();
    }
    PostToMainWnd(UM_LIST_LOADED, 0, (LPARAM)m_rows.size());
    PostToMainWnd(UM_CLEAN_DUPLICATES, 0, (LPARAM)removed);
}

void CCorvidView::RemoveInvalidUrls() {
    std::size_t removed = RemoveInvalidRows(m_rows);
    if (removed) {
        PruneReasons();
        RowsChanged();
    }
    PostToMainWnd(UM_LIST_LOADED, 0, (LPARAM)m_rows.size());
    PostToMainWnd(UM_INVALID_CLEANED, 0, (LPARAM)removed);
}

void CCorvidView::ExportUrls(int nKind) {
    // Whatever happens, UM_EXPORTED goes out: it is what brings the panel's button back.
    std::size_t lines = 0;
    std::string path;
    if (!m_rows.empty() && ChooseExportFile(this, path)) {
        ExportFileResult result = WriteExportFile(path, m_rows, nKind);
        if (result.ok) lines = result.lines;
        else SkeinMessageBox(m_hWnd, ExportFailureText(path, result.error), MB_OK);
    }
    PostToMainWnd(UM_EXPORTED, (WPARAM)nKind, (LPARAM)lines);
}
