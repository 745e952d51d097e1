#include "urls/ExportFile.h"

#include <cstdio>

#include "framework/FileDialog.h"
#include "framework/Handles.h"
#include "urls/rules/CleanUp.h"

namespace {

ExportFileChooser& Chooser() {
    static ExportFileChooser chooser;
    return chooser;
}

// The directory part of a full path, without its last separator.
std::string DirectoryOf(const std::string& full) {
    const std::size_t last = AfxFindLastPathSeparator(full);
    if (last == std::string::npos) return ".";
    if (last == 2 && full.size() > 1 && full[1] == ':') return full.substr(0, 3);   // "C:\\"
    return full.substr(0, last);
}

std::string FullPathOf(const std::string& path) {
    char buf[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    if (n == 0 || n >= sizeof buf) return path;
    return std::string(buf, n);
}

// Writes the rows into `temp` completely and durably; 0 or the system's error.
DWORD WriteTemporary(const std::string& temp, const ExportFormatter& format, std::size_t& lines) {
    CHandle file(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid()) return ::GetLastError();
    DWORD error = 0;
    ExportOutcome outcome = format([&](std::string_view bytes) {
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data(), (DWORD)bytes.size(), &written, nullptr)) {
            error = ::GetLastError();
            return false;
        }
        if (written != bytes.size()) {
            error = ERROR_DISK_FULL;
            return false;
        }
        return true;
    });
    if (!outcome.ok) return error ? error : ERROR_WRITE_FAULT;
    // The data must be on the disk before the name points at it.
    if (!::FlushFileBuffers(file.Get())) return ::GetLastError();
    if (!file.Close()) return ::GetLastError();
    lines = outcome.lines;
    return 0;
}

bool ChooseFile(CWnd* pOwner, std::string& path, LPCSTR defExt, LPCSTR fileName, LPCSTR filter) {
    if (Chooser()) return Chooser()(pOwner, path);
    CFileDialog dlg(FALSE, defExt, fileName, OFN_OVERWRITEPROMPT, filter, pOwner);
    if (dlg.DoModal() != IDOK) return false;
    path = dlg.GetPathName();
    return true;
}

}  // namespace

bool ChooseExportFile(CWnd* pOwner, std::string& path) {
    // The system appends only the first three characters of the default
    // extension to a name typed without one: "name" is saved as "name.TXT".
    return ChooseFile(pOwner, path, "TXT Files (*.txt)", "urls_export.txt", "文本文件|*.txt|所有文件|*.*||");
}

bool ChooseReportFile(CWnd* pOwner, std::string& path) {
    return ChooseFile(pOwner, path, "csv", "urls_report.csv", "CSV 文件 (*.csv)|*.csv|所有文件|*.*||");
}

ExportFileChooser SetExportFileChooser(ExportFileChooser chooser) {
    ExportFileChooser previous = std::move(Chooser());
    Chooser() = std::move(chooser);
    return previous;
}

ExportFileResult WriteExportFile(const std::string& path, const UrlRows& rows, int nKind) {
    return WriteExportFile(path, [&](const std::function<bool(std::string_view)>& write) {
        return FormatExport(rows, nKind, write);
    });
}

ExportFileResult WriteExportFile(const std::string& path, const ExportFormatter& format) {
    ExportFileResult result;
    std::string full = FullPathOf(path);
    // Windows refuses to replace a read-only file; so do we, on every system
    // (Wine would replace it).
    DWORD attributes = ::GetFileAttributesA(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        result.error = ERROR_ACCESS_DENIED;
        return result;
    }
    char temp[MAX_PATH];
    if (!::GetTempFileNameA(DirectoryOf(full).c_str(), "skx", 0, temp)) {
        result.error = ::GetLastError();
        return result;
    }
    std::size_t lines = 0;
    DWORD error = WriteTemporary(temp, format, lines);
    if (!error && !::MoveFileExA(temp, full.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error) {
        ::DeleteFileA(temp);
        result.error = error;
        return result;
    }
    result.ok = true;
    result.lines = lines;
    return result;
}

std::string ExportFailureText(const std::string& path, DWORD error, const char* lead) {
    std::string reason;
    char* text = nullptr;
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    if (n && text) {
        reason.assign(text, n);
        while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' '))
            reason.pop_back();
    }
    if (text) ::LocalFree(text);
    if (reason.empty()) {
        char code[48];
        std::snprintf(code, sizeof code, "错误代码 %lu", (unsigned long)error);
        reason = code;
    }
    return lead + std::string("\r\n") + path + "\r\n" + reason;
}
