// Writing an export file so that a failure never leaves a truncated file where
// the user's file was: the rows go to a temporary file beside the target,
// which replaces the target only once it is complete.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "urls/rules/CleanUp.h"
#include "urls/rules/UrlRows.h"

class CWnd;

// Asks for the export file's path; false when the user cancelled.
using ExportFileChooser = std::function<bool(CWnd* pOwner, std::string& path)>;

// The save dialog owned by pOwner: initial name "urls_export.txt", text and
// all-files filters, overwrite prompt.
bool ChooseExportFile(CWnd* pOwner, std::string& path);
// The same dialog for the report: "urls_report.csv", CSV and all-files filters.
bool ChooseReportFile(CWnd* pOwner, std::string& path);
// Stands another chooser in for the save dialog (an empty one restores the
// dialog); returns the one it replaces.
ExportFileChooser SetExportFileChooser(ExportFileChooser chooser);

struct ExportFileResult {
    bool ok = false;
    std::size_t lines = 0;   // URLs (or report rows) written when ok
    DWORD error = 0;         // the system's error code when not ok
};
ExportFileResult WriteExportFile(const std::string& path, const UrlRows& rows, int nKind);
// The same for any file's bytes: `format` hands them to the writer it is given.
using ExportFormatter = std::function<ExportOutcome(const std::function<bool(std::string_view)>& write)>;
ExportFileResult WriteExportFile(const std::string& path, const ExportFormatter& format);

// The message shown when an export fails: `lead`, the path and the system's reason.
std::string ExportFailureText(const std::string& path, DWORD error, const char* lead = "无法导出网址到文件：");
