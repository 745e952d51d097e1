// The report of the URL list: one CSV record per row with the row's number,
// URL, validity and why its check ended as it did, in UTF-8 with a byte-order
// mark so that a spreadsheet shows the Chinese texts as they are.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "urls/rules/CleanUp.h"
#include "urls/rules/ProbeReason.h"
#include "urls/rules/UrlRows.h"

// Appends `text` as one CSV field. A text a spreadsheet would run as a formula
// (starting with '=', '+', '-', '@', tab or CR) is kept as text by a leading
// apostrophe; a field holding a comma, quote, CR or LF is quoted, its quotes doubled.
void AppendCsvField(std::string& out, std::string_view text);

// The report's bytes: the byte-order mark, a header record, then every row top
// to bottom, each record ended by CR LF. Texts are GBK; toUtf8 converts each
// field. reasonOf(i) is row i's reason, or null when it has none. The bytes go
// to `write` in chunks of about chunkBytes; a false from it stops the report.
// The outcome counts the rows, not the header.
ExportOutcome FormatReport(const UrlRows& rows, const std::function<const ProbeReason*(std::size_t)>& reasonOf,
                           const std::function<std::string(std::string_view)>& toUtf8,
                           const std::function<bool(std::string_view)>& write, std::size_t chunkBytes = 1 << 16);
