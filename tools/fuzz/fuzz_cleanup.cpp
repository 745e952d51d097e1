// Removing duplicates keeps exactly the first row of each URL, in order; an
// export's and a report's bytes do not depend on the chunk size, a failed
// write leaves a prefix of them, and each report field reads back as it went
// in (the apostrophe that disarms a formula aside).
#include <algorithm>
#include <vector>

#include "tools/fuzz/Fuzz.h"
#include "urls/rules/CleanUp.h"
#include "urls/rules/Report.h"

namespace {

// The fields of CSV text, records ended by CR LF.
std::vector<std::vector<std::string>> ParseCsv(std::string_view text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            for (++i; i < text.size() && !(text[i] == '"' && text.substr(i, 2) != "\"\""); i += text[i] == '"' ? 2 : 1)
                records.back().back() += text[i];
        } else if (text[i] == ',') {
            records.back().emplace_back();
        } else if (text.substr(i, 2) == "\r\n") {
            records.emplace_back(1);
            ++i;
        } else {
            records.back().back() += text[i];
        }
    }
    records.pop_back();   // after the last CR LF
    return records;
}

template <class Format>
std::string Collect(Format format, std::size_t chunk, std::size_t failAt, ExportOutcome& outcome) {
    std::string bytes;
    std::size_t writes = 0;
    outcome = format([&](std::string_view b) { return ++writes != failAt && (bytes += b, true); }, chunk);
    return bytes;
}

void CheckExport(const UrlRows& rows, int kind, std::size_t chunk, std::size_t failAt) {
    auto exportRows = [&](auto write, std::size_t c) { return FormatExport(rows, kind, write, c); };
    ExportOutcome whole, cut;
    const std::string exported = Collect(exportRows, 1 << 16, 0, whole);
    FUZZ_CHECK(whole.ok && Collect(exportRows, chunk, 0, cut) == exported && cut.lines == whole.lines);
    const std::string partial = Collect(exportRows, chunk, failAt, cut);
    FUZZ_CHECK(exported.rfind(partial, 0) == 0 && (!cut.ok || partial == exported));
}

bool IsFormula(std::string_view text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
}

void CheckReport(const UrlRows& rows, const std::vector<ProbeReason>& reasons, std::size_t chunk) {
    auto reasonOf = [&](std::size_t i) { return i % 2 ? &reasons[i] : nullptr; };
    auto same = [](std::string_view s) { return std::string(s); };
    auto report = [&](auto write, std::size_t c) { return FormatReport(rows, reasonOf, same, write, c); };
    ExportOutcome whole, cut;
    const std::string csv = Collect(report, 1 << 16, 0, whole);
    FUZZ_CHECK(Collect(report, chunk, 0, cut) == csv && whole.lines == rows.size());
    const auto records = ParseCsv(std::string_view(csv).substr(3));
    FUZZ_CHECK(records.size() == rows.size() + 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& url = records[i + 1].at(1);
        FUZZ_CHECK(records[i + 1].size() == 7 && url == (IsFormula(rows.url(i)) ? "'" : "") + std::string(rows.url(i)));
    }
}

void CheckRemovals(UrlRows& rows) {
    const std::size_t count = rows.size();
    std::vector<std::string> firsts;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (std::find(firsts.begin(), firsts.end(), rows.url(i)) == firsts.end()) firsts.emplace_back(rows.url(i));
    FUZZ_CHECK(RemoveDuplicateRows(rows) + firsts.size() == count && rows.size() == firsts.size());
    for (std::size_t i = 0; i < rows.size(); ++i) FUZZ_CHECK(rows.url(i) == firsts[i]);
    RemoveInvalidRows(rows);
    for (std::size_t i = 0; i < rows.size(); ++i) FUZZ_CHECK(!IsInvalidForCleanUp(rows.validity(i)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    UrlRows rows;
    std::vector<ProbeReason> reasons(in.ConsumeIntegralInRange(0, 40));
    for (ProbeReason& r : reasons) {
        r.status = in.ConsumeIntegralInRange(0, 600);
        r.redirects = in.ConsumeIntegralInRange(-1, 3);
        r.finalUrl = in.ConsumeRandomLengthString(8);
        rows.append(in.ConsumeIntegral<int>(), in.ConsumeRandomLengthString(8), static_cast<Validity>(in.ConsumeIntegralInRange(0, 6)));
    }
    const int kind = in.ConsumeIntegralInRange(-1, 3);
    const std::size_t chunk = in.ConsumeIntegralInRange(0, 64), failAt = in.ConsumeIntegralInRange(1, 8);
    CheckExport(rows, kind, chunk, failAt);
    CheckReport(rows, reasons, chunk);
    CheckRemovals(rows);
    return 0;
}
