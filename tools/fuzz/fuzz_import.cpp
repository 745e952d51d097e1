// A file's lines are its bytes between line ends, each tidied into a row of
// its own; tidying and normalising the ignore text are idempotent, and no
// ignore entry is empty or holds the comma that separates them.
#include "tools/fuzz/Fuzz.h"
#include "urls/rules/ImportRules.h"

namespace {

bool IsWhiteSpace(char c) { return std::string_view(" \t\r\n\v\f").find(c) != std::string_view::npos; }

void CheckTidy(std::string_view url) {
    FUZZ_CHECK(url.find('\0') == std::string_view::npos);
    FUZZ_CHECK(url.empty() || (!IsWhiteSpace(url.front()) && !IsWhiteSpace(url.back())));
    FUZZ_CHECK(MbcsFind(url, "\xA1\xA3") == std::string_view::npos);
    FUZZ_CHECK(TidyUrlLine(url) == url);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::string setting = in.ConsumeRandomLengthString(32);
    const std::string content = in.ConsumeRemainingBytesAsString();

    std::string normalised = setting;
    NormaliseIgnoreText(normalised);
    std::string again = normalised;
    NormaliseIgnoreText(again);
    FUZZ_CHECK(again == normalised && normalised.find(' ') == std::string::npos);
    for (const std::string& entry : IgnoreEntries(normalised))
        FUZZ_CHECK(!entry.empty() && entry.find(',') == std::string::npos);

    UrlRows rows;
    const std::size_t count = FillRowsFromFile(content, setting, rows);
    FUZZ_CHECK(count == rows.size());
    IgnoreMatcher ignore(normalised);
    LineReader lines(content);
    std::string_view line;
    std::size_t at = 0, row = 0;
    for (; lines.Next(line); ++row) {
        // The line is the content's next bytes, ended by CR LF, CR, LF or the end.
        FUZZ_CHECK(content.compare(at, line.size(), line) == 0 && line.find_first_of("\r\n") == std::string_view::npos);
        at += line.size();
        FUZZ_CHECK(at == content.size() || content[at] == '\r' || content[at] == '\n');
        at += content.compare(at, 2, "\r\n") == 0 ? 2 : at < content.size() ? 1 : 0;
        FUZZ_CHECK(row < rows.size() && rows.number(row) == int(row + 1) && rows.url(row) == TidyUrlLine(line));
        CheckTidy(rows.url(row));
        FUZZ_CHECK(rows.validity(row) == ImportValidity(rows.url(row), ignore));
    }
    FUZZ_CHECK(at == content.size() && row == rows.size());
    return 0;
}
