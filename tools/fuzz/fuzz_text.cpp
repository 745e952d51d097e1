// SaturatingAtoi reads what the C library's strtoll reads, clamped to int;
// StartsWithNoCase ignores the letter case of ASCII letters and nothing else.
#include <algorithm>
#include <climits>

#include "core/rules/Text.h"
#include "tools/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string prefix = in.ConsumeRandomLengthString(16);
    const std::string text = in.ConsumeRemainingBytesAsString();

    // The copy's NUL ends strtoll where SaturatingAtoi meets a non-digit.
    const long long wide = std::strtoll(text.c_str(), nullptr, 10);
    FUZZ_CHECK(SaturatingAtoi(text) == std::clamp<long long>(wide, INT_MIN, INT_MAX));

    const std::string lower = AsciiLower(prefix);
    std::string upperText = text;
    for (char& c : upperText) c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    const bool starts = StartsWithNoCase(text, lower);
    FUZZ_CHECK(starts == StartsWithNoCase(upperText, lower));
    FUZZ_CHECK(StartsWithNoCase(prefix + text, lower));
    FUZZ_CHECK(!starts || AsciiLower(text.substr(0, lower.size())) == lower);
    return 0;
}
