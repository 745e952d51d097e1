// "导出报告...": the list with every row's reason as a CSV file in UTF-8,
// written as the exports are.
#include "core/MessageBox.h"
#include "core/Messages.h"
#include "core/CodePageText.h"
#include "urls/CorvidView.h"
#include "urls/ExportFile.h"
#include "urls/rules/Report.h"

namespace {

// The rows' texts are GBK, whatever code page the system runs.
std::string Utf8OfGbk(std::string_view gbk) { return Utf8FromCodePage(936, gbk); }

}  // namespace

void CCorvidView::ExportReport() {
    std::string path;
    if (m_rows.empty() || !ChooseReportFile(this, path)) return;
    ExportFileResult result = WriteExportFile(path, [&](const std::function<bool(std::string_view)>& write) {
        return FormatReport(m_rows, [&](std::size_t i) { return ProbeReasonOf((int)i); }, Utf8OfGbk, write);
    });
    if (!result.ok) {
        SkeinMessageBox(m_hWnd, ExportFailureText(path, result.error, "无法导出报告到文件："), MB_OK);
        return;
    }
    PostToMainWnd(UM_EXPORTED, EXPORT_REPORT, (LPARAM)result.lines);
}
