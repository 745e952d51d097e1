// The GBK helpers against plain byte work restricted to character boundaries:
// a find lands on the first boundary where the needle's bytes are; a replace
// by the needle itself changes nothing; lower-casing touches single-byte
// capitals only; fields split at a separator join back to the text.
#include "tools/fuzz/Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string needle = in.ConsumeRandomLengthString(6);
    const char sep = in.ConsumeIntegral<char>();
    const std::size_t skip = in.ConsumeIntegralInRange<std::size_t>(0, 8);
    const std::string s = in.ConsumeRemainingBytesAsString();

    std::size_t from = 0;
    for (std::size_t i = 0; i < skip && from < s.size(); ++i) from += MbcsCharLength(s, from);
    std::size_t want = from;
    while (want < s.size() && s.compare(want, needle.size(), needle) != 0) want += MbcsCharLength(s, want);
    if (want >= s.size() && !(needle.empty() && want == s.size())) want = std::string::npos;
    FUZZ_CHECK(MbcsFind(s, needle, from) == want);

    std::string same = s;
    const std::size_t count = MbcsReplace(same, needle, needle);
    FUZZ_CHECK(same == s);
    std::string grown = s;
    FUZZ_CHECK(MbcsReplace(grown, needle, needle + "#") == count);
    FUZZ_CHECK(grown.size() == s.size() + count);

    std::string lower = s;
    MbcsMakeLower(lower);
    for (std::size_t i = 0; i < s.size(); i += MbcsCharLength(s, i)) {
        const bool single = MbcsCharLength(s, i) == 1;
        FUZZ_CHECK(lower[i] == (single ? AsciiLower(s.substr(i, 1))[0] : s[i]));
        FUZZ_CHECK(single || lower[i + 1] == s[i + 1]);
    }

    std::string joined, field;
    int index = 0;
    for (; MbcsExtractSubString(field, s, index, sep); ++index) joined += (index ? std::string(1, sep) : "") + field;
    FUZZ_CHECK(joined == s);
    FUZZ_CHECK(!MbcsExtractSubString(field, s, -1, sep) && field.empty());
    return 0;
}
