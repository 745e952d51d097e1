// Writing an export file so that a failure never leaves a truncated file where
// the user's file was: the rows go to a temporary file beside the target,
// which replaces the target only once it is complete.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "urls/rules/UrlRows.h"

class CWnd;

// Asks for the export file's path; false when the user cancelled.
using ExportFileChooser = std::function<bool(CWnd* pOwner, std::string& path)>;

// The save dialog owned by pOwner: initial name "urls_export.txt", text and
// all-files filters, overwrite prompt.
bool ChooseExportFile(CWnd* pOwner, std::string& path);
// Stands another chooser in for the save dialog (an empty one restores the
// dialog); returns the one it replaces.
ExportFileChooser SetExportFileChooser(ExportFileChooser chooser);

struct ExportFileResult {
    bool ok = false;
    std::size_t lines = 0;   // URLs written when ok
    DWORD error = 0;         // the system's error code when not ok
};
ExportFileResult WriteExportFile(const std::string& path, const UrlRows& rows, int nKind);

// The message shown when an export fails: the path and the system's reason.
std::string ExportFailureText(const std::string& path, DWORD error);
