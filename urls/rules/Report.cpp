#include "urls/rules/Report.h"

#include <cstdio>
#include <iterator>
#include <utility>

#include "urls/rules/Mbcs.h"

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";
const char* const kHeader[] = {"序号", "网址", "有效性", "原因", "HTTP 状态", "用时（秒）", "最终网址"};

// The tip's text on one line: its lines joined as its parts are.
std::string OneLineReason(const ProbeReason& reason) {
    std::string text = FormatReason(reason);
    MbcsReplace(text, "\n", " · ");
    return text;
}

std::string Seconds(unsigned long ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu.%02lu", ms / 1000, ms % 1000 / 10);
    return text;
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view text) {
    // A spreadsheet runs a cell starting with one of these as a formula, even
    // from a CSV file; the apostrophe makes it show the text instead.
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quoted) out += '"';
    if (formula) out += '\'';
    if (!quoted) {
        out += text;
        return;
    }
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

ExportOutcome FormatReport(const UrlRows& rows, const std::function<const ProbeReason*(std::size_t)>& reasonOf,
                           const std::function<std::string(std::string_view)>& toUtf8,
                           const std::function<bool(std::string_view)>& write, std::size_t chunkBytes) {
    auto record = [&](std::string& buffer, const std::string* fields, std::size_t count) {
        for (std::size_t f = 0; f < count; ++f) {
            if (f) buffer += ',';
            AppendCsvField(buffer, toUtf8(fields[f]));
        }
        buffer += "\r\n";
    };
    std::string fields[std::size(kHeader)];
    for (std::size_t f = 0; f < std::size(kHeader); ++f) fields[f] = kHeader[f];
    std::string head = kUtf8Bom;
    record(head, fields, std::size(fields));
    auto appendRow = [&](std::size_t i, std::string& buffer) {
        const ProbeReason* reason = reasonOf(i);
        fields[0] = std::to_string(rows.number(i));
        fields[1] = rows.url(i);
        fields[2] = ValidityText(rows.validity(i));
        fields[3] = reason ? OneLineReason(*reason) : std::string();
        fields[4] = reason && reason->status ? std::to_string(reason->status) : std::string();
        fields[5] = reason ? Seconds(reason->elapsedMs) : std::string();
        fields[6] = reason && reason->redirects > 0 ? reason->finalUrl : std::string();
        record(buffer, fields, std::size(fields));
        return true;
    };
    return WriteRowsInChunks(rows.size(), std::move(head), appendRow, write, chunkBytes);
}
