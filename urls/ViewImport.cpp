// Loading the URL file into the list (UM_IMPORT).
#include <exception>

#include "app/Globals.h"
#include "urls/CorvidView.h"
#include "urls/Import.h"
#include "urls/Messages.h"
#include "urls/rules/ImportRules.h"

void CCorvidView::ReportUnreadableFile(const std::string& path) {
    SkeinMessageBox(m_hWnd, "文件不存在或被锁定！\n\n" + path);
    PostToMainWnd(UM_LIST_LOADED, 0, 0);
}

void CCorvidView::ImportUrlFile() {
    const std::string path = g_strImportFile;
    std::string content;
    // The whole file is read before the list is touched, so a file that
    // cannot be read after all (locked in between, too large) leaves the list
    // as it was, like a missing one.
    if (!IsFileReadable(path) || !ReadWholeFile(path, content)) {
        ReportUnreadableFile(path);
        return;
    }
    DeleteAllRows();
    std::size_t count = 0;
    try {
        count = FillRowsFromFile(content, g_strIgnoreList, m_rows);
    } catch (const std::exception&) {   // out of memory part-way
        m_rows.clear();
        content = std::string();
        RowsChanged();
        ReportUnreadableFile(path);
        return;
    }
    content = std::string();
    RowsChanged();
    PostToMainWnd(UM_LIST_LOADED, 0, (LPARAM)count);
}
