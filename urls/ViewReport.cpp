// "导出报告...": the list with every row's reason as a CSV file in UTF-8,
// written as the exports are.
#include "core/MessageBox.h"
#include "core/Messages.h"
#include "urls/CorvidView.h"
#include "urls/ExportFile.h"
#include "urls/rules/Report.h"

namespace {

// GBK to UTF-8 by way of UTF-16; a byte that is no GBK becomes the system's default character.
std::string Utf8Of(std::string_view gbk) {
    if (gbk.empty()) return {};
    int wide = ::MultiByteToWideChar(936, 0, gbk.data(), (int)gbk.size(), nullptr, 0);
    std::wstring utf16(wide, L'\0');
    ::MultiByteToWideChar(936, 0, gbk.data(), (int)gbk.size(), utf16.data(), wide);
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

}  // namespace

void CCorvidView::ExportReport() {
    std::string path;
    if (m_rows.empty() || !ChooseReportFile(this, path)) return;
    ExportFileResult result = WriteExportFile(path, [&](const std::function<bool(std::string_view)>& write) {
        return FormatReport(m_rows, [&](std::size_t i) { return ProbeReasonOf((int)i); }, Utf8Of, write);
    });
    if (!result.ok) {
        SkeinMessageBox(m_hWnd, ExportFailureText(path, result.error, "无法导出报告到文件："), MB_OK);
        return;
    }
    PostToMainWnd(UM_EXPORTED, EXPORT_REPORT, (LPARAM)result.lines);
}
