// Loading the URL file into the list (UM_IMPORT).
#include <new>

#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/Messages.h"
#include "urls/CorvidView.h"
#include "urls/Import.h"
#include "urls/rules/ImportRules.h"

void CCorvidView::ReportFailedImport(const std::string& text) {
    SkeinMessageBox(m_hWnd, text);
    PostToMainWnd(UM_LIST_LOADED, LIST_LOAD_FAILED, 0);
}

void CCorvidView::ImportUrlFile() {
    const std::string path = g_strImportFile;
    const std::string missingText = "文件不存在或被锁定！\n\n" + path;
    const std::string tooLargeText = "文件太大，无法载入。\n\n" + path;
    if (!IsFileReadable(path)) {
        ReportFailedImport(missingText);
        return;
    }
    // Everything is loaded beside the old rows and swapped in only at the end,
    // so a file that fails half-way (locked in between, memory running out)
    // leaves the list as it was.
    std::string content;
    switch (ReadUrlFileText(path, content)) {
    case FileReadResult::Ok:
        break;
    case FileReadResult::Unreadable:
        ReportFailedImport(missingText);
        return;
    case FileReadResult::TooLarge:
        ReportFailedImport(tooLargeText);
        return;
    }
    UrlRows rows;
    std::string ignore = g_strIgnoreList;
    std::size_t count = 0;
    try {
        count = FillRowsFromFile(content, ignore, rows);
    } catch (const std::bad_alloc&) {
        content = std::string();
        rows = UrlRows();
        ReportFailedImport(tooLargeText);
        return;
    }
    content = std::string();
    g_strIgnoreList.swap(ignore);
    DeleteAllRows();
    m_rows = std::move(rows);
    RowsChanged();
    PostToMainWnd(UM_LIST_LOADED, LIST_LOADED, (LPARAM)count);
}
